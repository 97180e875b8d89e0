// The sprite sheet as genera_foglio paints it: a picture of colours in
// doubles, the painting tools that the board and the tokens share, and the
// two painters.
#ifndef VORANDEL_FOGLIO_H
#define VORANDEL_FOGLIO_H

#include <cstddef>
#include <utility>
#include <vector>

#include "geometria_foglio.h"

// The board picture is painted in its own coordinates: pixel (bx, by) is
// window pixel (bx + PLANCIA_SINISTRA, by + PLANCIA_ALTO) of the board area,
// and its top row is this row from the sheet's top.
constexpr int PLANCIA_RIGA_ALTO = FOGLIO_ALTEZZA - (QUADRO_RIGA + QUADRO_ALTEZZA);

constexpr double PI = 3.14159265358979323846;

struct colore {
    double r, g, b;
};

inline colore operator*(colore c, double k) { return {c.r * k, c.g * k, c.b * k}; }
inline colore operator+(colore a, colore b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline colore mescola(colore a, colore b, double t) { return a * (1 - t) + b * t; }

// The sheet, painted top row first.
struct foglio {
    std::vector<colore> px =
        std::vector<colore>(static_cast<std::size_t>(FOGLIO_LARGHEZZA) * FOGLIO_ALTEZZA, colore{0, 0, 0});
    colore& at(int colonna, int riga_alto) {
        return px[static_cast<std::size_t>(riga_alto) * FOGLIO_LARGHEZZA + colonna];
    }
};

// Deterministic value noise, smooth between whole coordinates, and three
// octaves of it.
double rumore(double x, double y, int seme);
double frattale(double x, double y, int seme);

// Wood with its grain running along x; `chiaro` and `scuro` are the
// early and late wood, `seme` makes each plank its own.
colore legno(double x, double y, colore chiaro, colore scuro, int seme, double intensita);

const colore GIALLO{246, 196, 38};
const colore GIALLO_SCURO{160, 112, 10};
const colore ROSSO{200, 36, 40};
const colore ROSSO_SCURO{110, 14, 20};
const colore OTTONE{214, 172, 78};
const colore OTTONE_SCURO{120, 86, 30};

inline colore colore_giocatore(int g) { return g == 0 ? GIALLO : ROSSO; }
inline colore colore_giocatore_scuro(int g) { return g == 0 ? GIALLO_SCURO : ROSSO_SCURO; }

// Coverage of a shape over one pixel, by 4 x 4 samples.
template <typename F>
inline double copertura(int x, int y, F dentro) {
    int n = 0;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            if (dentro(x + (i + 0.5) / 4, y + (j + 0.5) / 4)) n++;
    return n / 16.0;
}

// Inside a polygon (even-odd rule).
bool nel_poligono(const std::vector<std::pair<double, double>>& p, double x, double y);

// A star of `punte` points round (cx, cy), from radius r_fuori to r_dentro.
std::vector<std::pair<double, double>> stella(double cx, double cy, double r_fuori, double r_dentro, int punte,
                                              double rotazione);

// The board picture, painted in its own coordinates.
struct tela {
    foglio& f;
    // Board-picture pixel (bx, by).
    colore& at(int bx, int by) { return f.at(QUADRO_COLONNA + bx, PLANCIA_RIGA_ALTO + by); }
    void copri(int bx, int by, colore c, double a) {
        if (a <= 0 || bx < 0 || by < 0 || bx >= QUADRO_LARGHEZZA || by >= QUADRO_ALTEZZA) return;
        colore& d = at(bx, by);
        d = mescola(d, c, a);
    }
};

// The board picture: frame, cells, the middle block (foglio_plancia.cpp).
void dipingi_plancia(foglio& f);

// The token racing to column `meta_x`, its picture and its mask
// (foglio_pedine.cpp).
void dipingi_pedina(foglio& f, int meta_x, colore base, colore bordo);

#endif
