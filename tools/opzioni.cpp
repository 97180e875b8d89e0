// partite's options, read from the command line and checked against each
// other.
#include "opzioni.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "comune.h"

namespace {

[[noreturn]] void uso(const std::string& errore) {
    std::fprintf(stderr,
                 "partite: %s\n"
                 "usage: partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N]\n"
                 "               [--swap-sides] [--jobs N] [--first N] [--cpu N] [--tally] [--each-game]\n"
                 "               [--quiet] [--sprt ELO0 ELO1 [ALPHA BETA]]\n"
                 "       partite --round-robin SKILLS [--games N] [--seed N] [--max-plies N] [--jobs N] [--quiet]\n"
                 "  --skill1, --skill2  skills of Player 1 and Player 2, %d to %d (default 5)\n"
                 "  --games             number of games, 1 to 10000000 (default 100); of each pair\n"
                 "                      with --round-robin, the most with --sprt\n"
                 "  --seed              seed of the deals, 0 to 4294967295 (default 1)\n"
                 "  --max-plies         moves after which a game is stopped, 1 to 100000000 (default 10000)\n"
                 "  --swap-sides        the skills change corners every two games; results are\n"
                 "                      given for the first skill, wherever it played\n"
                 "  --jobs              processes that play the games, 1 to 256 (default: one per core)\n"
                 "  --first             number of the first game, 1 to 10000000 (default 1);\n"
                 "                      with --games 1 it replays that game\n"
                 "  --cpu               the core to play on (default: the one it starts on)\n"
                 "  --tally             print only the counts, on one line (read by --jobs)\n"
                 "  --each-game         with --tally, a line for each game first (read by --sprt)\n"
                 "  --quiet             no progress on standard error\n"
                 "  --round-robin       every pair of these skills, both sides: a range (1-10), a\n"
                 "                      list (2,5,9) or both (1-3,7); prints the crosstable and\n"
                 "                      the ratings, the lowest skill at 0\n"
                 "  --sprt              stop as soon as the SPRT accepts that the first skill is\n"
                 "                      ELO0 or ELO1 Elo above the second (ELO0 < ELO1); ALPHA and\n"
                 "                      BETA, the test's error rates, 0.05 each by default\n",
                 errore.c_str(), SKILL_MIN, SKILL_MAX);
    std::exit(2);
}

bool intero(const char* testo, long long minimo, long long massimo, long long* valore) {
    char* fine = nullptr;
    errno = 0;
    long long v = std::strtoll(testo, &fine, 10);
    if (fine == testo || *fine != '\0' || errno != 0 || v < minimo || v > massimo) return false;
    *valore = v;
    return true;
}

bool decimale(const char* testo, double* valore) {
    char* fine = nullptr;
    errno = 0;
    double v = std::strtod(testo, &fine);
    if (fine == testo || *fine != '\0' || errno != 0 || !std::isfinite(v)) return false;
    *valore = v;
    return true;
}

// The skills of --round-robin: ranges and single skills, separated by
// commas, each skill once, at least two.
std::vector<int> leggi_abilita(const std::string& testo) {
    std::vector<int> v;
    const std::string errore = "--round-robin takes skills from " + std::to_string(SKILL_MIN) + " to " +
                               std::to_string(SKILL_MAX) + " as a range or a list (1-10, 2,5,9, 1-3,7), not \"" +
                               testo + "\"";
    std::size_t inizio = 0;
    for (;;) {
        std::size_t virgola = testo.find(',', inizio);
        std::string parte = testo.substr(inizio, virgola == std::string::npos ? std::string::npos : virgola - inizio);
        std::size_t trattino = parte.find('-');
        long long da = 0, a = 0;
        if (!intero(parte.substr(0, trattino).c_str(), SKILL_MIN, SKILL_MAX, &da)) uso(errore);
        a = da;
        if (trattino != std::string::npos && !intero(parte.substr(trattino + 1).c_str(), SKILL_MIN, SKILL_MAX, &a))
            uso(errore);
        if (a < da) uso(errore + ": a range goes upwards");
        for (long long k = da; k <= a; k++) {
            if (std::find(v.begin(), v.end(), static_cast<int>(k)) != v.end())
                uso("--round-robin names skill " + std::to_string(k) + " twice");
            v.push_back(static_cast<int>(k));
        }
        if (virgola == std::string::npos) break;
        inizio = virgola + 1;
    }
    if (v.size() < 2) uso("--round-robin needs at least two skills");
    std::sort(v.begin(), v.end());  // the crosstable in order, the lowest skill the anchor
    return v;
}

}  // namespace

