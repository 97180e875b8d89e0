// The game tree: leaf values, the worked example, stuck players and the pass
// flag, won placements, the decision rule, and the fast tree and the fast
// search checked node for node and bit for bit against the plain tree.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "aiuti.h"
#include "albero.h"
#include "computer.h"
#include "estrazioni.h"
#include "posizioni.h"
#include "riferimento.h"
#include "ricerca.h"

namespace {

// The cell numbers of the fast search, 0 to 63: column, then row.
int cella_di(unsigned x, unsigned y) { return static_cast<int>((x - 1) * 8 + (y - 1)); }

// The nodes built over the fixed positions for skills 1 to 10 in order, from
// a clear pass flag: a change in what the search builds changes it.
constexpr std::uint64_t FIRMA_RICERCA = 579319;

struct Albero : ::testing::Test {
    plancia b;
    void SetUp() override { albero::flag_stallo() = albero_semplice::flag_stallo() = 0; }
    void TearDown() override { albero_semplice::limita_nodi(SIZE_MAX); }
};

TEST_F(Albero, FoglieAiLivelli123) {
    // Player 0 two cells from its goal, player 1 sqrt(17) from its own.
    albero a(gettone(0, 6, 8), gettone(1, 5, 7), 1, 0, b);
    ASSERT_EQ(a.nodi(), 1u);
    double diff = std::sqrt(17.0) - 2.0;
    EXPECT_EQ(a.visita(0, 1), diff);
    EXPECT_DOUBLE_EQ(a.visita(0, 2), diff / 3);
    EXPECT_DOUBLE_EQ(a.visita(0, 3), diff / 9);
    EXPECT_EQ(a.visita(1, 3), -a.visita(0, 3));
    // A won placement has no children and is not scored symmetrically.
    albero vinta(gettone(0, 8, 8), gettone(1, 5, 7), 1, 4, b);
    EXPECT_EQ(vinta.nodi(), 1u);
    EXPECT_EQ(vinta.visita(1, 1), -10.5);
    EXPECT_EQ(vinta.visita(1, 2), -3.5);
}

TEST_F(Albero, EsempioDelCalcoloVale1) {
    // Player 0 on (6, 8), 2 from its goal, after its candidate move; player 1
    // on (5, 7) moves along the arrows of (6, 8): 3 is blocked by player 0,
    // 4 leads to (5, 8), 4 from (1, 8), and 5 to (4, 8), 3 from it.
    frecce(b, 6, 8, 3, 4, 5);
    albero a(gettone(0, 6, 8), gettone(1, 5, 7), 1, 1, b);
    EXPECT_EQ(a.nodi(), 3u);
    EXPECT_EQ(albero_ispettore::figli_radice(a), 2);
    EXPECT_EQ(a.visita(0, 1), 1.0);  // (4 - 2) * 2 / 6 + (3 - 2) * 2 / 6
    // The inner node's own placement adds nothing.
    EXPECT_EQ(a.visita(1, 1), -1.0);
}

situazione da_plancia(const plancia& b, pedina p0, pedina p1, int turno, int livello) {
    situazione s{};
    s.scacch = b, s.ped[0] = p0, s.ped[1] = p1, s.turno = turno, s.livello = livello;
    unsigned lecite[3] = {0, 0, 0};
    s.n_lecite = b.mosse_lecite(lecite, s.ped[turno], s.ped[1 - turno]);
    for (int i = 0; i < 3; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
    return s;
}

TEST_F(Albero, RadiceFermaConESenzaFlag) {
    // Player 0 on (2, 1) with arrows 0, 1, 7, player 1 on its corner (8, 1):
    // every arrow leads into the outer ring, so neither can move.
    frecce(b, 2, 1, 0, 1, 7);
    const double d0 = std::sqrt(85.0), d1 = std::sqrt(98.0);
    {
        // Flag clear: one pass child, whose player is stuck right after a
        // pass: a leaf. The flag stays up.
        albero a(gettone(0, 2, 1), gettone(1, 8, 1), 1, 3, b);
        EXPECT_EQ(a.nodi(), 2u);
        EXPECT_EQ(albero::flag_stallo(), 1);
        EXPECT_EQ(a.visita(0, 1), ((d1 - d0) * 2.0) / (3.0 * 2.0));
    }
    // Flag already up: the root is a leaf.
    albero a(gettone(0, 2, 1), gettone(1, 8, 1), 1, 3, b);
    EXPECT_EQ(a.nodi(), 1u);
    EXPECT_EQ(a.visita(0, 1), d1 - d0);
}

TEST_F(Albero, IlFlagPassaDaUnaRicercaAllaSuccessiva) {
    // Player 0 on (2, 2), player 1 on its corner: player 0's own arrows
    // 2, 3, 4 apply, and each cell they lead to shows arrows along which
    // player 1 cannot leave (8, 1). At skill 1 the first candidate's root
    // gets a pass child that runs out of depth and leaves the flag up; every
    // later stuck root, in this search and in the next, is a leaf.
    frecce(b, 2, 2, 2, 3, 4);
    frecce(b, 3, 2, 0, 1, 2);
    frecce(b, 3, 3, 0, 1, 3);
    frecce(b, 2, 3, 0, 1, 7);
    situazione s = da_plancia(b, gettone(0, 2, 2), gettone(1, 8, 1), 0, 1);
    ASSERT_EQ(s.n_lecite, 3);

    // The plain tree carries the flag the same way.
    for (std::uint64_t attesi : {4u, 3u}) {
        std::uint64_t n = 0, semplice = 0;
        EXPECT_EQ(scegli_mossa(s, &n), scegli_mossa_semplice(s, &semplice));
        EXPECT_EQ(n, attesi);
        EXPECT_EQ(semplice, attesi);
        EXPECT_EQ(albero::flag_stallo(), 1);
    }
}

TEST_F(Albero, Decisione) {
    // No legal move: a pass, no tree. One legal move (only arrow 2 stays on
    // the board): taken without a tree.
    std::uint64_t nodi = 99;
    frecce(b, 2, 1, 0, 1, 7);
    EXPECT_EQ(scegli_mossa(da_plancia(b, gettone(0, 2, 1), gettone(1, 8, 1), 0, 10), &nodi), -1);
    EXPECT_EQ(nodi, 0u);
    frecce(b, 2, 1, 0, 1, 2);
    situazione una = da_plancia(b, gettone(0, 2, 1), gettone(1, 8, 1), 0, 10);
    ASSERT_EQ(una.n_lecite, 1);
    EXPECT_EQ(scegli_mossa(una, &nodi), 0);
    EXPECT_EQ(nodi, 0u);
    // Player 0 on (7, 7): arrows 2, 3, 4 lead to (8, 7), its goal (8, 8) and
    // (7, 8); the move onto the goal scores 12.5 and is chosen.
    frecce(b, 7, 7, 2, 3, 4);
    EXPECT_EQ(albero(gettone(0, 8, 8), gettone(1, 8, 1), 1, 5, b).visita(0, 1), 12.5);
    situazione s = da_plancia(b, gettone(0, 7, 7), gettone(1, 8, 1), 0, 5);
    ASSERT_EQ(s.direz[1], 3);
    EXPECT_EQ(scegli_mossa(s), 1);
}

TEST_F(Albero, FirmaDellaRicerca) {
    ASSERT_GE(posizioni_prova(1).size(), 12u);
    for (bool semplice : {false, true}) {
        albero::flag_stallo() = albero_semplice::flag_stallo() = 0;
        std::uint64_t totale = 0;
        for (std::int32_t livello = 1; livello <= 10; livello++)
            for (const situazione& s : posizioni_prova(livello)) {
                std::uint64_t n = 0;
                semplice ? scegli_mossa_semplice(s, &n) : scegli_mossa(s, &n);
                totale += n;
            }
        EXPECT_EQ(totale, FIRMA_RICERCA) << (semplice ? "plain tree" : "fast tree");
    }
}

// A seeded walk of up to `passi` random legal moves from `p`, `turno` to
// move first; it stops before a winning move. The result is the player to
// move at the end.
int cammina(const plancia& b, pedina p[2], int turno, int passi) {
    for (int m = passi; m > 0; m--, turno = 1 - turno) {
        unsigned lecite[3];
        int n = b.mosse_lecite(lecite, p[turno], p[1 - turno]);
        if (n < 0) break;
        pedina prova = p[turno];
        if (n > 0) prova.move_to(lecite[estrazione() % n]);
        if (prova.vittoria()) break;
        p[turno] = prova;
    }
    return turno;
}

// Positions from seeded deals after a seeded number of random moves.
std::vector<situazione> posizioni_a_caso(int quante, std::uint32_t seme) {
    estrai_con seminato(estrazione);
    std::vector<situazione> v;
    for (int k = 0; k < quante; k++) {
        semina_estrazioni(seme + static_cast<std::uint32_t>(k) * 7919u);
        plancia b;
        b.mischia();
        pedina p[2] = {gettone(0, 1, 1), gettone(1, 8, 1)};
        int turno = cammina(b, p, k % 2, estrazione() % 40);
        v.push_back(da_plancia(b, p[0], p[1], turno, 1 + k % 6));
    }
    return v;
}

// Every candidate tree of every position, built by both trees from the same
// pass flag, each holding at most `limite` nodes: the same nodes, the same
// children of the root, scores equal to the last bit for both players, the
// same flag afterwards; and, without a limit, the whole decision. Returns
// the number of trees compared.
int confronta_alberi(const std::vector<situazione>& posizioni, std::size_t limite = SIZE_MAX) {
    int confrontati = 0;
    albero_semplice::limita_nodi(limite);
    for (const situazione& s : posizioni) {
        for (int i = 0; i < s.n_lecite; i++) {
            pedina p[2] = {s.ped[0], s.ped[1]};
            p[s.turno].move_to(s.direz[i]);
            albero::flag_stallo() = albero_semplice::flag_stallo() = (i + s.livello) % 2;
            std::unique_ptr<albero> veloce =
                albero_ispettore::con_limite(p[0], p[1], 1 - s.turno, s.livello, s.scacch, limite);
            albero_semplice* piano = albero_semplice::radice(p[0], p[1], 1 - s.turno, s.livello, s.scacch);
            EXPECT_EQ(veloce->nodi(), piano ? albero_semplice::nodi() : 0u);
            if (piano == nullptr) continue;
            EXPECT_EQ(albero_ispettore::figli_radice(*veloce), piano->figli_radice());
            EXPECT_EQ(bit_di(veloce->visita(0, 1)), bit_di(piano->visita(0, 1)));
            EXPECT_EQ(bit_di(veloce->visita(1, 1)), bit_di(piano->visita(1, 1)));
            EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
            delete piano;
            confrontati++;
        }
        albero::flag_stallo() = albero_semplice::flag_stallo();
        if (limite != SIZE_MAX) continue;  // the game's decision has no limit
        std::uint64_t n1 = 0, n2 = 0;
        EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2));
        EXPECT_EQ(n1, n2);
    }
    albero_semplice::limita_nodi(SIZE_MAX);
    return confrontati;
}

