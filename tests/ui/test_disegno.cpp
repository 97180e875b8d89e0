// Drawing the match with the real GDI: the board picture, the arrows, the
// masked tokens, the frame of the highlighted target and the balance sent
// to the info panel, read back pixel by pixel from a 24-bit memory bitmap.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "specchietto.h"

// The program's objects that the drawing and the panel use.
bitmap sfondo(VORANDEL_FOGLIO);
HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

// A 24-bit top-down DIB section of the window's size in a memory DC, with
// the default text and background colours of a window DC.
class tela {
public:
    static constexpr int L = 640;
    static constexpr int H = 480;

    tela() {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = L;
        bi.bmiHeader.biHeight = -H;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
        vecchia = SelectObject(dc, bmp);
        riempi(RGB(0, 0, 255));
    }
    ~tela() {
        SelectObject(dc, vecchia);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    tela(const tela&) = delete;
    tela& operator=(const tela&) = delete;

    void riempi(COLORREF c) {
        RECT r = {0, 0, L, H};
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
        GdiFlush();
    }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(bit) + static_cast<std::size_t>(y) * riga() + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    bool uguale(const tela& altra, int x, int y) const { return at(x, y) == altra.at(x, y); }

    HDC dc = nullptr;

private:
    static std::size_t riga() { return (L * 3 + 3) / 4 * 4; }
    HBITMAP bmp = nullptr;
    HGDIOBJ vecchia = nullptr;
    void* bit = nullptr;
};

const COLORREF ROSSO = RGB(255, 0, 0);
const COLORREF BIANCO = RGB(255, 255, 255);
const COLORREF SENTINELLA = RGB(0, 0, 255);

std::string esadecimale(COLORREF c) {
    char s[32];
    std::snprintf(s, sizeof s, "RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}

// Pixel checks that report the line of the check, what was expected and
// what was found.
void controlla_pixel(int riga, const tela& t, int x, int y, COLORREF atteso) {
    COLORREF trovato = t.at(x, y);
    if (trovato != atteso)
        ADD_FAILURE_AT(__FILE__, riga) << "pixel (" << x << "," << y << "): expected " << esadecimale(atteso)
                                       << ", found " << esadecimale(trovato);
}
void controlla_non_pixel(int riga, const tela& t, int x, int y, COLORREF vietato) {
    COLORREF trovato = t.at(x, y);
    if (trovato == vietato)
        ADD_FAILURE_AT(__FILE__, riga) << "pixel (" << x << "," << y << "): expected anything but "
                                       << esadecimale(vietato) << ", found it";
}
#define pixel_atteso(t, x, y, c) controlla_pixel(__LINE__, t, x, y, c)
#define pixel_non(t, x, y, c) controlla_non_pixel(__LINE__, t, x, y, c)

// A pixel of the sprite sheet, column from the left, row from the bottom.
COLORREF dal_foglio(int colonna, int riga_dal_basso) {
    const std::size_t riga = (static_cast<std::size_t>(sfondo.binfo.bmiHeader.biWidth) * 3 + 3) / 4 * 4;
    const std::uint8_t* p = sfondo.dati + riga * static_cast<std::size_t>(riga_dal_basso) + 3 * colonna;
    return RGB(p[2], p[1], p[0]);
}
// What the board picture shows at window pixel (X, Y).
COLORREF dalla_plancia(int X, int Y) { return dal_foglio(X - 10 + 45, 460 - (Y - 10) - 1); }

// A fixed deal, the same on every run.
std::uint32_t seme = 1;
int estrai_fisso() {
    seme = seme * 1103515245u + 12345u;
    return static_cast<int>((seme >> 16) & 0x7fff);
}

class Disegno : public testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = hInst;
        wc.lpszClassName = "vorandel prova disegno";
        RegisterClassA(&wc);
        principale = CreateWindowExA(0, "vorandel prova disegno", "Vorandel 32", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                                     600, nullptr, nullptr, hInst, nullptr);
        info = new specchietto(principale);
    }
    static void TearDownTestSuite() {
        delete info;
        DestroyWindow(principale);
    }

    void SetUp() override {
        ASSERT_EQ(sfondo.esiste(), 1) << "the sprite sheet " << VORANDEL_FOGLIO << " did not load";
        ASSERT_NE(info->finestra(), nullptr);
        seme = 1;
        plancia::estrai = estrai_fisso;
        finestra = finestra_prova();
        game.ricomincia(finestra);
        messaggi(finestra);
        percentuali();
    }
    void TearDown() override {
        plancia::estrai = &std::rand;
        DestroyWindow(finestra);
    }

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
    HWND finestra = nullptr;
    partita game;
    partita_ispettore ispettore{game};
};
HWND Disegno::principale = nullptr;
specchietto* Disegno::info = nullptr;

TEST_F(Disegno, FrecciaVersoLAltoConLeSueBarbe) {
    // The up arrow of a cell centred on (61, 54): the first cell, made an
    // ordinary one with the set {0, 1, 2}.
    plancia& p = ispettore.scacch();
    plancia_ispettore::cella(p, 1, 1).cat = normale;
    plancia_ispettore::cella(p, 1, 1).frecce = 0;
    tela t;
    p.disegna(t.dc, mio_rect);

    for (int y = 47; y <= 54; y++) pixel_atteso(t, 61, y, ROSSO);  // shaft
    pixel_atteso(t, 61, 46, ROSSO);                                 // tip
    pixel_atteso(t, 62, 47, ROSSO);                                 // first barb
    pixel_atteso(t, 63, 48, ROSSO);
    pixel_atteso(t, 60, 47, ROSSO);  // second barb
    pixel_atteso(t, 59, 48, ROSSO);
    // LineTo leaves out the end points.
    pixel_atteso(t, 64, 49, dalla_plancia(64, 49));
    pixel_atteso(t, 58, 49, dalla_plancia(58, 49));
    pixel_atteso(t, 61, 45, dalla_plancia(61, 45));
    // The right arrow of the same set: shaft to (69, 54), barbs to (66, 57)
    // and (66, 51).
    for (int x = 62; x <= 69; x++) pixel_atteso(t, x, 54, ROSSO);
    pixel_atteso(t, 68, 55, ROSSO);
    pixel_atteso(t, 68, 53, ROSSO);
    pixel_atteso(t, 70, 54, dalla_plancia(70, 54));
    pixel_atteso(t, 66, 57, dalla_plancia(66, 57));
    // The diagonal arrow: shaft to (69, 46), barbs down to (69, 49) and left
    // to (66, 46).
    for (int k = 1; k <= 8; k++) pixel_atteso(t, 61 + k, 54 - k, ROSSO);
    pixel_atteso(t, 69, 48, ROSSO);
    pixel_atteso(t, 67, 46, ROSSO);
}

TEST_F(Disegno, TuttaLaPlanciaFrecceSoloSulleCaselleOrdinarie) {
    tela t;
    ispettore.scacch().disegna(t.dc, mio_rect);
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++) {
            SCOPED_TRACE(testing::Message() << "cell " << x << "," << y);
            int xc = static_cast<int>(53.3 * x + 8.0), yc = 51 * y + 3;
            bool ordinaria = plancia_ispettore::cella(ispettore.scacch(), x, y).cat == normale;
            // Every arrow begins at the centre; other cells show the picture.
            if (ordinaria)
                pixel_atteso(t, xc, yc, ROSSO);
            else
                pixel_atteso(t, xc, yc, dalla_plancia(xc, yc));
            // The picture everywhere near the cell's left side.
            int sx = 25 + 53 * (x - 1), su = 22 + 52 * (y - 1);
            for (int dy = 0; dy < 52; dy += 7) pixel_atteso(t, sx + 5, su + dy, dalla_plancia(sx + 5, su + dy));
        }
    // Nothing outside the board.
    pixel_atteso(t, 9, 9, SENTINELLA);
    pixel_atteso(t, 470, 200, SENTINELLA);
    pixel_atteso(t, 200, 445, SENTINELLA);
    pixel_atteso(t, 469, 444, dalla_plancia(469, 444));
    pixel_atteso(t, 10, 10, dalla_plancia(10, 10));
}

