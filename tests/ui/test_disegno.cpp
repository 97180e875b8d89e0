// Drawing the match with the real GDI: the board picture, the arrows, the
// masked tokens, the frame of the highlighted target and the balance sent
// to the info panel, read back pixel by pixel from a 24-bit memory bitmap.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "contrasto.h"
#include "estrazioni.h"
#include "finestra_prova.h"
#include "geometria_foglio.h"
#include "ispettori.h"
#include "partita.h"
#include "pixel.h"
#include "programma.h"
#include "pannello.h"

// The program's objects that the drawing and the panel use.
bitmap sfondo(VORANDEL_FOGLIO);
HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

const COLORREF ROSSO = RGB(255, 0, 0);
const COLORREF BIANCO = RGB(255, 255, 255);
const COLORREF SENTINELLA = RGB(0, 0, 255);

// A 24-bit top-down DIB section of the window's size in a memory DC,
// filled with the sentinel colour.
struct tela {
    static constexpr int L = 640, H = 480;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = nullptr;
    HGDIOBJ vecchia = nullptr;
    void* bit = nullptr;

    tela() {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), L, -H, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
        vecchia = SelectObject(dc, bmp);
        RECT r = {0, 0, L, H};
        HBRUSH b = CreateSolidBrush(SENTINELLA);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    ~tela() {
        SelectObject(dc, vecchia);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    tela(const tela&) = delete;
    tela& operator=(const tela&) = delete;
    COLORREF at(int x, int y) const {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(bit) + std::size_t(y) * ((L * 3 + 3) / 4 * 4) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
};

// A pixel of the sprite sheet, column from the left, row from the bottom.
COLORREF dal_foglio(int colonna, int riga_dal_basso) {
    return colorref(pixel_del_foglio(sfondo, colonna, riga_dal_basso));
}
// What the board picture shows at window pixel (X, Y).
COLORREF dalla_plancia(int X, int Y) { return colorref(pixel_del_quadro(sfondo, X, Y)); }

class Disegno : public testing::Test {
protected:
    static void SetUpTestSuite() {
        principale = CreateWindowExA(0, "STATIC", "Vorandel 32", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                     nullptr, hInst, nullptr);
        info = new specchietto(principale);
    }
    static void TearDownTestSuite() {
        delete info;
        DestroyWindow(principale);
    }

    void SetUp() override {
        ASSERT_EQ(sfondo.esiste(), 1) << "the sprite sheet " << VORANDEL_FOGLIO << " did not load";
        ASSERT_NE(info->finestra(), nullptr);
        finestra = finestra_prova();
        game.ricomincia(finestra);
        messaggi(finestra);
        percentuali();
    }
    void TearDown() override { DestroyWindow(finestra); }

    // Every balance figure posted to the panel since the last call.
    std::vector<int> percentuali() {
        std::vector<int> v;
        MSG m;
        while (PeekMessageA(&m, info->finestra(), MSG_PERCENTO, MSG_PERCENTO, PM_REMOVE)) {
            EXPECT_EQ(m.lParam, 0);
            v.push_back(static_cast<int>(m.wParam));
        }
        return v;
    }

    static HWND principale;
    static specchietto* info;
    // A fixed deal, the same on every run.
    estrazioni_fisse mazzo{1};
    HWND finestra = nullptr;
    partita game;
    partita_ispettore ispettore{game};
};
HWND Disegno::principale = nullptr;
specchietto* Disegno::info = nullptr;

TEST_F(Disegno, FrecceSoloSulleCaselleOrdinarie) {
    // The up arrow of a cell centred on (61, 54): the first cell, made an
    // ordinary one with the set {0, 1, 2}.
    plancia& p = ispettore.scacch();
    plancia_ispettore::cella(p, 1, 1).cat = normale;
    plancia_ispettore::cella(p, 1, 1).frecce = 0;
    tela t;
    p.disegna(t.dc, mio_rect);
    for (int y = 46; y <= 54; y++) PIXEL(t, 61, y, ROSSO);  // shaft to (61, 46)
    for (int k = 1; k <= 2; k++) {                                  // barbs to (64, 49) and (58, 49)
        PIXEL(t, 61 + k, 46 + k, ROSSO);
        PIXEL(t, 61 - k, 46 + k, ROSSO);
    }
    // LineTo leaves out the end points.
    PIXEL(t, 64, 49, dalla_plancia(64, 49));
    PIXEL(t, 58, 49, dalla_plancia(58, 49));
    PIXEL(t, 61, 45, dalla_plancia(61, 45));
    // Every arrow begins at its cell's centre; other cells show the picture.
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++) {
            int xc = x_centro(x), yc = y_centro(y);
            bool ordinaria = plancia_ispettore::cella(p, x, y).cat == normale;
            SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
            PIXEL(t, xc, yc, ordinaria ? ROSSO : dalla_plancia(xc, yc));
        }
    PIXEL(t, 9, 9, SENTINELLA);
}

TEST_F(Disegno, PedineMascherateSulQuadro) {
    ispettore.posiziona(5, 3, 8, 6, 0);
    tela senza, con;
    ispettore.scacch().disegna(senza.dc, mio_rect);
    game.disegna(con.dc, mio_rect, *info);
    for (int g = 0; g < 2; g++) {
        unsigned px, py;
        ispettore.ped(g).get_pos(&px, &py);
        SCOPED_TRACE(testing::Message() << "player " << g);
        int x = x_pedina(static_cast<int>(px)), y = y_pedina(static_cast<int>(py));
        int sx = colonna_pedina(g == 0 ? 8 : 1);  // the first player races to column 8
        // The token's picture where its mask is white, the ground elsewhere;
        // sprite row j is sheet row PEDINA_ALTEZZA - 1 - j above the piece's bottom.
        for (int j = 0; j < PEDINA_ALTEZZA; j++)
            for (int i = 0; i < PEDINA_LARGHEZZA; i++) {
                int su = PEDINA_ALTEZZA - 1 - j;
                bool sagoma = dal_foglio(sx + i, PEDINA_RIGA_MASCHERA + su) == BIANCO;
                PIXEL(con, x + i, y + j, sagoma ? dal_foglio(sx + i, PEDINA_RIGA_FIGURA + su) : senza.at(x + i, y + j));
            }
    }
}

TEST_F(Disegno, CorniceSoloDelBersaglioEvidenziato) {
    ispettore.posiziona(3, 3, 8, 1, 0);
    ASSERT_GT(ispettore.n_lecite(), 0);
    tela senza, con;
    ispettore.attuale() = -1;
    game.disegna(senza.dc, mio_rect, *info);
    ispettore.attuale() = 0;
    game.disegna(con.dc, mio_rect, *info);
    // A one-pixel white frame just inside the target's rectangle, and
    // nothing else changes; without a highlight, no frame at all.
    const RECT r = ispettore.lecita()[0];
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++) {
            bool dentro = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            bool bordo = dentro && (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1);
            PIXEL(con, x, y, bordo ? BIANCO : senza.at(x, y));
        }
    PIXEL(senza, r.left + 10, r.top, dalla_plancia(r.left + 10, r.top));
    percentuali();
}