TEST_F(Albero, UgualeAlloAlberoSempliceBitPerBit) { EXPECT_GT(confronta_alberi(posizioni_a_caso(300, 0xA1B0u)), 600); }

TEST_F(Albero, AlberiSenzaMemoriaOVuoti) {
    // A node that cannot be had is left out with its subtree and the
    // construction goes on; the plain tree, failing at the same node, scores
    // the same.
    std::vector<situazione> pos = posizioni_a_caso(60, 0xC0DEu);
    for (std::size_t limite : {std::size_t{1}, std::size_t{40}}) EXPECT_GT(confronta_alberi(pos, limite), 100);
    // No root at all: an empty tree.
    std::unique_ptr<albero> vuoto = albero_ispettore::con_limite(gettone(0, 4, 3), gettone(1, 8, 1), 0, 3, b, 0);
    EXPECT_EQ(vuoto->nodi(), 0u);
    EXPECT_EQ(vuoto->visita(0, 1), 0.0);
    // Tokens off the board or a turn of no player: an empty tree too.
    EXPECT_EQ(albero(gettone(0, 10, 3), gettone(1, 8, 1), 0, 3, b).nodi(), 0u);
    EXPECT_EQ(albero(gettone(0, 4, 3), gettone(1, 8, 1), 2, 3, b).nodi(), 0u);
}

