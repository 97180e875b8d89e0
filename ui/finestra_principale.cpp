// The main window: painting, the mouse, the menu commands, the computer's
// turns, the end of a game and the tournament loop of 15 games.
//
// Every case of MainProc hands its work to one small function below. What
// it decides about the match and the tournament is the portable `regia`
// (regia/regia.h), which this window serves with its boxes, its dialogs and
// the panel; the tournament's state lives there, the last pointer position
// in a static of MainProc, both for the whole run.
//
// The end of a game (MSG_VITTORIA, MSG_BLOCCO, MSG_PATTA) carries the number
// of the game it ends, and so does the tournament's own "New game", which
// MainProc posts to itself with that number in lParam (the menu's carries
// 0); the end of a tournament carries the tournament's number. Each acts
// only on the game or tournament it names: the end of an abandoned game, a
// next game asked for a game that is no longer the last one, or the end of
// a tournament that is over, changes nothing and leaves one line in the log.
//
// After every box or dialog the window shows, `regia::riprendi` puts the
// game back into motion from its own state, whatever message the box's loop
// may have dropped (see regia.h), and brings the panel's balance bar up to
// date from the board. Every box goes through `regia`, which opens no box
// while another is open.
//
// A player can do without the mouse: the keys of the board (WM_KEYDOWN) go
// to the match, and S stops the running tournament as the panel's button
// does; a key held down plays and stops once, on its press (regia::tasto).
// WM_SYSKEYDOWN, and so the menus through F10 and Alt, are Windows'.
//
// A timer (WM_TIMER) puts the game back into motion when Windows has
// refused one of its posts (a queue filled by another program), so that a
// lost computer move or tournament game never waits for a box.
//
// A player can do without the screen: the window answers a screen reader's
// WM_GETOBJECT with the board's accessible object (plancia_accessibile.h),
// raises the focus event when a key moves the frame and when the window gets
// the keyboard focus, and announces each move, pass and end of a game or a
// tournament (between two computers only the ends); P announces the whole
// position, once per press.
#include "finestra_principale.h"

#include <algorithm>
#include <cstdint>

#include "aiuto.h"
#include "comune.h"
#include "dialoghi.h"
#include "parole.h"
#include "plancia_accessibile.h"
#include "programma.h"
#include "risorse.h"

char MainName[20] = "Finestra principale";
specchietto* infoWin = nullptr;

voce_messaggio messaggio[10] = {
    {"Are you sure?", "Are you sure?"},
    {"Game ends: no move available.", "End"},
    {"Game ends: player won!", "End"},
    {"Restarting will terminate this game. Are you sure?", "Are you sure?"},
    {"Game ends in a draw.", "End"},
    {"Starting a tournament will terminate this game. Are you sure?", "Are you sure?"},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
};

namespace {

// ------------------------------------------------ what the window shows

bool domanda(void*, HWND hWnd, int voce) {
    return MessageBoxA(hWnd, messaggio[voce].msg, messaggio[voce].titolo, MB_YESNO) == IDYES;
}

void avviso(void*, HWND hWnd, int voce) { MessageBoxA(hWnd, messaggio[voce].msg, messaggio[voce].titolo, MB_OK); }

void dialogo_opzioni(void*, HWND hWnd) {
    DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_OPZIONI), hWnd, DiaProc, 0);
}

void informazioni(void*, HWND hWnd) { DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_ABOUT), hWnd, AboutProc, 0); }

// The help file or the manual: opening them may run a modal loop too.
void aiuto(void*, HWND hWnd) { apri_aiuto(hWnd); }

void esci(void*) { PostQuitMessage(0); }

// The panel, through its own operations, which send (see pannello.h). A
// result carries the number of the running tournament, as regia gives it.
void torneo_nel_pannello(void*, int partite, std::uint32_t torneo) {
    if (infoWin != nullptr) infoWin->nuovo_torneo(partite, torneo);
}

void vittoria_nel_pannello(void*, int p, std::uint32_t torneo) {
    if (infoWin != nullptr) infoWin->vittoria(p, torneo);
}

void patta_nel_pannello(void*, std::uint32_t torneo) {
    if (infoWin != nullptr) infoWin->patta(torneo);
}

void fine_nel_pannello(void*, std::uint32_t torneo) {
    if (infoWin != nullptr) infoWin->fine_torneo(torneo);
}

std::uint32_t fermato_nel_pannello(void*) { return infoWin != nullptr ? infoWin->torneo_fermato() : 0; }

// S during a tournament clicks the panel's "Stop tournament", which ends
// the tournament it belongs to.
bool ferma_dal_pannello(void*) {
    if (infoWin == nullptr || infoWin->finestra() == nullptr) return false;
    HWND pannello = infoWin->finestra();
    SendMessageA(pannello, WM_COMMAND, MAKEWPARAM(ID_STOP, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(pannello, ID_STOP)));
    return true;
}

// The balance bar, from the board as it stands.
void bilancia_pannello(void*, HWND) {
    if (infoWin != nullptr) infoWin->bilancia(game.equilibrio());
}

