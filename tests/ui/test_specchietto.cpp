// The info panel under Wine: its window and button, the messages its
// operations post, the balance bar and the tournament box as painted pixels,
// the tallies log and the stop button.
//
// One panel serves the whole program, as in the game, so the tests of one
// run share its state; each test starts its own tournament where it needs
// one. The first test looks at the panel as it is before any tournament.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "comune.h"
#include "finestra_prova.h"
#include "risorse.h"
#include "specchietto.h"

HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

const COLORREF GIALLO = RGB(250, 250, 0);
const COLORREF ROSSO = RGB(240, 0, 0);
const COLORREF VERDE = RGB(0, 240, 0);
const COLORREF NERO = RGB(0, 0, 0);
const COLORREF GRIGIO = RGB(192, 192, 192);  // the class's light grey background

// What the main window received from the panel.
std::vector<MSG> ricevuti_padre;

LRESULT CALLBACK ProcPadre(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (messg >= WM_USER && messg < 0x8000) {
        MSG m{};
        m.hwnd = hWnd;
        m.message = messg;
        m.wParam = wParam;
        m.lParam = lParam;
        ricevuti_padre.push_back(m);
        return 0;
    }
    return DefWindowProcA(hWnd, messg, wParam, lParam);
}

// Dispatches every message waiting for this thread, as the game's message
// loop would, then lets the panel paint what is invalid.
void svuota(HWND pannello) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (pannello != nullptr) UpdateWindow(pannello);
}

::testing::AssertionResult pixel(HWND hWnd, int x, int y, COLORREF atteso) {
    HDC hdc = GetDC(hWnd);
    COLORREF trovato = GetPixel(hdc, x, y);
    ReleaseDC(hWnd, hdc);
    if (trovato == atteso) return ::testing::AssertionSuccess();
    char testo[120];
    std::snprintf(testo, sizeof testo, "pixel (%d, %d): expected RGB(%d, %d, %d), found RGB(%d, %d, %d)", x, y,
                  GetRValue(atteso), GetGValue(atteso), GetBValue(atteso), GetRValue(trovato), GetGValue(trovato),
                  GetBValue(trovato));
    return ::testing::AssertionFailure() << testo;
}
#define PIXEL(w, x, y, c) EXPECT_TRUE(pixel((w), (x), (y), (c)))

// The text `testo` as the panel draws it at (x, y) (the stock variable-pitch
// font, transparent, default colour) on the light grey background, compared
// pixel by pixel with what the panel shows there.
::testing::AssertionResult scritta(HWND hWnd, int x, int y, const char* testo) {
    HDC hdc = GetDC(hWnd);
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ vecchio_font = SelectObject(mem, GetStockObject(ANSI_VAR_FONT));
    SIZE dim;
    int n = static_cast<int>(std::strlen(testo));
    GetTextExtentPoint32A(mem, testo, n, &dim);
    HBITMAP bmp = CreateCompatibleBitmap(hdc, dim.cx, dim.cy);
    HGDIOBJ vecchia_bmp = SelectObject(mem, bmp);
    RECT r = {0, 0, dim.cx, dim.cy};
    HBRUSH grigio = CreateSolidBrush(GRIGIO);
    FillRect(mem, &r, grigio);
    DeleteObject(grigio);
    SetBkMode(mem, TRANSPARENT);
    TextOutA(mem, 0, 0, testo, n);
    int diversi = 0, primo_x = -1, primo_y = -1, scuri = 0;
    COLORREF atteso_primo = 0, trovato_primo = 0;
    for (int j = 0; j < dim.cy; j++)
        for (int i = 0; i < dim.cx; i++) {
            COLORREF atteso = GetPixel(mem, i, j);
            COLORREF trovato = GetPixel(hdc, x + i, y + j);
            if (atteso != GRIGIO) scuri++;
            if (atteso != trovato && diversi++ == 0) {
                primo_x = x + i;
                primo_y = y + j;
                atteso_primo = atteso;
                trovato_primo = trovato;
            }
        }
    SelectObject(mem, vecchia_bmp);
    SelectObject(mem, vecchio_font);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hWnd, hdc);
    if (scuri == 0) return ::testing::AssertionFailure() << "the reference text \"" << testo << "\" drew nothing";
    if (diversi == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "text \"" << testo << "\" at (" << x << ", " << y << "): " << diversi
                                         << " pixels differ, the first at (" << primo_x << ", " << primo_y
                                         << "): expected 0x" << std::hex << atteso_primo << ", found 0x"
                                         << trovato_primo;
}
#define SCRITTA(w, x, y, t) EXPECT_TRUE(scritta((w), (x), (y), (t)))

