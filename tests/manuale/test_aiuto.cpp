// The manual as the game opens it. "Help topics" calls
// WinHelpA(hWnd, "Vorandel.hlp", HELP_CONTENTS, 0) from the game's folder;
// the help engine (under Wine, winhlp32) must show the manual's contents
// page at once. Were the file missing or unreadable, the engine would show
// an error box instead and keep the caller blocked inside WinHelpA until
// someone answered it, so every call here runs on a worker thread with a
// time limit: a blocked call fails the test instead of hanging it.
//
// The help window and its error boxes belong to the help engine's own
// process, so they are looked for over the whole desktop; the tests of the
// cross build run one at a time on one Wine desktop.
//
// Paths come from the test run, as Unix paths: VORANDEL_MANUALE (the built
// Vorandel.hlp), VORANDEL_GIOCO (the game) and VORANDEL_FOGLIO (its sprite
// sheet).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "risorse.h"

namespace {

constexpr DWORD LIMITE_MS = 15000;  // far beyond the fraction of a second a call takes
constexpr char CLASSE_AIUTO[] = "MS_WINHELP";
constexpr char CLASSE_GIOCO[] = "Finestra principale";  // the game's main window

// A path handed over by the test run, as Wine sees it: Unix paths live on Z:.
std::string percorso(const char* variabile) {
    const char* v = std::getenv(variabile);
    if (v == nullptr || *v == '\0') return "";
    std::string p = v;
    if (p[0] == '/') p = "Z:" + p;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string cartella_di(const std::string& file) {
    std::string::size_type fine = file.find_last_of('\\');
    return fine == std::string::npos ? std::string(".") : file.substr(0, fine);
}

// A folder of its own under the temporary folder, removed with its files.
class cartella_temporanea {
public:
    cartella_temporanea() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        percorso_ = std::string(base) + "vorandel_aiuto_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(percorso_.c_str(), nullptr);
    }
    ~cartella_temporanea() {
        WIN32_FIND_DATAA dati;
        HANDLE h = FindFirstFileA((percorso_ + "\\*").c_str(), &dati);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = dati.cFileName;
                if (n != "." && n != "..") DeleteFileA((percorso_ + "\\" + n).c_str());
            } while (FindNextFileA(h, &dati));
            FindClose(h);
        }
        RemoveDirectoryA(percorso_.c_str());
    }
    const std::string& percorso() const { return percorso_; }

private:
    std::string percorso_;
};

// The current folder, put back at the end of a test.
class cartella_corrente {
public:
    explicit cartella_corrente(const std::string& nuova) {
        GetCurrentDirectoryA(MAX_PATH, vecchia_);
        riuscito_ = SetCurrentDirectoryA(nuova.c_str()) != 0;
    }
    ~cartella_corrente() { SetCurrentDirectoryA(vecchia_); }
    bool riuscito() const { return riuscito_; }

private:
    char vecchia_[MAX_PATH];
    bool riuscito_;
};

// One WinHelpA call on a worker thread. The call's data are shared by the
// thread and this object and freed by whichever lets go last, so that a
// call still blocked when its test ends writes nothing into freed memory
// once the box that blocked it is answered.
class chiamata_aiuto {
public:
    chiamata_aiuto(HWND finestra, const std::string& file, UINT comando) : dati_(new dati{finestra, file, comando}) {
        thread_ = CreateThread(nullptr, 0, &chiamata_aiuto::esegui, dati_, 0, nullptr);
        if (thread_ == nullptr) dati_->riferimenti = 1;
    }
    ~chiamata_aiuto() {
        if (thread_ != nullptr) CloseHandle(thread_);
        lascia(dati_);
    }
    chiamata_aiuto(const chiamata_aiuto&) = delete;
    chiamata_aiuto& operator=(const chiamata_aiuto&) = delete;
    // True once the call has returned, waiting at most `ms`.
    bool tornata(DWORD ms) const { return thread_ != nullptr && WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }
    BOOL esito() const { return dati_->esito; }

private:
    struct dati {
        HWND finestra;
        std::string file;
        UINT comando;
        volatile BOOL esito = FALSE;
        volatile LONG riferimenti = 2;
    };
    static void lascia(dati* d) {
        if (InterlockedDecrement(&d->riferimenti) == 0) delete d;
    }
    static DWORD WINAPI esegui(LPVOID p) {
        auto* d = static_cast<dati*>(p);
        d->esito = WinHelpA(d->finestra, d->file.c_str(), d->comando, 0);
        lascia(d);
        return 0;
    }
    dati* dati_;
    HANDLE thread_ = nullptr;
};

