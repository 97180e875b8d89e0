// The tables partite prints: one match's results and Elo difference, where
// the sequential test stood, and a round robin's crosstable and ratings.
#include "tabelle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A signed figure with one decimal; a figure that rounds to zero is "+0.0",
// so an even score never reads as a loss.
std::string con_segno(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.1f", v);
    if (std::strcmp(buf, "-0.0") == 0) return "+0.0";
    return buf;
}

std::string elo_testo(double p) {
    if (p <= 0.0) return "-inf";
    if (p >= 1.0) return "+inf";
    return con_segno(elo(p));
}


std::string decimo(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// What a score line adds when some of its draws are games stopped at the
// ply limit.
std::string fermate_tra_le_patte(long long fermate) {
    if (fermate == 0) return "";
    return "  (" + std::to_string(fermate) + " of the draws stopped at the ply limit)";
}

// The pairs' counts and the Elo difference they give.
void stampa_coppie(const long long coppie[5]) {
    long long n = 0;
    for (int k = 0; k < 5; k++) n += coppie[k];
    std::printf("Pairs by the first skill's points, 0 - 1/2 - 1 - 3/2 - 2: %lld - %lld - %lld - %lld - %lld  %lld\n",
                coppie[0], coppie[1], coppie[2], coppie[3], coppie[4], n);
    const stima_partite s = stima_da_coppie(coppie);
    std::printf("Elo difference from the pairs: %s +/- %s\n", n > 0 ? elo_testo(s.punteggio).c_str() : "n/a",
                s.con_errore ? decimo(s.errore).c_str() : "n/a");
}

}  // namespace

std::string quante(long long n, const char* cosa) {
    return std::to_string(n) + " " + cosa + (n == 1 ? "" : "s");
}

// The table of one match of n games.
void stampa_tabella(const opzioni& o, const risultati& r, long long n, double secondi) {
    if (n <= 0) {
        // A run cut short before its first game ended.
        std::printf("Skill %lld vs skill %lld, seed %lld: no game was finished\n", o.livello[0], o.livello[1], o.seme);
        return;
    }
    long long vinte = r.vinte[0], perse = r.vinte[1], pari = r.patte + r.bloccate + r.incompiute;
    double p = (vinte + pari / 2.0) / n;
    auto quota = [n](long long k) { return 100.0 * k / n; };

    std::string chi[2];
    std::string intervallo = o.prima == 1 ? "" : ", from game " + std::to_string(o.prima);
    if (o.scambia) {
        std::printf("Skill %lld vs skill %lld, each from both corners%s, %s%s, seed %lld\n\n", o.livello[0],
                    o.livello[1], o.coppie ? ", in pairs of games on one deal" : "", quante(n, "game").c_str(),
                    intervallo.c_str(), o.seme);
        chi[0] = "first skill (" + std::to_string(o.livello[0]) + ")";
        chi[1] = "second skill (" + std::to_string(o.livello[1]) + ")";
    } else {
        std::printf("Player 1 (skill %lld) vs Player 2 (skill %lld), %s%s, seed %lld\n\n", o.livello[0],
                    o.livello[1], quante(n, "game").c_str(), intervallo.c_str(), o.seme);
        chi[0] = "Player 1";
        chi[1] = "Player 2";
    }
    std::printf("%-24s %10s %8s\n", "result", "games", "share");
    std::printf("%-24s %10lld %7.1f%%\n", (chi[0] + " wins").c_str(), r.vinte[0], quota(r.vinte[0]));
    std::printf("%-24s %10lld %7.1f%%\n", (chi[1] + " wins").c_str(), r.vinte[1], quota(r.vinte[1]));
    std::printf("%-24s %10lld %7.1f%%\n", "draws by repetition", r.patte, quota(r.patte));
    std::printf("%-24s %10lld %7.1f%%\n", "blocked", r.bloccate, quota(r.bloccate));
    std::printf("%-24s %10lld %7.1f%%\n", "stopped at ply limit", r.incompiute, quota(r.incompiute));
    std::printf("\naverage length          %10.1f plies\n", static_cast<double>(r.semimosse) / n);
    std::printf("time                    %10.2f s\n", secondi);
    std::printf("games per second        %10.1f\n\n", secondi > 0 ? n / secondi : 0.0);

    // The score lines count a game stopped at the ply limit as a draw, and
    // say how many of their draws were.
    const std::string ferme = fermate_tra_le_patte(r.incompiute);
    if (o.scambia) {
        // The corners' own balance, whatever skill stood on them.
        std::printf("Corners, Player 1 vs Player 2: %lld - %lld - %lld  [%.3f]%s\n", r.angolo[0], r.angolo[1], pari,
                    (r.angolo[0] + pari / 2.0) / n, ferme.c_str());
    }
    // Elo from the first skill's side, blocked and stopped games counted as
    // draws: the error bar from the variance of the per-game score, the
    // likelihood of superiority from the decisive games.
    std::printf("Score of %s vs %s: %lld - %lld - %lld  [%.3f]  %lld%s\n", o.scambia ? "first skill" : "Player 1",
                o.scambia ? "second skill" : "Player 2", vinte, perse, pari, p, n, ferme.c_str());
    const stima_partite s = stima_da_partite(vinte, perse, pari);
    std::string errore = "n/a";
    if (s.con_errore) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", s.errore);
        errore = buf;
    }
    std::string los = "n/a";
    if (s.con_los) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f %%", s.los);
        los = buf;
    }
    std::printf("Elo difference: %s +/- %s, LOS: %s, DrawRatio: %.1f %%\n", elo_testo(p).c_str(), errore.c_str(),
                los.c_str(), quota(pari));
    if (o.coppie) stampa_coppie(r.coppie);
}

