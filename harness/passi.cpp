// The steps of the end-to-end run, one command of the automation tool each:
// the game found, the board and panel in view, a human's game against the
// computer, the same from the keyboard (Options, a tournament stopped with
// S, a game with Tab, Enter, the arrows and the keypad), a tournament, a
// stopped tournament, a hovered target (its
// screenshot is checked by schermo.cpp), "Help topics", "Exit", and the
// Windows that the prefix reports.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
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

// Player 1 (human, moved by this program) against the computer, from a new
// game to its end box. It looks for its targets around its own token, and
// over the whole board when it has lost track of it; each turn it picks the
// target nearest to its goal, now and then another one.
int umano() {
    comando(CMD_NUOVA_PARTITA);
    std::mt19937 caso(12345);
    int mosse = 0, a_vuoto = 0;
    int pedina = indice_casella(PRIMA_FILA, PRIMA_FILA);  // player 1's token starts in the top left corner
    DWORD inizio = GetTickCount();
    while (GetTickCount() - inizio < 600000) {
        HWND fine = scatola("End");
        if (fine != nullptr) {
            std::string t = testo_scatola(fine);
            dice("game over after %d moves of player 1: \"%s\"", mosse, t.c_str());
            premi(fine, IDOK);
            attendi_chiusura(fine, 5000);
            if (t != "Game ends: player won!" && t != "Game ends in a draw." && t != "Game ends: no move available.")
                return errore("unexpected end box text \"%s\"", t.c_str());
            return 0;
        }
        HWND altra = scatola();
        if (altra != nullptr) {
            char titolo[128] = "";
            GetWindowTextA(altra, titolo, sizeof titolo);
            return errore("unexpected box \"%s\": \"%s\"", titolo, testo_scatola(altra).c_str());
        }
        std::vector<int> b = bersagli(a_vuoto < 10 ? vicine({pedina}) : tutte());
        if (b.empty()) {
            a_vuoto++;  // the computer is thinking, or this program lost its token
            pausa(50);
            continue;
        }
        a_vuoto = 0;
        if (b.size() > MOSSE_MAX) return errore("%zu cells highlighted, at most %d are legal", b.size(), MOSSE_MAX);
        std::sort(b.begin(), b.end(), [](int u, int v) {
            auto d = [](int c) { return std::hypot(ULTIMA_FILA - colonna_di(c), ULTIMA_FILA - riga_di(c)); };
            return d(u) < d(v);
        });
        int scelta = (caso() % 4 == 0) ? b[caso() % b.size()] : b[0];
        clic(centro(casella(colonna_di(scelta), riga_di(scelta))));
        mosse++;
        // The move is made once the cell chosen is no longer a target (the
        // token stands on it), or a box is open.
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < 100 && scatola() == nullptr && bersaglio(colonna_di(scelta), riga_di(scelta), rgn); i++)
            pausa(20);
        DeleteObject(rgn);
        pedina = scelta;
    }
    return errore("the game did not end within 10 minutes");
}

// Watches a running tournament until the screen has stood still for
// `quiete` ms (the last game is over and nothing starts); every end box seen
// meanwhile is counted and closed.
int attendi_quiete(DWORD quiete, DWORD massimo, int* scatole_fine, bool col_mouse) {
    DWORD inizio = GetTickCount(), fermo = GetTickCount();
    unsigned long long ultima = impronta();
    while (GetTickCount() - inizio < massimo) {
        HWND s = scatola();
        if (s != nullptr) {
            char titolo[128] = "";
            GetWindowTextA(s, titolo, sizeof titolo);
            dice("box \"%s\": \"%s\"", titolo, testo_scatola(s).c_str());
            if (std::strcmp(titolo, "End") == 0) (*scatole_fine)++;
            if (col_mouse)
                premi_col_mouse(s, IDOK);
            else
                premi(s, IDOK);
            attendi_chiusura(s, 5000);
            fermo = GetTickCount();
        }
        pausa(200);
        unsigned long long ora = impronta();
        if (ora != ultima) {
            ultima = ora;
            fermo = GetTickCount();
        } else if (GetTickCount() - fermo >= quiete) {
            return 0;
        }
    }
    return errore("the game did not come to rest within %lu s", massimo / 1000);
}

