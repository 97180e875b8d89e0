// The Options and About dialogs under Wine, run modally as the main window
// runs them and driven from inside: when the dialog is activated, a CBT hook
// starts a thread timer, and the timer's procedure plays the test's steps on
// the dialog's controls (clicks, scroll steps) and reads them back, then ends
// the dialog with its own OK or Cancel button.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "comune.h"
#include "dialoghi.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "programma.h"
#include "risorse.h"
#include "testi_controlli.h"

partita game;
HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

using Righe = std::vector<std::string>;
const char RIGA_AVVIO[] = "dialog box avviata (dentro)!";
const char RIGA_FINE[] = "dialog box rilascia il controllo (dentro)!";

// The owner: records the moves posted to it.
std::vector<MSG> mosse_ricevute;

LRESULT CALLBACK ProcProprietario(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (messg != MSG_MOSSA) return DefWindowProcA(hWnd, messg, wParam, lParam);
    mosse_ricevute.push_back(MSG{hWnd, messg, wParam, lParam, 0, {0, 0}});
    return 0;
}

HWND proprietario() {
    static HWND h = nullptr;
    if (h == nullptr) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProcProprietario;
        wc.hInstance = hInst;
        wc.lpszClassName = "proprietario prova";
        RegisterClassA(&wc);
        h = CreateWindowExA(0, "proprietario prova", "Vorandel prova", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                            nullptr, nullptr, hInst, nullptr);
        ShowWindow(h, SW_SHOW);
    }
    return h;
}

