// bench: times whole decisions of the computer on the fixed positions, for
// each skill, with the fast tree and with the plain one, and checks that the
// two decide alike (same moves, same nodes, same pass flag).
//
//   bench [--skill A[-B]] [--min-ms N] [--no-plain]
//
// Prints, per skill, the decisions timed, the nodes of the trees decided on
// (those the plain tree builds; the fast search walks fewer and counts the
// ones it takes again from its table), milliseconds per decision and nodes
// per second of both, and the ratio of their times per decision; then the
// totals and the signature: the nodes over the positions for skills 1 to 10
// in order, from a clear pass flag, which the tests hold the search to.
//
// The two are timed side by side, one pass over the positions each in turn,
// and each one's time per decision is that of its quickest pass, so that
// other work on the machine weighs on neither more than on the other.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "albero.h"
#include "dimensioni.h"
#include "computer.h"
#include "posizioni.h"
#include "riferimento.h"

// The core logs nothing during a decision; the log stays closed.
std::ofstream logfile;

namespace {

using orologio = std::chrono::steady_clock;

struct misura {
    std::uint64_t decisioni = 0;
    std::uint64_t nodi = 0;
    double ms = 0.0;
    double ms_migliore = 0.0;  // the quickest pass over the positions
    std::uint64_t per_giro = 0;  // decisions per pass
    std::vector<std::int32_t> scelte;
    std::int32_t flag_finale = 0;

