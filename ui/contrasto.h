// Windows' high-contrast mode, as the drawing of the match asks for it.
//
// While the mode is on, the highlighted target's frame is drawn three pixels
// wide in the system's highlight colour (COLOR_HIGHLIGHT), where otherwise
// it is one white pixel. The drawing asks on every paint, and the main
// window paints again when the mode or the colours change
// (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE).
#ifndef VORANDEL_CONTRASTO_H
#define VORANDEL_CONTRASTO_H

// What Windows says: SPI_GETHIGHCONTRAST reports HCF_HIGHCONTRASTON.
bool contrasto_di_windows();

// How the drawing asks: contrasto_di_windows, unless a program puts its
// own answer in place (Wine reports the mode always off and cannot turn it
// on, so the tests answer for it).
extern bool (*contrasto_elevato)();

#endif
