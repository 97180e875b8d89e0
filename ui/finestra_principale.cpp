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
// does. WM_SYSKEYDOWN, and so the menus through F10 and Alt, are Windows'.
#include "finestra_principale.h"

#include <algorithm>
#include <cstdint>

#include "aiuto.h"
#include "comune.h"
#include "dialoghi.h"
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
                                   esci});
    return r;
}

// ------------------------------------------------ the cases of MainProc

LRESULT alla_creazione(HWND hWnd) {
    ridisegna_tutto(nullptr, hWnd);
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

// A posted move, performed only if it belongs to the turn in progress.
LRESULT mossa_postata(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    regista().mossa(hWnd, wParam, lParam);
    return 0;
}

LRESULT comando(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    switch (static_cast<unsigned>(LOWORD(wParam)) - CMD_NUOVA_PARTITA) {
    case CMD_NUOVA_PARTITA - CMD_NUOVA_PARTITA:
        if (lParam == 0)
            regista().nuova_partita(hWnd);  // the user's, from the menu
        else
            regista().partita_successiva(hWnd, static_cast<std::uint32_t>(lParam));
        break;
    case CMD_NUOVO_TORNEO - CMD_NUOVA_PARTITA:
        regista().nuovo_torneo(hWnd);
        break;
    case CMD_AIUTO - CMD_NUOVA_PARTITA:
        // The help file, or the HTML manual where Windows has no Help engine.
        regista().aiuto(hWnd);
        break;
    case CMD_ABOUT - CMD_NUOVA_PARTITA:
        regista().informazioni(hWnd);
        break;
    case CMD_ESCI - CMD_NUOVA_PARTITA:
        regista().esci(hWnd);
        break;
    case CMD_OPZIONI - CMD_NUOVA_PARTITA:
        regista().opzioni(hWnd);
        break;
    default:  // 32002 and every id outside the menu's range
        break;
    }
    return 0;
}

// The key that stops the running tournament, as the panel's button does.
const unsigned TASTO_FERMA_TORNEO = 'S';

// S during a tournament clicks the panel's "Stop tournament", which ends
// the tournament it belongs to; outside one it can do nothing.
bool ferma_torneo_da_tastiera() {
    if (regista().partite() == 0 || infoWin == nullptr || infoWin->finestra() == nullptr) return false;
    HWND pannello = infoWin->finestra();
    SendMessageA(pannello, WM_COMMAND, MAKEWPARAM(ID_STOP, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(pannello, ID_STOP)));
    return true;
}

// A key: the board's keys go to the match (bit 24 of lParam is the
// extended-key bit that tells the dedicated arrows from the numeric
// keypad's), S to the tournament. One of these keys that can do nothing
// gives the short beep; every other key goes on to DefWindowProcA.
LRESULT al_tasto(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const unsigned tasto = static_cast<unsigned>(wParam);
    int esito;
    if (tasto == TASTO_FERMA_TORNEO)
        esito = ferma_torneo_da_tastiera() ? 1 : 0;
    else
        esito = game.tasto_uomo(hWnd, tasto, static_cast<int>((lParam >> 24) & 1), GetKeyState(VK_SHIFT) < 0);
    if (esito < 0) return DefWindowProcA(hWnd, WM_KEYDOWN, wParam, lParam);
    if (esito == 0) MessageBeep(MB_OK);
    return 0;
}

// The end of the game numbered lParam.
LRESULT fine_partita(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    regista().fine_partita(hWnd, messg, wParam, lParam);
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
    regista().fine_torneo(hWnd, static_cast<std::uint32_t>(lParam));
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
