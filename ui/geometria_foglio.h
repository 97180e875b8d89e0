// The sprite sheet "Tutto261.dib" and where its pieces land in the window:
// the one place for these figures, shared by the program that paints the
// sheet at build time, the drawing, the loader's minimum size, the
// automation tool and the tests. Plain numbers without windows.h, so that
// the painter compiles with the build machine's own compiler.
//
// Sheet coordinates are columns from the left and rows counted from the
// bottom row as row 0, which is how the blits address a bottom-up bitmap.
#ifndef VORANDEL_GEOMETRIA_FOGLIO_H
#define VORANDEL_GEOMETRIA_FOGLIO_H

#include "geometria.h"

// The smallest sheet that holds every piece below: the painter paints
// exactly this, the loader refuses anything smaller.
inline constexpr int FOGLIO_LARGHEZZA = 628;
inline constexpr int FOGLIO_ALTEZZA = 460;

// The board picture maps one to one onto the board area `mio_rect`; its
// bottom row is sheet row QUADRO_RIGA and its top row the sheet's last.
inline constexpr int QUADRO_COLONNA = 45;
inline constexpr int QUADRO_RIGA = 25;
inline constexpr int QUADRO_LARGHEZZA = PLANCIA_DESTRA - PLANCIA_SINISTRA;
inline constexpr int QUADRO_ALTEZZA = PLANCIA_BASSO - PLANCIA_ALTO;

// The sheet column and row that the board picture shows at window pixel
// (X, Y) of the board area.
constexpr int colonna_nel_foglio(int X) { return X - PLANCIA_SINISTRA + QUADRO_COLONNA; }
constexpr int riga_nel_foglio(int Y) { return QUADRO_RIGA + QUADRO_ALTEZZA - 1 - (Y - PLANCIA_ALTO); }

// The tokens: a picture on black and its mask, white on black, one above the
// other; the token racing to column PRIMA_FILA (the second player's) at
// PEDINA_COLONNA, the one racing to column ULTIMA_FILA PEDINA_PASSO further
// right.
inline constexpr int PEDINA_COLONNA = 546;
inline constexpr int PEDINA_PASSO = 47;
inline constexpr int PEDINA_RIGA_FIGURA = 120;
inline constexpr int PEDINA_RIGA_MASCHERA = 291;

// The sheet column of the token whose goal is in column `meta_x`
// (PRIMA_FILA or ULTIMA_FILA).
constexpr int colonna_pedina(int meta_x) { return PEDINA_COLONNA + PEDINA_PASSO * (meta_x / ULTIMA_FILA); }

// In the window, arrows and tokens follow pitches of their own, slightly
// off the cells' 53 by 52 and still inside the cells: the arrows of cell
// (j, i) start from (x_centro(j), y_centro(i)), the token on cell (x, y) has
// its top left corner at (x_pedina(x), y_pedina(y)).
inline constexpr double PASSO_X = 53.3;
inline constexpr int PASSO_FRECCE_Y = 51;
// An arrow's shaft, from its centre to its tip; the barbs run back from
// the tip, so no part of an arrow lies further from its centre.
inline constexpr int LUNGHEZZA_FRECCIA = 8;

constexpr int x_centro(int j) { return static_cast<int>(PASSO_X * j + 8.0); }
constexpr int y_centro(int i) { return PASSO_FRECCE_Y * i + 3; }
constexpr int x_pedina(int x) { return static_cast<int>((x - PRIMA_FILA) * PASSO_X + (PLANCIA_SINISTRA + SCARTO_X)); }
constexpr int y_pedina(int y) { return (y - PRIMA_FILA) * ALTEZZA_CASELLA + PLANCIA_ALTO + SCARTO_Y; }

// What the drawing relies on: every piece lies inside the sheet, the pieces
// do not overlap, the sheet is no larger than they need, and arrows and
// tokens stay inside their cells, so repainting a cell repaints all of it.
namespace geometria_foglio_verifica {
constexpr int casella_x(int x) { return PLANCIA_SINISTRA + SCARTO_X + LARGHEZZA_CASELLA * (x - PRIMA_FILA); }
constexpr int casella_y(int y) { return PLANCIA_ALTO + SCARTO_Y + ALTEZZA_CASELLA * (y - PRIMA_FILA); }
constexpr bool frecce_e_pedine_nelle_caselle() {
    for (int k = PRIMA_FILA; k <= ULTIMA_FILA; k++) {
        if (x_centro(k) - LUNGHEZZA_FRECCIA < casella_x(k) ||
            x_centro(k) + LUNGHEZZA_FRECCIA >= casella_x(k) + LARGHEZZA_CASELLA)
            return false;
        if (y_centro(k) - LUNGHEZZA_FRECCIA < casella_y(k) || y_centro(k) + LUNGHEZZA_FRECCIA >= casella_y(k) + ALTEZZA_CASELLA)
            return false;
        if (x_pedina(k) < casella_x(k) || x_pedina(k) + PEDINA_LARGHEZZA > casella_x(k) + LARGHEZZA_CASELLA) return false;
        if (y_pedina(k) < casella_y(k) || y_pedina(k) + PEDINA_ALTEZZA > casella_y(k) + ALTEZZA_CASELLA) return false;
    }
    return true;
}
}  // namespace geometria_foglio_verifica

static_assert(QUADRO_COLONNA >= 0 && QUADRO_RIGA >= 0 && QUADRO_RIGA + QUADRO_ALTEZZA == FOGLIO_ALTEZZA,
              "the board picture must reach the sheet's top row");
static_assert(QUADRO_COLONNA + QUADRO_LARGHEZZA <= PEDINA_COLONNA, "the tokens must lie right of the board picture");
static_assert(PEDINA_LARGHEZZA <= PEDINA_PASSO, "the two tokens must not overlap");
static_assert(colonna_pedina(PRIMA_FILA) == PEDINA_COLONNA, "the second player's token must be the first in the sheet");
static_assert(colonna_pedina(ULTIMA_FILA) + PEDINA_LARGHEZZA == FOGLIO_LARGHEZZA,
              "the first player's token must reach the sheet's right edge");
static_assert(PEDINA_RIGA_FIGURA >= 0 && PEDINA_RIGA_FIGURA + PEDINA_ALTEZZA <= PEDINA_RIGA_MASCHERA &&
                  PEDINA_RIGA_MASCHERA + PEDINA_ALTEZZA <= FOGLIO_ALTEZZA,
              "a token's picture and mask must lie one above the other inside the sheet");
static_assert(geometria_foglio_verifica::frecce_e_pedine_nelle_caselle(),
              "arrows and tokens must stay inside their cells");

#endif