int torneo() {
    DWORD inizio = GetTickCount();
    comando(CMD_NUOVO_TORNEO);
    int scatole_fine = 0;
    if (attendi_quiete(6000, 900000, &scatole_fine) != 0) return 1;
    dice("tournament over after %lu s", (GetTickCount() - inizio) / 1000);
    if (scatole_fine != 0) return errore("%d end boxes during a tournament", scatole_fine);
    return 0;
}

// Starts a tournament between two people, so that no game can end by itself
// before the click (an earlier game between computers could end with its box
// just as the tournament begins, and that box would hold the panel's button
// disabled), then makes both players automatic at skill 10 and presses "Stop
// tournament" with a real click while the first game runs. The game on the
// board must go on as an ordinary game that ends with its box, after which
// nothing more is played.
int stop() {
    if (tasto_stop() == nullptr) return errore("no \"Stop tournament\" button in the panel");
    bool automatico[2] = {false, false};
    int skill[2] = {SKILL_MAX, SKILL_MAX};
    if (opzioni(automatico, skill) != 0) return 1;
    comando(CMD_NUOVO_TORNEO);
    automatico[0] = automatico[1] = true;
    if (opzioni(automatico, skill) != 0) return 1;
    pausa(300);
    if (HWND s = scatola()) return errore("a box is open before the click: \"%s\"", testo_scatola(s).c_str());
    if (!clic_su_stop()) return errore("no \"Stop tournament\" button in the panel");
    dice("pressed \"Stop tournament\" 300 ms after the computers began");
    HWND fine = attendi_scatola("End", 300000);
    if (fine == nullptr) return errore("the game on the board did not end with its box after the stop");
    dice("after the stop the game ended: \"%s\"", testo_scatola(fine).c_str());
    premi(fine, IDOK);
    attendi_chiusura(fine, 5000);
    int scatole_fine = 0;
    if (attendi_quiete(4000, 60000, &scatole_fine) != 0) return 1;
    if (scatole_fine != 0) return errore("a further game was played after the stop");
    return 0;
}

int quadro(const char* file) {
    bool umani[2] = {false, false};
    int skill[2] = {SKILL_MIN, SKILL_MIN};
    if (opzioni(umani, skill) != 0) return 1;
    comando(CMD_NUOVA_PARTITA);
    // Both tokens stand on their start corners, so the targets are found
    // around those two.
    int partenze[2] = {indice_casella(PRIMA_FILA, PRIMA_FILA), indice_casella(ULTIMA_FILA, PRIMA_FILA)};
    std::vector<int> b;
    for (int volta = 0; volta < 5 && b.size() != MOSSE_MAX; volta++) b = bersagli(vicine({partenze[0], partenze[1]}));
    if (b.size() != MOSSE_MAX) return errore("a new game shows %zu targets, not %d", b.size(), MOSSE_MAX);
    int c = b[0];
    RECT r = casella(colonna_di(c), riga_di(c));
    // The real pointer rests over the target: the game frames it. It comes
    // from off the board, so that it moves even if an earlier step left it
    // on that very point (a pointer that does not move sends nothing).
    muovi_puntatore(POINT{2, 2});
    pausa(30);
    muovi_puntatore(centro(r));
    bool cornice = false;
    for (int i = 0; i < 300 && !cornice; i++) {
        pausa(30);
        cornice = incorniciata(r);
    }
    if (!cornice) return errore("the pointer over cell (%d, %d) does not frame it", colonna_di(c), riga_di(c));
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    POINT o = su_schermo(POINT{0, 0}), op{0, 0};
    ClientToScreen(pannello, &op);
    std::ofstream f(file);
    f << o.x << ' ' << o.y << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ' ' << op.x << ' '
      << op.y << '\n';
    for (int t : b) f << t << ' ';
    f << '\n';
    dice("pointer over cell (%d, %d); geometry in %s", colonna_di(c), riga_di(c), file);
    return f ? 0 : errore("cannot write %s", file);
}

// Starts a tournament and returns `ms` later, while it runs, so that a
// screenshot can be taken of it.
int fotografa(int ms) {
    comando(CMD_NUOVO_TORNEO);
    pausa(static_cast<DWORD>(ms));
    return 0;
}

