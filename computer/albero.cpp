// Building, scoring and freeing the game tree.
#include "albero.h"

#include <cstdlib>
#include <new>

#include "punteggio.h"

namespace {

// Set when a stuck node gets its pass child, cleared by every node that has
// moves. One flag for the whole run: its value carries from node to node,
// from tree to tree and from one search to the next.
std::int32_t stallo_vicino = 0;

// Nodes of a complete tree of remaining depth d, every node with MOSSE_MAX
// children: (3^(d+1) - 1) / 2. The first block is that large, up to a cap;
// beyond it, it doubles as needed.
std::size_t prima_capienza(std::int32_t profondita) {
    constexpr std::size_t TETTO = std::size_t{1} << 17;
    if (profondita < 1) return 1;
    std::size_t n = 1, livello = 1;
    for (std::int32_t d = 0; d < profondita && n < TETTO; d++) {
        livello *= MOSSE_MAX;
        n += livello;
    }
    return n < TETTO ? n : TETTO;
}

inline int cella(unsigned x, unsigned y) { return static_cast<int>(x * LATO_PLANCIA + y); }

// The playable cells numbered 0 to CASELLE_GIOCABILI - 1, for the table of
// legal moves: the column and the row, each modulo LATO_GIOCABILE, as two
// bit fields of BIT_FILA bits.
constexpr int BIT_FILA = 3;
constexpr int MASCHERA_FILA = (1 << BIT_FILA) - 1;
inline int indice64(int c) {
    return ((c / LATO_PLANCIA) & MASCHERA_FILA) << BIT_FILA | ((c % LATO_PLANCIA) & MASCHERA_FILA);
}

static_assert(1 << BIT_FILA == LATO_GIOCABILE, "the table's index holds a playable column or row in BIT_FILA bits");
static_assert(CASELLE_GIOCABILI <= 64, "one bit of a 64-bit mask for each cell the opponent can stand on");

}  // namespace

std::int32_t& albero::flag_stallo() { return stallo_vicino; }

// The construction of one tree. A token's state is its cell (its goal never
// changes), so the tree keeps one token per cell it reaches, made by moving
// a copy of the token it came from, and measures its distance once; each
// node then holds only the two cells.
struct albero::cantiere {
    cantiere(albero& albero_, const plancia& scacch_, std::size_t limite_)
        : a(albero_), scacch(scacch_), limite(limite_) {}

    albero& a;
    const plancia& scacch;
    std::size_t limite;
    bool nota[2][LATO_PLANCIA * LATO_PLANCIA] = {};
    // Filled only where `nota` is set: no token is constructed for the
    // cells the tree never reaches.
    union posto {
        posto() {}
        pedina p;
    } su_cella[2][LATO_PLANCIA * LATO_PLANCIA];
    // The legal moves of a token on one cell against a token on another:
    // plancia::mosse_lecite's answer for that pair of cells, asked once per
    // tree. Used when every node's tokens stand on playable cells.
    bool con_tabella = false;
    std::uint64_t mosse_note[CASELLE_GIOCABILI] = {};
    struct mosse {
        std::int8_t n;
        std::uint8_t d[MOSSE_MAX];
    } tabella[CASELLE_GIOCABILI * CASELLE_GIOCABILI];

    // A new node at the end of the store; false when none can be had.
    bool nuovo_nodo(std::size_t& qui) {
        if (a.n_nodi >= limite) return false;
        if (a.n_nodi == a.capienza) {
            std::size_t nuova = a.capienza * 2;
            void* blocco = std::realloc(a.vivaio, nuova * sizeof(nodo));
            if (blocco == nullptr) return false;
            a.vivaio = static_cast<nodo*>(blocco);
            a.capienza = nuova;
        }
        qui = a.n_nodi++;
        return true;
    }

    void metti(int k, const pedina& p, int c) {
        new (&su_cella[k][c].p) pedina(p);
        a.distanza[k][c] = p.distanza();
        nota[k][c] = true;
    }

    // Token k's cell after one step in direction d from cell c.
    int passo(int k, int c, unsigned d) {
        int dopo = c + G_direzioni[d][0] * LATO_PLANCIA + G_direzioni[d][1];
        if (!nota[k][dopo]) {
            pedina p = su_cella[k][c].p;
            p.move_to(d);
            metti(k, p, dopo);
        }
        return dopo;
    }

    int mosse_lecite(unsigned* S_lecite, int c_mia, int c_sua, int turno) {
        const pedina& mia = su_cella[turno][c_mia].p;
        const pedina& sua = su_cella[1 - turno][c_sua].p;
        if (!con_tabella) return scacch.mosse_lecite(S_lecite, mia, sua);
        int i_mia = indice64(c_mia), i_sua = indice64(c_sua);
        mosse& m = tabella[i_mia * CASELLE_GIOCABILI + i_sua];
        std::uint64_t bit = std::uint64_t{1} << i_sua;
        if (!(mosse_note[i_mia] & bit)) {
            unsigned d[MOSSE_MAX] = {};
            m.n = static_cast<std::int8_t>(scacch.mosse_lecite(d, mia, sua));
            for (int k = 0; k < MOSSE_MAX; k++) m.d[k] = static_cast<std::uint8_t>(d[k]);
            mosse_note[i_mia] |= bit;
        }
        for (int k = 0; k < m.n; k++) S_lecite[k] = m.d[k];
        return m.n;
    }

