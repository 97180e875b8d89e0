// partite: plays games between two automatic players without a window,
// through the real match and the real worker, and reports the results the
// way engine-match tools do.
//
//   partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N]
//           [--swap-sides] [--jobs N] [--first N] [--cpu N] [--threads] [--tally] [--each-game]
//           [--quiet] [--sprt ELO0 ELO1 [ALPHA BETA]] [--pairs] [--record FILE [--shard K/N]]
//   partite --round-robin SKILLS [--games N] [--seed N] [--max-plies N] [--jobs N] [--quiet]
//           [--pairs] [--record FILE [--shard K/N]]
//   partite --replay FILE [--game N [--match A-B]] [--record FILE] [--quiet]
//   partite --merge FILE... [--record FILE] [--quiet]
//   partite --resume FILE [--jobs N] [--threads] [--quiet]
//   partite --help | --version
//
// Player 1 is the match's player 0 (from the top left corner), Player 2 its
// player 1. The match alternates who begins from one game to the next, as in
// a tournament: game 1 is begun by Player 1, game 2 by Player 2, and so on.
// With --swap-sides the two skills change corners every two games (games 3
// and 4 of every four have the second skill in the top left corner), so each
// skill begins as often from each corner, and the results are reported from
// the first skill's point of view.
//
// Every game is a game of its own: its deal comes from a generator seeded
// with --seed and the game's number, and the search's pass flag, which
// otherwise carries from one search to the next, starts clear in every
// game. So a game's result depends only on the options and its number, the
// same options give the same games, and --first N --games 1 plays game N again.
//
// --jobs N plays the games in N processes of this program, each one given a
// run of consecutive games (--first, --tally); the match keeps its state in
// statics, so one process plays one match. Their counts add up to the same
// table as one process would print; only the time lines differ.
//
// A game that reaches --max-plies moves is stopped: every table counts it
// on its own, and the statistics as a draw, as they do the blocked games.
//
// --round-robin plays every pair of the skills listed (a range like 1-10, a
// list like 2,5,9, or both, like 1-3,7), --games games each, each skill
// from both corners, on every core, and prints the crosstable and one
// rating per skill fitted to all the games together (maximum likelihood,
// logistic Elo, a draw half a point, as Ordo fits them), the lowest skill
// at 0, with 95% error bars. Every pair plays the same deals.
//
// --sprt ELO0 ELO1 [ALPHA BETA] ends a two-skill match as soon as the
// sequential probability ratio test (as cutechess-cli runs it) accepts that
// the first skill is ELO0 or ELO1 Elo above the second; --games is then the
// most it plays. The games are taken in their order, whatever --jobs, so
// the same seed ends at the same game.
//
// SIGINT or SIGTERM (Ctrl-C, a scheduler's time limit) cut a run short
// rather than lose it: no more games are started, the games finished are
// kept (with a game file, in the run's order up to the first one missing,
// in a file whose last line says it is partial), their table is printed,
// and the exit code is 130 or 143. A second signal ends it at once, leaving
// only FILE.part. --resume FILE (or FILE.part) plays the rest of the run,
// ending with the file and the table of the run played whole.
//
// --pairs plays each deal twice, the skills on swapped corners and the same
// corner beginning both games, and adds the pairs' (pentanomial) figures;
// its --sprt is the pentanomial test. --record writes every game to a game
// file (archivio.h describes it), --replay plays a file's games again
// through the rules and prints the run's table, and --shard K/N with
// --merge spread one run over several machines.
//
// The program's parts: opzioni (the command line), avanzamento (the
// progress on standard error), gioco (one game, a run
// of games in this process, a recorded game played again), processi (the
// processes of --jobs, the plan of a run and its shards), archivio (the
// game file), verifica (--replay and --merge), valutazione (the
// statistics, a library of its own that the tests check) and tabelle
// (what is printed).
#include <sys/prctl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "archivio.h"
#include "gioco.h"
#include "opzioni.h"
#include "processi.h"
#include "tabelle.h"
#include "verifica.h"

// The runner's own log, so that the game's "voran32.log" is left alone.
// Opened once the options are read: the processes of --jobs add their
// lines to the file that the first process emptied.
std::ofstream logfile;

