// The board as a screen reader hears it: the main window's accessible
// object (a table of the 64 playable cells and the announcer), the focus
// that follows the frame the keys move, and the announcements after each
// move and each end. The words are the core's (rules/parole.h), read from
// the match `game` only when a reader asks: nothing here runs in a paint.
#ifndef VORANDEL_PLANCIA_ACCESSIBILE_H
#define VORANDEL_PLANCIA_ACCESSIBILE_H

#include <windows.h>

#include <string>

#include "accessibile.h"

// The board's object for WM_GETOBJECT on main window hWnd.
const fonte& fonte_plancia(HWND hWnd);
// The child that has the focus: the framed target's cell, or the board
// itself (CHILDID_SELF) when nothing is framed.
long figlio_a_fuoco();
// Raises EVENT_OBJECT_FOCUS for that child, once the state has changed.
void segnala_fuoco(HWND hWnd);
// Makes `frase` the announcer's name and raises EVENT_SYSTEM_ALERT for it,
// which screen readers speak even while a cell has the focus.
void annuncia(HWND hWnd, const std::string& frase);
// The announcer's latest sentence.
const std::string& ultimo_annuncio();

#endif