void ridisegna_tutto(void*, HWND hWnd) { InvalidateRgn(hWnd, nullptr, FALSE); }

// The decisions about the match and the tournament, with the tournament's
// state (its games still to be finished, its number); they live for the
// whole run.
regia& regista() {
    static regia r(game, sportello{nullptr, domanda, avviso, dialogo_opzioni, torneo_nel_pannello,
                                   vittoria_nel_pannello, patta_nel_pannello, fermato_nel_pannello,
                                   ridisegna_tutto, fine_nel_pannello, bilancia_pannello, informazioni, aiuto,
                                   esci, ferma_dal_pannello});
    return r;
}

// ------------------------------------------------ the cases of MainProc

// The timer runs for the whole run: each tick looks for what a post
// refused by Windows left behind (regia::sveglia), which costs next to
// nothing when there is none.
LRESULT alla_creazione(HWND hWnd) {
    ridisegna_tutto(nullptr, hWnd);
    SetTimer(hWnd, TIMER_RIPRESA, PERIODO_RIPRESA_MS, nullptr);
    return 0;
}

LRESULT al_timer(HWND hWnd, WPARAM wParam) {
    if (wParam == TIMER_RIPRESA) regista().sveglia(hWnd);
    return 0;
}

LRESULT dipingi(HWND hWnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    if (infoWin != nullptr) game.disegna(hdc, ps.rcPaint, *infoWin);
    ValidateRect(hWnd, nullptr);
    EndPaint(hWnd, &ps);
    return 0;
}

// Pointer moves and clicks alike: the match tells them apart by MK_LBUTTON.
LRESULT al_mouse(HWND hWnd, POINT& punto, WPARAM wParam, LPARAM lParam) {
    punto.x = static_cast<LONG>(static_cast<std::uint16_t>(LOWORD(lParam)));
    punto.y = static_cast<LONG>(static_cast<std::uint16_t>(HIWORD(lParam)));
    game.mossa_uomo(hWnd, punto, static_cast<unsigned>(wParam));
    return 0;
}

// Closing never destroys the window: a confirmed close ends the message loop.
LRESULT chiudi(HWND hWnd) {
    regista().chiudi(hWnd);
    return 0;
}

conti_torneo conti_del_pannello() { return infoWin != nullptr ? infoWin->conti() : conti_torneo{}; }

bool tra_computer() {
    e_tipo tipi[2];
    int livello[2];
    game.get_opzioni(tipi, livello);
    return tipi[0] == COMPUTER && tipi[1] == COMPUTER;
}

// After a message that may have counted a tournament's game or ended the
// tournament (`partite` games were left before it, with tallies `prima`):
// one announcement of the game's result with the tallies, and of the
// tournament's end.
void annuncia_torneo(HWND hWnd, int partite, const conti_torneo& prima) {
    conti_torneo ora = conti_del_pannello();
    std::string frase;
    if (ora.vittorie[0] + ora.vittorie[1] + ora.patte > prima.vittorie[0] + prima.vittorie[1] + prima.patte)
        frase = parole::annuncio_partita_torneo(game.fotografa(), ora);
    if (partite > 0 && regista().partite() == 0)
        frase += (frase.empty() ? "" : " ") + parole::annuncio_fine_torneo(ora);
    annuncia(hWnd, frase);
}

// A posted move, performed only if it belongs to the turn in progress; then
// announced. Between two computers only the end it brings is, outside a
// tournament: in one, the tally announces it (annuncia_torneo).
LRESULT mossa_postata(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const fotografia prima = game.fotografa();
    regista().mossa(hWnd, wParam, lParam);
    const fotografia dopo = game.fotografa();
    if (!tra_computer())
        annuncia(hWnd, parole::annuncio_mossa(prima, dopo));
    else if (dopo.numero == prima.numero && prima.turno >= 0 && regista().partite() == 0)
        annuncia(hWnd, parole::annuncio_fine(dopo));
    return 0;
}

// A menu command, or the tournament's own "New game" (regia::comando).
LRESULT comando(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const int partite = regista().partite();
    const conti_torneo prima = conti_del_pannello();
    regista().comando(hWnd, wParam, lParam);
    annuncia_torneo(hWnd, partite, prima);
    return 0;
}

// The key that announces the whole position.
const unsigned TASTO_POSIZIONE = 'P';

void annuncia_posizione(HWND hWnd) {
    conti_torneo c = conti_del_pannello();
    annuncia(hWnd, parole::posizione(game.fotografa(), regista().partite() > 0 ? &c : nullptr));
}

// Whether a key that acted has moved or removed the frame (rather than
// played a move): Tab, Esc and the dedicated arrows.
bool muove_la_cornice(unsigned tasto, LPARAM lParam) {
    bool freccia = tasto == VK_UP || tasto == VK_DOWN || tasto == VK_LEFT || tasto == VK_RIGHT;
    return tasto == VK_TAB || tasto == VK_ESCAPE || (freccia && ((lParam >> 24) & 1) != 0);
}

