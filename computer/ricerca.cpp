// The fast search: the game tree's score by one depth-first walk, with the
// subtrees already met in the same decision taken from a table.
#include "ricerca.h"

#include <cstring>
#include <new>

namespace {

// Playable cells run from PRIMA_FILA to ULTIMA_FILA in both directions.
constexpr unsigned PRIMA_CELLA = PRIMA_FILA;
constexpr unsigned ULTIMA_CELLA = ULTIMA_FILA;
constexpr int LATO = LATO_GIOCABILE;

// The subtrees the table keeps: remaining depth MEMO_MIN to MEMO_RESTO, each
// with its pass flag on the way in and its player to move, for every pair of
// cells.
constexpr int MEMO_RESTO = SKILL_MAX;
constexpr int MEMO_MIN = 1;
constexpr int MEMO_CELLE = CASELLE_GIOCABILI * CASELLE_GIOCABILI;
constexpr std::size_t MEMO_VOCI = static_cast<std::size_t>(MEMO_RESTO - MEMO_MIN + 1) * 2 * 2 * MEMO_CELLE;

struct voce {
    double punti;
    std::uint32_t nodi;
    std::uint32_t segno;  // the decision's mark times 2, plus the pass flag on the way out
};

// The table, one for the process: a search finds there only the subtrees
// that bear its own mark. Made on first use; without memory for it the
// search walks every subtree. When the marks run out, it is cleared and
// they start again, in a new epoch.
voce* G_memo = nullptr;
bool G_memo_provato = false;
constexpr std::uint32_t MARCHE = 1u << 31;  // the marks, 1 to MARCHE - 1
std::uint32_t G_marca = 0;
std::uint32_t G_epoca = 0;

voce* memo() {
    if (!G_memo_provato) {
        G_memo_provato = true;
        G_memo = new (std::nothrow) voce[MEMO_VOCI];
        if (G_memo != nullptr) std::memset(G_memo, 0, MEMO_VOCI * sizeof(voce));
    }
    return G_memo;
}

}  // namespace

// The legal moves on one board, for every pair of cells; `chieste` marks
// (bit c_sua of row c_mia) the entries filled. One for the process, like
// the table of subtrees; without memory for it, each decision has its own.
struct ricerca::tabella_mosse {
    unsigned char plancia_di[sizeof(plancia)];  // the board's bytes
    std::uint64_t chieste[CELLE];
    mosse voci[CELLE * CELLE];
    static_assert(CELLE <= 64, "one 64-bit word marks the opponent's cells asked for");

    // Made again, empty, unless it is the table of the board `vista`.
    void per(const unsigned char* vista) {
        if (std::memcmp(plancia_di, vista, sizeof(plancia)) == 0) return;
        std::memcpy(plancia_di, vista, sizeof(plancia));
        std::memset(chieste, 0, sizeof chieste);
    }
};

ricerca::tabella_mosse* ricerca::tabella_comune() {
    static tabella_mosse* t = nullptr;
    static bool provata = false;
    if (!provata) {
        provata = true;
        t = new (std::nothrow) tabella_mosse;
        if (t != nullptr) std::memset(t, 0xFF, sizeof *t);  // no board yet
    }
    return t;
}

namespace {

inline bool giocabile(unsigned x, unsigned y) {
    return x >= PRIMA_CELLA && x <= ULTIMA_CELLA && y >= PRIMA_CELLA && y <= ULTIMA_CELLA;
}

inline int cella(unsigned x, unsigned y) {
    return static_cast<int>((x - PRIMA_CELLA) * LATO + (y - PRIMA_CELLA));
}

}  // namespace

