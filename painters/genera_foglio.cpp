// Paints the sprite sheet "Tutto261.dib": the wooden board with its
// playable cells, the start and goal corners in the players' colours, the
// compass-rose block in the middle, and the two tokens with their masks.
//
//   genera_foglio OUTPUT
//
// The output is a bottom-up, 24-bit bitmap of FOGLIO_LARGHEZZA by
// FOGLIO_ALTEZZA pixels without a colour table, the same bytes on every run.
// Where the board picture and the tokens go, and where the cells lie on the
// board, is the game's own geometry (geometria_foglio.h), so the sheet fits
// the drawing by construction. The painting below works in rows from the
// top (row FOGLIO_ALTEZZA - 1 - r from the bottom).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "file_dipinto.h"
#include "geometria_foglio.h"

namespace {

// The board picture is painted in its own coordinates: pixel (bx, by) is
// window pixel (bx + PLANCIA_SINISTRA, by + PLANCIA_ALTO) of the board area,
// and its top row is this row from the sheet's top.
constexpr int PLANCIA_RIGA_ALTO = FOGLIO_ALTEZZA - (QUADRO_RIGA + QUADRO_ALTEZZA);

constexpr double PI = 3.14159265358979323846;

struct colore {
    double r, g, b;
};

colore operator*(colore c, double k) { return {c.r * k, c.g * k, c.b * k}; }
colore operator+(colore a, colore b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
colore mescola(colore a, colore b, double t) { return a * (1 - t) + b * t; }

// The sheet, painted top row first.
struct foglio {
    std::vector<colore> px =
        std::vector<colore>(static_cast<std::size_t>(FOGLIO_LARGHEZZA) * FOGLIO_ALTEZZA, colore{0, 0, 0});
    colore& at(int colonna, int riga_alto) {
        return px[static_cast<std::size_t>(riga_alto) * FOGLIO_LARGHEZZA + colonna];
    }
};

// Deterministic value noise.
double hash(int x, int y, int seme) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seme) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0xffffff);
}

double liscia(double t) { return t * t * (3 - 2 * t); }

double rumore(double x, double y, int seme) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    double fx = liscia(x - xi), fy = liscia(y - yi);
    double a = hash(xi, yi, seme), b = hash(xi + 1, yi, seme);
    double c = hash(xi, yi + 1, seme), d = hash(xi + 1, yi + 1, seme);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

double frattale(double x, double y, int seme) {
    return 0.5 * rumore(x, y, seme) + 0.3 * rumore(2 * x, 2 * y, seme + 1) + 0.2 * rumore(4 * x, 4 * y, seme + 2);
}

// Wood with its grain running along x; `chiaro` and `scuro` are the
// early and late wood, `seme` makes each plank its own.
colore legno(double x, double y, colore chiaro, colore scuro, int seme, double intensita) {
    double distorsione = frattale(x * 0.015, y * 0.06, seme) * 6.0;
    double venature = 0.5 + 0.5 * std::sin((y * 0.45 + distorsione) * 1.3 + frattale(x * 0.004, y * 0.02, seme + 7) * 9);
    double fibra = frattale(x * 0.25, y * 1.2, seme + 3);
    double t = intensita * (0.65 * std::pow(venature, 3.0) + 0.35 * fibra);
    return mescola(chiaro, scuro, t);
}

// --- The board -------------------------------------------------------------

enum tipo_cella { vuota, normale, partenza, arrivo };

// What stands on cell (x, y), x and y in PRIMA_FILA..ULTIMA_FILA.
tipo_cella tipo(int x, int y) {
    if (x >= CENTRO_PRIMA && x <= CENTRO_ULTIMA && y >= CENTRO_PRIMA && y <= CENTRO_ULTIMA) return vuota;
    if (y == PRIMA_FILA && (x == PRIMA_FILA || x == ULTIMA_FILA)) return partenza;
    if (y == ULTIMA_FILA && (x == PRIMA_FILA || x == ULTIMA_FILA)) return arrivo;
    return normale;
}

