// The game tree in its plainest form: one heap node per placement, freed one
// by one. The computer does not use it; the benchmark measures the fast tree
// against it, and the tests check, score for score and bit for bit, that the
// fast tree and its decision loop give exactly what this one gives.
#ifndef VORANDEL_RIFERIMENTO_H
#define VORANDEL_RIFERIMENTO_H

#include <cstddef>
#include <cstdint>

#include "computer.h"
#include "pedina32.h"
#include "plancia32.h"

class albero_semplice {
public:
    // A root: the node count starts again from it (see `limita_nodi`).
    // Null when the root itself cannot be had.
    static albero_semplice* radice(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                   const plancia& scacch);

    albero_semplice(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch);
    ~albero_semplice();
    albero_semplice(const albero_semplice&) = delete;
    albero_semplice& operator=(const albero_semplice&) = delete;

    double visita(int giocatore, int profondita) const;
    int figli_radice() const;

    // This tree's own pass flag, with the same rules as the fast tree's.
    static std::int32_t& flag_stallo();
    // Nodes allocated since the last root, and the most a tree may hold.
    static std::size_t nodi();
    static void limita_nodi(std::size_t massimo);

private:
    static albero_semplice* nuovo(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                  const plancia& scacch);

    pedina ped[2];
    albero_semplice* figlio[MOSSE_MAX];
};

// The worker's decision loop over the candidate moves, with the plain tree.
std::int32_t scegli_mossa_semplice(const situazione& s, std::uint64_t* nodi = nullptr);

#endif