ricerca::ricerca(const plancia& scacch_, int giocatore_, std::int32_t profondita_)
    : scacch(scacch_), giocatore(giocatore_), profondita(profondita_), flag(0), fuori(false), n_nodi(0),
      n_riprese(0), marca(0), epoca(0), nota{}, tabella(nullptr), propria(false) {
    std::memcpy(vista, &scacch, sizeof(plancia));
    tabella = tabella_comune();
    if (tabella == nullptr) {
        tabella = new (std::nothrow) tabella_mosse;
        propria = tabella != nullptr;
        if (propria) std::memset(tabella, 0xFF, sizeof *tabella);
    }
    int livelli = profondita < 0 ? 1 : (profondita < MAX_LIVELLI ? profondita + 1 : MAX_LIVELLI + 1);
    for (int l = 1; l <= livelli; l++) pesi[l] = pesi_di(l);
    nuova_marca();
}

// A mark of its own for this search, under which no subtree is stored yet.
void ricerca::nuova_marca() {
    marca = 0;
    if (memo() == nullptr || profondita < 2) return;
    if (++G_marca >= MARCHE) {
        std::memset(G_memo, 0, MEMO_VOCI * sizeof(voce));
        G_marca = 1;
        G_epoca++;
    }
    marca = G_marca;
    epoca = G_epoca;
}

ricerca::~ricerca() {
    if (propria) delete tabella;
}

void ricerca::metti(int k, const pedina& p, int c) {
    new (&su_cella[k][c].p) pedina(p);
    distanza[k][c] = p.distanza();
    nota[k][c] = true;
}

// Token k's cell `a`, one step in direction `direz` from cell `da`.
void ricerca::passo(int k, int da, int a, unsigned direz) {
    pedina p = su_cella[k][da].p;
    p.move_to(direz);
    metti(k, p, a);
}

const ricerca::mosse& ricerca::mosse_di(int turno, int c_mia, int c_sua) {
    mosse& m = tabella->voci[c_mia * CELLE + c_sua];
    const std::uint64_t bit = std::uint64_t{1} << c_sua;
    if (!(tabella->chieste[c_mia] & bit)) {
        const pedina& mia = su_cella[turno][c_mia].p;
        unsigned lecite[MOSSE_MAX] = {};
        int n = scacch.mosse_lecite(lecite, mia, su_cella[1 - turno][c_sua].p);
        if (n < 0) n = 0;  // never asked with a token on its goal
        for (int i = 0; i < n; i++) {
            pedina dopo = mia;
            dopo.move_to(lecite[i]);
            unsigned x, y;
            dopo.get_pos(&x, &y);
            if (!giocabile(x, y)) {
                // Not a board this search knows: the caller builds the tree.
                fuori = true;
                m.n = 0;
                return m;
            }
            m.verso[i] = static_cast<std::uint8_t>(cella(x, y));
            m.direz[i] = static_cast<std::uint8_t>(lecite[i]);
        }
        m.n = static_cast<std::int8_t>(n);
        tabella->chieste[c_mia] |= bit;
    }
    // The cells the moves lead to, for this decision's token.
    for (int i = 0; i < m.n; i++)
        if (!nota[turno][m.verso[i]]) passo(turno, c_mia, m.verso[i], m.direz[i]);
    return m;
}

// A leaf's value at the level whose weights are `p`, as the tree's leaf has it.
inline double ricerca::foglia(int c1, int c2, const pesi_livello& p) const {
    double L_d1 = giocatore == 0 ? distanza[0][c1] : distanza[1][c2];
    double L_d2 = giocatore == 0 ? distanza[1][c2] : distanza[0][c1];
    return valore_foglia(L_d1, L_d2, p);
}