// The player a corner belongs to: yellow (0) starts top left and races to
// the bottom right, red (1) starts top right and races to the bottom left.
int padrone(int x, int y) {
    if (y == PRIMA_FILA) return x == PRIMA_FILA ? 0 : 1;
    return x == ULTIMA_FILA ? 0 : 1;
}

const colore GIALLO{246, 196, 38};
const colore GIALLO_SCURO{160, 112, 10};
const colore ROSSO{200, 36, 40};
const colore ROSSO_SCURO{110, 14, 20};
const colore OTTONE{214, 172, 78};
const colore OTTONE_SCURO{120, 86, 30};

colore colore_giocatore(int g) { return g == 0 ? GIALLO : ROSSO; }
colore colore_giocatore_scuro(int g) { return g == 0 ? GIALLO_SCURO : ROSSO_SCURO; }

// Coverage of a shape over one pixel, by 4 x 4 samples.
template <typename F>
double copertura(int x, int y, F dentro) {
    int n = 0;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            if (dentro(x + (i + 0.5) / 4, y + (j + 0.5) / 4)) n++;
    return n / 16.0;
}

// Inside a polygon (even-odd rule).
bool nel_poligono(const std::vector<std::pair<double, double>>& p, double x, double y) {
    bool dentro = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        double xi = p[i].first, yi = p[i].second, xj = p[j].first, yj = p[j].second;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) dentro = !dentro;
    }
    return dentro;
}

std::vector<std::pair<double, double>> stella(double cx, double cy, double r_fuori, double r_dentro, int punte,
                                              double rotazione) {
    std::vector<std::pair<double, double>> p;
    for (int k = 0; k < 2 * punte; k++) {
        double a = rotazione + k * PI / punte;
        double r = k % 2 == 0 ? r_fuori : r_dentro;
        p.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
    }
    return p;
}

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

// The frame: dark walnut around the playable area, with a bevelled edge
// where it meets the cells; the blank ring lies under it.
void cornice(tela& t) {
    const colore noce_chiaro{112, 72, 42}, noce_scuro{62, 36, 20};
    for (int by = 0; by < QUADRO_ALTEZZA; by++)
        for (int bx = 0; bx < QUADRO_LARGHEZZA; bx++) {
            // The grain follows the nearest side of the frame.
            int dx = std::min(bx, QUADRO_LARGHEZZA - 1 - bx), dy = std::min(by, QUADRO_ALTEZZA - 1 - by);
            colore c = dx < dy ? legno(by, bx, noce_chiaro, noce_scuro, 11, 0.8)
                               : legno(bx, by, noce_chiaro, noce_scuro, 13, 0.8);
            // A slight light from the top left.
            double luce = 1.0 + 0.10 * (1.0 - (bx + by) / double(QUADRO_LARGHEZZA + QUADRO_ALTEZZA)) - 0.05;
            t.at(bx, by) = c * luce;
        }
    // Mitre lines at the corners and a thin outer highlight.
    for (int bx = 0; bx < QUADRO_LARGHEZZA; bx++) {
        t.copri(bx, 0, colore{150, 104, 64}, 0.7);
        t.copri(bx, QUADRO_ALTEZZA - 1, colore{30, 16, 8}, 0.7);
    }
    for (int by = 0; by < QUADRO_ALTEZZA; by++) {
        t.copri(0, by, colore{150, 104, 64}, 0.7);
        t.copri(QUADRO_LARGHEZZA - 1, by, colore{30, 16, 8}, 0.7);
    }
}

int cella_x(int x) { return SCARTO_X + LARGHEZZA_CASELLA * (x - PRIMA_FILA); }
int cella_y(int y) { return SCARTO_Y + ALTEZZA_CASELLA * (y - PRIMA_FILA); }

