// The info panel beside the board: the balance bar of the race, the
// tallies of the current tournament, the games left and the
// "Stop tournament" button. The object holds only the panel's window; what
// the panel shows lives in its window procedure, and every operation posts a
// message to the panel.
#ifndef VORANDEL_PANNELLO_H
#define VORANDEL_PANNELLO_H

#include <windows.h>

#include <cstdint>

#include "comune.h"

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

    // Posts to the panel; without a panel window nothing is posted (a null
    // window would make it a message to the whole thread).
    void posta(UINT messg, WPARAM wParam, LPARAM lParam = 0) const {
        if (handle != nullptr) PostMessageA(handle, messg, wParam, lParam);
    }

public:
    explicit specchietto(HWND hWnd);
    ~specchietto();
    // One object per panel window: a copy would destroy the window twice.
    specchietto(const specchietto&) = delete;
    specchietto& operator=(const specchietto&) = delete;
    int disegna();
    int aggiorna1(int percento);
    // A tournament of `partite` games begins; `torneo` is its number, which
    // the stop button's MSG_FINE_TORNEO carries back to the main window.
    int nuovo_torneo(int partite, std::uint32_t torneo = 0);
    // The number of the tournament last stopped with the button, 0 for none.
    std::uint32_t torneo_fermato() const;
    int fine_torneo();
    // A draw, or a game that ended with no move left, in the tournament.
    void patta() { posta(MSG_PATTA, 0); }
    // A win of player p (0 or 1) in the tournament.
    void vittoria(int p) { posta(MSG_VITTORIA, static_cast<WPARAM>(p)); }
    HWND finestra() const { return handle; }
};

#endif
