// partite's options: what a run plays and how, read from the command line.
#ifndef VORANDEL_PARTITE_OPZIONI_H
#define VORANDEL_PARTITE_OPZIONI_H

#include <string>
#include <vector>

struct opzioni {
    long long livello[2] = {5, 5};
    long long partite = 100;
    long long seme = 1;
    long long max_semimosse = 10000;
    long long prima = 1;  // number of the first game
    long long processi = 0;  // 0: one per core
    long long nucleo = -1;  // the core to run on; -1: the one it starts on
    bool scambia = false;
    bool conteggio = false;
    bool silenzio = false;
    bool ogni_partita = false;  // with --tally: one line per game too
    std::vector<int> torneo;  // the skills of --round-robin
    bool sprt = false;
    double elo0 = 0.0, elo1 = 0.0, alfa = 0.05, beta = 0.05;
};

constexpr long long MAX_PARTITE = 10000000;
constexpr long long MAX_PROCESSI = 256;

// The options of the command line; a wrong one ends the program with its
// usage and exit code 2.
opzioni leggi_opzioni(int argc, char** argv);

// Ends the program with a message and exit code 1: something went wrong
// while the games were played.
[[noreturn]] void guasto(const char* cosa);

#endif