    // One node and its whole subtree; false when the node itself could not
    // be had (then nothing was built and the pass flag is untouched).
    bool costruisci(int c1, int c2, int turno, std::int32_t profondita) {
        std::size_t qui;
        if (!foglia(c1, c2, qui)) return false;

        if (profondita < 1) return true;  // the depth is used up
        // A token on its goal, exactly where its distance is 0: the game is
        // over in this placement.
        if (a.distanza[0][c1] == 0.0 || a.distanza[1][c2] == 0.0) return true;

        unsigned S_lecite[MOSSE_MAX];
        int n = turno == 0 ? mosse_lecite(S_lecite, c1, c2, 0) : mosse_lecite(S_lecite, c2, c1, 1);
        if (n == 0) {
            // Stuck. Right after a pass nobody can move: a leaf. Otherwise
            // the other player moves in the same placement.
            if (stallo_vicino) return true;
            stallo_vicino = 1;
            if (costruisci(c1, c2, 1 - turno, profondita - 1)) a.vivaio[qui].figli = 1;
            return true;
        }
        stallo_vicino = 0;
        std::uint8_t figli = 0;
        if (profondita == 1) {
            // The children use up the depth: leaves, built in place. (A leaf
            // of this kind touches nothing but its own node.)
            for (int i = 0; i < n; i++) {
                int f1 = turno == 0 ? passo(0, c1, S_lecite[i]) : c1;
                int f2 = turno == 0 ? c2 : passo(1, c2, S_lecite[i]);
                std::size_t qui_figlio;
                if (foglia(f1, f2, qui_figlio)) figli++;
            }
        } else {
            for (int i = 0; i < n; i++) {
                bool fatto = turno == 0 ? costruisci(passo(0, c1, S_lecite[i]), c2, 1, profondita - 1)
                                        : costruisci(c1, passo(1, c2, S_lecite[i]), 0, profondita - 1);
                if (fatto) figli++;
            }
        }
        a.vivaio[qui].figli = figli;
        return true;
    }

    // A node without children (yet) for the placement (c1, c2), at `qui`.
    bool foglia(int c1, int c2, std::size_t& qui) {
        if (!nuovo_nodo(qui)) return false;
        a.vivaio[qui].casa[0] = static_cast<std::uint8_t>(c1);
        a.vivaio[qui].casa[1] = static_cast<std::uint8_t>(c2);
        a.vivaio[qui].figli = 0;
        return true;
    }
};

albero::albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch)
    : albero(player1, player2, turno, profondita, scacch, SIZE_MAX) {}

albero::albero(pedina player1, pedina player2, int turno, std::int32_t profondita, const plancia& scacch,
               std::size_t limite)
    : vivaio(nullptr), n_nodi(0), capienza(0) {
    unsigned x1, y1, x2, y2;
    player1.get_pos(&x1, &y1);
    player2.get_pos(&x2, &y2);
    if (x1 >= LATO_PLANCIA || y1 >= LATO_PLANCIA || x2 >= LATO_PLANCIA || y2 >= LATO_PLANCIA ||
        (turno != 0 && turno != 1))
        return;

    if (limite == 0) return;
    std::size_t prima = prima_capienza(profondita);
    if (prima > limite) prima = limite;
    vivaio = static_cast<nodo*>(std::malloc(prima * sizeof(nodo)));
    if (vivaio == nullptr) return;  // not even the root
    capienza = prima;

    cantiere c(*this, scacch, limite);
    int c1 = cella(x1, y1), c2 = cella(x2, y2);
    c.metti(0, player1, c1);
    c.metti(1, player2, c2);
    // Every cell a move leads to is playable, so from such a root on all the
    // tree's cells have a place in the table.
    c.con_tabella = x1 >= PRIMA_FILA && x1 <= ULTIMA_FILA && y1 >= PRIMA_FILA && y1 <= ULTIMA_FILA &&
                    x2 >= PRIMA_FILA && x2 <= ULTIMA_FILA && y2 >= PRIMA_FILA && y2 <= ULTIMA_FILA;
    c.costruisci(c1, c2, turno, profondita);
}

albero::~albero() { std::free(vivaio); }

// A leaf's value at the level whose weights are `p`.
inline double albero::foglia(const nodo& n, int giocatore, const pesi_livello& p) const {
    return valore_foglia(distanza[giocatore][n.casa[giocatore]], distanza[1 - giocatore][n.casa[1 - giocatore]], p);
}

// The node at `i` and its subtree, in construction order; `i` moves past it.
// Leaf children are scored in place, without a call of their own.
double albero::visita_da(std::size_t& i, int giocatore, int profondita) const {
    const nodo& n = vivaio[i++];
    if (n.figli == 0) return foglia(n, giocatore, pesi_di(profondita));
    double somma = 0.0;
    const pesi_livello s = pesi_di(profondita + 1);
    for (int k = 0; k < n.figli; k++) {
        const nodo& f = vivaio[i];
        if (f.figli == 0) {
            somma += foglia(f, giocatore, s);
            i++;
        } else {
            somma += visita_da(i, giocatore, profondita + 1);
        }
    }
    return somma;
}

double albero::visita(int giocatore, int profondita) const {
    if (n_nodi == 0 || (giocatore != 0 && giocatore != 1)) return 0.0;
    std::size_t i = 0;
    return visita_da(i, giocatore, profondita);
}