// A bevelled tile covering cell rectangle (x0, y0, w, h): a dark groove
// all round its outermost pixels (where the white frame of a highlighted
// target lands, so the frame shows clearly), then light from the top left
// and shade on the right and bottom.
void smussa(tela& t, int x0, int y0, int w, int h, double forza) {
    const colore solco{84, 56, 30}, luce{255, 250, 235}, ombra{70, 44, 22};
    for (int i = 0; i < w; i++) {
        t.copri(x0 + i, y0, solco, 0.55 * forza);
        t.copri(x0 + i, y0 + h - 1, solco, 0.75 * forza);
        t.copri(x0 + i, y0 + 1, luce, 0.45 * forza);
        t.copri(x0 + i, y0 + 2, luce, 0.15 * forza);
        t.copri(x0 + i, y0 + h - 2, ombra, 0.30 * forza);
    }
    for (int j = 0; j < h; j++) {
        t.copri(x0, y0 + j, solco, 0.55 * forza);
        t.copri(x0 + w - 1, y0 + j, solco, 0.75 * forza);
        if (j >= 1 && j < h - 1) {
            t.copri(x0 + 1, y0 + j, luce, 0.40 * forza);
            t.copri(x0 + 2, y0 + j, luce, 0.12 * forza);
            t.copri(x0 + w - 2, y0 + j, ombra, 0.28 * forza);
        }
    }
}

// An ordinary cell: light maple, every other one a shade warmer, so that
// the red arrows stand out everywhere.
void cella_normale(tela& t, int x, int y) {
    const bool pari = (x + y) % 2 == 0;
    const colore chiaro = pari ? colore{240, 226, 192} : colore{232, 212, 172};
    const colore scuro = pari ? colore{222, 202, 160} : colore{212, 188, 144};
    int x0 = cella_x(x), y0 = cella_y(y);
    for (int j = 0; j < ALTEZZA_CASELLA; j++)
        for (int i = 0; i < LARGHEZZA_CASELLA; i++) {
            int seme = 100 + x * 10 + y;
            // Planks alternate the direction of their grain.
            colore c = pari ? legno(x0 + i, y0 + j, chiaro, scuro, seme, 0.55)
                            : legno(y0 + j, x0 + i, chiaro, scuro, seme, 0.55);
            // A soft vignette towards the edges of the tile.
            double u = (i + 0.5) / LARGHEZZA_CASELLA - 0.5, v = (j + 0.5) / ALTEZZA_CASELLA - 0.5;
            double vignetta = 1.0 - 0.06 * (u * u + v * v) * 4;
            t.at(x0 + i, y0 + j) = c * vignetta;
        }
    smussa(t, x0, y0, LARGHEZZA_CASELLA, ALTEZZA_CASELLA, 1.0);
}

// A start corner: a tile in the player's colour with a round pad in the
// middle, where the token waits.
void cella_partenza(tela& t, int x, int y) {
    int g = padrone(x, y);
    colore base = colore_giocatore(g), scuro = colore_giocatore_scuro(g);
    int x0 = cella_x(x), y0 = cella_y(y);
    double cx = x0 + LARGHEZZA_CASELLA / 2.0, cy = y0 + ALTEZZA_CASELLA / 2.0;
    for (int j = 0; j < ALTEZZA_CASELLA; j++)
        for (int i = 0; i < LARGHEZZA_CASELLA; i++) {
            double px = x0 + i + 0.5, py = y0 + j + 0.5;
            double vena = frattale(px * 0.08, py * 0.4, 300 + g) - 0.5;
            double luce = 1.05 - 0.25 * ((px - x0) + (py - y0)) / (LARGHEZZA_CASELLA + ALTEZZA_CASELLA) + 0.10 * vena;
            t.at(x0 + i, y0 + j) = base * luce;
        }
    // A sunk ring and a lighter pad.
    for (int j = 0; j < ALTEZZA_CASELLA; j++)
        for (int i = 0; i < LARGHEZZA_CASELLA; i++) {
            int bx = x0 + i, by = y0 + j;
            auto anello = [&](double px, double py) {
                double r = std::hypot(px - cx, py - cy);
                return r < 20.5 && r > 17.0;
            };
            auto disco = [&](double px, double py) { return std::hypot(px - cx, py - cy) <= 17.0; };
            t.copri(bx, by, scuro, 0.85 * copertura(bx, by, anello));
            double d = copertura(bx, by, disco);
            if (d > 0) {
                double r = std::hypot(bx + 0.5 - cx - 4, by + 0.5 - cy - 4) / 20.0;
                colore pad = mescola(colore{255, 246, 220}, base, 0.35 + 0.4 * std::min(1.0, r));
                t.copri(bx, by, pad, d);
            }
        }
    smussa(t, x0, y0, LARGHEZZA_CASELLA, ALTEZZA_CASELLA, 1.2);
}

