// Fuzzing the examination of sprite-sheet files: whatever the bytes, it
// answers without reading outside them, and a sheet it accepts really holds
// every pixel its header describes, so the drawing can take its regions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "bitmap.h"

// The loader writes its refusals here; a fuzz run keeps no log.
std::ofstream logfile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* byte, std::size_t n) {
    esame_foglio e = esamina_foglio(byte, n);
    if (!e.valido) {
        if (e.motivo.empty()) std::abort();
        return 0;
    }
    if (!e.motivo.empty() || e.inizio != 54 + 4 * e.colori || e.inizio > n || e.richiesti > n - e.inizio)
        std::abort();

    std::int32_t larghezza, altezza;
    std::uint16_t bit;
    std::memcpy(&larghezza, byte + 18, 4);
    std::memcpy(&altezza, byte + 22, 4);
    std::memcpy(&bit, byte + 28, 2);
    if (larghezza < FOGLIO_LARGHEZZA || altezza < FOGLIO_ALTEZZA) std::abort();

    // Touch the first and last byte of every row that GDI reads, and the
    // corners of the regions the drawing copies: any of them outside the
    // input is caught by AddressSanitizer.
    const std::size_t riga = (static_cast<std::size_t>(larghezza) * bit + 31) / 32 * 4;
    if (riga * static_cast<std::size_t>(altezza) != e.richiesti) std::abort();
    const std::uint8_t* pixel = byte + e.inizio;
    unsigned somma = 0;
    for (std::int32_t r = 0; r < altezza; r++) somma += pixel[riga * r] + pixel[riga * r + riga - 1];
    const int angoli[][2] = {
        {QUADRO_COLONNA, QUADRO_RIGA},
        {QUADRO_COLONNA + QUADRO_LARGHEZZA - 1, QUADRO_RIGA + QUADRO_ALTEZZA - 1},
        {colonna_pedina(1), PEDINA_RIGA_FIGURA},
        {colonna_pedina(8) + PEDINA_LARGHEZZA - 1, PEDINA_RIGA_MASCHERA + PEDINA_ALTEZZA - 1},
    };
    for (const auto& a : angoli) somma += pixel[riga * a[1] + static_cast<std::size_t>(a[0]) * bit / 8];
    return static_cast<int>(somma & 0);
}