namespace {

const char* const NOME_LOG = "partite.log";

const char* nome_segnale(int s) { return s == SIGINT ? "SIGINT" : s == SIGTERM ? "SIGTERM" : "a signal"; }

// Plays the games of `tratti` (all of the run's, or the rest of a run
// resumed, whose games so far are in the counts and the file already),
// closes the game file, prints the table or the counts, and gives the exit
// code.
int gioca_run(const opzioni& o, const char* argv0, std::vector<incontro>& incontri, const std::vector<tratto>& tratti,
              fine_sprt& sprt, scrittore_partite& file) {
    // A round robin, a test and a recorded run always play in processes of
    // their own, one at a time with --jobs 1: each process plays one match.
    const bool in_processi =
        !o.torneo.empty() || o.sprt || !o.registra.empty() || (o.processi > 1 && o.partite > 1);
    auto t0 = std::chrono::steady_clock::now();
    fine_run f;
    if (in_processi) {
        f = gioca_in_processi(o, argv0, incontri, tratti, o.sprt ? &sprt : nullptr, file.aperto() ? &file : nullptr);
    } else {
        incontri[0].r = gioca_tutte(o);
        f.giocate = giocate(incontri[0].r);
        if (f.giocate < o.partite) f.segnale = segnale_arrivato();
    }
    double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (file.aperto()) {
        if (f.segnale != 0)
            file.chiudi_parziale(f.scartate);
        else
            file.chiudi();
    }
    const int uscita = f.segnale != 0 ? 128 + f.segnale : 0;
    if (o.conteggio) {
        scrivi_conteggio(o, incontri[0].r);
        return std::fflush(stdout) == 0 ? uscita : 1;
    }
    long long nel_run = 0, nella_tabella = 0;
    for (const tratto& t : piano(o, incontri.size())) nel_run += t.quante;
    for (const incontro& c : incontri) nella_tabella += giocate(c.r);
    if (o.sprt) nella_tabella = sprt.partite;
    if (o.schede > 0) {
        if (f.segnale == 0)
            std::printf("Shard %lld/%lld: %lld of the run's %s, in %.2f s, recorded in %s\n"
                        "(partite --merge with the files of all %lld shards prints the run's table)\n",
                        o.scheda, o.schede, nel_run, quante(o.partite * static_cast<long long>(incontri.size()), "game").c_str(),
                        secondi, o.registra.c_str(), o.schede);
        else
            std::printf("Shard %lld/%lld: %lld of its %s, in %.2f s, recorded in %s\n", o.scheda, o.schede,
                        nella_tabella, quante(nel_run, "game").c_str(), secondi, o.registra.c_str());
    } else {
        stampa_esito(o, incontri, sprt, secondi, f.segnale != 0);
    }
    if (f.segnale != 0) {
        std::printf("\nThe run was cut short by %s: %lld of its %s are in the table", nome_segnale(f.segnale),
                    nella_tabella, quante(nel_run, "game").c_str());
        if (file.aperto() || !o.registra.empty())
            std::printf(" and in %s, %lld finished after the first one missing dropped;\n"
                        "partite --resume %s plays the rest",
                        o.registra.c_str(), f.scartate, o.registra.c_str());
        std::printf(".\n");
        std::fprintf(stderr, "partite: the run was cut short by %s\n", nome_segnale(f.segnale));
    }
    return std::fflush(stdout) == 0 ? uscita : 1;
}

// A refusal of --resume: the reason, exit code 2.
int rifiuta_ripresa(const std::string& perche) {
    std::fprintf(stderr, "partite: %s\n", perche.c_str());
    return 2;
}

// --resume FILE: the run of FILE's header, with the games FILE holds
// checked, played again through the rules and taken as they are, then the
// rest played, into the file the whole run would have written.
int riprendi(const opzioni& richiesta, const char* argv0) {
    lettore_partite f;
    std::string perche;
    if (!f.apri(richiesta.riprendi, &perche, true)) return rifiuta_ripresa(perche);
    opzioni o = f.o;
    o.scheda = f.scheda, o.schede = f.schede;
    o.processi = richiesta.processi;
    o.silenzio = richiesta.silenzio;
    o.fili = richiesta.fili;
    const std::string coda = ".part";
    o.registra = f.nome;
    if (o.registra.size() > coda.size() && o.registra.compare(o.registra.size() - coda.size(), coda.size(), coda) == 0)
        o.registra.resize(o.registra.size() - coda.size());
    const std::string nuovo = o.registra + ".part.new";

    std::vector<incontro> incontri = incontri_del_run(o);
    const std::vector<tratto> tratti = piano(o, incontri.size());
    // The new file is written beside the old one, and takes the place of
    // FILE.part only once it holds all the old one's games.
    scrittore_partite file;
    file.apri(o.registra, intestazione(o), nuovo);
    auto rifiuta = [&](const std::string& cosa) {
        std::remove(nuovo.c_str());
        return rifiuta_ripresa(cosa);
    };
    fine_sprt sprt;
    std::vector<tratto> resto;
    bool deciso = false, finiti = false;
    long long tenute = 0;
    // With --pairs the run goes on from a whole pair: the first game of a
    // pair waits here for the second.
    partita_giocata p, in_attesa;
    long long riga = 0;
    bool attesa = false;
    for (const tratto& t : tratti) {
        long long g = t.prima - 1;
        const long long fine = t.prima - 1 + t.quante;
        for (; g < fine && !finiti && !deciso; g++) {
            if (!f.prossima(&p, &riga, &perche)) {
                if (!perche.empty()) return rifiuta(perche);
                finiti = true;
                break;
            }
            std::string errore = controlla_partita(o, f, riga, incontri[t.incontro], g, p);
            if (!errore.empty()) return rifiuta(errore);
            if (o.coppie && o.partite > 1 && (g - (t.prima - 1)) % 2 == 0) {
                in_attesa = p, attesa = true;
                continue;
            }
            for (partita_giocata* q : {attesa ? &in_attesa : nullptr, &p}) {
                if (q == nullptr) continue;
                if (o.sprt) deciso = sprt.aggiungi(o, *q);
                conta_partita(o, incontri[t.incontro], *q);
                file.scrivi(riga_partita(*q));
                tenute++;
            }
            attesa = false;
        }
        if (attesa) g--, attesa = false;  // the pair's first game is played again
        if (g < fine && !deciso) resto.push_back(tratto{t.incontro, g + 1, fine - g});
    }
    if (!finiti && !deciso && f.prossima(&p, &riga, &perche))
        return rifiuta(f.nome + ":" + std::to_string(riga) + ": a game more than the run plays");
    if (!perche.empty()) return rifiuta(perche);
    if (!f.parziale)
        return rifiuta(f.nome + ":" + std::to_string(f.riga_fine) +
                       ": the run is whole (its end line is here): there is nothing to resume");
    file.sposta(o.registra + ".part");
    long long da_giocare = 0;
    for (const tratto& t : resto) da_giocare += t.quante;
    if (!o.silenzio)
        std::fprintf(stderr, "partite: %s: %lld games kept, %lld to play\n", f.nome.c_str(), tenute, da_giocare);
    return gioca_run(o, argv0, incontri, resto, sprt, file);
}

}  // namespace

int main(int argc, char** argv) {
    opzioni o = leggi_opzioni(argc, argv);
    if (!o.rigioca.empty() || !o.unisci.empty()) {
        logfile.open(NOME_LOG, std::ios::out | std::ios::trunc);
        return verifica_file(o);
    }
    // A process of --jobs ends with the run that started it, even one
    // killed outright; its report is for that run alone.
    if (o.conteggio) prctl(PR_SET_PDEATHSIG, SIGKILL);
    intercetta_segnali(!o.conteggio);
    // The first process empties the log; the processes it starts add to it.
    logfile.open(NOME_LOG, o.conteggio ? std::ios::out | std::ios::app : std::ios::out | std::ios::trunc);
    if (!o.riprendi.empty()) return riprendi(o, argv[0]);

    std::vector<incontro> incontri = incontri_del_run(o);
    const std::vector<tratto> tratti = piano(o, incontri.size());
    scrittore_partite file;
    if (!o.registra.empty()) file.apri(o.registra, intestazione(o));
    fine_sprt sprt;
    return gioca_run(o, argv[0], incontri, tratti, sprt, file);
}