// The node (c1, c2) with `turno` to move, `resto` plies left, at the level
// whose weights are `livello` (its children's are the next in the table):
// its score, as the tree's construction and visit would give it.
double ricerca::nodo(int c1, int c2, int turno, int resto, const pesi_livello* livello) {
    n_nodi++;
    if (resto < 1) return foglia(c1, c2, *livello);  // the depth is used up
    if (distanza[0][c1] == 0.0 || distanza[1][c2] == 0.0) return foglia(c1, c2, *livello);  // a won placement

    voce* v = nullptr;
    std::uint64_t nodi_prima = n_nodi;
    if (marca != 0 && resto <= MEMO_RESTO && resto >= MEMO_MIN) {
        std::size_t i = ((static_cast<std::size_t>(resto - MEMO_MIN) * 2 + static_cast<std::size_t>(flag)) * 2 +
                         static_cast<std::size_t>(turno)) * MEMO_CELLE + static_cast<std::size_t>(c1) * CELLE +
                        static_cast<std::size_t>(c2);
        v = &G_memo[i];
        if ((v->segno >> 1) == marca) {
            n_nodi += v->nodi - 1;
            flag = static_cast<std::int32_t>(v->segno & 1);
            n_riprese++;
            return v->punti;
        }
    }

    const mosse& m = turno == 0 ? mosse_di(0, c1, c2) : mosse_di(1, c2, c1);
    double somma = 0.0;
    if (m.n == 0) {
        // Stuck: right after a pass nobody can move, a leaf; otherwise the
        // other player moves in the same placement.
        if (flag) return foglia(c1, c2, *livello);
        flag = 1;
        somma += nodo(c1, c2, 1 - turno, resto - 1, livello + 1);
    } else {
        flag = 0;
        if (resto == 1) {
            // The children are leaves of the depth: they leave the flag alone.
            n_nodi += static_cast<std::uint64_t>(m.n);
            for (int i = 0; i < m.n; i++)
                somma += turno == 0 ? foglia(m.verso[i], c2, livello[1]) : foglia(c1, m.verso[i], livello[1]);
        } else {
            for (int i = 0; i < m.n; i++)
                somma += turno == 0 ? nodo(m.verso[i], c2, 1, resto - 1, livello + 1)
                                    : nodo(c1, m.verso[i], 0, resto - 1, livello + 1);
        }
    }
    if (v != nullptr && !fuori) {
        v->punti = somma;
        v->nodi = static_cast<std::uint32_t>(n_nodi - nodi_prima + 1);
        v->segno = marca << 1 | static_cast<std::uint32_t>(flag);
    }
    return somma;
}

bool ricerca::valuta(pedina player1, pedina player2, int turno, std::int32_t& stallo, double* punti,
                     std::uint64_t* nodi) {
    unsigned x1, y1, x2, y2;
    player1.get_pos(&x1, &y1);
    player2.get_pos(&x2, &y2);
    if (!giocabile(x1, y1) || !giocabile(x2, y2) || (turno != 0 && turno != 1) ||
        (giocatore != 0 && giocatore != 1) || profondita >= MAX_LIVELLI || fuori || tabella == nullptr)
        return false;
    int c1 = cella(x1, y1), c2 = cella(x2, y2);
    if (!nota[0][c1]) metti(0, player1, c1);
    if (!nota[1][c2]) metti(1, player2, c2);

    // The subtrees this search marked were scored on the board as it was:
    // dealt again since, it needs a new mark; so too after the table of
    // subtrees was cleared. The table of legal moves may hold another board.
    if (std::memcmp(vista, &scacch, sizeof(plancia)) != 0) {
        std::memcpy(vista, &scacch, sizeof(plancia));
        nuova_marca();
    } else if (marca != 0 && epoca != G_epoca) {
        nuova_marca();
    }
    tabella->per(vista);

    // The walk keeps the flag as 0 or 1: any value but 0 is set, as for the
    // tree.
    flag = stallo != 0 ? 1 : 0;
    n_nodi = 0;
    double somma = nodo(c1, c2, turno, profondita, &pesi[1]);
    if (fuori) {
        // The table may hold subtrees of this walk that were cut short;
        // this search no longer uses it.
        marca = 0;
        return false;
    }
    // A tree whose root is a leaf (and only such a tree) leaves the flag as
    // it found it; with the flag set, that is every root but one with moves.
    if (stallo == 0 || stallo == 1 || (profondita >= 1 && distanza[0][c1] != 0.0 && distanza[1][c2] != 0.0 &&
                                       (turno == 0 ? mosse_di(0, c1, c2) : mosse_di(1, c2, c1)).n > 0))
        stallo = flag;
    *punti = somma;
    *nodi = n_nodi;
    return true;
}