TEST_F(Albero, DecisioneOltreLaRicercaVeloce) {
    // Candidates that leave cells 1 to 8 are not the fast search's: the
    // decision builds their trees. Player 0 on the ring at (9, 3), its
    // candidates 4 (to (9, 4), still on the ring) and 6 (back to (8, 3)):
    // the same choice and the same nodes as the plain decision.
    situazione s{};
    s.scacch = b, s.ped[0] = gettone(0, 9, 3), s.ped[1] = gettone(1, 8, 1), s.turno = 0, s.livello = 4;
    s.n_lecite = 2, s.direz[0] = 4, s.direz[1] = 6;
    std::uint64_t n1 = 0, n2 = 0;
    EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2));
    EXPECT_EQ(n1, n2);
    EXPECT_GT(n1, 2u);
    EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
    // A candidate whose tree cannot even have its root (its token leaves the
    // grid) is kept only while no other candidate has a score.
    s.direz[0] = 2;
    EXPECT_EQ(scegli_mossa(s, &n1), 1);
    s.direz[1] = 2;
    EXPECT_EQ(scegli_mossa(s, &n1), 0);
    EXPECT_EQ(n1, 0u);
}

// How many random positions the fast search is held to: fewer where the
// sanitizers slow every operation down.
#ifndef POSIZIONI_DIFFERENZIALI
#define POSIZIONI_DIFFERENZIALI 100000
#endif

