// The Options dialog, where each player is made "Human" or "Automatic" and
// an automatic player gets its skill, and the About dialog.
//
// The Options dialog works on its own copies of the kinds and skills, read
// from the match when it opens and handed back only on OK. Whenever a copy
// changes, the dialog posts MSG_AGGIORNA to itself and brings its controls
// up to date there.
//
// Keys: Enter presses the default button, OK, unless the focus is on
// Cancel; Esc, Alt+F4 and the close box come as IDCANCEL and cancel. Tab
// goes in the screen's order (the template's). A focused skill bar shows a
// focus rectangle around its number. Each player's boxes and bar answer a
// screen reader with the player's number in their names ("Player 1:
// Human"), a bar with the skill as its value.
#include "dialoghi.h"

#include <oleacc.h>

#include <string>

#include "controllo_accessibile.h"
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

// The controls of one player, by index.
struct controlli_giocatore {
    int umano;
    int automatico;
    int numero;
    int barra;
};
const controlli_giocatore G_controlli[2] = {
    {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SKILL1, IDC_SCROLL1},
    {IDC_UMANO2, IDC_AUTOMATICO2, IDC_SKILL2, IDC_SCROLL2},
};

void aggiorna(HWND hWnd) { PostMessageA(hWnd, MSG_AGGIORNA, 0, 0); }

// ------------------------------------------------ the players' controls

// Where a subclassed control keeps its own window procedure.
const char PROC_ORIGINALE[] = "Vorandel.proc";

// The player (0 or 1) of a box or bar, and which of the three it is.
enum class parte { umano, automatico, barra };
bool di_un_giocatore(HWND c, int& giocatore, parte& p) {
    const int id = GetDlgCtrlID(c);
    for (int g = 0; g < 2; g++) {
        const controlli_giocatore& k = G_controlli[g];
        giocatore = g;
        if (id == k.umano)
            p = parte::umano;
        else if (id == k.automatico)
            p = parte::automatico;
        else if (id == k.barra)
            p = parte::barra;
        else
            continue;
        return true;
    }
    return false;
}

// What a screen reader hears: "Player 1: Human", "Player 1: Automatic",
// each a check box, checked or not; "Player 1 skill", a slider whose value
// is the skill that OK would hand to the match.
bool descrivi(HWND c, descrizione_accessibile& d) {
    int g;
    parte p;
    if (!IsWindow(c) || !di_un_giocatore(c, g, p)) return false;
    const std::string giocatore = "Player " + std::to_string(g + 1);
    if (p == parte::barra) {
        d.nome = giocatore + " skill";
        d.valore = std::to_string(skill[g]);
        d.ruolo = ROLE_SYSTEM_SLIDER;
        return true;
    }
    d.nome = giocatore + (p == parte::umano ? ": Human" : ": Automatic");
    d.ruolo = ROLE_SYSTEM_CHECKBUTTON;
    d.stati_tolti = STATE_SYSTEM_CHECKED;
    if (SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED) d.stati_aggiunti = STATE_SYSTEM_CHECKED;
    return true;
}

// The focus rectangle of a skill bar: one pixel outside its number.
RECT attorno_al_numero(HWND hWnd, int giocatore) {
    RECT r{};
    HWND numero = GetDlgItem(hWnd, G_controlli[giocatore].numero);
    GetWindowRect(numero, &r);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&r), 2);
    r.left -= 1;
    r.top -= 1;
    r.right += 1;
    r.bottom += 1;
    return r;
}

// A skill bar has taken or lost the focus: its number's rectangle is drawn
// again, with or without the focus rectangle.
void fuoco_della_barra(HWND barra, int giocatore) {
    HWND hWnd = GetParent(barra);
    RECT r = attorno_al_numero(hWnd, giocatore);
    RedrawWindow(hWnd, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The players' boxes and bars: their own procedure, with the answers to a
// screen reader and, for a bar, the focus shown beside it.
LRESULT CALLBACK ProcControllo(HWND c, UINT messg, WPARAM wParam, LPARAM lParam) {
    WNDPROC originale = reinterpret_cast<WNDPROC>(GetPropA(c, PROC_ORIGINALE));
    if (originale == nullptr) return DefWindowProcA(c, messg, wParam, lParam);
    switch (messg) {
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
            if (LRESULT r = oggetto_controllo(c, wParam, descrivi); r != 0) return r;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        LRESULT r = CallWindowProcA(originale, c, messg, wParam, lParam);
        int g;
        parte p;
        if (di_un_giocatore(c, g, p) && p == parte::barra) fuoco_della_barra(c, g);
        return r;
    }
    case WM_NCDESTROY:
        SetWindowLongA(c, GWL_WNDPROC, reinterpret_cast<LONG>(originale));
        RemovePropA(c, PROC_ORIGINALE);
        break;
    default:
        break;
    }
    return CallWindowProcA(originale, c, messg, wParam, lParam);
}

void sottoclassa(HWND c) {
    if (c == nullptr || GetPropA(c, PROC_ORIGINALE) != nullptr) return;
    SetPropA(c, PROC_ORIGINALE, reinterpret_cast<HANDLE>(GetWindowLongA(c, GWL_WNDPROC)));
    SetWindowLongA(c, GWL_WNDPROC, reinterpret_cast<LONG>(ProcControllo));
}

// The dialog's own painting: the focus rectangle of a focused skill bar.
void dipingi(HWND hWnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    HWND fuoco = GetFocus();
    for (int g = 0; g < 2; g++)
        if (fuoco != nullptr && fuoco == GetDlgItem(hWnd, G_controlli[g].barra)) {
            RECT r = attorno_al_numero(hWnd, g);
            DrawFocusRect(hdc, &r);
        }
    EndPaint(hWnd, &ps);
}

// ------------------------------------------------ the dialog's cases

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
    for (const controlli_giocatore& c : G_controlli)
        for (int id : {c.umano, c.automatico, c.barra}) sottoclassa(GetDlgItem(hWnd, id));
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
    case IDCANCEL:  // Esc, Alt+F4, the close box, WM_CLOSE
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
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hscroll, OBJID_CLIENT, CHILDID_SELF);
        break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
        skill[tmp] += 1;
        if (skill[tmp] > SKILL_MAX) skill[tmp] = SKILL_MAX;
        aggiorna(hWnd);
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hscroll, OBJID_CLIENT, CHILDID_SELF);
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

void on_aggiorna(HWND hWnd) {
    mostra_giocatore(hWnd, 0, hscroll1);
    mostra_giocatore(hWnd, 1, hscroll2);
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
    case WM_PAINT:
        dipingi(hWnd);
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
        // OK, Enter on it, and as IDCANCEL Esc, Alt+F4 and the close box.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hWnd, 0);
        return FALSE;
    default:
        return FALSE;
    }
}