    double ms_decisione() const { return per_giro > 0 ? ms_migliore / static_cast<double>(per_giro) : 0.0; }
};

// One more pass over the positions, the pass flag carrying over from the
// last one.
void giro(misura& m, const std::vector<situazione>& pos, bool semplice) {
    auto t0 = orologio::now();
    for (const situazione& s : pos) {
        std::uint64_t n = 0;
        std::int32_t scelta = semplice ? scegli_mossa_semplice(s, &n) : scegli_mossa(s, &n);
        m.nodi += n;
        m.decisioni++;
        m.scelte.push_back(scelta);
    }
    double ms = std::chrono::duration<double, std::milli>(orologio::now() - t0).count();
    if (m.per_giro == 0 || ms < m.ms_migliore) m.ms_migliore = ms;
    m.per_giro = pos.size();
    m.ms += ms;
    m.flag_finale = semplice ? albero_semplice::flag_stallo() : albero::flag_stallo();
}

double al_secondo(const misura& m) { return m.ms > 0.0 ? m.nodi / (m.ms / 1000.0) : 0.0; }

[[noreturn]] void uso(const char* errore) {
    std::fprintf(stderr, "bench: %s\nusage: bench [--skill A[-B]] [--min-ms N] [--no-plain]\n", errore);
    std::exit(2);
}

bool intero(const char* testo, long minimo, long massimo, long* valore) {
    char* fine = nullptr;
    long v = std::strtol(testo, &fine, 10);
    if (fine == testo || *fine != '\0' || v < minimo || v > massimo) return false;
    *valore = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long da = SKILL_MIN, a = SKILL_MAX, min_ms = 200;
    bool semplice = true;
    for (int i = 1; i < argc; i++) {
        std::string opz = argv[i];
        if (opz == "--no-plain") {
            semplice = false;
        } else if (opz == "--skill" || opz == "--min-ms") {
            if (i + 1 >= argc) uso(("missing value after " + opz).c_str());
            const char* v = argv[++i];
            if (opz == "--min-ms") {
                if (!intero(v, 0, 600000, &min_ms)) uso("--min-ms takes a number of milliseconds, 0 to 600000");
                continue;
            }
            std::string t = v;
            std::size_t trattino = t.find('-');
            std::string primo = t.substr(0, trattino);
            std::string secondo = trattino == std::string::npos ? primo : t.substr(trattino + 1);
            if (!intero(primo.c_str(), SKILL_MIN, SKILL_MAX, &da) ||
                !intero(secondo.c_str(), SKILL_MIN, SKILL_MAX, &a) || da > a)
                uso(("--skill takes a skill or a range of skills within " + std::to_string(SKILL_MIN) + " to " +
                     std::to_string(SKILL_MAX) + ", like " + std::to_string(SKILL_MAX) + " or " +
                     std::to_string(SKILL_MIN) + "-" + std::to_string(SKILL_MAX))
                        .c_str());
        } else {
            uso(("unknown option " + opz).c_str());
        }
    }

    std::printf("Vorandel 32 bench: %zu positions, skills %ld to %ld\n\n", posizioni_prova(1).size(), da, a);
    std::printf("skill  decisions        nodes  ms/decision      nodes/s");
    if (semplice) std::printf("  plain ms/dec  plain nodes/s     ratio");
    std::printf("\n");

    misura totale;
    bool diversi = false;
    double rapporto_ultimo = 0.0, veloce_ultimo = 0.0, piano_ultimo = 0.0;
    for (long livello = da; livello <= a; livello++) {
        std::vector<situazione> pos = posizioni_prova(static_cast<std::int32_t>(livello));
        // Enough passes over the positions for the fast search to run at
        // least the requested time.
        misura prova;
        albero::flag_stallo() = 0;
        giro(prova, pos, false);
        int giri = 1;
        if (prova.ms < min_ms) giri = static_cast<int>(min_ms / (prova.ms > 0.01 ? prova.ms : 0.01)) + 1;
        if (giri > 100000) giri = 100000;
        misura veloce, piano;
        albero::flag_stallo() = albero_semplice::flag_stallo() = 0;
        for (int g = 0; g < giri; g++) {
            giro(veloce, pos, false);
            if (semplice) giro(piano, pos, true);
        }
        std::printf("%5ld %10llu %12llu %12.4f %12.0f", livello, static_cast<unsigned long long>(veloce.decisioni),
                    static_cast<unsigned long long>(veloce.nodi), veloce.ms_decisione(), al_secondo(veloce));
        if (semplice) {
            double rapporto = veloce.ms_decisione() > 0 ? piano.ms_decisione() / veloce.ms_decisione() : 0.0;
            std::printf("  %12.4f %14.0f %9.2fx", piano.ms_decisione(), al_secondo(piano), rapporto);
            rapporto_ultimo = rapporto, veloce_ultimo = veloce.ms_decisione(), piano_ultimo = piano.ms_decisione();
            if (piano.nodi != veloce.nodi || piano.scelte != veloce.scelte || piano.flag_finale != veloce.flag_finale) {
                std::printf("  DIFFERENT");
                diversi = true;
            }
        }
        std::printf("\n");
        std::fflush(stdout);
        totale.decisioni += veloce.decisioni;
        totale.nodi += veloce.nodi;
        totale.ms += veloce.ms;
    }

    // The signature: every skill, SKILL_MIN to SKILL_MAX, over the positions,
    // once, in order.
    albero::flag_stallo() = 0;
    std::uint64_t firma = 0;
    for (std::int32_t livello = SKILL_MIN; livello <= SKILL_MAX; livello++)
        for (const situazione& s : posizioni_prova(livello)) {
            std::uint64_t n = 0;
            scegli_mossa(s, &n);
            firma += n;
        }

    std::printf("\n===========================\n");
    std::printf("Total time (ms) : %.0f\n", totale.ms);
    std::printf("Nodes searched  : %llu\n", static_cast<unsigned long long>(totale.nodi));
    std::printf("Nodes/second    : %.0f\n", al_secondo(totale));
    std::printf("Signature       : %llu\n", static_cast<unsigned long long>(firma));
    if (semplice)
        std::printf("Skill %ld decision: %.4f ms, plain tree %.4f ms, ratio %.2f\n", a, veloce_ultimo, piano_ultimo,
                    rapporto_ultimo);
    if (diversi) {
        std::printf("ERROR: the fast and the plain tree decided differently\n");
        return 1;
    }
    return 0;
}