// A goal corner: light maple with a double border and a large star in the
// colour of the player who races to it.
void cella_arrivo(tela& t, int x, int y) {
    int g = padrone(x, y);
    colore base = colore_giocatore(g), scuro = colore_giocatore_scuro(g);
    cella_normale(t, x, y);
    int x0 = cella_x(x), y0 = cella_y(y);
    for (int j = 0; j < ALTEZZA_CASELLA; j++)
        for (int i = 0; i < LARGHEZZA_CASELLA; i++) {
            int bordo = std::min(std::min(i, j), std::min(LARGHEZZA_CASELLA - 1 - i, ALTEZZA_CASELLA - 1 - j));
            if (bordo >= 2 && bordo <= 4) t.copri(x0 + i, y0 + j, base, 0.9);
            if (bordo == 6) t.copri(x0 + i, y0 + j, base, 0.6);
        }
    double cx = x0 + LARGHEZZA_CASELLA / 2.0, cy = y0 + ALTEZZA_CASELLA / 2.0 + 1;
    auto fuori = stella(cx, cy, 19, 8, 5, 0);
    auto dentro = stella(cx, cy, 15.5, 6.2, 5, 0);
    for (int j = 0; j < ALTEZZA_CASELLA; j++)
        for (int i = 0; i < LARGHEZZA_CASELLA; i++) {
            int bx = x0 + i, by = y0 + j;
            double a = copertura(bx, by, [&](double px, double py) { return nel_poligono(fuori, px, py); });
            t.copri(bx, by, scuro, a);
            double b = copertura(bx, by, [&](double px, double py) { return nel_poligono(dentro, px, py); });
            // Each ray lit on one side, shaded on the other.
            double ang = std::atan2(bx + 0.5 - cx, -(by + 0.5 - cy));
            double lato = std::sin(ang * 5.0);
            colore c = base * (0.92 + 0.18 * (lato > 0 ? 1 : -0.4));
            t.copri(bx, by, c, b);
        }
    smussa(t, x0, y0, LARGHEZZA_CASELLA, ALTEZZA_CASELLA, 1.0);
}

