// The fast search: the game tree's score by one depth-first walk, the legal
// moves as bit masks, the subtrees already met taken from a memo that lasts
// as long as the game's board, goals, skill and player scored.
#include "ricerca.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

// Playable cells run from PRIMA_FILA to ULTIMA_FILA in both directions.
constexpr unsigned PRIMA_CELLA = PRIMA_FILA;
constexpr unsigned ULTIMA_CELLA = ULTIMA_FILA;
constexpr int LATO = LATO_GIOCABILE;
constexpr int CELLE = CASELLE_GIOCABILI;

constexpr bool giocabile(unsigned x, unsigned y) {
    return x >= PRIMA_CELLA && x <= ULTIMA_CELLA && y >= PRIMA_CELLA && y <= ULTIMA_CELLA;
}

constexpr int cella(unsigned x, unsigned y) {
    return static_cast<int>((x - PRIMA_CELLA) * LATO + (y - PRIMA_CELLA));
}

// The steps of the eight directions, as G_direzioni has them (a constant
// here, so that the tables below are built by the compiler).
constexpr int PASSO[N_DIREZIONI][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

// The board's geometry, the same for every deal: the playable cell one step
// from each cell in each direction (FUORI where the step leaves the playable
// square), and the direction bit that leads from one cell onto another (0
// where they are not neighbours).
constexpr std::uint8_t FUORI = 0xFF;
struct geometria {
    std::uint8_t vicina[CELLE][N_DIREZIONI] = {};
    std::uint8_t verso[CELLE][CELLE] = {};
    constexpr geometria() {
        for (int c = 0; c < CELLE; c++) {
            const int x = PRIMA_FILA + c / LATO, y = PRIMA_FILA + c % LATO;
            for (int d = 0; d < N_DIREZIONI; d++) {
                const int tx = x + PASSO[d][0], ty = y + PASSO[d][1];
                if (!giocabile(static_cast<unsigned>(tx), static_cast<unsigned>(ty))) {
                    vicina[c][d] = FUORI;
                    continue;
                }
                const int t = cella(static_cast<unsigned>(tx), static_cast<unsigned>(ty));
                vicina[c][d] = static_cast<std::uint8_t>(t);
                verso[c][t] = static_cast<std::uint8_t>(1u << d);
            }
        }
    }
};
constexpr geometria GEO{};

// The lowest set direction of a non-empty mask.
inline unsigned prima_direzione(unsigned m) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctz(m));
#else
    unsigned d = 0;
    while (!(m & 1u)) m >>= 1, d++;
    return d;
#endif
}

// The lowest `n` set bits of m.
inline unsigned piu_basse(unsigned m, int n) {
    unsigned r = 0;
    for (int i = 0; i < n && m != 0; i++) {
        r |= m & (0u - m);
        m &= m - 1;
    }
    return r;
}

// The subtrees a memo keeps: plies left MEMO_MIN to MEMO_RESTO, each with
// its player to move, for every pair of cells. One ply left costs less to
// walk again (at most three leaves) than a slot that is not in the cache
// costs to fetch.
constexpr int MEMO_RESTO = SKILL_MAX;
constexpr int MEMO_MIN = 2;
constexpr int MEMO_CELLE = CELLE * CELLE;
constexpr std::size_t MEMO_VOCI = static_cast<std::size_t>(MEMO_RESTO - MEMO_MIN + 1) * 2 * MEMO_CELLE;

// The slot of the subtree (c1, c2) with `turno` to move and `resto` plies
// left. The cell of the player not to move varies fastest: the children of
// one node (their player to move stays where it is) lie close together.
inline std::size_t posto(int resto, int turno, int c1, int c2) {
    const int mia = turno == 0 ? c1 : c2, sua = turno == 0 ? c2 : c1;
    return (static_cast<std::size_t>(resto - MEMO_MIN) * 2 + static_cast<std::size_t>(turno)) * MEMO_CELLE +
           static_cast<std::size_t>(mia) * CELLE + static_cast<std::size_t>(sua);
}