// A key: the board's keys go to the match, S to the tournament
// (regia::tasto); one that can do nothing gives the short beep, once per
// press; P announces the position, once per press; every other key goes on
// to DefWindowProcA. A key that moved the frame moves a screen reader's
// focus with it.
LRESULT al_tasto(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    unsigned modificatori = (GetKeyState(VK_SHIFT) < 0 ? CON_MAIUSCOLO : 0u) |
                            (GetKeyState(VK_CONTROL) < 0 ? CON_CTRL : 0u) | (GetKeyState(VK_MENU) < 0 ? CON_ALT : 0u);
    const unsigned tasto = static_cast<unsigned>(wParam);
    if (tasto == TASTO_POSIZIONE && (modificatori & (CON_CTRL | CON_ALT)) == 0) {
        // A key held down repeats with bit 30 set.
        if (((lParam >> 30) & 1) == 0) annuncia_posizione(hWnd);
        return 0;
    }
    switch (regista().tasto(hWnd, tasto, lParam, modificatori)) {
    case TASTO_ALTRUI:
        return DefWindowProcA(hWnd, WM_KEYDOWN, wParam, lParam);
    case TASTO_BEEP:
        MessageBeep(MB_OK);
        return 0;
    case TASTO_FATTO:
        if (tasto != TASTO_FERMA_TORNEO && muove_la_cornice(tasto, lParam)) segnala_fuoco(hWnd);
        return 0;
    default:
        return 0;
    }
}

// The keyboard focus comes to the board: a screen reader hears the framed
// target, or the board.
LRESULT al_fuoco(HWND hWnd) {
    segnala_fuoco(hWnd);
    return 0;
}

// A screen reader asks for the board's object; every other object id is
// Windows'.
LRESULT oggetto_accessibile(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    return rispondi(hWnd, wParam, lParam, fonte_plancia(hWnd));
}

// The end of the game numbered lParam.
LRESULT fine_partita(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    const int partite = regista().partite();
    const conti_torneo prima = conti_del_pannello();
    regista().fine_partita(hWnd, messg, wParam, lParam);
    annuncia_torneo(hWnd, partite, prima);
    return 0;
}

// Windows' colours or settings have changed (high-contrast mode among
// them): the board, its frame and the panel are drawn again.
LRESULT colori_cambiati(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// The end of the tournament numbered lParam.
LRESULT fine_torneo(HWND hWnd, LPARAM lParam) {
    const int partite = regista().partite();
    const conti_torneo prima = conti_del_pannello();
    regista().fine_torneo(hWnd, static_cast<std::uint32_t>(lParam));
    annuncia_torneo(hWnd, partite, prima);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    static POINT punto;

    switch (messg) {
    case WM_CREATE:
        return alla_creazione(hWnd);
    case WM_PAINT:
        return dipingi(hWnd);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        return al_mouse(hWnd, punto, wParam, lParam);
    case WM_KEYDOWN:
        return al_tasto(hWnd, wParam, lParam);
    case WM_SETFOCUS:
        return al_fuoco(hWnd);
    case WM_GETOBJECT:
        return oggetto_accessibile(hWnd, wParam, lParam);
    case WM_TIMER:
        return al_timer(hWnd, wParam);
    case WM_CLOSE:
    case WM_DESTROY:
        return chiudi(hWnd);
    case WM_COMMAND:
        return comando(hWnd, wParam, lParam);
    case MSG_MOSSA:
        return mossa_postata(hWnd, wParam, lParam);
    case MSG_VITTORIA:
    case MSG_BLOCCO:
    case MSG_PATTA:
        return fine_partita(hWnd, messg, wParam, lParam);
    case MSG_FINE_TORNEO:
        return fine_torneo(hWnd, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        return colori_cambiati(hWnd);
    default:
        return DefWindowProcA(hWnd, messg, wParam, lParam);
    }
}

ATOM registra_classe() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInst;
    wc.hIcon = LoadIconA(hInst, MAKEINTRESOURCEA(IDI_VORANDEL));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MENU);
    wc.lpszClassName = MainName;
    return RegisterClassA(&wc);
}

// The window is shown maximised, but a window manager that may not resize it
// (it has no sizing border) leaves it at its creation size, and so does
// "Restore": that size holds the board and the whole panel, with the
// board's own margin to the right of the panel and below the lower of the
// two. AdjustWindowRectEx adds the frame, the caption and the menu bar, as
// tall as this screen's resolution makes them.
HWND crea_finestra() {
    const DWORD stile = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, std::max(PLANCIA_DESTRA, PANNELLO_X + PANNELLO_LARGHEZZA) + PLANCIA_SINISTRA,
           std::max(PLANCIA_BASSO, PANNELLO_Y + PANNELLO_ALTEZZA) + PLANCIA_ALTO};
    AdjustWindowRectEx(&r, stile, TRUE, 0);
    return CreateWindowExA(0, MainName, "Vorandel 32", stile, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, hInst, nullptr);
}

void prepara_partita(HWND hWnd) {
    e_tipo tipi[2] = {UMANO, UMANO};
    int livello[2] = {SKILL_MIN, SKILL_MIN};
    game.set_opzioni(tipi, livello);
    game.ricomincia(hWnd);
    infoWin = new specchietto(hWnd);
}