std::string classe_di(HWND h) {
    char c[128] = "";
    GetClassNameA(h, c, sizeof c);
    return c;
}

// The text of a window of another process (WM_GETTEXT is carried across).
std::string testo_di(HWND h) {
    std::vector<char> buf(1 << 16, '\0');
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 5000,
                             &n))
        return "";
    return std::string(buf.data());
}

struct ricerca {
    std::string classe;
    std::vector<HWND> trovate;
};

BOOL CALLBACK raccogli(HWND h, LPARAM l) {
    auto* r = reinterpret_cast<ricerca*>(l);
    if (IsWindowVisible(h) && classe_di(h) == r->classe) r->trovate.push_back(h);
    return TRUE;
}

// The visible top-level windows of a class, over the whole desktop.
std::vector<HWND> finestre(const char* classe) {
    ricerca r{classe, {}};
    EnumWindows(raccogli, reinterpret_cast<LPARAM>(&r));
    return r.trovate;
}

BOOL CALLBACK raccogli_figlie(HWND h, LPARAM l) {
    auto* testi = reinterpret_cast<std::string*>(l);
    if (classe_di(h).rfind("RichEdit", 0) == 0) *testi += testo_di(h);
    return TRUE;
}

// What the help window shows: the text of its topic pane.
std::string pagina_mostrata(HWND aiuto) {
    std::string testi;
    EnumChildWindows(aiuto, raccogli_figlie, reinterpret_cast<LPARAM>(&testi));
    return testi;
}

BOOL CALLBACK raccogli_testi(HWND h, LPARAM l) {
    auto* testi = reinterpret_cast<std::string*>(l);
    std::string t = testo_di(h);
    if (!t.empty()) *testi += " [" + t + "]";
    return TRUE;
}

// Every visible dialog or message box on the desktop, with its texts, for
// the failure messages; empty when there is none.
std::string scatole_aperte() {
    std::string elenco;
    for (HWND h : finestre("#32770")) {
        elenco += "\n  box \"" + testo_di(h) + "\":";
        EnumChildWindows(h, raccogli_testi, reinterpret_cast<LPARAM>(&elenco));
    }
    return elenco;
}

// Waits up to `ms` for a visible help window; null when none came.
HWND attendi_aiuto(DWORD ms) {
    DWORD inizio = GetTickCount();
    for (;;) {
        std::vector<HWND> f = finestre(CLASSE_AIUTO);
        if (!f.empty()) return f.front();
        if (GetTickCount() - inizio > ms) return nullptr;
        Sleep(50);
    }
}

// Waits up to `ms` for the help window to show a page that contains `testo`.
bool attendi_pagina(HWND aiuto, const std::string& testo, DWORD ms, std::string* vista) {
    DWORD inizio = GetTickCount();
    for (;;) {
        *vista = pagina_mostrata(aiuto);
        if (vista->find(testo) != std::string::npos) return true;
        if (GetTickCount() - inizio > ms) return false;
        Sleep(50);
    }
}

bool attendi_chiusura_aiuto(DWORD ms) {
    DWORD inizio = GetTickCount();
    while (!finestre(CLASSE_AIUTO).empty()) {
        if (GetTickCount() - inizio > ms) return false;
        Sleep(50);
    }
    return true;
}

