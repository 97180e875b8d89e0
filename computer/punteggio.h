// The score of the game tree: a leaf's value and the weight of its level.
// The one rule that every tree of the computer adds up (the game tree
// `albero`, the fast search `ricerca` and the plain tree the tests and the
// benchmark hold them to), so that all of them give the same doubles.
//
// A leaf at level k (the root is at level 1) weighs s = 3^(k - 1) as the
// run-time pow gives it. It is worth the opponent's distance from its goal
// minus that of the player scored for, doubled and divided by s * 2; a
// placement where the opponent has won is worth -21 / (s * 2), one where
// the player scored for has won 25 / (s * 2). Each value is added to 0.0.
#ifndef VORANDEL_PUNTEGGIO_H
#define VORANDEL_PUNTEGGIO_H

#include <cmath>

// The weight of level `livello`: 3^(livello - 1), by the run-time pow.
inline double peso_livello(int livello) { return std::pow(3.0, livello - 1); }

// What a leaf's value needs of its level's weight s.
struct pesi_livello {
    double perdita;   // the opponent has won: -21 / (s * 2)
    double vincita;   // the player scored for has won: 25 / (s * 2)
    double divisore;  // of the doubled difference of the distances: s * 2
};

inline pesi_livello pesi_di_peso(double s) { return {-21.0 / (s * 2.0), 25.0 / (s * 2.0), s * 2.0}; }

// The levels whose weights are kept in a table, 1 to LIVELLI_IN_TABELLA:
// every level of a search as deep as the fast search walks, and more.
inline constexpr int LIVELLI_IN_TABELLA = 66;

// The weights of level `livello`: from the table where it has them (the
// same doubles as pesi_di_peso(peso_livello(livello))), else worked out.
pesi_livello pesi_di(int livello);

// A leaf's value: `L_d1` is the distance of the player scored for from its
// goal, `L_d2` the opponent's (exactly 0 on the goal).
inline double valore_foglia(double L_d1, double L_d2, const pesi_livello& p) {
    double somma = 0.0;
    if (L_d2 == 0.0) return somma + p.perdita;
    if (L_d1 == 0.0) return somma + p.vincita;
    return somma + ((L_d2 - L_d1) * 2.0) / p.divisore;
}

#endif