inline void prefetch(const void* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p, 1, 3);
#else
    (void)p;
#endif
}

// The memos the process keeps: enough for both players of two matches.
constexpr int TENUTE = 4;
// The marks of a memo's slots, 1 to MARCHE - 1; when they run out, the slots
// are cleared and the marks start again.
constexpr std::uint32_t MARCHE = 1u << 31;

std::atomic<bool> G_riuso{true};
std::atomic<std::uint32_t> G_orologio{0};
std::atomic<std::uint32_t> G_scritti{0}, G_ripresi{0};

}  // namespace

struct ricerca::voce {
    double punti;
    std::uint32_t nodi;
    std::uint32_t segno;  // the mark times 2, plus the pass flag on the way out
};

// A memo and what its slots were scored for: the board, the players' goals,
// the depth and the player scored, with the tables the walk reads of that
// board and those goals. Its slots bear `marca`; any other mark is from
// before.
struct ricerca::memoria {
    std::atomic<bool> presa{false};        // held by a search
    std::atomic<std::uint32_t> usata{0};   // when it was last taken
    voce* voci = nullptr;
    bool provata = false;  // the slots were asked for (voci null: no memory)
    bool valida = false;   // it holds a context, below
    std::uint32_t marca = 0;
    unsigned char plancia_di[sizeof(plancia)] = {};
    unsigned mete[2][2] = {};
    std::int32_t profondita = 0;
    int giocatore = 0;
    tavole tav{};

    ~memoria() { delete[] voci; }

    bool per(const ricerca& r) const {
        return valida && voci != nullptr && profondita == r.profondita && giocatore == r.giocatore &&
               std::memcmp(mete, r.mete, sizeof mete) == 0 &&
               std::memcmp(plancia_di, r.vista, sizeof plancia_di) == 0;
    }

    // Made the memo of r's context, clean: a new mark.
    void diventa(const ricerca& r) {
        if (!provata) {
            provata = true;
            voci = new (std::nothrow) voce[MEMO_VOCI];
            if (voci != nullptr) std::memset(voci, 0, MEMO_VOCI * sizeof(voce));
        }
        if (++marca >= MARCHE) {
            if (voci != nullptr) std::memset(voci, 0, MEMO_VOCI * sizeof(voce));
            marca = 1;
        }
        std::memcpy(plancia_di, r.vista, sizeof plancia_di);
        std::memcpy(mete, r.mete, sizeof mete);
        profondita = r.profondita;
        giocatore = r.giocatore;
        tav = r.tav;
        valida = true;
    }

    bool prendi() { return !presa.exchange(true, std::memory_order_acquire); }
    void lascia() { presa.store(false, std::memory_order_release); }

    static memoria* tenute() {
        static memoria m[TENUTE];
        return m;
    }
};

void ricerca::riuso(bool si) { G_riuso.store(si, std::memory_order_relaxed); }

void ricerca::dimentica() {
    memoria* t = memoria::tenute();
    for (int i = 0; i < TENUTE; i++)
        if (t[i].prendi()) {
            t[i].valida = false;
            t[i].lascia();
        }
}

int ricerca::vicina(int c, unsigned d) {
    if (c < 0 || c >= CELLE || d >= N_DIREZIONI) return -1;
    return GEO.vicina[c][d] == FUORI ? -1 : GEO.vicina[c][d];
}

ricerca::ricerca(const plancia& scacch_, int giocatore_, std::int32_t profondita_)
    : scacch(scacch_), giocatore(giocatore_), profondita(profondita_), flag(0), n_nodi(0), n_riprese(0),
      n_salvate(0), mete{}, viste(false), memo(nullptr), propria(false), voci(nullptr), marca(0) {
    int livelli = profondita < 0 ? 1 : (profondita < MAX_LIVELLI ? profondita + 1 : MAX_LIVELLI + 1);
    for (int l = 1; l <= livelli; l++) pesi[l] = pesi_di(l);
}