// A random position: a seeded deal, and either a seeded walk from the start
// corners (the positions of real games) or both tokens dropped on random
// playable cells (edges and corners, where players get stuck and pass, come
// up far more often). The skill is mostly low, so that the plain tree stays
// affordable; every twentieth position has one of the higher skills.
situazione posizione_a_caso(int k) {
    plancia b;
    b.mischia();
    pedina p[2] = {gettone(0, 1, 1), gettone(1, 8, 1)};
    int turno = estrazione() % 2;
    if (k % 2 == 0) {
        turno = cammina(b, p, turno, estrazione() % 60);
    } else {
        unsigned x[2], y[2];
        for (int t = 0; t < 2; t++) {
            do {
                x[t] = 1 + static_cast<unsigned>(estrazione() % 8);
                y[t] = 1 + static_cast<unsigned>(estrazione() % 8);
            } while (((x[t] == 4 || x[t] == 5) && (y[t] == 4 || y[t] == 5)) || (t == 1 && x[1] == x[0] && y[1] == y[0]));
            p[t] = gettone(t, x[t], y[t]);
        }
    }
    int livello = k % 20 == 19 ? 7 + (k / 20) % 4 : 1 + k % 6;
    return da_plancia(b, p[0], p[1], turno, livello);
}

// What the differential test met, so that it can tell that it met it.
struct incontri {
    long posizioni = 0, ferme = 0, alberi = 0, con_flag = 0, lasciano_flag = 0, riprese = 0;
    long per_livello[11] = {};
};

// One position, on both sides of the judge: every candidate tree scored by
// the fast search for both players, from the pass flag as it comes, against
// the plain tree (score to the last bit, nodes, the flag it leaves); then
// the whole decision through scegli_mossa against the plain decision, the
// flag carrying on into the next position.
void confronta_ricerca(const situazione& s, incontri& visti) {
    visti.posizioni++;
    visti.per_livello[s.livello]++;
    if (s.n_lecite == 0) visti.ferme++;
    const std::int32_t flag_prima = albero_semplice::flag_stallo();
    ASSERT_EQ(albero::flag_stallo(), flag_prima);
    ricerca per[2] = {ricerca(s.scacch, 0, s.livello), ricerca(s.scacch, 1, s.livello)};
    std::int32_t flag = 0;
    for (int i = 0; i < s.n_lecite; i++) {
        pedina p[2] = {s.ped[0], s.ped[1]};
        p[s.turno].move_to(s.direz[i]);
        // The flag set in a quarter of the trees.
        const std::int32_t entra = visti.alberi % 4 == 3 ? 1 : 0;
        albero_semplice::flag_stallo() = entra;
        albero_semplice* piano = albero_semplice::radice(p[0], p[1], 1 - s.turno, s.livello, s.scacch);
        ASSERT_NE(piano, nullptr);
        const std::int32_t esce = albero_semplice::flag_stallo();
        visti.alberi++;
        visti.con_flag += entra;
        visti.lasciano_flag += esce;
        for (int g = 0; g < 2; g++) {
            flag = entra;
            double punti = -1.0;
            std::uint64_t nodi = 0;
            ASSERT_TRUE(per[g].valuta(p[0], p[1], 1 - s.turno, flag, &punti, &nodi));
            EXPECT_EQ(bit_di(punti), bit_di(piano->visita(g, 1))) << "skill " << s.livello << ", player " << g;
            EXPECT_EQ(nodi, albero_semplice::nodi());
            EXPECT_EQ(flag, esce);
        }
        delete piano;
    }
    visti.riprese += static_cast<long>(ricerca_ispettore::riprese(per[0]) + ricerca_ispettore::riprese(per[1]));
    albero::flag_stallo() = albero_semplice::flag_stallo() = flag_prima;
    std::uint64_t n1 = 0, n2 = 0;
    EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2));
    EXPECT_EQ(n1, n2);
    EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
}

