// Where the board stands in the main window, in client pixels. Plain
// numbers without windows.h, so that the program that paints the sprite
// sheet at build time lays its cells out with the same figures as the game
// (see ui/geometria_foglio.h for the sheet itself).
#ifndef VORANDEL_GEOMETRIA_H
#define VORANDEL_GEOMETRIA_H

#include "dimensioni.h"

// The board area `mio_rect`: left, top, right and bottom (exclusive).
inline constexpr int PLANCIA_SINISTRA = 10;
inline constexpr int PLANCIA_ALTO = 10;
inline constexpr int PLANCIA_DESTRA = 470;
inline constexpr int PLANCIA_BASSO = 445;
// Cell (1, 1) begins this far from the area's top left corner (`offset`).
inline constexpr int SCARTO_X = 15;
inline constexpr int SCARTO_Y = 12;
// Pitch of the cell rectangles: cell (x, y) is 53 by 52 and begins at
// 53 (x - 1) and 52 (y - 1) from cell (1, 1).
inline constexpr int LARGHEZZA_CASELLA = 53;
inline constexpr int ALTEZZA_CASELLA = 52;

// A token's sprite, which sits at the left of its cell.
inline constexpr int PEDINA_LARGHEZZA = 35;
inline constexpr int PEDINA_ALTEZZA = 48;

// The playable columns and rows lie inside the area, and a token inside a
// cell.
static_assert(SCARTO_X + LATO_GIOCABILE * LARGHEZZA_CASELLA <= PLANCIA_DESTRA - PLANCIA_SINISTRA,
              "cells wider than the board");
static_assert(SCARTO_Y + LATO_GIOCABILE * ALTEZZA_CASELLA <= PLANCIA_BASSO - PLANCIA_ALTO,
              "cells higher than the board");
static_assert(PEDINA_LARGHEZZA <= LARGHEZZA_CASELLA && PEDINA_ALTEZZA <= ALTEZZA_CASELLA, "token larger than a cell");

#endif