// The middle block of four cells, which no token may enter: a dark walnut
// inlay with a brass compass rose of the eight directions.
void centro(tela& t) {
    constexpr int lato = CENTRO_ULTIMA - CENTRO_PRIMA + 1;
    int x0 = cella_x(CENTRO_PRIMA), y0 = cella_y(CENTRO_PRIMA);
    int w = lato * LARGHEZZA_CASELLA, h = lato * ALTEZZA_CASELLA;
    const colore noce_chiaro{96, 60, 34}, noce_scuro{50, 28, 14};
    double cx = x0 + w / 2.0, cy = y0 + h / 2.0;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            colore c = legno(x0 + i, y0 + j, noce_chiaro, noce_scuro, 500, 0.9);
            double r = std::hypot(x0 + i + 0.5 - cx, y0 + j + 0.5 - cy) / (w / 2.0);
            t.at(x0 + i, y0 + j) = c * (1.05 - 0.25 * r * r);
        }
    // Brass rings.
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int bx = x0 + i, by = y0 + j;
            auto anello = [&](double r0, double r1) {
                return copertura(bx, by, [&](double px, double py) {
                    double r = std::hypot(px - cx, py - cy);
                    return r >= r0 && r <= r1;
                });
            };
            t.copri(bx, by, OTTONE_SCURO, anello(41.5, 45.0));
            t.copri(bx, by, OTTONE, anello(42.2, 44.2));
            t.copri(bx, by, OTTONE, 0.8 * anello(34.0, 35.2));
        }
    // Eight points: the four main ones long, the diagonals short; each point
    // is two triangles, one lit and one in shade.
    for (int d = 0; d < 8; d++) {
        double a = d * PI / 4;
        double lungo = d % 2 == 0 ? 46 : 30, largo = d % 2 == 0 ? 8 : 6;
        double sx = std::sin(a), sy = -std::cos(a);
        double px = -sy, py = sx;  // perpendicular
        std::vector<std::pair<double, double>> lato1 = {
            {cx, cy}, {cx + sx * lungo, cy + sy * lungo}, {cx + px * largo, cy + py * largo}};
        std::vector<std::pair<double, double>> lato2 = {
            {cx, cy}, {cx + sx * lungo, cy + sy * lungo}, {cx - px * largo, cy - py * largo}};
        for (int j = 0; j < h; j++)
            for (int i = 0; i < w; i++) {
                int bx = x0 + i, by = y0 + j;
                double a1 = copertura(bx, by, [&](double qx, double qy) { return nel_poligono(lato1, qx, qy); });
                double a2 = copertura(bx, by, [&](double qx, double qy) { return nel_poligono(lato2, qx, qy); });
                colore chiaro = d % 2 == 0 ? colore{246, 222, 150} : colore{226, 196, 120};
                colore ombra = d % 2 == 0 ? colore{176, 130, 52} : colore{150, 108, 44};
                t.copri(bx, by, chiaro, a1);
                t.copri(bx, by, ombra, a2);
            }
    }
    // A brass boss in the middle.
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int bx = x0 + i, by = y0 + j;
            double a = copertura(bx, by, [&](double qx, double qy) { return std::hypot(qx - cx, qy - cy) <= 4.5; });
            double r = std::hypot(bx + 0.5 - cx + 1.5, by + 0.5 - cy + 1.5) / 5;
            t.copri(bx, by, mescola(colore{255, 240, 190}, OTTONE_SCURO, std::min(1.0, r)), a);
        }
    // Sunk into the board: shade on the top and left, light on the bottom
    // and right.
    for (int i = 0; i < w; i++) {
        t.copri(x0 + i, y0, colore{20, 10, 4}, 0.8);
        t.copri(x0 + i, y0 + 1, colore{20, 10, 4}, 0.4);
        t.copri(x0 + i, y0 + h - 1, colore{200, 160, 110}, 0.5);
    }
    for (int j = 0; j < h; j++) {
        t.copri(x0, y0 + j, colore{20, 10, 4}, 0.8);
        t.copri(x0 + 1, y0 + j, colore{20, 10, 4}, 0.4);
        t.copri(x0 + w - 1, y0 + j, colore{200, 160, 110}, 0.5);
    }
}

// Shade cast by the frame onto the playable area, which lies a little lower.
void ombra_cornice(tela& t) {
    int x0 = cella_x(PRIMA_FILA), y0 = cella_y(PRIMA_FILA);
    int x1 = cella_x(ULTIMA_FILA + 1), y1 = cella_y(ULTIMA_FILA + 1);
    for (int by = y0; by < y1; by++)
        for (int bx = x0; bx < x1; bx++) {
            int d = std::min(bx - x0, by - y0);
            if (d < 3) t.copri(bx, by, colore{40, 22, 10}, 0.35 * (3 - d) / 3.0);
        }
    // The frame's inner lip: light below and to the right of the cells,
    // dark above and to the left.
    for (int bx = x0 - 2; bx < x1 + 2; bx++) {
        t.copri(bx, y0 - 1, colore{26, 14, 6}, 0.8);
        t.copri(bx, y0 - 2, colore{26, 14, 6}, 0.4);
        t.copri(bx, y1, colore{176, 128, 84}, 0.6);
    }
    for (int by = y0 - 2; by < y1 + 2; by++) {
        t.copri(x0 - 1, by, colore{26, 14, 6}, 0.8);
        t.copri(x0 - 2, by, colore{26, 14, 6}, 0.4);
        t.copri(x1, by, colore{176, 128, 84}, 0.6);
    }
}

