// The plain game tree and decision loop, node by node on the heap.
#include "riferimento.h"

#include <cstring>
#include <new>

#include "punteggio.h"

namespace {

std::int32_t stallo_vicino = 0;
std::size_t contati = 0;
std::size_t limite = SIZE_MAX;

}  // namespace

std::int32_t& albero_semplice::flag_stallo() { return stallo_vicino; }
std::size_t albero_semplice::nodi() { return contati; }
void albero_semplice::limita_nodi(std::size_t massimo) { limite = massimo; }

albero_semplice* albero_semplice::nuovo(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                        const plancia& scacch) {
    // The node is counted when it is allocated, before its children.
    if (contati >= limite) return nullptr;
    void* memoria = ::operator new(sizeof(albero_semplice), std::nothrow);
    if (memoria == nullptr) return nullptr;
    contati++;
    return new (memoria) albero_semplice(player1, player2, turno, profondita, scacch);
}

albero_semplice* albero_semplice::radice(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                         const plancia& scacch) {
    contati = 0;
    return nuovo(player1, player2, turno, profondita, scacch);
}

albero_semplice::albero_semplice(pedina player1, pedina player2, int turno, std::int32_t profondita,
                                 const plancia& scacch)
    : ped{player1, player2}, figlio{nullptr, nullptr, nullptr} {
    if (profondita < 1) return;
    if (player1.vittoria() || player2.vittoria()) return;

    unsigned S_lecite[MOSSE_MAX];
    int n = scacch.mosse_lecite(S_lecite, ped[turno], ped[1 - turno]);
    if (n == 0) {
        if (stallo_vicino) return;
        stallo_vicino = 1;
        figlio[0] = nuovo(player1, player2, 1 - turno, profondita - 1, scacch);
        return;
    }
    stallo_vicino = 0;
    for (int i = 0; i < n; i++) {
        pedina L_pedina = ped[turno];
        L_pedina.move_to(S_lecite[i]);
        if (turno == 0)
            figlio[i] = nuovo(L_pedina, player2, 1, profondita - 1, scacch);
        else
            figlio[i] = nuovo(player1, L_pedina, 0, profondita - 1, scacch);
    }
}

albero_semplice::~albero_semplice() {
    for (albero_semplice* f : figlio)
        if (f != nullptr) {
            f->~albero_semplice();
            ::operator delete(f);
        }
}

int albero_semplice::figli_radice() const {
    int n = 0;
    for (const albero_semplice* f : figlio)
        if (f != nullptr) n++;
    return n;
}

double albero_semplice::visita(int giocatore, int profondita) const {
    double L_d1 = ped[giocatore].distanza();
    double L_d2 = ped[1 - giocatore].distanza();
    double somma = 0.0;
    if (figlio[0] != nullptr || figlio[1] != nullptr || figlio[2] != nullptr) {
        for (const albero_semplice* f : figlio)
            if (f != nullptr) somma += f->visita(giocatore, profondita + 1);
        return somma;
    }
    return valore_foglia(L_d1, L_d2, pesi_di_peso(peso_livello(profondita)));
}

std::int32_t scegli_mossa_semplice(const situazione& s, std::uint64_t* nodi) {
    std::int32_t L_migliore = -1;
    double L_punti = 0.0;
    double L_max;
    const std::uint64_t minimo = 0xFE37E43C8800759DULL;
    std::memcpy(&L_max, &minimo, sizeof L_max);
    int L_turno = s.turno;
    pedina L_ped[2] = {s.ped[0], s.ped[1]};
    if (nodi != nullptr) *nodi = 0;

    if (s.n_lecite == 0) return -1;
    if (s.n_lecite == 1) return 0;
    if (L_turno != 0 && L_turno != 1) return -1;
    for (std::int32_t i = 0; i < s.n_lecite; i++) {
        L_ped[L_turno] = s.ped[L_turno];
        L_ped[L_turno].move_to(s.direz[i]);
        albero_semplice* radice = albero_semplice::radice(L_ped[0], L_ped[1], 1 - L_turno, s.livello, s.scacch);
        if (radice == nullptr) {
            if (L_migliore < 0) L_migliore = i;
            continue;
        }
        L_punti = radice->visita(L_turno, 1);
        if (nodi != nullptr) *nodi += albero_semplice::nodi();
        delete radice;
        if (L_punti > L_max) {
            L_max = L_punti;
            L_migliore = i;
        }
    }
    return L_migliore;
}