class Pannello : public ::testing::Test {
protected:
    static HWND padre;
    static specchietto* info;
    static HWND pannello;
    static std::vector<std::string> righe_avvio;  // the log of the construction

    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProcPadre;
        wc.hInstance = hInst;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = "padre prova";
        RegisterClassA(&wc);
        padre = CreateWindowExA(0, "padre prova", "Vorandel prova", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                800, 500, nullptr, nullptr, hInst, nullptr);
        ShowWindow(padre, SW_SHOW);
        nuove_righe_log();
        info = new specchietto(padre);
        pannello = info->finestra();
        righe_avvio = nuove_righe_log();
    }

    void SetUp() override {
        ASSERT_NE(pannello, nullptr);
        svuota(pannello);
        ricevuti_padre.clear();
        nuove_righe_log();
    }

    static HWND bottone() { return GetDlgItem(pannello, ID_STOP); }
    // Games left and the three counts as the panel prints them.
    static void conteggi(const char* c0, const char* c1, const char* c2, const char* restanti) {
        SCRITTA(pannello, 37, 155, c0);
        SCRITTA(pannello, 71, 155, c1);
        SCRITTA(pannello, 105, 155, c2);
        SCRITTA(pannello, 25, 175, restanti);
    }
    static std::vector<std::string> tallies_dopo_fine() {
        info->fine_torneo();
        svuota(pannello);
        return nuove_righe_log();
    }
};
HWND Pannello::padre = nullptr;
specchietto* Pannello::info = nullptr;
HWND Pannello::pannello = nullptr;
std::vector<std::string> Pannello::righe_avvio;

using Righe = std::vector<std::string>;

// Before any tournament: the window and its button where they belong, a
// balance of 50, three empty columns with their zero counts, no games left.
TEST_F(Pannello, FinestraEStatoIniziale) {
    EXPECT_EQ(righe_avvio, std::vector<std::string>{"specc::specc terminato"});
    char classe[32] = "";
    GetClassNameA(pannello, classe, sizeof classe);
    EXPECT_STREQ(classe, "specchietto!");
    EXPECT_EQ(GetWindowLongA(pannello, GWL_STYLE), static_cast<LONG>(0x42400000 | WS_VISIBLE));
    // No extended style of its own; the system marks a dialog frame's edge.
    EXPECT_EQ(GetWindowLongA(pannello, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetDlgCtrlID(pannello), ID_SPECCHIETTO);
    EXPECT_EQ(GetParent(pannello), padre);
    RECT r;
    GetWindowRect(pannello, &r);
    MapWindowPoints(HWND_DESKTOP, padre, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 500);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom - r.top, 260);

    HWND b = bottone();
    ASSERT_NE(b, nullptr);
    char testo[40] = "";
    GetWindowTextA(b, testo, sizeof testo);
    EXPECT_STREQ(testo, "Stop tournament");
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & ~WS_TABSTOP, 0x50000000);
    EXPECT_TRUE(IsWindowEnabled(b));
    GetWindowRect(b, &r);
    MapWindowPoints(HWND_DESKTOP, pannello, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 210);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 30);

    // Yellow from 20 to 80, red beyond, a black frame round the bar.
    PIXEL(pannello, 21, 40, GIALLO);
    PIXEL(pannello, 79, 40, GIALLO);
    PIXEL(pannello, 80, 40, ROSSO);
    PIXEL(pannello, 138, 40, ROSSO);
    PIXEL(pannello, 20, 40, NERO);
    PIXEL(pannello, 139, 40, NERO);
    PIXEL(pannello, 50, 30, NERO);
    PIXEL(pannello, 50, 54, NERO);
    PIXEL(pannello, 19, 40, GRIGIO);
    PIXEL(pannello, 50, 55, GRIGIO);
    // The box's frame and the base line; an empty column draws nothing.
    PIXEL(pannello, 20, 100, NERO);
    PIXEL(pannello, 139, 100, NERO);
    PIXEL(pannello, 80, 70, NERO);
    PIXEL(pannello, 80, 199, NERO);
    PIXEL(pannello, 25, 149, NERO);
    PIXEL(pannello, 134, 149, NERO);
    PIXEL(pannello, 135, 149, GRIGIO);
    for (int x : {37, 45, 53, 71, 79, 87, 105, 113, 121}) {
        PIXEL(pannello, x, 148, GRIGIO);
        PIXEL(pannello, x, 150, GRIGIO);
    }
    conteggi("  0", "  0", "  0", "Games left:   0");
    // The comparison sees a wrong text.
    EXPECT_FALSE(scritta(pannello, 37, 155, "  1"));
    EXPECT_FALSE(scritta(pannello, 25, 175, "Games left:   1"));

    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 0", "vittorie player 1: 0", "vittorie player 2: 0"}));
}

