/* Vorandel 32: every resource and control identifier, grouped by kind (the
   menu commands from regia/comandi.h). */
#ifndef VORANDEL_RISORSE_H
#define VORANDEL_RISORSE_H

/* Icon */
#define IDI_VORANDEL            101

/* Menu */
#define IDM_MENU                102

/* Dialogs */
#define IDD_OPZIONI             103
#define IDD_ABOUT               136

/* Menu commands: with the main window's decisions, which post them too */
#include "comandi.h"

/* Options dialog controls */
#define IDC_UMANO1              3008
#define IDC_AUTOMATICO1         3009
#define IDC_UMANO2              3010
#define IDC_AUTOMATICO2         3011
#define IDC_SCROLL2             3012
#define IDC_SCROLL1             3013
#define IDC_OK                  3014
#define IDC_ANNULLA             3015
#define IDC_SKILL1              20
#define IDC_SKILL2              21

/* Info panel child windows */
#define ID_SPECCHIETTO          18
#define ID_STOP                 12

#endif
