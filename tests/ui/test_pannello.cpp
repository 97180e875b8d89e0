// The info panel under Wine: what its operations send and post, the balance
// bar and the tournament box as painted pixels, the tallies log and the stop
// button. One panel serves the whole run, as in the game; the first test
// looks at it before any tournament.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "comune.h"
#include "finestra_prova.h"
#include "pixel.h"
#include "programma.h"
#include "risorse.h"
#include "pannello.h"
#include "testi_controlli.h"

HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

const COLORREF GIALLO = RGB(250, 250, 0);
const COLORREF ROSSO = RGB(240, 0, 0);
const COLORREF VERDE = RGB(0, 240, 0);
const COLORREF NERO = RGB(0, 0, 0);
const COLORREF GRIGIO = RGB(192, 192, 192);  // the class's light grey background

using Righe = std::vector<std::string>;

// What the main window received from the panel.
std::vector<UINT> ricevuti_padre;

LRESULT CALLBACK ProcPadre(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (messg >= WM_USER && messg < 0x8000) {
        ricevuti_padre.push_back(wParam == 0 && lParam == 0 ? messg : 0);  // 0: unexpected parameters
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
    int diversi = 0, primo_x = -1, primo_y = -1;
    COLORREF atteso_primo = 0, trovato_primo = 0;
    for (int j = 0; j < dim.cy; j++)
        for (int i = 0; i < dim.cx; i++) {
            COLORREF atteso = GetPixel(mem, i, j), trovato = GetPixel(hdc, x + i, y + j);
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
    if (diversi == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "text \"" << testo << "\" at (" << x << ", " << y << "): " << diversi
                                         << " pixels differ, the first at (" << primo_x << ", " << primo_y
                                         << "): expected 0x" << std::hex << atteso_primo << ", found 0x"
                                         << trovato_primo;
}

HWND padre, pannello;
specchietto* info;
Righe righe_avvio;  // the log of the construction

class Pannello : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProcPadre;
        wc.hInstance = hInst;
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

    // Paints what is pending, then checks the three counts and the games
    // left as the panel prints them.
    static void conteggi(const char* c0, const char* c1, const char* c2, const char* restanti) {
        svuota(pannello);
        EXPECT_TRUE(scritta(pannello, 37, 155, c0));
        EXPECT_TRUE(scritta(pannello, 71, 155, c1));
        EXPECT_TRUE(scritta(pannello, 105, 155, c2));
        EXPECT_TRUE(scritta(pannello, 25, 175, restanti));
    }
    static Righe tallies_dopo_fine() {
        info->fine_torneo();
        svuota(pannello);
        return nuove_righe_log();
    }
    static void stop() {
        SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0);
        svuota(pannello);
    }
};
// Before any tournament: three empty columns with their zero counts, no
// games left, zero tallies.
TEST_F(Pannello, StatoIniziale) {
    EXPECT_EQ(righe_avvio, Righe{"specc::specc terminato"});
    // The base line under the columns; an empty column draws nothing.
    PIXEL(pannello, 25, 149, NERO);
    for (int x : {45, 79, 113}) PIXEL(pannello, x, 148, GRIGIO);
    conteggi("  0", "  0", "  0", "Games left:   0");
    // The comparison sees a wrong text.
    EXPECT_FALSE(scritta(pannello, 25, 175, "Games left:   1"));
    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 0", "vittorie player 1: 0", "vittorie player 2: 0"}));
}

// A tournament's start, its results and its end are sent: each has taken
// effect when the operation returns, and only the balance, which each paint
// of the board hands over, waits in the queue. Results and the end carry
// the tournament's number.
TEST_F(Pannello, OperazioniMandanoEPostano) {
    EXPECT_EQ(info->nuovo_torneo(15, 7), 1);
    info->vittoria(1, 7);
    info->patta(7);
    EXPECT_EQ(info->aggiorna1(33), 1);
    UpdateWindow(pannello);  // the paint the tallies asked for, which no queue holds
    // Each as message, wParam; one not to the panel or with an lParam shows as message 0.
    std::vector<std::pair<UINT, WPARAM>> v;
    for (const MSG& m : messaggi(pannello))
        v.emplace_back(m.hwnd == pannello && m.lParam == 0 ? m.message : 0, m.wParam);
    EXPECT_EQ(v, (std::vector<std::pair<UINT, WPARAM>>{{MSG_PERCENTO, 33}}));
    conteggi("  0", "  1", "  1", "Games left:  13");
    EXPECT_EQ(info->fine_torneo(7), 1);
    EXPECT_EQ(nuove_righe_log(), (Righe{"Ciclo finito", "patte: 1", "vittorie player 1: 0", "vittorie player 2: 1"}));
    conteggi("  0", "  1", "  1", "Games left:   0");
    // The bar, sent: right at once.
    EXPECT_EQ(info->bilancia(0), 1);
    UpdateWindow(pannello);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, pannello, 0, 0, PM_NOREMOVE));
    svuota(pannello);
    PIXEL(pannello, 21, 40, ROSSO);
    info->bilancia(50);
    svuota(pannello);
}

