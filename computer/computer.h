// The computer's move: the position it decides on, the decision itself
// (decisione.cpp), and the argument of the worker thread that makes it off
// the window's thread (partita_computer.cpp, with partita's members that
// start it).
#ifndef VORANDEL_COMPUTER_H
#define VORANDEL_COMPUTER_H

#include <windows.h>

#include <cstdint>

#include "pedina32.h"
#include "plancia32.h"

class partita;

// What a decision reads of the match: the board, both tokens, the player to
// move, that player's legal moves (direction indices, in the match's order)
// and skill.
struct situazione {
    plancia scacch;
    pedina ped[2];
    std::int32_t turno;
    std::int32_t n_lecite;
    std::uint8_t direz[MOSSE_MAX];
    std::int32_t livello;
};

// The decision: the index of the best legal move, -1 to pass. Each candidate
// move gets a tree `livello` plies deep behind it, scored for the player to
// move; the first of equally scored moves wins. With one legal move no tree
// is built. `nodi`, when given, receives the number of nodes built.
std::int32_t scegli_mossa(const situazione& s, std::uint64_t* nodi = nullptr);

// The worker's argument, built on the heap by mossa_macchina when the search
// is requested and deleted by the worker when it has posted its move.
struct th_param {
    HWND hWnd;      // receives MSG_MOSSA
    partita* game;  // the match searched for; its event is held during the search
    // The turn the search was requested for; the move is posted with it, so
    // that it can never be performed in another game or another turn.
    std::uint32_t firma;
    // The position of that turn, copied on the window's thread when the
    // search was requested, so that the worker never reads the match while
    // the window's thread may be changing it.
    situazione posizione;
};

#endif
