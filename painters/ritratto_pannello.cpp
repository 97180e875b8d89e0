// Draws the info panel as it stands late in a tournament, through the
// panel's own window and window procedure, and writes it as a 24-bit bitmap
// file: the picture of the panel in the manual. The tallies and the balance
// are fixed, so every run writes the same picture.
//
//   pannello OUTPUT.bmp
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "programma.h"
#include "tela.h"
#include "pannello.h"

std::ofstream logfile("voran32.log");
HINSTANCE hInst;

namespace {

// Hands every waiting message to its window, so that the panel takes in
// what was posted to it and paints.
void smaltisci() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pannello OUTPUT.bmp\n");
        return 2;
    }
    hInst = GetModuleHandleA(nullptr);

    // A stand-in for the main window: black, like the game's, and large
    // enough to hold the panel where the game puts it.
    HWND principale = finestra_principale_finta("pannello", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 700, 400);
    if (principale == nullptr) {
        std::fprintf(stderr, "pannello: cannot create a window\n");
        return 1;
    }
    specchietto info(principale);
    HWND pannello = info.finestra();
    if (pannello == nullptr) {
        std::fprintf(stderr, "pannello: the info panel was not created\n");
        return 1;
    }

    // Thirteen games of fifteen played: six won by Player 1, four drawn,
    // three won by Player 2; Player 1 is nearer its goal in the game on the
    // board.
    info.nuovo_torneo(PARTITE_TORNEO);
    for (int i = 0; i < 6; i++) info.vittoria(0);
    for (int i = 0; i < 4; i++) info.patta();
    for (int i = 0; i < 3; i++) info.vittoria(1);
    info.aggiorna1(64);
    smaltisci();
    RedrawWindow(pannello, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    smaltisci();

    RECT r;
    GetWindowRect(pannello, &r);
    const int larghezza = r.right - r.left, altezza = r.bottom - r.top;
    tela quadro(larghezza, altezza);
    HDC finestra = GetWindowDC(pannello);
    BitBlt(quadro.hdc(), 0, 0, larghezza, altezza, finestra, 0, 0, SRCCOPY);
    ReleaseDC(pannello, finestra);

    bool ok = quadro.salva(argv[1]);
    if (!ok) std::fprintf(stderr, "pannello: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
