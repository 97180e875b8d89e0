// The automation tool's parts, one concern to a file:
//   finestre.cpp  finding the game's window, its boxes and dialogs, and
//                 answering them (the menu, the questions, Options)
//   schermo.cpp   the pointer and the board's cells, and reading the screen:
//                 the highlighted targets, a screenshot checked, the panel's
//                 tallies
//   passi.cpp     the end-to-end steps that neither play nor type: the game
//                 found, the view, Help, Exit, the Windows version
//   giocate.cpp   the end-to-end steps played with the pointer
//   tastiera.cpp  the end-to-end step of the keyboard alone
//   tornei.cpp    the soak: tournament after tournament, disturbed at random
//   bufera.cpp    the storm from outside: commands, closes and ends posted
//   ascolto.cpp   the game played through a screen reader's eyes (MSAA and
//                 the events the game raises, read by lettore.h's core)
//   automa.cpp    the commands and their arguments
#ifndef VORANDEL_AUTOMA_H
#define VORANDEL_AUTOMA_H

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "dimensioni.h"

namespace automa {

// ------------------------------------------------ finestre.cpp: the windows

extern const char* const CLASSE;
extern const char* const TITOLO;
extern HWND finestra;  // the game's main window
extern DWORD filo;     // the game's main thread

// A line on standard error, "automa: ..."; returns 1, the failure of a step.
int errore(const char* formato, ...);
// A line on standard output, "automa: ...".
void dice(const char* formato, ...);
void pausa(DWORD ms);
bool trova_gioco(DWORD ms);
HWND scatola(const char* titolo = nullptr);
HWND attendi_scatola(const char* titolo, DWORD ms);
void premi(HWND dialogo, int id);
void premi_col_mouse(HWND dialogo, int id);
void comando(int id, int risposta = IDYES);
int opzioni(bool automatico[2], int skill[2], bool col_mouse = false);
std::vector<HWND> finestre_di_classe(const char* classe);
std::string scatole_aperte();
void chiudi_scatole();

// ------------------------------------------------- schermo.cpp: the screen

POINT su_schermo(POINT client);
void muovi_puntatore(POINT client);
void clic(POINT client);
RECT casella(int x, int y);
POINT centro(const RECT& r);
// A cell (x, y) as one number, x * LATO_PLANCIA + y: how the lists of cells
// below and the geometry file of "quadro" hold it.
inline int indice_casella(int x, int y) { return x * LATO_PLANCIA + y; }
inline int colonna_di(int c) { return c / LATO_PLANCIA; }
inline int riga_di(int c) { return c % LATO_PLANCIA; }
bool giocabile(int x, int y);
bool incorniciata(const RECT& r);
bool bersaglio(int x, int y, HRGN rgn);
std::vector<int> bersagli(const std::vector<int>& celle);
std::vector<int> vicine(std::initializer_list<int> centri);
std::vector<int> tutte();
unsigned long long impronta();
HWND tasto_stop();
bool clic_su_stop();

// A picture in RGB, three bytes a pixel, row after row.
struct immagine {
    int larg = 0, alt = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* px(int x, int y) const { return &rgb[3 * (static_cast<std::size_t>(y) * larg + x)]; }
    bool dentro(int x, int y) const { return x >= 0 && y >= 0 && x < larg && y < alt; }
};

bool leggi_ppm(const char* nome, immagine& im);
bool cornice_bianca(const immagine& im, POINT o, const RECT& r);
void conti_pannello(const immagine& im, POINT op, int partite, int conto[3], int altezza[3]);
int verifica(const char* file_geometria, const char* file_ppm, int partite);
bool cattura(const RECT& r, immagine& im);
bool leggi_conti(int conto[3]);

// ----------------------------------- passi.cpp: the steps that do not play

int attendi();
int vista(bool ripristinata);
int esci();
int aiuto();
int sistema(const char* versione, const char* tipo);

// ------------------------------- giocate.cpp: the steps played with the pointer

int umano();
int attendi_quiete(DWORD quiete, DWORD massimo, int* scatole_fine, bool col_mouse = false);
int torneo();
int stop();
int quadro(const char* file);
int fotografa(int ms);
int quiete();

// ------------------------------------- tastiera.cpp: the keyboard alone

int tastiera();

// ------------------------------------- ascolto.cpp: through a screen reader

int lettore();

// ------------------------------------------------------ tornei.cpp: the soak

int tornei(int quanti, unsigned seme);

// ------------------------------------- bufera.cpp: the storm from outside

int bufera(int quanti, unsigned seme);

}  // namespace automa

#endif