// Windows' high-contrast mode, as the seam answers it for the tests: on
// while the object lives, then as it was.
struct contrasto_acceso {
    bool (*prima)() = contrasto_elevato;
    contrasto_acceso() {
        contrasto_elevato = [] { return true; };
    }
    ~contrasto_acceso() { contrasto_elevato = prima; }
    contrasto_acceso(const contrasto_acceso&) = delete;
    contrasto_acceso& operator=(const contrasto_acceso&) = delete;
};

// In high-contrast mode the frame is three pixels wide just inside the
// target's rectangle, in the system's highlight colour, and nothing else
// changes; without a highlight there is no frame. Wine reports the mode
// off, so the drawing asks Windows and draws the one white pixel.
TEST_F(Disegno, CorniceLargaNelContrastoElevato) {
    EXPECT_FALSE(contrasto_di_windows());
    ispettore.posiziona(3, 3, 8, 1, 0);
    ASSERT_GT(ispettore.n_lecite(), 0);
    const COLORREF evidenza = GetSysColor(COLOR_HIGHLIGHT);
    tela senza, con;
    {
        contrasto_acceso acceso;
        ispettore.attuale() = -1;
        game.disegna(senza.dc, mio_rect, *info);
        ispettore.attuale() = 0;
        game.disegna(con.dc, mio_rect, *info);
    }
    const RECT r = ispettore.lecita()[0];
    ASSERT_GT(r.right - r.left, 6);
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++) {
            bool dentro = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            int dal_bordo = std::min(std::min(x - r.left, r.right - 1 - x), std::min(y - r.top, r.bottom - 1 - y));
            PIXEL(con, x, y, dentro && dal_bordo < 3 ? evidenza : senza.at(x, y));
        }
    // The seam given back: the one white pixel again.
    tela di_nuovo;
    game.disegna(di_nuovo.dc, mio_rect, *info);
    PIXEL(di_nuovo, r.left, r.top, BIANCO);
    PIXEL(di_nuovo, r.left + 1, r.top + 1, senza.at(r.left + 1, r.top + 1));
    percentuali();
}

