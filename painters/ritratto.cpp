// Draws a game in progress through the game's own drawing code into a
// memory bitmap and writes it as a 24-bit bitmap file: the picture of the
// board that the documentation shows.
//
//   ritratto OUTPUT.bmp
//
// Like the game, it reads the sprite sheet "Tutto261.dib" from the current
// directory. The deal and the position are fixed, so every run writes the
// same picture.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "bitmap.h"
#include "estrazioni.h"
#include "geometria.h"
#include "ispettori.h"
#include "partita.h"
#include "programma.h"
#include "tela.h"
#include "pannello.h"

std::ofstream logfile("voran32.log");
bitmap sfondo("Tutto261.dib");
HINSTANCE hInst;

namespace {

// The area drawn: the board with the black of the window around it, as
// wide on the right and at the bottom as on the left and at the top.
constexpr int LARGHEZZA = PLANCIA_DESTRA + PLANCIA_SINISTRA;
constexpr int ALTEZZA = PLANCIA_BASSO + PLANCIA_ALTO;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ritratto OUTPUT.bmp\n");
        return 2;
    }
    if (!sfondo.esiste()) {
        std::fprintf(stderr, "ritratto: cannot load Tutto261.dib (see voran32.log)\n");
        return 1;
    }
    hInst = GetModuleHandleA(nullptr);

    // A hidden main window for the info panel, which receives the balance.
    HWND principale = finestra_principale_finta("ritratto", WS_OVERLAPPEDWINDOW, nullptr, 800, 600);
    specchietto info(principale);

    // A fixed deal; player 1 racing down the left, player 2 three steps out,
    // player 1 to move with the pointer over a target.
    estrazioni_fisse mazzo(20261207);
    partita game;
    game.ricomincia(principale);
    partita_ispettore ispettore{game};
    ispettore.posiziona(3, 4, 6, 3, 0);
    if (ispettore.n_lecite() > 0) ispettore.attuale() = ispettore.n_lecite() - 1;

    tela quadro(LARGHEZZA, ALTEZZA);
    RECT tutto = {0, 0, LARGHEZZA, ALTEZZA};
    FillRect(quadro.hdc(), &tutto, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    game.disegna(quadro.hdc(), tutto, info);

    bool ok = quadro.salva(argv[1]);
    if (!ok) std::fprintf(stderr, "ritratto: cannot write %s\n", argv[1]);
    DestroyWindow(principale);
    return ok ? 0 : 1;
}
