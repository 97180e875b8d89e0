// The processes of --jobs: each plays a run of consecutive games of one
// match (--first, --games) and reports its counts on one line (--tally),
// with a line per game first when the whole match's order matters
// (--each-game, read by --sprt).
#ifndef VORANDEL_PARTITE_PROCESSI_H
#define VORANDEL_PARTITE_PROCESSI_H

#include <string>
#include <vector>

#include "gioco.h"
#include "valutazione.h"

// A match between two skills: its games are counted from the first
// skill's point of view.
struct incontro {
    long long livello[2];
    risultati r;
};

// Where --sprt stopped: the games it took, their counts, the test.
struct fine_sprt {
    long long partite = 0;
    risultati r;
    prova_sprt prova;
    long long vinte = 0, perse = 0, pari = 0;
};

// Plays the games of the matches in o.processi processes, handing each a
// run of consecutive games of one match as the previous one ends, and adds

// The one line of --tally.
void scrivi_conteggio(const risultati& r);

// Plays the games of the matches in o.processi processes, handing each a
// run of consecutive games of one match as the previous one ends, and adds
// up their counts. With --sprt (one match) the games are taken in order,
// one by one, until the test decides; the runs still being played then are
// stopped.
void gioca_in_processi(const opzioni& o, const char* argv0, std::vector<incontro>& incontri, fine_sprt* sprt);

#endif