// Waits until the running tournament is over (the board at rest); no end box
// may appear meanwhile.
int quiete() {
    int scatole_fine = 0;
    if (attendi_quiete(6000, 900000, &scatole_fine) != 0) return 1;
    if (scatole_fine != 0) return errore("%d end boxes during a tournament", scatole_fine);
    dice("the board is at rest");
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

// ------------------------------------------------ the keyboard alone

// A key as a keyboard sends it, posted to `w` (the game's thread translates
// it): WM_KEYDOWN, then WM_KEYUP, with the key's scan code and, for the
// dedicated arrows, the extended bit.
static void batti(HWND w, UINT vk, bool esteso = false) {
    DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u);
    PostMessageA(w, WM_KEYDOWN, vk, static_cast<LPARAM>(lp));
    PostMessageA(w, WM_KEYUP, vk, static_cast<LPARAM>(lp | 0xC0000000u));
}

// The control of dialog `d` that has the focus in the game's thread, 0 for
// none.
static int fuoco_in(HWND d) {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    if (!GetGUIThreadInfo(filo, &g) || g.hwndFocus == nullptr || GetParent(g.hwndFocus) != d) return 0;
    return GetDlgCtrlID(g.hwndFocus);
}

// Types `vk` into the focused control of `d` and waits up to a second for
// `fatto`.
template <typename F>
static bool nel_dialogo(HWND d, UINT vk, F fatto) {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    GetGUIThreadInfo(filo, &g);
    batti(g.hwndFocus != nullptr ? g.hwndFocus : d, vk, vk >= VK_LEFT && vk <= VK_DOWN);
    for (int i = 0; i < 50 && !fatto(); i++) pausa(20);
    return fatto();
}

static int numero_in(HWND d, int id) { return static_cast<int>(GetDlgItemInt(d, id, nullptr, FALSE)); }

// Tab until control `id` of `d` has the focus.
static bool tab_fino_a(HWND d, int id) {
    for (int i = 0; i < 12 && fuoco_in(d) != id; i++) {
        int prima = fuoco_in(d);
        nel_dialogo(d, VK_TAB, [&] { return fuoco_in(d) != prima; });
    }
    return fuoco_in(d) == id;
}

// Options from the keyboard: player 1 "Human", player 2 "Automatic" at
// skill 1, each box checked with Space, the skill lowered with the left
// arrow, OK pressed with Space.
static int opzioni_da_tastiera() {
    PostMessageA(finestra, WM_COMMAND, CMD_OPZIONI, 0);
    HWND d = attendi_scatola("Options", 5000);
    if (d == nullptr) return errore("the Options dialog did not open");
    for (int i = 0; i < 100 && fuoco_in(d) == 0; i++) pausa(20);
    if (fuoco_in(d) == 0) return errore("the Options dialog opened with nothing focused");
    for (int id : {IDC_UMANO1, IDC_AUTOMATICO2}) {
        if (!tab_fino_a(d, id)) return errore("Tab does not reach control %d of the Options dialog", id);
        if (IsDlgButtonChecked(d, id) != BST_CHECKED &&
            !nel_dialogo(d, VK_SPACE, [&] { return IsDlgButtonChecked(d, id) == BST_CHECKED; }))
            return errore("Space does not check box %d", id);
    }
    for (int i = 0; i < 100 && numero_in(d, IDC_SKILL2) == 0; i++) pausa(20);
    if (!tab_fino_a(d, IDC_SCROLL2)) return errore("Tab does not reach player 2's skill bar");
    for (int i = 0; i < 12 && numero_in(d, IDC_SKILL2) > SKILL_MIN; i++) {
        int prima = numero_in(d, IDC_SKILL2);
        if (!nel_dialogo(d, VK_LEFT, [&] { return numero_in(d, IDC_SKILL2) == prima - 1; }))
            return errore("the left arrow does not lower player 2's skill from %d", prima);
    }
    if (numero_in(d, IDC_SKILL2) != SKILL_MIN) return errore("player 2's skill is not %d", SKILL_MIN);
    if (!tab_fino_a(d, IDC_OK)) return errore("Tab does not reach OK");
    batti(GetDlgItem(d, IDC_OK), VK_SPACE);
    if (!attendi_chiusura(d, 60000)) return errore("Space on OK did not close the Options dialog");
    dice("options from the keyboard: player 1 human, player 2 automatic %d", SKILL_MIN);
    return 0;
}

