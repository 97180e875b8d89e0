// One game through the real match and the real worker, and a run of games
// in this process.
#ifndef VORANDEL_PARTITE_GIOCO_H
#define VORANDEL_PARTITE_GIOCO_H

#include <cstdint>

#include "opzioni.h"

struct risultati {
    long long vinte[2] = {0, 0};  // wins of the first and of the second skill
    long long angolo[2] = {0, 0};  // wins of Player 1 and of Player 2, whichever skill
    long long patte = 0;
    long long bloccate = 0;
    long long incompiute = 0;
    long long semimosse = 0;

    void aggiungi(const risultati& r) {
        for (int k = 0; k < 2; k++) {
            vinte[k] += r.vinte[k];
            angolo[k] += r.angolo[k];
        }
        patte += r.patte;
        bloccate += r.bloccate;
        incompiute += r.incompiute;
        semimosse += r.semimosse;
    }
};

enum class esito { vittoria0, vittoria1, patta, blocco, incompiuta };

// The seed of game `g`'s deal (games counted from 0).
std::uint32_t seme_partita(long long seme, long long g);

// Whether game `g` (from 0) has the skills exchanged between the corners.
bool scambiata(const opzioni& o, long long g);

// One game's result added to the counts; `primo` is the first skill's
// corner in that game.
void conta(risultati& r, esito e, int primo, long long semimosse);

// A game's result on the lines of --each-game, and back: ESITI[e] is the
// character of result e.
extern const char ESITI[];
char carattere(esito e);

// Plays games o.prima to o.prima + o.partite - 1 in this process.
risultati gioca_tutte(const opzioni& o);

#endif