TEST_F(Disegno, UnaCasellaVisitaSoloLeCaselleCheTocca) {
    // Cell (3, 2)'s rectangle drawn without clipping: the picture lands only
    // in it, and arrows only in the cells whose rows and columns it meets.
    RECT zona;
    rettangolo_casella(&zona, 3, 2);
    tela t;
    ispettore.scacch().disegna(t.dc, zona);
    std::set<std::pair<int, int>> con_frecce;
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++) {
            COLORREF c = t.at(x, y);
            POINT pt = {x, y};
            if (PtInRect(&zona, pt)) {
                if (c != ROSSO) PIXEL(t, x, y, dalla_plancia(x, y));
            } else if (c != SENTINELLA) {
                ASSERT_EQ(c, ROSSO) << "at " << x << "," << y;
                con_frecce.insert({(x - mio_rect.left - offset.x) / LARGHEZZA_CASELLA + 1,
                                   (y - mio_rect.top - offset.y) / ALTEZZA_CASELLA + 1});
            }
        }
    std::set<std::pair<int, int>> attese = {{3, 2}, {4, 2}, {3, 3}, {4, 3}};
    for (auto c : con_frecce) EXPECT_TRUE(attese.count(c)) << "arrows drawn in cell " << c.first << "," << c.second;
    EXPECT_TRUE(con_frecce.count({4, 2}) && con_frecce.count({3, 3}));
}

TEST_F(Disegno, BilancioEdAreaDelleNotizie) {
    // The info panel's area: no picture and no arrows, only the two tokens
    // on their corners (1, 1) and (8, 1); the balance is posted all the same.
    tela t;
    game.disegna(t.dc, notizie, *info);
    auto su_pedina = [](int x, int y, int col) {
        return y >= y_pedina(1) && y < y_pedina(1) + PEDINA_ALTEZZA && x >= x_pedina(col) &&
               x < x_pedina(col) + PEDINA_LARGHEZZA;
    };
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++)
            if (!su_pedina(x, y, 1) && !su_pedina(x, y, 8)) PIXEL(t, x, y, SENTINELLA);
    EXPECT_EQ(percentuali(), std::vector<int>{50});
    // One diagonal step from the goal against three: 74, as the distances
    // are held in single precision before the division.
    ispettore.posiziona(7, 7, 4, 5, 0);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{74});
    ispettore.posiziona(8, 8, 3, 2, 1);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{100});
    ispettore.posiziona(3, 2, 1, 8, 0);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{0});
}

// The drawing gives the context back as it found it: the red pen of the
// arrows is selected out again, and the board, the tokens and the
// highlight's frame leave the pen, brush, font and bitmap that the context
// held, both on the first drawing (which makes the drawing objects) and on
// later ones.
TEST_F(Disegno, ContestoRestituitoComeEra) {
    ispettore.posiziona(3, 3, 8, 1, 0);
    ASSERT_GT(ispettore.n_lecite(), 0);
    ispettore.attuale() = 0;
    tela t;
    oggetti_propri propri(t.dc);
    const oggetti_contesto prima = oggetti_di(t.dc);
    for (int volta = 0; volta < 2; volta++) {
        SCOPED_TRACE(testing::Message() << "drawing " << volta + 1);
        game.disegna(t.dc, mio_rect, *info);
        EXPECT_TRUE(stessi_oggetti(t.dc, prima));
        ispettore.scacch().disegna(t.dc, mio_rect);
        EXPECT_TRUE(stessi_oggetti(t.dc, prima));
        // A paint rectangle outside the board draws no arrow, the tokens only.
        game.disegna(t.dc, notizie, *info);
        EXPECT_TRUE(stessi_oggetti(t.dc, prima));
    }
    // The arrows were drawn in red, whatever pen the context held.
    int rossi = 0;
    for (int y = mio_rect.top; y < mio_rect.bottom; y++)
        for (int x = mio_rect.left; x < mio_rect.right; x++) rossi += t.at(x, y) == ROSSO;
    EXPECT_GT(rossi, 0);
    percentuali();
}

}  // namespace
