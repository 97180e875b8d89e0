// The game tree: leaf values, the worked example, stuck players and the pass
// flag, won placements, the decision rule, and the fast tree checked node for
// node and bit for bit against the plain one.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "aiuti.h"
#include "albero.h"
#include "computer.h"
#include "posizioni.h"
#include "riferimento.h"

namespace {

// The nodes built over the fixed positions for skills 1 to 10 in order, from
// a clear pass flag, as the plain tree builds them. A change in what the
// search builds changes this number.
constexpr std::uint64_t FIRMA_RICERCA = 579319;

struct Albero : ::testing::Test {
    plancia b;
    void SetUp() override {
        albero::flag_stallo() = 0;
        albero_semplice::flag_stallo() = 0;
    }
};

TEST_F(Albero, FoglieAiLivelli123) {
    // Player 0 two cells from its goal, player 1 sqrt(17) from its own.
    albero a(gettone(0, 6, 8), gettone(1, 5, 7), 1, 0, b);
    ASSERT_EQ(a.nodi(), 1u);
    double diff = std::sqrt(17.0) - 2.0;
    EXPECT_EQ(a.visita(0, 1), diff);
    EXPECT_DOUBLE_EQ(a.visita(0, 2), diff / 3);
    EXPECT_DOUBLE_EQ(a.visita(0, 3), diff / 9);
    // The other side of an ordinary leaf is its opposite.
    EXPECT_EQ(a.visita(1, 1), -a.visita(0, 1));
    EXPECT_EQ(a.visita(1, 3), -a.visita(0, 3));

    // Won placements: +12.5 and -10.5 at level 1, divided by 3 per level,
    // and not opposite.
    albero vinta(gettone(0, 8, 8), gettone(1, 5, 7), 1, 4, b);
    EXPECT_EQ(vinta.nodi(), 1u) << "a placement with a token on its goal has no children";
    EXPECT_EQ(vinta.visita(0, 1), 12.5);
    EXPECT_EQ(vinta.visita(1, 1), -10.5);
    EXPECT_EQ(vinta.visita(0, 2), 25.0 / 6.0);
    EXPECT_EQ(vinta.visita(1, 2), -3.5);
    EXPECT_EQ(vinta.visita(0, 3), 25.0 / 18.0);
    EXPECT_EQ(vinta.visita(1, 3), -21.0 / 18.0);
}

TEST_F(Albero, EsempioDelCalcoloVale1) {
    // Player 0 on (6, 8), 2 from its goal, after its candidate move; player 1
    // on (5, 7) moves along the arrows of (6, 8): 3 is blocked by player 0,
    // 4 leads to (5, 8), 4 from (1, 8), and 5 to (4, 8), 3 from it.
    frecce(b, 6, 8, 3, 4, 5);
    albero a(gettone(0, 6, 8), gettone(1, 5, 7), 1, 1, b);
    EXPECT_EQ(a.nodi(), 3u);
    EXPECT_EQ(a.figli_radice(), 2);
    EXPECT_EQ(a.visita(0, 1), 1.0);  // (4 - 2) * 2 / 6 + (3 - 2) * 2 / 6
    // The inner node's own placement adds nothing.
    EXPECT_EQ(a.visita(1, 1), -1.0);
}

// Player 0 on (2, 1) with arrows 0, 1, 7, player 1 on its corner (8, 1):
// every arrow leads into the outer ring, so neither can move.
struct Bloccati : Albero {
    void SetUp() override {
        Albero::SetUp();
        frecce(b, 2, 1, 0, 1, 7);
    }
    double d0 = std::sqrt(85.0), d1 = std::sqrt(98.0);
};

TEST_F(Bloccati, RadiceFermaConFlagLibero) {
    albero a(gettone(0, 2, 1), gettone(1, 8, 1), 1, 3, b);
    // One pass child; its player is stuck right after a pass: a leaf.
    EXPECT_EQ(a.nodi(), 2u);
    EXPECT_EQ(a.figli_radice(), 1);
    EXPECT_EQ(albero::flag_stallo(), 1);
    EXPECT_EQ(a.visita(0, 1), ((d1 - d0) * 2.0) / (3.0 * 2.0));
}

TEST_F(Bloccati, RadiceFermaConFlagGiaAlzato) {
    albero::flag_stallo() = 1;
    albero a(gettone(0, 2, 1), gettone(1, 8, 1), 1, 3, b);
    EXPECT_EQ(a.nodi(), 1u);
    EXPECT_EQ(albero::flag_stallo(), 1);
    EXPECT_EQ(a.visita(0, 1), d1 - d0);
}

TEST_F(Bloccati, IlFlagPassaDaUnAlberoAlSuccessivo) {
    // A pass child that runs out of depth leaves the flag up ...
    {
        albero a(gettone(0, 2, 1), gettone(1, 8, 1), 1, 1, b);
        EXPECT_EQ(a.nodi(), 2u);
    }
    EXPECT_EQ(albero::flag_stallo(), 1);
    // ... so the next stuck root, in another tree, gets no pass child.
    albero dopo(gettone(0, 2, 1), gettone(1, 8, 1), 1, 3, b);
    EXPECT_EQ(dopo.nodi(), 1u);
    // A node with moves clears it.
    frecce(b, 4, 3, 0, 1, 2);
    albero con_mosse(gettone(0, 4, 3), gettone(1, 8, 1), 0, 1, b);
    EXPECT_GT(con_mosse.nodi(), 1u);
    EXPECT_EQ(albero::flag_stallo(), 0);
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
    situazione s{};
    s.scacch = b;
    s.ped[0] = gettone(0, 2, 2);
    s.ped[1] = gettone(1, 8, 1);
    s.turno = 0;
    unsigned lecite[3];
    s.n_lecite = b.mosse_lecite(lecite, s.ped[0], s.ped[1]);
    ASSERT_EQ(s.n_lecite, 3);
    for (int i = 0; i < 3; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
    s.livello = 1;

    std::uint64_t prima = 0, seconda = 0, semplice = 0;
    std::int32_t scelta1 = scegli_mossa(s, &prima);
    EXPECT_EQ(prima, 4u);
    EXPECT_EQ(albero::flag_stallo(), 1);
    std::int32_t scelta2 = scegli_mossa(s, &seconda);
    EXPECT_EQ(seconda, 3u);
    // The plain tree agrees on both searches.
    EXPECT_EQ(scegli_mossa_semplice(s, &semplice), scelta1);
    EXPECT_EQ(semplice, prima);
    EXPECT_EQ(scegli_mossa_semplice(s, &semplice), scelta2);
    EXPECT_EQ(semplice, seconda);
}

situazione da_plancia(const plancia& b, pedina p0, pedina p1, int turno, int livello) {
    situazione s{};
    s.scacch = b;
    s.ped[0] = p0;
    s.ped[1] = p1;
    s.turno = turno;
    unsigned lecite[3] = {0, 0, 0};
    s.n_lecite = b.mosse_lecite(lecite, s.ped[turno], s.ped[1 - turno]);
    for (int i = 0; i < 3; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
    s.livello = livello;
    return s;
}

TEST_F(Albero, DecisioneMosseUniche) {
    // No legal move: a pass, no tree.
    frecce(b, 2, 1, 0, 1, 7);
    std::uint64_t nodi = 99;
    EXPECT_EQ(scegli_mossa(da_plancia(b, gettone(0, 2, 1), gettone(1, 8, 1), 0, 10), &nodi), -1);
    EXPECT_EQ(nodi, 0u);
    // One legal move (only arrow 2 stays on the board): taken without a tree.
    frecce(b, 2, 1, 0, 1, 2);
    situazione una = da_plancia(b, gettone(0, 2, 1), gettone(1, 8, 1), 0, 10);
    ASSERT_EQ(una.n_lecite, 1);
    EXPECT_EQ(scegli_mossa(una, &nodi), 0);
    EXPECT_EQ(nodi, 0u);
}

TEST_F(Albero, LaMossaSullaMetaVale12e5) {
    // Player 0 on (7, 7), player 1 on its corner: player 0's arrows 2, 3, 4
    // lead to (8, 7), its goal (8, 8) and (7, 8).
    frecce(b, 7, 7, 2, 3, 4);
    albero meta(gettone(0, 8, 8), gettone(1, 8, 1), 1, 5, b);
    EXPECT_EQ(meta.visita(0, 1), 12.5);
    situazione s = da_plancia(b, gettone(0, 7, 7), gettone(1, 8, 1), 0, 5);
    ASSERT_EQ(s.n_lecite, 3);
    ASSERT_EQ(s.direz[1], 3);
    EXPECT_EQ(scegli_mossa(s), 1);
}

// Builds the fixed positions' signature with either tree.
std::uint64_t firma(bool semplice) {
    albero::flag_stallo() = 0;
    albero_semplice::flag_stallo() = 0;
    std::uint64_t totale = 0;
    for (std::int32_t livello = 1; livello <= 10; livello++)
        for (const situazione& s : posizioni_prova(livello)) {
            std::uint64_t n = 0;
            if (semplice)
                scegli_mossa_semplice(s, &n);
            else
                scegli_mossa(s, &n);
            totale += n;
        }
    return totale;
}

TEST_F(Albero, FirmaDellaRicerca) {
    ASSERT_GE(posizioni_prova(1).size(), 12u);
    EXPECT_EQ(firma(false), FIRMA_RICERCA);
    EXPECT_EQ(firma(true), FIRMA_RICERCA);
}

TEST_F(Albero, LePosizioniFisseNonCambiano) {
    // The same deals and moves every time, and the generator of the game
    // left as it was.
    int (*prima)() = plancia::estrai;
    std::vector<situazione> a = posizioni_prova(3), b2 = posizioni_prova(3);
    EXPECT_EQ(plancia::estrai, prima);
    ASSERT_EQ(a.size(), b2.size());
    for (std::size_t i = 0; i < a.size(); i++) {
        EXPECT_EQ(std::memcmp(&a[i].scacch, &b2[i].scacch, sizeof(plancia)), 0);
        EXPECT_EQ(a[i].n_lecite, b2[i].n_lecite);
        EXPECT_GE(a[i].n_lecite, 2);
    }
}

// Positions from seeded deals after a seeded number of random moves.
std::vector<situazione> posizioni_a_caso(int quante, std::uint32_t seme) {
    int (*prima)() = plancia::estrai;
    plancia::estrai = estrazione;
    std::vector<situazione> v;
    for (int k = 0; k < quante; k++) {
        semina_estrazioni(seme + static_cast<std::uint32_t>(k) * 7919u);
        plancia b;
        b.mischia();
        pedina p[2] = {pedina(1, 1, 8, 8), pedina(8, 1, 1, 8)};
        int turno = k % 2;
        int mosse = estrazione() % 40;
        for (int m = 0; m < mosse; m++) {
            unsigned lecite[3];
            int n = b.mosse_lecite(lecite, p[turno], p[1 - turno]);
            if (n < 0) break;
            if (n > 0) {
                pedina prova = p[turno];
                prova.move_to(lecite[estrazione() % n]);
                if (prova.vittoria()) break;
                p[turno] = prova;
            }
            turno = 1 - turno;
        }
        v.push_back(da_plancia(b, p[0], p[1], turno, 1 + k % 6));
    }
    plancia::estrai = prima;
    return v;
}

// Every candidate tree of every position, built by both trees from the same
// pass flag: the same nodes, the same children of the root, scores equal to
// the last bit for both players, the same flag afterwards.
void confronta_alberi(const std::vector<situazione>& posizioni, int* confrontati) {
    for (const situazione& s : posizioni) {
        if (s.n_lecite < 1) continue;
        for (int i = 0; i < s.n_lecite; i++) {
            pedina p[2] = {s.ped[0], s.ped[1]};
            p[s.turno].move_to(s.direz[i]);
            std::int32_t flag = (i + s.livello) % 2;
            albero::flag_stallo() = flag;
            albero_semplice::flag_stallo() = flag;
            albero veloce(p[0], p[1], 1 - s.turno, s.livello, s.scacch);
            albero_semplice* piano = albero_semplice::radice(p[0], p[1], 1 - s.turno, s.livello, s.scacch);
            if (piano == nullptr) {
                ASSERT_EQ(veloce.nodi(), 0u);
                continue;
            }
            ASSERT_EQ(veloce.nodi(), albero_semplice::nodi());
            EXPECT_EQ(veloce.figli_radice(), piano->figli_radice());
            EXPECT_EQ(bit_di(veloce.visita(0, 1)), bit_di(piano->visita(0, 1)));
            EXPECT_EQ(bit_di(veloce.visita(1, 1)), bit_di(piano->visita(1, 1)));
            EXPECT_EQ(albero::flag_stallo(), albero_semplice::flag_stallo());
            delete piano;
            (*confrontati)++;
        }
        // And the whole decision, from equal flags.
        albero::flag_stallo() = albero_semplice::flag_stallo();
        std::uint64_t n1 = 0, n2 = 0;
        EXPECT_EQ(scegli_mossa(s, &n1), scegli_mossa_semplice(s, &n2));
        EXPECT_EQ(n1, n2);
    }
}

TEST_F(Albero, UgualeAlloAlberoSempliceBitPerBit) {
    int confrontati = 0;
    confronta_alberi(posizioni_a_caso(300, 0xA1B0u), &confrontati);
    EXPECT_GT(confrontati, 600);
}

TEST_F(Albero, NodiSenzaMemoriaRestanoFuori) {
    // A node that cannot be had is left out with its subtree and the
    // construction goes on; the plain tree, failing at the same node, scores
    // the same.
    limite_nodi_guardia guardia;
    std::vector<situazione> pos = posizioni_a_caso(60, 0xC0DEu);
    for (std::size_t limite : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{40}}) {
        albero::limita_nodi(limite);
        albero_semplice::limita_nodi(limite);
        int confrontati = 0;
        confronta_alberi(pos, &confrontati);
        EXPECT_GT(confrontati, 100);
    }
    // No root at all: an empty tree, and the decision still names a legal move.
    albero::limita_nodi(0);
    albero vuoto(gettone(0, 4, 3), gettone(1, 8, 1), 0, 3, b);
    EXPECT_EQ(vuoto.nodi(), 0u);
    EXPECT_EQ(vuoto.visita(0, 1), 0.0);
    for (const situazione& s : pos) {
        if (s.n_lecite >= 2) {
            EXPECT_EQ(scegli_mossa(s), 0);
        }
    }
}

TEST_F(Albero, GettoniFuoriDallaPlanciaDannoUnAlberoVuoto) {
    albero a(gettone(0, 10, 3), gettone(1, 8, 1), 0, 3, b);
    EXPECT_EQ(a.nodi(), 0u);
    albero turno_sbagliato(gettone(0, 4, 3), gettone(1, 8, 1), 2, 3, b);
    EXPECT_EQ(turno_sbagliato.nodi(), 0u);
}

}  // namespace
