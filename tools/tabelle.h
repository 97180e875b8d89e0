// The tables partite prints.
#ifndef VORANDEL_PARTITE_TABELLE_H
#define VORANDEL_PARTITE_TABELLE_H

#include <string>
#include <vector>

#include "processi.h"

// "1 game", "2 games": n and the word, plural but for one.
std::string quante(long long n, const char* cosa);

// The table of one match of n games.
void stampa_tabella(const opzioni& o, const risultati& r, long long n, double secondi);

// Where the test stood when the match ended.
void stampa_sprt(const opzioni& o, const fine_sprt& f, bool tagliata = false);

// The crosstable and the ratings of a round robin.
void stampa_torneo(const opzioni& o, const std::vector<incontro>& incontri, double secondi, bool tagliata = false);

// The run's table as it prints it: the round robin's, the SPRT's or the
// match's, by the options; `tagliata` for a run cut short, whose table
// counts the games it holds.
void stampa_esito(const opzioni& o, const std::vector<incontro>& incontri, const fine_sprt& sprt, double secondi,
                  bool tagliata = false);

// The games a table counts.
long long giocate(const risultati& r);

#endif
