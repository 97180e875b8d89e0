// automa: plays Vorandel 32 from outside, as a user would, for end-to-end
// runs. It runs under the same Wine (same prefix, same display) as the game,
// finds the game's windows by class and title, and works the menu, the
// Options dialog, the panel's stop button and the board (real mouse moves and
// clicks over the highlighted targets).
//
//   automa attendi                 wait for the game's window
//   automa opzioni K1 S1 K2 S2     set the players in the Options dialog
//                                  (K: human or automatic; S: skill 1 to 10)
//   automa umano                   play player 1 against the computer to the end
//   automa torneo                  play a whole tournament and wait for its end
//   automa stop                    start a tournament, stop it, finish the game
//                                  (leaves both players automatic at skill 10)
//   automa quadro FILE             new game, hover a target, write the geometry
//   automa verifica FILE SHOT.ppm [GAMES]
//                                  check a screenshot against the geometry:
//                                  the hovered frame, three arrows in every
//                                  ordinary cell, and the panel's tallies
//   automa fotografa MS            start a tournament and return MS ms later
//   automa quiete                  wait for the running tournament to end
//   automa tornei N [SEED]         the soak: N tournaments at skill 1 against 1
//                                  with "New game", "New tournament", "Stop
//                                  tournament" and Options at random moments;
//                                  every tournament's tallies checked on the
//                                  panel, every game seen to end
//   automa esci                    "Exit", answered Yes
//   automa aiuto                   "Help topics": the help window "Wine Help"
//                                  opens with no error box, the game answers
//                                  meanwhile; then the help window is closed
//   automa sistema [VERSION KIND]  the Windows that the prefix reports (e.g.
//                                  10.0) and whether 32-bit programs run
//                                  there through WoW64 (KIND win64) or not
//                                  (win32); checked when given
//
// Exit code 0 when the step did what it should, 1 otherwise, with a line on
// standard error saying why.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "comune.h"
#include "geometria_foglio.h"
#include "risorse.h"
#include "scatole.h"

namespace {

const char* const CLASSE = "Finestra principale";
const char* const TITOLO = "Vorandel 32";

HWND finestra = nullptr;  // the game's main window
DWORD filo = 0;           // the game's main thread

int errore(const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    std::fprintf(stderr, "automa: ");
    std::vfprintf(stderr, formato, a);
    std::fprintf(stderr, "\n");
    va_end(a);
    return 1;
}

void dice(const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    std::printf("automa: ");
    std::vprintf(formato, a);
    std::printf("\n");
    std::fflush(stdout);
    va_end(a);
}

// Waits `ms` while staying responsive; the only pause between polls.
void pausa(DWORD ms) { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT); }

bool trova_gioco(DWORD ms) {
    DWORD inizio = GetTickCount();
    for (;;) {
        HWND w = FindWindowA(CLASSE, TITOLO);
        if (w != nullptr && IsWindowVisible(w)) {
            finestra = w;
            filo = GetWindowThreadProcessId(w, nullptr);
            return true;
        }
        if (GetTickCount() - inizio > ms) return false;
        pausa(50);
    }
}

// A box or dialog of the game's thread, with the given caption (any if null).
HWND scatola(const char* titolo = nullptr) { return scatola_del_filo(filo, titolo); }

// The same, waited for up to `ms`.
HWND attendi_scatola(const char* titolo, DWORD ms) { return attendi_scatola_del_filo(filo, titolo, ms); }

