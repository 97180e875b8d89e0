// The sprite sheet and the match of the main window's test program, built
// like the game's own: the sheet from the current directory (the test runs in
// a folder that holds a copy of it), the log first (in the test support).
#include "bitmap.h"
#include "partita.h"

bitmap sfondo("Tutto261.dib");
partita game;
