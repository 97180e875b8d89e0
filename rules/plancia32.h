// The 10 by 10 board: which cells can be entered, the four corners, and the
// three-arrow set that each of the 56 ordinary cells shows.
#ifndef VORANDEL_PLANCIA32_H
#define VORANDEL_PLANCIA32_H

#include <windows.h>

#include <cstdint>

#include "dimensioni.h"
#include "pedina32.h"

enum categoria : std::int32_t { blank = 0, inizio1 = 1, inizio2 = 2, fine1 = 3, fine2 = 4, normale = 5 };

// Layout of the categories, written as the board looks: [y][x].
extern const categoria standard_tipo[LATO_PLANCIA][LATO_PLANCIA];
// The eight directions (dx, dy), clockwise from "up".
extern const std::int32_t G_direzioni[N_DIREZIONI][2];
// The 56 three-direction subsets of the eight directions, in lexicographic
// order, each ascending.
extern const std::int8_t G_set_frecce[CASELLE_NORMALI][FRECCE_PER_CASELLA];

struct plancia_ispettore;

class plancia {
    friend struct plancia_ispettore;

public:
    struct casella {
        categoria cat;
        std::uint8_t frecce;  // row of G_set_frecce, for `normale` cells
    };

    plancia();
    // Deals the 56 arrow sets over the 56 ordinary cells.
    int mischia();
    // The legal moves of `mia` against `sua`, written to lecite[0..]; their
    // number (0 to 3), or -1 when either token stands on its goal.
    int mosse_lecite(unsigned* lecite, const pedina& mia, const pedina& sua) const;
    int disegna(HDC hdc, RECT zona) const;
    // Cell (x, y) of the 10 by 10 grid, for the words that describe it.
    const casella& cella(int x, int y) const { return matrice[x][y]; }

    // Where the deal draws its random numbers: the C library's rand() in the
    // game; a test can drive the deal with a sequence of its own.
    static int (*estrai)();

private:
    casella matrice[LATO_PLANCIA][LATO_PLANCIA];  // [x][y]
};

#endif
