// What the native tests of the main window's decisions share: the window's
// dispatch of a queued message to `regia`, as MainProc does it (the menu's
// commands through regia::comando, which MainProc calls too), and a check
// that a test's `sportello` fills every entry, so that no box of the window
// is left to the test's own stand-in.
#ifndef VORANDEL_SMISTA_H
#define VORANDEL_SMISTA_H

#include <windows.h>

#include <cstdint>

#include "regia.h"

// MainProc's case for message `m`: the result of the decision it calls, 0
// for a message the window hands to Windows.
inline int smista(regia& r, HWND w, const MSG& m) {
    switch (m.message) {
    case WM_COMMAND:
        return r.comando(w, m.wParam, m.lParam);
    case WM_CLOSE:
        return r.chiudi(w) ? 1 : 0;
    case WM_TIMER:
        return m.wParam == TIMER_RIPRESA ? r.sveglia(w) : 0;
    case MSG_MOSSA:
        return r.mossa(w, m.wParam, m.lParam);
    case MSG_VITTORIA:
    case MSG_BLOCCO:
    case MSG_PATTA:
        return r.fine_partita(w, m.message, m.wParam, m.lParam);
    case MSG_FINE_TORNEO:
        return r.fine_torneo(w, static_cast<std::uint32_t>(m.lParam));
    default:
        return 0;
    }
}

// The entries of `sportello`, its `dati` aside. A new entry changes its size
// and stops every test that fills one from compiling until it fills the new
// entry too.
inline constexpr int VOCI_SPORTELLO = 14;
static_assert(sizeof(sportello) == sizeof(void*) * (VOCI_SPORTELLO + 1),
              "sportello has gained or lost an entry: fill it in the tests' sportelli and in pieno()");

// True when every entry of `s` is filled: a test's window that leaves one
// out would let that box or tally go untested.
inline bool pieno(const sportello& s) {
    return s.domanda != nullptr && s.avviso != nullptr && s.opzioni != nullptr && s.nuovo_torneo != nullptr &&
           s.vittoria != nullptr && s.patta != nullptr && s.torneo_fermato != nullptr && s.ridisegna != nullptr &&
           s.torneo_finito != nullptr && s.bilancia != nullptr && s.informazioni != nullptr && s.aiuto != nullptr &&
           s.esci != nullptr && s.ferma != nullptr;
}

#endif
