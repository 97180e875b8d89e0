// The computer-move worker: the argument it is started with.
#ifndef VORANDEL_COMPUTER_H
#define VORANDEL_COMPUTER_H

#include <windows.h>

#include <cstdint>

class partita;

struct th_param {
    HWND hWnd;     // receives MSG_MOSSA
    partita* game; // the match searched for
    // The turn the search was requested for; the move is posted with it, so
    // that it can never be performed in another game or another turn.
    std::uint32_t firma;
};

#endif
