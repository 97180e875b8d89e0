// bench: times whole decisions of the computer on the fixed positions, for
// each skill, with the fast tree and with the plain one, and checks that the
// two decide alike (same moves, same nodes, same pass flag).
//
//   bench [--skill A[-B]] [--min-ms N] [--no-plain] [--cold N] [--games FILE]
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
// other work on the machine weighs on neither more than on the other. These
// are warm figures: the same few positions over and over.
//
// Cold figures follow (unless --no-plain or --cold 0): per skill, N
// positions (200 by default), each on a deal of its own, each decided first
// by the plain tree and then, timed alone, by the fast search, as a game
// meets a new move: the mean and the quickest fast decision, the plain
// tree's mean and the ratio of the means.
//
// --games FILE replays the games of a game file of the match runner
// (partite --record) at the highest skill asked for: every decision of both
// players, in order, once with the memo taken up from one decision of a
// game to the next and once with every decision starting clean; it prints
// both times and the subtrees walked per decision, and checks that both
// chose alike.
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
#include "ricerca.h"
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
    std::fprintf(stderr,
                 "bench: %s\nusage: bench [--skill A[-B]] [--min-ms N] [--no-plain] [--cold N] [--games FILE]\n",
                 errore);
    std::exit(2);
}

bool intero(const char* testo, long minimo, long massimo, long* valore) {
    char* fine = nullptr;
    long v = std::strtol(testo, &fine, 10);
    if (fine == testo || *fine != '\0' || v < minimo || v > massimo) return false;
    *valore = v;
    return true;
}

double ms_da(orologio::time_point t0) { return std::chrono::duration<double, std::milli>(orologio::now() - t0).count(); }

// Cold decisions at one skill: each position on a deal of its own, decided
// by the plain tree and right after by the fast search, which is timed
// alone. False when the two decided differently.
bool a_freddo(std::int32_t livello, int quante) {
    std::vector<situazione> pos = posizioni_fresche(livello, quante);
    albero::flag_stallo() = albero_semplice::flag_stallo() = 0;
    double veloce = 0.0, piano = 0.0, migliore = 0.0;
    bool uguali = true;
    for (const situazione& s : pos) {
        std::uint64_t n1 = 0, n2 = 0;
        auto t0 = orologio::now();
        std::int32_t scelta_piano = scegli_mossa_semplice(s, &n2);
        piano += ms_da(t0);
        ricerca::dimentica();
        t0 = orologio::now();
        std::int32_t scelta = scegli_mossa(s, &n1);
        double ms = ms_da(t0);
        veloce += ms;
        if (ms < migliore || migliore == 0.0) migliore = ms;
        if (scelta != scelta_piano || n1 != n2 || albero::flag_stallo() != albero_semplice::flag_stallo())
            uguali = false;
    }
    const double n = static_cast<double>(pos.size());
    std::printf("%5d %10zu %14.4f %12.4f %14.4f %9.2fx%s\n", livello, pos.size(), veloce / n, migliore, piano / n,
                veloce > 0.0 ? piano / veloce : 0.0, uguali ? "" : "  DIFFERENT");
    return uguali;
}

// A recorded game: the seed of its deal, the player who began (0 or 1) and
// its moves, a direction digit each or '.' for a pass.
struct registrata {
    std::uint32_t seme = 0;
    int comincia = 0;
    std::string mosse;
};

std::vector<registrata> leggi_partite(const std::string& nome) {
    std::ifstream f(nome);
    if (!f) uso(("cannot read " + nome).c_str());
    std::vector<registrata> v;
    std::string riga;
    for (long numero = 1; std::getline(f, riga); numero++) {
        if (riga.compare(0, 5, "game ") != 0) continue;
        std::vector<std::string> w;
        for (std::size_t i = 0; i < riga.size();) {
            std::size_t j = riga.find(' ', i);
            if (j == std::string::npos) j = riga.size();
            w.push_back(riga.substr(i, j - i));
            i = j + 1;
        }
        long comincia = 0;
        char* fine = nullptr;
        const unsigned long long seme = std::strtoull(w.size() > 5 ? w[5].c_str() : "", &fine, 10);
        registrata r;
        if (w.size() != 18 || w[4] != "deal" || w[9] != "begins" || w[16] != "moves" ||
            fine == w[5].c_str() || *fine != '\0' || seme > 0xFFFFFFFFull || !intero(w[10].c_str(), 1, 2, &comincia) ||
            w[17].find_first_not_of("01234567.") != std::string::npos)
            uso((nome + ":" + std::to_string(numero) + ": not a game line").c_str());
        r.seme = static_cast<std::uint32_t>(seme);
        r.comincia = static_cast<int>(comincia) - 1;
        r.mosse = w[17];
        v.push_back(r);
    }
    return v;
}

