// The board, the deal of the arrow sets and the rule of movement.
#include "plancia32.h"

#include <cstdlib>
#include <ctime>

constexpr categoria standard_tipo[LATO_PLANCIA][LATO_PLANCIA] = {
    {blank, blank, blank, blank, blank, blank, blank, blank, blank, blank},
    {blank, inizio1, normale, normale, normale, normale, normale, normale, inizio2, blank},
    {blank, normale, normale, normale, normale, normale, normale, normale, normale, blank},
    {blank, normale, normale, normale, normale, normale, normale, normale, normale, blank},
    {blank, normale, normale, normale, blank, blank, normale, normale, normale, blank},
    {blank, normale, normale, normale, blank, blank, normale, normale, normale, blank},
    {blank, normale, normale, normale, normale, normale, normale, normale, normale, blank},
    {blank, normale, normale, normale, normale, normale, normale, normale, normale, blank},
    {blank, fine2, normale, normale, normale, normale, normale, normale, fine1, blank},
    {blank, blank, blank, blank, blank, blank, blank, blank, blank, blank},
};

namespace {

// The category that the board's dimensions give cell (x, y).
constexpr categoria categoria_attesa(int x, int y) {
    if (x < PRIMA_FILA || x > ULTIMA_FILA || y < PRIMA_FILA || y > ULTIMA_FILA) return blank;
    if (x >= CENTRO_PRIMA && x <= CENTRO_ULTIMA && y >= CENTRO_PRIMA && y <= CENTRO_ULTIMA) return blank;
    if (y == PRIMA_FILA && x == PRIMA_FILA) return inizio1;
    if (y == PRIMA_FILA && x == ULTIMA_FILA) return inizio2;
    if (y == ULTIMA_FILA && x == ULTIMA_FILA) return fine1;
    if (y == ULTIMA_FILA && x == PRIMA_FILA) return fine2;
    return normale;
}

constexpr bool disposizione_giusta() {
    for (int y = 0; y < LATO_PLANCIA; y++)
        for (int x = 0; x < LATO_PLANCIA; x++)
            if (standard_tipo[y][x] != categoria_attesa(x, y)) return false;
    return true;
}

// The cells around (x, y), one step in each of the eight directions, that
// can be entered.
constexpr int vicine_aperte(int x, int y) {
    int n = 0;
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if ((dx != 0 || dy != 0) && standard_tipo[y + dy][x + dx] != blank) n++;
    return n;
}

}  // namespace

static_assert(disposizione_giusta(),
              "the layout must have the ring, the corners and the centre where the board's dimensions put them");
static_assert(vicine_aperte(PRIMA_FILA, PRIMA_FILA) <= MOSSE_MAX && vicine_aperte(ULTIMA_FILA, PRIMA_FILA) <= MOSSE_MAX &&
                  vicine_aperte(PRIMA_FILA, ULTIMA_FILA) <= MOSSE_MAX &&
                  vicine_aperte(ULTIMA_FILA, ULTIMA_FILA) <= MOSSE_MAX,
              "with both tokens on corners every direction is tried: a corner may have no more cells around it "
              "that can be entered than a list of legal moves holds");

const std::int32_t G_direzioni[N_DIREZIONI][2] = {
    {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1},
};

const std::int8_t G_set_frecce[CASELLE_NORMALI][FRECCE_PER_CASELLA] = {
    {0, 1, 2}, {0, 1, 3}, {0, 1, 4}, {0, 1, 5}, {0, 1, 6}, {0, 1, 7}, {0, 2, 3}, {0, 2, 4},
    {0, 2, 5}, {0, 2, 6}, {0, 2, 7}, {0, 3, 4}, {0, 3, 5}, {0, 3, 6}, {0, 3, 7}, {0, 4, 5},
    {0, 4, 6}, {0, 4, 7}, {0, 5, 6}, {0, 5, 7}, {0, 6, 7}, {1, 2, 3}, {1, 2, 4}, {1, 2, 5},
    {1, 2, 6}, {1, 2, 7}, {1, 3, 4}, {1, 3, 5}, {1, 3, 6}, {1, 3, 7}, {1, 4, 5}, {1, 4, 6},
    {1, 4, 7}, {1, 5, 6}, {1, 5, 7}, {1, 6, 7}, {2, 3, 4}, {2, 3, 5}, {2, 3, 6}, {2, 3, 7},
    {2, 4, 5}, {2, 4, 6}, {2, 4, 7}, {2, 5, 6}, {2, 5, 7}, {2, 6, 7}, {3, 4, 5}, {3, 4, 6},
    {3, 4, 7}, {3, 5, 6}, {3, 5, 7}, {3, 6, 7}, {4, 5, 6}, {4, 5, 7}, {4, 6, 7}, {5, 6, 7},
};

