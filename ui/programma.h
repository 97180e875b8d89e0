// The program's instance handle, stored by WinMain as its first step; the
// window classes and the dialogs are registered and loaded on it.
//
// The program's other objects are declared with what they are: the log
// `logfile` in comune.h, the sprite sheet `sfondo` in bitmap.h and the match
// `game` in partita.h. The game defines all four together in main.cpp, beside
// WinMain; each tool and test program defines those it uses.
#ifndef VORANDEL_PROGRAMMA_H
#define VORANDEL_PROGRAMMA_H

#include <windows.h>

extern HINSTANCE hInst;

#endif
