// The game's dimensions: the board and its cells, the corners and the
// centre, the skill range and a tournament's length. The one place to start
// from for a larger board or another skill range; the checks below and those
// beside the tables that depend on these figures (the board's layout, the
// computer's tables, the screen and the sprite sheet) say what else must
// change. Plain numbers without windows.h, so that the programs that paint
// at build time share them.
#ifndef VORANDEL_DIMENSIONI_H
#define VORANDEL_DIMENSIONI_H

// The board is LATO_PLANCIA by LATO_PLANCIA cells, (0, 0) to
// (LATO_PLANCIA - 1, LATO_PLANCIA - 1). Its outer ring can never be entered:
// the tokens stand on columns and rows PRIMA_FILA to ULTIMA_FILA.
inline constexpr int LATO_PLANCIA = 10;
inline constexpr int PRIMA_FILA = 1;
inline constexpr int ULTIMA_FILA = LATO_PLANCIA - 2;
inline constexpr int LATO_GIOCABILE = ULTIMA_FILA - PRIMA_FILA + 1;
inline constexpr int CASELLE_GIOCABILI = LATO_GIOCABILE * LATO_GIOCABILE;

// The four corners of the playable square are the start and goal cells:
// player 0 starts at (PRIMA_FILA, PRIMA_FILA) and races to (ULTIMA_FILA,
// ULTIMA_FILA); player 1 starts at (ULTIMA_FILA, PRIMA_FILA) and races to
// (PRIMA_FILA, ULTIMA_FILA).
inline constexpr int ANGOLI = 4;

// The centre cells, which cannot be entered: columns and rows CENTRO_PRIMA
// to CENTRO_ULTIMA.
inline constexpr int CENTRO_PRIMA = LATO_PLANCIA / 2 - 1;
inline constexpr int CENTRO_ULTIMA = LATO_PLANCIA / 2;
inline constexpr int CASELLE_CENTRO = (CENTRO_ULTIMA - CENTRO_PRIMA + 1) * (CENTRO_ULTIMA - CENTRO_PRIMA + 1);

// The eight compass directions, and the three arrows that each ordinary
// cell shows.
inline constexpr int N_DIREZIONI = 8;
inline constexpr int FRECCE_PER_CASELLA = 3;

// The most legal moves a player ever has: an ordinary cell's three arrows,
// or, with both tokens on corners, the three cells around a corner that can
// be entered (the layout's check is beside it, in plancia32.cpp). Lists of
// legal moves hold this many entries.
inline constexpr int MOSSE_MAX = 3;

// The ordinary cells: every playable cell but the corners and the centre.
// Each shows one of the three-direction sets, each set exactly once.
inline constexpr int CASELLE_NORMALI = 56;

// The computer's skill: the depth of its game tree, SKILL_MIN to SKILL_MAX.
inline constexpr int SKILL_MIN = 1;
inline constexpr int SKILL_MAX = 10;

// The repetition register keeps the VOCI_REGISTRO placements stored most
// recently; a placement reached for the RIPETIZIONI_PATTA-th time draws the
// game.
inline constexpr int VOCI_REGISTRO = 100;
inline constexpr int RIPETIZIONI_PATTA = 4;

// How many games a tournament plays.
inline constexpr int PARTITE_TORNEO = 15;

namespace dimensioni_verifica {
constexpr int combinazioni(int n, int k) { return k == 0 ? 1 : combinazioni(n - 1, k - 1) * n / k; }
}  // namespace dimensioni_verifica

static_assert(LATO_GIOCABILE >= 2, "the start and goal corners must be distinct cells");
static_assert(PRIMA_FILA < CENTRO_PRIMA && CENTRO_ULTIMA < ULTIMA_FILA,
              "the centre must lie inside the playable square, clear of the corners");
static_assert(CASELLE_NORMALI == CASELLE_GIOCABILI - ANGOLI - CASELLE_CENTRO,
              "the ordinary cells are the playable ones but the corners and the centre");
static_assert(CASELLE_NORMALI == dimensioni_verifica::combinazioni(N_DIREZIONI, FRECCE_PER_CASELLA),
              "each ordinary cell shows a different three-arrow set, and every set is shown");
static_assert(MOSSE_MAX == FRECCE_PER_CASELLA, "an ordinary cell's arrows are the most moves a player can have");
static_assert(N_DIREZIONI % 2 == 0 && N_DIREZIONI > FRECCE_PER_CASELLA,
              "each direction has its opposite, half a turn on, among the directions");
static_assert(VOCI_REGISTRO >= 1, "the register keeps at least the last placement");
static_assert(RIPETIZIONI_PATTA >= 2, "a draw is a placement reached again");
static_assert(SKILL_MIN >= 1 && SKILL_MIN <= SKILL_MAX, "a search looks at least one move ahead");
static_assert(PARTITE_TORNEO >= 1, "a tournament plays at least one game");

#endif
