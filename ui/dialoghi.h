// The dialog procedures of the Options dialog (IDD_OPZIONI) and of the
// About dialog (IDD_ABOUT), both run modally with DialogBoxParamA on the
// main window.
#ifndef VORANDEL_DIALOGHI_H
#define VORANDEL_DIALOGHI_H

#include <windows.h>

INT_PTR CALLBACK DiaProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutProc(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam);

#endif
