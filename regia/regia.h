// What the main window decides about the match and the tournament: on a
// posted move, on each end of a game, on "New game", "New tournament", the
// end of a tournament, Options, closing, and after every box or dialog.
//
// The decisions are portable, so that the native builds drive exactly the
// ones the game takes. They show nothing themselves: every box, dialog,
// tally and repaint goes through the window's `sportello`, a table of plain
// functions, and the decisions only post messages and call the match.
//
// Why a posted message can be lost. A modal box or dialog runs its own
// message loop, which dispatches the main window's messages too. When such a
// loop is ended by a message sent from another thread or program (a test,
// an automation tool, an assistive program), it takes the next posted
// message from the queue, sees that the box is over, and neither dispatches
// it nor puts it back. That message can be anything the game posted to
// itself: a computer's move, the end of a game, the tournament's "New game",
// the end of a tournament. (The panel's tallies are sent, never posted, for
// this reason.) The other files point here.
//
// So after a box or dialog (`riprendi`) the game is put back into motion
// from the match's and the tournament's own state, not from what is still
// queued: a lost computer move is searched again, an end of a game nobody has taken
// is taken (its box, or its tally and the next game), a tournament between
// two games starts its next game, and the end of a tournament asked for is
// carried out. The messages stay the wake-ups they are: one that arrives
// after the recovery has acted is refused by its game's or tournament's
// number, so nothing is counted twice.
//
// One box at a time: while a box or dialog of the window is open, its loop
// still dispatches whatever is posted to the window, from this program or
// any other. Nothing dispatched then opens another box inside it: a menu
// command is refused (one log line), a close request is remembered and asks
// its one question once the box is over (several make one), and the end of
// an ordinary game waits for the box to close to show its own. What opens
// no box goes on: moves, a tournament's tallies and its next game.
//
// A post that Windows refuses (a full queue) leaves the same kind of gap,
// found from the same state by the window's timer (`sveglia`; posta.h).
// Other programs can post to the window too: an end of a game is taken only
// with the game's own number, kind and winner, an end of a tournament only
// when these decisions or the panel's button asked for it. A move with the
// right turn number, or a menu command, is what a player may do, and acts.
#ifndef VORANDEL_REGIA_H
#define VORANDEL_REGIA_H

#include <windows.h>

#include <cstdint>

#include "dimensioni.h"
#include "partita.h"

// Entries of the main window's table of box texts (`messaggio`).
enum e_voce {
    VOCE_CHIUDI = 0,
    VOCE_BLOCCO = 1,
    VOCE_VITTORIA = 2,
    VOCE_RICOMINCIA = 3,
    VOCE_PATTA = 4,
    VOCE_TORNEO = 5,
};

// The main window's timer (WM_TIMER, which Windows makes when the queue is
// empty rather than posts, so that a full queue never holds it back): its
// id and its period. On each tick `regia::sveglia` puts back into motion
// what a post refused by Windows left behind (see posta.h).
inline constexpr unsigned TIMER_RIPRESA = 1;
inline constexpr UINT PERIODO_RIPRESA_MS = 500;

// The modifier keys held with a key, as the window reads them for
// `regia::tasto`.
enum e_modificatore : unsigned { CON_MAIUSCOLO = 1, CON_CTRL = 2, CON_ALT = 4 };

// What the window does after a key (`regia::tasto`): hand it on to
// DefWindowProc, give the short beep, or nothing more.
enum e_esito_tasto { TASTO_ALTRUI = -1, TASTO_BEEP = 0, TASTO_FATTO = 1, TASTO_MUTO = 2 };

// The key that stops the running tournament, as the panel's button does.
inline constexpr unsigned TASTO_FERMA_TORNEO = 'S';

// What the window does for the decisions. `dati` is handed back to every
// function.
struct sportello {
    void* dati;
    // A Yes/No question of the table: true on Yes.
    bool (*domanda)(void* dati, HWND hWnd, int voce);
    // An "End" box of the table.
    void (*avviso)(void* dati, HWND hWnd, int voce);
    // The Options dialog, which hands the new players to the match itself.
    void (*opzioni)(void* dati, HWND hWnd);
    // The panel: a tournament of `partite` games, numbered `torneo`, begins;
    // a win of player `p`, a draw (or a blocked game), in tournament
    // `torneo`. The window hands each to the panel's method of that name,
    // which counts it at once: the tally's one road.
    void (*nuovo_torneo)(void* dati, int partite, std::uint32_t torneo);
    void (*vittoria)(void* dati, int p, std::uint32_t torneo);
    void (*patta)(void* dati, std::uint32_t torneo);
    // The number of the tournament last stopped with the panel's button,
    // 0 for none.
    std::uint32_t (*torneo_fermato)(void* dati);
    // A new game is on the board: the whole board is to be repainted.
    void (*ridisegna)(void* dati, HWND hWnd);
    // Those below may be left out (null): nothing is done for them.
    // The panel: tournament `torneo` has ended, by whatever route.
    void (*torneo_finito)(void* dati, std::uint32_t torneo) = nullptr;
    // The panel's balance bar, brought up to date from the board.
    void (*bilancia)(void* dati, HWND hWnd) = nullptr;
    // The About box; the help file or manual (which may show a box too).
    void (*informazioni)(void* dati, HWND hWnd) = nullptr;
    void (*aiuto)(void* dati, HWND hWnd) = nullptr;
    // The program is to end: "Are you sure?" was answered Yes.
    void (*esci)(void* dati) = nullptr;
    // The panel's "Stop tournament" pressed from the keyboard; false when
    // it could do nothing.
    bool (*ferma)(void* dati) = nullptr;
};

