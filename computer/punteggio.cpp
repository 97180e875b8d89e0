// The table of the level weights.
#include "punteggio.h"

#include "dimensioni.h"

namespace {

struct tabella_pesi {
    pesi_livello v[LIVELLI_IN_TABELLA];
    tabella_pesi() {
        // Through a volatile, so that every weight comes from the run-time
        // pow, as a leaf's weight worked out on the spot would.
        for (int k = 0; k < LIVELLI_IN_TABELLA; k++) {
            volatile int livello = k + 1;
            v[k] = pesi_di_peso(peso_livello(livello));
        }
    }
};

static_assert(SKILL_MAX + 1 <= LIVELLI_IN_TABELLA, "the weights of every level of the deepest search are in the table");

}  // namespace

pesi_livello pesi_di(int livello) {
    // Made on first use, so that a search started while the program's
    // statics are still being built finds it ready.
    static const tabella_pesi G_pesi;
    if (livello >= 1 && livello <= LIVELLI_IN_TABELLA) return G_pesi.v[livello - 1];
    return pesi_di_peso(peso_livello(livello));
}
