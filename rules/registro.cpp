// The repetition register: a ring of the VOCI_REGISTRO placements stored
// most recently, each with the number of times it has been reached. The
// RIPETIZIONI_PATTA-th time a placement is reached, the game is a draw.
#include "partita.h"

namespace {

// (row - 1) x LATO_GIOCABILE + column, in 8-bit arithmetic: 1 to
// CASELLE_GIOCABILI on the board, so 0 marks an empty entry.
std::uint8_t codice(const pedina& p) {
    unsigned x, y;
    p.get_pos(&x, &y);
    return static_cast<std::uint8_t>((y - PRIMA_FILA) * LATO_GIOCABILE + x);
}

static_assert(PRIMA_FILA >= 1 && (ULTIMA_FILA - PRIMA_FILA) * LATO_GIOCABILE + ULTIMA_FILA <= 255,
              "a placement's code must fit a byte and never be 0");

}  // namespace

int partita::patta() {
    static std::int32_t libero = 0;  // next entry for a new placement; kept across games

    std::uint8_t L_pos1 = codice(ped[0]);
    std::uint8_t L_pos2 = codice(ped[1]);
    for (voce_registro& v : registro) {
        if (v.posiz1 == L_pos1 && v.posiz2 == L_pos2) {
            v.ripetizioni++;
            return v.ripetizioni == RIPETIZIONI_PATTA ? 1 : 0;
        }
    }
    registro[libero].posiz1 = L_pos1;
    registro[libero].posiz2 = L_pos2;
    registro[libero].ripetizioni = 1;
    libero = (libero + 1) % VOCI_REGISTRO;
    return 0;
}

void partita::azzera_registro() {
    for (voce_registro& v : registro) {
        v.posiz1 = 0;
        v.posiz2 = 0;
        v.ripetizioni = 0;
    }
}
