// One node of the computer's game tree: a placement of both tokens and up to
// three children, one per legal move of the player to move (or one for a
// pass). The root's constructor builds the whole tree depth first; `visita`
// scores it with the depth-weighted sum of its leaf values.
#ifndef VORANDEL_ALBERO_H
#define VORANDEL_ALBERO_H

#include <cstdint>

#include "pedina32.h"
#include "plancia32.h"

class albero {
public:
    albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch);
    ~albero();
    albero(const albero&) = delete;
    albero& operator=(const albero&) = delete;

    // Score of the subtree for `giocatore`; `profondita` is this node's
    // level, 1 for the root.
    double visita(int giocatore, int profondita) const;

    // The pass flag shared by every node of every tree of the run.
    static std::int32_t& flag_stallo();

private:
    pedina ped[2];
    albero* figlio[3];
};

#endif
