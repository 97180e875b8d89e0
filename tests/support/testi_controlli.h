// Whether the texts of controls fit the controls that show them, measured in
// the font each control draws with: a label cut off at its edge is a fault of
// the program on the Windows (or the Wine prefix) where it happens.
#ifndef VORANDEL_TESTI_CONTROLLI_H
#define VORANDEL_TESTI_CONTROLLI_H

#include <windows.h>

#include <gtest/gtest.h>

// The text of `controllo` in its font (the one WM_GETFONT names, or the
// system font when it names none) is no wider and no taller than the
// control's client area, inside the edge of a push button.
::testing::AssertionResult testo_entra(HWND controllo);
// The same for every child of `finestra` that shows a text: scroll bars and
// pictures show none. Fails also when no child shows a text.
::testing::AssertionResult testi_entrano(HWND finestra);

#endif