// The decisions of one recorded game at skill `livello`, for both players,
// timed; the choices are appended to `scelte`. False when a recorded move
// is not legal on the deal (not a game of this program).
bool rigioca(const registrata& r, std::int32_t livello, double* ms, std::uint64_t* decisioni,
             std::vector<std::int32_t>& scelte) {
    int (*prima)() = plancia::estrai;
    plancia::estrai = estrazione;
    semina_estrazioni(r.seme);
    situazione s{};
    s.scacch.mischia();
    plancia::estrai = prima;
    s.ped[0] = pedina(PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA, ULTIMA_FILA);
    s.ped[1] = pedina(ULTIMA_FILA, PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA);
    s.turno = r.comincia;
    s.livello = livello;
    albero::flag_stallo() = 0;
    for (char m : r.mosse) {
        unsigned lecite[MOSSE_MAX] = {};
        s.n_lecite = s.scacch.mosse_lecite(lecite, s.ped[s.turno], s.ped[1 - s.turno]);
        if (s.n_lecite < 0) return false;
        for (int i = 0; i < MOSSE_MAX; i++) s.direz[i] = static_cast<std::uint8_t>(lecite[i]);
        if (s.n_lecite >= 2) {
            auto t0 = orologio::now();
            scelte.push_back(scegli_mossa(s));
            *ms += ms_da(t0);
            ++*decisioni;
        }
        if (m != '.') {
            const unsigned d = static_cast<unsigned>(m - '0');
            bool lecita = false;
            for (int i = 0; i < s.n_lecite; i++) lecita = lecita || lecite[i] == d;
            if (!lecita) return false;
            s.ped[s.turno].move_to(d);
        } else if (s.n_lecite != 0) {
            return false;
        }
        s.turno = 1 - s.turno;
    }
    return true;
}

// The games of a game file replayed with and without the memo carried from
// one decision to the next; false when the two chose differently.
bool rigioca_partite(const std::string& nome, std::int32_t livello) {
    std::vector<registrata> partite = leggi_partite(nome);
    double ms[2] = {0.0, 0.0};
    std::uint64_t decisioni[2] = {0, 0}, scritti[2] = {0, 0};
    bool uguali = true;
    for (const registrata& r : partite) {
        std::vector<std::int32_t> scelte[2];
        for (int riuso = 1; riuso >= 0; riuso--) {
            ricerca::riuso(riuso == 1);
            ricerca::dimentica();
            const std::uint32_t prima = ricerca::scritti();
            if (!rigioca(r, livello, &ms[riuso], &decisioni[riuso], scelte[riuso]))
                uso((nome + ": a game whose moves are not legal on its deal (seed " + std::to_string(r.seme) + ")")
                        .c_str());
            scritti[riuso] += ricerca::scritti() - prima;
        }
        uguali = uguali && scelte[0] == scelte[1];
    }
    ricerca::riuso(true);
    std::printf("\nThe %zu games of %s, every decision at skill %d:\n", partite.size(), nome.c_str(), livello);
    std::printf("memo                 decisions     ms total  ms/decision  subtrees/decision\n");
    const char* nomi[2] = {"clean each decision", "kept through a game"};
    for (int riuso = 0; riuso < 2; riuso++) {
        const double n = decisioni[riuso] > 0 ? static_cast<double>(decisioni[riuso]) : 1.0;
        std::printf("%-19s %10llu %12.1f %12.4f %18.0f\n", nomi[riuso],
                    static_cast<unsigned long long>(decisioni[riuso]), ms[riuso], ms[riuso] / n,
                    static_cast<double>(scritti[riuso]) / n);
    }
    std::printf("ratio %.2fx%s\n", ms[1] > 0.0 ? ms[0] / ms[1] : 0.0, uguali ? "" : "  DIFFERENT");
    return uguali;
}


}  // namespace

int main(int argc, char** argv) {
    long da = SKILL_MIN, a = SKILL_MAX, min_ms = 200, freddi = 200;
    bool semplice = true;
    std::string file_partite;
    for (int i = 1; i < argc; i++) {
        std::string opz = argv[i];
        if (opz == "--no-plain") {
            semplice = false;
        } else if (opz == "--skill" || opz == "--min-ms" || opz == "--cold" || opz == "--games") {
            if (i + 1 >= argc) uso(("missing value after " + opz).c_str());
            const char* v = argv[++i];
            if (opz == "--games") {
                file_partite = v;
                continue;
            }
            if (opz == "--cold") {
                if (!intero(v, 0, 100000, &freddi)) uso("--cold takes a number of positions, 0 to 100000");
                continue;
            }
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

    if (semplice && freddi > 0) {
        std::printf("\nCold: each position on a deal of its own, timed right after the plain tree decided it\n");
        std::printf("skill  positions  ms/decision  best ms/dec  plain ms/dec     ratio\n");
        for (long livello = da; livello <= a; livello++)
            if (!a_freddo(static_cast<std::int32_t>(livello), static_cast<int>(freddi))) diversi = true;
    }
    if (!file_partite.empty() && !rigioca_partite(file_partite, static_cast<std::int32_t>(a))) diversi = true;

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
