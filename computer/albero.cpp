// Building, scoring and freeing the game tree.
#include "albero.h"

#include <cmath>
#include <new>

namespace {

// Set when a stuck node gets its pass child, cleared by every node that has
// moves. One flag for the whole run: its value carries from node to node,
// from tree to tree and from one search to the next.
std::int32_t stallo_vicino = 0;

}  // namespace

std::int32_t& albero::flag_stallo() { return stallo_vicino; }

albero::albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch)
    : ped{player1, player2}, figlio{nullptr, nullptr, nullptr} {
    if (profondita < 1) return;
    if (player1.vittoria() || player2.vittoria()) return;

    unsigned S_lecite[3];
    int n = scacch.mosse_lecite(S_lecite, ped[turno], ped[1 - turno]);
    if (n == 0) {
        if (stallo_vicino) return;  // the other player passed just before: nobody can move
        stallo_vicino = 1;
        figlio[0] = new (std::nothrow) albero(player1, player2, 1 - turno, profondita - 1, scacch);
        return;
    }
    stallo_vicino = 0;
    for (int i = 0; i < n; i++) {
        pedina L_pedina = ped[turno];
        L_pedina.move_to(S_lecite[i]);
        if (turno == 0)
            figlio[i] = new (std::nothrow) albero(L_pedina, player2, 1, profondita - 1, scacch);
        else
            figlio[i] = new (std::nothrow) albero(player1, L_pedina, 0, profondita - 1, scacch);
    }
}

albero::~albero() {
    for (albero* f : figlio) delete f;
}

double albero::visita(int giocatore, int profondita) const {
    double L_d1 = ped[giocatore].distanza();
    double L_d2 = ped[1 - giocatore].distanza();
    double somma = 0.0;
    if (figlio[0] != nullptr || figlio[1] != nullptr || figlio[2] != nullptr) {
        for (const albero* f : figlio)
            if (f != nullptr) somma += f->visita(giocatore, profondita + 1);
        return somma;
    }
    double s = std::pow(3.0, profondita - 1);
    if (L_d2 == 0.0) return somma + -21.0 / (s * 2.0);
    if (L_d1 == 0.0) return somma + 25.0 / (s * 2.0);
    return somma + ((L_d2 - L_d1) * 2.0) / (s * 2.0);
}
