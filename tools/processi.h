// The processes of --jobs: each plays a run of consecutive games of one
// match (--first, --games) and reports its counts on one line (--tally),
// with each game's line of the game file first when the games themselves
// are wanted (--each-game, read by --sprt and --record).
#ifndef VORANDEL_PARTITE_PROCESSI_H
#define VORANDEL_PARTITE_PROCESSI_H

#include <string>
#include <vector>

#include "archivio.h"
#include "gioco.h"
#include "valutazione.h"

// A match between two skills: its games are counted from the first
// skill's point of view.
struct incontro {
    long long livello[2];
    risultati r;
    int sospeso = -1;  // with --pairs: twice the first skill's points in the first game of a pair just counted
};

// The matches of a run: one, or every pair of a round robin's skills.
std::vector<incontro> incontri_del_run(const opzioni& o);

// A run of consecutive games of one match: games prima to prima + quante - 1.
struct tratto {
    std::size_t incontro;
    long long prima, quante;
};

// The games that a run plays, in the run's order, or those of its shard
// K/N. The run is cut into units of two consecutive games (the pairs of
// --pairs), match after match, and each shard takes a stretch of whole
// units: U units over N shards give each U / N, and one more to each of the
// last U mod N.
std::vector<tratto> piano(const opzioni& o, std::size_t incontri);

// One game added to its match's counts, and with --pairs the pair it ends:
// the one count of games and pairs, for the games played in this process
// and for those read back from the processes and the files.
void conta_partita(const opzioni& o, incontro& c, const partita_giocata& p);

// The test, fed the games in their order: the games it took, their counts,
// the test where it stands.
struct fine_sprt {
    long long partite = 0;
    risultati r;
    prova_sprt prova;
    long long vinte = 0, perse = 0, pari = 0;
    int sospeso = -1;
    // Adds game p; true once the test has decided.
    bool aggiungi(const opzioni& o, const partita_giocata& p);
};

// SIGINT and SIGTERM cut a run short instead of ending the program: from
// this call on, the first one is only noted, and the run stops starting
// games. In the process that writes the run (`capo`), a second one ends the
// program at once, as it would have; a process of --jobs keeps noting
// them, since its games are its report's, and ends when its parent does.
void intercetta_segnali(bool capo);
// The signal that cut the run short; 0 while none has come.
int segnale_arrivato();
// Notes a cut as if signal `s` had come (a process of --jobs reported one).
void nota_segnale(int s);

// How a run played in processes ended.
struct fine_run {
    int segnale = 0;        // the signal that cut it short; 0 for a whole run
    long long giocate = 0;  // the games counted in the table (those written, with a game file)
    long long scartate = 0;  // games finished after the first one missing, left out
};

// The one line of --tally.
void scrivi_conteggio(const opzioni& o, const risultati& r);

// Plays the games of the plan in o.processi processes, handing each a run
// of consecutive games of one match as the previous one ends, and adds up
// their counts. With --sprt (one match) the games are taken in order, one
// by one, until the test decides; the runs still being played then are
// stopped. With a game file, each game's line goes into it in the run's
// order, whatever the order the processes end in.
//
// On SIGINT or SIGTERM (or a process's report that one cut it short) no
// run is started any more, the processes are told to stop (SIGTERM), and
// each reports the games it finished. With a game file or the test, the
// games are then taken in the run's order up to the first one missing: the
// rest are counted as dropped, and the table counts only those taken.
fine_run gioca_in_processi(const opzioni& o, const char* argv0, std::vector<incontro>& incontri,
                           const std::vector<tratto>& tratti, fine_sprt* sprt, scrittore_partite* file);

#endif