TEST_F(Albero, RicercaVeloceUgualeAlloAlberoSempliceBitPerBit) {
    estrai_con seminato(estrazione);
    semina_estrazioni(0xD1FFu);
    incontri visti;
    for (int k = 0; k < POSIZIONI_DIFFERENZIALI && !HasFatalFailure(); k++) {
        confronta_ricerca(posizione_a_caso(k), visti);
        if (HasFailure()) break;  // the first position that differs is the one to look at
    }
    EXPECT_EQ(visti.posizioni, POSIZIONI_DIFFERENZIALI);
    for (int livello = 1; livello <= 10; livello++) EXPECT_GT(visti.per_livello[livello], 0) << "skill " << livello;
    // Stuck players to move, trees started with the flag up, trees that
    // leave it up, and subtrees taken again from the table all came up.
    EXPECT_GT(visti.ferme, 0);
    EXPECT_GT(visti.con_flag, visti.alberi / 5);
    EXPECT_LT(visti.con_flag, visti.alberi / 3);
    EXPECT_GT(visti.lasciano_flag, visti.alberi / 100);
    EXPECT_GT(visti.riprese, visti.alberi);
    std::printf("%ld positions (%ld stuck), %ld trees, %ld begun with the pass flag up, %ld leaving it up, "
                "%ld subtrees taken again\n",
                visti.posizioni, visti.ferme, visti.alberi, visti.con_flag, visti.lasciano_flag, visti.riprese);
}

TEST_F(Albero, RicercaVeloceRifiutaCioCheNonPercorre) {
    // Tokens off cells 1 to 8, a player to move or scored for of neither
    // side: refused, the flag untouched; the decision then builds the tree.
    ricerca r(b, 0, 3);
    double punti = 7.0;
    std::uint64_t nodi = 7;
    std::int32_t flag = 1;
    EXPECT_FALSE(r.valuta(gettone(0, 9, 3), gettone(1, 8, 1), 0, flag, &punti, &nodi));
    EXPECT_FALSE(r.valuta(gettone(0, 4, 3), gettone(1, 0, 1), 0, flag, &punti, &nodi));
    EXPECT_FALSE(r.valuta(gettone(0, 4, 3), gettone(1, 8, 1), 2, flag, &punti, &nodi));
    EXPECT_FALSE(ricerca(b, 2, 3).valuta(gettone(0, 4, 3), gettone(1, 8, 1), 0, flag, &punti, &nodi));
    EXPECT_EQ(punti, 7.0);
    EXPECT_EQ(nodi, 7u);
    EXPECT_EQ(flag, 1);
    // A root of depth 0 is a leaf, scored at level 1.
    frecce(b, 6, 8, 3, 4, 5);
    ASSERT_TRUE(ricerca(b, 0, 0).valuta(gettone(0, 6, 8), gettone(1, 5, 7), 1, flag, &punti, &nodi));
    EXPECT_EQ(punti, std::sqrt(17.0) - 2.0);
    EXPECT_EQ(nodi, 1u);
    // The worked example: 1.0 for player 0, -1.0 for player 1.
    ASSERT_TRUE(ricerca(b, 1, 1).valuta(gettone(0, 6, 8), gettone(1, 5, 7), 1, flag, &punti, &nodi));
    EXPECT_EQ(punti, -1.0);
    EXPECT_EQ(nodi, 3u);
}