// The cell framed among `celle`, -1 for none.
static int incorniciata_tra(const std::vector<int>& celle) {
    for (int c : celle)
        if (incorniciata(casella(colonna_di(c), riga_di(c)))) return c;
    return -1;
}

// The framed target around player 1's token on `pedina`, waited for up to
// `ms` after `vk`.
static int dopo_il_tasto(int pedina, UINT vk, bool esteso, DWORD ms) {
    batti(finestra, vk, esteso);
    std::vector<int> intorno = vicine({pedina});
    for (DWORD inizio = GetTickCount(); GetTickCount() - inizio < ms; pausa(30))
        if (int c = incorniciata_tra(intorno); c >= 0) return c;
    return -1;
}

// Options from the keyboard; a tournament begun and stopped with S; then
// player 1 plays the game on the board against the computer with the keys
// alone, by turns Tab and Enter, the numeric keypad (Num Lock on and off)
// and an arrow and Enter, to its "End" box, which only an ordinary game
// shows (the tournament was stopped), and closes it with Return.
int tastiera() {
    if (opzioni_da_tastiera() != 0) return 1;
    comando(CMD_NUOVO_TORNEO);
    pausa(300);
    batti(finestra, 'S');
    dice("pressed S while the tournament's first game runs");
    // Directions clockwise from up, and the keypad's digit for each.
    const int verso[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
    const UINT cifra[8] = {8, 9, 6, 3, 2, 1, 4, 7};
    const UINT senza_num_lock[10] = {0, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    const UINT frecce[4] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};
    int pedina = indice_casella(PRIMA_FILA, PRIMA_FILA), mosse = 0;
    DWORD attesa = GetTickCount();
    while (GetTickCount() - attesa < 120000) {
        if (HWND fine = scatola("End")) {
            std::string t = testo_scatola(fine);
            GUITHREADINFO g{};
            g.cbSize = sizeof g;
            GetGUIThreadInfo(filo, &g);
            batti(g.hwndFocus != nullptr ? g.hwndFocus : fine, VK_RETURN);
            if (!attendi_chiusura(fine, 5000)) return errore("Return did not close the end box");
            dice("keyboard game over after %d moves of player 1: \"%s\"; closed with Return", mosse, t.c_str());
            return mosse > 0 ? 0 : errore("the game ended before player 1 moved");
        }
        if (HWND altra = scatola()) return errore("unexpected box \"%s\"", testo_scatola(altra).c_str());
        // Tab frames a target only while player 1 is to move.
        int c = dopo_il_tasto(pedina, VK_TAB, false, 400);
        if (c < 0) continue;
        int dx = colonna_di(c) - colonna_di(pedina), dy = riga_di(c) - riga_di(pedina), d = 0;
        while (verso[d][0] != dx || verso[d][1] != dy) d++;
        if (mosse % 3 != 0) {
            batti(finestra, VK_ESCAPE);
            for (int i = 0; i < 50 && incorniciata(casella(colonna_di(c), riga_di(c))); i++) pausa(20);
        }
        unsigned long long prima = impronta();
        if (mosse % 3 == 0) {
            batti(finestra, VK_RETURN);
        } else if (mosse % 3 == 1) {
            bool num_lock = mosse % 2 == 0;
            batti(finestra, num_lock ? VK_NUMPAD0 + cifra[d] : senza_num_lock[cifra[d]]);
        } else {
            // The arrow of the target's side: its straight move, else the
            // diagonal clockwise from it, which this target is then.
            c = dopo_il_tasto(pedina, frecce[(d % 2 == 0 ? d : d - 1) / 2], true, 2000);
            if (c < 0) return errore("the arrow towards direction %d framed nothing", d);
            prima = impronta();
            batti(finestra, VK_RETURN);
        }
        for (int i = 0; i < 250 && impronta() == prima && scatola() == nullptr; i++) pausa(20);
        pedina = c;
        mosse++;
        attesa = GetTickCount();
    }
    return errore("player 1 found no move for 2 minutes (the tournament was not stopped?)");
}

}  // namespace automa