// Each operation posts one message to the panel, with lParam 0, in the
// order of the calls.
TEST_F(Pannello, OperazioniPostanoInOrdine) {
    EXPECT_EQ(info->nuovo_torneo(15), 1);
    info->vittoria(1);
    info->patta();
    EXPECT_EQ(info->aggiorna1(33), 1);
    EXPECT_EQ(info->fine_torneo(), 1);
    info->vittoria(0);
    std::vector<MSG> v = messaggi(pannello);
    const UINT attesi[][2] = {{MSG_NUOVO_TORNEO, 15}, {MSG_VITTORIA, 1}, {MSG_PATTA, 0},
                              {MSG_PERCENTO, 33},     {MSG_FINE_TORNEO, 0}, {MSG_VITTORIA, 0}};
    ASSERT_EQ(v.size(), 6u);
    for (size_t i = 0; i < v.size(); i++) {
        EXPECT_EQ(v[i].hwnd, pannello) << i;
        EXPECT_EQ(v[i].message, attesi[i][0]) << i;
        EXPECT_EQ(v[i].wParam, attesi[i][1]) << i;
        EXPECT_EQ(v[i].lParam, 0) << i;
    }
}

// The bar for the balances 0, 50 and 100; values beyond the range are held
// at its bounds.
TEST_F(Pannello, BarraDellEquilibrio) {
    info->aggiorna1(0);
    svuota(pannello);
    PIXEL(pannello, 21, 40, ROSSO);
    PIXEL(pannello, 79, 40, ROSSO);
    PIXEL(pannello, 138, 40, ROSSO);
    PIXEL(pannello, 20, 40, NERO);

    info->aggiorna1(50);
    svuota(pannello);
    PIXEL(pannello, 21, 31, GIALLO);
    PIXEL(pannello, 79, 53, GIALLO);
    PIXEL(pannello, 80, 31, ROSSO);
    PIXEL(pannello, 138, 53, ROSSO);

    info->aggiorna1(100);
    svuota(pannello);
    PIXEL(pannello, 21, 40, GIALLO);
    PIXEL(pannello, 80, 40, GIALLO);
    PIXEL(pannello, 138, 40, GIALLO);
    PIXEL(pannello, 139, 40, NERO);
    PIXEL(pannello, 140, 40, GRIGIO);

    // 120 x 33 / 100 = 39.6: yellow up to x 58.
    info->aggiorna1(33);
    svuota(pannello);
    PIXEL(pannello, 58, 40, GIALLO);
    PIXEL(pannello, 59, 40, ROSSO);

    // Beyond 100: a full repaint still keeps the yellow inside the frame.
    info->aggiorna1(250);
    info->disegna();
    svuota(pannello);
    PIXEL(pannello, 138, 40, GIALLO);
    PIXEL(pannello, 139, 40, NERO);
    PIXEL(pannello, 141, 40, GRIGIO);

    info->aggiorna1(-20);
    info->disegna();
    svuota(pannello);
    PIXEL(pannello, 21, 40, ROSSO);
    PIXEL(pannello, 20, 40, NERO);
    PIXEL(pannello, 18, 40, GRIGIO);

    info->aggiorna1(50);
    svuota(pannello);
}

