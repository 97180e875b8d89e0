// The progress line: where a run stands, on standard error.
#include "avanzamento.h"

#include <unistd.h>

#include <cstdio>

namespace {

// A progress line is open on the terminal: the next message ends it first.
bool riga_aperta = false;

// How often the line is written: often on a terminal, where it is
// rewritten in place; every few seconds elsewhere, where every line stays.
constexpr std::chrono::milliseconds OGNI_TERMINALE(250);
constexpr std::chrono::seconds OGNI_ALTROVE(5);

// A span of time as a person reads it: 45s, 3m07s, 2h05m.
std::string durata(double secondi) {
    const long long s = static_cast<long long>(secondi + 0.5);
    char buf[48];
    if (s < 60)
        std::snprintf(buf, sizeof buf, "%llds", s);
    else if (s < 3600)
        std::snprintf(buf, sizeof buf, "%lldm%02llds", s / 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%lldh%02lldm", s / 3600, s % 3600 / 60);
    return buf;
}

}  // namespace

avanzamento::avanzamento(bool silenzio, long long tutte_, const char* cosa_, bool punteggio_)
    : attivo(!silenzio),
      terminale(isatty(STDERR_FILENO) == 1),
      tutte(tutte_),
      cosa(cosa_),
      punteggio(punteggio_),
      inizio(std::chrono::steady_clock::now()),
      ultima(inizio) {}

void avanzamento::segna(long long fatte_, const risultati& r_) {
    if (!attivo) return;
    fatte = fatte_;
    r = r_;
    // On a terminal the line shows from the first game on.
    const auto ora = std::chrono::steady_clock::now();
    if ((!terminale || lunghezza > 0) && ora - ultima < (terminale ? std::chrono::duration_cast<std::chrono::milliseconds>(OGNI_TERMINALE)
                                  : std::chrono::duration_cast<std::chrono::milliseconds>(OGNI_ALTROVE)))
        return;
    ultima = ora;
    scrivi(false);
}

void avanzamento::chiudi() {
    if (!attivo || fatte == 0) return;
    scrivi(true);
    attivo = false;
}

void avanzamento::scrivi(bool fine) {
    const double passati = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
    const long long pari = fatte - r.vinte[0] - r.vinte[1];
    char buf[256];
    int n = std::snprintf(buf, sizeof buf, "%lld/%lld %s", fatte, tutte, cosa);
    auto metti = [&](const char* formato, auto... valori) {
        if (n >= 0 && n < static_cast<int>(sizeof buf)) n += std::snprintf(buf + n, sizeof buf - n, formato, valori...);
    };
    if (punteggio)
        metti(", score %lld - %lld - %lld [%.3f]", r.vinte[0], r.vinte[1], pari,
              fatte > 0 ? (r.vinte[0] + pari / 2.0) / fatte : 0.0);
    else
        metti(", %lld decisive, %lld drawn", r.vinte[0] + r.vinte[1], pari);
    if (fine)
        metti(", in %s", durata(passati).c_str());
    else if (fatte > 0 && fatte < tutte)
        metti(", %s left", durata(passati / fatte * static_cast<double>(tutte - fatte)).c_str());
    std::string riga = buf;
    if (terminale) {
        // Rewritten in place; what a longer line before left is blanked.
        const std::size_t prima = lunghezza;
        lunghezza = riga.size();
        if (riga.size() < prima) riga.append(prima - riga.size(), ' ');
        std::fprintf(stderr, "\r%s%s", riga.c_str(), fine ? "\n" : "");
        riga_aperta = !fine;
    } else {
        std::fprintf(stderr, "%s\n", riga.c_str());
    }
    std::fflush(stderr);
}

void chiudi_riga_avanzamento() {
    if (riga_aperta) std::fputc('\n', stderr);
    riga_aperta = false;
}
