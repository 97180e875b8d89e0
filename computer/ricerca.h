// The computer's fast search: the score of the game tree behind a candidate
// move, computed without building the tree.
//
// It walks the same tree as `albero`, node for node in the same depth-first
// order, and adds the same leaf values in the same order, so every score is
// the same double to the last bit; the pass flag changes as the building of
// that tree would change it. Nothing is allocated per node: a node's score is
// summed up as the walk returns from its children. A subtree met again in
// the same decision (the same placement, player to move, remaining depth and
// pass flag on the way in: its level and the player scored for are those of
// the whole decision) is not walked again: its score, the pass flag it
// leaves and the nodes it holds come from a table kept for the decision.
//
// The tables are the process's, and one walk at a time uses them: two
// threads never search at once (the worker holds the match's event). Any
// number of searches may live side by side, on one board or on several:
// each marks the subtrees it scores with a mark of its own, and at every
// `valuta` it checks its board against the one its marks were scored on (a
// board dealt again gets a new mark) and against the one the table of
// legal moves holds (which is made again for another board).
#ifndef VORANDEL_RICERCA_H
#define VORANDEL_RICERCA_H

#include <cstddef>
#include <cstdint>

#include "pedina32.h"
#include "plancia32.h"
#include "punteggio.h"

class ricerca {
public:
    // One decision's search on `scacch`, scored for `giocatore` (0 or 1),
    // with trees `profondita` plies deep whose root is at level 1. The
    // tokens given to `valuta` must be those of the same two players (the
    // same goals) throughout. The board is read where it lies, at every
    // `valuta`: a board dealt again meanwhile is searched as it is now.
    ricerca(const plancia& scacch, int giocatore, std::int32_t profondita);
    ~ricerca();
    ricerca(const ricerca&) = delete;
    ricerca& operator=(const ricerca&) = delete;

    // The score that albero(player1, player2, turno, profondita, scacch)
    // .visita(giocatore, 1) would give, with the pass flag `stallo` taken and
    // left as that tree's building would take and leave the tree's own flag
    // (any value but 0 is set). `nodi` receives the nodes that tree would
    // hold. False, with nothing changed (the flag included), for what this
    // search does not walk: a token off cells 1 to 8, a player to move other
    // than 0 or 1, a giocatore other than 0 or 1, or a move that would leave
    // those cells; the caller then builds the tree.
    bool valuta(pedina player1, pedina player2, int turno, std::int32_t& stallo, double* punti,
                std::uint64_t* nodi);

private:
    friend struct ricerca_ispettore;

    // The playable cells, numbered 0 to CASELLE_GIOCABILI - 1.
    static constexpr int CELLE = CASELLE_GIOCABILI;
    // The most levels a tree of this search may have: deeper ones are
    // refused, and built as trees.
    static constexpr int MAX_LIVELLI = 64;
    static_assert(MAX_LIVELLI + 1 <= LIVELLI_IN_TABELLA, "the weights of every level walked are in the table");

    struct mosse {
        std::int8_t n;
        std::uint8_t verso[MOSSE_MAX];  // the cells the moves lead to
        std::uint8_t direz[MOSSE_MAX];  // and their directions
    };

    double nodo(int c1, int c2, int turno, int resto, const pesi_livello* livello);
    double foglia(int c1, int c2, const pesi_livello& p) const;
    const mosse& mosse_di(int turno, int c_mia, int c_sua);
    void metti(int k, const pedina& p, int c);
    void passo(int k, int da, int a, unsigned direz);
    void nuova_marca();

    const plancia& scacch;
    int giocatore;
    std::int32_t profondita;
    std::int32_t flag;  // the pass flag during a walk, 0 or 1
    bool fuori;  // a move left cells 1 to 8: the walk's result is not used
    std::uint64_t n_nodi;
    std::uint64_t n_riprese;  // subtrees taken from the table, over the search
    // This search's mark in the table of subtrees (0: none), and the clearing
    // of that table it was given in.
    std::uint32_t marca;
    std::uint32_t epoca;
    // The board as this search last saw it: what the subtrees it marked
    // were scored on.
    unsigned char vista[sizeof(plancia)];

    // The token of each player on each cell it reaches, and its distance
    // from its goal (pedina::distanza), taken once per cell.
    bool nota[2][CELLE];
    union posto {
        posto() {}
        pedina p;
    } su_cella[2][CELLE];
    double distanza[2][CELLE];
    // The weights of each level (punteggio.h).
    pesi_livello pesi[MAX_LIVELLI + 2];

    // The legal moves of the player to move from one cell against the
    // other's cell depend on nothing but the board and the two cells (a
    // token on its goal is never asked about): they are asked of the board
    // once, and kept for the decisions that follow on the same board.
    struct tabella_mosse;
    static tabella_mosse* tabella_comune();
    tabella_mosse* tabella;
    bool propria;  // the table is this search's own, not the process's
};

#endif