// A tournament of 15 results: three columns in proportion, the counts under
// them, no games left, and the tallies in the log at its end.
TEST_F(Pannello, TorneoDiQuindici) {
    info->nuovo_torneo(15);
    svuota(pannello);
    conteggi("  0", "  0", "  0", "Games left:  15");

    // 7 wins of player 1, 3 draws, 5 wins of player 2, mixed.
    const int risultati[15] = {0, 1, 0, -1, 0, 0, 1, -1, 1, 0, 1, -1, 0, 1, 0};
    for (int i = 0; i < 15; i++) {
        if (risultati[i] < 0)
            info->patta();
        else
            info->vittoria(risultati[i]);
        if (i == 5) {
            svuota(pannello);
            conteggi("  4", "  1", "  1", "Games left:   9");
        }
    }
    svuota(pannello);
    conteggi("  7", "  3", "  5", "Games left:   0");

    // Player 1's column: 80 x 7 / 15 = 37 high, from y 113 to 150.
    PIXEL(pannello, 45, 112, GRIGIO);
    PIXEL(pannello, 45, 113, NERO);
    PIXEL(pannello, 45, 114, GIALLO);
    PIXEL(pannello, 45, 148, GIALLO);
    PIXEL(pannello, 45, 149, NERO);
    PIXEL(pannello, 45, 150, GRIGIO);
    PIXEL(pannello, 37, 130, NERO);
    PIXEL(pannello, 53, 130, NERO);
    PIXEL(pannello, 36, 130, GRIGIO);
    PIXEL(pannello, 54, 130, GRIGIO);
    // The draws: 16 high, from y 134.
    PIXEL(pannello, 79, 133, GRIGIO);
    PIXEL(pannello, 79, 134, NERO);
    PIXEL(pannello, 79, 135, VERDE);
    PIXEL(pannello, 79, 148, VERDE);
    // Player 2's column: 26 high, from y 124.
    PIXEL(pannello, 113, 123, GRIGIO);
    PIXEL(pannello, 113, 124, NERO);
    PIXEL(pannello, 113, 125, ROSSO);
    PIXEL(pannello, 121, 140, NERO);
    PIXEL(pannello, 120, 140, ROSSO);

    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 3", "vittorie player 1: 7", "vittorie player 2: 5"}));
    // The tallies stay on show after the end.
    svuota(pannello);
    conteggi("  7", "  3", "  5", "Games left:   0");

    // A new tournament clears them; a column as tall as the tournament
    // reaches the box's top edge.
    info->nuovo_torneo(15);
    for (int i = 0; i < 15; i++) info->vittoria(1);
    svuota(pannello);
    conteggi("  0", "  0", " 15", "Games left:   0");
    PIXEL(pannello, 113, 70, NERO);
    PIXEL(pannello, 113, 71, ROSSO);
    PIXEL(pannello, 45, 148, GRIGIO);
    PIXEL(pannello, 79, 148, GRIGIO);
}

// A winner other than 0 or 1, a tournament of no games or fewer, and results
// beyond the tournament's end are not counted.
TEST_F(Pannello, ValoriFuoriIntervalloIgnorati) {
    info->nuovo_torneo(4);
    info->vittoria(2);
    info->vittoria(-1);
    info->vittoria(1000);
    info->nuovo_torneo(0);
    info->nuovo_torneo(-3);
    svuota(pannello);
    conteggi("  0", "  0", "  0", "Games left:   4");

    info->vittoria(0);
    for (int i = 0; i < 5; i++) info->patta();
    info->vittoria(1);
    svuota(pannello);
    conteggi("  1", "  3", "  0", "Games left:   0");
    // Player 1's column is a quarter of 80 high; nothing outgrows the box.
    PIXEL(pannello, 45, 129, GRIGIO);
    PIXEL(pannello, 45, 130, NERO);
    PIXEL(pannello, 79, 89, GRIGIO);
    PIXEL(pannello, 79, 90, NERO);
    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 3", "vittorie player 1: 1", "vittorie player 2: 0"}));
}

