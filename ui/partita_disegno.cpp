// Drawing the match into the main window: the board picture from the sprite
// sheet, the red arrows of the ordinary cells, the two tokens as masked
// sprites and the white frame of the highlighted target; every paint also
// sends the race balance to the info panel. In Windows' high-contrast mode
// the frame is three pixels wide in the highlight colour (contrasto.h).
//
// Where the pieces lie in the sheet, and where arrows and tokens go in the
// window, is written in geometria_foglio.h, which the sheet's painter shares.
//
// The drawing objects (the red pen, the tokens' mask context and bitmap) are
// made once, on first use, and live for the whole run; whatever is selected
// into a device context is selected out again before the drawing returns,
// so the caller gets its context back as it was.
#include <algorithm>

#include "bitmap.h"
#include "comune.h"
#include "contrasto.h"
#include "geometria_foglio.h"
#include "partita.h"
#include "pedina32.h"
#include "plancia32.h"
#include "pannello.h"

namespace {

// The frame's width in high-contrast mode, in pixels.
constexpr int SPESSORE_CONTRASTO = 3;

// Copies a piece of the sheet, `l` by `h` from column `xs` and row `ys`
// counted from the bottom, to (`xd`, `yd`). The piece is first cut to the
// sheet, so that no pixel outside the sheet's block is ever asked for; the
// destination moves with the cut. A sheet that was not loaded draws nothing.
void copia_dal_foglio(HDC hdc, int xd, int yd, int l, int h, int xs, int ys, DWORD rop) {
    if (!sfondo.esiste()) return;
    const int larghezza = sfondo.binfo.bmiHeader.biWidth;
    const int altezza = sfondo.binfo.bmiHeader.biHeight;
    if (xs < 0) {
        xd -= xs;
        l += xs;
        xs = 0;
    }
    if (ys < 0) {  // cut at the bottom: the top stays where it is
        h += ys;
        ys = 0;
    }
    if (xs + l > larghezza) l = larghezza - xs;
    if (ys + h > altezza) {  // cut at the top: the destination's top moves down
        yd += ys + h - altezza;
        h = altezza - ys;
    }
    if (l <= 0 || h <= 0) return;
    StretchDIBits(hdc, xd, yd, l, h, xs, ys, l, h, sfondo.dati, reinterpret_cast<const BITMAPINFO*>(&sfondo.binfo),
                  DIB_RGB_COLORS, rop);
}

// The highlighted target's frame, just inside its rectangle: one white
// pixel, or in high-contrast mode three in the highlight colour.
void cornice(HDC hdc, RECT r) {
    if (!contrasto_elevato()) {
        FrameRect(hdc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    HBRUSH evidenza = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int k = 0; k < SPESSORE_CONTRASTO && r.right - r.left > 0 && r.bottom - r.top > 0; k++) {
        FrameRect(hdc, &r, evidenza);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

}  // namespace

bool contrasto_di_windows() {
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

bool (*contrasto_elevato)() = contrasto_di_windows;

int plancia::disegna(HDC hdc, RECT zona) const {
    static HPEN penna_rossa = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));

    RECT dentro;
    IntersectRect(&dentro, &zona, &mio_rect);
    if (IsRectEmpty(&dentro)) return 1;
    zona = dentro;
    const int xwidth = zona.right - zona.left;
    const int ywidth = zona.bottom - zona.top;

    // The board picture maps one to one onto mio_rect; a bottom-up blit
    // starts from the area's bottom row.
    copia_dal_foglio(hdc, zona.left, zona.top, xwidth, ywidth, colonna_nel_foglio(zona.left),
                     riga_nel_foglio(zona.bottom - 1), SRCCOPY);

    HGDIOBJ penna_prima = SelectObject(hdc, penna_rossa);

    // The cells whose rows and columns meet the area; the ring around the
    // playable cells (0 and LATO_PLANCIA - 1) holds no arrows, but stays a
    // valid index.
    constexpr int ULTIMO_INDICE = LATO_PLANCIA - 1;
    const int j0 =
        std::clamp(static_cast<int>((zona.left - mio_rect.left - offset.x) / LARGHEZZA_CASELLA + 1), 0, ULTIMO_INDICE);
    const int j1 = std::clamp(xwidth / LARGHEZZA_CASELLA + j0, 0, ULTIMO_INDICE);
    const int i0 =
        std::clamp(static_cast<int>((zona.top - mio_rect.top - offset.y) / ALTEZZA_CASELLA + 1), 0, ULTIMO_INDICE);
    const int i1 = std::clamp(ywidth / ALTEZZA_CASELLA + i0, 0, ULTIMO_INDICE);

    for (int i = i0; i <= i1; i++)
        for (int j = j0; j <= j1; j++) {
            const casella& c = matrice[j][i];
            if (c.cat != normale || c.frecce >= CASELLE_NORMALI) continue;
            const int xc = x_centro(j);
            const int yc = y_centro(i);
            for (int k = 0; k < FRECCE_PER_CASELLA; k++) {
                const int d = G_set_frecce[c.frecce][k];
                const int x_punta = xc + LUNGHEZZA_FRECCIA * G_direzioni[d][0];
                const int y_punta = yc + LUNGHEZZA_FRECCIA * G_direzioni[d][1];
                // The barbs point back, one direction either side of the opposite.
                const int* barba1 = G_direzioni[(d + N_DIREZIONI / 2 - 1) % N_DIREZIONI];
                const int* barba2 = G_direzioni[(d + N_DIREZIONI / 2 + 1) % N_DIREZIONI];
                MoveToEx(hdc, xc, yc, nullptr);
                LineTo(hdc, x_punta, y_punta);
                LineTo(hdc, x_punta + 3 * barba1[0], y_punta + 3 * barba1[1]);
                MoveToEx(hdc, x_punta, y_punta, nullptr);
                LineTo(hdc, x_punta + 3 * barba2[0], y_punta + 3 * barba2[1]);
            }
        }
    SelectObject(hdc, penna_prima);
    return 1;
}

int pedina::disegna(HDC hdc) const {
    // The mask goes through a monochrome bitmap shared by both tokens.
    static HDC temp_hdc = nullptr;
    static HBITMAP temp_bitmap = nullptr;
    if (temp_hdc == nullptr) {
        temp_hdc = CreateCompatibleDC(hdc);
        temp_bitmap = CreateCompatibleBitmap(temp_hdc, xwidth, ywidth);
    }

    const int x = x_pedina(static_cast<int>(posx));
    const int y = y_pedina(static_cast<int>(posy));
    const int sx = colonna_pedina(static_cast<int>(metax));

    HGDIOBJ bitmap_prima = SelectObject(temp_hdc, temp_bitmap);
    // The mask, inverted: the token becomes 0 and the ground 1.
    copia_dal_foglio(temp_hdc, 0, 0, xwidth, ywidth, sx, PEDINA_RIGA_MASCHERA, NOTSRCCOPY);
    // 0 bits take the text colour (black), 1 bits the background colour
    // (white): the token's place turns black and the rest stays.
    BitBlt(hdc, x, y, xwidth, ywidth, temp_hdc, 0, 0, SRCAND);
    // The picture's black ground leaves the board as it is.
    copia_dal_foglio(hdc, x, y, xwidth, ywidth, sx, PEDINA_RIGA_FIGURA, SRCPAINT);
    SelectObject(temp_hdc, bitmap_prima);
    return 1;
}

int partita::equilibrio() const {
    // The distances are held in single precision before the division, so
    // one diagonal step from the goal against three gives 74, not 75.
    const float d1 = static_cast<float>(ped[0].distanza());
    const float d2 = static_cast<float>(ped[1].distanza());
    // 50 when both tokens are equally far from their goals, 100 when the
    // first player's token stands on its own.
    const double somma = static_cast<double>(d1) + static_cast<double>(d2);
    if (somma <= 0) return 50;
    return std::clamp(static_cast<int>(100.0 * static_cast<double>(d2) / somma), 0, 100);
}

int partita::disegna(HDC hdc, RECT zona, specchietto& info) const {
    scacch.disegna(hdc, zona);
    // The tokens are drawn whole; the update region clips them.
    ped[0].disegna(hdc);
    ped[1].disegna(hdc);

    if (attuale >= 0 && attuale < n_lecite && attuale < MOSSE_MAX) cornice(hdc, lecita[attuale]);

    info.aggiorna1(equilibrio());
    return 1;
}