// The fast search's score of candidate `i` of `s` for player `g` on its
// board `b` (which may be another object than s.scacch), against the plain
// tree's on the same board from the same pass flag: the score to the last
// bit, the nodes and the flag left. Returns whether the search walked it.
bool come_il_piano(ricerca& r, const plancia& b, const situazione& s, int i, int g, std::int32_t entra) {
    pedina p[2] = {s.ped[0], s.ped[1]};
    p[s.turno].move_to(s.direz[i]);
    albero_semplice::flag_stallo() = entra;
    albero_semplice* piano = albero_semplice::radice(p[0], p[1], 1 - s.turno, s.livello, b);
    EXPECT_NE(piano, nullptr);
    if (piano == nullptr) return false;
    std::int32_t flag = entra;
    double punti = 0.0;
    std::uint64_t nodi = 0;
    bool fatto = r.valuta(p[0], p[1], 1 - s.turno, flag, &punti, &nodi);
    EXPECT_TRUE(fatto);
    EXPECT_EQ(bit_di(punti), bit_di(piano->visita(g, 1))) << "skill " << s.livello << ", player " << g;
    EXPECT_EQ(nodi, albero_semplice::nodi());
    EXPECT_EQ(flag, albero_semplice::flag_stallo());
    delete piano;
    return fatto;
}

TEST_F(Albero, RicercaVeloceConOgniValoreDelFlag) {
    // Any value but 0 is a set flag, for the fast search as for the trees;
    // a tree that never reaches a stuck or a moving node leaves it as it
    // was. Skill 10 uses the table of subtrees from the first level down.
    const std::int32_t valori[] = {2, -1, INT32_MIN, INT32_MAX};
    frecce(b, 2, 1, 0, 1, 7);  // neither can move: the root is stuck
    for (std::int32_t v : valori) {
        ricerca r(b, 0, 10);
        std::int32_t flag = v;
        double punti = 0.0;
        std::uint64_t nodi = 0;
        ASSERT_TRUE(r.valuta(gettone(0, 2, 1), gettone(1, 8, 1), 1, flag, &punti, &nodi));
        EXPECT_EQ(nodi, 1u);
        EXPECT_EQ(flag, v);
        EXPECT_EQ(punti, std::sqrt(98.0) - std::sqrt(85.0));
    }
    estrai_con seminato(estrazione);
    semina_estrazioni(0xF1A6u);
    int alberi = 0;
    for (int k = 0; k < 24; k++) {
        situazione s = posizione_a_caso(k);
        s.livello = 7 + k % 4;
        for (int g = 0; g < 2; g++) {
            ricerca r(s.scacch, g, s.livello);
            for (int i = 0; i < s.n_lecite; i++) alberi += come_il_piano(r, s.scacch, s, i, g, valori[(k + i) % 4]);
        }
        albero::flag_stallo() = albero_semplice::flag_stallo() = valori[k % 4];
        std::uint64_t n1 = 0, n2 = 0;
        EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2));
        EXPECT_EQ(n1, n2);
        EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
        if (HasFailure()) break;
    }
    EXPECT_GT(alberi, 40);
}

