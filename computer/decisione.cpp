// The computer's decision: the index of the best legal move for a position,
// each candidate scored by the fast search or, where it does not walk, by a
// game tree (computer.h). The worker that runs it for the match is in
// partita_computer.cpp.
#include <cstring>

#include "albero.h"
#include "computer.h"
#include "ricerca.h"

namespace {

// The tree's pass flag is one for the process, and two matches may decide at
// once: a decision reads it as it begins and leaves it as it ends, each with
// one atomic access. (Only a tree built for a placement the fast search does
// not walk, which play never reaches, uses it in between.)
std::int32_t leggi_flag() {
#if defined(__GNUC__)
    return __atomic_load_n(&albero::flag_stallo(), __ATOMIC_ACQUIRE);
#else
    return albero::flag_stallo();
#endif
}

void lascia_flag(std::int32_t v) {
#if defined(__GNUC__)
    __atomic_store_n(&albero::flag_stallo(), v, __ATOMIC_RELEASE);
#else
    albero::flag_stallo() = v;
#endif
}

}  // namespace

std::int32_t scegli_mossa(const situazione& s, std::uint64_t* nodi) {
    std::int32_t L_migliore = -1;
    double L_punti = 0.0;
    double L_max;
    const std::uint64_t minimo = 0xFE37E43C8800759DULL;  // just below -1e300, under every score
    std::memcpy(&L_max, &minimo, sizeof L_max);
    int L_turno = s.turno;
    pedina L_ped[2] = {s.ped[0], s.ped[1]};
    if (nodi != nullptr) *nodi = 0;

    if (s.n_lecite == 0) return -1;  // the computer passes
    if (s.n_lecite == 1) return 0;   // no choice: no search
    if (L_turno != 0 && L_turno != 1) return -1;
    // The fast search scores each candidate as its tree would, with the
    // tree's own pass flag; for a placement it does not walk, the tree is
    // built.
    ricerca veloce(s.scacch, L_turno, s.livello);
    std::int32_t flag = leggi_flag();
    for (std::int32_t i = 0; i < s.n_lecite; i++) {
        L_ped[L_turno] = s.ped[L_turno];
        L_ped[L_turno].move_to(s.direz[i]);
        // The placement after the candidate move, the opponent to move.
        std::uint64_t contati = 0;
        if (!veloce.valuta(L_ped[0], L_ped[1], 1 - L_turno, flag, &L_punti, &contati)) {
            lascia_flag(flag);
            albero radice(L_ped[0], L_ped[1], 1 - L_turno, s.livello, s.scacch);
            flag = leggi_flag();
            contati = radice.nodi();
            if (radice.nodi() == 0) {
                // No memory for even the root: keep a legal move rather than none.
                if (L_migliore < 0) L_migliore = i;
                continue;
            }
            L_punti = radice.visita(L_turno, 1);
        }
        if (nodi != nullptr) *nodi += contati;
        if (L_punti > L_max) {
            L_max = L_punti;
            L_migliore = i;
        }
    }
    lascia_flag(flag);
    return L_migliore;
}
