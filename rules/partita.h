// One match: the board, the two tokens, the players' kinds and skills,
// whose turn it is, the legal moves of the player to move with their cell
// rectangles, the highlighted target and the repetition register.
//
// The match shows nothing itself: it posts MSG_VITTORIA, MSG_BLOCCO,
// MSG_PATTA and MSG_MOSSA to the window it is given and invalidates the cells
// that changed.
//
// Every MSG_MOSSA carries in its lParam the number of the turn it was made
// for (`firma`). Each new game and each change of turn takes a new number,
// so a move that arrives for a game that was abandoned, or for a turn that
// has already been played, is recognised and refused.
//
// Likewise every game has a number of its own (`numero_partita`), which
// MSG_VITTORIA, MSG_BLOCCO and MSG_PATTA carry in their lParam: the end of a
// game is taken once, and only while that game is the one that has just
// ended (`accetta_fine`), so the end of an abandoned game never acts on the
// next one.
//
// The members are defined beside the subsystem each belongs to, in files
// named after the class: partita.cpp and registro.cpp here,
// computer/partita_computer.cpp (the computer's turn and its worker) and
// ui/partita_disegno.cpp (the drawing, Win32 only). docs/architecture.md
// maps them ("Where the members of `partita` live").
#ifndef VORANDEL_PARTITA_H
#define VORANDEL_PARTITA_H

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "comune.h"
#include "pedina32.h"
#include "plancia32.h"

class specchietto;
struct fotografia;
struct partita_ispettore;
DWORD WINAPI Thread(LPVOID param);

class partita {
    friend DWORD WINAPI Thread(LPVOID param);
    friend struct partita_ispettore;

public:
    // One entry of the repetition register: the two tokens' position codes
    // and how often that placement has been reached.
    struct voce_registro {
        std::uint8_t posiz1;
        std::uint8_t posiz2;
        std::uint32_t ripetizioni;
    };

    partita();
    int ricomincia(HWND hWnd);
    // A change of a player's kind also takes the highlight away, and its
    // cell is invalidated in hWnd (when given): the frame must not stay on a
    // target that no pointer is choosing any more.
    int set_opzioni(e_tipo* tipi, int* livello, HWND hWnd = nullptr);
    int get_opzioni(e_tipo* tipi, int* livello) const;
    int mossa_uomo(HWND hWnd, POINT punto, unsigned wParam);
    // A key pressed in the main window while a person may be to move:
    // `tasto` is the virtual key, `esteso` the extended-key bit (set for the
    // dedicated arrow keys, clear for the numeric keypad's with Num Lock
    // off), `maiuscolo` whether Shift is held. Tab and Shift+Tab, the arrows
    // and Esc move or remove the frame of the legal target (`attuale`, the
    // one the pointer moves too), Enter and Space play the framed target as
    // a click does, the numeric keypad's 1 to 9 play at once in their
    // compass direction. 1 when the key acted; 0 when it is one of those
    // keys and could do nothing (no person to move, no frame, no legal move
    // that way): the window beeps; -1 for any other key.
    int tasto_uomo(HWND hWnd, unsigned tasto, int esteso, int maiuscolo);
    int mossa_macchina(HWND hWnd);
    // Called (through regia::riprendi) after each box or dialog the main
    // window has shown, whose loop can drop a posted message (see regia.h).
    // When the computer is to move, its search for this turn has noted the
    // turn (it does so when its search is over, just before posting its
    // move), and no move of this turn is left in hWnd's queue once that post
    // is complete (a noted move still on its way is waited for: a moment,
    // never a search), the move was lost: one log line, and the search
    // starts again (result 1). Otherwise nothing happens (result 0).
    int riprendi(HWND hWnd);
    int disegna(HDC hdc, RECT zona, specchietto& info) const;
    // The race balance the panel's bar shows, 0 to 100 (50: level).
    int equilibrio() const;
    e_tipo stato() const;
    // A copy of what the board shows, for the words a screen reader speaks
    // (parole.h); taken only when they are asked for, never by a paint.
    fotografia fotografa() const;
    int esegui_mossa(HWND hWnd, int mossa);
    // A posted MSG_MOSSA: performed only when `firma` is the number of the
    // turn in progress; a move made for another game or turn is refused
    // (result 0) with one log line.
    int esegui_mossa(HWND hWnd, int mossa, std::uint32_t firma);
    // The number of the turn in progress, which MSG_MOSSA carries as lParam.
    std::uint32_t firma() const { return serie; }
    // Removes from hWnd's queue every MSG_MOSSA made for a turn other than
    // the one in progress (the moves of an abandoned game, clicks on a board
    // that has changed); the moves of the turn in progress are queued again,
    // so that a computer that begins a new game never halts. The result is
    // the number of moves of the turn in progress kept.
    int scarta_mosse_scadute(HWND hWnd) const;
    // The number of the game in progress, or of the one that has just
    // ended; every new game takes the next one, never 0 (0 is what a menu
    // command carries).
    std::uint32_t numero_partita() const { return numero; }
    // An end-of-game message carrying `n`: 1, once, when `n` is the game
    // that has just ended; the end of an abandoned game, of a game still in
    // progress or one already taken is refused (result 0) with one log line.
    int accetta_fine(std::uint32_t n);
    // The game that has ended and whose end nobody has taken yet: its
    // number, and in `messaggio` and `wParam` the end it posted (so that the
    // main window can act on it when that message was lost); 0 when there
    // is none.
    std::uint32_t fine_da_prendere(UINT* messaggio, WPARAM* wParam) const;

private:
    int aggiorna_lecite();
    int patta();
    void azzera_registro();
    // Closes the current turn: every move made for it is stale from now on.
    void nuovo_turno() { serie++; }
    // Returns once every worker started for this match has posted its move
    // and gone, those that have not yet taken the event included. Only the
    // window's thread calls it (a new game, new options).
    void attendi_lavoratori();
    // Ends the game: posts `messaggio` with `wParam` and the game's number.
    void termina(HWND hWnd, UINT messaggio, WPARAM wParam);
    // Frames legal target i (-1: none), invalidating the cells whose frame
    // comes or goes.
    void inquadra(HWND hWnd, std::int32_t i);
    // The legal move in direction d, or -1.
    std::int32_t indice_direzione(unsigned d) const;
    int freccia(HWND hWnd, unsigned d);

