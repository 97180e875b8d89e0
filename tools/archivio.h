// The game file: every game a run plays, in plain text, one line a game.
//
//   partite game file 1
//   version 1.95
//   run --skill1 5 --skill2 3 --games 4 --seed 1 --max-plies 10000 --swap-sides
//   shard 2/3                                   (only in a shard's file)
//   game 1 match 5-3 deal 2545341989 corners 5 3 begins 1 result 1-0 win plies 31 moves 34434.5...
//   ...
//   end 4 games
//
// The run line holds the options that decide the games; the games follow
// in the run's order (match by match in a round robin, each match's games
// by number). A game line gives the game's number within its match, the
// match's first and second skill, the seed of its deal, the skills in
// Player 1's and Player 2's corners, the player who began, the result from
// the corners' side (1-0, 0-1, 1/2-1/2, or * for a game stopped) with how
// it ended (win, repetition, blocked, ply-limit), the moves made, and the
// moves themselves: a direction a move, 0 up, then clockwise to 7 up-left,
// and a '.' where a player could not move and passed.
#ifndef VORANDEL_PARTITE_ARCHIVIO_H
#define VORANDEL_PARTITE_ARCHIVIO_H

#include <cstdio>
#include <string>
#include <vector>

#include "gioco.h"
#include "opzioni.h"

// The first line of every game file.
extern const char* const PRIMA_RIGA;

// A game's line, and its reading: false, with the reason, for a line that
// is not one.
std::string riga_partita(const partita_giocata& p);
bool leggi_riga_partita(const std::string& riga, partita_giocata* p, std::string* errore);

// The lines before the games: the format, the version (by default this
// program's), the run and, for a shard, which part it is.
std::string intestazione(const opzioni& o, const std::string& versione = VORANDEL_VERSIONE);

// A game file as read, its lines checked for form only.
struct file_partite {
    std::string nome;
    std::string versione;
    std::string run;  // the run line as written
    opzioni o;        // its options
    long long scheda = 0, schede = 0;
    std::vector<partita_giocata> partite;
    std::vector<long long> righe;  // the line of each game
    long long riga_fine = 0;       // the line of "end"
};

// Reads a game file: false, with "FILE:LINE: reason" in `errore`, for a
// file that cannot be read or whose lines are not those of a game file.
bool leggi_file_partite(const std::string& nome, file_partite* f, std::string* errore);

// Writes a game file: to a temporary name beside it, renamed once the
// whole file is written, so that a run that fails leaves no half file.
class scrittore_partite {
public:
    void apri(const std::string& nome, const std::string& intestazione);
    void scrivi(const std::string& riga);
    void chiudi();  // writes the last line and renames the file
    bool aperto() const { return file != nullptr; }

private:
    std::string nome, temporaneo;
    std::FILE* file = nullptr;
    long long partite = 0;
};

#endif
