// What the whole game shares: the players' kinds, the custom window
// messages, the screen geometry of the board and the diagnostic log.
#ifndef VORANDEL_COMUNE_H
#define VORANDEL_COMUNE_H

#include <windows.h>

#include <fstream>

#include "geometria.h"

// The kind of a player. FERMO is what partita::stato answers while no game
// is in progress; it is never a player's kind.
enum e_tipo : int { UMANO = 0, COMPUTER = 1, FERMO = -1 };

// Custom window messages, posted with PostMessageA (but the panel is sent a
// tournament's start, results and end, which a box's loop could drop if
// posted: see regia.h).
//
// To the main window, from the match: the end of a game (MSG_VITTORIA with
// the winner, 0 or 1, in wParam; MSG_BLOCCO and MSG_PATTA with 0), each
// with the number of the game it ends in lParam (partita::numero_partita),
// and MSG_MOSSA with the index of the chosen move (-1: a pass) in wParam and
// the number of the turn it was made for in lParam (partita::firma). The
// main window also posts itself the "New game" command between the games of
// a tournament, with the number of the game just ended in lParam, and
// MSG_FINE_TORNEO after the last one; the panel's stop button posts that too.
// MSG_FINE_TORNEO carries the number of the tournament it ends in lParam.
//
// To the info panel, sent by specchietto's operations: MSG_VITTORIA (the
// winner in wParam), MSG_PATTA, MSG_NUOVO_TORNEO (the number of games) and
// MSG_FINE_TORNEO, each with the tournament's number in lParam; and
// MSG_PERCENTO (the balance, 0 to 100, lParam 0), posted by each paint.
// MSG_AGGIORNA goes from the Options dialog to itself.
#define MSG_VITTORIA (WM_USER + 20)
#define MSG_BLOCCO (WM_USER + 21)
#define MSG_PATTA (WM_USER + 22)
#define MSG_AGGIORNA (WM_USER + 23)
#define MSG_FINE_TORNEO (WM_USER + 24)
#define MSG_PERCENTO (WM_USER + 25)
#define MSG_NUOVO_TORNEO (WM_USER + 26)
#define MSG_MOSSA (WM_USER + 199)

// Screen geometry, in client coordinates of the main window (the figures
// are in geometria.h). The board area; cell (1, 1) begins `offset` from its
// top left corner.
inline const RECT mio_rect = {PLANCIA_SINISTRA, PLANCIA_ALTO, PLANCIA_DESTRA, PLANCIA_BASSO};
inline const POINT offset = {SCARTO_X, SCARTO_Y};
// An area outside the board, invalidated after every move so that a paint
// runs and the race balance reaches the info panel again.
inline const RECT notizie = {550, 50, 600, 90};
// The rectangle of cell (col, riga): 53 by 52, right and bottom exclusive.
inline void rettangolo_casella(RECT* r, int col, int riga) {
    int sx = mio_rect.left + offset.x + LARGHEZZA_CASELLA * (col - PRIMA_FILA);
    int su = mio_rect.top + offset.y + ALTEZZA_CASELLA * (riga - PRIMA_FILA);
    SetRect(r, sx, su, sx + LARGHEZZA_CASELLA, su + ALTEZZA_CASELLA);
}

// The diagnostic log "voran32.log": defined by each program, first among its
// static objects.
extern std::ofstream logfile;

#endif
