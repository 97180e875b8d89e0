// A sprite-sheet file made up in memory, for the loader's tests and the
// fuzzer's seeds: the two headers, a colour table and pixel data, every
// field settable, so that each case changes one thing. By default it is a
// valid 24-bit sheet of the game's size without a colour table.
#ifndef VORANDEL_FOGLIO_FINTO_H
#define VORANDEL_FOGLIO_FINTO_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometria_foglio.h"

struct foglio_finto {
    std::int32_t larghezza = FOGLIO_LARGHEZZA, altezza = FOGLIO_ALTEZZA;
    std::uint32_t bit = 24, colori = 0, compressione = 0;
    std::uint32_t header = 40;    // the info header's stated size
    std::uint32_t off_bits = 0;   // the file header's pixel offset; 0: right after the colour table
    long pixel = -1;              // bytes of pixel data; -1: exactly what the dimensions need
    std::size_t tronca = 0;       // the file cut to this many bytes; 0: whole

    // The bytes of pixel data that the dimensions need: rows padded to whole
    // 32-bit words, a top-down sheet as many rows as a bottom-up one.
    std::size_t richiesti() const {
        const std::size_t l = larghezza < 0 ? 0 : static_cast<std::size_t>(larghezza);
        const std::size_t h = altezza < 0 ? 0 - static_cast<std::size_t>(altezza) : static_cast<std::size_t>(altezza);
        return (l * bit + 31) / 32 * 4 * h;
    }

    // The file. Colour entries and pixel bytes are numbered, so that a
    // reader that takes them from the wrong offset is found out.
    std::vector<unsigned char> byte() const {
        const std::size_t n_pixel = pixel >= 0 ? static_cast<std::size_t>(pixel) : richiesti();
        const std::size_t inizio = 54 + 4 * static_cast<std::size_t>(colori);
        std::vector<unsigned char> o(inizio + n_pixel);
        auto metti = [&o](std::size_t pos, std::uint32_t v, int n) {
            for (int i = 0; i < n; i++) o[pos + i] = static_cast<unsigned char>(v >> (8 * i));
        };
        o[0] = 'B';
        o[1] = 'M';
        metti(2, static_cast<std::uint32_t>(o.size()), 4);
        metti(10, off_bits != 0 ? off_bits : static_cast<std::uint32_t>(inizio), 4);
        metti(14, header, 4);
        metti(18, static_cast<std::uint32_t>(larghezza), 4);
        metti(22, static_cast<std::uint32_t>(altezza), 4);
        metti(26, 1, 2);
        metti(28, bit, 2);
        metti(30, compressione, 4);
        metti(46, colori, 4);
        for (std::size_t i = 0; i < colori; i++) metti(54 + 4 * i, static_cast<std::uint32_t>(i * 0x010203 + 1), 3);
        for (std::size_t i = inizio; i < o.size(); i++) o[i] = static_cast<unsigned char>(i * 7 + 3);
        if (tronca != 0 && tronca < o.size()) o.resize(tronca);
        return o;
    }
};

#endif
