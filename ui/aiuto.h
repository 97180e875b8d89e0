// "Help topics": which way the manual opens, and opening it.
//
// The manual ships twice: as the help file "Vorandel.hlp", which the Windows
// Help engine shows, and as HTML pages in the folder "manuale" beside the
// game, first page "index.html". Windows 95 to XP have the Help engine, and
// so has Wine; Windows Vista and later keep only a stub of it that says this
// kind of Help is not supported, so there the pages open in the browser.
#ifndef VORANDEL_AIUTO_H
#define VORANDEL_AIUTO_H

#include <windows.h>

// The two ways of opening the manual.
enum e_via_aiuto {
    VIA_WINHELP = 0,  // WinHelpA on "Vorandel.hlp"
    VIA_BROWSER = 1,  // the HTML manual in the user's browser
};

// The Windows version (its major number) from which on the Help engine is
// missing: Vista is 6.0.
inline constexpr unsigned VERSIONE_SENZA_WINHELP = 6;

// The rule, from its facts alone: the major number of the Windows version,
// whether the Windows is Wine, whether the HTML manual is beside the game.
// The browser only where the Help engine is missing and the pages are there.
e_via_aiuto via_aiuto(unsigned versione, bool wine, bool manuale_html);

// The facts as this computer gives them.
unsigned versione_windows();  // the major number, 4 for Windows 95
bool sotto_wine();            // ntdll exports wine_get_version
// The full path of the manual's first page, "manuale\index.html" in the
// game's folder, into `pagina` (`dim` bytes); 0 when it does not fit.
int pagina_manuale(char* pagina, unsigned dim);
// Whether `pagina` is an existing file (not a folder).
bool esiste_file(const char* pagina);

// Opens the manual the chosen way. The browser is told to open `pagina`;
// when it cannot be started, the help file is asked for as before. Returns 1
// when the way's call succeeded, 0 otherwise.
int mostra_manuale(HWND hWnd, e_via_aiuto via, const char* pagina);

// "Help topics": gathers the facts, applies the rule, opens the manual.
int apri_aiuto(HWND hWnd);

#endif
