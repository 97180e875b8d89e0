// The manual as the game opens it. "Help topics" picks one of two ways by a
// rule of three facts, tested here case by case. Under Wine, as on Windows 95
// to XP, it calls WinHelpA(hWnd, "Vorandel.hlp", HELP_CONTENTS, 0) from the
// game's folder, and the help engine (winhlp32) must show the contents at
// once. Where Windows has no Help engine, the HTML manual beside the game is
// handed to the program that opens .html pages: in these tests a recorder,
// registered for the time of each test, which writes down every page it was
// asked to open (and keeps any browser of the machine out of the tests).
// Were the help file missing or unreadable, the engine would show an error
// box and keep the caller blocked inside WinHelpA, so every call here runs on
// a worker thread with a time limit.
// The help window and its boxes belong to the engine's own process: they are
// looked for over the whole desktop (the cross build's tests run one at a
// time). VORANDEL_MANUALE, VORANDEL_GIOCO, VORANDEL_FOGLIO and VORANDEL_PAGINE
// name the built Vorandel.hlp, the game, its sprite sheet and the folder of
// HTML pages beside it; VORANDEL_REGISTRATORE names the recorder, which
// writes each page in UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "aiuto.h"
#include "finestra_prova.h"
#include "risorse.h"

namespace {

constexpr DWORD LIMITE_MS = 15000;  // far beyond the fraction of a second a call takes

// Waits `ms` while dispatching this thread's messages: a box that a call
// on a worker thread shows, owned by a window of this thread, needs them.
void riposa(DWORD ms) {
    for (DWORD inizio = GetTickCount(); GetTickCount() - inizio < ms;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Polls `fatto` every 50 ms for at most `ms`.
template <class F>
bool attendi(F fatto, DWORD ms = LIMITE_MS) {
    for (DWORD inizio = GetTickCount();; riposa(50)) {
        if (fatto()) return true;
        if (GetTickCount() - inizio > ms) return false;
    }
}

// One call that may end in WinHelpA, on a worker thread. A call still
// blocked when its test ends keeps its data, so that it writes into no freed
// memory when it returns.
class chiamata_aiuto {
public:
    chiamata_aiuto(HWND finestra, UINT comando)
        : chiamata_aiuto([finestra, comando] { return WinHelpA(finestra, "Vorandel.hlp", comando, 0); }) {}
    explicit chiamata_aiuto(std::function<BOOL()> chiamata) : d_(new dati{std::move(chiamata), FALSE}) {
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
        std::function<BOOL()> chiamata;
        BOOL esito;
    };
    static DWORD WINAPI esegui(LPVOID p) {
        auto* d = static_cast<dati*>(p);
        d->esito = d->chiamata();
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

// The program that opens .html pages, for the time of one test: the
// recorder, which appends each page it is asked to open to `registro`. The
// class is written where ShellExecuteA reads it, HKEY_CLASSES_ROOT (Wine
// keeps it in HKLM\Software\Classes and does not look into HKCU's classes);
// whatever .html had before is put back at the end.
class apri_html_con_registratore {
public:
    apri_html_con_registratore(const std::string& registratore, const std::string& registro) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_READ, &k) == ERROR_SUCCESS) {
            c_era_ = true;
            char valore[256] = "";
            DWORD dim = sizeof valore - 1;
            DWORD tipo = 0;
            if (RegQueryValueExA(k, nullptr, nullptr, &tipo, reinterpret_cast<BYTE*>(valore), &dim) ==
                    ERROR_SUCCESS &&
                tipo == REG_SZ)
                classe_di_prima_ = valore;
            RegCloseKey(k);
        }
        std::string comando = "\"" + registratore + "\" \"" + registro + "\" \"%1\"";
        pronto_ = scrivi(CLASSE, "") && scrivi(".html", CLASSE) &&
                  scrivi(std::string(CLASSE) + "\\shell\\open\\command", comando);
    }
    ~apri_html_con_registratore() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, CLASSE);
        if (!c_era_)
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
        else if (!classe_di_prima_.empty())
            scrivi(".html", classe_di_prima_);
        else
            RegDeleteKeyValueA(HKEY_CLASSES_ROOT, ".html", nullptr);
    }
    bool pronto() const { return pronto_; }

private:
    static constexpr const char* CLASSE = "Vorandel32.ProvaPagina";
    // The default value of a key, made if need be.
    static bool scrivi(const std::string& chiave, const std::string& valore) {
        HKEY k = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, chiave.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return false;
        bool fatto = RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(valore.c_str()),
                                    static_cast<DWORD>(valore.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(k);
        return fatto;
    }
    bool c_era_ = false;
    std::string classe_di_prima_;
    bool pronto_ = false;
};

// Removes a folder with everything in it (names in any script).
void cancella_albero(const std::wstring& cartella) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((cartella + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring nome = f.cFileName;
            if (nome == L"." || nome == L"..") continue;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                cancella_albero(cartella + L"\\" + nome);
            else
                DeleteFileW((cartella + L"\\" + nome).c_str());
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    RemoveDirectoryW(cartella.c_str());
}

std::wstring largo(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return w;
}

std::string utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<std::size_t>(n) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}

std::string contenuto(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream tutto;
    tutto << in.rdbuf();
    return tutto.str();
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
        registro_ = cartella_ + "\\pagine aperte.txt";
        html_.reset(new apri_html_con_registratore(percorso("VORANDEL_REGISTRATORE"), registro_));
        ASSERT_TRUE(html_->pronto()) << "the recorder could not be registered for .html pages";
        chiamante_ = CreateWindowExA(0, "STATIC", "Vorandel 32 help test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(chiamante_, nullptr);
    }
    // Whatever a test left open goes, so that it cannot spoil the next test
    // on the shared desktop: every box is answered (a message box ends on any
    // of its answers) and the help engine is told to quit; the folder and
    // the registration of the recorder go.
    void TearDown() override {
        for (int giro = 0; giro < 3 && !finestre("#32770").empty(); ++giro, Sleep(300))
            for (HWND h : finestre("#32770")) PostMessageA(h, WM_COMMAND, IDNO, 0);
        chiamata_aiuto quit(chiamante_, HELP_QUIT);
        EXPECT_TRUE(quit.tornata()) << "WinHelpA(HELP_QUIT) did not return";
        EXPECT_TRUE(attendi([] { return finestre("MS_WINHELP").empty(); })) << "the help window stayed open";
        SetCurrentDirectoryA(vecchia_);
        html_.reset();
        cancella_albero(largo(cartella_));
        if (chiamante_ != nullptr) DestroyWindow(chiamante_);
    }
    // The pages handed to the recorder so far, one a line.
    std::string pagine_aperte() const { return contenuto(registro_); }
    // Copies the help file with its contents file into `cartella`.
    void copia_manuale(const std::string& cartella) {
        std::string cnt = manuale_.substr(0, manuale_.size() - 4) + ".cnt";
        ASSERT_TRUE(CopyFileA(manuale_.c_str(), (cartella + "\\Vorandel.hlp").c_str(), FALSE)) << manuale_;
        ASSERT_TRUE(CopyFileA(cnt.c_str(), (cartella + "\\Vorandel.cnt").c_str(), FALSE)) << cnt;
    }
    // Makes `cartella`\manuale with the built first page of the HTML manual;
    // returns that page's path.
    std::wstring copia_pagine(const std::wstring& cartella) {
        std::wstring pagine = cartella + L"\\manuale";
        CreateDirectoryW(cartella.c_str(), nullptr);
        CreateDirectoryW(pagine.c_str(), nullptr);
        std::string fatta = percorso("VORANDEL_PAGINE") + "\\index.html";
        EXPECT_TRUE(CopyFileW(largo(fatta).c_str(), (pagine + L"\\index.html").c_str(), FALSE))
            << "the build put no HTML manual beside the game: " << fatta;
        return pagine + L"\\index.html";
    }
    std::string manuale_, cartella_, registro_;
    char vecchia_[MAX_PATH];
    HWND chiamante_ = nullptr;
    std::unique_ptr<apri_html_con_registratore> html_;
};

// The game's folder with what the game ships with. First the game's own call
// from there returns at once and brings up the contents with no error box;
// then "Help topics" in the real game does, and the game stays responsive.
// Wine has its own Help engine: the HTML manual beside the game is not
// handed to the browser.
TEST_F(Aiuto, ArgomentiDellAiutoApronoIlManuale) {
    copia_manuale(cartella_);
    copia_pagine(largo(cartella_));
    for (const auto& f : std::vector<std::pair<std::string, const char*>>{
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
        EXPECT_EQ(pagine_aperte(), "") << "the game handed its HTML manual to a browser under Wine";
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, LIMITE_MS);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// The checks above can fail: without the file the engine shows its error
// box and the call stays blocked until the box is answered.
TEST_F(Aiuto, FileMancanteMostraUnaScatolaDiErrore) {
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

// The rule, case by case: Windows 95 to XP and Wine, whatever it reports
// or exports, have the Help engine; Vista and later (known by what their
// kernel32 exports, also in compatibility mode) open the HTML manual when
// it is there, and the help file otherwise.
TEST(ViaAiuto, RegolaSecondoIFatti) {
    struct caso {
        bool wine, vista, html;
        e_via_aiuto via;
        const char* quale;
    };
    const caso casi[] = {
        {false, false, true, VIA_WINHELP, "Windows 95 to XP"},
        {false, false, false, VIA_WINHELP, "Windows 95 to XP, no HTML manual"},
        {false, true, true, VIA_BROWSER, "Vista to 11, also in XP compatibility mode"},
        {false, true, false, VIA_WINHELP, "Vista to 11, no HTML manual"},
        {true, true, true, VIA_WINHELP, "Wine (it exports Vista's functions whatever it reports)"},
        {true, false, true, VIA_WINHELP, "Wine without Vista's functions"},
        {true, true, false, VIA_WINHELP, "Wine, no HTML manual"},
    };
    for (const caso& c : casi) EXPECT_EQ(via_aiuto(c.wine, c.vista, c.html), c.via) << c.quale;
}

// The facts as this computer gives them: Wine is recognised, and exports
// Vista's functions, so the Wine check must come first; the first page is
// looked for in the folder of the program, and a path that does not fit is
// refused without a character written beyond its buffer.
TEST(ViaAiuto, FattiDiQuestoComputer) {
    EXPECT_TRUE(sotto_wine());
    EXPECT_TRUE(da_vista()) << "Wine's kernel32 exports GetTickCount64";
    EXPECT_EQ(via_aiuto(sotto_wine(), da_vista(), true), VIA_WINHELP);

    wchar_t programma[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, programma, MAX_PATH), 0u);
    std::wstring atteso = programma;
    atteso.erase(atteso.rfind(L'\\') + 1);
    EXPECT_TRUE(esiste_file(programma));
    EXPECT_FALSE(esiste_file(atteso.c_str())) << "a folder is no page";
    EXPECT_FALSE(esiste_file((atteso + L"manuale\\non_c_e.html").c_str()));
    atteso += L"manuale\\index.html";

    const unsigned giusto = static_cast<unsigned>(atteso.size() + 1);
    std::vector<wchar_t> pagina(giusto + 1, L'x');
    ASSERT_EQ(pagina_manuale(pagina.data(), giusto), 1);
    EXPECT_TRUE(std::wstring(pagina.data()) == atteso);
    EXPECT_EQ(pagina[giusto], L'x');
    std::fill(pagina.begin(), pagina.end(), L'x');
    EXPECT_EQ(pagina_manuale(pagina.data(), giusto - 1), 0);
    EXPECT_EQ(pagina[0], L'\0');
    EXPECT_TRUE(std::wstring(pagina.begin() + 1, pagina.end()) == std::wstring(giusto, L'x'));
    EXPECT_EQ(pagina_manuale(nullptr, MAX_PATH), 0);
}

// The browser's way, for real: the first page, in a folder whose name has
// spaces and Greek letters (outside the ANSI code page), is handed whole to
// the program registered for .html pages, once, and the help engine stays
// closed.
TEST_F(Aiuto, IlBrowserApreIlManualeHtml) {
    std::wstring pagina = copia_pagine(largo(cartella_) + L"\\Vorandel 32 \u0391\u03b8\u03b7\u03bd\u03ac");
    ASSERT_NE(GetFileAttributesW(pagina.c_str()), INVALID_FILE_ATTRIBUTES);
    chiamata_aiuto chiamata([this, pagina] { return mostra_manuale(chiamante_, VIA_BROWSER, pagina.c_str()); });
    ASSERT_TRUE(chiamata.tornata()) << "opening the browser is blocked; open boxes:" << scatole_aperte();
    EXPECT_EQ(chiamata.esito(), 1);
    std::string aperte;
    EXPECT_TRUE(attendi([&] { return !(aperte = pagine_aperte()).empty() && aperte.back() == '\n'; }))
        << "the program for .html pages was not started";
    Sleep(300);  // a second start, if any, would show by now
    EXPECT_EQ(pagine_aperte(), utf8(pagina) + "\n");
    EXPECT_TRUE(finestre("MS_WINHELP").empty()) << "the help engine opened too";
    EXPECT_EQ(scatole_aperte(), "");
}

// When the page cannot be opened in a browser (here it went missing after
// the facts were gathered), a box names the folder of the manual's pages,
// and the Help engine, a stub where the browser's way is chosen, is not
// asked.
TEST_F(Aiuto, SenzaBrowserUnaScatolaIndicaLaCartella) {
    copia_manuale(cartella_);
    ASSERT_TRUE(SetCurrentDirectoryA(cartella_.c_str()));
    std::wstring pagina = largo(cartella_) + L"\\manuale\\index.html";
    chiamata_aiuto chiamata([this, pagina] { return mostra_manuale(chiamante_, VIA_BROWSER, pagina.c_str()); });
    ASSERT_TRUE(attendi([] { return !finestre("#32770").empty(); }))
        << "no box came; the call " << (chiamata.tornata(0) ? "returned " + std::to_string(chiamata.esito()) : "is blocked")
        << "; pages opened: " << pagine_aperte();
    std::vector<HWND> scatole = finestre("#32770");
    ASSERT_EQ(scatole.size(), 1u);
    std::string testi = cerca("", scatole[0]).testi;
    EXPECT_NE(testi.find(cartella_ + "\\manuale\n"), std::string::npos) << testi;
    EXPECT_FALSE(chiamata.tornata(0)) << "the call returned while its box was open";
    PostMessageA(scatole[0], WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(attendi([&] { return chiamata.tornata(0); }));
    EXPECT_EQ(chiamata.esito(), 0);
    EXPECT_TRUE(finestre("MS_WINHELP").empty()) << "the help engine was asked";
    EXPECT_EQ(pagine_aperte(), "");
}

}  // namespace
