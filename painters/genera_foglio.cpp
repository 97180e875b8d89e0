// Paints the sprite sheet "Tutto261.dib": the wooden board with its
// playable cells, the start and goal corners in the players' colours, the
// compass-rose block in the middle, and the two tokens with their masks.
//
//   genera_foglio OUTPUT
//
// The output is a bottom-up, 24-bit bitmap of FOGLIO_LARGHEZZA by
// FOGLIO_ALTEZZA pixels without a colour table, the same bytes on every run.
// Where the board picture and the tokens go, and where the cells lie on the
// board, is the game's own geometry (geometria_foglio.h), so the sheet fits
// the drawing by construction. The painting below works in rows from the
// top (row FOGLIO_ALTEZZA - 1 - r from the bottom).
//
// The painting is in foglio_plancia.cpp (the board) and foglio_pedine.cpp
// (the tokens), with the tools they share in foglio_pittura.cpp.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "file_dipinto.h"
#include "foglio.h"

namespace {

std::uint8_t byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0l, 255l)); }

std::vector<std::uint8_t> codifica(foglio& f) {
    const std::uint32_t riga = (FOGLIO_LARGHEZZA * 3 + 3) / 4 * 4;
    const std::uint32_t pixel = riga * FOGLIO_ALTEZZA;
    std::vector<std::uint8_t> o;
    o.push_back('B');
    o.push_back('M');
    metti32(o, 54 + pixel);
    metti32(o, 0);
    metti32(o, 54);
    metti32(o, 40);
    metti32(o, FOGLIO_LARGHEZZA);
    metti32(o, FOGLIO_ALTEZZA);
    metti16(o, 1);
    metti16(o, 24);
    metti32(o, 0);  // BI_RGB
    metti32(o, pixel);
    metti32(o, 2835);
    metti32(o, 2835);
    metti32(o, 0);  // no colour table
    metti32(o, 0);
    for (int r = 0; r < FOGLIO_ALTEZZA; r++) {  // bottom row first
        int riga_alto = FOGLIO_ALTEZZA - 1 - r;
        std::size_t inizio = o.size();
        for (int x = 0; x < FOGLIO_LARGHEZZA; x++) {
            const colore& c = f.at(x, riga_alto);
            o.push_back(byte(c.b));
            o.push_back(byte(c.g));
            o.push_back(byte(c.r));
        }
        while (o.size() - inizio < riga) o.push_back(0);
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const char* uscita = file_da_dipingere(argc, argv, "genera_foglio OUTPUT");
    if (uscita == nullptr) return 2;
    foglio f;
    dipingi_plancia(f);
    dipingi_pedina(f, ULTIMA_FILA, GIALLO, colore{104, 70, 4});  // the first player races to the last column
    dipingi_pedina(f, PRIMA_FILA, ROSSO, colore{70, 8, 12});
    return scrivi_file(uscita, codifica(f));
}

