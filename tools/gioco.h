// One game through the real match and the real worker, a run of games in
// this process, and a recorded game played again through the real rules.
#ifndef VORANDEL_PARTITE_GIOCO_H
#define VORANDEL_PARTITE_GIOCO_H

#include <cstdint>
#include <string>

#include "opzioni.h"

struct risultati {
    long long vinte[2] = {0, 0};  // wins of the first and of the second skill
    long long angolo[2] = {0, 0};  // wins of Player 1 and of Player 2, whichever skill
    long long patte = 0;
    long long bloccate = 0;
    long long incompiute = 0;
    long long semimosse = 0;
    // With --pairs: the pairs by the first skill's points in them, 0, 1/2,
    // 1, 3/2 and 2 (index: twice the points).
    long long coppie[5] = {0, 0, 0, 0, 0};

    void aggiungi(const risultati& r) {
        for (int k = 0; k < 2; k++) {
            vinte[k] += r.vinte[k];
            angolo[k] += r.angolo[k];
        }
        patte += r.patte;
        bloccate += r.bloccate;
        incompiute += r.incompiute;
        semimosse += r.semimosse;
        for (int k = 0; k < 5; k++) coppie[k] += r.coppie[k];
    }
};

enum class esito { vittoria0, vittoria1, patta, blocco, incompiuta };

// The seed of game `g`'s deal (games counted from 0).
std::uint32_t seme_partita(long long seme, long long g);

// Whether game `g` (from 0) has the skills exchanged between the corners.
bool scambiata(const opzioni& o, long long g);

// How game `g` (from 0) of a match is played. Without --pairs: the deal
// of its own number, the corners by --swap-sides, Player 1 beginning the
// odd-numbered games and Player 2 the even ones. With --pairs the games go
// two by two, games 2p - 1 and 2p on the deal of game 2p - 1: the first
// skill in Player 1's corner in the first game of the pair and in Player
// 2's in the second; Player 1 begins both games of the odd-numbered pairs,
// Player 2 both games of the even-numbered ones.
struct disposizione {
    std::uint32_t seme;  // the deal's seed
    int primo;           // the first skill's corner: 0 (Player 1, top left) or 1
    int comincia;        // the player who begins: 0 or 1
};
disposizione disposizione_partita(const opzioni& o, long long g);

// One game's result added to the counts; `primo` is the first skill's
// corner in that game.
void conta(risultati& r, esito e, int primo, long long semimosse);

// Twice the points the first skill made in a game: 2, 1 or 0.
int punti_doppi(esito e, int primo);

// One game as the game file holds it.
struct partita_giocata {
    long long numero = 0;               // from 1, within its match
    long long livello[2] = {0, 0};      // the match's first and second skill
    disposizione d{};
    esito e = esito::incompiuta;
    long long semimosse = 0;            // the moves made; the passes are not counted
    std::string mosse;                  // a direction '0' to '7' per move, '.' for a pass
};

// Plays games o.prima to o.prima + o.partite - 1 in this process; with
// o.ogni_partita each game's line of the game file goes to standard output
// as soon as it is played. Once SIGINT or SIGTERM has come (see
// intercetta_segnali) it starts no more games: the counts are those of the
// games finished.
risultati gioca_tutte(const opzioni& o);

// Plays game p (its match, number, deal, corners and beginner set, and its
// moves) again through the real rules, with both players human: true when
// every move was legal, every pass one that the rules made, and the game
// ended as p says after exactly its moves; otherwise `errore` says what
// went wrong. `max_semimosse` is the run's ply limit.
bool rigioca(const partita_giocata& p, long long max_semimosse, std::string* errore);

#endif
