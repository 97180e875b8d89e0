// The board and the match in words, for players who hear the game through
// a screen reader: each cell's name, the board's, the move a target makes,
// the sentences announced after each move and at each end, the whole
// position on request and the info panel's text.
//
// They are built from a copy of what the board shows (`fotografia`, which
// partita::fotografa fills), so that the words and the picture come from the
// same state, and a test can describe any position without playing to it.
// The texts are English, as the rest of the game.
#ifndef VORANDEL_PAROLE_H
#define VORANDEL_PAROLE_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "comune.h"
#include "plancia32.h"

// What the board shows, and how the last game ended.
struct fotografia {
    std::int32_t turno = -1;  // the player to move, 0 or 1; -1 while no game is in progress
    e_tipo tipo[2] = {UMANO, UMANO};
    unsigned col[2] = {PRIMA_FILA, ULTIMA_FILA};  // the tokens' cells
    unsigned riga[2] = {PRIMA_FILA, PRIMA_FILA};
    plancia::casella celle[LATO_PLANCIA][LATO_PLANCIA] = {};  // [x][y]
    // The legal moves of the player to move: their directions, and the
    // framed one (-1: none).
    std::int32_t n_lecite = 0;
    std::uint8_t direz[MOSSE_MAX] = {};
    std::int32_t attuale = -1;
    // The game's number and the turn's (partita::numero_partita, firma).
    std::uint32_t numero = 0;
    std::uint32_t serie = 0;
    // How the last game ended (MSG_VITTORIA, MSG_PATTA or MSG_BLOCCO; 0 for
    // no game ended yet), and its winner for MSG_VITTORIA.
    UINT fine = 0;
    int vincitore = 0;
};

// A tournament's tallies as the panel shows them.
struct conti_torneo {
    int vittorie[2] = {0, 0};
    int patte = 0;
    int restanti = 0;  // games left; 0 while no tournament runs
};

namespace parole {

// The board's accessible children: the playable cells in reading order,
// 1 to CASELLE_GIOCABILI, then the announcer.
inline constexpr long FIGLIO_ANNUNCI = CASELLE_GIOCABILI + 1;
// The child of cell (col, riga), 0 for a cell outside the playable square;
// and the cell of a child, false for a child that is no cell.
long figlio_di(int col, int riga);
bool casella_di(long figlio, int* col, int* riga);

// A compass direction, 0 ("up") to 7 ("up-left"), clockwise.
const char* direzione(unsigned d);
// "Player 1", with " (computer)" when `chi` plays for the computer and
// `con_tipo` is set.
std::string giocatore(const fotografia& f, int chi, bool con_tipo);

// The legal move of the player to move that ends on cell (col, riga), or -1.
int bersaglio(const fotografia& f, int col, int riga);
// The cell a legal move ends on.
void arrivo(const fotografia& f, int mossa, int* col, int* riga);

// A cell's name: its row and column, what stands there (a token, a corner
// and whose start or goal it is, the blocked centre) and its arrows.
std::string nome_casella(const fotografia& f, int col, int riga);
// The move a legal target makes ("Move down-left to row 5, column 3.");
// empty for any other cell.
std::string mossa_casella(const fotografia& f, int col, int riga);
// The board's name: whose turn it is and by which arrows, or how the game
// ended.
std::string nome_plancia(const fotografia& f);
// "Player 1 to move: 2 moves." for the game in progress.
std::string turno(const fotografia& f);

// The sentence announced after a turn has been played: who moved where or
// passed, the passes that followed, then whose turn it is or how the game
// ended. Empty when `dopo` is not the same game as `prima` or nothing was
// played.
std::string annuncio_mossa(const fotografia& prima, const fotografia& dopo);
// How the game ended ("Player 2 wins."); empty while it goes on.
std::string annuncio_fine(const fotografia& f);
// A tournament's game has been counted: how it ended and the tallies.
std::string annuncio_partita_torneo(const fotografia& f, const conti_torneo& c);
// "The tournament is over: Player 1 9, Player 2 4, draws 2."
std::string annuncio_fine_torneo(const conti_torneo& c);
// The whole position at once: both tokens, whose turn it is, the legal
// moves, and in a tournament (`c` not null) the tallies.
std::string posizione(const fotografia& f, const conti_torneo* c);

// The info panel: its tallies ("Player 1 4, draws 1, Player 2 0, games left
// 10") and its balance bar, 0 to 100 (50: level).
std::string testo_pannello(const conti_torneo& c);
std::string bilancio(int percento);

}  // namespace parole

#endif