TEST_F(Disegno, PedineMascherateSulQuadro) {
    for (auto pos : {std::pair<std::pair<int, int>, std::pair<int, int>>{{1, 1}, {8, 1}},
                     {{5, 3}, {8, 6}}}) {
        ispettore.posiziona(pos.first.first, pos.first.second, pos.second.first, pos.second.second, 0);
        tela senza, con;
        ispettore.scacch().disegna(senza.dc, mio_rect);
        game.disegna(con.dc, mio_rect, *info);
        for (int g = 0; g < 2; g++) {
            unsigned px, py;
            ispettore.ped(g).get_pos(&px, &py);
            SCOPED_TRACE(testing::Message() << "player " << g << " on " << px << "," << py);
            int x = static_cast<int>((static_cast<int>(px) - 1) * 53.3 + 25);
            int y = (static_cast<int>(py) - 1) * 52 + 22;
            int sx = g == 0 ? 593 : 546;
            int dentro = 0;
            for (int j = 0; j < 48; j++)
                for (int i = 0; i < 35; i++) {
                    bool sagoma = dal_foglio(sx + i, 291 + 47 - j) == BIANCO;
                    dentro += sagoma;
                    if (sagoma)
                        pixel_atteso(con, x + i, y + j, dal_foglio(sx + i, 120 + 47 - j));
                    else
                        pixel_atteso(con, x + i, y + j, senza.at(x + i, y + j));
                }
            EXPECT_GT(dentro, 400);
        }
    }
    // Column 5 starts at 238, one pixel right of its cell; column 8 at 398.
    ispettore.posiziona(5, 3, 8, 6, 0);
    tela t;
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(static_cast<int>(4 * 53.3 + 25), 238);
    EXPECT_EQ(static_cast<int>(7 * 53.3 + 25), 398);
    percentuali();
}