int (*plancia::estrai)() = &std::rand;

plancia::plancia() {
    // The one board is built with the match at start-up, so the generator is
    // seeded once per run.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    int k = 0;
    for (int y = 0; y < LATO_PLANCIA; y++)
        for (int x = 0; x < LATO_PLANCIA; x++) {
            matrice[x][y].cat = standard_tipo[y][x];
            matrice[x][y].frecce = 0;
            if (matrice[x][y].cat == normale) matrice[x][y].frecce = static_cast<std::uint8_t>(k++);
        }
}

int plancia::mischia() {
    // Probe and place: each set draws a slot and, if it is taken, moves on
    // to the next free one, wrapping from the last to the first. A free
    // slot holds CASELLE_NORMALI, which is no set's row.
    unsigned L_ordine_frecce[CASELLE_NORMALI];
    for (unsigned& slot : L_ordine_frecce) slot = CASELLE_NORMALI;
    for (unsigned i = 0; i < CASELLE_NORMALI; i++) {
        unsigned L_pos = static_cast<unsigned>(estrai()) % CASELLE_NORMALI;
        while (L_ordine_frecce[L_pos] != CASELLE_NORMALI) L_pos = (L_pos + 1) % CASELLE_NORMALI;
        L_ordine_frecce[L_pos] = i;
    }
    int k = 0;
    for (int y = 0; y < LATO_PLANCIA; y++)
        for (int x = 0; x < LATO_PLANCIA; x++)
            if (matrice[x][y].cat == normale) matrice[x][y].frecce = static_cast<std::uint8_t>(L_ordine_frecce[k++]);
    return 1;
}

int plancia::mosse_lecite(unsigned* lecite, const pedina& mia, const pedina& sua) const {
    enum { GIOCATORE = 0, AVVERSARIO = 1 } L_chidecide;
    if (mia.vittoria() || sua.vittoria()) return -1;

    unsigned mx, my, sx, sy;
    mia.get_pos(&mx, &my);
    sua.get_pos(&sx, &sy);
    // A token off the board has no move.
    if (mx >= LATO_PLANCIA || my >= LATO_PLANCIA || sx >= LATO_PLANCIA || sy >= LATO_PLANCIA) return 0;
    const casella& L_mia_casa = matrice[mx][my];
    const casella& L_sua_casa = matrice[sx][sy];

    // Whose arrows decide: the opponent's cell while it is ordinary, else the
    // mover's own; with both on corners every direction is tried.
    unsigned candidati[N_DIREZIONI];
    int n_candidati;
    if (L_sua_casa.cat == normale) {
        L_chidecide = AVVERSARIO;
    } else {
        L_chidecide = GIOCATORE;
    }
    const casella* decide = L_chidecide == AVVERSARIO ? &L_sua_casa : &L_mia_casa;
    if (decide->cat == normale) {
        n_candidati = FRECCE_PER_CASELLA;
        for (int i = 0; i < FRECCE_PER_CASELLA; i++)
            candidati[i] = static_cast<unsigned>(G_set_frecce[decide->frecce][i]);
    } else {
        n_candidati = N_DIREZIONI;
        for (unsigned d = 0; d < N_DIREZIONI; d++) candidati[d] = d;
    }

    unsigned L_lecite[MOSSE_MAX];
    int L_n_lecite = 0;
    for (int i = 0; i < n_candidati && L_n_lecite < MOSSE_MAX; i++) {
        unsigned d = candidati[i];
        unsigned tx = mx + static_cast<unsigned>(G_direzioni[d][0]);
        unsigned ty = my + static_cast<unsigned>(G_direzioni[d][1]);
        // Tokens stand inside the ring of blank cells, so a target never
        // leaves the grid; the bound is checked anyway for a token that was
        // misplaced.
        if (tx >= LATO_PLANCIA || ty >= LATO_PLANCIA) continue;
        if (matrice[tx][ty].cat == blank) continue;
        if (tx == sx && ty == sy) continue;
        L_lecite[L_n_lecite++] = d;
    }
    for (int i = 0; i < L_n_lecite; i++) lecite[i] = L_lecite[i];
    return L_n_lecite;
}
