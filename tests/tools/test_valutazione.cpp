// The match runner's figures: ratings fitted to a round robin, worked by
// hand on small cases, and the sequential test's bounds and likelihood
// ratio on a worked case.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "valutazione.h"

namespace {

// One Elo point in natural-log units of the logistic model.
const double K = std::log(10.0) / 400.0;

TEST(Valutazione, PartiteACalcoloFatto) {
    // 10 wins, 10 losses, 20 draws: the score 1/2, the per-game variance
    // (10/4 + 10/4) / 40 = 1/8, so the 95% interval is 1/2 +/- 1.96
    // sqrt(1/320) = 0.609565 at the top, 400 log10(0.609565 / 0.390435) =
    // 77.39 Elo on each side. Even decisive games: a LOS of 50%.
    stima_partite pari = stima_da_partite(10, 10, 20);
    EXPECT_EQ(pari.punteggio, 0.5);
    ASSERT_TRUE(pari.con_errore);
    EXPECT_NEAR(pari.errore, 77.3887, 1e-3);
    ASSERT_TRUE(pari.con_los);
    EXPECT_NEAR(pari.los, 50.0, 1e-12);
    // 30 - 10 - 20: the score 2/3, 400 log10(2) = 120.41 Elo; the variance
    // (30/9 + 20/36 + 40/9) / 60 = 0.1389, the bar 75.26; LOS
    // 50 (1 + erf(20 / sqrt(80))) = 99.92%.
    stima_partite avanti = stima_da_partite(30, 10, 20);
    EXPECT_NEAR(elo(avanti.punteggio), 120.4120, 1e-3);
    EXPECT_NEAR(avanti.errore, 75.2599, 1e-3);
    EXPECT_NEAR(avanti.los, 99.9217, 1e-3);
    // Every point, or no decisive game: no error bar, no LOS.
    EXPECT_FALSE(stima_da_partite(5, 0, 0).con_errore);
    EXPECT_FALSE(stima_da_partite(0, 0, 8).con_los);
}

TEST(Valutazione, CoppieACalcoloFatto) {
    // 50 pairs: 2 of 0 points, 10 of 1/2, 20 of 1, 12 of 3/2, 6 of 2. The
    // pairs' scores 0, 1/4, 1/2, 3/4, 1 average (2.5 + 10 + 9 + 6) / 50 =
    // 0.55, 400 log10(0.55 / 0.45) = 34.86 Elo; their variance is
    // (2 (0.55)^2 + 10 (0.3)^2 + 20 (0.05)^2 + 12 (0.2)^2 + 6 (0.45)^2) / 50 =
    // 3.25 / 50 = 0.065, the standard error sqrt(0.065 / 50) = 0.036056, so
    // the 95% interval runs from 0.479332 (-14.37 Elo) to 0.620668 (+85.54
    // Elo): a bar of (85.54 + 14.37) / 2 = 49.95.
    const long long coppie[5] = {2, 10, 20, 12, 6};
    stima_partite s = stima_da_coppie(coppie);
    EXPECT_NEAR(s.punteggio, 0.55, 1e-12);
    EXPECT_NEAR(elo(s.punteggio), 34.8601, 1e-3);
    ASSERT_TRUE(s.con_errore);
    EXPECT_NEAR(s.errore, 49.9525, 1e-3);
    EXPECT_FALSE(s.con_los);
    // Every pair even: no spread, a bar of 0; no pairs: no figures.
    const long long pari[5] = {0, 0, 7, 0, 0}, nessuna[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(stima_da_coppie(pari).errore, 0.0);
    EXPECT_FALSE(stima_da_coppie(nessuna).con_errore);

    // The same pairs as a two-player rating: the fit is the pairs' Elo,
    // 34.86, whatever the pairs; its bar comes from them. The curvature is
    // K^2 100 (0.55)(0.45); the pairs' spread of the slope is
    // K^2 sum n_k (k/2 - 1.1)^2 = 13 K^2; their ratio gives the error
    // 1.96 sqrt(13) / (K 24.75) = 49.60, where the games taken one by one
    // (the curvature alone) give 1.96 / (K sqrt(24.75)) = 68.44.
    scontro con_coppie{1, 0, 100.0, 55.0};
    for (int k = 0; k < 5; k++) con_coppie.coppie[k] = static_cast<double>(coppie[k]);
    classifica c = stima_elo(2, {con_coppie}, 0);
    ASSERT_TRUE(c.finita);
    EXPECT_NEAR(c.elo[1], 34.8601, 1e-3);
    EXPECT_NEAR(c.errore[1], 49.6008, 1e-3);
    classifica d = stima_elo(2, {{1, 0, 100.0, 55.0}}, 0);
    EXPECT_NEAR(d.elo[1], 34.8601, 1e-3);
    EXPECT_NEAR(d.errore[1], 68.4392, 1e-3);
}

TEST(Valutazione, SprtCoppieCasoCalcolato) {
    // The same 50 pairs, H0 -5 Elo against H1 +15: expected scores
    // 1 / (1 + 10^(5 / 400)) = 0.492805 and 1 / (1 + 10^(-15 / 400)) =
    // 0.521583. The pairs' frequencies f = (0.04, 0.2, 0.4, 0.24, 0.12);
    // the distribution nearest to them with the expected score s is
    // f_k / (1 + x (k/4 - s)), x set so that its mean is s: under H0
    // (0.069580, 0.252991, 0.397533, 0.196420, 0.083476), under H1
    // (0.051792, 0.226898, 0.403803, 0.218239, 0.099268). The LLR is
    // 50 sum f_k ln(h1_k / h0_k) = 0.93759.
    const long long coppie[5] = {2, 10, 20, 12, 6};
    prova_sprt t = sprt_coppie(coppie, -5.0, 15.0, 0.05, 0.05);
    EXPECT_NEAR(t.llr, 0.937595, 1e-5);
    EXPECT_NEAR(t.alto, 2.944439, 1e-6);
    EXPECT_EQ(t.esito, verdetto::continua);
    // A count of 0 is taken as 0.001, as the testing frameworks do: 47
    // pairs (0, 4, 29, 13, 1) between 0 and +30 Elo give 2.95233, over the
    // bound: H1.
    const long long forti[5] = {0, 4, 29, 13, 1};
    prova_sprt u = sprt_coppie(forti, 0.0, 30.0, 0.05, 0.05);
    EXPECT_NEAR(u.llr, 2.952333, 1e-5);
    EXPECT_EQ(u.esito, verdetto::accetta_h1);
    // Mirrored pairs and mirrored hypotheses: the opposite LLR; no pairs,
    // no LLR.
    const long long specchio[5] = {1, 13, 29, 4, 0};
    EXPECT_NEAR(sprt_coppie(specchio, -30.0, 0.0, 0.05, 0.05).llr, -u.llr, 1e-6);
    const long long nessuna[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(sprt_coppie(nessuna, 0.0, 30.0, 0.05, 0.05).llr, 0.0);
}

TEST(Valutazione, DueGiocatoriACalcoloFatto) {
    // B makes 7.5 points of 10 against A: the expected score 3/4 is that of
    // a difference of 400 log10(3) = 190.85 Elo. The curvature of the
    // likelihood there is n p (1 - p) K^2 = 10 * 3/16 * K^2, so the 95%
    // error is 1.96 / (K sqrt(1.875)) = 248.65.
    classifica c = stima_elo(2, {{0, 1, 10.0, 2.5}}, 0);
    ASSERT_TRUE(c.finita);
    EXPECT_EQ(c.elo[0], 0.0);
    EXPECT_NEAR(c.elo[1], 190.8485, 1e-3);
    EXPECT_EQ(c.errore[0], 0.0);
    EXPECT_NEAR(c.errore[1], 248.652, 1e-2);
    // The same games seen from B's side, anchored at B.
    classifica d = stima_elo(2, {{1, 0, 10.0, 7.5}}, 1);
    ASSERT_TRUE(d.finita);
    EXPECT_NEAR(d.elo[0], -190.8485, 1e-3);
}

TEST(Valutazione, TreGiocatoriCoerenti) {
    // B scores 3/4 against A and C 3/4 against B (+190.85 each); C scores
    // 9/10 against A, the share of 400 log10(9) = 381.70, exactly twice as
    // much. Every pair's score is then what the ratings 0, 190.85, 381.70
    // expect, so the slope of the likelihood is zero there: those are the
    // ratings, whatever the games of each pair.
    std::vector<scontro> s = {{0, 1, 20.0, 5.0}, {1, 2, 40.0, 10.0}, {0, 2, 10.0, 1.0}};
    classifica c = stima_elo(3, s, 0);
    ASSERT_TRUE(c.finita);
    EXPECT_NEAR(c.elo[1], 190.8485, 1e-3);
    EXPECT_NEAR(c.elo[2], 381.6970, 1e-3);
    // More games, smaller errors; C, two steps from the anchor, has the
    // largest.
    EXPECT_GT(c.errore[2], c.errore[1]);
    // Each error is at most that of the pair against the anchor alone.
    EXPECT_LT(c.errore[1], 1.959964 / (K * std::sqrt(20.0 * 0.1875)));
}

// A two-player round robin's bar from its games' results agrees with the
// match's own bar, worked independently from the variance of the per-game
// scores (stima_da_partite), within 2%: with 81% draws, as between skills
// 3 and 8, where the games taken as coin tosses give a bar 2.3 times too
// wide, and with few draws.
TEST(Valutazione, BarreDaiRisultatiDellePartite) {
    struct caso {
        double vinte, pari, perse;  // of the second player, B, against A
    };
    for (const caso& k : {caso{230, 1620, 150}, caso{900, 300, 800}}) {
        const double n = k.vinte + k.pari + k.perse;
        scontro s{1, 0, n, k.vinte + k.pari / 2};
        s.esiti[0] = k.perse, s.esiti[1] = k.pari, s.esiti[2] = k.vinte;
        const classifica c = stima_elo(2, {s}, 0);
        ASSERT_TRUE(c.finita);
        const stima_partite m = stima_da_partite(static_cast<long long>(k.vinte), static_cast<long long>(k.perse),
                                                 static_cast<long long>(k.pari));
        ASSERT_TRUE(m.con_errore);
        EXPECT_NEAR(c.errore[1] / m.errore, 1.0, 0.02) << k.pari << " draws";
        EXPECT_NEAR(c.elo[1], elo(m.punteggio), 1e-6);
        // The curvature alone, blind to the draws.
        const classifica moneta = stima_elo(2, {{1, 0, n, k.vinte + k.pari / 2}}, 0);
        if (k.pari / n > 0.75) {
            EXPECT_GT(moneta.errore[1], 2.0 * c.errore[1]);
        }
    }
}

// Three players whose every match has a per-game variance of its score
// exactly half the coin toss's, e (1 - e) - d / 4 = e (1 - e) / 2 with a
// draw share d = 2 e (1 - e): the sandwich is then half the inverse
// curvature, so every bar is that of the games as coin tosses over sqrt(2).
// Without draws (each variance e (1 - e)) the two are the same.
TEST(Valutazione, BarreDaiRisultatiTreGiocatori) {
    // The ratings 0, 190.85 and 381.70 of TreGiocatoriCoerenti: B scores
    // 3/4 against A and against C's 1/4, C 9/10 against A.
    auto partite = [](int a, int b, double n, double e_b, double pari) {
        scontro s{b, a, n, n * e_b};
        s.esiti[1] = n * pari;
        s.esiti[2] = n * (e_b - pari / 2);
        s.esiti[0] = n * (1 - e_b - pari / 2);
        return s;
    };
    const std::vector<scontro> moneta = {{1, 0, 160.0, 120.0}, {2, 1, 320.0, 240.0}, {2, 0, 80.0, 72.0}};
    const classifica c = stima_elo(3, moneta, 0);
    ASSERT_TRUE(c.finita);
    const classifica con_patte =
        stima_elo(3, {partite(0, 1, 160, 0.75, 0.375), partite(1, 2, 320, 0.75, 0.375), partite(0, 2, 80, 0.9, 0.18)}, 0);
    const classifica senza_patte =
        stima_elo(3, {partite(0, 1, 160, 0.75, 0.0), partite(1, 2, 320, 0.75, 0.0), partite(0, 2, 80, 0.9, 0.0)}, 0);
    ASSERT_TRUE(con_patte.finita);
    ASSERT_TRUE(senza_patte.finita);
    for (int i = 1; i < 3; i++) {
        EXPECT_NEAR(con_patte.elo[i], c.elo[i], 1e-6);
        EXPECT_NEAR(con_patte.errore[i], c.errore[i] / std::sqrt(2.0), 1e-6 * c.errore[i]);
        EXPECT_NEAR(senza_patte.errore[i], c.errore[i], 1e-6 * c.errore[i]);
    }
}

TEST(Valutazione, NessunaStimaFinita) {
    // A player who made every point, or none, has no finite rating.
    EXPECT_FALSE(stima_elo(2, {{0, 1, 10.0, 10.0}}, 0).finita);
    EXPECT_FALSE(stima_elo(3, {{0, 1, 10.0, 5.0}, {0, 2, 10.0, 0.0}, {1, 2, 10.0, 0.0}}, 0).finita);
    // Nor does a player who never played, and bad input is refused.
    EXPECT_FALSE(stima_elo(3, {{0, 1, 10.0, 5.0}}, 0).finita);
    EXPECT_FALSE(stima_elo(2, {{0, 1, 10.0, 11.0}}, 0).finita);
    EXPECT_FALSE(stima_elo(2, {{0, 0, 10.0, 5.0}}, 0).finita);
    EXPECT_FALSE(stima_elo(2, {{0, 1, 10.0, 5.0}}, 2).finita);
}

TEST(Valutazione, SprtCasoCalcolato) {
    // alpha = beta = 0.05: the bounds are ln(0.05 / 0.95) and its opposite.
    prova_sprt t = sprt(10, 10, 20, 0.0, 10.0, 0.05, 0.05);
    EXPECT_NEAR(t.basso, -2.944439, 1e-6);
    EXPECT_NEAR(t.alto, 2.944439, 1e-6);
    // 10 wins, 10 losses, 20 draws: p(win) = p(loss) = 1/4, so the draw
    // width is 200 log10(3 * 3) = 190.85 BayesElo, 10^(-width / 400) = 1/3
    // and the scale 4 (1/3) / (4/3)^2 = 3/4. H0 (0 Elo) gives 1/4, 1/4,
    // 1/2; H1 (10 Elo, 13.33 BayesElo) gives 1 / (1 + 10^(177.52 / 400)) =
    // 0.264665 for a win, 1 / (1 + 10^(204.18 / 400)) = 0.235887 for a loss
    // and 0.499448 for a draw. LLR = 10 ln(0.264665 / 0.25) +
    // 10 ln(0.235887 / 0.25) + 20 ln(0.499448 / 0.5) = -0.03313.
    EXPECT_NEAR(t.llr, -0.03313, 1e-4);
    EXPECT_EQ(t.esito, verdetto::continua);
    // Other error rates move the bounds: ln(0.1 / 0.95), ln(0.9 / 0.05).
    prova_sprt u = sprt(10, 10, 20, 0.0, 10.0, 0.05, 0.1);
    EXPECT_NEAR(u.basso, std::log(0.1 / 0.95), 1e-12);
    EXPECT_NEAR(u.alto, std::log(0.9 / 0.05), 1e-12);
}

TEST(Valutazione, SprtDecide) {
    // Without a win, a loss and a draw each, nothing is decided.
    EXPECT_EQ(sprt(100, 0, 50, 0.0, 10.0, 0.05, 0.05).llr, 0.0);
    EXPECT_EQ(sprt(100, 0, 50, 0.0, 10.0, 0.05, 0.05).esito, verdetto::continua);
    // A clear lead accepts H1, a clear deficit H0; the LLR of a result and
    // of its mirror have opposite signs when the hypotheses are mirrored.
    prova_sprt forte = sprt(300, 100, 600, 0.0, 20.0, 0.05, 0.05);
    EXPECT_EQ(forte.esito, verdetto::accetta_h1);
    EXPECT_GT(forte.llr, forte.alto);
    prova_sprt debole = sprt(100, 300, 600, 0.0, 20.0, 0.05, 0.05);
    EXPECT_EQ(debole.esito, verdetto::accetta_h0);
    EXPECT_LT(debole.llr, debole.basso);
    EXPECT_NEAR(sprt(30, 20, 50, -5.0, 5.0, 0.05, 0.05).llr, -sprt(20, 30, 50, -5.0, 5.0, 0.05, 0.05).llr, 1e-9);
}

}  // namespace
