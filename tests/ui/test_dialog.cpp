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
#include "risorse.h"

partita game;
HINSTANCE hInst = GetModuleHandleA(nullptr);

namespace {

using Righe = std::vector<std::string>;

const char RIGA_AVVIO[] = "dialog box avviata (dentro)!";
const char RIGA_FINE[] = "dialog box rilascia il controllo (dentro)!";

// The owner: records the moves posted to it.
std::vector<MSG> mosse_ricevute;

LRESULT CALLBACK ProcProprietario(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (messg == MSG_MOSSA) {
        MSG m{};
        m.hwnd = hWnd;
        m.message = messg;
        m.wParam = wParam;
        m.lParam = lParam;
        mosse_ricevute.push_back(m);
        return 0;
    }
    return DefWindowProcA(hWnd, messg, wParam, lParam);
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
// posts to itself, above all).
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
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
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
    HWND dlg = dialogo;
    svuota(dlg);
    scenario(dlg);
    // A scenario that failed before closing the dialog: close it anyway,
    // with a result that the test recognises.
    if (IsWindowVisible(dlg)) {
        ADD_FAILURE() << "the dialog is still open at the end of its scenario";
        EndDialog(dlg, 77);
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

INT_PTR apri(int risorsa, DLGPROC proc, std::function<void(HWND)> s) {
    scenario = std::move(s);
    dialogo = nullptr;
    gancio = SetWindowsHookExA(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
    INT_PTR r = DialogBoxParamA(hInst, MAKEINTRESOURCEA(risorsa), proprietario(), proc, 0);
    UnhookWindowsHookEx(gancio);
    EXPECT_NE(dialogo, nullptr) << "the dialog was never activated";
    return r;
}

INT_PTR apri_opzioni(std::function<void(HWND)> s) { return apri(IDD_OPZIONI, DiaProc, std::move(s)); }

// A mouse click on a control, then what the dialog posted to itself.
void clicca(HWND dlg, int id) {
    SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
    svuota(dlg);
}

// What a skill scroll bar reports to the dialog for one step.
void scorri(HWND dlg, int id, int codice, int pos = 0) {
    SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(codice, pos), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    svuota(dlg);
}

void premi(HWND dlg, int id) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

struct vista_giocatore {
    int umano, automatico, barra, numero;
};
const vista_giocatore G_vista[2] = {
    {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL1, IDC_SKILL1},
    {IDC_UMANO2, IDC_AUTOMATICO2, IDC_SCROLL2, IDC_SKILL2},
};

bool barra_abilitata(HWND barra) {
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    GetScrollBarInfo(barra, OBJID_CLIENT, &sbi);
    return IsWindowEnabled(barra) && !(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

// What the dialog shows for a player: "H" or "A" for the box checked (both
// or neither give "HA" or "-"), the scroll bar enabled or not, its position
// and the number.
struct mostrato {
    std::string casella;
    bool abilitata;
    int posizione;
    unsigned numero;
    bool operator==(const mostrato& o) const {
        return casella == o.casella && abilitata == o.abilitata && posizione == o.posizione && numero == o.numero;
    }
};
std::ostream& operator<<(std::ostream& os, const mostrato& m) {
    return os << "{" << m.casella << (m.abilitata ? ", enabled at " : ", disabled at ") << m.posizione
              << ", shows " << m.numero << "}";
}

mostrato leggi(HWND dlg, int giocatore) {
    const vista_giocatore& v = G_vista[giocatore];
    mostrato m;
    bool h = SendMessageA(GetDlgItem(dlg, v.umano), BM_GETCHECK, 0, 0) == BST_CHECKED;
    bool a = SendMessageA(GetDlgItem(dlg, v.automatico), BM_GETCHECK, 0, 0) == BST_CHECKED;
    m.casella = std::string(h ? "H" : "") + (a ? "A" : "");
    if (m.casella.empty()) m.casella = "-";
    HWND barra = GetDlgItem(dlg, v.barra);
    m.abilitata = barra_abilitata(barra);
    m.posizione = GetScrollPos(barra, SB_CTL);
    BOOL ok = FALSE;
    m.numero = GetDlgItemInt(dlg, v.numero, &ok, FALSE);
    return m;
}

void imposta(e_tipo t0, e_tipo t1, int s0, int s1) {
    e_tipo t[2] = {t0, t1};
    int s[2] = {s0, s1};
    game.set_opzioni(t, s);
}

struct opzioni {
    e_tipo tipo[2];
    int skill[2];
    bool operator==(const opzioni& o) const {
        return tipo[0] == o.tipo[0] && tipo[1] == o.tipo[1] && skill[0] == o.skill[0] && skill[1] == o.skill[1];
    }
};
std::ostream& operator<<(std::ostream& os, const opzioni& o) {
    return os << "{" << o.tipo[0] << ", " << o.tipo[1] << "; " << o.skill[0] << ", " << o.skill[1] << "}";
}
opzioni della_partita() {
    opzioni o;
    game.get_opzioni(o.tipo, o.skill);
    return o;
}

class Opzioni : public ::testing::Test {
protected:
    void SetUp() override {
        partita_ispettore{game}.turno() = -1;  // no game in progress
        imposta(UMANO, UMANO, 1, 1);
        proprietario();
        attendi([] { return false; }, 0);
        mosse_ricevute.clear();
        nuove_righe_log();
    }
};

// The start-up options: both "Human" boxes checked, both bars disabled,
// both numbers 0; the log tells the opening and the end.
TEST_F(Opzioni, ApreConLeOpzioniDiAvvio) {
    mostrato g[2];
    char titolo[32] = "";
    HWND proprio = nullptr;
    INT_PTR r = apri_opzioni([&](HWND dlg) {
        g[0] = leggi(dlg, 0);
        g[1] = leggi(dlg, 1);
        GetWindowTextA(dlg, titolo, sizeof titolo);
        proprio = GetWindow(dlg, GW_OWNER);
        int minimo = -1, massimo = -1;
        GetScrollRange(GetDlgItem(dlg, IDC_SCROLL1), SB_CTL, &minimo, &massimo);
        EXPECT_EQ(minimo, 1);
        EXPECT_EQ(massimo, 10);
        GetScrollRange(GetDlgItem(dlg, IDC_SCROLL2), SB_CTL, &minimo, &massimo);
        EXPECT_EQ(minimo, 1);
        EXPECT_EQ(massimo, 10);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(r, 0);
    EXPECT_STREQ(titolo, "Options");
    EXPECT_EQ(proprio, proprietario());
    // The range puts the bars' positions at 1.
    EXPECT_EQ(g[0], (mostrato{"H", false, 1, 0}));
    EXPECT_EQ(g[1], (mostrato{"H", false, 1, 0}));
    EXPECT_EQ(nuove_righe_log(), (Righe{RIGA_AVVIO, RIGA_FINE}));
}

// The opening shows the match's options, whatever an earlier opening left.
TEST_F(Opzioni, ApreConLeOpzioniDellaPartita) {
    imposta(COMPUTER, UMANO, 4, 7);
    mostrato g[2];
    apri_opzioni([&](HWND dlg) {
        g[0] = leggi(dlg, 0);
        g[1] = leggi(dlg, 1);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(g[0], (mostrato{"A", true, 4, 4}));
    EXPECT_EQ(g[1].casella, "H");
    EXPECT_FALSE(g[1].abilitata);
    EXPECT_EQ(g[1].numero, 0u);

    imposta(UMANO, COMPUTER, 2, 9);
    apri_opzioni([&](HWND dlg) {
        g[0] = leggi(dlg, 0);
        g[1] = leggi(dlg, 1);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(g[0].casella, "H");
    EXPECT_FALSE(g[0].abilitata);
    EXPECT_EQ(g[0].numero, 0u);
    EXPECT_EQ(g[1], (mostrato{"A", true, 9, 9}));
}

// Each player's two boxes behave like radio buttons, also when the box
// already checked is clicked; the other player's controls do not move.
TEST_F(Opzioni, CaselleComeRadio) {
    std::vector<mostrato> visti;
    apri_opzioni([&](HWND dlg) {
        clicca(dlg, IDC_AUTOMATICO1);
        visti.push_back(leggi(dlg, 0));
        visti.push_back(leggi(dlg, 1));
        clicca(dlg, IDC_AUTOMATICO1);
        visti.push_back(leggi(dlg, 0));
        clicca(dlg, IDC_UMANO1);
        visti.push_back(leggi(dlg, 0));
        clicca(dlg, IDC_UMANO1);
        visti.push_back(leggi(dlg, 0));
        clicca(dlg, IDC_AUTOMATICO2);
        visti.push_back(leggi(dlg, 1));
        visti.push_back(leggi(dlg, 0));
        clicca(dlg, IDC_AUTOMATICO2);
        visti.push_back(leggi(dlg, 1));
        clicca(dlg, IDC_UMANO2);
        visti.push_back(leggi(dlg, 1));
        clicca(dlg, IDC_ANNULLA);
    });
    const std::vector<mostrato> attesi = {
        {"A", true, 1, 1},  {"H", false, 1, 0}, {"A", true, 1, 1}, {"H", false, 1, 0}, {"H", false, 1, 0},
        {"A", true, 1, 1},  {"H", false, 1, 0}, {"A", true, 1, 1}, {"H", false, 1, 0},
    };
    ASSERT_EQ(visti.size(), attesi.size());
    for (size_t i = 0; i < attesi.size(); i++) EXPECT_EQ(visti[i], attesi[i]) << "step " << i;
}

// Arrows and shaft clicks move the skill by one, held within 1 to 10; the
// thumb and the other codes change nothing; a human's skill is remembered.
TEST_F(Opzioni, PassiDellaSkill) {
    std::vector<mostrato> visti;
    opzioni prima{};
    INT_PTR r = apri_opzioni([&](HWND dlg) {
        clicca(dlg, IDC_AUTOMATICO1);
        scorri(dlg, IDC_SCROLL1, SB_LINELEFT);
        visti.push_back(leggi(dlg, 0));  // 0: held at 1
        scorri(dlg, IDC_SCROLL1, SB_PAGELEFT);
        visti.push_back(leggi(dlg, 0));  // 1: held at 1
        for (int i = 0; i < 4; i++) scorri(dlg, IDC_SCROLL1, SB_LINERIGHT);
        visti.push_back(leggi(dlg, 0));  // 2: 5
        for (int i = 0; i < 4; i++) scorri(dlg, IDC_SCROLL1, SB_PAGERIGHT);
        visti.push_back(leggi(dlg, 0));  // 3: 9
        scorri(dlg, IDC_SCROLL1, SB_PAGERIGHT);
        scorri(dlg, IDC_SCROLL1, SB_LINERIGHT);
        scorri(dlg, IDC_SCROLL1, SB_PAGERIGHT);
        visti.push_back(leggi(dlg, 0));  // 4: held at 10
        scorri(dlg, IDC_SCROLL1, SB_PAGELEFT);
        visti.push_back(leggi(dlg, 0));  // 5: 9
        scorri(dlg, IDC_SCROLL1, SB_THUMBTRACK, 3);
        scorri(dlg, IDC_SCROLL1, SB_THUMBPOSITION, 3);
        scorri(dlg, IDC_SCROLL1, SB_LEFT);
        scorri(dlg, IDC_SCROLL1, SB_RIGHT);
        scorri(dlg, IDC_SCROLL1, SB_ENDSCROLL);
        visti.push_back(leggi(dlg, 0));  // 6: still 9
        visti.push_back(leggi(dlg, 1));  // 7: player 2 untouched
        clicca(dlg, IDC_UMANO1);
        visti.push_back(leggi(dlg, 0));  // 8: human, 0 shown
        clicca(dlg, IDC_AUTOMATICO1);
        visti.push_back(leggi(dlg, 0));  // 9: the skill is back
        // Player 2's bar moves player 2's skill only.
        clicca(dlg, IDC_AUTOMATICO2);
        scorri(dlg, IDC_SCROLL2, SB_LINERIGHT);
        scorri(dlg, IDC_SCROLL2, SB_PAGERIGHT);
        visti.push_back(leggi(dlg, 1));  // 10: 3
        visti.push_back(leggi(dlg, 0));  // 11: 9
        clicca(dlg, IDC_UMANO2);
        prima = della_partita();
        clicca(dlg, IDC_OK);
    });
    EXPECT_EQ(r, 0);
    const std::vector<mostrato> attesi = {
        {"A", true, 1, 1},   {"A", true, 1, 1}, {"A", true, 5, 5}, {"A", true, 9, 9},
        {"A", true, 10, 10}, {"A", true, 9, 9}, {"A", true, 9, 9}, {"H", false, 1, 0},
        {"H", false, 9, 0},  {"A", true, 9, 9}, {"A", true, 3, 3}, {"A", true, 9, 9},
    };
    ASSERT_EQ(visti.size(), attesi.size());
    for (size_t i = 0; i < attesi.size(); i++) EXPECT_EQ(visti[i], attesi[i]) << "step " << i;
    // Nothing reached the match before OK; OK hands over both kinds and
    // both skills, the human's remembered skill too.
    EXPECT_EQ(prima, (opzioni{{UMANO, UMANO}, {1, 1}}));
    EXPECT_EQ(della_partita(), (opzioni{{COMPUTER, UMANO}, {9, 3}}));
}

// A scroll message from a bar that is not a skill bar changes nothing.
TEST_F(Opzioni, ScorrimentoEstraneoIgnorato) {
    imposta(COMPUTER, COMPUTER, 5, 5);
    mostrato g[2];
    apri_opzioni([&](HWND dlg) {
        SendMessageA(dlg, WM_HSCROLL, SB_LINERIGHT, 0);
        SendMessageA(dlg, WM_HSCROLL, SB_LINELEFT, reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_OK)));
        svuota(dlg);
        g[0] = leggi(dlg, 0);
        g[1] = leggi(dlg, 1);
        clicca(dlg, IDC_OK);
    });
    EXPECT_EQ(g[0], (mostrato{"A", true, 5, 5}));
    EXPECT_EQ(g[1], (mostrato{"A", true, 5, 5}));
    EXPECT_EQ(della_partita(), (opzioni{{COMPUTER, COMPUTER}, {5, 5}}));
}

// Cancel drops every change; the next opening shows the match's options.
TEST_F(Opzioni, AnnullaScartaLeModifiche) {
    imposta(UMANO, COMPUTER, 3, 6);
    INT_PTR r = apri_opzioni([&](HWND dlg) {
        clicca(dlg, IDC_AUTOMATICO1);
        scorri(dlg, IDC_SCROLL1, SB_LINERIGHT);
        clicca(dlg, IDC_UMANO2);
        scorri(dlg, IDC_SCROLL2, SB_LINELEFT);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(della_partita(), (opzioni{{UMANO, COMPUTER}, {3, 6}}));
    mostrato g[2];
    apri_opzioni([&](HWND dlg) {
        g[0] = leggi(dlg, 0);
        g[1] = leggi(dlg, 1);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(g[0].casella, "H");
    EXPECT_EQ(g[0].numero, 0u);
    EXPECT_EQ(g[1], (mostrato{"A", true, 6, 6}));
}

// Esc, the close command and unknown ids leave the dialog open; only OK and
// Cancel end it.
TEST_F(Opzioni, SoloOKEAnnullaChiudono) {
    std::vector<bool> aperto;
    INT_PTR r = apri_opzioni([&](HWND dlg) {
        premi(dlg, IDCANCEL);
        svuota(dlg);
        aperto.push_back(IsWindowVisible(dlg) != FALSE);
        SendMessageA(dlg, WM_CLOSE, 0, 0);
        svuota(dlg);
        aperto.push_back(IsWindowVisible(dlg) != FALSE);
        premi(dlg, IDOK);
        premi(dlg, 999);
        svuota(dlg);
        aperto.push_back(IsWindowVisible(dlg) != FALSE);
        EXPECT_EQ(nuove_righe_log(), Righe{RIGA_AVVIO});
        clicca(dlg, IDC_OK);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(aperto, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(nuove_righe_log(), Righe{RIGA_FINE});
}

// OK hands the dialog's copies to the match even when nothing was changed
// in the dialog: what the match held meanwhile is replaced.
TEST_F(Opzioni, OKConsegnaSempre) {
    imposta(COMPUTER, UMANO, 2, 8);
    apri_opzioni([&](HWND dlg) {
        imposta(UMANO, COMPUTER, 10, 10);
        clicca(dlg, IDC_OK);
    });
    EXPECT_EQ(della_partita(), (opzioni{{COMPUTER, UMANO}, {2, 8}}));
}

// The moves that reached the owner for the turn in progress.
size_t mosse_del_turno() {
    size_t n = 0;
    for (const MSG& m : mosse_ricevute)
        if (static_cast<std::uint32_t>(m.lParam) == game.firma()) n++;
    return n;
}

// When OK makes the player to move automatic, the computer moves: one
// search, whose move reaches the owner; a second OK in the same turn starts
// no other. Making only the waiting player automatic starts nothing.
TEST_F(Opzioni, OKConIlComputerDiTurnoMuove) {
    HWND w = proprietario();
    game.ricomincia(w);
    int chi = partita_ispettore{game}.turno();
    ASSERT_TRUE(chi == 0 || chi == 1);
    apri_opzioni([&](HWND dlg) {
        clicca(dlg, G_vista[chi].automatico);
        clicca(dlg, IDC_OK);
    });
    ASSERT_EQ(game.stato(), COMPUTER);
    EXPECT_TRUE(attendi([] { return !mosse_ricevute.empty(); }, 20000));
    ASSERT_EQ(mosse_ricevute.size(), 1u);
    EXPECT_EQ(mosse_del_turno(), 1u);
    EXPECT_EQ(mosse_ricevute[0].hwnd, w);
    EXPECT_LT(static_cast<int>(mosse_ricevute[0].wParam), partita_ispettore{game}.n_lecite());

    // The same turn again: no second search.
    apri_opzioni([&](HWND dlg) { clicca(dlg, IDC_OK); });
    attendi([] { return mosse_ricevute.size() > 1; }, 500);
    EXPECT_EQ(mosse_ricevute.size(), 1u);

    // A new game with two humans; only the waiting player is made automatic:
    // no search, so one can still be started for this turn.
    imposta(UMANO, UMANO, 1, 1);
    game.ricomincia(w);
    chi = partita_ispettore{game}.turno();
    mosse_ricevute.clear();
    apri_opzioni([&](HWND dlg) {
        clicca(dlg, G_vista[1 - chi].automatico);
        clicca(dlg, IDC_OK);
    });
    EXPECT_EQ(game.stato(), UMANO);
    EXPECT_EQ(game.mossa_macchina(w), 1);
    // That search's move, so that no worker outlives the test.
    EXPECT_TRUE(attendi([] { return !mosse_ricevute.empty(); }, 20000));
    imposta(UMANO, UMANO, 1, 1);
}

// Cancel starts no search, even with the player to move made automatic.
TEST_F(Opzioni, AnnullaNonMuove) {
    HWND w = proprietario();
    game.ricomincia(w);
    int chi = partita_ispettore{game}.turno();
    apri_opzioni([&](HWND dlg) {
        clicca(dlg, G_vista[chi].automatico);
        clicca(dlg, IDC_ANNULLA);
    });
    EXPECT_EQ(game.stato(), UMANO);
    EXPECT_EQ(game.mossa_macchina(w), 1);
    EXPECT_TRUE(attendi([] { return !mosse_ricevute.empty(); }, 20000));
    imposta(UMANO, UMANO, 1, 1);
}

// The About dialog: its texts and icon, no system menu; only its OK ends it.
TEST(About, SiApreESiChiudeConOK) {
    std::string titolo, testi;
    bool icona = false, aperto = false;
    LONG stile = 0;
    INT_PTR r = apri(IDD_ABOUT, AboutProc, [&](HWND dlg) {
        char t[64] = "";
        GetWindowTextA(dlg, t, sizeof t);
        titolo = t;
        stile = GetWindowLongA(dlg, GWL_STYLE);
        for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            char classe[32] = "";
            GetClassNameA(c, classe, sizeof classe);
            if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && _stricmp(classe, "Static") == 0) {
                icona = SendMessageA(c, STM_GETICON, 0, 0) != 0;
                continue;
            }
            GetWindowTextA(c, t, sizeof t);
            testi += std::string("[") + t + "]";
            // Each text fits on one line of its control.
            HDC hdc = GetDC(c);
            HGDIOBJ prima = SelectObject(hdc, reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0)));
            SIZE dim{};
            GetTextExtentPoint32A(hdc, t, static_cast<int>(std::strlen(t)), &dim);
            SelectObject(hdc, prima);
            ReleaseDC(c, hdc);
            RECT r;
            GetClientRect(c, &r);
            EXPECT_LE(dim.cx, r.right) << "\"" << t << "\" does not fit its control";
        }
        premi(dlg, IDCANCEL);
        svuota(dlg);
        aperto = IsWindowVisible(dlg) != FALSE;
        SendMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(titolo, "About...");
    EXPECT_EQ(stile & WS_SYSMENU, 0);
    EXPECT_NE(stile & WS_CAPTION, 0);
    EXPECT_EQ(testi, "[Vorandel 32][Vorandel team][OK][v. 1.95b]");
    EXPECT_TRUE(icona);
    EXPECT_TRUE(aperto);
}

}  // namespace
