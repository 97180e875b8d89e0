// Pixels in the tests: what the sprite sheet holds at a place, and under
// Windows the check of a drawn pixel, which reports the line of the check,
// the place, what was expected and what was found.
#ifndef VORANDEL_PIXEL_H
#define VORANDEL_PIXEL_H

#include <cstddef>
#include <cstdint>

#include "bitmap.h"
#include "geometria_foglio.h"

struct rgb {
    int r, g, b;
};
inline bool operator==(rgb a, rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(rgb a, rgb b) { return !(a == b); }

// The pixel of a loaded 24-bit sheet at `colonna` from the left and `riga`
// from the bottom.
inline rgb pixel_del_foglio(const bitmap& s, int colonna, int riga) {
    const std::size_t passo = (static_cast<std::size_t>(s.binfo.bmiHeader.biWidth) * 3 + 3) / 4 * 4;
    const unsigned char* p = s.dati + passo * static_cast<std::size_t>(riga) + 3 * static_cast<std::size_t>(colonna);
    return {p[2], p[1], p[0]};
}

// What the sheet's board picture shows at window pixel (X, Y) of the board
// area.
inline rgb pixel_del_quadro(const bitmap& s, int X, int Y) {
    return pixel_del_foglio(s, colonna_nel_foglio(X), riga_nel_foglio(Y));
}

#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

inline COLORREF colorref(rgb c) { return RGB(c.r, c.g, c.b); }

inline std::string testo_colore(COLORREF c) {
    char s[32];
    std::snprintf(s, sizeof s, "RGB(%d, %d, %d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}

inline ::testing::AssertionResult pixel_uguale(int x, int y, COLORREF trovato, COLORREF atteso) {
    if (trovato == atteso) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): expected " << testo_colore(atteso)
                                         << ", found " << testo_colore(trovato);
}

// What a window, a device context or a test's own surface (anything with
// at(x, y)) shows at (x, y).
inline COLORREF colore_di(HWND finestra, int x, int y) {
    HDC hdc = GetDC(finestra);
    COLORREF c = GetPixel(hdc, x, y);
    ReleaseDC(finestra, hdc);
    return c;
}
inline COLORREF colore_di(HDC hdc, int x, int y) { return GetPixel(hdc, x, y); }
template <typename S>
COLORREF colore_di(const S& superficie, int x, int y) {
    return superficie.at(x, y);
}

// PIXEL(where, x, y, colour): a failure names this line, the place, the
// colour expected and the colour found; the test goes on. One statement,
// safe under an unbraced if.
#define PIXEL(dove, x, y, atteso)                                                    \
    do {                                                                             \
        EXPECT_TRUE(pixel_uguale((x), (y), colore_di((dove), (x), (y)), (atteso))); \
    } while (0)
#endif

#endif
