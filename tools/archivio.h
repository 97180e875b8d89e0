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
// A run cut short (by SIGINT or SIGTERM) writes the games it finished in
// the run's order up to the first one missing, and ends with
//
//   partial 3 games, 1 dropped
//
// in place of the end line: the games written, and those finished after
// the first missing one, which are not. `partite --resume FILE` plays the
// rest; so it does from `FILE.part`, the file being written, which a run
// killed outright leaves with no last line, perhaps cut in a line.
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
    long long riga_fine = 0;       // the line of "end" or "partial"; 0 for none
    bool parziale = false;         // the run was cut short: "partial", or no last line at all
    long long scartate = 0;        // the games the "partial" line says were dropped
};

// Reads a game file: false, with "FILE:LINE: reason" in `errore`, for a
// file that cannot be read or whose lines are not those of a game file. A
// partial file is read as it is, `parziale` set. With `da_riprendere`, a
// file without its last line is read too (the `.part` of a run killed
// outright), its last line dropped if it is cut short: it is then partial.
bool leggi_file_partite(const std::string& nome, file_partite* f, std::string* errore, bool da_riprendere = false);

// Writes a game file: to a temporary name beside it, renamed once the
// whole file is written, so that a run that fails leaves no half file.
class scrittore_partite {
public:
    void apri(const std::string& nome, const std::string& intestazione);
    void scrivi(const std::string& riga);
    void svuota();  // what is written so far, on disk
    void chiudi();  // writes the last line and renames the file
    // Writes the last line of a run cut short, with the games dropped after
    // the first missing one, and renames the file.
    void chiudi_parziale(long long scartate);
    bool aperto() const { return file != nullptr; }
    long long scritte() const { return partite; }

private:
    void chiudi_con_ultima_riga();
    std::string nome, temporaneo;
    std::FILE* file = nullptr;
    long long partite = 0;
};

#endif