// Where the test stood when the match ended.
void stampa_sprt(const opzioni& o, const fine_sprt& f, bool tagliata) {
    const prova_sprt& t = f.prova;
    // How far the LLR has gone towards the bound on its side.
    double verso = t.llr >= 0 ? t.llr / t.alto : t.llr / -t.basso;
    const char* esito = t.esito == verdetto::accetta_h1   ? " - H1 was accepted"
                        : t.esito == verdetto::accetta_h0 ? " - H0 was accepted"
                                                          : " - no decision";
    if (o.coppie) {
        long long coppie = 0;
        for (long long c : f.r.coppie) coppie += c;
        std::printf("SPRT: the pentanomial LLR of the %s (logistic Elo)\n", quante(coppie, "pair").c_str());
    }
    std::printf("SPRT: llr %.3g (%.1f%%), lbound %.3g, ubound %.3g%s\n", t.llr, 100.0 * verso, t.basso, t.alto, esito);
    std::string ipotesi = t.esito == verdetto::accetta_h1   ? "H1, that the first skill is " + con_segno(o.elo1) + " Elo"
                          : t.esito == verdetto::accetta_h0 ? "H0, that the first skill is " + con_segno(o.elo0) + " Elo"
                                                            : "";
    if (t.esito == verdetto::continua)
        std::printf("SPRT: neither hypothesis accepted after %s (%s)\n", quante(f.partite, "game").c_str(),
                    tagliata ? "the run was cut short" : "the most --games allows");
    else
        std::printf("SPRT: accepted %s after %s (alpha %g, beta %g)\n", ipotesi.c_str(),
                    quante(f.partite, "game").c_str(), o.alfa, o.beta);
}

