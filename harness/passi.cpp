// The steps of the end-to-end run that neither play nor type, one command of
// the automation tool each: the game found, the board and panel in view,
// "Help topics", "Exit", and the Windows that the prefix reports. The games
// played with the pointer are in giocate.cpp, the keyboard alone in
// tastiera.cpp.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "automa.h"
#include "comune.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

int attendi() {
    if (!trova_gioco(60000)) return errore("no window of class \"%s\" titled \"%s\"", CLASSE, TITOLO);
    RECT r;
    GetClientRect(finestra, &r);
    POINT o = su_schermo(POINT{0, 0});
    dice("game window found: client area %ldx%ld at (%ld, %ld)%s", r.right, r.bottom, o.x, o.y,
         IsZoomed(finestra) ? ", maximised" : "");
    return 0;
}

// Whether a player sees the whole board and the whole panel: both inside the
// game's client area, on the screen, and not covered by another window (the
// window manager's, say): the window at each corner is the game's own. With
// `ripristinata`, the window is first restored, as "Restore" does, and
// maximised again after the check.
int vista(bool ripristinata) {
    if (ripristinata) {
        ShowWindow(finestra, SW_RESTORE);
        for (int i = 0; i < 100 && IsZoomed(finestra); i++) pausa(20);
        pausa(300);
        int esito = vista(false);
        ShowWindow(finestra, SW_SHOWMAXIMIZED);
        pausa(300);
        return esito;
    }
    RECT cliente, pannello_r;
    GetClientRect(finestra, &cliente);
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    if (pannello == nullptr) return errore("no panel beside the board");
    GetWindowRect(pannello, &pannello_r);
    MapWindowPoints(nullptr, finestra, reinterpret_cast<POINT*>(&pannello_r), 2);
    const RECT plancia{PLANCIA_SINISTRA, PLANCIA_ALTO, PLANCIA_DESTRA, PLANCIA_BASSO};
    const struct {
        const char* nome;
        RECT r;
        HWND propria;
    } parti[2] = {{"board", plancia, finestra}, {"panel", pannello_r, pannello}};
    int larg = GetSystemMetrics(SM_CXSCREEN), alt = GetSystemMetrics(SM_CYSCREEN);
    int difetti = 0;
    for (const auto& p : parti) {
        RECT dentro;
        IntersectRect(&dentro, &p.r, &cliente);
        if (!EqualRect(&dentro, &p.r)) {
            difetti += errore("the %s (%ld, %ld to %ld, %ld) is not inside the client area %ldx%ld", p.nome, p.r.left,
                              p.r.top, p.r.right, p.r.bottom, cliente.right, cliente.bottom);
            continue;
        }
        for (POINT c : {POINT{p.r.left, p.r.top}, POINT{p.r.right - 1, p.r.top}, POINT{p.r.left, p.r.bottom - 1},
                        POINT{p.r.right - 1, p.r.bottom - 1}}) {
            POINT s = su_schermo(c);
            HWND w = WindowFromPoint(s);
            bool suo = w == p.propria || (w != nullptr && IsChild(p.propria, w));
            if (s.x < 0 || s.y < 0 || s.x >= larg || s.y >= alt || !suo) {
                difetti += errore("the %s's corner (%ld, %ld) is not in view at (%ld, %ld) of the screen", p.nome,
                                  c.x, c.y, s.x, s.y);
                break;
            }
        }
    }
    if (difetti != 0) return 1;
    RECT fuori;
    GetWindowRect(finestra, &fuori);
    dice("board and panel in view: window %ldx%ld, client area %ldx%ld%s", fuori.right - fuori.left,
         fuori.bottom - fuori.top, cliente.right, cliente.bottom, IsZoomed(finestra) ? ", maximised" : "");
    return 0;
}
int esci() {
    PostMessageA(finestra, WM_COMMAND, CMD_ESCI, 0);
    HWND s = attendi_scatola("Are you sure?", 5000);
    if (s == nullptr) return errore("\"Exit\" did not ask");
    if (testo_scatola(s) != "Are you sure?") return errore("\"Exit\" asked \"%s\"", testo_scatola(s).c_str());
    premi(s, IDYES);
    DWORD inizio = GetTickCount();
    while (IsWindow(finestra)) {
        if (GetTickCount() - inizio > 30000) return errore("the game did not end after Yes");
        pausa(50);
    }
    dice("the game has ended");
    return 0;
}

int aiuto() {
    if (!finestre_di_classe("MS_WINHELP").empty()) return errore("a help window is open before \"Help topics\"");
    PostMessageA(finestra, WM_COMMAND, CMD_AIUTO, 0);
    HWND h = nullptr;
    DWORD inizio = GetTickCount();
    while (h == nullptr && GetTickCount() - inizio < 20000) {
        std::vector<HWND> v = finestre_di_classe("MS_WINHELP");
        if (!v.empty()) h = v[0];
        else if (!finestre_di_classe("#32770").empty()) break;
        else pausa(100);
    }
    DWORD aperta = GetTickCount() - inizio;
    // An error box may come up beside the window: give it time to show.
    if (h != nullptr) pausa(1000);
    std::string scatole = scatole_aperte();
    char titolo[128] = "";
    if (h != nullptr) GetWindowTextA(h, titolo, sizeof titolo);
    int esito = 0;
    if (h == nullptr) esito = errore("no help window after \"Help topics\"; boxes:%s", scatole.c_str());
    else if (!scatole.empty()) esito = errore("the help window came with boxes:%s", scatole.c_str());
    else if (std::strcmp(titolo, "Wine Help") != 0) esito = errore("the help window is titled \"%s\"", titolo);
    DWORD_PTR r = 0;
    if (esito == 0 && !SendMessageTimeoutA(finestra, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r))
        esito = errore("the game does not answer while the help window is open");
    if (esito != 0) {
        chiudi_scatole();
        if (h != nullptr) PostMessageA(h, WM_CLOSE, 0, 0);
        return esito;
    }
    dice("help window \"%s\" open after %lu ms, no box", titolo, aperta);
    PostMessageA(h, WM_CLOSE, 0, 0);
    if (!attendi_chiusura(h, 10000)) return errore("the help window did not close");
    dice("help window closed");
    return 0;
}

int sistema(const char* versione, const char* tipo) {
    // RtlGetVersion tells the version the prefix reports, where
    // GetVersionEx may tell an older one to a program without a manifest.
    using rtl_get_version = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto leggi = reinterpret_cast<rtl_get_version>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (leggi == nullptr || leggi(&v) != 0) return errore("RtlGetVersion is not available");
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    char letta[32];
    std::snprintf(letta, sizeof letta, "%lu.%lu", v.dwMajorVersion, v.dwMinorVersion);
    dice("Windows %s, build %lu; 32-bit programs run %s", letta, v.dwBuildNumber,
         wow64 ? "through WoW64 (64-bit Windows)" : "natively (32-bit Windows)");
    if (versione != nullptr && std::strcmp(letta, versione) != 0)
        return errore("the prefix reports Windows %s, not %s", letta, versione);
    if (tipo != nullptr && (std::strcmp(tipo, "win64") == 0) != (wow64 != FALSE))
        return errore("the prefix is not of the kind %s", tipo);
    return 0;
}

}  // namespace automa
