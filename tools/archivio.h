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

// A game file read as a stream, one line at a time, so that a file of any
// length takes the same memory: the header when it is opened, then the
// games one by one up to the last line. "-" is standard input. Lines may
// end with CR LF and the file may begin with a UTF-8 byte-order mark, as a
// file saved by a Windows editor does; any other byte that is not plain
// text is refused. The version must be this program's: another version's
// games are its own to replay.
class lettore_partite {
public:
    lettore_partite() = default;
    lettore_partite(const lettore_partite&) = delete;
    lettore_partite& operator=(const lettore_partite&) = delete;
    ~lettore_partite();

    // Opens the file and reads its header: false, with "FILE:LINE: reason"
    // in `errore`, for a file that cannot be read or a header that is not
    // a game file's. With `da_riprendere`, a file without its last line is
    // read too (the `.part` of a run killed outright), its last line
    // dropped if it is cut short: it is then partial.
    bool apri(const std::string& nome, std::string* errore, bool da_riprendere = false);
    // The next game, with the line it stands on in `riga`: false at the
    // last line ("end" or "partial", checked against the games read) and on
    // an error, which `errore` then holds ("FILE:LINE: reason").
    bool prossima(partita_giocata* p, long long* riga, std::string* errore);

    std::string nome;
    std::string versione;
    std::string run;  // the run line as written
    opzioni o;        // its options
    long long scheda = 0, schede = 0;
    long long partite = 0;       // the games read so far
    long long riga_fine = 0;     // the line of "end" or "partial"; 0 for none
    bool finito = false;         // the last line has been read, or the file has ended without one
    bool parziale = false;       // the run was cut short: "partial", or no last line at all
    long long scartate = 0;      // the games the "partial" line says were dropped

private:
    // The next line, without its end: false at the end of the file, or on
    // an error (errore set).
    bool leggi_riga(std::string* riga, std::string* errore);
    bool sbaglio(const std::string& cosa, std::string* errore) const;

    std::FILE* file = nullptr;
    bool mio = false;  // opened here, closed here (not standard input)
    bool da_riprendere = false;
    long long n = 0;  // the lines read
    std::string in_attesa;  // a line read but not yet taken (the first game's, after the header)
    bool con_attesa = false;
    char* buffer = nullptr;
    std::size_t capienza = 0;
};

// A game file as read whole, its lines checked for form only.
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
// whole file is written, so that a run that fails leaves no half file (a
// pipe or a device, written straight, has no name to rename).
class scrittore_partite {
public:
    // To a regular file (or a new one): through `temporaneo` (by default
    // `FILE.part`), renamed over it at the end. A symbolic link is
    // followed: its target is written, through a `.part` beside the
    // target. Anything else (a pipe, a device, "-" for standard output) is
    // written straight, as it goes, and `temporaneo` is not used.
    void apri(const std::string& nome, const std::string& intestazione, const std::string& temporaneo = "");
    // What is written so far, on disk under the name `altro` in place of
    // the temporary one (which it replaces, if there was one): a failure
    // from now on leaves it there. Nothing moves for a file written straight.
    void sposta(const std::string& altro);
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
    std::string nome, temporaneo;  // temporaneo empty when written straight
    std::string scritto;           // the name written, for the messages
    std::FILE* file = nullptr;
    long long partite = 0;
};

#endif
