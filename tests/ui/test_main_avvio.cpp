// The real game started as a user starts it, in a folder of its own: without
// its sprite sheet it ends at once and silently; with it, it shows its
// maximised window with the panel, keeps running when the close question is
// answered No, and ends with exit code 0 after Yes. A second copy started in
// the same folder leaves the first one's log whole, also when it may not
// open the log's mutex, and lets go of that mutex at once; a tournament's
// tally is on disk as soon as it is written, for a game killed right after.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "finestra_prova.h"
#include "presenza.h"

namespace {

// The game, started in a new folder under the temporary folder (with the
// sprite sheet when `foglio`; the log there is deleted first unless
// `altra_copia`, for a copy that joins one already running); ended at the end
// of the test.
struct gioco {
    std::string cartella;
    PROCESS_INFORMATION pi{};

    gioco(const char* nome, bool foglio, bool altra_copia = false) {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        cartella = std::string(tmp) + nome + "_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(cartella.c_str(), nullptr);
        if (!altra_copia) DeleteFileA((cartella + "\\voran32.log").c_str());
        if (foglio) {
            EXPECT_TRUE(CopyFileA(percorso("VORANDEL_FOGLIO").c_str(), (cartella + "\\Tutto261.dib").c_str(), FALSE))
                << "VORANDEL_FOGLIO names the sprite sheet";
        }
        std::string exe = percorso("VORANDEL_GIOCO"), riga = "\"" + exe + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        CreateProcessA(exe.c_str(), &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &si, &pi);
    }
    ~gioco() {
        if (pi.hProcess == nullptr) return;
        if (vivo()) TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool vivo() { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the game did not end in time.
    long fine() {
        DWORD codice = 0;
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(pi.hProcess, &codice);
        return static_cast<long>(codice);
    }
    // Closes the game as a user does: the close request, then Yes.
    long chiudi(HWND w) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        HWND s = attendi("#32770");
        if (s == nullptr) return -2;
        PostMessageA(s, WM_COMMAND, IDYES, 0);
        return fine();
    }
    // The log, with the CR LF of a text file read as LF.
    std::string log() { return testo_di_file(cartella + "\\voran32.log"); }
    // Waits, while the game runs, for the log to hold `testo` (up to two
    // minutes); the log then.
    std::string attendi_nel_log(const std::string& testo) {
        std::string l = log();
        for (DWORD inizio = GetTickCount(); l.find(testo) == std::string::npos && GetTickCount() - inizio < 120000;
             l = log())
            if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) return log();
        return l;
    }
    // Waits, while the game runs, for a visible top-level window of the game
    // of class `classe`.
    HWND attendi(const char* classe) {
        for (DWORD inizio = GetTickCount(); GetTickCount() - inizio < 30000;) {
            for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, classe, nullptr)) != nullptr;) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == pi.dwProcessId && IsWindowVisible(h)) return h;
            }
            if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
        }
        return nullptr;
    }
};

TEST(Avvio, SenzaFoglioIlGiocoFinisceInSilenzio) {
    ASSERT_FALSE(percorso("VORANDEL_GIOCO").empty()) << "VORANDEL_GIOCO names the game";
    gioco g("vorandel_vuota", false);
    ASSERT_NE(g.pi.hProcess, nullptr);
    EXPECT_EQ(g.fine(), 0);
    EXPECT_EQ(g.log(), "INIZIO!\n");
}