// The stop button acts only while a tournament runs: one log line, one
// MSG_FINE_TORNEO to the main window, and the tournament is over.
TEST_F(Pannello, BottoneStop) {
    // No tournament (the last one ended): nothing.
    info->nuovo_torneo(1);
    info->patta();
    svuota(pannello);
    nuove_righe_log();
    SendMessageA(bottone(), BM_CLICK, 0, 0);
    svuota(pannello);
    EXPECT_TRUE(ricevuti_padre.empty());
    EXPECT_TRUE(nuove_righe_log().empty());

    info->nuovo_torneo(15);
    info->vittoria(0);
    svuota(pannello);
    SendMessageA(bottone(), BM_CLICK, 0, 0);
    svuota(pannello);
    ASSERT_EQ(ricevuti_padre.size(), 1u);
    EXPECT_EQ(ricevuti_padre[0].message, static_cast<UINT>(MSG_FINE_TORNEO));
    EXPECT_EQ(ricevuti_padre[0].wParam, 0u);
    EXPECT_EQ(ricevuti_padre[0].lParam, 0);
    EXPECT_EQ(nuove_righe_log(), Righe{"premuto il tasto stop tournament."});

    // A second press does nothing; a result after the stop is not counted.
    SendMessageA(bottone(), BM_CLICK, 0, 0);
    info->vittoria(1);
    svuota(pannello);
    EXPECT_EQ(ricevuti_padre.size(), 1u);
    EXPECT_TRUE(nuove_righe_log().empty());
    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 0", "vittorie player 1: 1", "vittorie player 2: 0"}));
    // Other commands never stop a tournament.
    info->nuovo_torneo(3);
    svuota(pannello);
    ricevuti_padre.clear();
    SendMessageA(pannello, WM_COMMAND, MAKEWPARAM(ID_STOP + 1, BN_CLICKED), 0);
    svuota(pannello);
    EXPECT_TRUE(ricevuti_padre.empty());
    EXPECT_TRUE(nuove_righe_log().empty());
}

// disegna invalidates the whole panel, erasing, and says so in the log.
TEST_F(Pannello, DisegnaInvalidaTutto) {
    RECT r;
    EXPECT_FALSE(GetUpdateRect(pannello, &r, FALSE));
    EXPECT_EQ(info->disegna(), 1);
    ASSERT_TRUE(GetUpdateRect(pannello, &r, FALSE));
    RECT cliente;
    GetClientRect(pannello, &cliente);
    EXPECT_TRUE(EqualRect(&r, &cliente));
    EXPECT_EQ(nuove_righe_log(), Righe{"specchietto::disegna richiamato"});
    svuota(pannello);
    EXPECT_FALSE(GetUpdateRect(pannello, &r, FALSE));
}

// Without a panel window (here: no parent for a child window) the
// constructor logs nothing and every operation is harmless: nothing is
// posted, not even to the thread.
TEST_F(Pannello, SenzaFinestraNienteDaFare) {
    {
        specchietto orfano(nullptr);
        EXPECT_EQ(orfano.finestra(), nullptr);
        EXPECT_TRUE(nuove_righe_log().empty());
        EXPECT_EQ(orfano.aggiorna1(70), 1);
        EXPECT_EQ(orfano.nuovo_torneo(15), 1);
        EXPECT_EQ(orfano.fine_torneo(), 1);
        orfano.vittoria(0);
        orfano.patta();
        EXPECT_EQ(orfano.disegna(), 1);
        MSG m;
        EXPECT_FALSE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
        EXPECT_FALSE(PeekMessageA(&m, pannello, 0, 0, PM_REMOVE));
        EXPECT_FALSE(GetUpdateRect(pannello, nullptr, FALSE));
    }
    EXPECT_TRUE(IsWindow(pannello));
}

// A second panel of the same program, after the first is gone, works.
TEST_F(Pannello, SecondoPannello) {
    specchietto* secondo = new specchietto(padre);
    ASSERT_NE(secondo->finestra(), nullptr);
    EXPECT_NE(secondo->finestra(), pannello);
    EXPECT_EQ(nuove_righe_log(), Righe{"specc::specc terminato"});
    HWND h = secondo->finestra();
    delete secondo;
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(IsWindow(pannello));
}

}  // namespace
