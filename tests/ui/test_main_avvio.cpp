// The real game started as a user starts it, in a folder of its own: without
// its sprite sheet it ends at once and silently; with it, it shows its
// maximised window with the panel, keeps running when the close question is
// answered No, and ends with exit code 0 after Yes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A path handed over by the test run, as Wine sees it: Unix paths live on Z:.
std::string percorso(const char* variabile) {
    const char* v = std::getenv(variabile);
    if (v == nullptr) return "";
    std::string p = v;
    if (!p.empty() && p[0] == '/') {
        for (char& c : p)
            if (c == '/') c = '\\';
        p = "Z:" + p;
    }
    return p;
}

// A new empty folder under the temporary folder.
std::string cartella_nuova(const char* nome) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string d = std::string(tmp) + nome + "_" + std::to_string(GetCurrentProcessId());
    std::string cancella = d + "\\*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(cancella.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileA((d + "\\" + fd.cFileName).c_str());
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

std::string leggi(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    // The game writes its log as a text file: the lines end in CR LF.
    std::string t;
    for (char c : s.str())
        if (c != '\r') t += c;
    return t;
}

struct gioco {
    PROCESS_INFORMATION pi{};
    bool avviato = false;

    bool avvia(const std::string& cartella) {
        std::string exe = percorso("VORANDEL_GIOCO");
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string riga = "\"" + exe + "\"";
        avviato = CreateProcessA(exe.c_str(), &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &si,
                                 &pi) != FALSE;
        return avviato;
    }
    // Waits for the end; the exit code, or -1 when it did not end in time.
    long fine(DWORD ms) {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD codice = 0;
        GetExitCodeProcess(pi.hProcess, &codice);
        return static_cast<long>(codice);
    }
    bool vivo() { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    ~gioco() {
        if (!avviato) return;
        if (vivo()) TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

struct ricerca {
    DWORD pid;
    const char* classe;
    HWND trovata;
};

BOOL CALLBACK cerca_finestra(HWND w, LPARAM lParam) {
    auto* r = reinterpret_cast<ricerca*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char classe[64] = "";
    GetClassNameA(w, classe, sizeof classe);
    if (pid == r->pid && lstrcmpA(classe, r->classe) == 0) {
        r->trovata = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK cerca_scatola(HWND w, LPARAM lParam) {
    char classe[32] = "";
    GetClassNameA(w, classe, sizeof classe);
    if (lstrcmpA(classe, "#32770") == 0 && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(lParam) = w;
        return FALSE;
    }
    return TRUE;
}

// Waits, while the game runs, for `trova` to find something.
template <class F>
HWND attendi(gioco& g, F trova, DWORD ms = 30000) {
    DWORD inizio = GetTickCount();
    for (;;) {
        HWND w = trova();
        if (w != nullptr) return w;
        if (GetTickCount() - inizio > ms) return nullptr;
        if (WaitForSingleObject(g.pi.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    }
}

HWND scatola_del_gioco(DWORD tid) {
    HWND s = nullptr;
    EnumThreadWindows(tid, cerca_scatola, reinterpret_cast<LPARAM>(&s));
    return s;
}

std::string testo_scatola(HWND s) {
    std::string t;
    for (HWND c = GetWindow(s, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char classe[32] = "", testo[256] = "";
        GetClassNameA(c, classe, sizeof classe);
        GetWindowTextA(c, testo, sizeof testo);
        if (lstrcmpiA(classe, "Static") == 0 && testo[0] != '\0') t += testo;
    }
    return t;
}

TEST(Avvio, WithoutTheSpriteSheetTheGameEndsSilently) {
    ASSERT_FALSE(percorso("VORANDEL_GIOCO").empty()) << "VORANDEL_GIOCO names the game";
    std::string cartella = cartella_nuova("vorandel_vuota");
    gioco g;
    ASSERT_TRUE(g.avvia(cartella));
    EXPECT_EQ(g.fine(30000), 0);
    EXPECT_EQ(leggi(cartella + "\\voran32.log"), "INIZIO!\n");
}

TEST(Avvio, TheGameShowsItsWindowAndEndsAfterAConfirmedClose) {
    std::string cartella = cartella_nuova("vorandel_avvio");
    ASSERT_TRUE(CopyFileA(percorso("VORANDEL_FOGLIO").c_str(), (cartella + "\\Tutto261.dib").c_str(), FALSE))
        << "VORANDEL_FOGLIO names the sprite sheet";
    gioco g;
    ASSERT_TRUE(g.avvia(cartella));
    ricerca r{g.pi.dwProcessId, "Finestra principale", nullptr};
    HWND w = attendi(g, [&] {
        EnumWindows(cerca_finestra, reinterpret_cast<LPARAM>(&r));
        return r.trovata != nullptr && IsWindowVisible(r.trovata) ? r.trovata : nullptr;
    });
    ASSERT_NE(w, nullptr) << "no main window";
    char titolo[64] = "";
    GetWindowTextA(w, titolo, sizeof titolo);
    EXPECT_STREQ(titolo, "Vorandel 32");
    EXPECT_TRUE(IsZoomed(w));
    HWND pannello = FindWindowExA(w, nullptr, "specchietto!", nullptr);
    ASSERT_NE(pannello, nullptr);
    EXPECT_NE(FindWindowExA(pannello, nullptr, "Button", "Stop tournament"), nullptr);

    DWORD tid = GetWindowThreadProcessId(w, nullptr);
    PostMessageA(w, WM_CLOSE, 0, 0);
    HWND s = attendi(g, [&] { return scatola_del_gioco(tid); });
    ASSERT_NE(s, nullptr) << "closing must ask first";
    EXPECT_EQ(testo_scatola(s), "Are you sure?");
    PostMessageA(s, WM_COMMAND, IDNO, 0);
    ASSERT_NE(attendi(g, [&] { return IsWindow(s) ? nullptr : w; }), nullptr);
    EXPECT_TRUE(g.vivo());
    EXPECT_TRUE(IsWindow(w));

    PostMessageA(w, WM_COMMAND, 32005, 0);  // "Exit"
    s = attendi(g, [&] { return scatola_del_gioco(tid); });
    ASSERT_NE(s, nullptr) << "Exit must ask first";
    PostMessageA(s, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(g.fine(30000), 0);
    std::string log = leggi(cartella + "\\voran32.log");
    EXPECT_EQ(log.rfind("INIZIO!\n", 0), 0u) << log;
    EXPECT_NE(log.find("specc::specc terminato\n"), std::string::npos) << log;
}

}  // namespace
