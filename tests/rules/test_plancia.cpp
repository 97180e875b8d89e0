// The board's layout, the arrow deal and the rule of movement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "estrazioni.h"
#include "ispettori.h"
#include "plancia32.h"

namespace {

using P = plancia_ispettore;

// A fixed sequence for the deal, and how many numbers the deal drew.
std::vector<int> sequenza;
std::size_t estratti = 0;
int da_sequenza() { return sequenza[estratti++ % sequenza.size()]; }

struct DealGuidato : ::testing::Test {
    estrai_con guidato{&da_sequenza};
    void SetUp() override { estratti = 0; }
};

// The arrow sets of the ordinary cells, in reading order (the deal's slots).
std::vector<int> slot(const plancia& p) {
    std::vector<int> v;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++)
            if (P::cella(p, x, y).cat == normale) v.push_back(P::cella(p, x, y).frecce);
    return v;
}

std::vector<unsigned> lecite(const plancia& p, const pedina& mia, const pedina& sua, int* n) {
    unsigned l[3] = {99, 99, 99};
    *n = p.mosse_lecite(l, mia, sua);
    return std::vector<unsigned>(l, l + std::max(*n, 0));
}

}  // namespace

TEST(Tabelle, SetDiFrecceSonoI56SottoinsiemiInOrdine) {
    // Every three-direction subset once, ascending, in lexicographic order.
    std::vector<std::vector<int>> attesi;
    for (int a = 0; a < 8; a++)
        for (int b = a + 1; b < 8; b++)
            for (int c = b + 1; c < 8; c++) attesi.push_back({a, b, c});
    ASSERT_EQ(attesi.size(), 56u);
    for (int r = 0; r < 56; r++)
        for (int i = 0; i < 3; i++) EXPECT_EQ(G_set_frecce[r][i], attesi[r][i]) << "row " << r;
}

TEST(Tabelle, DirezioniOppostePortanoIndietro) {
    for (int d = 0; d < 8; d++) {
        EXPECT_EQ(G_direzioni[d][0] + G_direzioni[(d + 4) % 8][0], 0) << d;
        EXPECT_EQ(G_direzioni[d][1] + G_direzioni[(d + 4) % 8][1], 0) << d;
        EXPECT_NE(std::abs(G_direzioni[d][0]) + std::abs(G_direzioni[d][1]), 0) << d;
    }
    EXPECT_EQ(G_direzioni[0][1], -1);  // 0 is up on the screen
    EXPECT_EQ(G_direzioni[2][0], 1);   // 2 is right
}

TEST(Costruzione, CategorieEDealIniziale) {
    plancia p;
    int conta[6] = {};
    for (int x = 0; x < 10; x++)
        for (int y = 0; y < 10; y++) {
            conta[P::cella(p, x, y).cat]++;
            if (x == 0 || y == 0 || x == 9 || y == 9) {
                EXPECT_EQ(P::cella(p, x, y).cat, blank) << x << "," << y;
            }
        }
    EXPECT_EQ(conta[normale], 56);
    EXPECT_EQ(conta[blank], 40);
    EXPECT_EQ(P::cella(p, 1, 1).cat, inizio1);
    EXPECT_EQ(P::cella(p, 8, 1).cat, inizio2);
    EXPECT_EQ(P::cella(p, 8, 8).cat, fine1);
    EXPECT_EQ(P::cella(p, 1, 8).cat, fine2);
    for (int x : {4, 5})
        for (int y : {4, 5}) EXPECT_EQ(P::cella(p, x, y).cat, blank);
    // Before any deal the sets run 0 to 55 in reading order.
    EXPECT_EQ(P::cella(p, 2, 1).frecce, 0);
    EXPECT_EQ(P::cella(p, 1, 2).frecce, 6);
    EXPECT_EQ(P::cella(p, 7, 8).frecce, 55);
}

TEST_F(DealGuidato, TuttiZeriDannoLIdentita) {
    sequenza = {0};
    plancia p;
    EXPECT_EQ(p.mischia(), 1);
    EXPECT_EQ(estratti, 56u);  // one number per set
    std::vector<int> s = slot(p);
    for (int k = 0; k < 56; k++) EXPECT_EQ(s[k], k);
}

TEST_F(DealGuidato, Tutti55ScorronoDiUnoConGiroACapo) {
    sequenza = {55};
    plancia p;
    p.mischia();
    std::vector<int> s = slot(p);
    for (int k = 0; k < 55; k++) EXPECT_EQ(s[k], k + 1) << "slot " << k;
    EXPECT_EQ(s[55], 0);
}

TEST_F(DealGuidato, ValoriOltre56SonoPresiModulo56) {
    sequenza = {56 + 3, 32767};  // 32767 % 56 = 7
    plancia p;
    p.mischia();
    std::vector<int> s = slot(p);
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(s[7], 1);
    EXPECT_EQ(s[4], 2);  // slot 3 taken: set 2 probes on to 4
}

TEST(Deal, OgniDealEUnaPermutazioneEDiversificaLeCaselle) {
    plancia p;
    std::srand(12345);
    std::set<int> diversi_in_2_1;
    for (int volta = 0; volta < 500; volta++) {
        p.mischia();
        std::vector<int> s = slot(p);
        std::vector<int> ordinati = s;
        std::sort(ordinati.begin(), ordinati.end());
        for (int k = 0; k < 56; k++) ASSERT_EQ(ordinati[k], k) << "deal " << volta;
        diversi_in_2_1.insert(P::cella(p, 2, 1).frecce);
        // Categories and the other cells are never touched.
        for (int x = 0; x < 10; x++)
            for (int y = 0; y < 10; y++) {
                ASSERT_EQ(P::cella(p, x, y).cat, standard_tipo[y][x]);
                if (P::cella(p, x, y).cat != normale) {
                    ASSERT_EQ(P::cella(p, x, y).frecce, 0);
                }
            }
    }
    EXPECT_GT(diversi_in_2_1.size(), 40u);
}

