// The screen as the automation tool sees and works it: the real pointer and
// clicks, the board's cells and their highlighted targets, a checksum of the
// game's client area, screenshots read from file or from the screen, the
// panel's tallies read off its columns, and the end-to-end run's check of a
// screenshot.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "automa.h"
#include "comune.h"
#include "geometria_foglio.h"

namespace automa {

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

POINT centro(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool giocabile(int x, int y) {
    bool nel_quadrato = x >= PRIMA_FILA && x <= ULTIMA_FILA && y >= PRIMA_FILA && y <= ULTIMA_FILA;
    bool al_centro = x >= CENTRO_PRIMA && x <= CENTRO_ULTIMA && y >= CENTRO_PRIMA && y <= CENTRO_ULTIMA;
    return nel_quadrato && !al_centro;
}

// What the screen shows at a point of the game's client area.
static COLORREF sullo_schermo(POINT client) {
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

// The highlighted targets among the given cells (as indice_casella numbers
// them); the pointer is then taken off the board.
std::vector<int> bersagli(const std::vector<int>& celle) {
    std::vector<int> trovati;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    for (int c : celle)
        if (bersaglio(colonna_di(c), riga_di(c), rgn)) trovati.push_back(c);
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
                int x = colonna_di(c) + dx, y = riga_di(c) + dy;
                int k = indice_casella(x, y);
                if ((dx != 0 || dy != 0) && giocabile(x, y) && std::find(v.begin(), v.end(), k) == v.end())
                    v.push_back(k);
            }
    return v;
}

std::vector<int> tutte() {
    std::vector<int> v;
    for (int y = PRIMA_FILA; y <= ULTIMA_FILA; y++)
        for (int x = PRIMA_FILA; x <= ULTIMA_FILA; x++)
            if (giocabile(x, y)) v.push_back(indice_casella(x, y));
    return v;
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

static bool bianco(const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }
static bool rosso_freccia(const unsigned char* p) { return p[0] == 255 && p[1] == 0 && p[2] == 0; }
static bool vicino(const unsigned char* p, int r, int g, int b) {
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
    conti_pannello(im, POINT{0, 0}, PARTITE_TORNEO, conto, altezza);
    if (conto[0] >= 0 && conto[1] >= 0 && conto[2] >= 0) return true;
    errore("the panel's columns are %d, %d and %d pixels high: not counts of %d games", altezza[0], altezza[1],
           altezza[2], PARTITE_TORNEO);
    return false;
}

// The screenshot `file_ppm` against the geometry that "quadro" wrote: the
// hovered target framed and no other, three arrows in every ordinary cell,
// and, for a tournament of `partite` games, its tallies on the panel.
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
    for (std::size_t i = 1; i < altri.size(); i++) {
        int x = colonna_di(altri[i]), y = riga_di(altri[i]);
        if (cornice_bianca(im, o, casella(x, y))) {
            errore("target (%d, %d) is framed though the pointer is elsewhere", x, y);
            difetti++;
        }
    }

    // Three red arrows in every ordinary cell: as many red pixels, within a
    // narrow band, around each arrow centre.
    int minimo = 1 << 30, massimo = 0, celle = 0;
    for (int j = PRIMA_FILA; j <= ULTIMA_FILA; j++)
        for (int i = PRIMA_FILA; i <= ULTIMA_FILA; i++) {
            bool angolo = (j == PRIMA_FILA || j == ULTIMA_FILA) && (i == PRIMA_FILA || i == ULTIMA_FILA);
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

}  // namespace automa
