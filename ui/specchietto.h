// The info panel beside the board: the balance bar of the race, the
// tallies of the current tournament, the games left and the
// "Stop tournament" button. The object holds only the panel's window; what
// the panel shows lives in its window procedure, and every operation posts a
// message to the panel.
#ifndef VORANDEL_SPECCHIETTO_H
#define VORANDEL_SPECCHIETTO_H

#include <windows.h>

#include "comune.h"

LRESULT CALLBACK Proc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

class specchietto {
    friend LRESULT CALLBACK Proc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

    HWND handle;

public:
    explicit specchietto(HWND hWnd);
    ~specchietto();
    int disegna();
    int aggiorna1(int percento);
    int nuovo_torneo(int partite);
    int fine_torneo();
    void patta() { PostMessageA(handle, MSG_PATTA, 0, 0); }
    void vittoria(int p) { PostMessageA(handle, MSG_VITTORIA, static_cast<WPARAM>(p), 0); }
    HWND finestra() const { return handle; }
};

#endif