// The caller's window: a plain top-level window of this thread.
class finestra_chiamante {
public:
    finestra_chiamante() {
        h_ = CreateWindowExA(0, "STATIC", "Vorandel 32 help test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~finestra_chiamante() {
        if (h_ != nullptr) DestroyWindow(h_);
    }
    HWND h() const { return h_; }

private:
    HWND h_;
};

// Closes the help engine as a caller does when it quits, and checks that
// its window goes.
void chiudi_aiuto(HWND chiamante, const std::string& file) {
    chiamata_aiuto quit(chiamante, file, HELP_QUIT);
    EXPECT_TRUE(quit.tornata(LIMITE_MS)) << "WinHelpA(HELP_QUIT) did not return";
    EXPECT_TRUE(attendi_chiusura_aiuto(LIMITE_MS)) << "the help window stayed open after HELP_QUIT";
}

// The game, started in a folder; ended at the end of the test.
class processo_gioco {
public:
    explicit processo_gioco(const std::string& cartella) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string riga = "\"" + cartella + "\\vorandel32.exe\"";
        avviato_ = CreateProcessA(nullptr, &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella.c_str(), &si,
                                  &pi_) != 0;
    }
    ~processo_gioco() {
        if (!avviato_) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, LIMITE_MS);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool avviato() const { return avviato_; }
    // The game's main window, once it is visible; null if it does not come.
    HWND attendi_finestra(DWORD ms) const {
        DWORD inizio = GetTickCount();
        for (;;) {
            for (HWND h : finestre(CLASSE_GIOCO)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == pi_.dwProcessId) return h;
            }
            if (GetTickCount() - inizio > ms) return nullptr;
            Sleep(50);
        }
    }

private:
    PROCESS_INFORMATION pi_{};
    bool avviato_ = false;
};

class Aiuto : public ::testing::Test {
protected:
    void SetUp() override {
        manuale_ = percorso("VORANDEL_MANUALE");
        ASSERT_FALSE(manuale_.empty()) << "VORANDEL_MANUALE names the built Vorandel.hlp";
        ASSERT_NE(GetFileAttributesA(manuale_.c_str()), INVALID_FILE_ATTRIBUTES) << manuale_ << " is missing";
        // A help window or a box left over would make the checks meaningless.
        ASSERT_TRUE(finestre(CLASSE_AIUTO).empty()) << "a help window is already open";
        ASSERT_EQ(scatole_aperte(), "") << "a box is already open";
        ASSERT_NE(chiamante_.h(), nullptr);
    }
    // Whatever a failed test left open goes, so that it cannot spoil the
    // next test on the shared desktop: every box is answered (a message
    // box ends on any of its answers, whichever buttons it shows) and the
    // help engine is told to quit.
    void TearDown() override {
        for (int giro = 0; giro < 3 && !finestre("#32770").empty(); ++giro) {
            for (HWND h : finestre("#32770")) PostMessageA(h, WM_COMMAND, IDNO, 0);
            Sleep(300);
        }
        if (!finestre(CLASSE_AIUTO).empty()) {
            chiamata_aiuto quit(chiamante_.h(), "Vorandel.hlp", HELP_QUIT);
            quit.tornata(LIMITE_MS);
            attendi_chiusura_aiuto(LIMITE_MS);
        }
    }
    std::string manuale_;
    finestra_chiamante chiamante_;
};

// The game's own call, from the game's folder: the contents page comes up
// at once and no error box does.
TEST_F(Aiuto, ContentsFromTheGamesFolder) {
    cartella_corrente qui(cartella_di(manuale_));
    ASSERT_TRUE(qui.riuscito()) << "cannot enter " << cartella_di(manuale_);

    chiamata_aiuto chiamata(chiamante_.h(), "Vorandel.hlp", HELP_CONTENTS);
    ASSERT_TRUE(chiamata.tornata(LIMITE_MS)) << "WinHelpA is blocked; open boxes:" << scatole_aperte();
    EXPECT_TRUE(chiamata.esito());

    HWND aiuto = attendi_aiuto(LIMITE_MS);
    ASSERT_NE(aiuto, nullptr) << "no help window; open boxes:" << scatole_aperte();
    std::string vista;
    EXPECT_TRUE(attendi_pagina(aiuto, "Vorandel 32", LIMITE_MS, &vista)) << "the help window shows:\n" << vista;
    // The contents page lists the chapters.
    for (const char* capitolo : {"Your first game", "The board", "How a token moves", "How a game ends",
                                 "Playing a move with the mouse", "Who plays: the Options dialog", "Tournaments",
                                 "How the computer plays", "Menu commands", "How the skills compare"})
        EXPECT_NE(vista.find(capitolo), std::string::npos) << "the contents page lacks \"" << capitolo << "\":\n"
                                                           << vista;
    EXPECT_EQ(scatole_aperte(), "");

    chiudi_aiuto(chiamante_.h(), "Vorandel.hlp");
}