// Brass studs at the four corners of the frame.
void borchie(tela& t) {
    const double posti[4][2] = {{7.5, 6}, {QUADRO_LARGHEZZA - 10.5, 6}, {7.5, QUADRO_ALTEZZA - 3.5}, {QUADRO_LARGHEZZA - 10.5, QUADRO_ALTEZZA - 3.5}};
    for (const auto& p : posti)
        for (int by = 0; by < QUADRO_ALTEZZA; by++)
            for (int bx = 0; bx < QUADRO_LARGHEZZA; bx++) {
                double dx = bx + 0.5 - p[0], dy = by + 0.5 - p[1];
                if (std::fabs(dx) > 6 || std::fabs(dy) > 6) continue;
                double a = copertura(bx, by, [&](double qx, double qy) { return std::hypot(qx - p[0], qy - p[1]) <= 3.2; });
                double r = std::hypot(dx + 1, dy + 1) / 3.5;
                t.copri(bx, by, mescola(colore{255, 236, 170}, OTTONE_SCURO, std::min(1.0, r)), a);
            }
}

void plancia(foglio& f) {
    tela t{f};
    cornice(t);
    borchie(t);
    for (int y = PRIMA_FILA; y <= ULTIMA_FILA; y++)
        for (int x = PRIMA_FILA; x <= ULTIMA_FILA; x++) switch (tipo(x, y)) {
            case normale: cella_normale(t, x, y); break;
            case partenza: cella_partenza(t, x, y); break;
            case arrivo: cella_arrivo(t, x, y); break;
            case vuota: break;
            }
    centro(t);
    ombra_cornice(t);
}

// --- The tokens ------------------------------------------------------------

// Half the width of the token's body at height y (sprite rows from the
// top); the head is a ball on top.
constexpr double CX = 17.5;
constexpr double TESTA_Y = 9.5, TESTA_R = 7.6;

double mezza_larghezza(double y) {
    if (y < 18.0) return -1;  // above the collar only the head
    if (y < 21.0) return 9.0 - 1.2 * std::fabs(y - 19.5);  // collar
    if (y < 37.0) {
        double t = (y - 21.0) / 16.0;
        return 4.4 + 8.6 * t * t;  // flaring waist
    }
    if (y < 40.5) return 14.5;       // upper base ring
    if (y < 41.5) return 13.5;       // groove
    if (y < 46.5) return 16.4 - 0.35 * std::max(0.0, y - 45.0);  // foot
    return -1;
}

bool silhouette(int i, int j) {
    double x = i + 0.5, y = j + 0.5;
    if (std::hypot(x - CX, y - TESTA_Y) <= TESTA_R) return true;
    double m = mezza_larghezza(y);
    return m > 0 && std::fabs(x - CX) <= m;
}

// Shading as if lit from the upper left: the head as a ball, the rest as a
// solid of revolution.
colore tinta(int i, int j, colore base) {
    double x = i + 0.5, y = j + 0.5;
    double nx, ny, nz;
    double dt = std::hypot(x - CX, y - TESTA_Y);
    if (dt <= TESTA_R && y < 19) {
        nx = (x - CX) / TESTA_R;
        ny = (y - TESTA_Y) / TESTA_R;
        nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
    } else {
        double m = std::max(1.0, mezza_larghezza(y));
        nx = std::clamp((x - CX) / m, -1.0, 1.0);
        nz = std::sqrt(std::max(0.0, 1 - nx * nx));
        ny = (y > 37 && y < 41.5) ? -0.35 : 0.0;  // the top of the base faces up a little
        double l = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= l, ny /= l, nz /= l;
    }
    const double lx = -0.5, ly = -0.55, lz = 0.67;
    double diff = std::max(0.0, nx * lx + ny * ly + nz * lz);
    // Specular highlight towards the viewer.
    double hx = lx, hy = ly, hz = lz + 1;
    double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    double lucido = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 24);
    colore c = base * (0.30 + 0.85 * diff) + colore{255, 255, 255} * (0.55 * lucido);
    return c;
}