    std::int8_t turno;  // player to move, 0 or 1; -1 while no game is in progress
    plancia scacch;
    e_tipo tipo[2];
    std::int32_t skill[2];
    pedina ped[2];
    std::int32_t attuale;  // highlighted legal target, -1 for none
    RECT lecita[MOSSE_MAX];  // cell rectangles of the legal targets
    RECT vecchia;          // cell rectangle of the mover's own cell
    std::uint8_t direz[MOSSE_MAX];
    std::int32_t n_lecite;
    std::int32_t stallo_vicino;  // 1 when the turn last changed hands by a pass
    HANDLE mutex;                // auto-reset event held by a running search
    voce_registro registro[VOCI_REGISTRO];
    // Number of the turn in progress (see `firma`), and the turn for which a
    // computer search was last started, so that one turn never gets two.
    std::uint32_t serie;
    std::uint32_t serie_cercata;
    // The newest turn for which a search has posted (or is posting) its
    // move, written by the worker just before it posts, and never moved back
    // to an older turn by an older worker; and the newest turn whose post is
    // complete, written by the worker just after it, likewise only forward.
    // Between the two the move is on its way, and `riprendi` waits for it.
    std::atomic<std::uint32_t> serie_postata;
    std::atomic<std::uint32_t> serie_consegnata;
    // The workers started and not yet gone, counted by mossa_macchina before
    // the thread exists (so a worker is waited for even before it has taken
    // the event), and an auto-reset event that a worker sets each time it
    // has posted and when it goes. Only the window's thread waits on it, and
    // it checks again what it waits for after each wake.
    std::atomic<std::int32_t> lavoratori;
    HANDLE segnale;
    // Number of the current game (see `numero_partita`), and that of the
    // game whose end has been posted and not yet taken, 0 for none, with the
    // end it posted.
    std::uint32_t numero;
    std::uint32_t finita;
    UINT fine_messaggio;
    WPARAM fine_wparam;
    // The keys' side of the frame: the direction of the arrow key that last
    // moved it (-1 when something else moved it since), whether a key set
    // or removed it last, and the last point the pointer was reported at
    // (`punto_noto` 0 before the first): a pointer message at that same
    // point (Windows sends those, after a box closes for instance) leaves a
    // frame that a key has set.
    std::int32_t ultima_freccia;
    std::int32_t da_tastiera;
    std::int32_t punto_noto;
    POINT punto_mouse;
};

// The game's one match, defined beside WinMain after the log and the sprite
// sheet; tools and tests that need a match make their own.
extern partita game;

#endif
