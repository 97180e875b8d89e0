// A match's Elo difference, ratings by maximum likelihood, and the sequential probability ratio test.
#include "valutazione.h"

#include <cmath>
#include <cstddef>

namespace {

// Natural-log units per Elo point of the logistic model.
const double K = std::log(10.0) / 400.0;
const double Z_95 = 1.959963984540054;

double attesa(double ra, double rb) { return 1.0 / (1.0 + std::pow(10.0, (rb - ra) / 400.0)); }

double verosimiglianza(const std::vector<double>& r, const std::vector<scontro>& scontri) {
    double l = 0.0;
    for (const scontro& s : scontri) {
        double e = attesa(r[static_cast<std::size_t>(s.a)], r[static_cast<std::size_t>(s.b)]);
        l += s.punti_a * std::log(e) + (s.partite - s.punti_a) * std::log(1.0 - e);
    }
    return l;
}

// Solves m x = v in place by Gaussian elimination with partial pivoting;
// false when m is singular.
bool risolvi(std::vector<std::vector<double>> m, std::vector<double>& v) {
    const std::size_t n = v.size();
    for (std::size_t c = 0; c < n; c++) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; r++)
            if (std::fabs(m[r][c]) > std::fabs(m[p][c])) p = r;
        if (std::fabs(m[p][c]) < 1e-300) return false;
        std::swap(m[p], m[c]);
        std::swap(v[p], v[c]);
        for (std::size_t r = 0; r < n; r++) {
            if (r == c) continue;
            double f = m[r][c] / m[c][c];
            for (std::size_t k = c; k < n; k++) m[r][k] -= f * m[c][k];
            v[r] -= f * v[c];
        }
    }
    for (std::size_t c = 0; c < n; c++) v[c] /= m[c][c];
    return true;
}

}  // namespace

double elo(double p) { return -400.0 * std::log10(1.0 / p - 1.0); }

stima_partite stima_da_partite(long long vinte, long long perse, long long pari) {
    stima_partite s;
    const long long n = vinte + perse + pari;
    if (n <= 0) return s;
    const double p = (vinte + pari / 2.0) / n;
    s.punteggio = p;
    double varianza = (vinte * (1.0 - p) * (1.0 - p) + pari * (0.5 - p) * (0.5 - p) + perse * p * p) / n;
    double scarto = std::sqrt(varianza / n);
    double basso = p - Z_95 * scarto, alto = p + Z_95 * scarto;
    if (p > 0.0 && p < 1.0 && basso > 0.0 && alto < 1.0) {
        s.con_errore = true;
        s.errore = (elo(alto) - elo(basso)) / 2.0;
    }
    if (vinte + perse > 0) {
        s.con_los = true;
        s.los = 50.0 * (1.0 + std::erf((vinte - perse) / std::sqrt(2.0 * (vinte + perse))));
    }
    return s;
}

stima_partite stima_da_coppie(const long long coppie[5]) {
    stima_partite s;
    long long n = 0;
    double punti = 0.0;
    for (int k = 0; k < 5; k++) n += coppie[k], punti += coppie[k] * (k / 4.0);
    if (n <= 0) return s;
    const double p = punti / n;
    s.punteggio = p;
    double varianza = 0.0;
    for (int k = 0; k < 5; k++) varianza += coppie[k] * (k / 4.0 - p) * (k / 4.0 - p);
    varianza /= n;
    double scarto = std::sqrt(varianza / n);
    double basso = p - Z_95 * scarto, alto = p + Z_95 * scarto;
    if (p > 0.0 && p < 1.0 && basso > 0.0 && alto < 1.0) {
        s.con_errore = true;
        s.errore = (elo(alto) - elo(basso)) / 2.0;
    }
    return s;
}

