// A control's object for screen readers: Windows' own (CreateStdAccessibleObject),
// with the name, the value, the role and some states that the game gives it.
//
// Windows names a control after the label before it, and Wine after the
// control's own text, so two players' "Human" boxes read alike; a control
// that answers WM_GETOBJECT through oggetto_controllo reads as the game
// describes it, on every Windows since 2000 and under Wine. Each question
// asks the description afresh, so the answers follow the dialog.
#ifndef VORANDEL_CONTROLLO_ACCESSIBILE_H
#define VORANDEL_CONTROLLO_ACCESSIBILE_H

#include <windows.h>

#include <string>

struct descrizione_accessibile {
    std::string nome;    // empty: Windows' own
    std::string valore;  // empty: Windows' own
    long ruolo = 0;      // 0: Windows' own
    long stati_tolti = 0;     // states taken from Windows' own
    long stati_aggiunti = 0;  // states added to them
};

// Fills in the description of control `controllo`; false leaves Windows'
// own answers (for a control no longer there, for one).
using descrittore = bool (*)(HWND controllo, descrizione_accessibile& d);

// The answer to WM_GETOBJECT for the client object of `controllo`; 0 when
// there is none to give (the caller then leaves the message to the
// control's own procedure). Runs on the control's thread.
LRESULT oggetto_controllo(HWND controllo, WPARAM wParam, descrittore descrivi);

#endif