TEST(Movimento, EntrambiSuiAngoliProvanoTutteLeDirezioni) {
    plancia p;
    int n;
    pedina a(1, 1, 8, 8), b(8, 1, 1, 8);
    EXPECT_EQ(lecite(p, a, b, &n), (std::vector<unsigned>{2, 3, 4}));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(lecite(p, b, a, &n), (std::vector<unsigned>{4, 5, 6}));
    EXPECT_EQ(n, 3);
}

TEST(Movimento, AvversarioSuCasellaNormaleDecideLeFrecce) {
    plancia p;
    int n;
    P::metti_set(p, 3, 3, 21);  // (1, 2, 3)
    P::metti_set(p, 6, 6, 46);  // (3, 4, 5): the mover's own, which must not count
    pedina mia(6, 6, 8, 8), sua(3, 3, 1, 8);
    EXPECT_EQ(lecite(p, mia, sua, &n), (std::vector<unsigned>{1, 2, 3}));
    // Still the opponent's arrows, though the mover stands on a corner.
    pedina suo_angolo(8, 1, 1, 8);
    EXPECT_EQ(lecite(p, suo_angolo, sua, &n), std::vector<unsigned>{});
    EXPECT_EQ(n, 0);
}

TEST(Movimento, AvversarioSuUnAngoloValgonoLeFrecceProprie) {
    plancia p;
    int n;
    P::metti_set(p, 3, 3, 46);  // (3, 4, 5)
    pedina mia(3, 3, 8, 8), sua(8, 1, 1, 8);
    // 3 would lead into the centre block.
    EXPECT_EQ(lecite(p, mia, sua, &n), (std::vector<unsigned>{4, 5}));
}

TEST(Movimento, BersagliVuotiOOccupatiCadonoELeAltreSiCompattano) {
    plancia p;
    int n;
    P::metti_set(p, 2, 3, 36);  // (2, 3, 4): the opponent's cell
    // The opponent stands on the target of 3 from (3, 3): (4, 4) is blank
    // anyway, so take a mover at (2, 5) with target (3, 6) for 3.
    pedina mia(2, 5, 8, 8), sua(2, 3, 1, 8);
    EXPECT_EQ(lecite(p, mia, sua, &n), (std::vector<unsigned>{2, 3, 4}));
    // From (3, 4), right and down-right lead into the centre block.
    pedina vicino_al_centro(3, 4, 8, 8);
    EXPECT_EQ(lecite(p, vicino_al_centro, sua, &n), (std::vector<unsigned>{4}));
    pedina sua_sul_bersaglio(3, 6, 1, 8);
    P::metti_set(p, 3, 6, 36);
    EXPECT_EQ(lecite(p, mia, sua_sul_bersaglio, &n), (std::vector<unsigned>{2, 4}));
    EXPECT_EQ(n, 2);
    // From (1, 3) on the left edge, the ring stops every move leftwards.
    P::metti_set(p, 2, 3, 55);  // (5, 6, 7)
    pedina sul_bordo(1, 3, 8, 8);
    EXPECT_EQ(lecite(p, sul_bordo, sua, &n), std::vector<unsigned>{});
    EXPECT_EQ(n, 0);
}

TEST(Movimento, UnaPedinaSullaMetaFermaTutto) {
    plancia p;
    int n;
    pedina sulla_meta(8, 8, 8, 8), altra(3, 3, 1, 8);
    unsigned l[3] = {7, 7, 7};
    EXPECT_EQ(p.mosse_lecite(l, altra, sulla_meta), -1);
    EXPECT_EQ(p.mosse_lecite(l, sulla_meta, altra), -1);
    EXPECT_EQ(l[0], 7u);  // nothing written
    (void)n;
}

TEST(Movimento, LaMetaOccupataDallAvversarioEChiusa) {
    plancia p;
    int n;
    // Player 1's token stands on player 0's goal corner (8, 8); player 0 at
    // (7, 7) on its own arrows could step onto it, but it is occupied.
    pedina mia(7, 7, 8, 8), sua(8, 8, 1, 8);
    P::metti_set(p, 7, 7, 21);  // (1, 2, 3): 3 leads to (8, 8)
    EXPECT_EQ(lecite(p, mia, sua, &n), (std::vector<unsigned>{1, 2}));
}

TEST(Pedina, DistanzaEPassiAvantiEIndietro) {
    pedina a(1, 1, 8, 8);
    EXPECT_DOUBLE_EQ(a.distanza(), 9.899494936611665);
    pedina b(8, 8, 8, 8);
    EXPECT_EQ(b.distanza(), 0.0);
    EXPECT_EQ(b.vittoria(), 1);
    EXPECT_EQ(pedina(8, 7, 8, 8).distanza(), 1.0);
    EXPECT_DOUBLE_EQ(pedina(7, 7, 8, 8).distanza(), std::sqrt(2.0));
    EXPECT_EQ(pedina(7, 7, 8, 8).vittoria(), 0);
    for (unsigned d = 0; d < 8; d++) {
        pedina c(4, 3, 1, 8);
        c.move_to(d);
        c.move_to((d + 4) % 8);
        unsigned x, y;
        c.get_pos(&x, &y);
        EXPECT_EQ(x, 4u);
        EXPECT_EQ(y, 3u);
    }
    pedina c(4, 3, 1, 8);
    c.move_to(8);  // not a direction: the token stays
    unsigned x, y;
    c.get_pos(&x, &y);
    EXPECT_EQ(x, 4u);
    EXPECT_EQ(y, 3u);
}