TEST_F(Albero, RicercheVelociSuDuePlanceESuUnaRimescolata) {
    // Two searches alive at once on two boards, used in turn: each scores
    // on its own board. Then a board dealt again under a live search: the
    // search scores on the board as it is now.
    estrai_con seminato(estrazione);
    semina_estrazioni(0xB0A2u);
    int alberi = 0;
    for (int k = 0; k < 40; k++) {
        situazione s1 = posizione_a_caso(2 * k), s2 = posizione_a_caso(2 * k + 1);
        s1.livello = s2.livello = 3 + k % 5;
        ricerca r1(s1.scacch, 0, s1.livello), r2(s2.scacch, 1, s2.livello);
        for (int i = 0; i < MOSSE_MAX; i++) {
            if (i < s2.n_lecite) alberi += come_il_piano(r2, s2.scacch, s2, i, 1, 0);
            if (i < s1.n_lecite) alberi += come_il_piano(r1, s1.scacch, s1, i, 0, 0);
        }
        plancia b1 = s1.scacch;
        ricerca r(b1, 0, s1.livello);
        for (int i = 0; i < s1.n_lecite; i++) {
            alberi += come_il_piano(r, b1, s1, i, 0, 0);
            b1.mischia();
            alberi += come_il_piano(r, b1, s1, i, 0, 0);
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(alberi, 200);
}

TEST_F(Albero, MaschereComeMosseLecite) {
    // On random deals, for every pair of cells (corners, ordinary cells and
    // the blocked centre, which play never reaches) and either player to
    // move: the mask's directions, lowest first, are plancia::mosse_lecite's
    // moves in its order, each to the cell one step that way.
    estrai_con seminato(estrazione);
    semina_estrazioni(0x3A5Cu);
    long coppie = 0, tagliate = 0, da_angolo = 0, da_ordinaria = 0;
    for (int deal = 0; deal < 2000 && !HasFailure(); deal++) {
        b.mischia();
        ricerca r(b, deal % 2, 1);
        double punti = 0.0;
        std::uint64_t nodi = 0;
        std::int32_t flag = 0;
        ASSERT_TRUE(r.valuta(gettone(0, 1, 1), gettone(1, 8, 1), 0, flag, &punti, &nodi));
        for (int k = 0; k < 2; k++)
            for (unsigned xm = 1; xm <= 8; xm++)
                for (unsigned ym = 1; ym <= 8; ym++)
                    for (unsigned xs = 1; xs <= 8; xs++)
                        for (unsigned ys = 1; ys <= 8; ys++) {
                            const pedina mia = gettone(k, xm, ym), sua = gettone(1 - k, xs, ys);
                            unsigned lecite[MOSSE_MAX] = {};
                            const int n = b.mosse_lecite(lecite, mia, sua);
                            if (n < 0) continue;  // a token on its goal: the search never asks
                            const int c_mia = cella_di(xm, ym);
                            unsigned m = r.maschera(c_mia, cella_di(xs, ys));
                            int i = 0;
                            for (; m != 0 && i < MOSSE_MAX; i++, m &= m - 1) {
                                unsigned d = 0;
                                while (!(m >> d & 1u)) d++;
                                ASSERT_LT(i, n);
                                ASSERT_EQ(d, lecite[i]) << "(" << xm << "," << ym << ") against (" << xs << "," << ys
                                                        << "), player " << k << ", deal " << deal;
                                pedina dopo = mia;
                                dopo.move_to(d);
                                unsigned x, y;
                                dopo.get_pos(&x, &y);
                                ASSERT_EQ(ricerca::vicina(c_mia, d), cella_di(x, y));
                            }
                            ASSERT_EQ(m, 0u) << "more moves than a list holds";
                            ASSERT_EQ(i, n) << "(" << xm << "," << ym << ") against (" << xs << "," << ys << ")";
                            coppie++;
                            const bool ordinaria_mia = plancia_ispettore::cella(b, xm, ym).cat == normale;
                            const bool ordinaria_sua = plancia_ispettore::cella(b, xs, ys).cat == normale;
                            if (!ordinaria_sua && !ordinaria_mia && n == MOSSE_MAX &&
                                plancia_ispettore::cella(b, xm, ym).cat == blank)
                                tagliate++;
                            if (!ordinaria_sua && plancia_ispettore::cella(b, xm, ym).cat != blank)
                                (ordinaria_mia ? da_ordinaria : da_angolo)++;
                        }
    }
    EXPECT_GT(coppie, 2000L * 7000);
    // Both tokens off the ordinary cells with more open directions than a
    // list holds (the centre), the mover's own arrows deciding, and both on
    // corners: every rule came up.
    EXPECT_GT(tagliate, 0);
    EXPECT_GT(da_ordinaria, 0);
    EXPECT_GT(da_angolo, 0);
    EXPECT_EQ(ricerca::vicina(cella_di(1, 1), 0), -1);
    EXPECT_EQ(ricerca::vicina(64, 0), -1);
}

// A seeded game of decisions from the start corners, player 0 at skill
// `l0` and player 1 at `l1`: each move the decision's choice, the choices
// and the nodes of each decision appended to `esito`. Stops at a win or
// after `mosse` plies.
void partita_di_decisioni(std::uint32_t seme, int l0, int l1, int mosse, std::vector<std::uint64_t>& esito,
                          bool col_piano) {
    estrai_con seminato(estrazione);
    semina_estrazioni(seme);
    situazione s{};
    s.scacch.mischia();
    s.ped[0] = gettone(0, 1, 1), s.ped[1] = gettone(1, 8, 1);
    s.turno = static_cast<std::int32_t>(seme % 2);
    albero::flag_stallo() = albero_semplice::flag_stallo() = 0;
    for (int ply = 0; ply < mosse; ply++, s.turno = 1 - s.turno) {
        s.livello = s.turno == 0 ? l0 : l1;
        unsigned lecite[MOSSE_MAX] = {};
        s.n_lecite = s.scacch.mosse_lecite(lecite, s.ped[s.turno], s.ped[1 - s.turno]);
        if (s.n_lecite < 0) break;
        for (int i = 0; i < MOSSE_MAX; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
        std::uint64_t n = 0, n_piano = 0;
        const std::int32_t scelta = scegli_mossa(s, &n);
        if (col_piano) {
            EXPECT_EQ(scelta, scegli_mossa_semplice(s, &n_piano)) << "ply " << ply;
            EXPECT_EQ(n, n_piano);
            EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
        }
        esito.push_back(static_cast<std::uint64_t>(scelta + 1));
        esito.push_back(n);
        if (scelta >= 0) s.ped[s.turno].move_to(s.direz[scelta]);
    }
}

struct RiusoRipristinato {
    ~RiusoRipristinato() { ricerca::riuso(true); }
};

TEST_F(Albero, IlRiusoNonCambiaUnaScelta) {
    // Whole games decided with the memo kept from one decision to the next
    // and with every decision clean: the same choices and nodes, move for
    // move, at every skill; at the lower skills the same as the plain tree.
    // The memo kept through a game walks fewer subtrees.
    RiusoRipristinato ripristino;
    for (int k = 0; k < 10 && !HasFailure(); k++) {
        const int l0 = 1 + k, l1 = 10 - k % 4;
        std::vector<std::uint64_t> con, senza;
        ricerca::dimentica();
        ricerca::riuso(true);
        const std::uint32_t prima = ricerca::scritti();
        partita_di_decisioni(0x6A3Eu + static_cast<std::uint32_t>(k), l0, l1, 60, con, l0 <= 6 && l1 <= 7);
        const std::uint32_t scritti_con = ricerca::scritti() - prima;
        ricerca::riuso(false);
        partita_di_decisioni(0x6A3Eu + static_cast<std::uint32_t>(k), l0, l1, 60, senza, false);
        const std::uint32_t scritti_senza = ricerca::scritti() - prima - scritti_con;
        EXPECT_EQ(con, senza) << "skills " << l0 << " and " << l1;
        EXPECT_GT(con.size(), 20u);
        if (l0 >= 3) {
            EXPECT_LT(scritti_con, scritti_senza) << "skills " << l0 << " and " << l1;
        }
    }
}

TEST_F(Albero, IlRiusoNonPassaTraPlanceLivelliEGiocatori) {
    // The decisions of one game's positions, each made in turn for more
    // contexts than the process keeps memos (other deals, another skill, the
    // other player, as a new game, new options or another match would ask):
    // every one as the plain tree decides it. A memo taken up for the wrong
    // board, skill or player would score from subtrees of another tree.
    estrai_con seminato(estrazione);
    semina_estrazioni(0x1EA4u);
    std::vector<situazione> partita;
    plancia tavole[3];
    for (plancia& t : tavole) t.mischia();
    for (int k = 0; k < 24; k++) partita.push_back(posizione_a_caso(2 * k));
    int confrontate = 0;
    for (const situazione& base : partita) {
        for (int contesto = 0; contesto < 6; contesto++) {
            situazione s = base;
            // Against the first: scored for the other player, another skill
            // (two more: a tree one ply deeper never meets the same plies
            // left with the same player to move), other deals.
            if (contesto >= 3) s.scacch = tavole[contesto - 3];
            s.livello = contesto == 2 ? 6 : 4 + contesto / 4 * 2;
            const int g = contesto == 1 ? 1 - s.turno : s.turno;
            if (contesto == 5) s.turno = 1 - s.turno;
            unsigned lecite[MOSSE_MAX] = {};
            s.n_lecite = s.scacch.mosse_lecite(lecite, s.ped[s.turno], s.ped[1 - s.turno]);
            for (int i = 0; i < MOSSE_MAX; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
            {
                // Each score to the last bit, by a search that takes up a
                // kept memo as the decision does.
                ricerca r(s.scacch, g, s.livello);
                for (int i = 0; i < s.n_lecite; i++) come_il_piano(r, s.scacch, s, i, g, 0);
            }
            albero_semplice::flag_stallo() = albero::flag_stallo();
            std::uint64_t n1 = 0, n2 = 0;
            EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2)) << "context " << contesto;
            EXPECT_EQ(n1, n2);
            EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
            confrontate += s.n_lecite >= 2;
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(confrontate, 60);
}

}  // namespace