// The panel counts for the tournament it was told of, and only what its
// own methods tell it: what another program posts or sends to it (a start,
// results and ends, of other tournaments, of none, or with the running
// tournament's own number) changes nothing but one log line each. The stop
// button shows the tournament over at once.
TEST_F(Pannello, ContaSoloPerIlSuoTorneo) {
    info->nuovo_torneo(15, 3);
    PostMessageA(pannello, MSG_NUOVO_TORNEO, 6, 3);  // its number, but not from nuovo_torneo
    PostMessageA(pannello, MSG_NUOVO_TORNEO, 21, 4);
    PostMessageA(pannello, MSG_VITTORIA, 0, 0);
    PostMessageA(pannello, MSG_PATTA, 0, 2);
    PostMessageA(pannello, MSG_FINE_TORNEO, 0, 4);
    // The running tournament's own number, posted and sent from outside.
    PostMessageA(pannello, MSG_VITTORIA, 1, 3);
    PostMessageA(pannello, MSG_PATTA, 0, 3);
    PostMessageA(pannello, MSG_FINE_TORNEO, 0, 3);
    SendMessageA(pannello, MSG_VITTORIA, 0, 3);
    SendMessageA(pannello, MSG_FINE_TORNEO, 0, 3);
    info->vittoria(0, 4);
    info->patta(2);
    conteggi("  0", "  0", "  0", "Games left:  15");
    Righe righe = nuove_righe_log();
    EXPECT_EQ(righe.size(), 12u);
    EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                            [](const std::string& r) { return r.find("scartat") != std::string::npos; }),
              12);
    EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                            [](const std::string& r) { return r.find("non viene dalla finestra") != std::string::npos; }),
              8);
    info->vittoria(0, 3);
    conteggi("  1", "  0", "  0", "Games left:  14");
    stop();
    conteggi("  1", "  0", "  0", "Games left:   0");
    EXPECT_EQ(ricevuti_padre.size(), 1u);
}

// The bar, yellow on the left for the given share, red beyond, in a black
// frame, for the balances 50 (at start), 0, 100 and 33; values beyond the
// range are held at its bounds.
TEST_F(Pannello, BarraDellEquilibrio) {
    PIXEL(pannello, 21, 31, GIALLO);
    PIXEL(pannello, 79, 53, GIALLO);
    PIXEL(pannello, 80, 31, ROSSO);
    PIXEL(pannello, 138, 53, ROSSO);
    PIXEL(pannello, 50, 30, NERO);
    PIXEL(pannello, 50, 55, GRIGIO);

    // {balance, the last yellow column (20 for none)}; beyond the range, a
    // full repaint still keeps the colours inside the frame.
    const int casi[][2] = {{0, 20}, {100, 138}, {33, 58}, {250, 138}, {-20, 20}};
    for (const auto& c : casi) {
        SCOPED_TRACE("balance " + std::to_string(c[0]));
        info->aggiorna1(c[0]);
        if (c[0] < 0 || c[0] > 100) info->disegna();
        svuota(pannello);
        PIXEL(pannello, 21, 40, c[1] > 20 ? GIALLO : ROSSO);
        PIXEL(pannello, c[1], 40, c[1] > 20 ? GIALLO : NERO);
        PIXEL(pannello, c[1] + 1, 40, c[1] < 138 ? ROSSO : NERO);
        PIXEL(pannello, 138, 40, c[1] < 138 ? ROSSO : GIALLO);
        PIXEL(pannello, 18, 40, GRIGIO);
        PIXEL(pannello, 141, 40, GRIGIO);
    }
    info->aggiorna1(50);
    svuota(pannello);
}