void guasto(const char* cosa) {
    std::fprintf(stderr, "\npartite: %s\n", cosa);
    std::exit(1);
}

opzioni leggi_opzioni(int argc, char** argv) {
    opzioni o;
    std::vector<std::string> date;  // the options given, for the ones that exclude each other
    for (int i = 1; i < argc; i++) {
        std::string opz = argv[i];
        date.push_back(opz);
        if (opz == "--each-game") {
            o.ogni_partita = true;
            continue;
        }
        if (opz == "--round-robin") {
            if (i + 1 >= argc) uso("missing value after --round-robin");
            o.torneo = leggi_abilita(argv[++i]);
            continue;
        }
        if (opz == "--sprt") {
            if (i + 2 >= argc || !decimale(argv[i + 1], &o.elo0) || !decimale(argv[i + 2], &o.elo1))
                uso("--sprt takes two Elo differences, ELO0 and ELO1, then optionally ALPHA and BETA");
            i += 2;
            double a = 0, b = 0;
            bool con_a = i + 1 < argc && decimale(argv[i + 1], &a);
            if (con_a) {
                if (i + 2 >= argc || !decimale(argv[i + 2], &b))
                    uso("--sprt takes ALPHA and BETA together, or neither");
                i += 2;
                o.alfa = a, o.beta = b;
            }
            if (!(o.elo0 < o.elo1)) uso("--sprt needs ELO0 below ELO1");
            if (!(o.alfa > 0 && o.beta > 0 && o.alfa + o.beta < 1))
                uso("--sprt needs ALPHA and BETA above 0, with ALPHA + BETA below 1");
            o.sprt = true;
            continue;
        }
        if (opz == "--quiet") {
            o.silenzio = true;
            continue;
        }
        if (opz == "--swap-sides") {
            o.scambia = true;
            continue;
        }
        if (opz == "--tally") {
            o.conteggio = true;
            continue;
        }
        long long* dove = nullptr;
        long long minimo = 0, massimo = 0;
        if (opz == "--skill1") {
            dove = &o.livello[0], minimo = SKILL_MIN, massimo = SKILL_MAX;
        } else if (opz == "--skill2") {
            dove = &o.livello[1], minimo = SKILL_MIN, massimo = SKILL_MAX;
        } else if (opz == "--games") {
            dove = &o.partite, minimo = 1, massimo = MAX_PARTITE;
        } else if (opz == "--seed") {
            dove = &o.seme, minimo = 0, massimo = 4294967295LL;
        } else if (opz == "--max-plies") {
            dove = &o.max_semimosse, minimo = 1, massimo = 100000000;
        } else if (opz == "--jobs") {
            dove = &o.processi, minimo = 1, massimo = MAX_PROCESSI;
        } else if (opz == "--first") {
            dove = &o.prima, minimo = 1, massimo = MAX_PARTITE;
        } else if (opz == "--cpu") {
            dove = &o.nucleo, minimo = 0, massimo = CPU_SETSIZE - 1;
        } else {
            uso("unknown option " + opz);
        }
        if (i + 1 >= argc) uso("missing value after " + opz);
        if (!intero(argv[++i], minimo, massimo, dove))
            uso(opz + " takes a whole number from " + std::to_string(minimo) + " to " + std::to_string(massimo) +
                ", not \"" + argv[i] + "\"");
    }
    if (o.prima - 1 + o.partite > MAX_PARTITE)
        uso("the games end after game " + std::to_string(MAX_PARTITE) + ": --first plus --games is too large");
    auto data = [&date](const char* nome) { return std::find(date.begin(), date.end(), nome) != date.end(); };
    if (!o.torneo.empty()) {
        for (const char* escluse : {"--skill1", "--skill2", "--first", "--tally", "--each-game", "--sprt", "--cpu"})
            if (data(escluse)) uso(std::string("--round-robin cannot go with ") + escluse);
        o.scambia = true;
    }
    if (o.sprt && (data("--tally") || data("--first") || data("--each-game")))
        uso("--sprt plays a whole match: it cannot go with --tally, --first or --each-game");
    if (o.ogni_partita && !o.conteggio) uso("--each-game goes with --tally");
    if (o.processi == 0) {
        // One process per core this program may run on.
        cpu_set_t insieme;
        long quanti = sched_getaffinity(0, sizeof insieme, &insieme) == 0 ? CPU_COUNT(&insieme)
                                                                          : sysconf(_SC_NPROCESSORS_ONLN);
        o.processi = std::clamp<long long>(quanti, 1, MAX_PROCESSI);
    }
    return o;
}
