// Posts that the game's progress relies on: a computer's move, the end of a
// game, a tournament's next game and its end.
//
// Windows refuses a post when the window's queue is full (10,000 messages,
// which another program can fill by posting). Such a post is tried again a
// few times; one that is still refused is given up, and counted, never
// waited for: the game's own state then says what is missing, and the main
// window's timer puts it back into motion (regia::sveglia). A thread never
// loops on a post without bound, since a new game and new options wait for
// the workers without pumping messages.
#ifndef VORANDEL_POSTA_H
#define VORANDEL_POSTA_H

#include <windows.h>

#include <cstdint>

// Tries in all for one post, and the pause between two tries that a worker
// makes (the window's own thread, which empties the queue, makes none).
inline constexpr int TENTATIVI_POST = 4;
inline constexpr DWORD PAUSA_TRA_TENTATIVI_MS = 20;

// PostMessageA, tried up to TENTATIVI_POST times, `pausa` ms apart; false
// when every try was refused (the post is then counted, see below). Safe on
// any thread; it writes no log, so that a worker never touches the log the
// window's thread writes.
bool posta_con_tentativi(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam, DWORD pausa = 0);

// The posts given up so far, by every thread of the program.
std::uint32_t post_rinunciati();

#endif