// Presses a button of a box or dialog, as a click on it would.
void premi(HWND dialogo, int id) {
    HWND b = GetDlgItem(dialogo, id);
    if (b != nullptr)
        SendMessageA(b, BM_CLICK, 0, 0);
    else
        PostMessageA(dialogo, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

// A menu command; a question that follows it is answered with `risposta`.
void comando(int id, int risposta = IDYES) {
    PostMessageA(finestra, WM_COMMAND, static_cast<WPARAM>(id), 0);
    HWND s = attendi_scatola("Are you sure?", 700);
    if (s != nullptr) {
        dice("question \"%s\": %s", testo_scatola(s).c_str(), risposta == IDYES ? "Yes" : "No");
        premi(s, risposta);
        attendi_chiusura(s, 5000);
    }
}

// ---------------------------------------------------------------- the mouse

POINT su_schermo(POINT client) {
    ClientToScreen(finestra, &client);
    return client;
}

void muovi_puntatore(POINT client) {
    POINT s = su_schermo(client);
    int larg = GetSystemMetrics(SM_CXSCREEN), alt = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((s.x * 65535.0) / (larg - 1) + 0.5);
    in.mi.dy = static_cast<LONG>((s.y * 65535.0) / (alt - 1) + 0.5);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void clic(POINT client) {
    muovi_puntatore(client);
    pausa(40);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

RECT casella(int x, int y) {
    RECT r;
    rettangolo_casella(&r, x, y);
    return r;
}

// Presses a button of a box or dialog with a real click on it. A box or
// dialog ends inside the message that presses its button; pressed by a
// message sent from this process, the modal loop then takes the game's next
// posted message and drops it unread (a computer's move, say). A click
// reaches the game as its own input, as a user's does, and nothing is lost.
void premi_col_mouse(HWND dialogo, int id) {
    HWND b = GetDlgItem(dialogo, id);
    RECT r;
    if (b == nullptr || !GetWindowRect(b, &r)) {
        premi(dialogo, id);
        return;
    }
    POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(finestra, &c);
    clic(c);
}


POINT centro(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool giocabile(int x, int y) {
    return x >= 1 && x <= 8 && y >= 1 && y <= 8 && !((x == 4 || x == 5) && (y == 4 || y == 5));
}

// What the screen shows at a point of the game's client area.
COLORREF sullo_schermo(POINT client) {
    POINT p = su_schermo(client);
    HDC schermo = GetDC(nullptr);
    COLORREF c = GetPixel(schermo, p.x, p.y);
    ReleaseDC(nullptr, schermo);
    return c;
}

// Whether the screen shows the white frame of a highlighted target on cell r:
// its four corners and the middles of its sides.
bool incorniciata(const RECT& r) {
    const POINT punti[] = {{r.left, r.top},          {r.right - 1, r.top},        {r.left, r.bottom - 1},
                           {r.right - 1, r.bottom - 1}, {(r.left + r.right) / 2, r.top}, {r.left, (r.top + r.bottom) / 2}};
    for (POINT p : punti)
        if (sullo_schermo(p) != RGB(255, 255, 255)) return false;
    return true;
}

// Whether cell (x, y) is a highlighted target, found as a user finds it: the
// pointer passes over the cell and the game frames it. The frame is seen on
// the screen, or caught earlier as the game's pending repaint of the cell.
bool bersaglio(int x, int y, HRGN rgn) {
    RECT r = casella(x, y);
    POINT c = centro(r);
    // A repaint still pending from before would look like a frame.
    for (int i = 0; i < 100; i++) {
        int k = GetUpdateRgn(finestra, rgn, FALSE);
        if (k == NULLREGION || k == ERROR || !PtInRegion(rgn, c.x, c.y)) break;
        pausa(10);
    }
    SendMessageA(finestra, WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    DWORD inizio = GetTickCount();
    do {
        int k = GetUpdateRgn(finestra, rgn, FALSE);
        if (k != NULLREGION && k != ERROR && PtInRegion(rgn, c.x, c.y)) return true;
        if (incorniciata(r)) return true;
        pausa(5);
    } while (GetTickCount() - inizio < 200);
    return false;
}

// The highlighted targets among the given cells (indices x * 10 + y); the
// pointer is then taken off the board.
std::vector<int> bersagli(const std::vector<int>& celle) {
    std::vector<int> trovati;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (int c : celle)
        if (bersaglio(c / 10, c % 10, rgn)) trovati.push_back(c);
    SendMessageA(finestra, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    DeleteObject(rgn);
    return trovati;
}

// The playable neighbours of the cells given.
std::vector<int> vicine(std::initializer_list<int> centri) {
    std::vector<int> v;
    for (int c : centri)
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++) {
                int x = c / 10 + dx, y = c % 10 + dy;
                if ((dx != 0 || dy != 0) && giocabile(x, y) && std::find(v.begin(), v.end(), x * 10 + y) == v.end())
                    v.push_back(x * 10 + y);
            }
    return v;
}

std::vector<int> tutte() {
    std::vector<int> v;
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++)
            if (giocabile(x, y)) v.push_back(x * 10 + y);
    return v;
}

// ---------------------------------------------------------------- commands

int attendi() {
    if (!trova_gioco(60000)) return errore("no window of class \"%s\" titled \"%s\"", CLASSE, TITOLO);
    RECT r;
    GetClientRect(finestra, &r);
    POINT o = su_schermo(POINT{0, 0});
    dice("game window found: client area %ldx%ld at (%ld, %ld)%s", r.right, r.bottom, o.x, o.y,
         IsZoomed(finestra) ? ", maximised" : "");
    return 0;
}

int leggi_numero(HWND d, int id) {
    BOOL ok = FALSE;
    UINT n = GetDlgItemInt(d, id, &ok, FALSE);
    return ok ? static_cast<int>(n) : -1;
}

bool attendi_numero(HWND d, int id, int atteso) {
    for (int i = 0; i < 100; i++) {
        if (leggi_numero(d, id) == atteso) return true;
        pausa(20);
    }
    return false;
}

int opzioni(bool automatico[2], int skill[2], bool col_mouse = false) {
    PostMessageA(finestra, WM_COMMAND, CMD_OPZIONI, 0);
    HWND d = attendi_scatola("Options", 5000);
    if (d == nullptr) return errore("the Options dialog did not open");
    const int umano_id[2] = {IDC_UMANO1, IDC_UMANO2}, auto_id[2] = {IDC_AUTOMATICO1, IDC_AUTOMATICO2};
    const int scroll_id[2] = {IDC_SCROLL1, IDC_SCROLL2}, numero_id[2] = {IDC_SKILL1, IDC_SKILL2};
    for (int p = 0; p < 2; p++) {
        premi(d, automatico[p] ? auto_id[p] : umano_id[p]);
        if (!automatico[p]) {
            if (!attendi_numero(d, numero_id[p], 0)) return errore("player %d: skill not shown as 0 for a human", p + 1);
            continue;
        }
        HWND barra = GetDlgItem(d, scroll_id[p]);
        for (int giri = 0; giri < 20; giri++) {
            int n = 0;
            for (int i = 0; i < 100 && (n = leggi_numero(d, numero_id[p])) <= 0; i++) pausa(20);
            if (n == skill[p]) break;
            SendMessageA(d, WM_HSCROLL, n < skill[p] ? SB_LINERIGHT : SB_LINELEFT, reinterpret_cast<LPARAM>(barra));
            if (!attendi_numero(d, numero_id[p], n < skill[p] ? n + 1 : n - 1))
                return errore("player %d: the skill did not follow the scroll bar", p + 1);
        }
        if (leggi_numero(d, numero_id[p]) != skill[p]) return errore("player %d: skill %d not reached", p + 1, skill[p]);
    }
    for (int p = 0; p < 2; p++) {
        bool a = IsDlgButtonChecked(d, auto_id[p]) == BST_CHECKED, u = IsDlgButtonChecked(d, umano_id[p]) == BST_CHECKED;
        if (a != automatico[p] || u == automatico[p]) return errore("player %d: check boxes not as chosen", p + 1);
    }
    if (col_mouse)
        premi_col_mouse(d, IDC_OK);
    else
        premi(d, IDC_OK);
    if (!attendi_chiusura(d, 60000)) return errore("the Options dialog did not close on OK");
    dice("options: player 1 %s %d, player 2 %s %d", automatico[0] ? "automatic" : "human", skill[0],
         automatico[1] ? "automatic" : "human", skill[1]);
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
    int pedina = 11;  // player 1's token starts in the top left corner
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
        if (b.size() > 3) return errore("%zu cells highlighted, at most 3 are legal", b.size());
        std::sort(b.begin(), b.end(), [](int u, int v) {
            auto d = [](int c) { return std::hypot(8 - c / 10, 8 - c % 10); };
            return d(u) < d(v);
        });
        int scelta = (caso() % 4 == 0) ? b[caso() % b.size()] : b[0];
        clic(centro(casella(scelta / 10, scelta % 10)));
        mosse++;
        // The move is made once the cell chosen is no longer a target (the
        // token stands on it), or a box is open.
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < 100 && scatola() == nullptr && bersaglio(scelta / 10, scelta % 10, rgn); i++) pausa(20);
        DeleteObject(rgn);
        pedina = scelta;
    }
    return errore("the game did not end within 10 minutes");
}

// A checksum of what the screen shows of the game's client area.
unsigned long long impronta() {
    RECT r;
    GetClientRect(finestra, &r);
    int larg = std::min<LONG>(r.right, 700), alt = std::min<LONG>(r.bottom, 480);
    POINT o = su_schermo(POINT{0, 0});
    HDC schermo = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(schermo);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = larg;
    bi.bmiHeader.biHeight = -alt;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bit = nullptr;
    HBITMAP bmp = CreateDIBSection(schermo, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
    HGDIOBJ vecchio = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, larg, alt, schermo, o.x, o.y, SRCCOPY);
    GdiFlush();
    unsigned long long h = 1469598103934665603ull;
    const unsigned char* p = static_cast<const unsigned char*>(bit);
    for (long i = 0; i < 4L * larg * alt; i++) h = (h ^ p[i]) * 1099511628211ull;
    SelectObject(mem, vecchio);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, schermo);
    return h;
}

// Watches a running tournament until the screen has stood still for
// `quiete` ms (the last game is over and nothing starts); every end box seen
// meanwhile is counted and closed.
int attendi_quiete(DWORD quiete, DWORD massimo, int* scatole_fine, bool col_mouse = false) {
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

HWND tasto_stop() {
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    return pannello == nullptr ? nullptr : FindWindowExA(pannello, nullptr, "Button", "Stop tournament");
}

// A real click in the middle of the panel's "Stop tournament" button; false
// when the panel has none.
bool clic_su_stop() {
    HWND tasto = tasto_stop();
    if (tasto == nullptr) return false;
    RECT r;
    GetWindowRect(tasto, &r);
    POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(finestra, &c);
    clic(c);
    return true;
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
    int skill[2] = {10, 10};
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
    int skill[2] = {1, 1};
    if (opzioni(umani, skill) != 0) return 1;
    comando(CMD_NUOVA_PARTITA);
    std::vector<int> b;
    for (int volta = 0; volta < 5 && b.size() != 3; volta++) b = bersagli(vicine({11, 81}));
    if (b.size() != 3) return errore("a new game shows %zu targets, not 3", b.size());
    int c = b[0];
    RECT r = casella(c / 10, c % 10);
    // The real pointer rests over the target: the game frames it.
    muovi_puntatore(centro(r));
    bool vista = false;
    for (int i = 0; i < 100 && !vista; i++) {
        pausa(30);
        vista = incorniciata(r);
    }
    if (!vista) return errore("the pointer over cell (%d, %d) does not frame it", c / 10, c % 10);
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    POINT o = su_schermo(POINT{0, 0}), op{0, 0};
    ClientToScreen(pannello, &op);
    std::ofstream f(file);
    f << o.x << ' ' << o.y << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ' ' << op.x << ' '
      << op.y << '\n';
    for (int t : b) f << t << ' ';
    f << '\n';
    dice("pointer over cell (%d, %d); geometry in %s", c / 10, c % 10, file);
    return f ? 0 : errore("cannot write %s", file);
}

// ------------------------------------------------------- screenshot checks

struct immagine {
    int larg = 0, alt = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* px(int x, int y) const { return &rgb[3 * (static_cast<std::size_t>(y) * larg + x)]; }
    bool dentro(int x, int y) const { return x >= 0 && y >= 0 && x < larg && y < alt; }
};

// A binary PPM (P6, maxval 255), as ImageMagick writes it.
bool leggi_ppm(const char* nome, immagine& im) {
    std::ifstream f(nome, std::ios::binary);
    std::string magia;
    int massimo = 0;
    f >> magia >> im.larg >> im.alt >> massimo;
    if (!f || magia != "P6" || massimo != 255 || im.larg <= 0 || im.alt <= 0 || im.larg > 10000 || im.alt > 10000)
        return false;
    f.get();
    im.rgb.resize(3u * static_cast<std::size_t>(im.larg) * im.alt);
    f.read(reinterpret_cast<char*>(im.rgb.data()), static_cast<std::streamsize>(im.rgb.size()));
    return static_cast<std::size_t>(f.gcount()) == im.rgb.size();
}

bool bianco(const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
bool rosso_freccia(const unsigned char* p) { return p[0] == 255 && p[1] == 0 && p[2] == 0; }
bool vicino(const unsigned char* p, int r, int g, int b) {
    return std::abs(p[0] - r) <= 12 && std::abs(p[1] - g) <= 12 && std::abs(p[2] - b) <= 12;
}

// Every pixel of the one-pixel frame just inside `r` (client coordinates).
bool cornice_bianca(const immagine& im, POINT o, const RECT& r) {
    for (int x = r.left; x < r.right; x++)
        for (int y : {static_cast<int>(r.top), static_cast<int>(r.bottom - 1)})
            if (!im.dentro(o.x + x, o.y + y) || !bianco(im.px(o.x + x, o.y + y))) return false;
    for (int y = r.top; y < r.bottom; y++)
        for (int x : {static_cast<int>(r.left), static_cast<int>(r.right - 1)})
            if (!im.dentro(o.x + x, o.y + y) || !bianco(im.px(o.x + x, o.y + y))) return false;
    return true;
}

// The panel's three tallies (player 1's wins, draws, player 2's wins) as
// `im` shows them, the panel's client area beginning at `op`: each column is
// 80 x count / games pixels high, its colour inside a one-pixel black frame.
// A column whose height no count gives is -1, with the height found.
void conti_pannello(const immagine& im, POINT op, int partite, int conto[3], int altezza[3]) {
    const int colore[3][3] = {{250, 250, 0}, {0, 240, 0}, {240, 0, 0}};
    for (int c = 0; c < 3; c++) {
        int x = op.x + 20 + (2 * c + 1) * 17 + 8, interno = 0;
        for (int y = op.y + 70; y < op.y + 150; y++)
            if (im.dentro(x, y) && vicino(im.px(x, y), colore[c][0], colore[c][1], colore[c][2])) interno++;
        altezza[c] = interno > 0 ? interno + 2 : 0;
        conto[c] = -1;
        for (int s = 0; s <= partite; s++)
            if (80 * s / partite == altezza[c]) conto[c] = s;
    }
}

int verifica(const char* file_geometria, const char* file_ppm, int partite) {
    std::ifstream g(file_geometria);
    POINT o, op;
    RECT r;
    g >> o.x >> o.y >> r.left >> r.top >> r.right >> r.bottom >> op.x >> op.y;
    std::vector<int> altri;
    for (int t; g >> t;) altri.push_back(t);
    if (altri.empty()) return errore("cannot read the geometry in %s", file_geometria);
    immagine im;
    if (!leggi_ppm(file_ppm, im)) return errore("cannot read the screenshot %s", file_ppm);
    int difetti = 0;

    if (!cornice_bianca(im, o, r)) {
        errore("no white frame around the hovered target");
        difetti++;
    }
    for (std::size_t i = 1; i < altri.size(); i++)
        if (cornice_bianca(im, o, casella(altri[i] / 10, altri[i] % 10))) {
            errore("target (%d, %d) is framed though the pointer is elsewhere", altri[i] / 10, altri[i] % 10);
            difetti++;
        }

    // Three red arrows in every ordinary cell: as many red pixels, within a
    // narrow band, around each arrow centre.
    int minimo = 1 << 30, massimo = 0, celle = 0;
    for (int j = 1; j <= 8; j++)
        for (int i = 1; i <= 8; i++) {
            bool angolo = (j == 1 || j == 8) && (i == 1 || i == 8);
            if (!giocabile(j, i) || angolo) continue;
            int xc = x_centro(j), yc = y_centro(i), rossi = 0;
            for (int y = yc - 11; y <= yc + 11; y++)
                for (int x = xc - 11; x <= xc + 11; x++)
                    if (im.dentro(o.x + x, o.y + y) && rosso_freccia(im.px(o.x + x, o.y + y))) rossi++;
            minimo = std::min(minimo, rossi);
            massimo = std::max(massimo, rossi);
            celle++;
            if (rossi < 24 || rossi > 40) {
                errore("cell (%d, %d): %d red pixels, not three arrows", j, i, rossi);
                difetti++;
            }
        }
    dice("%d ordinary cells, %d to %d red arrow pixels each", celle, minimo, massimo);

    // The panel's tallies.
    if (partite > 0) {
        int conto[3], altezza[3], somma = 0;
        conti_pannello(im, op, partite, conto, altezza);
        for (int c = 0; c < 3; c++) {
            if (conto[c] < 0) {
                errore("column %d is %d pixels high: no count of %d games gives that", c, altezza[c], partite);
                difetti++;
            }
            somma += std::max(conto[c], 0);
        }
        dice("panel tallies add up to %d", somma);
        if (somma != partite) {
            errore("the tallies add up to %d, not %d", somma, partite);
            difetti++;
        }
    }
    return difetti == 0 ? 0 : 1;
}

// ------------------------------------------------------------- the soak

// Games in a tournament, as the game plays them.
const int GIOCHI_TORNEO = 15;

// What the screen shows in the rectangle `r` (screen coordinates).
bool cattura(const RECT& r, immagine& im) {
    im.larg = r.right - r.left;
    im.alt = r.bottom - r.top;
    if (im.larg <= 0 || im.alt <= 0) return false;
    HDC schermo = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(schermo);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = im.larg;
    bi.bmiHeader.biHeight = -im.alt;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bit = nullptr;
    HBITMAP bmp = CreateDIBSection(schermo, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
    bool ok = bmp != nullptr && bit != nullptr;
    if (ok) {
        HGDIOBJ vecchio = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, im.larg, im.alt, schermo, r.left, r.top, SRCCOPY);
        GdiFlush();
        const unsigned char* p = static_cast<const unsigned char*>(bit);
        im.rgb.resize(3u * static_cast<std::size_t>(im.larg) * im.alt);
        for (std::size_t i = 0; i < static_cast<std::size_t>(im.larg) * im.alt; i++) {
            im.rgb[3 * i] = p[4 * i + 2];
            im.rgb[3 * i + 1] = p[4 * i + 1];
            im.rgb[3 * i + 2] = p[4 * i];
        }
        SelectObject(mem, vecchio);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, schermo);
    return ok;
}

// The panel's tallies as the screen shows them now, read as counts of a
// tournament's games; false, with the columns' heights said, when a column
// is no count's height.
bool leggi_conti(int conto[3]) {
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    if (pannello == nullptr) {
        errore("no panel beside the board");
        return false;
    }
    POINT op{0, 0};
    ClientToScreen(pannello, &op);
    immagine im;
    if (!cattura(RECT{op.x, op.y, op.x + 160, op.y + 160}, im)) {
        errore("cannot read the screen");
        return false;
    }
    int altezza[3];
    conti_pannello(im, POINT{0, 0}, GIOCHI_TORNEO, conto, altezza);
    if (conto[0] >= 0 && conto[1] >= 0 && conto[2] >= 0) return true;
    errore("the panel's columns are %d, %d and %d pixels high: not counts of %d games", altezza[0], altezza[1],
           altezza[2], GIOCHI_TORNEO);
    return false;
}

// The last menu command that may ask "Are you sure?", and how its question
// is to be answered; a probe's question is itself a fault.
struct in_sospeso {
    int id = 0;
    bool si = true;
    bool sonda = false;
};
in_sospeso domanda;

// A menu command that may ask "Are you sure?": the question, when it comes
// at once, is answered `si`. True when it asked. A question that comes later
// is answered when it is found (sgombra).
bool comando_con_domanda(int id, bool si, bool sonda = false) {
    domanda = in_sospeso{id, si, sonda};
    PostMessageA(finestra, WM_COMMAND, static_cast<WPARAM>(id), 0);
    HWND s = attendi_scatola("Are you sure?", 400);
    if (s == nullptr) return false;
    dice("question \"%s\": %s", testo_scatola(s).c_str(), si ? "Yes" : "No");
    premi_col_mouse(s, si ? IDYES : IDNO);
    attendi_chiusura(s, 5000);
    domanda = in_sospeso{};
    return true;
}

struct resoconto {
    int avviati = 0, completi = 0, fermati = 0, rimpiazzati = 0;
    int risultati = 0;      // results the panel tallied, in all tournaments
    int scatole_fine = 0;   // "End" boxes of the games left on after a stop
    int domande = 0;        // questions answered
    int difetti = 0;
};

void difetto(resoconto& r, int torneo, const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    char testo[400];
    std::vsnprintf(testo, sizeof testo, formato, a);
    va_end(a);
    errore("tournament %d: %s", torneo, testo);
    r.difetti++;
}

// Closes whatever box is open; none should be while a tournament runs.
void sgombra(resoconto& r, int torneo) {
    for (HWND s; (s = scatola()) != nullptr;) {
        char titolo[128] = "";
        GetWindowTextA(s, titolo, sizeof titolo);
        std::string testo = testo_scatola(s);
        bool domanda_di = std::strcmp(titolo, "Are you sure?") == 0 &&
                          ((domanda.id == CMD_NUOVO_TORNEO && testo.rfind("Starting a tournament", 0) == 0) ||
                           (domanda.id == CMD_NUOVA_PARTITA && testo.rfind("Restarting", 0) == 0));
        if (domanda_di) {
            // The question of the last command, come late.
            dice("question \"%s\", late: %s", testo.c_str(), domanda.si ? "Yes" : "No");
            if (domanda.sonda) difetto(r, torneo, "the command asked on a board at rest: a game was halted");
            r.domande++;
            premi_col_mouse(s, domanda.si ? IDYES : IDNO);
            domanda = in_sospeso{};
            if (!attendi_chiusura(s, 5000)) return;
            continue;
        }
        difetto(r, torneo, "box \"%s\" open: \"%s\"", titolo, testo.c_str());
        if (std::strcmp(titolo, "Options") == 0)
            premi_col_mouse(s, IDC_ANNULLA);
        else
            premi_col_mouse(s, std::strcmp(titolo, "Are you sure?") == 0 ? IDNO : IDOK);
        if (!attendi_chiusura(s, 5000)) return;
    }
}

// Plays `quanti` tournaments between two automatic players of skill 1,
// choosing "New game", "New tournament", "Stop tournament" and Options at
// random moments while each runs, and answering the questions that causes.
// Most tournaments are left to play out; some are stopped, some replaced by
// a new one. Each is checked from the outside:
//   - a tournament left to play out comes to rest with tallies that add up
//     to its 15 games, and shows no "End" box;
//   - a stopped one tallies no more than 15, and the game left on the board
//     ends as an ordinary game, with at most one "End" box;
//   - a board at rest has no game in progress: "New tournament" then asks
//     nothing (a question would mean a game halted with the computer to
//     move);
//   - no box is left open.
int tornei(int quanti, unsigned seme) {
    std::mt19937 caso(seme);
    auto a_caso = [&caso](int da, int a) { return da + static_cast<int>(caso() % static_cast<unsigned>(a - da + 1)); };
    bool automatici[2] = {true, true};
    int uno[2] = {1, 1};
    if (opzioni(automatici, uno, true) != 0) return 1;
    resoconto r;
    DWORD inizio = GetTickCount();
    // The game on the board, if any, now plays itself to its end box.
    int scatole = 0;
    if (attendi_quiete(5000, 600000, &scatole, true) != 0) return 1;
    bool gia_avviato = false;  // started by the previous tournament's "New tournament"
    for (int k = 1; k <= quanti; k++) {
        sgombra(r, k);
        if (!gia_avviato) {
            if (comando_con_domanda(CMD_NUOVO_TORNEO, true, true)) {
                r.domande++;
                difetto(r, k, "\"New tournament\" asked on a board at rest: a game was halted");
            }
        }
        gia_avviato = false;
        r.avviati++;
        // 0: left to play out; 1: stopped; 2: replaced by a new tournament
        // (never the last one).
        int fine = a_caso(0, 99) < 70 ? 0 : a_caso(0, 1) == 0 || k == quanti ? 1 : 2;
        // The disturbances come while the tournament has games enough left
        // that none of them can meet its end; then the last act of a
        // tournament that is stopped or replaced.
        int disturbi = a_caso(0, 6);
        for (int d = 0; d <= disturbi; d++) {
            pausa(static_cast<DWORD>(a_caso(30, 400)));
            sgombra(r, k);
            if (d == disturbi) break;
            int conto[3];
            if (!leggi_conti(conto) || conto[0] + conto[1] + conto[2] > GIOCHI_TORNEO - 5) break;
            switch (a_caso(0, 3)) {
            case 0: {
                bool si = a_caso(0, 9) < 7;
                if (comando_con_domanda(CMD_NUOVA_PARTITA, si)) r.domande++;
                dice("tournament %d: \"New game\"", k);
                break;
            }
            case 1:
                // Answered No, the tournament goes on; without a question
                // (between two games) it has started again, and runs anew.
                if (comando_con_domanda(CMD_NUOVO_TORNEO, false)) {
                    r.domande++;
                } else {
                    dice("tournament %d: \"New tournament\" asked nothing: started again", k);
                    r.rimpiazzati++;
                    r.avviati++;
                }
                break;
            case 2: {
                // A player made human for a moment: the game waits for it,
                // and goes on when the player is automatic again.
                bool quali[2] = {false, true};
                if (a_caso(0, 1) == 0) std::swap(quali[0], quali[1]);
                if (opzioni(quali, uno, true) != 0) r.difetti++;
                pausa(static_cast<DWORD>(a_caso(0, 800)));
                if (opzioni(automatici, uno, true) != 0) r.difetti++;
                break;
            }
            default:
                if (opzioni(automatici, uno, true) != 0) r.difetti++;
                break;
            }
        }
        if (fine == 1) {
            if (!clic_su_stop()) return errore("no \"Stop tournament\" button in the panel");
            dice("tournament %d: \"Stop tournament\"", k);
        } else if (fine == 2) {
            if (comando_con_domanda(CMD_NUOVO_TORNEO, true)) r.domande++;
            dice("tournament %d: replaced by a new tournament", k);
            r.rimpiazzati++;
            gia_avviato = true;
        }
        if (fine == 2) continue;

        scatole = 0;
        if (attendi_quiete(5000, 600000, &scatole, true) != 0) {
            difetto(r, k, "the board did not come to rest");
            continue;
        }
        int conto[3];
        if (!leggi_conti(conto)) {
            difetto(r, k, "the panel's tallies cannot be read");
            continue;
        }
        int somma = conto[0] + conto[1] + conto[2];
        dice("tournament %d %s: player 1 %d, draws %d, player 2 %d; %d end box(es)", k,
             fine == 0 ? "played out" : "stopped", conto[0], conto[1], conto[2], scatole);
        if (fine == 0) {
            r.completi++;
            if (somma != GIOCHI_TORNEO) difetto(r, k, "the tallies add up to %d, not %d", somma, GIOCHI_TORNEO);
            if (scatole != 0) difetto(r, k, "%d \"End\" box(es) during the tournament", scatole);
        } else {
            r.fermati++;
            r.scatole_fine += scatole;
            if (somma > GIOCHI_TORNEO) difetto(r, k, "the tallies add up to %d, more than %d", somma, GIOCHI_TORNEO);
            if (scatole > 1) difetto(r, k, "%d \"End\" boxes after the stop, at most one game was left", scatole);
        }
        r.risultati += somma;
    }
    sgombra(r, quanti);
    // The last tournament's board at rest: no game is in progress.
    if (comando_con_domanda(CMD_NUOVA_PARTITA, false, true)) {
        r.domande++;
        difetto(r, quanti, "\"New game\" asked on a board at rest: a game was halted");
    } else {
        // The new game it began plays to its end box.
        scatole = 0;
        if (attendi_quiete(5000, 600000, &scatole, true) != 0 || scatole != 1)
            difetto(r, quanti, "a last ordinary game showed %d \"End\" boxes, not 1", scatole);
    }
    if (scatola() != nullptr) difetto(r, quanti, "a box is left open");
    DWORD secondi = (GetTickCount() - inizio) / 1000;
    dice("soak: %d tournaments started, %d played out, %d stopped, %d replaced; %d results tallied, %d end boxes "
         "after a stop, %d questions answered; %lu s; %d defects",
         r.avviati, r.completi, r.fermati, r.rimpiazzati, r.risultati, r.scatole_fine, r.domande,
         static_cast<unsigned long>(secondi), r.difetti);
    return r.difetti == 0 ? 0 : 1;
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

// ------------------------------------------------------- help and system

struct cerca_classe {
    const char* classe;
    std::vector<HWND> trovate;
};

BOOL CALLBACK di_classe(HWND w, LPARAM lParam) {
    auto* c = reinterpret_cast<cerca_classe*>(lParam);
    char classe[64] = "";
    GetClassNameA(w, classe, sizeof classe);
    if (IsWindowVisible(w) && std::strcmp(classe, c->classe) == 0) c->trovate.push_back(w);
    return TRUE;
}

// The visible top-level windows of a class, of any process on the display.
std::vector<HWND> finestre_di_classe(const char* classe) {
    cerca_classe c{classe, {}};
    EnumWindows(di_classe, reinterpret_cast<LPARAM>(&c));
    return c.trovate;
}

// Every box open on the display, with its texts; empty when there is none.
std::string scatole_aperte() {
    std::string elenco;
    for (HWND s : finestre_di_classe("#32770")) {
        char titolo[128] = "";
        GetWindowTextA(s, titolo, sizeof titolo);
        elenco += std::string(" [\"") + titolo + "\": \"" + testo_scatola(s) + "\"]";
    }
    return elenco;
}

// Answers every open box with No (a message box ends on any of its answers),
// so that a game blocked by one goes on.
void chiudi_scatole() {
    for (int giro = 0; giro < 3; giro++) {
        std::vector<HWND> v = finestre_di_classe("#32770");
        if (v.empty()) return;
        for (HWND s : v) PostMessageA(s, WM_COMMAND, IDNO, 0);
        pausa(300);
    }
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

bool leggi_tipo(const char* s, bool* automatico) {
    if (std::strcmp(s, "human") == 0) *automatico = false;
    else if (std::strcmp(s, "automatic") == 0) *automatico = true;
    else return false;
    return true;
}

bool leggi_intero(const char* s, int da, int a, int* n) {
    char* fine = nullptr;
    long v = std::strtol(s, &fine, 10);
    if (fine == s || *fine != '\0' || v < da || v > a) return false;
    *n = static_cast<int>(v);
    return true;
}

int uso() {
    std::fprintf(stderr,
                 "use: automa attendi | opzioni human|automatic SKILL human|automatic SKILL | umano | torneo | stop |\n"
                 "            quadro FILE | verifica FILE SHOT.ppm [GAMES] | fotografa MS | quiete |\n"
                 "            tornei N [SEED] | esci | aiuto | sistema [VERSION win32|win64]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return uso();
    std::string cosa = argv[1];
    if (cosa == "verifica") {
        int partite = 0;
        if (argc < 4 || argc > 5 || (argc == 5 && !leggi_intero(argv[4], 1, 1000, &partite))) return uso();
        return verifica(argv[2], argv[3], partite);
    }
    if (cosa == "sistema" && (argc == 2 || argc == 4)) {
        if (argc == 4 && std::strcmp(argv[3], "win32") != 0 && std::strcmp(argv[3], "win64") != 0) return uso();
        return argc == 4 ? sistema(argv[2], argv[3]) : sistema(nullptr, nullptr);
    }
    if (!trova_gioco(60000)) return errore("the game's window did not appear");
    if (cosa == "attendi" && argc == 2) return attendi();
    if (cosa == "umano" && argc == 2) return umano();
    if (cosa == "torneo" && argc == 2) return torneo();
    if (cosa == "stop" && argc == 2) return stop();
    if (cosa == "esci" && argc == 2) return esci();
    if (cosa == "quiete" && argc == 2) return quiete();
    if (cosa == "aiuto" && argc == 2) return aiuto();
    if (cosa == "tornei" && (argc == 3 || argc == 4)) {
        int quanti = 0, seme = 1;
        if (!leggi_intero(argv[2], 1, 100000, &quanti) || (argc == 4 && !leggi_intero(argv[3], 0, 2147483647, &seme)))
            return uso();
        return tornei(quanti, static_cast<unsigned>(seme));
    }
    if (cosa == "quadro" && argc == 3) return quadro(argv[2]);
    if (cosa == "fotografa" && argc == 3) {
        int s = 0;
        if (!leggi_intero(argv[2], 0, 600000, &s)) return uso();
        return fotografa(s);
    }
    if (cosa == "opzioni" && argc == 6) {
        bool automatico[2];
        int skill[2];
        if (!leggi_tipo(argv[2], &automatico[0]) || !leggi_intero(argv[3], 1, 10, &skill[0]) ||
            !leggi_tipo(argv[4], &automatico[1]) || !leggi_intero(argv[5], 1, 10, &skill[1]))
            return uso();
        return opzioni(automatico, skill);
    }
    return uso();
}
