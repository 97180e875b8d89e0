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

// The pen, brush, font and bitmap selected into a device context.
struct oggetti_contesto {
    HGDIOBJ penna, pennello, font, bitmap;
};
inline oggetti_contesto oggetti_di(HDC hdc) {
    return {GetCurrentObject(hdc, OBJ_PEN), GetCurrentObject(hdc, OBJ_BRUSH), GetCurrentObject(hdc, OBJ_FONT),
            GetCurrentObject(hdc, OBJ_BITMAP)};
}
// Whether `hdc` holds the objects it held before a drawing; a failure names
// the ones that changed.
inline ::testing::AssertionResult stessi_oggetti(HDC hdc, const oggetti_contesto& prima) {
    const oggetti_contesto dopo = oggetti_di(hdc);
    std::string cambiati;
    if (dopo.penna != prima.penna) cambiati += " pen";
    if (dopo.pennello != prima.pennello) cambiati += " brush";
    if (dopo.font != prima.font) cambiati += " font";
    if (dopo.bitmap != prima.bitmap) cambiati += " bitmap";
    if (cambiati.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "left selected in the context:" << cambiati;
}
// A pen, a brush and a font of a test's own, selected into `hdc` for as long
// as it lives, so that a drawing that ends by selecting a stock object
// instead of what it found is caught too.
class oggetti_propri {
public:
    explicit oggetti_propri(HDC hdc)
        : dc(hdc),
          penna(CreatePen(PS_DOT, 1, RGB(1, 2, 3))),
          pennello(CreateSolidBrush(RGB(4, 5, 6))),
          font(CreateFontA(11, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Courier New")),
          vecchi{SelectObject(hdc, penna), SelectObject(hdc, pennello), SelectObject(hdc, font)} {}
    ~oggetti_propri() {
        for (HGDIOBJ v : vecchi) SelectObject(dc, v);
        DeleteObject(penna);
        DeleteObject(pennello);
        DeleteObject(font);
    }
    oggetti_propri(const oggetti_propri&) = delete;
    oggetti_propri& operator=(const oggetti_propri&) = delete;

private:
    HDC dc;
    HPEN penna;
    HBRUSH pennello;
    HFONT font;
    HGDIOBJ vecchi[3];
};

// PIXEL(where, x, y, colour): a failure names this line, the place, the
// colour expected and the colour found; the test goes on. One statement,
// safe under an unbraced if.
#define PIXEL(dove, x, y, atteso)                                                    \
    do {                                                                             \
        EXPECT_TRUE(pixel_uguale((x), (y), colore_di((dove), (x), (y)), (atteso))); \
    } while (0)
#endif

#endif
