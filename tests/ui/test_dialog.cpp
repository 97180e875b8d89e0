// The Options and About dialogs under Wine, run modally as the main window
// runs them and driven from inside: when the dialog is activated, a CBT hook
// starts a thread timer, and the timer's procedure plays the test's steps on
// the dialog's controls (clicks, scroll steps) and reads them back, then ends
// the dialog with its own OK or Cancel button.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
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
// the other player's controls do not move. Esc (IDCANCEL), the close
// command and unknown ids leave the dialog open; only its OK and Cancel end it.
TEST_F(Opzioni, AvvioECaselleComeRadio) {
    Righe visti;
    std::vector<bool> aperto;
    INT_PTR r = apri([&](HWND dlg) {
        visti = {leggi(dlg)};
        for (WPARAM w : {MAKEWPARAM(IDCANCEL, BN_CLICKED), WPARAM{0}, MAKEWPARAM(IDOK, BN_CLICKED), WPARAM{999}}) {
            SendMessageA(dlg, w == 0 ? WM_CLOSE : WM_COMMAND, w, 0);  // 0: the close command
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
    EXPECT_EQ(aperto, (std::vector<bool>{true, true, true, true}));
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

// The About dialog: its texts (the icon aside); IDCANCEL leaves it open,
// its OK ends it.
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
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
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
// keyboard's keys (IsDialogMessage first), with what it posts after it.
void premi(HWND dlg, UINT vk, bool esteso = false) {
    for (UINT msg : {WM_KEYDOWN, WM_KEYUP}) {
        DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u) | (msg == WM_KEYUP ? 0xC0000000u : 0u);
        MSG m{GetFocus(), msg, vk, static_cast<LPARAM>(lp), 0, {0, 0}};
        if (!IsDialogMessageA(dlg, &m)) {
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

// The dialog opens with the focus on its first enabled tab stop, and Tab
// goes round every enabled one in template order: an automatic player's
// skill bar is one, a human's (disabled) is skipped.
TEST(Dialoghi, IlTabRaggiungeLeBarreAbilitate) {
    struct caso {
        e_tipo t0, t1;
        std::vector<int> giro;
    };
    const std::vector<caso> casi = {
        {COMPUTER, COMPUTER,
         {IDC_SCROLL1, IDC_AUTOMATICO1, IDC_UMANO1, IDC_SCROLL2, IDC_AUTOMATICO2, IDC_UMANO2, IDC_OK, IDC_ANNULLA,
          IDC_SCROLL1}},
        {UMANO, COMPUTER,
         {IDC_AUTOMATICO1, IDC_UMANO1, IDC_SCROLL2, IDC_AUTOMATICO2, IDC_UMANO2, IDC_OK, IDC_ANNULLA,
          IDC_AUTOMATICO1}},
        {UMANO, UMANO,
         {IDC_AUTOMATICO1, IDC_UMANO1, IDC_AUTOMATICO2, IDC_UMANO2, IDC_OK, IDC_ANNULLA, IDC_AUTOMATICO1}}};
    for (const caso& c : casi) {
        imposta(c.t0, c.t1, 4, 6);
        std::vector<int> visti;
        apri([&](HWND dlg) {
            visti.push_back(fuoco(dlg));
            for (std::size_t k = 1; k < c.giro.size(); k++) {
                premi(dlg, VK_TAB);
                visti.push_back(fuoco(dlg));
            }
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

}  // namespace
