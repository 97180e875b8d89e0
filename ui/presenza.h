// The presence of a running copy of the game, for other programs and other
// copies: named mutexes that the game creates at start-up and holds for its
// whole run (Windows closes them when the game ends, however it ends).
//
//   "Global\Vorandel32 gioco <folder>"  the folder of the running exe: the
//       installer and the uninstaller refuse while it exists (a read-only exe, or one
//       another program holds open, cannot pass for a running game);
//   "Global\Vorandel32 log <file>"  the log file being written: a second
//       copy that finds it leaves that log alone.
// (In the global namespace: an installer run by another user or elevated
// sees them too, and so does one under Wine, which keeps the two apart.)
//
// <folder> and <file> are full long paths in lower case with '/' for '\'
// (a mutex's name may hold no '\'), cut to their last 200 characters. The
// installer's script (cmake/nsis) makes the folder's name the same way.
#ifndef VORANDEL_PRESENZA_H
#define VORANDEL_PRESENZA_H

#include <windows.h>

#include <fstream>
#include <string>

// The name of the mutex for PATH, after PREFIX ("Global\Vorandel32 gioco ").
std::wstring nome_presenza(const wchar_t* prefisso, std::wstring percorso);

// Creates the mutex of the exe's folder and returns it (nullptr when it
// could not be created).
HANDLE annuncia_presenza();

// The log "voran32.log" in the current folder, created or truncated; when
// another copy of the game is writing that file, a closed stream instead:
// this copy writes no log, and the first copy's stays whole.
std::ofstream apri_log();

#endif
