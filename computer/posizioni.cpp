// The benchmark's fixed positions.
#include "posizioni.h"

namespace {

std::uint32_t stato_generatore = 1;

constexpr int N_POSIZIONI = 16;

}  // namespace

void semina_estrazioni(std::uint32_t seme) { stato_generatore = seme; }

int estrazione() {
    // 32-bit linear congruential step; the top bits are the well mixed ones.
    stato_generatore = stato_generatore * 1664525u + 1013904223u;
    return static_cast<int>(stato_generatore >> 17);
}

namespace {

// The position of seed `seme`: a deal, then k * 3 / 2 plies (at least as
// many, until the player to move has a choice), each the move that the
// deal's generator picks among the legal ones; a move onto the goal is never
// picked and a stuck player passes. `turno` begins. False when the player to
// move has fewer than two legal moves after all.
bool posizione_di(std::uint32_t seme, int k, int turno, std::int32_t livello, situazione* esito) {
    situazione s{};
    semina_estrazioni(seme);
    s.scacch.mischia();
    s.ped[0] = pedina(PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA, ULTIMA_FILA);
    s.ped[1] = pedina(ULTIMA_FILA, PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA);
    s.turno = turno;
    s.livello = livello;
    int da_giocare = k * 3 / 2;
    unsigned lecite[MOSSE_MAX];
    int n = s.scacch.mosse_lecite(lecite, s.ped[s.turno], s.ped[1 - s.turno]);
    for (int ply = 0; ply < 200 && (da_giocare > 0 || n < 2); ply++) {
        if (n > 0) {
            int scelta = estrazione() % n;
            pedina prova = s.ped[s.turno];
            prova.move_to(lecite[scelta]);
            if (prova.vittoria()) {
                scelta = (scelta + 1) % n;
                prova = s.ped[s.turno];
                prova.move_to(lecite[scelta]);
            }
            if (!prova.vittoria()) s.ped[s.turno] = prova;
        }
        s.turno = 1 - s.turno;
        n = s.scacch.mosse_lecite(lecite, s.ped[s.turno], s.ped[1 - s.turno]);
        if (da_giocare > 0) da_giocare--;
    }
    s.n_lecite = n;
    for (int i = 0; i < MOSSE_MAX; i++) s.direz[i] = static_cast<std::uint8_t>(i < n ? lecite[i] : 0);
    *esito = s;
    return n >= 2;
}

}  // namespace

std::vector<situazione> posizioni_prova(std::int32_t livello) {
    int (*prima)() = plancia::estrai;
    plancia::estrai = estrazione;
    std::vector<situazione> v;
    for (int k = 0; k < N_POSIZIONI; k++) {
        situazione s;
        if (posizione_di(0x5EED0000u + static_cast<std::uint32_t>(k), k, k % 2, livello, &s)) v.push_back(s);
    }
    plancia::estrai = prima;
    return v;
}

std::vector<situazione> posizioni_fresche(std::int32_t livello, int quante) {
    int (*prima)() = plancia::estrai;
    plancia::estrai = estrazione;
    std::vector<situazione> v;
    for (std::uint32_t seme = 0xF2E5C000u; static_cast<int>(v.size()) < quante; seme++) {
        const int k = static_cast<int>(seme % 32u);
        situazione s;
        if (posizione_di(seme, k, k % 2, livello, &s)) v.push_back(s);
    }
    plancia::estrai = prima;
    return v;
}
