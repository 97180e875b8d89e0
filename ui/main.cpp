// Vorandel 32: the program's static objects and its entry point.
//
// The log, the sprite sheet and the match are built in this order before
// WinMain runs, and destroyed in the reverse order at exit (the match has
// nothing to release); they are defined here, in one place, so that the
// order holds. The instance handle is stored by WinMain as its first step.
#include <windows.h>

#include <fstream>

#include "bitmap.h"
#include "finestra_principale.h"
#include "partita.h"
#include "programma.h"

std::ofstream logfile("voran32.log");
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

    HWND hWnd = crea_finestra();
    if (hWnd == nullptr) {
        logfile << "niente finestra!\n";
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
    return static_cast<int>(msg.wParam);
}