// The token racing to column `meta_x`, its picture and its mask.
void pedina(foglio& f, int meta_x, colore base, colore bordo) {
    const int colonna = colonna_pedina(meta_x);
    // Sprite row 0 is the top row of the picture and of the mask.
    const int figura = FOGLIO_ALTEZZA - (PEDINA_RIGA_FIGURA + PEDINA_ALTEZZA);
    const int maschera = FOGLIO_ALTEZZA - (PEDINA_RIGA_MASCHERA + PEDINA_ALTEZZA);
    for (int j = 0; j < PEDINA_ALTEZZA; j++)
        for (int i = 0; i < PEDINA_LARGHEZZA; i++) {
            colore& pic = f.at(colonna + i, figura + j);
            colore& mas = f.at(colonna + i, maschera + j);
            if (!silhouette(i, j)) {
                pic = colore{0, 0, 0};
                mas = colore{0, 0, 0};
                continue;
            }
            mas = colore{255, 255, 255};
            bool orlo = !silhouette(i - 1, j) || !silhouette(i + 1, j) || !silhouette(i, j - 1) ||
                        !silhouette(i, j + 1);
            colore c = orlo ? bordo : tinta(i, j, base);
            // Inside the silhouette nothing is pure black, so the picture
            // never punches a hole where the mask says token.
            c.r = std::max(c.r, 12.0), c.g = std::max(c.g, 8.0), c.b = std::max(c.b, 8.0);
            pic = c;
        }
}

std::uint8_t byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l)); }

std::vector<std::uint8_t> codifica(foglio& f) {
    const std::uint32_t riga = (FOGLIO_LARGHEZZA * 3 + 3) / 4 * 4;
    const std::uint32_t pixel = riga * FOGLIO_ALTEZZA;
    std::vector<std::uint8_t> o;
    o.push_back('B');
    o.push_back('M');
    metti32(o, 54 + pixel);
    metti32(o, 0);
    metti32(o, 54);
    metti32(o, 40);
    metti32(o, FOGLIO_LARGHEZZA);
    metti32(o, FOGLIO_ALTEZZA);
    metti16(o, 1);
    metti16(o, 24);
    metti32(o, 0);  // BI_RGB
    metti32(o, pixel);
    metti32(o, 2835);
    metti32(o, 2835);
    metti32(o, 0);  // no colour table
    metti32(o, 0);
    for (int r = 0; r < FOGLIO_ALTEZZA; r++) {  // bottom row first
        int riga_alto = FOGLIO_ALTEZZA - 1 - r;
        std::size_t inizio = o.size();
        for (int x = 0; x < FOGLIO_LARGHEZZA; x++) {
            const colore& c = f.at(x, riga_alto);
            o.push_back(byte(c.b));
            o.push_back(byte(c.g));
            o.push_back(byte(c.r));
        }
        while (o.size() - inizio < riga) o.push_back(0);
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const char* uscita = file_da_dipingere(argc, argv, "genera_foglio OUTPUT");
    if (uscita == nullptr) return 2;
    foglio f;
    plancia(f);
    pedina(f, ULTIMA_FILA, GIALLO, colore{104, 70, 4});  // the first player races to the last column
    pedina(f, PRIMA_FILA, ROSSO, colore{70, 8, 12});
    return scrivi_file(uscita, codifica(f));
}
