// Game files read back: --replay plays a file's games again through the
// real rules and prints the table of the run that wrote it; --merge does
// the same for the files of a run's shards, once it has checked that they
// are all the parts of one run.
#ifndef VORANDEL_PARTITE_VERIFICA_H
#define VORANDEL_PARTITE_VERIFICA_H

#include <string>

#include "archivio.h"
#include <string>

#include "archivio.h"
#include "opzioni.h"
#include "processi.h"
#include "processi.h"

// The exit code: 0 when every game was as the files say and the table was
// printed, 2 when a file was refused (with its name, the line and the
// reason on standard error, and no table).
int verifica_file(const opzioni& o);

// Game p, found at line `riga` of f, checked as game g (from 0) of match
// `c` of the run `o` and played again through the rules: empty when it is
// right, otherwise "FILE:LINE: reason".
std::string controlla_partita(const opzioni& o, const lettore_partite& f, long long riga, const incontro& c, long long g,
                              partita_giocata& p);

// Game p, found at line `riga` of f, checked as game g (from 0) of match
// `c` of the run `o` and played again through the rules: empty when it is
// right, otherwise "FILE:LINE: reason".
std::string controlla_partita(const opzioni& o, const file_partite& f, long long riga, const incontro& c, long long g,
                              partita_giocata& p);

#endif