// "Help topics" in the real game, started in a folder of its own that holds
// what it ships with: the manual comes up and the game stays responsive.
TEST_F(Aiuto, HelpTopicsInTheGame) {
    std::string gioco = percorso("VORANDEL_GIOCO");
    std::string foglio = percorso("VORANDEL_FOGLIO");
    ASSERT_FALSE(gioco.empty()) << "VORANDEL_GIOCO names the game";
    ASSERT_FALSE(foglio.empty()) << "VORANDEL_FOGLIO names the sprite sheet";
    cartella_temporanea cartella;
    const std::string& c = cartella.percorso();
    std::string cnt = manuale_.substr(0, manuale_.size() - 4) + ".cnt";
    ASSERT_TRUE(CopyFileA(gioco.c_str(), (c + "\\vorandel32.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(foglio.c_str(), (c + "\\Tutto261.dib").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(manuale_.c_str(), (c + "\\Vorandel.hlp").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(cnt.c_str(), (c + "\\Vorandel.cnt").c_str(), FALSE));

    processo_gioco p(c);
    ASSERT_TRUE(p.avviato()) << "the game did not start";
    HWND principale = p.attendi_finestra(LIMITE_MS);
    ASSERT_NE(principale, nullptr) << "the game's window did not appear";

    PostMessageA(principale, WM_COMMAND, CMD_AIUTO, 0);
    HWND aiuto = attendi_aiuto(LIMITE_MS);
    ASSERT_NE(aiuto, nullptr) << "no help window; open boxes:" << scatole_aperte();
    std::string vista;
    EXPECT_TRUE(attendi_pagina(aiuto, "How a token moves", LIMITE_MS, &vista)) << "the help window shows:\n" << vista;
    DWORD_PTR r = 0;
    EXPECT_TRUE(SendMessageTimeoutA(principale, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, LIMITE_MS, &r))
        << "the game does not answer while the manual is open";
    EXPECT_EQ(scatole_aperte(), "");

    chiudi_aiuto(chiamante_.h(), "Vorandel.hlp");
}

// The check above can fail: without the file the engine shows its error box
// and the call stays blocked until the box is answered.
TEST_F(Aiuto, MissingFileShowsAnErrorBox) {
    cartella_temporanea vuota;
    cartella_corrente qui(vuota.percorso());
    ASSERT_TRUE(qui.riuscito());

    chiamata_aiuto chiamata(chiamante_.h(), "Vorandel.hlp", HELP_CONTENTS);
    DWORD inizio = GetTickCount();
    std::vector<HWND> scatole;
    while ((scatole = finestre("#32770")).empty() && GetTickCount() - inizio < LIMITE_MS) Sleep(50);
    ASSERT_EQ(scatole.size(), 1u) << "no error box for a missing help file";
    std::string testi;
    EnumChildWindows(scatole.front(), raccogli_testi, reinterpret_cast<LPARAM>(&testi));
    EXPECT_NE(testi.find("Vorandel.hlp"), std::string::npos) << testi;
    EXPECT_FALSE(chiamata.tornata(0)) << "WinHelpA returned while its error box was open";

    // Answer "No", as a user who gives up; then the call returns.
    PostMessageA(scatole.front(), WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(chiamata.tornata(LIMITE_MS)) << "WinHelpA stayed blocked after the box was answered";
    DWORD fine = GetTickCount();
    while (!finestre("#32770").empty() && GetTickCount() - fine < LIMITE_MS) Sleep(50);
    EXPECT_EQ(scatole_aperte(), "");
    chiudi_aiuto(chiamante_.h(), "Vorandel.hlp");
}

}  // namespace