classifica stima_elo(int giocatori, const std::vector<scontro>& scontri, int ancora) {
    classifica c;
    if (giocatori < 1 || ancora < 0 || ancora >= giocatori) return c;
    const std::size_t n = static_cast<std::size_t>(giocatori);
    std::vector<double> r(n, 0.0);
    // A player who made every point or none of its games has no finite
    // rating: the likelihood grows without end as it moves away.
    std::vector<double> fatti(n, 0.0), giocate(n, 0.0);
    for (const scontro& s : scontri) {
        if (s.a < 0 || s.b < 0 || s.a >= giocatori || s.b >= giocatori || s.a == s.b || s.partite < 0 ||
            s.punti_a < 0 || s.punti_a > s.partite)
            return c;
        fatti[static_cast<std::size_t>(s.a)] += s.punti_a;
        fatti[static_cast<std::size_t>(s.b)] += s.partite - s.punti_a;
        giocate[static_cast<std::size_t>(s.a)] += s.partite;
        giocate[static_cast<std::size_t>(s.b)] += s.partite;
    }
    for (std::size_t i = 0; i < n; i++)
        if (n > 1 && (giocate[i] <= 0 || fatti[i] <= 0 || fatti[i] >= giocate[i])) return c;

    // Newton's method on the ratings other than the anchor's, each step
    // halved while it would lower the likelihood (it is concave, so the
    // top is the one point where the slope is zero).
    std::vector<std::size_t> liberi;
    for (std::size_t i = 0; i < n; i++)
        if (static_cast<int>(i) != ancora) liberi.push_back(i);
    const std::size_t m = liberi.size();
    std::vector<std::vector<double>> curva;
    auto pendenza_e_curva = [&](std::vector<double>& g) {
        std::vector<double> gg(n, 0.0);
        std::vector<std::vector<double>> h(n, std::vector<double>(n, 0.0));
        for (const scontro& s : scontri) {
            std::size_t a = static_cast<std::size_t>(s.a), b = static_cast<std::size_t>(s.b);
            double e = attesa(r[a], r[b]);
            double d = K * (s.punti_a - s.partite * e);
            gg[a] += d;
            gg[b] -= d;
            double w = K * K * s.partite * e * (1.0 - e);
            h[a][a] += w;
            h[b][b] += w;
            h[a][b] -= w;
            h[b][a] -= w;
        }
        g.assign(m, 0.0);
        curva.assign(m, std::vector<double>(m, 0.0));
        for (std::size_t i = 0; i < m; i++) {
            g[i] = gg[liberi[i]];
            for (std::size_t j = 0; j < m; j++) curva[i][j] = h[liberi[i]][liberi[j]];
        }
    };
    bool fermo = false;
    for (int giro = 0; giro < 200 && !fermo; giro++) {
        std::vector<double> passo;
        pendenza_e_curva(passo);
        if (!risolvi(curva, passo)) return c;  // the games do not tie the players together
        double prima = verosimiglianza(r, scontri), massimo = 0.0;
        std::vector<double> prova = r;
        for (double t = 1.0; t > 1e-6; t /= 2) {
            for (std::size_t i = 0; i < m; i++) prova[liberi[i]] = r[liberi[i]] + t * passo[i];
            if (verosimiglianza(prova, scontri) >= prima - 1e-12) break;
        }
        for (std::size_t i = 0; i < m; i++) {
            massimo = std::fmax(massimo, std::fabs(prova[liberi[i]] - r[liberi[i]]));
            r[liberi[i]] = prova[liberi[i]];
        }
        fermo = massimo < 1e-9;
    }
    for (double v : r)
        if (!std::isfinite(v) || std::fabs(v) > 1e5) return c;

    // The covariance of the free ratings is the inverse of the curvature;
    // with pairs, that inverse on both sides of the spread of the pairs'
    // contributions to the slope.
    std::vector<double> g;
    pendenza_e_curva(g);
    c.errore.assign(n, 0.0);
    std::vector<std::vector<double>> inversa(m, std::vector<double>(m, 0.0));
    for (std::size_t i = 0; i < m; i++) {
        std::vector<double> colonna(m, 0.0);
        colonna[i] = 1.0;
        if (!risolvi(curva, colonna) || !(colonna[i] > 0)) return c;
        for (std::size_t j = 0; j < m; j++) inversa[j][i] = colonna[j];
    }
    // The observed spread of each match's contributions to the slope: pair
    // by pair where there are pairs, otherwise game by game where the
    // games' results are given.
    bool con_coppie = false, con_esiti = false;
    for (const scontro& s : scontri)
        for (int k = 0; k < 5; k++) con_coppie = con_coppie || s.coppie[k] > 0;
    for (const scontro& s : scontri)
        for (int k = 0; k < 3; k++) con_esiti = con_esiti || s.esiti[k] > 0;
    const bool sandwich = con_coppie || con_esiti;
    std::vector<std::vector<double>> spread(n, std::vector<double>(n, 0.0));
    for (const scontro& s : scontri) {
        std::size_t a = static_cast<std::size_t>(s.a), b = static_cast<std::size_t>(s.b);
        double e = attesa(r[a], r[b]);
        auto aggiungi = [&](double quante, double d) {
            double w = quante * d * d;
            spread[a][a] += w;
            spread[b][b] += w;
            spread[a][b] -= w;
            spread[b][a] -= w;
        };
        if (con_coppie)
            for (int k = 0; k < 5; k++) aggiungi(s.coppie[k], K * (k / 2.0 - 2.0 * e));
        else
            for (int k = 0; k < 3; k++) aggiungi(s.esiti[k], K * (k / 2.0 - e));
    }
    for (std::size_t i = 0; i < m; i++) {
        double varianza = inversa[i][i];
        if (sandwich) {
            varianza = 0.0;
            for (std::size_t j = 0; j < m; j++)
                for (std::size_t k = 0; k < m; k++)
                    varianza += inversa[i][j] * spread[liberi[j]][liberi[k]] * inversa[k][i];
        }
        // Games that all end alike (every one a draw, say) spread nothing:
        // their bar is 0, as a match's is.
        if (!(varianza > 0) && !(sandwich && varianza > -1e-12)) return c;
        c.errore[liberi[i]] = Z_95 * std::sqrt(std::fmax(varianza, 0.0));
    }
    c.elo = r;
    c.finita = true;
    return c;
}