TEST(Avvio, IlGiocoMostraLaFinestraEFinisceDopoLaChiusuraConfermata) {
    gioco g("vorandel_avvio", true);
    ASSERT_NE(g.pi.hProcess, nullptr);
    HWND w = g.attendi("Finestra principale");
    ASSERT_NE(w, nullptr) << "no main window";
    EXPECT_TRUE(IsZoomed(w));
    HWND pannello = FindWindowExA(w, nullptr, "specchietto!", nullptr);
    EXPECT_NE(FindWindowExA(pannello, nullptr, "Button", "Stop tournament"), nullptr);

    PostMessageA(w, WM_CLOSE, 0, 0);
    HWND s = g.attendi("#32770");
    ASSERT_NE(s, nullptr) << "closing must ask first";
    SendMessageA(s, WM_COMMAND, IDNO, 0);  // hides the box before it returns

    // "Exit" asks again: the game is still running after No.
    PostMessageA(w, WM_COMMAND, 32005, 0);
    s = g.attendi("#32770");
    ASSERT_NE(s, nullptr) << "the game ended after No, or Exit did not ask";
    PostMessageA(s, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(g.fine(), 0);
    std::string log = g.log();
    EXPECT_EQ(log.rfind("INIZIO!\n", 0), 0u) << log;
    EXPECT_NE(log.find("specc::specc terminato\n"), std::string::npos) << log;
}

// "New tournament" in the game `g`, answered Yes: the log once it holds the
// line this writes after its first `dopo` characters (or after 30 s).
std::string nuovo_torneo(gioco& g, HWND w, std::size_t dopo) {
    PostMessageA(w, WM_COMMAND, 32001, 0);
    HWND s = g.attendi("#32770");
    EXPECT_NE(s, nullptr) << "New tournament did not ask";
    if (s != nullptr) PostMessageA(s, WM_COMMAND, IDYES, 0);
    std::string log = g.log();
    for (DWORD inizio = GetTickCount();
         log.find("MainProc: ciclo iniziato\n", dopo) == std::string::npos && GetTickCount() - inizio < 30000;
         log = g.log())
        WaitForSingleObject(g.pi.hProcess, 20);
    return log;
}

// Two copies in one folder: the second neither truncates the first's log
// (longer by then than its own start would write) nor writes into it, and
// the first goes on writing where it was (under a truncated file its next
// line would follow NULs). Once both have ended, the next copy starts the
// log afresh.
TEST(Avvio, UnaSecondaCopiaLasciaIlLogAllaPrima) {
    gioco prima("vorandel_due", true);
    HWND w1 = prima.attendi("Finestra principale");
    ASSERT_NE(w1, nullptr) << "no main window";
    std::string log = nuovo_torneo(prima, w1, 0);
    ASSERT_EQ(log.rfind("INIZIO!\n", 0), 0u) << log;
    ASSERT_NE(log.find("MainProc: ciclo iniziato\n"), std::string::npos) << log;

    gioco seconda("vorandel_due", true, true);
    HWND w2 = seconda.attendi("Finestra principale");
    ASSERT_NE(w2, nullptr) << "the second copy did not start";
    EXPECT_EQ(prima.log(), log) << "the second copy's start changed the first one's log";
    EXPECT_EQ(seconda.chiudi(w2), 0);
    EXPECT_EQ(prima.log(), log) << "the second copy wrote into the first one's log";

    std::string dopo = nuovo_torneo(prima, w1, log.size());
    EXPECT_EQ(dopo.rfind(log, 0), 0u) << dopo;
    EXPECT_NE(dopo.find("MainProc: ciclo iniziato\n", log.size()), std::string::npos) << dopo;
    EXPECT_EQ(dopo.find('\0'), std::string::npos) << "the log was truncated under the first copy";
    EXPECT_EQ(prima.chiudi(w1), 0);

    DeleteFileA((prima.cartella + "\\Tutto261.dib").c_str());
    gioco terza("vorandel_due", false, true);
    EXPECT_EQ(terza.fine(), 0);
    EXPECT_EQ(terza.log(), "INIZIO!\n");
}

// A copy that writes no log lets go of the log's mutex at once: once the
// first copy has ended, a third starts the log afresh while the second still
// runs.
TEST(Avvio, UnaCopiaSenzaLogNonTieneIlMutexDelLog) {
    gioco prima("vorandel_tre", true);
    HWND w1 = prima.attendi("Finestra principale");
    ASSERT_NE(w1, nullptr) << "no main window";
    gioco seconda("vorandel_tre", true, true);
    HWND w2 = seconda.attendi("Finestra principale");
    ASSERT_NE(w2, nullptr) << "the second copy did not start";
    EXPECT_EQ(prima.chiudi(w1), 0);
    ASSERT_TRUE(seconda.vivo());

    DeleteFileA((prima.cartella + "\\Tutto261.dib").c_str());
    gioco terza("vorandel_tre", false, true);
    EXPECT_EQ(terza.fine(), 0);
    EXPECT_EQ(terza.log(), "INIZIO!\n") << "the copy that wrote no log kept the log's mutex";
    EXPECT_EQ(seconda.chiudi(w2), 0);
}

// A mutex that nobody may open, as one an administrator's or another user's
// game holds: the game's attempt to create it fails with access denied.
struct mutex_negato {
    HANDLE h = nullptr;
    explicit mutex_negato(const std::wstring& nome) {
        SECURITY_DESCRIPTOR sd;
        ACL vuota;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        InitializeAcl(&vuota, sizeof vuota, ACL_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, &vuota, FALSE);
        SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
        h = CreateMutexW(&sa, FALSE, nome.c_str());
    }
    ~mutex_negato() {
        if (h != nullptr) CloseHandle(h);
    }
};

// A copy whose log mutex, by the folder's identity or by its path (as an
// earlier game names it), cannot be created writes no log: the log there,
// the first copy's, stays byte for byte.
TEST(Avvio, UnMutexDelLogNegatoLasciaIlLogAllaPrima) {
    gioco vuota("vorandel_negato", false);  // makes the folder
    ASSERT_EQ(vuota.fine(), 0);
    std::wstring cartella(vuota.cartella.begin(), vuota.cartella.end());
    std::wstring per_percorso = nome_presenza(L"Global\\Vorandel32 log ", cartella) + L"/voran32.log";
    std::wstring per_identita = L"Global\\Vorandel32 log " + identita_cartella(cartella);
    ASSERT_NE(per_identita, L"Global\\Vorandel32 log ") << "the folder has no identity";
    const std::string della_prima = "INIZIO!\nMainProc: ciclo iniziato\nCiclo finito\npatte: 1\n";
    for (const std::wstring& nome : {per_identita, per_percorso}) {
        mutex_negato negato(nome);
        ASSERT_NE(negato.h, nullptr);
        HANDLE prova = CreateMutexW(nullptr, FALSE, nome.c_str());
        DWORD errore = GetLastError();
        if (prova != nullptr) CloseHandle(prova);
        ASSERT_EQ(prova, nullptr) << "the denied mutex could be opened";
        ASSERT_EQ(errore, static_cast<DWORD>(ERROR_ACCESS_DENIED));

        HANDLE f = CreateFileA((vuota.cartella + "\\voran32.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD scritti = 0;
        WriteFile(f, della_prima.data(), static_cast<DWORD>(della_prima.size()), &scritti, nullptr);
        CloseHandle(f);
        gioco seconda("vorandel_negato", false, true);
        EXPECT_EQ(seconda.fine(), 0);
        EXPECT_EQ(seconda.log(), della_prima) << "a copy refused the log's mutex wrote the log";
    }
}

// "Stop tournament", and the game killed as soon as the tally is written:
// the tally is in the log.
TEST(Avvio, IlConteggioDelTorneoRestaNelLogDiUnGiocoUcciso) {
    gioco g("vorandel_ucciso", true);
    HWND w = g.attendi("Finestra principale");
    ASSERT_NE(w, nullptr) << "no main window";
    std::string log = nuovo_torneo(g, w, 0);
    ASSERT_NE(log.find("MainProc: ciclo iniziato\n"), std::string::npos) << log;
    HWND pannello = FindWindowExA(w, nullptr, "specchietto!", nullptr);
    HWND stop = FindWindowExA(pannello, nullptr, "Button", "Stop tournament");
    ASSERT_NE(stop, nullptr);
    PostMessageA(pannello, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(stop), BN_CLICKED), reinterpret_cast<LPARAM>(stop));
    log = g.attendi_nel_log("vittorie player 2: ");
    ASSERT_TRUE(g.vivo()) << log;
    TerminateProcess(g.pi.hProcess, 99);
    ASSERT_EQ(WaitForSingleObject(g.pi.hProcess, 30000), WAIT_OBJECT_0);
    log = g.log();
    std::size_t ciclo = log.find("Ciclo finito\npatte: ");
    ASSERT_NE(ciclo, std::string::npos) << "no tally on disk while the game ran:\n" << log;
    EXPECT_NE(log.find("\nvittorie player 1: ", ciclo), std::string::npos) << log;
    EXPECT_NE(log.find("\nvittorie player 2: ", ciclo), std::string::npos) << log;
}

}  // namespace
