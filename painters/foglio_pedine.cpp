// The two tokens of the sprite sheet, each a picture and its mask.
#include <algorithm>
#include <cmath>

#include "foglio.h"

namespace {

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

}  // namespace

// The token racing to column `meta_x`, its picture and its mask.
void dipingi_pedina(foglio& f, int meta_x, colore base, colore bordo) {
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