namespace {

// Win, loss and draw probabilities in the BayesElo form: an Elo difference
// `elo` and a draw width `patta`, both in BayesElo points.
struct probabilita {
    double vinta, persa, patta;
};

probabilita da_bayes(double elo, double patta) {
    probabilita p;
    p.vinta = 1.0 / (1.0 + std::pow(10.0, (patta - elo) / 400.0));
    p.persa = 1.0 / (1.0 + std::pow(10.0, (patta + elo) / 400.0));
    p.patta = 1.0 - p.vinta - p.persa;
    return p;
}

}  // namespace

prova_sprt sprt(long long vinte, long long perse, long long patte, double elo0, double elo1, double alfa,
                double beta) {
    prova_sprt t;
    t.basso = std::log(beta / (1.0 - alfa));
    t.alto = std::log((1.0 - beta) / alfa);
    if (vinte <= 0 || perse <= 0 || patte <= 0) return t;
    const double n = static_cast<double>(vinte + perse + patte);
    const double pv = vinte / n, pp = perse / n;
    // The draw width that the games show, and the factor that turns a
    // logistic Elo difference into a BayesElo one at that width.
    const double patta = 200.0 * std::log10((1.0 - pp) / pp * (1.0 - pv) / pv);
    const double x = std::pow(10.0, -patta / 400.0);
    const double scala = 4.0 * x / ((1.0 + x) * (1.0 + x));
    const probabilita h0 = da_bayes(elo0 / scala, patta), h1 = da_bayes(elo1 / scala, patta);
    t.llr = vinte * std::log(h1.vinta / h0.vinta) + perse * std::log(h1.persa / h0.persa) +
            patte * std::log(h1.patta / h0.patta);
    if (t.llr > t.alto)
        t.esito = verdetto::accetta_h1;
    else if (t.llr < t.basso)
        t.esito = verdetto::accetta_h0;
    return t;
}

namespace {

// The distribution nearest (maximum likelihood) to the pairs' frequencies
// `f` among those whose expected score is `s`: f[k] / (1 + x (a[k] - s)),
// with x where the expected score comes out right, found by halving the
// interval on which every denominator is positive.
void piu_vicina(const double f[5], double s, double q[5]) {
    double basso = -1.0 / (1.0 - s), alto = 1.0 / s;
    auto scarto = [&](double x) {
        double t = 0.0;
        for (int k = 0; k < 5; k++) t += f[k] * (k / 4.0 - s) / (1.0 + x * (k / 4.0 - s));
        return t;
    };
    for (int giro = 0; giro < 2000; giro++) {
        double mezzo = basso + (alto - basso) / 2;
        if (mezzo <= basso || mezzo >= alto) break;
        if (scarto(mezzo) > 0)
            basso = mezzo;
        else
            alto = mezzo;
    }
    const double x = basso + (alto - basso) / 2;
    for (int k = 0; k < 5; k++) q[k] = f[k] / (1.0 + x * (k / 4.0 - s));
}

}  // namespace

prova_sprt sprt_coppie(const long long coppie[5], double elo0, double elo1, double alfa, double beta) {
    prova_sprt t;
    t.basso = std::log(beta / (1.0 - alfa));
    t.alto = std::log((1.0 - beta) / alfa);
    double c[5], n = 0.0;
    long long giocate = 0;
    for (int k = 0; k < 5; k++) {
        giocate += coppie[k];
        c[k] = coppie[k] > 0 ? static_cast<double>(coppie[k]) : 1e-3;
        n += c[k];
    }
    if (giocate <= 0) return t;
    double f[5], q0[5], q1[5];
    for (int k = 0; k < 5; k++) f[k] = c[k] / n;
    piu_vicina(f, 1.0 / (1.0 + std::pow(10.0, -elo0 / 400.0)), q0);
    piu_vicina(f, 1.0 / (1.0 + std::pow(10.0, -elo1 / 400.0)), q1);
    double llr = 0.0;
    for (int k = 0; k < 5; k++) llr += f[k] * (std::log(q1[k]) - std::log(q0[k]));
    t.llr = n * llr;
    if (t.llr > t.alto)
        t.esito = verdetto::accetta_h1;
    else if (t.llr < t.basso)
        t.esito = verdetto::accetta_h0;
    return t;
}
