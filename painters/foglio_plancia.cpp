// The board picture of the sprite sheet: the walnut frame, the cells (the
// ordinary ones in maple, the start and goal corners in the players'
// colours) and the brass compass rose of the middle block.
#include <algorithm>
#include <cmath>
#include <vector>

#include "foglio.h"

namespace {

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

}  // namespace

void dipingi_plancia(foglio& f) {
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

