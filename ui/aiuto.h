// "Help topics": which way the manual opens, and opening it.
//
// The manual ships twice: as the help file "Vorandel.hlp", which the Windows
// Help engine shows, and as HTML pages in the folder "manuale" beside the
// game, first page "index.html". Windows 95 to XP have the Help engine, and
// so has Wine; Windows Vista and later keep only a stub of it that says this
// kind of Help is not supported, so there the pages open in the browser.
//
// Which Windows it is comes from what its kernel32 exports, not from the
// version it reports: in "Windows XP compatibility mode" Windows 10 reports
// 5.1, but it still exports the functions that came with Vista. Wine exports
// them too, whatever version a prefix reports, and has a Help engine of its
// own: Wine is recognised first. The manual's path is built and opened
// with the wide-character calls, so that a folder whose name has letters
// outside the ANSI code page (a Greek or Cyrillic user name) is found.
#ifndef VORANDEL_AIUTO_H
#define VORANDEL_AIUTO_H

#include <windows.h>

// The two ways of opening the manual.
enum e_via_aiuto {
    VIA_WINHELP = 0,  // WinHelpA on "Vorandel.hlp"
    VIA_BROWSER = 1,  // the HTML manual in the user's browser
};

// The rule, from its facts alone: whether the Windows is Wine, whether it
// is Vista or later (it has no Help engine), whether the HTML manual is
// beside the game. The browser only where the Help engine is missing and
// the pages are there.
e_via_aiuto via_aiuto(bool wine, bool da_vista, bool manuale_html);

// The facts as this computer gives them.
bool sotto_wine();  // ntdll exports wine_get_version
bool da_vista();    // kernel32 exports GetTickCount64, which came with Vista
// The full path of the manual's first page, "manuale\index.html" in the
// game's folder, into `pagina` (`dim` characters); 0 when it does not fit.
int pagina_manuale(wchar_t* pagina, unsigned dim);
// Whether `pagina` is an existing file (not a folder).
bool esiste_file(const wchar_t* pagina);

// Opens the manual the chosen way. The browser is told to open `pagina`;
// when it cannot be started, a box names the folder that holds the pages
// (where the browser's way is chosen, the Help engine is only a stub).
// Returns 1 when the way's call succeeded, 0 otherwise.
int mostra_manuale(HWND hWnd, e_via_aiuto via, const wchar_t* pagina);

// "Help topics": gathers the facts, applies the rule, opens the manual.
int apri_aiuto(HWND hWnd);

#endif