// A tournament of 15 results: three columns in proportion, the counts under
// them, no games left, and the tallies in the log at its end.
TEST_F(Pannello, TorneoDiQuindici) {
    info->nuovo_torneo(15);
    conteggi("  0", "  0", "  0", "Games left:  15");
    // 7 wins of player 1, 3 draws, 5 wins of player 2, mixed.
    const int risultati[15] = {0, 1, 0, -1, 0, 0, 1, -1, 1, 0, 1, -1, 0, 1, 0};
    for (int i = 0; i < 15; i++) {
        if (risultati[i] < 0)
            info->patta();
        else
            info->vittoria(risultati[i]);
        if (i == 5) conteggi("  4", "  1", "  1", "Games left:   9");
    }
    conteggi("  7", "  3", "  5", "Games left:   0");

    // Player 1's column: 80 x 7 / 15 = 37 high, from y 113 to 150.
    PIXEL(pannello, 45, 112, GRIGIO);
    PIXEL(pannello, 45, 113, NERO);
    PIXEL(pannello, 45, 114, GIALLO);
    // The draws: 16 high, from y 134; player 2: 26 high, from y 124.
    PIXEL(pannello, 79, 133, GRIGIO);
    PIXEL(pannello, 79, 134, NERO);
    PIXEL(pannello, 79, 135, VERDE);
    PIXEL(pannello, 113, 123, GRIGIO);
    PIXEL(pannello, 113, 124, NERO);
    PIXEL(pannello, 113, 125, ROSSO);

    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 3", "vittorie player 1: 7", "vittorie player 2: 5"}));
    conteggi("  7", "  3", "  5", "Games left:   0");  // still on show after the end

    // A new tournament clears them; a column as tall as the tournament
    // reaches the box's top edge.
    info->nuovo_torneo(15);
    for (int i = 0; i < 15; i++) info->vittoria(1);
    conteggi("  0", "  0", " 15", "Games left:   0");
    PIXEL(pannello, 113, 70, NERO);
    PIXEL(pannello, 113, 71, ROSSO);
    PIXEL(pannello, 45, 148, GRIGIO);
}

// A winner other than 0 or 1, a tournament of no games or fewer, and results
// beyond the tournament's end are not counted.
TEST_F(Pannello, ValoriFuoriIntervalloIgnorati) {
    info->nuovo_torneo(4);
    info->vittoria(2);
    info->vittoria(-1);
    info->nuovo_torneo(0);
    info->nuovo_torneo(-3);
    conteggi("  0", "  0", "  0", "Games left:   4");
    info->vittoria(0);
    for (int i = 0; i < 5; i++) info->patta();
    info->vittoria(1);
    conteggi("  1", "  3", "  0", "Games left:   0");
    PIXEL(pannello, 79, 89, GRIGIO);  // the draws' column does not outgrow the box
    PIXEL(pannello, 79, 90, NERO);
    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 3", "vittorie player 1: 1", "vittorie player 2: 0"}));
}

// The stop button acts only while a tournament runs: one log line, one
// MSG_FINE_TORNEO to the main window, and the tournament is over.
TEST_F(Pannello, BottoneStop) {
    info->nuovo_torneo(1);
    info->patta();
    svuota(pannello);
    nuove_righe_log();
    stop();  // no tournament (the last one ended): nothing
    EXPECT_TRUE(ricevuti_padre.empty());
    EXPECT_TRUE(nuove_righe_log().empty());

    info->nuovo_torneo(15);
    info->vittoria(0);
    svuota(pannello);
    stop();
    EXPECT_EQ(ricevuti_padre, std::vector<UINT>{MSG_FINE_TORNEO});
    EXPECT_EQ(nuove_righe_log(), Righe{"premuto il tasto stop tournament."});

    // A second press does nothing; a result after the stop is not counted.
    stop();
    info->vittoria(1);
    svuota(pannello);
    EXPECT_EQ(ricevuti_padre.size(), 1u);
    EXPECT_EQ(tallies_dopo_fine(),
              (Righe{"Ciclo finito", "patte: 0", "vittorie player 1: 1", "vittorie player 2: 0"}));
    // Other commands never stop a tournament.
    info->nuovo_torneo(3);
    svuota(pannello);
    SendMessageA(pannello, WM_COMMAND, MAKEWPARAM(ID_STOP + 1, BN_CLICKED), 0);
    svuota(pannello);
    EXPECT_EQ(ricevuti_padre.size(), 1u);
    EXPECT_TRUE(nuove_righe_log().empty());
}