// Dispatches what is waiting for the dialog and its controls (the refresh it
// posts to itself, above all), or with nullptr for the whole thread.
void svuota(HWND dlg) {
    MSG m;
    while (PeekMessageA(&m, dlg, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Dispatches everything for up to `ms` milliseconds, or until `fatto` holds.
bool attendi(const std::function<bool()>& fatto, DWORD ms) {
    auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        svuota(nullptr);
        if (fatto()) return true;
        if (std::chrono::steady_clock::now() > fine) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Running one dialog with a scenario.
std::function<void(HWND)> scenario;
HWND dialogo = nullptr;
HHOOK gancio = nullptr;

void CALLBACK Gioca(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    svuota(dialogo);
    scenario(dialogo);
    // A scenario that failed before closing the dialog: close it anyway,
    // with a result that the test recognises.
    if (IsWindowVisible(dialogo)) {
        ADD_FAILURE() << "the dialog is still open at the end of its scenario";
        EndDialog(dialogo, 77);
    }
}

LRESULT CALLBACK Cbt(int codice, WPARAM wParam, LPARAM lParam) {
    if (codice == HCBT_ACTIVATE && dialogo == nullptr) {
        char classe[16] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), classe, sizeof classe);
        if (std::strcmp(classe, "#32770") == 0) {
            dialogo = reinterpret_cast<HWND>(wParam);
            SetTimer(nullptr, 0, 1, Gioca);
        }
    }
    return CallNextHookEx(gancio, codice, wParam, lParam);
}

INT_PTR apri(std::function<void(HWND)> s, int risorsa = IDD_OPZIONI, DLGPROC proc = DiaProc) {
    scenario = std::move(s);
    dialogo = nullptr;
    gancio = SetWindowsHookExA(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
    INT_PTR r = DialogBoxParamA(hInst, MAKEINTRESOURCEA(risorsa), proprietario(), proc, 0);
    UnhookWindowsHookEx(gancio);
    EXPECT_NE(dialogo, nullptr) << "the dialog was never activated";
    return r;
}

// One step on the dialog: a click on control `id`, or with `codice` a step
// of the skill bar `id`; then what the dialog posted to itself.
void passo(HWND dlg, int id, int codice = -1, int pos = 0) {
    HWND c = GetDlgItem(dlg, id);
    if (codice < 0)
        SendMessageA(c, BM_CLICK, 0, 0);
    else
        SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(codice, pos), reinterpret_cast<LPARAM>(c));
    svuota(dlg);
}

const int G_umano[2] = {IDC_UMANO1, IDC_UMANO2};
const int G_automatico[2] = {IDC_AUTOMATICO1, IDC_AUTOMATICO2};
const int G_barra[2] = {IDC_SCROLL1, IDC_SCROLL2};
const int G_numero[2] = {IDC_SKILL1, IDC_SKILL2};

// What the dialog shows, "player 1 | player 2": for each, "H" or "A" for
// the box checked (both or neither give "HA" or "-"), "+" or "/" for the
// scroll bar enabled or not, its position and the number; e.g. "A+5 5".
std::string leggi(HWND dlg) {
    std::string v;
    for (int g = 0; g < 2; g++) {
        bool h = SendMessageA(GetDlgItem(dlg, G_umano[g]), BM_GETCHECK, 0, 0) == BST_CHECKED;
        bool a = SendMessageA(GetDlgItem(dlg, G_automatico[g]), BM_GETCHECK, 0, 0) == BST_CHECKED;
        HWND barra = GetDlgItem(dlg, G_barra[g]);
        SCROLLBARINFO sbi{};
        sbi.cbSize = sizeof sbi;
        GetScrollBarInfo(barra, OBJID_CLIENT, &sbi);
        bool abilitata = IsWindowEnabled(barra) && !(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
        BOOL ok = FALSE;
        std::string s = std::string(h ? "H" : "") + (a ? "A" : "");
        v += (g == 0 ? "" : " | ") + (s.empty() ? "-" : s) + (abilitata ? "+" : "/") +
             std::to_string(GetScrollPos(barra, SB_CTL)) + " " +
             std::to_string(GetDlgItemInt(dlg, G_numero[g], &ok, FALSE));
    }
    return v;
}

void imposta(e_tipo t0, e_tipo t1, int s0, int s1) {
    e_tipo t[2] = {t0, t1};
    int s[2] = {s0, s1};
    game.set_opzioni(t, s);
}

// The match's options, e.g. "CH 9 3" for a computer with skill 9 and a human.
std::string della_partita() {
    e_tipo t[2];
    int s[2];
    game.get_opzioni(t, s);
    return std::string(t[0] == COMPUTER ? "C" : "H") + (t[1] == COMPUTER ? "C " : "H ") + std::to_string(s[0]) +
           " " + std::to_string(s[1]);
}

class Opzioni : public ::testing::Test {
protected:
    void SetUp() override {
        partita_ispettore{game}.turno() = -1;  // no game in progress
        imposta(UMANO, UMANO, 1, 1);
        attendi([] { return false; }, 0);
        mosse_ricevute.clear();
        nuove_righe_log();
    }
};

// The start-up options: both "Human" boxes checked, both bars disabled (at
// 1, the bottom of their range), both numbers 0. Each player's two boxes
// behave like radio buttons, also when the box already checked is clicked;
// the other player's controls do not move. IDOK (the dialog's OK has an id
// of its own) and unknown ids leave the dialog open.
TEST_F(Opzioni, AvvioECaselleComeRadio) {
    Righe visti;
    std::vector<bool> aperto;
    INT_PTR r = apri([&](HWND dlg) {
        visti = {leggi(dlg)};
        for (WPARAM w : {MAKEWPARAM(IDOK, BN_CLICKED), WPARAM{999}}) {
            SendMessageA(dlg, WM_COMMAND, w, 0);
            svuota(dlg);
            aperto.push_back(IsWindowVisible(dlg) != FALSE);
        }
        for (int id : {IDC_AUTOMATICO1, IDC_AUTOMATICO1, IDC_UMANO1, IDC_UMANO1, IDC_AUTOMATICO2, IDC_AUTOMATICO2,
                       IDC_UMANO2}) {
            passo(dlg, id);
            visti.push_back(leggi(dlg));
        }
        passo(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(visti, (Righe{"H/1 0 | H/1 0", "A+1 1 | H/1 0", "A+1 1 | H/1 0", "H/1 0 | H/1 0", "H/1 0 | H/1 0",
                            "H/1 0 | A+1 1", "H/1 0 | A+1 1", "H/1 0 | H/1 0"}));
    EXPECT_EQ(aperto, (std::vector<bool>{true, true}));
    EXPECT_EQ(nuove_righe_log(), (Righe{RIGA_AVVIO, RIGA_FINE}));
}

// Arrows and shaft clicks move the skill by one, held within 1 to 10; the
// thumb, the other codes and bars that are not skill bars change nothing; a
// human's skill is remembered. Nothing reaches the match before OK; OK
// hands over both kinds and both skills.
TEST_F(Opzioni, PassiDellaSkillEOK) {
    Righe visti;
    std::string prima;
    INT_PTR r = apri([&](HWND dlg) {
        passo(dlg, IDC_AUTOMATICO1);
        // {scroll code, how many times}, then what is shown.
        const int passi[][2] = {{SB_LINELEFT, 1},      {SB_PAGELEFT, 1},  {SB_LINERIGHT, 4}, {SB_PAGERIGHT, 4},
                                {SB_PAGERIGHT, 1},     {SB_LINERIGHT, 1}, {SB_PAGELEFT, 1},  {SB_THUMBTRACK, 1},
                                {SB_THUMBPOSITION, 1}, {SB_LEFT, 1},      {SB_RIGHT, 1},     {SB_ENDSCROLL, 1}};
        for (const auto& p : passi) {
            for (int i = 0; i < p[1]; i++) passo(dlg, IDC_SCROLL1, p[0], 3);
            visti.push_back(leggi(dlg));
        }
        SendMessageA(dlg, WM_HSCROLL, SB_LINERIGHT, 0);
        passo(dlg, IDC_OK, SB_LINELEFT);
        for (int id : {0, IDC_UMANO1, IDC_AUTOMATICO1}) {
            if (id != 0) passo(dlg, id);
            visti.push_back(leggi(dlg));
        }
        passo(dlg, IDC_AUTOMATICO2);
        passo(dlg, IDC_SCROLL2, SB_LINERIGHT);
        passo(dlg, IDC_SCROLL2, SB_PAGERIGHT);
        passo(dlg, IDC_UMANO2);
        visti.push_back(leggi(dlg));
        prima = della_partita();
        passo(dlg, IDC_OK);
    });
    EXPECT_EQ(r, 0);
    const std::string umano2 = " | H/1 0";
    EXPECT_EQ(visti, (Righe{"A+1 1" + umano2,   "A+1 1" + umano2, "A+5 5" + umano2, "A+9 9" + umano2,
                            "A+10 10" + umano2, "A+10 10" + umano2, "A+9 9" + umano2, "A+9 9" + umano2,
                            "A+9 9" + umano2,   "A+9 9" + umano2, "A+9 9" + umano2, "A+9 9" + umano2,
                            "A+9 9" + umano2,   "H/9 0" + umano2, "A+9 9" + umano2, "A+9 9 | H/3 0"}));
    EXPECT_EQ(prima, "HH 1 1");
    EXPECT_EQ(della_partita(), "CH 9 3");
}

// The opening shows the match's options; Cancel drops every change.
TEST_F(Opzioni, AnnullaScartaLeModifiche) {
    imposta(UMANO, COMPUTER, 3, 6);
    Righe visti;
    auto prova = [&](HWND dlg) {
        visti.push_back(leggi(dlg));
        passo(dlg, IDC_AUTOMATICO1);
        passo(dlg, IDC_SCROLL1, SB_LINERIGHT);
        passo(dlg, IDC_SCROLL2, SB_LINELEFT);
        passo(dlg, IDC_UMANO2);
        passo(dlg, IDC_ANNULLA);
    };
    EXPECT_EQ(apri(prova), 0);
    EXPECT_EQ(apri(prova), 0);
    EXPECT_EQ(visti, (Righe{"H/1 0 | A+6 6", "H/1 0 | A+6 6"}));
    EXPECT_EQ(della_partita(), "HC 3 6");
}

// OK with the player to move made automatic: the match takes the new kind,
// but the dialog posts no move of its own (the main window starts the
// computer's turn once the dialog is over), and Cancel changes nothing.
TEST_F(Opzioni, OKConIlComputerDiTurnoNonPostaMosse) {
    HWND w = proprietario();
    game.ricomincia(w);
    int chi = partita_ispettore{game}.turno();
    ASSERT_TRUE(chi == 0 || chi == 1);
    for (int fine : {IDC_ANNULLA, IDC_OK}) {
        apri([&](HWND dlg) {
            passo(dlg, G_automatico[chi]);
            passo(dlg, fine);
        });
        EXPECT_EQ(game.stato(), fine == IDC_OK ? COMPUTER : UMANO);
    }
    // Had the dialog started a search, its move would be queued once every
    // worker has gone; none is.
    partita_ispettore{game}.attendi_lavoratori();
    EXPECT_EQ(partita_ispettore{game}.lavoratori(), 0);
    svuota(nullptr);
    EXPECT_TRUE(mosse_ricevute.empty());
    imposta(UMANO, UMANO, 1, 1);
}

// The About dialog: its texts (the icon aside); an unknown id leaves it
// open, its OK ends it.
TEST(About, SiApreESiChiudeConOK) {
    std::string testi;
    bool aperto = false;
    INT_PTR r = apri(
        [&](HWND dlg) {
            char t[64] = "";
            GetWindowTextA(dlg, t, sizeof t);
            testi = t;
            for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
                GetWindowTextA(c, t, sizeof t);
                testi += std::string("[") + t + "]";
            }
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(999, BN_CLICKED), 0);
            svuota(dlg);
            aperto = IsWindowVisible(dlg) != FALSE;
            passo(dlg, IDOK);
        },
        IDD_ABOUT, AboutProc);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(testi, "About...[Vorandel 32][Vorandel team][OK][v. 1.95b]");
    EXPECT_TRUE(aperto);
}

// Every text of both dialogs fits its control, in the dialogs' own font: in
// the Options dialog as it opens and with both skills at 10, the widest
// numbers they show; in the About dialog as it opens.
TEST(Dialoghi, TestiEntrano) {
    imposta(UMANO, UMANO, 1, 1);
    apri([](HWND dlg) {
        EXPECT_TRUE(testi_entrano(dlg));
        for (int g = 0; g < 2; g++) {
            passo(dlg, G_automatico[g]);
            for (int i = 0; i < 9; i++) passo(dlg, G_barra[g], SB_LINERIGHT);
        }
        EXPECT_EQ(leggi(dlg), "A+10 10 | A+10 10");
        EXPECT_TRUE(testi_entrano(dlg));
        passo(dlg, IDC_ANNULLA);
    });
    apri(
        [](HWND dlg) {
            EXPECT_TRUE(testi_entrano(dlg));
            passo(dlg, IDOK);
        },
        IDD_ABOUT, AboutProc);
}

// A key on the focused control, taken as the dialog's own loop takes a
// keyboard's keys (IsDialogMessage first), with what it posts after it;
// with `alt`, as the system key it is with Alt held down (Alt+F4).
void premi(HWND dlg, UINT vk, bool esteso = false, bool alt = false) {
    for (UINT msg : {alt ? WM_SYSKEYDOWN : WM_KEYDOWN, alt ? WM_SYSKEYUP : WM_KEYUP}) {
        bool su = msg == WM_KEYUP || msg == WM_SYSKEYUP;
        DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u) | (alt ? 1u << 29 : 0u) |
                   (su ? 0xC0000000u : 0u);
        MSG m{GetFocus(), msg, vk, static_cast<LPARAM>(lp), 0, {0, 0}};
        if (!IsWindow(dlg) || !IsDialogMessageA(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        svuota(dlg);
    }
}

// The id of the dialog's control that has the focus, 0 for none.
int fuoco(HWND dlg) {
    HWND f = GetFocus();
    return f != nullptr && GetParent(f) == dlg ? GetDlgCtrlID(f) : 0;
}

// The dialog opens with the focus on its first enabled tab stop, player 1's
// "Human", and Tab goes round every enabled one in the screen's order: each
// player's "Human", "Automatic" and skill bar, player 1 first, then OK and
// Cancel; an automatic player's skill bar is one, a human's (disabled) is
// skipped. Within a player the stops go down the dialog, and player 2's
// stand to the right of player 1's, at any resolution.
TEST(Dialoghi, IlTabRaggiungeLeBarreAbilitate) {
    struct caso {
        e_tipo t0, t1;
        std::vector<int> giro;
    };
    const std::vector<caso> casi = {
        {COMPUTER, COMPUTER,
         {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL1, IDC_UMANO2, IDC_AUTOMATICO2, IDC_SCROLL2, IDC_OK, IDC_ANNULLA,
          IDC_UMANO1}},
        {UMANO, COMPUTER,
         {IDC_UMANO1, IDC_AUTOMATICO1, IDC_UMANO2, IDC_AUTOMATICO2, IDC_SCROLL2, IDC_OK, IDC_ANNULLA, IDC_UMANO1}},
        {COMPUTER, UMANO,
         {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL1, IDC_UMANO2, IDC_AUTOMATICO2, IDC_OK, IDC_ANNULLA, IDC_UMANO1}},
        {UMANO, UMANO, {IDC_UMANO1, IDC_AUTOMATICO1, IDC_UMANO2, IDC_AUTOMATICO2, IDC_OK, IDC_ANNULLA, IDC_UMANO1}}};
    for (const caso& c : casi) {
        imposta(c.t0, c.t1, 4, 6);
        std::vector<int> visti;
        apri([&](HWND dlg) {
            visti.push_back(fuoco(dlg));
            for (std::size_t k = 1; k < c.giro.size(); k++) {
                premi(dlg, VK_TAB);
                visti.push_back(fuoco(dlg));
            }
            // The screen's order: top to bottom within each player, player
            // 2 to the right of player 1, OK and Cancel below them all.
            auto rettangolo = [&](int id) {
                RECT r{};
                GetWindowRect(GetDlgItem(dlg, id), &r);
                return r;
            };
            for (int g = 0; g < 2; g++) {
                EXPECT_LT(rettangolo(G_umano[g]).top, rettangolo(G_automatico[g]).top);
                EXPECT_LT(rettangolo(G_automatico[g]).top, rettangolo(G_barra[g]).top);
                EXPECT_LT(rettangolo(G_barra[g]).bottom, rettangolo(IDC_OK).top);
            }
            EXPECT_LT(rettangolo(G_barra[0]).right, rettangolo(G_umano[1]).left);
            EXPECT_LT(rettangolo(IDC_OK).right, rettangolo(IDC_ANNULLA).left);
            passo(dlg, IDC_ANNULLA);
        });
        EXPECT_EQ(visti, c.giro) << "players " << c.t0 << c.t1;
    }
    imposta(UMANO, UMANO, 1, 1);
}

// From the keyboard alone: Space makes player 1 automatic; on its bar the
// arrows and Page Up/Down step the skill by one within 1 to 10, Home and
// End change nothing; Space on OK hands the skill to the match.
TEST_F(Opzioni, SkillDallaTastiera) {
    Righe visti;
    INT_PTR r = apri([&](HWND dlg) {
        EXPECT_EQ(fuoco(dlg), IDC_UMANO1);
        premi(dlg, VK_TAB);
        EXPECT_EQ(fuoco(dlg), IDC_AUTOMATICO1);
        premi(dlg, VK_SPACE);
        visti.push_back(leggi(dlg));
        for (int k = 0; k < 6 && fuoco(dlg) != IDC_SCROLL1; k++) premi(dlg, VK_TAB);
        EXPECT_EQ(fuoco(dlg), IDC_SCROLL1);
        // {key, times}, then what is shown.
        const UINT passi[][2] = {{VK_RIGHT, 3}, {VK_LEFT, 1}, {VK_UP, 1},    {VK_DOWN, 1},  {VK_NEXT, 1},
                                 {VK_PRIOR, 1}, {VK_HOME, 1}, {VK_END, 1},   {VK_LEFT, 5},  {VK_RIGHT, 12},
                                 {VK_PRIOR, 5}};
        for (const auto& p : passi) {
            for (UINT k = 0; k < p[1]; k++) premi(dlg, p[0], true);
            visti.push_back(leggi(dlg));
        }
        for (int k = 0; k < 8 && fuoco(dlg) != IDC_OK; k++) premi(dlg, VK_TAB);
        EXPECT_EQ(fuoco(dlg), IDC_OK);
        premi(dlg, VK_SPACE);
    });
    EXPECT_EQ(r, 0);
    const std::string umano2 = " | H/1 0";
    EXPECT_EQ(visti, (Righe{"A+1 1" + umano2, "A+4 4" + umano2, "A+3 3" + umano2, "A+2 2" + umano2,
                            "A+3 3" + umano2, "A+4 4" + umano2, "A+3 3" + umano2, "A+3 3" + umano2,
                            "A+3 3" + umano2, "A+1 1" + umano2, "A+10 10" + umano2, "A+5 5" + umano2}));
    EXPECT_EQ(della_partita(), "CH 5 1");
}

// Enter from every control, reached by Tab alone after the skill of player
// 1 went up by one: OK is pressed (the match takes the change) from the
// boxes, the bars and OK itself, also after the focus went past Cancel;
// from Cancel, Cancel is (the match keeps its options). Enter never checks
// a box.
TEST_F(Opzioni, InvioDaOgniControllo) {
    // The tab stops with both players automatic, from the first.
    const std::vector<int> giro = {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL1, IDC_UMANO2, IDC_AUTOMATICO2,
                                   IDC_SCROLL2, IDC_OK,     IDC_ANNULLA,     IDC_UMANO1};
    for (std::size_t k = 0; k < giro.size(); k++) {
        SCOPED_TRACE(testing::Message() << "Enter after " << k << " Tabs from player 1's bar");
        imposta(COMPUTER, COMPUTER, 4, 6);
        nuove_righe_log();
        std::string mostrato;
        bool aperto = true;
        INT_PTR r = apri([&](HWND dlg) {
            for (int i = 0; i < 2; i++) premi(dlg, VK_TAB);
            EXPECT_EQ(fuoco(dlg), IDC_SCROLL1);
            premi(dlg, VK_RIGHT, true);
            for (int i = 0; i < 6; i++) premi(dlg, VK_TAB);  // round to player 1's "Human"
            for (std::size_t i = 0; i < k; i++) premi(dlg, VK_TAB);
            EXPECT_EQ(fuoco(dlg), giro[k]);
            mostrato = leggi(dlg);
            premi(dlg, VK_RETURN);
            aperto = IsWindowVisible(dlg) != FALSE;
            if (aperto) passo(dlg, IDC_ANNULLA);
        });
        EXPECT_EQ(r, 0);
        EXPECT_FALSE(aperto);
        EXPECT_EQ(mostrato, "A+5 5 | A+6 6");
        EXPECT_EQ(della_partita(), giro[k] == IDC_ANNULLA ? "CC 4 6" : "CC 5 6");
        EXPECT_EQ(nuove_righe_log(), (Righe{RIGA_AVVIO, RIGA_FINE}));
    }
    imposta(UMANO, UMANO, 1, 1);
}

// The ways out that Windows users know, after player 1 was made automatic
// from the keyboard: Esc, Alt+F4, the close box (the system menu's close
// command), WM_CLOSE from another program and Cancel's own IDCANCEL close
// the Options dialog and change nothing.
TEST_F(Opzioni, EscAltF4EChiusuraAnnullano) {
    struct via {
        const char* nome;
        std::function<void(HWND)> esci;
    };
    const std::vector<via> vie = {
        {"Esc", [](HWND d) { premi(d, VK_ESCAPE); }},
        {"Alt+F4", [](HWND d) { premi(d, VK_F4, false, true); }},
        {"close box", [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }},
        {"IDCANCEL", [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }},
    };
    for (const via& v : vie) {
        SCOPED_TRACE(v.nome);
        nuove_righe_log();
        std::string mostrato;
        bool aperto = true;
        INT_PTR r = apri([&](HWND dlg) {
            premi(dlg, VK_TAB);
            premi(dlg, VK_SPACE);
            mostrato = leggi(dlg);
            v.esci(dlg);
            svuota(dlg);
            aperto = IsWindowVisible(dlg) != FALSE;
            if (aperto) passo(dlg, IDC_ANNULLA);
        });
        EXPECT_EQ(r, 0);
        EXPECT_FALSE(aperto);
        EXPECT_EQ(mostrato, "A+1 1 | H/1 0");
        EXPECT_EQ(della_partita(), "HH 1 1");
        EXPECT_EQ(nuove_righe_log(), (Righe{RIGA_AVVIO, RIGA_FINE}));
    }
}

// The About dialog opens with the focus on its OK, the default button, and
// closes with Enter, Space, Esc, Alt+F4, its close box and WM_CLOSE.
TEST(About, SiChiudeDallaTastiera) {
    struct via {
        const char* nome;
        std::function<void(HWND)> esci;
    };
    const std::vector<via> vie = {
        {"Enter", [](HWND d) { premi(d, VK_RETURN); }},
        {"Space", [](HWND d) { premi(d, VK_SPACE); }},
        {"Esc", [](HWND d) { premi(d, VK_ESCAPE); }},
        {"Alt+F4", [](HWND d) { premi(d, VK_F4, false, true); }},
        {"close box", [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }},
    };
    for (const via& v : vie) {
        SCOPED_TRACE(v.nome);
        bool aperto = true;
        int primo = 0;
        LONG stile = 0;
        INT_PTR r = apri(
            [&](HWND dlg) {
                primo = fuoco(dlg);
                stile = GetWindowLongA(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK;
                v.esci(dlg);
                svuota(dlg);
                aperto = IsWindowVisible(dlg) != FALSE;
                if (aperto) passo(dlg, IDOK);
            },
            IDD_ABOUT, AboutProc);
        EXPECT_EQ(r, 0);
        EXPECT_FALSE(aperto);
        EXPECT_EQ(primo, IDOK);
        EXPECT_EQ(stile, BS_DEFPUSHBUTTON);
    }
}

// The pixels of the dialog on the outline of a rectangle, as drawn on the
// screen (the dialog and its controls painted first).
std::vector<COLORREF> contorno(HWND dlg, RECT r) {
    RedrawWindow(dlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<COLORREF> v;
    HDC hdc = GetDC(dlg);
    for (int x = r.left; x < r.right; x++) {
        v.push_back(GetPixel(hdc, x, r.top));
        v.push_back(GetPixel(hdc, x, r.bottom - 1));
    }
    for (int y = r.top; y < r.bottom; y++) {
        v.push_back(GetPixel(hdc, r.left, y));
        v.push_back(GetPixel(hdc, r.right - 1, y));
    }
    ReleaseDC(dlg, hdc);
    return v;
}

// A focused skill bar shows it: a dotted focus rectangle one pixel around
// its number, which goes when the focus moves on; the other bar's number
// shows none meanwhile.
TEST_F(Opzioni, LaBarraColFuocoLoMostra) {
    imposta(COMPUTER, COMPUTER, 4, 6);
    apri([&](HWND dlg) {
        auto attorno = [&](int id) {
            RECT r{};
            GetWindowRect(GetDlgItem(dlg, id), &r);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
            return RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
        };
        const COLORREF fondo = GetSysColor(COLOR_BTNFACE);
        auto segnati = [&](int id) {
            int n = 0;
            for (COLORREF c : contorno(dlg, attorno(id))) n += c != fondo;
            return n;
        };
        const int lato = static_cast<int>(contorno(dlg, attorno(IDC_SKILL1)).size());
        EXPECT_EQ(segnati(IDC_SKILL1), 0);
        for (int i = 0; i < 2; i++) premi(dlg, VK_TAB);
        ASSERT_EQ(fuoco(dlg), IDC_SCROLL1);
        EXPECT_GT(segnati(IDC_SKILL1), lato / 4) << "no focus rectangle around player 1's skill";
        EXPECT_EQ(segnati(IDC_SKILL2), 0);
        premi(dlg, VK_RIGHT, true);
        EXPECT_GT(segnati(IDC_SKILL1), lato / 4) << "the focus rectangle went with the skill's change";
        for (int i = 0; i < 3; i++) premi(dlg, VK_TAB);
        ASSERT_EQ(fuoco(dlg), IDC_SCROLL2);
        EXPECT_EQ(segnati(IDC_SKILL1), 0);
        EXPECT_GT(segnati(IDC_SKILL2), lato / 4);
        premi(dlg, VK_TAB);
        EXPECT_EQ(segnati(IDC_SKILL2), 0);
        passo(dlg, IDC_ANNULLA);
    });
    imposta(UMANO, UMANO, 1, 1);
}

// What a screen reader in this process hears from each of the players'
// controls: "name|value|role|checked".
std::string ascolta(HWND c) {
    IAccessible* a = nullptr;
    if (FAILED(AccessibleObjectFromWindow(c, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&a))) ||
        a == nullptr)
        return "no object";
    VARIANT se{};
    se.vt = VT_I4;
    se.lVal = CHILDID_SELF;
    auto testo = [](BSTR b) {
        std::string t;
        for (const wchar_t* p = b; p != nullptr && *p != 0; p++) t += static_cast<char>(*p);
        SysFreeString(b);
        return t;
    };
    BSTR nome = nullptr, valore = nullptr;
    a->get_accName(se, &nome);
    a->get_accValue(se, &valore);
    VARIANT ruolo{}, stato{};
    a->get_accRole(se, &ruolo);
    a->get_accState(se, &stato);
    a->Release();
    return testo(nome) + "|" + testo(valore) + "|" + std::to_string(ruolo.vt == VT_I4 ? ruolo.lVal : -1) +
           ((stato.vt == VT_I4 && (stato.lVal & STATE_SYSTEM_CHECKED)) ? "|checked" : "|");
}

// Each of the players' controls says whose it is; a bar gives the skill
// that OK would hand over as its value, and follows it; a box says whether
// it is checked.
TEST_F(Opzioni, NomiPerLoScreenReader) {
    CoInitialize(nullptr);
    imposta(UMANO, COMPUTER, 3, 7);
    Righe visti;
    apri([&](HWND dlg) {
        for (int g = 0; g < 2; g++)
            for (int id : {G_umano[g], G_automatico[g], G_barra[g]}) visti.push_back(ascolta(GetDlgItem(dlg, id)));
        passo(dlg, IDC_SCROLL2, SB_LINELEFT);
        passo(dlg, IDC_AUTOMATICO1);
        for (int id : {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL2}) visti.push_back(ascolta(GetDlgItem(dlg, id)));
        passo(dlg, IDC_ANNULLA);
    });
    const std::string casella = "|" + std::to_string(ROLE_SYSTEM_CHECKBUTTON);
    const std::string barra = "|" + std::to_string(ROLE_SYSTEM_SLIDER) + "|";
    EXPECT_EQ(visti, (Righe{"Player 1: Human|" + casella + "|checked", "Player 1: Automatic|" + casella + "|",
                            "Player 1 skill|3" + barra, "Player 2: Human|" + casella + "|",
                            "Player 2: Automatic|" + casella + "|checked", "Player 2 skill|7" + barra,
                            "Player 1: Human|" + casella + "|", "Player 1: Automatic|" + casella + "|checked",
                            "Player 2 skill|6" + barra}));
    CoUninitialize();
}

// A screen reader in another process (lettore_opzioni) reads each player's
// boxes and bar with the player in the name, a box's check and a bar's skill
// as its value; it hears the focus go by Tab from control to control, and
// the bar's new value after the right arrow, each read through the object
// the event names; its Esc closes the dialog and the match keeps its
// options. The dialog runs its own loop meanwhile, as it does for a
// keyboard.
TEST_F(Opzioni, UnoScreenReaderDaUnAltroProcesso) {
    imposta(UMANO, COMPUTER, 3, 7);
    char cartella[MAX_PATH] = "";
    GetTempPathA(sizeof cartella, cartella);
    const std::string file = std::string(cartella) + "vorandel_lettore_opzioni.txt";
    DeleteFileA(file.c_str());
    DWORD codice = 99;
    bool aperto = true;
    INT_PTR r = apri([&](HWND dlg) {
        std::string riga = std::string("\"") + VORANDEL_LETTORE_OPZIONI + "\" " +
                           std::to_string(reinterpret_cast<UINT_PTR>(dlg)) + " \"" + file + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &riga[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "cannot start " << riga;
            passo(dlg, IDC_ANNULLA);
            return;
        }
        const auto fine = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && std::chrono::steady_clock::now() < fine) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                if (!IsWindow(dlg) || !IsDialogMessageA(dlg, &m)) {
                    TranslateMessage(&m);
                    DispatchMessageA(&m);
                }
            MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 50, QS_ALLINPUT);
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 98);
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &codice);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        aperto = IsWindowVisible(dlg) != FALSE;
        if (aperto) passo(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(codice, 0u);
    EXPECT_FALSE(aperto);
    Righe sentito;
    if (FILE* f = std::fopen(file.c_str(), "r")) {
        char b[256];
        while (std::fgets(b, sizeof b, f) != nullptr) sentito.push_back(std::string(b, std::strcspn(b, "\r\n")));
        std::fclose(f);
    }
    DeleteFileA(file.c_str());
    EXPECT_EQ(sentito, (Righe{"control 3008: Player 1: Human||checked", "control 3009: Player 1: Automatic||",
                              "control 3013: Player 1 skill|3|", "control 3010: Player 2: Human||",
                              "control 3011: Player 2: Automatic||checked", "control 3012: Player 2 skill|7|",
                              "focus: Player 1: Automatic|", "focus: Player 2: Human|",
                              "focus: Player 2: Automatic|", "focus: Player 2 skill|7", "value: Player 2 skill|8",
                              "closed"}));
    EXPECT_EQ(della_partita(), "HC 3 7");
    imposta(UMANO, UMANO, 1, 1);
}

}  // namespace
