// The manual as the game opens it: "Help topics" calls WinHelpA(hWnd,
// "Vorandel.hlp", HELP_CONTENTS, 0) from the game's folder, and the help
// engine (winhlp32) must show the contents at once. Were the file missing or
// unreadable, it would show an error box and keep the caller blocked inside
// WinHelpA, so every call here runs on a worker thread with a time limit.
// The help window and its boxes belong to the engine's own process: they are
// looked for over the whole desktop (the cross build's tests run one at a
// time). VORANDEL_MANUALE, VORANDEL_GIOCO and VORANDEL_FOGLIO name the built
// Vorandel.hlp, the game and its sprite sheet.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "finestra_prova.h"
#include "risorse.h"

namespace {

constexpr DWORD LIMITE_MS = 15000;  // far beyond the fraction of a second a call takes

// Polls `fatto` every 50 ms for at most `ms`.
template <class F>
bool attendi(F fatto, DWORD ms = LIMITE_MS) {
    for (DWORD inizio = GetTickCount();; Sleep(50)) {
        if (fatto()) return true;
        if (GetTickCount() - inizio > ms) return false;
    }
}

// One WinHelpA call on a worker thread. A call still blocked when its test
// ends keeps its data, so that it writes into no freed memory when it returns.
class chiamata_aiuto {
public:
    chiamata_aiuto(HWND finestra, UINT comando) : d_(new dati{finestra, comando, FALSE}) {
        thread_ = CreateThread(nullptr, 0, &esegui, d_, 0, nullptr);
    }
    ~chiamata_aiuto() {
        if (tornata(0)) delete d_;
        if (thread_ != nullptr) CloseHandle(thread_);
    }
    // True once the call has returned, waiting at most `ms`.
    bool tornata(DWORD ms = LIMITE_MS) const {
        return thread_ != nullptr && WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0;
    }
    BOOL esito() const { return d_->esito; }

private:
    struct dati {
        HWND finestra;
        UINT comando;
        BOOL esito;
    };
    static DWORD WINAPI esegui(LPVOID p) {
        auto* d = static_cast<dati*>(p);
        d->esito = WinHelpA(d->finestra, "Vorandel.hlp", d->comando, 0);
        return 0;
    }
    dati* d_;
    HANDLE thread_;
};

// The text of a window of another process (WM_GETTEXT is carried across).
std::string testo_di(HWND h) {
    std::vector<char> buf(1 << 16, '\0');
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 5000,
                             &n))
        return "";
    return buf.data();
}

// Windows of a class (visible top-level ones, or the children of `madre`),
// with their texts.
struct ricerca {
    std::string classe;
    std::vector<HWND> trovate;
    std::string testi;
};

BOOL CALLBACK raccogli(HWND h, LPARAM l) {
    auto* r = reinterpret_cast<ricerca*>(l);
    char classe[128] = "";
    GetClassNameA(h, classe, sizeof classe);
    if ((GetParent(h) != nullptr || IsWindowVisible(h)) && std::string(classe).rfind(r->classe, 0) == 0) {
        r->trovate.push_back(h);
        r->testi += " [" + testo_di(h) + "]";
    }
    return TRUE;
}

ricerca cerca(const char* classe, HWND madre = nullptr) {
    ricerca r{classe, {}, ""};
    if (madre == nullptr)
        EnumWindows(raccogli, reinterpret_cast<LPARAM>(&r));
    else
        EnumChildWindows(madre, raccogli, reinterpret_cast<LPARAM>(&r));
    return r;
}

std::vector<HWND> finestre(const char* classe) { return cerca(classe).trovate; }

// Every visible box on the desktop with its texts, for the failure
// messages; empty when there is none.
std::string scatole_aperte() {
    std::string elenco;
    for (HWND h : finestre("#32770")) elenco += "\n  box \"" + testo_di(h) + "\":" + cerca("", h).testi;
    return elenco;
}

// Waits for the help window to show a page that contains `testo`.
void attendi_pagina(const std::string& testo) {
    HWND aiuto = nullptr;
    ASSERT_TRUE(attendi([&] { return !finestre("MS_WINHELP").empty() && (aiuto = finestre("MS_WINHELP")[0]); }))
        << "no help window; open boxes:" << scatole_aperte();
    std::string vista;
    EXPECT_TRUE(attendi([&] { return (vista = cerca("RichEdit", aiuto).testi).find(testo) != std::string::npos; }))
        << "the help window shows:\n" << vista;
    EXPECT_EQ(scatole_aperte(), "");
}