// "Stop tournament" fits its button, in the standard GUI font (the system
// font would be wider than the button); the button keeps its place and size.
TEST_F(Pannello, TestiEntrano) {
    HWND tasto = GetDlgItem(pannello, ID_STOP);
    ASSERT_NE(tasto, nullptr);
    EXPECT_TRUE(testo_entra(tasto));
    EXPECT_TRUE(testi_entrano(pannello));
    RECT r;
    GetWindowRect(tasto, &r);
    MapWindowPoints(nullptr, pannello, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 210);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 30);
}

// disegna invalidates the whole panel and says so in the log. Without a
// panel window every operation is harmless: nothing is posted, not even to
// the thread. A second panel, after the first is gone, works.
TEST_F(Pannello, DisegnaEAltriPannelli) {
    RECT r, cliente;
    EXPECT_EQ(info->disegna(), 1);
    ASSERT_TRUE(GetUpdateRect(pannello, &r, FALSE));
    GetClientRect(pannello, &cliente);
    EXPECT_TRUE(EqualRect(&r, &cliente));
    EXPECT_EQ(nuove_righe_log(), Righe{"specchietto::disegna richiamato"});
    svuota(pannello);
    {
        specchietto orfano(nullptr);
        EXPECT_TRUE(nuove_righe_log().empty());
        orfano.aggiorna1(70);
        orfano.nuovo_torneo(15);
        orfano.fine_torneo();
        orfano.vittoria(0);
        orfano.patta();
        orfano.disegna();
        MSG m;
        EXPECT_FALSE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
        EXPECT_FALSE(PeekMessageA(&m, pannello, 0, 0, PM_REMOVE));
        EXPECT_FALSE(GetUpdateRect(pannello, nullptr, FALSE));
    }
    nuove_righe_log();
    specchietto* secondo = new specchietto(padre);
    HWND h = secondo->finestra();
    EXPECT_TRUE(h != nullptr && h != pannello);
    EXPECT_EQ(nuove_righe_log(), Righe{"specc::specc terminato"});
    delete secondo;
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(IsWindow(pannello));
}

// Asked to draw itself into a memory context (WM_PRINTCLIENT), the panel
// draws the bar and the tournament box as on the screen, and gives the
// context back with the pen, brush, font and bitmap it held: the font of
// the counts is selected out again.
TEST_F(Pannello, ContestoRestituitoComeEra) {
    info->nuovo_torneo(3);
    info->vittoria(0);
    info->aggiorna1(100);
    svuota(pannello);
    HDC schermo = GetDC(pannello);
    HDC mem = CreateCompatibleDC(schermo);
    HBITMAP bmp = CreateCompatibleBitmap(schermo, 160, 260);
    HGDIOBJ vecchia = SelectObject(mem, bmp);
    {
        oggetti_propri propri(mem);
        const oggetti_contesto prima = oggetti_di(mem);
        for (int volta = 0; volta < 2; volta++) {
            SendMessageA(pannello, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
            EXPECT_TRUE(stessi_oggetti(mem, prima));
        }
        // What was drawn, whatever the context held: the bar all yellow in
        // its frame, player 1's column of one game out of three, 26 high in
        // its frame, and the black base line under the columns.
        PIXEL(mem, 50, 30, NERO);
        PIXEL(mem, 21, 40, GIALLO);
        PIXEL(mem, 138, 40, GIALLO);
        PIXEL(mem, 45, 124, NERO);
        PIXEL(mem, 45, 148, GIALLO);
        for (int x = 25; x < 135; x++) PIXEL(mem, x, 149, NERO);
    }
    SelectObject(mem, vecchia);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(pannello, schermo);
    info->aggiorna1(50);
    stop();
}

}  // namespace
