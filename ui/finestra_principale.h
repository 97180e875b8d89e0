// The main window: its class, its window procedure with the menu commands
// and the tournament loop, and the texts of its message boxes.
//
// The match `game`, the sprite sheet `sfondo` and the log are defined beside
// WinMain, in the program's one list of static objects; everything else the
// window needs lives here, so that the window can also be built and driven by
// a test program.
#ifndef VORANDEL_FINESTRA_PRINCIPALE_H
#define VORANDEL_FINESTRA_PRINCIPALE_H

#include <windows.h>

#include "pannello.h"
#include "partita.h"
#include "regia.h"

// One message box: its text and its caption.
struct voce_messaggio {
    char msg[1000];
    char titolo[100];
};

extern char MainName[20];
extern specchietto* infoWin;
extern voce_messaggio messaggio[10];

LRESULT CALLBACK MainProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

// Registers the main window's class on `hInst`; 0 when that fails.
ATOM registra_classe();
// Creates the main window, hidden; null when that fails.
HWND crea_finestra();
// The default players (two humans, skill 1), the first game and the info
// panel beside the board.
void prepara_partita(HWND hWnd);

#endif