TEST_F(Disegno, CorniceSoloDelBersaglioEvidenziato) {
    ispettore.posiziona(3, 3, 8, 1, 0);
    ASSERT_GT(ispettore.n_lecite(), 0);
    tela senza, con;
    ispettore.attuale() = -1;
    game.disegna(senza.dc, mio_rect, *info);
    ispettore.attuale() = 0;
    game.disegna(con.dc, mio_rect, *info);
    const RECT r = ispettore.lecita()[0];
    // A one-pixel white frame just inside the target's rectangle...
    for (int x = r.left; x < r.right; x++) {
        pixel_atteso(con, x, r.top, BIANCO);
        pixel_atteso(con, x, r.bottom - 1, BIANCO);
    }
    for (int y = r.top; y < r.bottom; y++) {
        pixel_atteso(con, r.left, y, BIANCO);
        pixel_atteso(con, r.right - 1, y, BIANCO);
    }
    // ...and nothing else changes.
    int diversi = 0;
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++)
            if (!con.uguale(senza, x, y)) {
                bool sul_bordo = (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1) &&
                                 x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (!sul_bordo) diversi++;
            }
    EXPECT_EQ(diversi, 0);
    // Without a highlight, no frame on any target.
    for (int k = 0; k < ispettore.n_lecite(); k++) {
        const RECT q = ispettore.lecita()[k];
        pixel_non(senza, q.left + 10, q.top, BIANCO);
        pixel_non(senza, q.left, q.top + 10, BIANCO);
    }
    percentuali();
}

TEST_F(Disegno, UnaCasellaVisitaSoloLeCaselleCheTocca) {
    // Put the ordinary cells of a 4 by 4 block around cell (3, 2) on the
    // drawing without any clipping: the picture lands only in the update
    // rectangle, and arrows only in the cells whose rows and columns the
    // rectangle meets, (3, 2) to (4, 3).
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
                if (c != ROSSO) pixel_atteso(t, x, y, dalla_plancia(x, y));
                continue;
            }
            if (c == SENTINELLA) continue;
            ASSERT_EQ(c, ROSSO) << "at " << x << "," << y;
            con_frecce.insert({(x - 25) / 53 + 1, (y - 22) / 52 + 1});
        }
    std::set<std::pair<int, int>> attese = {{3, 2}, {4, 2}, {3, 3}, {4, 3}};
    for (auto c : con_frecce) EXPECT_TRUE(attese.count(c)) << "arrows drawn in cell " << c.first << "," << c.second;
    // The neighbours to the right and below do get their arrows.
    EXPECT_TRUE(con_frecce.count({4, 2}));
    EXPECT_TRUE(con_frecce.count({3, 3}));
}

TEST_F(Disegno, FuoriDallaPlanciaSoloLePedineEIlBilancio) {
    tela t;
    game.disegna(t.dc, notizie, *info);
    // No picture and no arrows anywhere; only the two tokens on their
    // corners (drawn whole: a paint's clipping would keep them out).
    for (int y = 0; y < tela::H; y++)
        for (int x = 0; x < tela::L; x++) {
            bool pedina = y >= 22 && y < 70 && ((x >= 25 && x < 60) || (x >= 398 && x < 433));
            if (!pedina) pixel_atteso(t, x, y, SENTINELLA);
        }
    EXPECT_EQ(percentuali(), std::vector<int>{50});

    // Clipped as a paint would be: nothing at all.
    tela c;
    HRGN clip = CreateRectRgnIndirect(&notizie);
    SelectClipRgn(c.dc, clip);
    DeleteObject(clip);
    game.disegna(c.dc, notizie, *info);
    for (int y = 0; y < tela::H; y += 3)
        for (int x = 0; x < tela::L; x += 3) pixel_atteso(c, x, y, SENTINELLA);
    EXPECT_EQ(percentuali(), std::vector<int>{50});
}

TEST_F(Disegno, BilancioDellaCorsa) {
    tela t;
    // Both on their start corners: equally far.
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{50});
    // One diagonal step from the goal against three: 74, as the distances
    // are held in single precision before the division.
    ispettore.posiziona(7, 7, 4, 5, 0);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{74});
    // The first player on its goal.
    ispettore.posiziona(8, 8, 3, 2, 1);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{100});
    // The second player on its goal.
    ispettore.posiziona(3, 2, 1, 8, 0);
    game.disegna(t.dc, mio_rect, *info);
    EXPECT_EQ(percentuali(), std::vector<int>{0});
    // Sent on every paint, whatever the area.
    RECT cella;
    rettangolo_casella(&cella, 2, 2);
    game.disegna(t.dc, cella, *info);
    game.disegna(t.dc, notizie, *info);
    EXPECT_EQ(percentuali(), (std::vector<int>{0, 0}));
}

}  // namespace
