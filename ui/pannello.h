// The info panel beside the board: the balance bar of the race, the
// tallies of the current tournament, the games left and the
// "Stop tournament" button. The object holds only the panel's window; what
// the panel shows lives in its window procedure. A tournament's start, its
// results and its end are sent to the panel, so that they take effect at
// once and no box's loop can lose them (see regia.h); the balance that each
// paint of the board hands over is posted.
//
// A screen reader reads the panel through its own accessible object: its
// name gives the tallies and the games left, its value the balance, and the
// panel raises a name or value change whenever they change. The "Stop
// tournament" button stays the standard control that it is.
//
// The panel counts only what the main window tells it through these
// methods: a start, a result or an end is taken only while nuovo_torneo,
// vittoria, patta or fine_torneo is sending it, and a result or an end only
// with the number (lParam) of the tournament it was last told of. Anything
// another program posts or sends to the panel, with any numbers, is refused
// with one log line and changes nothing it shows.
#ifndef VORANDEL_PANNELLO_H
#define VORANDEL_PANNELLO_H

#include <windows.h>

#include <cstdint>

#include "comune.h"
#include "parole.h"

// Where the panel stands in the main window's client area, to the right of
// the board, and its outer size, frame included; fixed for the whole run.
// The main window is made large enough to hold it.
inline constexpr int PANNELLO_X = 500;
inline constexpr int PANNELLO_Y = 100;
inline constexpr int PANNELLO_LARGHEZZA = 160;
inline constexpr int PANNELLO_ALTEZZA = 260;

LRESULT CALLBACK Proc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

class specchietto {
    friend LRESULT CALLBACK Proc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

    HWND handle;  // null when the panel could not be created

    // Posts or sends to the panel; without a panel window nothing is posted
    // (a null window would make it a message to the whole thread).
    void posta(UINT messg, WPARAM wParam, LPARAM lParam = 0) const {
        if (handle != nullptr) PostMessageA(handle, messg, wParam, lParam);
    }
    void manda(UINT messg, WPARAM wParam, LPARAM lParam = 0) const {
        if (handle != nullptr) SendMessageA(handle, messg, wParam, lParam);
    }

public:
    explicit specchietto(HWND hWnd);
    ~specchietto();
    // One object per panel window: a copy would destroy the window twice.
    specchietto(const specchietto&) = delete;
    specchietto& operator=(const specchietto&) = delete;
    int disegna();
    // The balance, posted (by every paint of the board); bilancia sends it,
    // for the bar to be right at once.
    int aggiorna1(int percento);
    int bilancia(int percento);
    // A tournament of `partite` games begins; `torneo` is its number, which
    // the stop button's MSG_FINE_TORNEO carries back to the main window and
    // every result must carry.
    int nuovo_torneo(int partite, std::uint32_t torneo = 0);
    // The number of the tournament last stopped with the button, 0 for none.
    std::uint32_t torneo_fermato() const;
    // Tournament `torneo` has ended: no games left, and its tallies in the
    // log.
    int fine_torneo(std::uint32_t torneo = 0);
    // A draw, or a game that ended with no move left, in tournament `torneo`.
    void patta(std::uint32_t torneo = 0);
    // A win of player p (0 or 1) in tournament `torneo`.
    void vittoria(int p, std::uint32_t torneo = 0);
    HWND finestra() const { return handle; }
    // The tallies and the games left, as the panel shows them.
    conti_torneo conti() const;
};

#endif
