// Small helpers shared by the computer's tests: tokens on given cells,
// arrow sets by their directions, bit-exact comparison of scores, and what
// the tests read of the trees and the fast search that the game does not.
#ifndef VORANDEL_TEST_AIUTI_H
#define VORANDEL_TEST_AIUTI_H

#include <cstdint>
#include <cstring>

#include <cstddef>
#include <memory>

#include "albero.h"
#include "ispettori.h"
#include "pedina32.h"
#include "plancia32.h"
#include "ricerca.h"
#include "riferimento.h"

// Player k's token (player 0 aims at (8, 8), player 1 at (1, 8)) on (x, y).
inline pedina gettone(int k, unsigned x, unsigned y) {
    pedina p = k == 0 ? pedina(1, 1, 8, 8) : pedina(8, 1, 1, 8);
    pedina_ispettore::metti(p, x, y);
    return p;
}

// The row of G_set_frecce holding the directions a < b < c.
inline int set_di(int a, int b, int c) {
    for (int i = 0; i < CASELLE_NORMALI; i++)
        if (G_set_frecce[i][0] == a && G_set_frecce[i][1] == b && G_set_frecce[i][2] == c) return i;
    return -1;
}

inline void frecce(plancia& p, int x, int y, int a, int b, int c) { plancia_ispettore::metti_set(p, x, y, set_di(a, b, c)); }

inline std::uint64_t bit_di(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

struct albero_ispettore {
    // A tree that holds at most `limite` nodes, as if memory ran out beyond.
    static std::unique_ptr<albero> con_limite(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                              const plancia& scacch, std::size_t limite) {
        return std::unique_ptr<albero>(new albero(player1, player2, turno, profondita, scacch, limite));
    }
    // Children of the root (0 to MOSSE_MAX).
    static int figli_radice(const albero& a) { return a.n_nodi == 0 ? 0 : a.vivaio[0].figli; }
};

struct ricerca_ispettore {
    // Subtrees taken from the table rather than walked, over the search.
    static std::uint64_t riprese(const ricerca& r) { return r.n_riprese; }
};

#endif
