// The game as a package puts it on a Windows machine, run by the scripts
// beside this file in their own Wine prefixes:
//   Installato.*   after the installer: the Start-menu shortcut starts the
//                  game in its install folder under Program Files, and the
//                  game plays there
//   Scompattato.*  after unpacking the zip into VORANDEL_CARTELLA: the game
//                  plays from there
// "Plays": harness/automa (VORANDEL_AUTOMA) sets both players to the
// computer in the Options dialog, the computer plays the game to its end box,
// and the game, closed with Yes, ends with exit code 0, its log beside it.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "finestra_prova.h"
#include "scatole.h"

namespace {

std::string cartella_di_sistema(int csidl) {
    char p[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, p);
    return p;
}

bool stesso_percorso(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The target and the working folder of a shortcut file.
struct collegamento {
    std::string destinazione, cartella;
    HRESULT esito = E_FAIL;

    explicit collegamento(const std::string& file) {
        CoInitialize(nullptr);
        IShellLinkA* sl = nullptr;
        IPersistFile* pf = nullptr;
        esito = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&sl));
        if (SUCCEEDED(esito)) esito = sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf));
        if (SUCCEEDED(esito)) {
            wchar_t w[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, w, MAX_PATH);
            esito = pf->Load(w, STGM_READ);
        }
        if (SUCCEEDED(esito)) {
            char d[MAX_PATH] = "", c[MAX_PATH] = "";
            sl->GetPath(d, MAX_PATH, nullptr, SLGP_RAWPATH);
            sl->GetWorkingDirectory(c, MAX_PATH);
            destinazione = d;
            cartella = c;
        }
        if (pf != nullptr) pf->Release();
        if (sl != nullptr) sl->Release();
        CoUninitialize();
    }
};

// Runs `riga` in `cartella` and waits for its end: the exit code, or -1 when
// it did not start or did not end within `ms`.
long esegui(std::string riga, const std::string& cartella, DWORD ms) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &si, &pi)) return -1;
    DWORD codice = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &codice);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(codice);
}

// The visible windows of the thread `filo`, one per line: what was open
// when the game did not end.
BOOL CALLBACK elenca_finestra(HWND w, LPARAM l) {
    char classe[64] = "", testo[128] = "";
    GetClassNameA(w, classe, sizeof classe);
    GetWindowTextA(w, testo, sizeof testo);
    if (IsWindowVisible(w))
        *reinterpret_cast<std::string*>(l) += std::string("  ") + classe + " \"" + testo + "\" " + testo_scatola(w) + "\n";
    return TRUE;
}

std::string finestre_di(DWORD filo) {
    std::string elenco;
    EnumThreadWindows(filo, elenca_finestra, reinterpret_cast<LPARAM>(&elenco));
    return elenco.empty() ? "  none\n" : elenco;
}

// Starts the game `exe` in `cartella`, as a shortcut or a double click
// would, has the computer finish the game that is on the board for both
// players, and closes it. The game is over before "Exit" is asked for:
// with a game going on, the computer goes on moving behind the question,
// and the end of that game would show its box over it.
void gioca(const std::string& exe, const std::string& cartella) {
    std::string automa = percorso("VORANDEL_AUTOMA");
    ASSERT_FALSE(automa.empty()) << "VORANDEL_AUTOMA names the automation tool";
    std::string log = cartella + "\\voran32.log";
    DeleteFileA(log.c_str());

    std::string riga = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &si, &pi))
        << "cannot start " << exe << " (error " << GetLastError() << ")";
    HWND finestra = nullptr;
    for (DWORD inizio = GetTickCount(); finestra == nullptr && GetTickCount() - inizio < 30000; Sleep(50)) {
        HWND w = FindWindowA("Finestra principale", "Vorandel 32");
        DWORD pid = 0;
        if (w != nullptr) GetWindowThreadProcessId(w, &pid);
        if (pid == pi.dwProcessId && IsWindowVisible(w)) finestra = w;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    }
    EXPECT_NE(finestra, nullptr) << "no window \"Vorandel 32\": the game did not find its sprite sheet in " << cartella;
    DWORD filo = finestra != nullptr ? GetWindowThreadProcessId(finestra, nullptr) : 0;
    if (finestra != nullptr) {
        // Two people are to play when the game starts; the computer takes
        // both sides from here and plays the game to its end.
        EXPECT_EQ(esegui("\"" + automa + "\" opzioni automatic 1 automatic 1", cartella, 60000), 0)
            << "setting both players to the computer";
        HWND s = attendi_scatola_del_filo(filo, "End", 120000);
        EXPECT_NE(s, nullptr) << "the computer's game did not end; open:\n" << finestre_di(filo);
        if (s != nullptr) {
            std::printf("the game's end: \"%s\"\n", testo_scatola(s).c_str());
            PostMessageA(s, WM_COMMAND, IDOK, 0);
            EXPECT_TRUE(attendi_chiusura(s, 10000)) << "the end's box stayed open";
        }
        PostMessageA(finestra, WM_CLOSE, 0, 0);
        s = attendi_scatola_del_filo(filo, "Are you sure?", 10000);
        EXPECT_NE(s, nullptr) << "closing asks first; open:\n" << finestre_di(filo);
        if (s != nullptr) PostMessageA(s, WM_COMMAND, IDYES, 0);
    }
    DWORD codice = 99;
    std::string aperte;
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &codice);
    } else {
        aperte = finestre_di(filo);
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(codice, 0u) << "the game's exit code; still open after Yes:\n" << aperte;

    std::string righe = testo_di_file(log);
    EXPECT_EQ(righe.rfind("INIZIO!\n", 0), 0u) << "the log beside the game, " << log << ":\n" << righe;
    EXPECT_NE(righe.find("dialog box rilascia il controllo (dentro)!\n"), std::string::npos) << righe;
}

TEST(Installato, IlCollegamentoAvviaIlGiocoNellaSuaCartellaEGioca) {
    std::string cartella = cartella_di_sistema(CSIDL_PROGRAM_FILES) + "\\Vorandel 32";
    std::string file = cartella_di_sistema(CSIDL_COMMON_PROGRAMS) + "\\Vorandel 32.lnk";
    collegamento c(file);
    ASSERT_TRUE(SUCCEEDED(c.esito)) << "cannot read the shortcut " << file;
    EXPECT_TRUE(stesso_percorso(c.destinazione, cartella + "\\vorandel32.exe")) << c.destinazione;
    EXPECT_TRUE(stesso_percorso(c.cartella, cartella)) << "the shortcut starts the game in " << c.cartella;
    gioca(c.destinazione, c.cartella);
}

TEST(Scompattato, IlGiocoGiocaDallaCartellaScompattata) {
    std::string cartella = percorso("VORANDEL_CARTELLA");
    ASSERT_FALSE(cartella.empty()) << "VORANDEL_CARTELLA names the unpacked folder";
    gioca(cartella + "\\vorandel32.exe", cartella);
}

}  // namespace