class regia {
public:
    regia(partita& g, const sportello& s) : game(g), finestra(s) {}

    // MSG_MOSSA: the move, if it belongs to the turn in progress; then the
    // computer's search when the computer is to move.
    int mossa(HWND hWnd, WPARAM wParam, LPARAM lParam);
    // MSG_VITTORIA, MSG_BLOCCO, MSG_PATTA for the game numbered lParam.
    // Outside a tournament one "End" box; in one, the panel's tally and the
    // next game (or the end of the tournament after its last). The end of
    // any game but the one that has just ended is refused, and so is one
    // whose kind or winner is not the one the game itself posted.
    int fine_partita(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);
    // A menu command (WM_COMMAND): each of comandi.h to its method below;
    // "New game" with a game's number in lParam is the tournament's own.
    int comando(HWND hWnd, WPARAM wParam, LPARAM lParam);
    // "New game" from the menu: asks while a game is in progress. A game
    // that ends while the question is open shows its "End" box once the
    // question is over, whatever the answer; after Yes the new game then
    // begins (and likewise for "New tournament").
    int nuova_partita(HWND hWnd);
    // The tournament's own "New game", posted when game `numero` ended: only
    // while the tournament runs and no game has begun since.
    int partita_successiva(HWND hWnd, std::uint32_t numero);
    // "New tournament": asks while a game is in progress.
    int nuovo_torneo(HWND hWnd);
    // MSG_FINE_TORNEO for tournament `numero` (its lParam): the tournament
    // ends, when this tournament's end was asked for: after its last game
    // (by these decisions) or with the panel's "Stop tournament". Any other,
    // with any number, changes nothing but one log line.
    int fine_torneo(HWND hWnd, std::uint32_t numero);
    // A key pressed in the window (WM_KEYDOWN, its virtual key and lParam,
    // with the modifiers held): the board's keys to the match, S (without
    // Ctrl or Alt) to the panel's "Stop tournament". A key repeated by
    // Windows while held (bit 30 of lParam) never plays a move nor stops a
    // tournament, and never beeps: a key beeps at most once per press.
    int tasto(HWND hWnd, unsigned vk, LPARAM lParam, unsigned modificatori);
    // The window's timer: after a post that Windows refused, the game is put
    // back into motion (`riprendi`); otherwise a computer move that is
    // missing is searched again. The result is what `riprendi` gives.
    int sveglia(HWND hWnd);
    // The Options dialog, then the computer's turn if the player to move
    // has become automatic.
    int opzioni(HWND hWnd);
    // About, Help topics and Exit from the menu.
    int informazioni(HWND hWnd);
    int aiuto(HWND hWnd);
    int esci(HWND hWnd);
    // Closing the window: "Are you sure?"; true on Yes. While a box is open
    // the request is remembered instead, and asked once it is over.
    bool chiudi(HWND hWnd);
    // After every box or dialog the window shows (see above). The result is
    // the number of things put back into motion.
    int riprendi(HWND hWnd);

    // The games of the running tournament still to be finished, 0 when none
    // runs; the number of the last tournament begun, 0 before the first.
    int partite() const { return restanti; }
    std::uint32_t torneo() const { return numero_torneo; }
    // A box or dialog of the window is open.
    bool occupata() const { return aperte > 0; }

private:
    // Every box and dialog goes through these, which count it as open.
    bool chiedi(HWND hWnd, int voce);
    void mostra(void (*scatola)(void*, HWND), HWND hWnd);
    // True (with one log line) when the menu command `cosa` is to be refused
    // because a box is open.
    bool rifiuta(const char* cosa);
    // After Yes to "New game?" or "New tournament?": the end of an ordinary
    // game that came while the question was open, shown now.
    void fine_durante_la_domanda(HWND hWnd);

    // The moves of an abandoned game go; those of the game in progress stay.
    void drena(HWND hWnd) { game.scarta_mosse_scadute(hWnd); }

    partita& game;
    sportello finestra;
    int restanti = 0;
    std::uint32_t numero_torneo = 0;
    // The tournament whose end was posted after its last game and not yet
    // carried out, 0 for none.
    std::uint32_t chiusura_chiesta = 0;
    // Boxes and dialogs open (never more than one); a close request that
    // came while one was.
    int aperte = 0;
    bool chiusura_rimandata = false;
    // The posts given up (post_rinunciati) as last seen by the timer.
    std::uint32_t rinunce_viste = 0;
};

#endif
