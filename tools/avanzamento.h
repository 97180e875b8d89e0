// The progress of a run on standard error, for the person waiting for it:
// on a terminal one line kept up to date in place, with the games done,
// the score so far and the time left; anywhere else (a log, a pipe, a
// batch system's output file) a line of its own every few seconds and one
// at the end, so that the file reads as plain lines; nothing with --quiet.
#ifndef VORANDEL_PARTITE_AVANZAMENTO_H
#define VORANDEL_PARTITE_AVANZAMENTO_H

#include <chrono>
#include <string>

#include "gioco.h"

class avanzamento {
public:
    // `tutte`: the games the run expects (the most it may play, under
    // --sprt); `cosa`: what the line counts ("games", "games replayed");
    // `punteggio`: whether the counts are one match's, from its first
    // skill's side (a round robin's are shown as decisive games and draws).
    avanzamento(bool silenzio, long long tutte, const char* cosa, bool punteggio);
    // The games done so far and their counts.
    void segna(long long fatte, const risultati& r);
    // The last line: where the run ended.
    void chiudi();

private:
    void scrivi(bool ultima);

    bool attivo;
    bool terminale;
    long long tutte;
    const char* cosa;
    bool punteggio;
    long long fatte = 0;
    risultati r;
    std::chrono::steady_clock::time_point inizio, ultima;
    std::size_t lunghezza = 0;  // of the line on the terminal, to blank what a shorter one leaves
};

// Ends the progress line left open on the terminal, if any, so that a
// message that follows starts on a line of its own.
void chiudi_riga_avanzamento();

#endif
