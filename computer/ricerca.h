// The computer's fast search: the score of the game tree behind a candidate
// move, computed without building the tree.
//
// It walks the same tree as `albero`, node for node in the same depth-first
// order, and adds the same leaf values in the same order, so every score is
// the same double to the last bit; the pass flag changes as the building of
// that tree would change it. Nothing is allocated per node: a node's score is
// summed up as the walk returns from its children.
//
// The legal moves are bit masks of the eight directions, worked out once per
// board: a cell's arrows, the directions in which its neighbours can be
// entered, and the direction from one cell onto another. They give the moves
// of plancia::mosse_lecite in its own order (the lowest directions first).
//
// A subtree of two plies or more met again is not walked again: its score,
// the pass flag it leaves and the nodes it holds come from a memo. A
// subtree's score depends on nothing but its placement, the player to move,
// the plies left, the board, the players' goals, the skill (a node's level
// is the skill plus one minus the plies left) and the player scored for: the
// pass flag on the way in never changes it where the memo is asked (a node
// with moves clears the flag before its first child, and a stuck node that
// finds the flag set is a leaf, told before the memo is asked). So a memo
// serves every decision of one game while the board, the goals, the skill
// and the player scored stay the same, and starts clean for any other: a new
// deal, other options, another match's board.
//
// The memos are kept by the process, a few of them, each taken by one search
// at a time (with atomic operations, no lock): two matches may search at
// once, each with a memo of its own. A search that finds every kept memo
// taken has one of its own for its lifetime.
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
    // with trees `profondita` plies deep whose root is at level 1. The board
    // is read where it lies, and the tokens' goals from the tokens, at every
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
    // than 0 or 1, a giocatore other than 0 or 1, or a tree too deep; the
    // caller then builds the tree.
    bool valuta(pedina player1, pedina player2, int turno, std::int32_t& stallo, double* punti,
                std::uint64_t* nodi);

    // Whether a search may take up the subtrees that earlier searches of the
    // same game left in a memo (the default), or starts every memo clean:
    // the same scores and choices, only the time differs. For the benchmark
    // and the tests.
    static void riuso(bool si);
    // Every kept memo forgets what it holds (those in use by a search are
    // left alone).
    static void dimentica();
    // Subtrees walked and written to a memo, and subtrees taken up again from
    // one, by every search of the process that has ended (counted modulo
    // 2^32): what the benchmark reports per decision.
    static std::uint32_t scritti();
    static std::uint32_t ripresi();

    // The playable cells, numbered 0 to CASELLE_GIOCABILI - 1.
    static constexpr int CELLE = CASELLE_GIOCABILI;

    // The directions (bit d for direction d) in which a token on playable
    // cell `c_mia` may move against one on `c_sua`, as the board stands when
    // last seen by `valuta`: the same moves as plancia::mosse_lecite, which
    // lists them lowest first.
    unsigned maschera(int c_mia, int c_sua) const;
    // The cell one step from `c` in direction `d`, for a move in maschera.
    static int vicina(int c, unsigned d);

private:
    friend struct ricerca_ispettore;

    // The most levels a tree of this search may have: deeper ones are
    // refused, and built as trees.
    static constexpr int MAX_LIVELLI = 64;
    static_assert(MAX_LIVELLI + 1 <= LIVELLI_IN_TABELLA, "the weights of every level walked are in the table");
    static_assert(CELLE <= 256, "a cell's number fits in a byte");

    struct memoria;
    struct voce;

    unsigned mosse(int c_mia, int c_sua) const;
    template <int TURNO, int GIOCATORE>
    double nodo(int c1, int c2, int resto);
    template <int GIOCATORE>
    double foglia(int c1, int c2, const pesi_livello& p) const;
    template <int GIOCATORE>
    double radice(int c1, int c2, int turno);
    void guarda(const pedina& player1, const pedina& player2);
    void calcola();
    bool prendi_memoria();

    const plancia& scacch;
    int giocatore;
    std::int32_t profondita;
    std::int32_t flag;  // the pass flag during a walk, 0 or 1
    std::uint64_t n_nodi;
    std::uint64_t n_riprese;  // subtrees taken from the memo, over the search
    std::uint64_t n_salvate;  // subtrees written to the memo, over the search

    // What the walk reads of the board and the goals: per cell, the arrows
    // that decide a move (an ordinary cell's three, all eight for any other
    // cell), whether the cell is ordinary, the directions in which a
    // neighbour can be entered, and each token's distance from its goal
    // (pedina::distanza, exactly 0 on its goal); and whether the board's
    // outer ring is closed, as the masks take it to be.
    struct tavole {
        std::uint8_t frecce[CELLE];
        std::uint8_t ordinaria[CELLE];
        std::uint8_t aperte[CELLE];
        double distanza[2][CELLE];
        bool chiusa;
    };
    // The board and the goals as this search last saw them (`viste`: it has
    // seen any), and the tables worked out from them.
    unsigned char vista[sizeof(plancia)];
    unsigned mete[2][2];
    bool viste;
    tavole tav;
    // The weights of each level (punteggio.h).
    pesi_livello pesi[MAX_LIVELLI + 2];

    // The memo this search holds (null: none, every subtree is walked), and
    // whether it is this search's own rather than one the process keeps.
    memoria* memo;
    bool propria;
    voce* voci;  // the memo's slots
    std::uint32_t marca;  // the mark of the slots this search may take up
};

#endif
