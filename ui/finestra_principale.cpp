// The main window: painting, the mouse, the menu commands, the computer's
// turns, the end of a game and the tournament loop of 15 games.
//
// Every case of MainProc hands its work to one small function below. The
// tournament state (`partite`, the games still to be finished) and the last
// pointer position are statics of MainProc and live for the whole run.
//
// The end of a game (MSG_VITTORIA, MSG_BLOCCO, MSG_PATTA) carries the number
// of the game it ends, and so does the tournament's own "New game", which
// MainProc posts to itself with that number in lParam (the menu's carries
// 0). Each acts only on the game that has just ended: the end of an
// abandoned game, or a next game asked for a game that is no longer the
// last one, changes nothing and leaves one line in the log.
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

// Entries of the table `messaggio`.
enum {
    VOCE_CHIUDI = 0,
    VOCE_BLOCCO = 1,
    VOCE_VITTORIA = 2,
    VOCE_RICOMINCIA = 3,
    VOCE_PATTA = 4,
    VOCE_TORNEO = 5,
};

// After a box or dialog: its modal loop, when ended from another thread,
// may have taken the computer's move from the queue and dropped it; the
// match then searches that turn again.
void dopo_la_scatola(HWND hWnd) { game.riprendi(hWnd); }

// A question of the table, answered Yes? After No the game goes on as it
// was, the computer's move included; after Yes the caller ends the game.
bool conferma(HWND hWnd, int voce) {
    bool si = MessageBoxA(hWnd, messaggio[voce].msg, messaggio[voce].titolo, MB_YESNO) == IDYES;
    if (!si) dopo_la_scatola(hWnd);
    return si;
}

void ridisegna_tutto(HWND hWnd) { InvalidateRgn(hWnd, nullptr, FALSE); }

// The moves of an abandoned game go; those of the game in progress stay.
void drena(HWND hWnd) { game.scarta_mosse_scadute(hWnd); }

LRESULT alla_creazione(HWND hWnd) {
    ridisegna_tutto(hWnd);
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
    if (conferma(hWnd, VOCE_CHIUDI)) PostQuitMessage(0);
    return 0;
}

// A posted move, performed only if it belongs to the turn in progress; then
// the computer's search when it is the computer's turn (at most one search
// per turn: mossa_macchina refuses a second one).
LRESULT mossa_postata(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    if (game.esegui_mossa(hWnd, static_cast<int>(wParam), static_cast<std::uint32_t>(lParam)) &&
        game.stato() == COMPUTER)
        game.mossa_macchina(hWnd);
    return 0;
}

void nuova_partita(HWND hWnd) {
    if (game.stato() != FERMO && !conferma(hWnd, VOCE_RICOMINCIA)) return;
    game.ricomincia(hWnd);
    drena(hWnd);
    ridisegna_tutto(hWnd);
}

// The tournament's "New game" for game `numero`, posted when that game
// ended: the next game starts only while the tournament runs and `numero` is
// still the game that has just ended (no game has started since).
void partita_successiva(HWND hWnd, std::uint32_t numero, int partite) {
    if (partite == 0 || game.stato() != FERMO || numero != game.numero_partita()) {
        logfile << "MainProc: nuova partita dopo la partita " << numero << " scartata\n";
        logfile.flush();
        return;
    }
    game.ricomincia(hWnd);
    drena(hWnd);
    ridisegna_tutto(hWnd);
}

void nuovo_torneo(HWND hWnd, int& partite) {
    if (game.stato() != FERMO && !conferma(hWnd, VOCE_TORNEO)) return;
    partite = PARTITE_TORNEO;
    game.ricomincia(hWnd);
    if (infoWin != nullptr) infoWin->nuovo_torneo(partite);
    drena(hWnd);
    logfile << "MainProc: ciclo iniziato\n";
    logfile.flush();
    ridisegna_tutto(hWnd);
}

// New options reach the match through the dialog. When the player to move
// has become automatic, the computer takes its turn now, once the dialog is
// over: a move posted while the dialog is closing could be taken from the
// queue by the dialog's own loop after it has ended, and never performed
// (mossa_macchina starts no second search for a turn that has one).
// A search already running when the dialog opened may have posted its move
// while the dialog was there: if that move was lost, it is searched again.
void opzioni(HWND hWnd) {
    DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_OPZIONI), hWnd, DiaProc, 0);
    if (game.stato() == COMPUTER) game.mossa_macchina(hWnd);
    dopo_la_scatola(hWnd);
}