std::uint32_t ricerca::scritti() { return G_scritti.load(std::memory_order_relaxed); }
std::uint32_t ricerca::ripresi() { return G_ripresi.load(std::memory_order_relaxed); }

ricerca::~ricerca() {
    G_scritti.fetch_add(static_cast<std::uint32_t>(n_salvate), std::memory_order_relaxed);
    G_ripresi.fetch_add(static_cast<std::uint32_t>(n_riprese), std::memory_order_relaxed);
    if (memo == nullptr) return;
    if (propria) {
        delete memo;
    } else {
        memo->lascia();
    }
}

// A memo for this search's context: the kept one that holds it already
// (true: its tables are copied, this search's context is theirs), else the
// one least recently taken, to be made clean; with every kept memo in use,
// one of its own.
bool ricerca::prendi_memoria() {
    memoria* t = memoria::tenute();
    memoria* scelta = nullptr;
    bool sua = false;
    if (G_riuso.load(std::memory_order_relaxed))
        for (int i = 0; i < TENUTE && scelta == nullptr; i++)
            if (t[i].prendi()) {
                if (t[i].per(*this))
                    scelta = &t[i], sua = true;
                else
                    t[i].lascia();
            }
    if (scelta == nullptr) {
        // The free ones, least recently taken first.
        bool provata[TENUTE] = {};
        for (int k = 0; k < TENUTE && scelta == nullptr; k++) {
            int migliore = -1;
            std::uint32_t ora = G_orologio.load(std::memory_order_relaxed);
            for (int i = 0; i < TENUTE; i++) {
                if (provata[i] || t[i].presa.load(std::memory_order_relaxed)) continue;
                if (migliore < 0 || ora - t[i].usata.load(std::memory_order_relaxed) >
                                        ora - t[migliore].usata.load(std::memory_order_relaxed))
                    migliore = i;
            }
            if (migliore < 0) break;
            provata[migliore] = true;
            if (t[migliore].prendi()) scelta = &t[migliore];
        }
    }
    if (scelta == nullptr) {
        scelta = new (std::nothrow) memoria;
        if (scelta == nullptr) return false;  // every subtree is walked
        propria = true;
    } else {
        scelta->usata.store(G_orologio.fetch_add(1, std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
    memo = scelta;
    if (sua) {
        tav = scelta->tav;
        voci = scelta->voci;
        marca = scelta->marca;
    }
    return sua;
}

// The tables of the board and the goals as this search now sees them.
void ricerca::calcola() {
    tav.chiusa = true;
    for (unsigned i = 0; i < LATO_PLANCIA; i++)
        if (scacch.casa(i, 0).cat != blank || scacch.casa(i, LATO_PLANCIA - 1).cat != blank ||
            scacch.casa(0, i).cat != blank || scacch.casa(LATO_PLANCIA - 1, i).cat != blank)
            tav.chiusa = false;
    for (int c = 0; c < CELLE; c++) {
        const unsigned x = PRIMA_CELLA + static_cast<unsigned>(c / LATO);
        const unsigned y = PRIMA_CELLA + static_cast<unsigned>(c % LATO);
        const plancia::casella& casa = scacch.casa(x, y);
        tav.ordinaria[c] = casa.cat == normale;
        unsigned f = 0xFF;
        if (tav.ordinaria[c]) {
            f = 0;
            for (int i = 0; i < FRECCE_PER_CASELLA; i++) f |= 1u << G_set_frecce[casa.frecce][i];
        }
        tav.frecce[c] = static_cast<std::uint8_t>(f);
        unsigned a = 0;
        for (unsigned d = 0; d < N_DIREZIONI; d++) {
            const int t = GEO.vicina[c][d];
            // A step off the playable square meets the ring (closed, or
            // this search refuses the board).
            if (t != FUORI && scacch.casa(PRIMA_CELLA + static_cast<unsigned>(t / LATO),
                                          PRIMA_CELLA + static_cast<unsigned>(t % LATO))
                                      .cat != blank)
                a |= 1u << d;
        }
        tav.aperte[c] = static_cast<std::uint8_t>(a);
        // Each token on this cell, with its own goal.
        for (int k = 0; k < 2; k++)
            tav.distanza[k][c] = pedina(static_cast<int>(x), static_cast<int>(y), static_cast<int>(mete[k][0]),
                                        static_cast<int>(mete[k][1]))
                                     .distanza();
    }
}

// The board and the goals as they are now: unchanged since the last call,
// nothing to do; else the tables of a memo that holds them, or worked out
// and given to the memo this search holds, made clean.
void ricerca::guarda(const pedina& player1, const pedina& player2) {
    unsigned m[2][2];
    player1.get_meta(&m[0][0], &m[0][1]);
    player2.get_meta(&m[1][0], &m[1][1]);
    if (viste && std::memcmp(m, mete, sizeof m) == 0 && std::memcmp(vista, &scacch, sizeof(plancia)) == 0) return;
    std::memcpy(vista, &scacch, sizeof(plancia));
    std::memcpy(mete, m, sizeof m);
    viste = true;
    if (memo == nullptr && prendi_memoria()) return;
    calcola();
    if (memo != nullptr) {
        memo->diventa(*this);
        voci = memo->voci;
        marca = memo->marca;
    }
}

unsigned ricerca::maschera(int c_mia, int c_sua) const { return mosse(c_mia, c_sua); }

inline unsigned ricerca::mosse(int c_mia, int c_sua) const {
    // The arrows of the opponent's cell while it is ordinary, else the
    // mover's own (all eight when that is not ordinary either).
    unsigned m = (tav.ordinaria[c_sua] ? tav.frecce[c_sua] : tav.frecce[c_mia]) & tav.aperte[c_mia] &
                 ~GEO.verso[c_mia][c_sua];
    // All eight tried: the first MOSSE_MAX that can be made.
    if (!tav.ordinaria[c_sua] && !tav.ordinaria[c_mia]) m = piu_basse(m, MOSSE_MAX);
    return m;
}

// A leaf's value at the level whose weights are `p`, as the tree's leaf has it.
template <int GIOCATORE>
inline double ricerca::foglia(int c1, int c2, const pesi_livello& p) const {
    if (GIOCATORE == 0) return valore_foglia(tav.distanza[0][c1], tav.distanza[1][c2], p);
    return valore_foglia(tav.distanza[1][c2], tav.distanza[0][c1], p);
}

// The node (c1, c2) with TURNO to move and `resto` plies left: its score for
// GIOCATORE, as the tree's construction and visit would give it. Its level
// is profondita + 1 - resto.
template <int TURNO, int GIOCATORE>
double ricerca::nodo(int c1, int c2, int resto) {
    n_nodi++;
    const pesi_livello* livello = &pesi[profondita + 1 - resto];
    if (resto < 1) return foglia<GIOCATORE>(c1, c2, *livello);  // the depth is used up
    if (tav.distanza[0][c1] == 0.0 || tav.distanza[1][c2] == 0.0) return foglia<GIOCATORE>(c1, c2, *livello);  // won
    unsigned m = TURNO == 0 ? mosse(c1, c2) : mosse(c2, c1);
    // Stuck right after a pass: nobody can move, a leaf. (Told before the
    // memo is asked, whose slots hold no pass flag on the way in.)
    if (m == 0 && flag) return foglia<GIOCATORE>(c1, c2, *livello);

    voce* v = nullptr;
    const std::uint64_t nodi_prima = n_nodi;
    if (resto >= MEMO_MIN && resto <= MEMO_RESTO && voci != nullptr) {
        v = &voci[posto(resto, TURNO, c1, c2)];
        if ((v->segno >> 1) == marca) {
            n_nodi += v->nodi - 1;
            flag = static_cast<std::int32_t>(v->segno & 1);
            n_riprese++;
            return v->punti;
        }
    }

    double somma = 0.0;
    if (m == 0) {
        // Stuck: the other player moves in the same placement.
        flag = 1;
        somma += nodo<1 - TURNO, GIOCATORE>(c1, c2, resto - 1);
    } else {
        flag = 0;
        const std::uint8_t* passi = GEO.vicina[TURNO == 0 ? c1 : c2];
        if (resto == 1) {
            // The children are leaves of the depth: they leave the flag alone.
            const pesi_livello& p = livello[1];
            do {
                const int f = passi[prima_direzione(m)];
                m &= m - 1;
                n_nodi++;
                somma += TURNO == 0 ? foglia<GIOCATORE>(f, c2, p) : foglia<GIOCATORE>(c1, f, p);
            } while (m != 0);
        } else {
            if (resto - 1 >= MEMO_MIN && resto - 1 <= MEMO_RESTO && voci != nullptr)
                for (unsigned r = m; r != 0; r &= r - 1) {
                    const int f = passi[prima_direzione(r)];
                    prefetch(&voci[TURNO == 0 ? posto(resto - 1, 1, f, c2) : posto(resto - 1, 0, c1, f)]);
                }
            do {
                const int f = passi[prima_direzione(m)];
                m &= m - 1;
                somma += TURNO == 0 ? nodo<1, GIOCATORE>(f, c2, resto - 1) : nodo<0, GIOCATORE>(c1, f, resto - 1);
            } while (m != 0);
        }
    }
    if (v != nullptr) {
        v->punti = somma;
        v->nodi = static_cast<std::uint32_t>(n_nodi - nodi_prima + 1);
        v->segno = marca << 1 | static_cast<std::uint32_t>(flag);
        n_salvate++;
    }
    return somma;
}

template <int GIOCATORE>
double ricerca::radice(int c1, int c2, int turno) {
    return turno == 0 ? nodo<0, GIOCATORE>(c1, c2, profondita) : nodo<1, GIOCATORE>(c1, c2, profondita);
}

bool ricerca::valuta(pedina player1, pedina player2, int turno, std::int32_t& stallo, double* punti,
                     std::uint64_t* nodi) {
    unsigned x1, y1, x2, y2;
    player1.get_pos(&x1, &y1);
    player2.get_pos(&x2, &y2);
    if (!giocabile(x1, y1) || !giocabile(x2, y2) || (turno != 0 && turno != 1) ||
        (giocatore != 0 && giocatore != 1) || profondita >= MAX_LIVELLI)
        return false;
    guarda(player1, player2);
    // The masks know only moves onto playable cells: a board whose ring
    // could be entered is not this search's.
    if (!tav.chiusa) return false;
    int c1 = cella(x1, y1), c2 = cella(x2, y2);

    // The walk keeps the flag as 0 or 1: any value but 0 is set, as for the
    // tree.
    flag = stallo != 0 ? 1 : 0;
    n_nodi = 0;
    double somma = giocatore == 0 ? radice<0>(c1, c2, turno) : radice<1>(c1, c2, turno);
    // A tree whose root is a leaf (and only such a tree) leaves the flag as
    // it found it; with the flag set, that is every root but one with moves.
    if (stallo == 0 || stallo == 1 ||
        (profondita >= 1 && tav.distanza[0][c1] != 0.0 && tav.distanza[1][c2] != 0.0 &&
         (turno == 0 ? maschera(c1, c2) : maschera(c2, c1)) != 0))
        stallo = flag;
    *punti = somma;
    *nodi = n_nodi;
    return true;
}
