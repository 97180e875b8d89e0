// The presence of a running copy of the game, for other programs and other
// copies: named mutexes that the game creates at start-up and holds for its
// whole run (Windows closes them when the game ends, however it ends).
//
//   "Global\Vorandel32 gioco <folder>"  the folder of the running exe: the
//       installer and the uninstaller refuse while it exists (a read-only
//       exe, or one another program holds open, cannot pass for a running
//       game);
//   "Global\Vorandel32 log <folder>"  the folder where the log is written,
//       the current one: a second copy that finds it leaves that log alone.
// (In the global namespace: an installer run by another user or elevated
// sees them too, and so does one under Wine, which keeps the two apart.)
//
// A folder is named by its identity, so that every path to it gives one
// name: a second drive letter for the same disk, a symbolic link, another
// letter case. The identity is the volume's serial number and the folder's
// file index, "id SSSSSSSS IIIIIIII IIIIIIII" (eight upper-case hex digits
// each: the serial, then the index's high and low halves). Where the folder
// has none (the call fails, or the index is 0, as on some network shares),
// its name is its full long path in lower case with '/' for '\' (a mutex's
// name may hold no '\'), cut to its last 200 characters. The path's name is
// the only one earlier installers know: the game holds it too, and the log's
// path name (the folder's name, then "/voran32.log") is checked as well, for
// earlier copies of the game. The installer's script (cmake/nsis) makes the
// folder's names the same way.
#ifndef VORANDEL_PRESENZA_H
#define VORANDEL_PRESENZA_H

#include <windows.h>

#include <fstream>
#include <string>

// The name of the mutex for PATH, after PREFIX ("Global\Vorandel32 gioco ").
std::wstring nome_presenza(const wchar_t* prefisso, std::wstring percorso);

// The identity of the folder FOLDER, "id SSSSSSSS IIIIIIII IIIIIIII", or
// an empty string when it has none.
std::wstring identita_cartella(const std::wstring& cartella);

// The name of the mutex for the folder FOLDER after PREFIX: by its identity,
// or by its path where it has none.
std::wstring nome_cartella(const wchar_t* prefisso, const std::wstring& cartella);

// The mutexes of the exe's folder, by its identity and by its path (either
// is nullptr when it could not be created, and the first when the folder
// has no identity).
struct presenza_gioco {
    HANDLE per_identita = nullptr;
    HANDLE per_percorso = nullptr;
};

// Creates the mutexes of the exe's folder and returns them.
presenza_gioco annuncia_presenza();

// The log "voran32.log" in the current folder, created or truncated. When
// any of its mutexes is not a new one (another copy of the game writes that
// file, or the mutex could not be made or opened), a closed stream instead:
// this copy writes no log, holds none of the log's mutexes, and the first
// copy's log stays whole.
std::ofstream apri_log();

#endif