void informazioni(HWND hWnd) {
    DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_ABOUT), hWnd, AboutProc, 0);
    dopo_la_scatola(hWnd);
}

// The help file or the manual: opening them may run a modal loop too.
void aiuto(HWND hWnd) {
    apri_aiuto(hWnd);
    dopo_la_scatola(hWnd);
}

LRESULT comando(HWND hWnd, WPARAM wParam, LPARAM lParam, int& partite) {
    switch (static_cast<unsigned>(LOWORD(wParam)) - CMD_NUOVA_PARTITA) {
    case CMD_NUOVA_PARTITA - CMD_NUOVA_PARTITA:
        if (lParam == 0)
            nuova_partita(hWnd);  // the user's, from the menu
        else
            partita_successiva(hWnd, static_cast<std::uint32_t>(lParam), partite);
        break;
    case CMD_NUOVO_TORNEO - CMD_NUOVA_PARTITA:
        nuovo_torneo(hWnd, partite);
        break;
    case CMD_AIUTO - CMD_NUOVA_PARTITA:
        // The help file, or the HTML manual where Windows has no Help engine.
        aiuto(hWnd);
        break;
    case CMD_ABOUT - CMD_NUOVA_PARTITA:
        informazioni(hWnd);
        break;
    case CMD_ESCI - CMD_NUOVA_PARTITA:
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
        break;
    case CMD_OPZIONI - CMD_NUOVA_PARTITA:
        opzioni(hWnd);
        break;
    default:  // 32002 and every id outside the menu's range
        break;
    }
    return 0;
}

// The end of the game numbered lParam. Outside a tournament one box tells
// how it ended; in a tournament the panel counts the result (a blocked game
// as a draw) and the next game starts, or the tournament ends after its last
// game. The end of any other game is refused by the match.
LRESULT fine_partita(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam, int& partite) {
    if (messg == MSG_VITTORIA && wParam > 1) {
        logfile << "MainProc: vittoria di un giocatore inesistente (" << wParam << ") ignorata\n";
        logfile.flush();
        return 0;
    }
    if (!game.accetta_fine(static_cast<std::uint32_t>(lParam))) return 0;
    if (partite == 0) {
        int voce = messg == MSG_VITTORIA ? VOCE_VITTORIA : messg == MSG_BLOCCO ? VOCE_BLOCCO : VOCE_PATTA;
        MessageBoxA(hWnd, messaggio[voce].msg, messaggio[voce].titolo, MB_OK);
        dopo_la_scatola(hWnd);
        return 0;
    }
    if (infoWin != nullptr) {
        if (messg == MSG_VITTORIA)
            infoWin->vittoria(static_cast<int>(wParam));
        else
            infoWin->patta();
    }
    partite--;
    if (partite == 0)
        PostMessageA(hWnd, MSG_FINE_TORNEO, 0, 0);
    else
        PostMessageA(hWnd, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(game.numero_partita()));
    return 0;
}

LRESULT fine_torneo(HWND hWnd, int& partite) {
    partite = 0;
    drena(hWnd);
    return 0;
}

}  // namespace

LRESULT CALLBACK MainProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    static int partite = 0;
    static POINT punto;

    switch (messg) {
    case WM_CREATE:
        return alla_creazione(hWnd);
    case WM_PAINT:
        return dipingi(hWnd);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        return al_mouse(hWnd, punto, wParam, lParam);
    case WM_CLOSE:
    case WM_DESTROY:
        return chiudi(hWnd);
    case WM_COMMAND:
        return comando(hWnd, wParam, lParam, partite);
    case MSG_MOSSA:
        return mossa_postata(hWnd, wParam, lParam);
    case MSG_VITTORIA:
    case MSG_BLOCCO:
    case MSG_PATTA:
        return fine_partita(hWnd, messg, wParam, lParam, partite);
    case MSG_FINE_TORNEO:
        return fine_torneo(hWnd, partite);
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
