// The fixed positions on which the benchmark times the computer and the
// tests sign its search: each a seeded deal of the arrows and a fixed
// sequence of moves from the start of a game, the same on every platform.
#ifndef VORANDEL_POSIZIONI_H
#define VORANDEL_POSIZIONI_H

#include <cstdint>
#include <vector>

#include "computer.h"

// The positions, with `livello` as the skill of the player to move. Every
// position leaves that player two or three legal moves, so each decision
// builds trees.
std::vector<situazione> posizioni_prova(std::int32_t livello);

// `quante` more positions of the same kind, each on a deal of its own (none
// of them one of the fixed positions'), for timing decisions on boards the
// computer has not seen.
std::vector<situazione> posizioni_fresche(std::int32_t livello, int quante);

// A pseudo-random generator for plancia::estrai that gives the same deals on
// every platform (the C library's rand differs between them).
void semina_estrazioni(std::uint32_t seme);
int estrazione();

#endif
