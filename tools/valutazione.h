// The figures of engine matches: a match's Elo difference with its error
// bar and likelihood of superiority, ratings of several players fitted to all
// their games together, and the sequential test that ends a two-player
// match as soon as it can tell which of two Elo differences it is.
#ifndef VORANDEL_VALUTAZIONE_H
#define VORANDEL_VALUTAZIONE_H

#include <vector>

// The logistic Elo difference of a score share p (0 < p < 1).
double elo(double p);

// One match's figures from its wins, losses and draws (blocked and stopped
// games counted as draws), as engine-match tools give them.
struct stima_partite {
    double punteggio = 0.0;   // the share of the points
    bool con_errore = false;  // false when the interval reaches 0 or 1
    double errore = 0.0;      // half-width in Elo of the 95% interval, from the per-game scores' variance
    bool con_los = false;     // false without decisive games
    double los = 0.0;         // likelihood of superiority, per cent, from the decisive games
};
stima_partite stima_da_partite(long long vinte, long long perse, long long pari);

// The same figures from pairs of games on one deal (--pairs): `coppie[k]`
// pairs in which the first player made k/2 points of 2. The error bar
// comes from the variance of the pairs' scores, which leaves out the part
// of the spread that the deals cause; there is no LOS.
stima_partite stima_da_coppie(const long long coppie[5]);

// The games between players `a` and `b` (indices from 0) and the points
// that `a` made in them (a win 1, a draw 1/2).
struct scontro {
    int a;
    int b;
    double partite;
    double punti_a;
    // With pairs of games on one deal: the pairs in which `a` made k/2
    // points of 2. When any match has them, the error bars come from the
    // pairs' scores (the sandwich form, which counts a pair's two games as
    // the one observation they are) rather than from the games as if each
    // were on its own.
    double coppie[5] = {0, 0, 0, 0, 0};
    // Without pairs: the games in which `a` made k/2 points of 1 (a loss, a
    // draw, a win). When any match has them, the error bars come from the
    // games' own results (the sandwich form again, a game the observation),
    // so that draws, which spread the points less than a coin toss would,
    // narrow the bars as they should.
    double esiti[3] = {0, 0, 0};
};

struct classifica {
    // False when no finite rating fits the games: a player who made every
    // point or none, or a group that never met the others.
    bool finita = false;
    std::vector<double> elo;     // against the anchor, whose rating is 0
    std::vector<double> errore;  // half-width of the 95% interval; 0 for the anchor
};

// The ratings of `giocatori` players by maximum likelihood under the
// logistic Elo model, P(a beats b) = 1 / (1 + 10^((Rb - Ra) / 400)), each
// game's points counted as that many wins out of one (so a draw is half a
// win and half a loss, as Ordo counts it), with player `ancora` held at 0.
// The error bars come from the curvature of the likelihood at its top,
// or, where the matches give their pairs or their games' results, from the
// sandwich estimate: the inverse curvature on both sides of the observed
// spread of the slope, pair by pair or game by game.
classifica stima_elo(int giocatori, const std::vector<scontro>& scontri, int ancora);

enum class verdetto { continua, accetta_h0, accetta_h1 };

struct prova_sprt {
    double llr = 0.0;    // log-likelihood ratio of H1 (Elo ELO1) over H0 (Elo ELO0)
    double basso = 0.0;  // ln(beta / (1 - alpha)): below it, H0 is accepted
    double alto = 0.0;   // ln((1 - beta) / alpha): above it, H1 is accepted
    verdetto esito = verdetto::continua;
};

// The sequential probability ratio test of a match as engine-match tools
// run it: the draw rate is estimated from the games, the two hypotheses'
// logistic Elo differences are turned into win, draw and loss
// probabilities with that draw rate, and the trinomial log-likelihood
// ratio of the wins, losses and draws is set against the two bounds. Until
// there is at least one win, one loss and one draw the LLR is 0.
prova_sprt sprt(long long vinte, long long perse, long long patte, double elo0, double elo1, double alfa,
                double beta);

// The same test on pairs of games (pentanomial), as the engine-testing
// frameworks run it: the pairs' scores 0, 1/4, 1/2, 3/4, 1 for the first
// player, each of the five counts that is 0 taken as 0.001, and the
// generalized log-likelihood ratio of the two hypotheses' logistic Elo
// differences, each with the five probabilities nearest the pairs seen
// (maximum likelihood) under that expected score.
prova_sprt sprt_coppie(const long long coppie[5], double elo0, double elo1, double alfa, double beta);

#endif
