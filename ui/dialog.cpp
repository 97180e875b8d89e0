// The Options dialog, where each player is made "Human" or "Automatic" and
// an automatic player gets its skill, and the About dialog.
//
// The Options dialog works on its own copies of the kinds and skills, read
// from the match when it opens and handed back only on OK. Whenever a copy
// changes, the dialog posts MSG_AGGIORNA to itself and brings its controls
// up to date there.
#include "dialoghi.h"

#include "comune.h"
#include "partita.h"
#include "risorse.h"

namespace {

// The dialog's copies, kept for the whole run; each opening reads them
// afresh from the match.
e_tipo tipo[2];
int skill[2];
HWND hscroll1;  // player 1's skill scroll bar
HWND hscroll2;  // player 2's skill scroll bar
HWND hscroll;   // the scroll bar of the last skill step
int tmp;        // the player (0 or 1) of the last skill step
bool appena_aperto;  // the first refresh after the opening is still to come

// The controls of one player, by index.
struct controlli_giocatore {
    int umano;
    int automatico;
    int numero;
};
const controlli_giocatore G_controlli[2] = {
    {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SKILL1},
    {IDC_UMANO2, IDC_AUTOMATICO2, IDC_SKILL2},
};

void aggiorna(HWND hWnd) { PostMessageA(hWnd, MSG_AGGIORNA, 0, 0); }

void on_initdialog(HWND hWnd) {
    logfile << "dialog box avviata (dentro)!\n";
    game.get_opzioni(tipo, skill);
    for (int i = 0; i < 2; i++) {
        SendMessageA(GetDlgItem(hWnd, G_controlli[i].umano), BM_SETCHECK, tipo[i] == UMANO ? 1 : 0, 0);
        SendMessageA(GetDlgItem(hWnd, G_controlli[i].automatico), BM_SETCHECK, tipo[i] == COMPUTER ? 1 : 0, 0);
    }
    hscroll1 = GetDlgItem(hWnd, IDC_SCROLL1);
    SetScrollRange(hscroll1, SB_CTL, SKILL_MIN, SKILL_MAX, FALSE);
    hscroll2 = GetDlgItem(hWnd, IDC_SCROLL2);
    SetScrollRange(hscroll2, SB_CTL, SKILL_MIN, SKILL_MAX, FALSE);
    appena_aperto = true;
    aggiorna(hWnd);
}

// A click on a player's "Human" or "Automatic" box: the box clicked ends up
// checked, even when it was checked already (an automatic check box has
// just unchecked itself then), and its partner unchecked.
void scegli(HWND hWnd, int giocatore, e_tipo nuovo) {
    const controlli_giocatore& c = G_controlli[giocatore];
    int scelto = nuovo == UMANO ? c.umano : c.automatico;
    int altro = nuovo == UMANO ? c.automatico : c.umano;
    SendMessageA(GetDlgItem(hWnd, scelto), BM_SETCHECK, 1, 0);
    SendMessageA(GetDlgItem(hWnd, altro), BM_SETCHECK, 0, 0);
    tipo[giocatore] = nuovo;
    aggiorna(hWnd);
}

// OK: the match takes both kinds and both skills; a change of kind takes
// the highlighted target's frame off the owner's board, the main window (the
// dialog is not a pop-up, so GetParent would not name it). The main window
// starts the computer's turn once the dialog is over.
void conferma(HWND hWnd) {
    game.set_opzioni(tipo, skill, GetWindow(hWnd, GW_OWNER));
    logfile << "dialog box rilascia il controllo (dentro)!\n";
    EndDialog(hWnd, 0);
}

void annulla(HWND hWnd) {
    logfile << "dialog box rilascia il controllo (dentro)!\n";
    EndDialog(hWnd, 0);
}

BOOL on_command(HWND hWnd, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_UMANO1:
        scegli(hWnd, 0, UMANO);
        return TRUE;
    case IDC_AUTOMATICO1:
        scegli(hWnd, 0, COMPUTER);
        return TRUE;
    case IDC_UMANO2:
        scegli(hWnd, 1, UMANO);
        return TRUE;
    case IDC_AUTOMATICO2:
        scegli(hWnd, 1, COMPUTER);
        return TRUE;
    case IDC_OK:
        conferma(hWnd);
        return TRUE;
    case IDC_ANNULLA:
        annulla(hWnd);
        return TRUE;
    default:
        return FALSE;
    }
}

// One step of a skill scroll bar. Arrows and clicks in the shaft move the
// skill by one, held within SKILL_MIN to SKILL_MAX; the thumb is not followed. A scroll
// message from any other bar changes nothing.
void on_hscroll(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    HWND sorgente = reinterpret_cast<HWND>(lParam);
    if (sorgente == nullptr || (sorgente != hscroll1 && sorgente != hscroll2)) return;
    hscroll = sorgente;
    tmp = hscroll == hscroll1 ? 0 : 1;
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
        skill[tmp] -= 1;
        if (skill[tmp] < SKILL_MIN) skill[tmp] = SKILL_MIN;
        aggiorna(hWnd);
        break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
        skill[tmp] += 1;
        if (skill[tmp] > SKILL_MAX) skill[tmp] = SKILL_MAX;
        aggiorna(hWnd);
        break;
    default:
        break;
    }
}

// The scroll bar and the number follow the player's kind: an automatic
// player shows its skill, a human one a disabled bar and 0.
void mostra_giocatore(HWND hWnd, int giocatore, HWND barra) {
    int numero = G_controlli[giocatore].numero;
    if (tipo[giocatore] == COMPUTER) {
        EnableScrollBar(barra, SB_CTL, ESB_ENABLE_BOTH);
        SetScrollPos(barra, SB_CTL, skill[giocatore], TRUE);
        SetDlgItemInt(hWnd, numero, static_cast<UINT>(skill[giocatore]), FALSE);
    } else {
        EnableScrollBar(barra, SB_CTL, ESB_DISABLE_BOTH);
        SetDlgItemInt(hWnd, numero, 0, FALSE);
    }
}

// The focus on the first tab stop that is enabled. The dialog manager gives
// it to the first tab stop, player 1's skill bar, before the first refresh
// disables that bar for a "Human" player, which leaves nothing focused.
void fuoco_al_primo(HWND hWnd) {
    for (HWND c = GetWindow(hWnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG stile = GetWindowLongA(c, GWL_STYLE);
        if ((stile & WS_TABSTOP) && (stile & WS_VISIBLE) && IsWindowEnabled(c)) {
            SendMessageA(hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
            return;
        }
    }
}

void on_aggiorna(HWND hWnd) {
    mostra_giocatore(hWnd, 0, hscroll1);
    mostra_giocatore(hWnd, 1, hscroll2);
    if (appena_aperto) {
        appena_aperto = false;
        fuoco_al_primo(hWnd);
    }
}

}  // namespace

INT_PTR CALLBACK DiaProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    switch (messg) {
    case WM_INITDIALOG:
        on_initdialog(hWnd);
        return TRUE;
    case WM_COMMAND:
        return on_command(hWnd, wParam);
    case WM_HSCROLL:
        on_hscroll(hWnd, wParam, lParam);
        return TRUE;
    case MSG_AGGIORNA:
        on_aggiorna(hWnd);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM) {
    switch (messg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) EndDialog(hWnd, 0);
        return FALSE;
    default:
        return FALSE;
    }
}
