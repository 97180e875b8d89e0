// partite's options: what a run plays and how, read from the command line
// (and from a game file's run line).
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
    bool coppie = false;  // --pairs: each deal twice, the skills on swapped corners
    bool conteggio = false;
    bool silenzio = false;
    bool ogni_partita = false;  // with --tally: one line per game too
    bool fili = false;  // --threads: each computer move searched on a thread of its own, as in the game
    std::vector<int> torneo;  // the skills of --round-robin
    bool sprt = false;
    double elo0 = 0.0, elo1 = 0.0, alfa = 0.05, beta = 0.05;
    std::string registra;              // --record: the game file to write
    long long scheda = 0, schede = 0;  // --shard K/N; 0/0 for the whole run
    std::string rigioca;               // --replay: the game file to replay
    long long sola_partita = 0;        // --game: the one game of it to replay; 0 for all
    long long solo_incontro[2] = {0, 0};  // --match: that game's skills, in a round robin
    std::vector<std::string> unisci;   // --merge: the shards' game files
    std::string riprendi;              // --resume: the game file of a run cut short
};

constexpr long long MAX_PARTITE = 10000000;
constexpr long long MAX_PROCESSI = 256;
constexpr long long MAX_SCHEDE = 100000;

// The options of the command line; a wrong one ends the program with its
// usage and exit code 2.
opzioni leggi_opzioni(int argc, char** argv);

// The options of a game file's run line, which may name only what decides
// the games (skills, games, seed, ply limit, first game, corners, pairs,
// the test): false, with the reason, for anything else.
bool leggi_opzioni_run(const std::vector<std::string>& argomenti, opzioni* o, std::string* errore);

// The run line of a game file: the options that decide the run's games,
// in a fixed order, so that the same run always writes the same line.
std::string riga_run(const opzioni& o);

// Ends the program with a message and exit code 1: something went wrong
// while the games were played. A game file being written is removed.
[[noreturn]] void guasto(const char* cosa);

// The file being written, which guasto removes; empty for none.
extern std::string file_da_togliere;

#endif
