// Vorandel 32: the program's static objects and its entry point.
//
// The game's presence, the log, the sprite sheet and the match are built in
// this order before WinMain runs, and destroyed in the reverse order at exit
// (the match has nothing to release, the presence is Windows' to close); they
// are defined here, in one place, so that the order holds. The instance
// handle is stored by WinMain as its first step.
//
// `presenza` holds the named mutexes of the exe's folder (by its identity
// and by its path) for the whole run, by which the installer and the
// uninstaller see that the game is running (presenza.h). The log is created
// or truncated, except while another copy of the game writes the same file
// (through whatever path): then this copy writes no log.
#include <windows.h>
#include <objbase.h>

#include <fstream>

#include "bitmap.h"
#include "finestra_principale.h"
#include "partita.h"
#include "presenza.h"
#include "programma.h"

presenza_gioco presenza = annuncia_presenza();
std::ofstream logfile = apri_log();
bitmap sfondo("Tutto261.dib");
partita game;
HINSTANCE hInst = nullptr;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    hInst = hInstance;
    logfile << "INIZIO!\n";
    logfile.flush();

    if (registra_classe() == 0) return 0;
    // Without its sprite sheet the game has nothing to show: it ends silently.
    if (!sfondo.esiste()) return 0;
    // COM, single-threaded, for the objects a screen reader asks the
    // windows for.
    const bool com = SUCCEEDED(CoInitialize(nullptr));

    HWND hWnd = crea_finestra();
    if (hWnd == nullptr) {
        logfile << "niente finestra!\n";
        logfile.flush();
        return 0;
    }
    prepara_partita(hWnd);
    ShowWindow(hWnd, SW_SHOWMAXIMIZED);
    UpdateWindow(hWnd);

    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (com) CoUninitialize();
    return static_cast<int>(msg.wParam);
}
