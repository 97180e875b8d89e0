/* Vorandel 32: the main window's menu commands (WM_COMMAND ids), which the
   menu sends and the main window's decisions post to the window themselves
   (the tournament's "New game"). Plain #defines: the resource compiler reads
   them too, through ui/risorse.h. */
#ifndef VORANDEL_COMANDI_H
#define VORANDEL_COMANDI_H

#define CMD_NUOVA_PARTITA       32000
#define CMD_NUOVO_TORNEO        32001
#define CMD_AIUTO               32003
#define CMD_ABOUT               32004
#define CMD_ESCI                32005
#define CMD_OPZIONI             32006

#endif