class Aiuto : public ::testing::Test {
protected:
    void SetUp() override {
        manuale_ = percorso("VORANDEL_MANUALE");
        ASSERT_NE(GetFileAttributesA(manuale_.c_str()), INVALID_FILE_ATTRIBUTES) << "VORANDEL_MANUALE: " << manuale_;
        // A help window or a box left over would make the checks meaningless.
        ASSERT_TRUE(finestre("MS_WINHELP").empty()) << "a help window is already open";
        ASSERT_EQ(scatole_aperte(), "") << "a box is already open";
        GetCurrentDirectoryA(MAX_PATH, vecchia_);
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        cartella_ = std::string(base) + "vorandel_aiuto_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(cartella_.c_str(), nullptr);
        chiamante_ = CreateWindowExA(0, "STATIC", "Vorandel 32 help test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(chiamante_, nullptr);
    }
    // Whatever a test left open goes, so that it cannot spoil the next test
    // on the shared desktop: every box is answered (a message box ends on any
    // of its answers) and the help engine is told to quit; the folder goes.
    void TearDown() override {
        for (int giro = 0; giro < 3 && !finestre("#32770").empty(); ++giro, Sleep(300))
            for (HWND h : finestre("#32770")) PostMessageA(h, WM_COMMAND, IDNO, 0);
        chiamata_aiuto quit(chiamante_, HELP_QUIT);
        EXPECT_TRUE(quit.tornata()) << "WinHelpA(HELP_QUIT) did not return";
        EXPECT_TRUE(attendi([] { return finestre("MS_WINHELP").empty(); })) << "the help window stayed open";
        SetCurrentDirectoryA(vecchia_);
        for (const char* f : {"vorandel32.exe", "Tutto261.dib", "Vorandel.hlp", "Vorandel.cnt", "voran32.log"})
            DeleteFileA((cartella_ + "\\" + f).c_str());
        RemoveDirectoryA(cartella_.c_str());
        if (chiamante_ != nullptr) DestroyWindow(chiamante_);
    }
    std::string manuale_, cartella_;
    char vecchia_[MAX_PATH];
    HWND chiamante_ = nullptr;
};

// The game's folder with what the game ships with. First the game's own call
// from there returns at once and brings up the contents with no error box;
// then "Help topics" in the real game does, and the game stays responsive.
TEST_F(Aiuto, HelpTopics) {
    std::string cnt = manuale_.substr(0, manuale_.size() - 4) + ".cnt";
    for (const auto& f : std::vector<std::pair<std::string, const char*>>{
             {manuale_, "Vorandel.hlp"},
             {cnt, "Vorandel.cnt"},
             {percorso("VORANDEL_GIOCO"), "vorandel32.exe"},
             {percorso("VORANDEL_FOGLIO"), "Tutto261.dib"}})
        ASSERT_TRUE(CopyFileA(f.first.c_str(), (cartella_ + "\\" + f.second).c_str(), FALSE)) << f.first;
    ASSERT_TRUE(SetCurrentDirectoryA(cartella_.c_str()));
    {
        chiamata_aiuto chiamata(chiamante_, HELP_CONTENTS);
        ASSERT_TRUE(chiamata.tornata()) << "WinHelpA is blocked; open boxes:" << scatole_aperte();
        EXPECT_TRUE(chiamata.esito());
        attendi_pagina("How a token moves");
        chiamata_aiuto quit(chiamante_, HELP_QUIT);
        ASSERT_TRUE(quit.tornata() && attendi([] { return finestre("MS_WINHELP").empty(); }));
    }

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string riga = "\"" + cartella_ + "\\vorandel32.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &riga[0], nullptr, nullptr, FALSE, 0, nullptr, cartella_.c_str(), &si, &pi));
    HWND principale = nullptr;
    EXPECT_TRUE(attendi([&] {
        for (HWND h : finestre("Finestra principale")) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == pi.dwProcessId) principale = h;
        }
        return principale != nullptr;
    })) << "the game's window did not appear";
    if (principale != nullptr) {
        PostMessageA(principale, WM_COMMAND, CMD_AIUTO, 0);
        attendi_pagina("How a token moves");
        DWORD_PTR r = 0;
        EXPECT_TRUE(SendMessageTimeoutA(principale, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, LIMITE_MS, &r))
            << "the game does not answer while the manual is open";
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, LIMITE_MS);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// The checks above can fail: without the file the engine shows its error
// box and the call stays blocked until the box is answered.
TEST_F(Aiuto, MissingFileShowsAnErrorBox) {
    ASSERT_TRUE(SetCurrentDirectoryA(cartella_.c_str()));
    chiamata_aiuto chiamata(chiamante_, HELP_CONTENTS);
    attendi([] { return !finestre("#32770").empty(); });
    std::vector<HWND> scatole = finestre("#32770");
    ASSERT_EQ(scatole.size(), 1u) << "no error box for a missing help file";
    std::string testi = cerca("", scatole[0]).testi;
    EXPECT_NE(testi.find("Vorandel.hlp"), std::string::npos) << testi;
    EXPECT_FALSE(chiamata.tornata(0)) << "WinHelpA returned while its error box was open";
    PostMessageA(scatole[0], WM_COMMAND, IDNO, 0);  // a user who gives up
    EXPECT_TRUE(chiamata.tornata()) << "WinHelpA stayed blocked after the box was answered";
    EXPECT_TRUE(attendi([] { return finestre("#32770").empty(); }));
}

}  // namespace