// The crosstable and the ratings of a round robin.
void stampa_torneo(const opzioni& o, const std::vector<incontro>& incontri, double secondi, bool tagliata) {
    const std::vector<int>& abilita = o.torneo;
    const std::size_t k = abilita.size();
    auto posto = [&abilita](long long livello) {
        return static_cast<std::size_t>(std::find(abilita.begin(), abilita.end(), livello) - abilita.begin());
    };
    std::vector<std::vector<double>> punti(k, std::vector<double>(k, 0.0));
    std::vector<double> fatti(k, 0.0), pari(k, 0.0), giocate(k, 0.0), vinte(k, 0.0), perse(k, 0.0), fermate(k, 0.0);
    std::vector<scontro> scontri;
    long long totale = 0, semimosse = 0;
    // A share in per cent; 0 of none (a skill that a run cut short never reached).
    auto quota = [](double parte, double tutto) { return tutto > 0 ? 100.0 * parte / tutto : 0.0; };
    for (const incontro& c : incontri) {
        const risultati& r = c.r;
        std::size_t a = posto(c.livello[0]), b = posto(c.livello[1]);
        double patte = static_cast<double>(r.patte + r.bloccate + r.incompiute);
        double n = static_cast<double>(r.vinte[0] + r.vinte[1]) + patte;
        punti[a][b] = r.vinte[0] + patte / 2;
        punti[b][a] = r.vinte[1] + patte / 2;
        vinte[a] += static_cast<double>(r.vinte[0]);
        perse[a] += static_cast<double>(r.vinte[1]);
        vinte[b] += static_cast<double>(r.vinte[1]);
        perse[b] += static_cast<double>(r.vinte[0]);
        for (std::size_t x : {a, b}) {
            fatti[x] += punti[x][x == a ? b : a];
            pari[x] += patte;
            fermate[x] += static_cast<double>(r.incompiute);
            giocate[x] += n;
        }
        scontri.push_back(scontro{static_cast<int>(a), static_cast<int>(b), n, punti[a][b]});
        if (o.coppie)
            for (int j = 0; j < 5; j++) scontri.back().coppie[j] = static_cast<double>(r.coppie[j]);
        scontri.back().esiti[0] = static_cast<double>(r.vinte[1]);
        scontri.back().esiti[1] = patte;
        scontri.back().esiti[2] = static_cast<double>(r.vinte[0]);
        totale += static_cast<long long>(n);
        semimosse += r.semimosse;
    }

    std::string elenco;
    for (std::size_t i = 0; i < k; i++) elenco += (i ? "," : "") + std::to_string(abilita[i]);
    const std::string ciascuna = (tagliata ? "at most " : "") + quante(o.partite, "game");
    std::printf("Round robin of skills %s: %s, %s per pair, each skill from both corners%s, %s%s, seed %lld\n\n",
                elenco.c_str(), quante(static_cast<long long>(incontri.size()), "pair").c_str(), ciascuna.c_str(),
                o.coppie ? ", in pairs of games on one deal" : "", quante(totale, "game").c_str(),
                tagliata ? " (cut short)" : "", o.seme);
    // The draws hold the games stopped at the ply limit, half a point each
    // as in every figure below; "stopped" counts them on their own.
    std::printf("Crosstable: points of the row's skill against the column's, %s each\n", ciascuna.c_str());
    std::printf("skill");
    for (int a : abilita) std::printf(" %7d", a);
    std::printf("    games    wins   draws  losses   points   score  draw ratio  stopped\n");
    for (std::size_t i = 0; i < k; i++) {
        std::printf("%5d", abilita[i]);
        for (std::size_t j = 0; j < k; j++) {
            if (i == j)
                std::printf(" %7s", "-");
            else
                std::printf(" %7.1f", punti[i][j]);
        }
        std::printf(" %8.0f %7.0f %7.0f %7.0f %8.1f %6.1f%% %10.1f%% %8.0f\n", giocate[i], vinte[i], pari[i],
                    perse[i], fatti[i], quota(fatti[i], giocate[i]), quota(pari[i], giocate[i]), fermate[i]);
    }
    long long tutte_fermate = 0;
    for (const incontro& c : incontri) tutte_fermate += c.r.incompiute;
    if (tutte_fermate > 0)
        std::printf("(%s stopped at the ply limit, counted as draws: half a point each, here and in the ratings)\n",
                    quante(tutte_fermate, "game").c_str());
    std::printf("\naverage length          %10.1f plies\n", totale > 0 ? static_cast<double>(semimosse) / totale : 0.0);
    std::printf("time                    %10.2f s\n", secondi);
    std::printf("games per second        %10.1f\n\n", secondi > 0 ? totale / secondi : 0.0);

    // One rating per skill from all the games together.
    classifica c = stima_elo(static_cast<int>(k), scontri, 0);
    if (o.coppie) {
        std::printf("Pairs of games on one deal, by the first skill's points (0 - 1/2 - 1 - 3/2 - 2):\n");
        for (const incontro& m : incontri) {
            const stima_partite s = stima_da_coppie(m.r.coppie);
            long long n = 0;
            for (long long c : m.r.coppie) n += c;
            std::printf("  skill %2lld vs skill %2lld: %lld - %lld - %lld - %lld - %lld  %s, Elo %s +/- %s\n",
                        m.livello[0], m.livello[1], m.r.coppie[0], m.r.coppie[1], m.r.coppie[2], m.r.coppie[3],
                        m.r.coppie[4], quante(n, "pair").c_str(), n > 0 ? elo_testo(s.punteggio).c_str() : "n/a",
                        s.con_errore ? decimo(s.errore).c_str() : "n/a");
        }
        std::printf("\n");
    }
    std::printf("Ratings: maximum likelihood, logistic Elo, a draw half a point (as Ordo); skill %d at 0; "
                "error: 95%%, %s\n",
                abilita[0], o.coppie ? "from the pairs" : "from the games' results");
    if (!c.finita) {
        std::printf("no finite ratings fit these games (a skill made every point or none)\n");
        return;
    }
    std::vector<std::size_t> ordine(k);
    for (std::size_t i = 0; i < k; i++) ordine[i] = i;
    std::stable_sort(ordine.begin(), ordine.end(), [&c](std::size_t x, std::size_t y) { return c.elo[x] > c.elo[y]; });
    std::printf("%4s %-10s : %8s %7s %9s %7s %6s %6s %8s\n", "#", "PLAYER", "RATING", "ERROR", "POINTS", "PLAYED", "(%)",
                "DRAWS", "STOPPED");
    for (std::size_t r = 0; r < k; r++) {
        std::size_t i = ordine[r];
        std::string nome = "skill " + std::to_string(abilita[i]);
        std::string errore = i == 0 ? "-" : [&] {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.1f", c.errore[i]);
            return std::string(buf);
        }();
        std::printf("%4zu %-10s : %8s %7s %9.1f %7.0f %6.1f %5.1f%% %8.0f\n", r + 1, nome.c_str(),
                    con_segno(c.elo[i]).c_str(), errore.c_str(), fatti[i], giocate[i], 100.0 * fatti[i] / giocate[i],
                    100.0 * pari[i] / giocate[i], fermate[i]);
    }
}

long long giocate(const risultati& r) { return r.vinte[0] + r.vinte[1] + r.patte + r.bloccate + r.incompiute; }

void stampa_esito(const opzioni& o, const std::vector<incontro>& incontri, const fine_sprt& sprt, double secondi,
                  bool tagliata) {
    if (!o.torneo.empty()) {
        stampa_torneo(o, incontri, secondi, tagliata);
    } else if (o.sprt) {
        stampa_tabella(o, sprt.r, sprt.partite, secondi);
        stampa_sprt(o, sprt, tagliata);
    } else {
        stampa_tabella(o, incontri[0].r, giocate(incontri[0].r), secondi);
    }
}
