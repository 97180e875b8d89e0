// partite: plays games between two automatic players without a window,
// through the real match and the real worker, and reports the results the
// way engine-match tools do.
//
//   partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N]
//           [--swap-sides] [--jobs N] [--first N] [--cpu N] [--tally] [--each-game]
//           [--quiet] [--sprt ELO0 ELO1 [ALPHA BETA]] [--pairs] [--record FILE [--shard K/N]]
//   partite --round-robin SKILLS [--games N] [--seed N] [--max-plies N] [--jobs N] [--quiet]
//           [--pairs] [--record FILE [--shard K/N]]
//   partite --replay FILE [--game N [--match A-B]] [--record FILE] [--quiet]
//   partite --merge FILE... [--record FILE] [--quiet]
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
// A game that reaches --max-plies moves is stopped and counted as
// unfinished (a draw for the Elo figures, as are the blocked games).
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
// --pairs plays each deal twice, the skills on swapped corners and the same
// corner beginning both games, and adds the pairs' (pentanomial) figures;
// its --sprt is the pentanomial test. --record writes every game to a game
// file (archivio.h describes it), --replay plays a file's games again
// through the rules and prints the run's table, and --shard K/N with
// --merge spread one run over several machines.
//
// The program's parts: opzioni (the command line), gioco (one game, a run
// of games in this process, a recorded game played again), processi (the
// processes of --jobs, the plan of a run and its shards), archivio (the
// game file), verifica (--replay and --merge), valutazione (the
// statistics, a library of its own that the tests check) and tabelle
// (what is printed).
#include <chrono>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    opzioni o = leggi_opzioni(argc, argv);
    if (!o.rigioca.empty() || !o.unisci.empty()) {
        logfile.open(NOME_LOG, std::ios::out | std::ios::trunc);
        return verifica_file(o);
    }
    // A round robin, a test and a recorded run always play in processes of
    // their own, one at a time with --jobs 1: each process plays one match.
    const bool in_processi =
        !o.torneo.empty() || o.sprt || !o.registra.empty() || (o.processi > 1 && o.partite > 1);
    // The first process empties the log; the processes it starts add to it.
    logfile.open(NOME_LOG, o.conteggio ? std::ios::out | std::ios::app : std::ios::out | std::ios::trunc);

    std::vector<incontro> incontri = incontri_del_run(o);
    const std::vector<tratto> tratti = piano(o, incontri.size());
    scrittore_partite file;
    if (!o.registra.empty()) file.apri(o.registra, intestazione(o));
    fine_sprt sprt;
    auto t0 = std::chrono::steady_clock::now();
    if (in_processi)
        gioca_in_processi(o, argv[0], incontri, tratti, o.sprt ? &sprt : nullptr, file.aperto() ? &file : nullptr);
    else
        incontri[0].r = gioca_tutte(o);
    double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (file.aperto()) file.chiudi();

    if (o.conteggio) {
        scrivi_conteggio(o, incontri[0].r);
    } else if (o.schede > 0) {
        long long giocate = 0;
        for (const tratto& t : tratti) giocate += t.quante;
        std::printf("Shard %lld/%lld: %lld of the run's %s, in %.2f s, recorded in %s\n"
                    "(partite --merge with the files of all %lld shards prints the run's table)\n",
                    o.scheda, o.schede, giocate, ::quante(o.partite * static_cast<long long>(incontri.size()), "game").c_str(),
                    secondi, o.registra.c_str(), o.schede);
    } else {
        stampa_esito(o, incontri, sprt, secondi);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
