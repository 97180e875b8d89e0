// The computer's game tree for one candidate move: every placement that can
// follow it, to a fixed depth, and its depth-weighted score.
//
// The root's constructor builds the whole tree depth first, children in the
// order that plancia::mosse_lecite lists the moves (a stuck player gets one
// pass child); `visita` scores it with the sum of its leaf values (the rule
// is in punteggio.h); the
// destructor frees it. A tree is always complete before it is scored.
//
// The nodes are compact records (the two tokens' cells and the number of
// children) laid out in construction order in one block that the tree owns:
// a node's children follow it, each with its subtree, so the tree is walked
// in the same order it was built without any pointer. A node for which no
// memory can be had is left out, with its subtree, and construction goes on.
#ifndef VORANDEL_ALBERO_H
#define VORANDEL_ALBERO_H

#include <cstddef>
#include <cstdint>

#include "pedina32.h"
#include "plancia32.h"
#include "punteggio.h"

class albero {
public:
    // Builds the tree of the placement (player1, player2) with `turno` to
    // move and `profondita` plies still to look at. Tokens off the board's
    // grid give an empty tree (no node at all).
    albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch);
    ~albero();
    albero(const albero&) = delete;
    albero& operator=(const albero&) = delete;

    // Score of the tree for `giocatore` (0 or 1); `profondita` is the root's
    // level, 1 for the root of a search. An empty tree scores 0.
    double visita(int giocatore, int profondita) const;

    // Nodes built, the root included; 0 when not even the root could be had.
    std::size_t nodi() const { return n_nodi; }

    // The pass flag shared by every node of every tree of the run.
    static std::int32_t& flag_stallo();

private:
    friend struct albero_ispettore;

    // A tree of at most `limite` nodes: every node beyond is one for which no
    // memory could be had. (The tests' shortage of memory.)
    albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch,
           std::size_t limite);

    struct nodo {
        std::uint8_t casa[2];  // cell of each token, column * LATO_PLANCIA + row
        std::uint8_t figli;    // 0 to MOSSE_MAX; the children follow in order
    };
    struct cantiere;

    double visita_da(std::size_t& i, int giocatore, int profondita) const;
    double foglia(const nodo& n, int giocatore, const pesi_livello& p) const;

    nodo* vivaio;
    std::size_t n_nodi;
    std::size_t capienza;
    // Distance of each token from its goal, by cell, for the cells that the
    // tree's nodes occupy (taken from pedina::distanza while building).
    double distanza[2][LATO_PLANCIA * LATO_PLANCIA];
};

static_assert(LATO_PLANCIA * LATO_PLANCIA <= 256, "a node holds each token's cell in a byte");
static_assert(MOSSE_MAX <= 255, "a node holds the number of its children in a byte");

#endif
