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
#include <cstring>

#include "avanzamento.h"
#include "comune.h"

std::string file_da_togliere;

namespace {

// A refusal of the options read: the command line's ends the program with
// the usage, a run line's is the file's error.
struct rifiuto {
    std::string perche;
};

[[noreturn]] void uso(const std::string& errore) { throw rifiuto{errore}; }

// The usage: the forms of the command line and what each option does.
std::string testo_uso() {
    const char* const forma =
                 "usage: partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N]\n"
                 "               [--swap-sides] [--jobs N] [--first N] [--cpu N] [--threads] [--tally] [--each-game]\n"
                 "               [--quiet] [--sprt ELO0 ELO1 [ALPHA BETA]] [--pairs] [--record FILE [--shard K/N]]\n"
                 "       partite --round-robin SKILLS [--games N] [--seed N] [--max-plies N] [--jobs N] [--quiet]\n"
                 "               [--pairs] [--record FILE [--shard K/N]]\n"
                 "       partite --replay FILE [--game N [--match A-B]] [--record FILE] [--quiet]\n"
                 "       partite --merge FILE... [--record FILE] [--quiet]\n"
                 "       partite --resume FILE [--jobs N] [--threads] [--quiet]\n"
                 "       partite --help | --version\n"
                 "  --skill1, --skill2  skills of Player 1 and Player 2, %d to %d (default 5)\n"
                 "  --games             number of games, 1 to 10000000 (default 100); of each pair\n"
                 "                      with --round-robin, the most with --sprt\n"
                 "  --seed              seed of the deals, 0 to 4294967295 (default 1)\n"
                 "  --max-plies         moves after which a game is stopped, 1 to 100000000 (default 10000)\n"
                 "  --swap-sides        the skills change corners every two games; results are\n"
                 "                      given for the first skill, wherever it played\n"
                 "  --jobs              processes that play the games, 1 to 256 (default: one per core)\n"
                 "  --first             number of the first game, 1 to 10000000 (default 1);\n"
                 "                      with --games 1 it plays that game again\n"
                 "  --cpu               the core to play on (default: the one it starts on)\n"
                 "  --threads           each computer move searched on a thread of its own, as in\n"
                 "                      the game (default: on the runner's thread; the same games)\n"
                 "  --tally             print only the counts, on one line (read by --jobs)\n"
                 "  --each-game         with --tally, each game's line of the game file first\n"
                 "                      (read by --sprt and --record)\n"
                 "  --quiet             no progress on standard error (otherwise, on a terminal, one\n"
                 "                      line kept up to date with the score and the time left;\n"
                 "                      elsewhere a line every few seconds)\n"
                 "  --round-robin       every pair of these skills, both sides: a range (1-10), a\n"
                 "                      list (2,5,9) or both (1-3,7); prints the crosstable and\n"
                 "                      the ratings, the lowest skill at 0\n"
                 "  --sprt              stop as soon as the SPRT accepts that the first skill is\n"
                 "                      ELO0 or ELO1 Elo above the second (ELO0 < ELO1); ALPHA and\n"
                 "                      BETA, the test's error rates, 0.05 each by default; the\n"
                 "                      trinomial LLR of the games, the pentanomial one of the\n"
                 "                      pairs with --pairs\n"
                 "  --pairs             each deal twice, the skills on swapped corners, the same\n"
                 "                      corner beginning both games; the pairs' counts and Elo\n"
                 "                      error bar too (--first odd, --games even, or --games 1)\n"
                 "  --record            write every game played to FILE, a game file (see README);\n"
                 "                      - for standard output (the table then goes to standard\n"
                 "                      error); a pipe or a device is written as it is\n"
                 "  --shard             play only part K of N of the run, in whole pairs of games\n"
                 "                      (the remainder in the last parts), for --merge\n"
                 "  --replay            play the games of a game file (- for standard input) again\n"
                 "                      through the rules,\n"
                 "                      check them and print the run's table; --game N (and\n"
                 "                      --match A-B in a round robin): that game alone\n"
                 "  --merge             the game files of all the shards of one run (one of them\n"
                 "                      may be -, standard input): check and\n"
                 "                      replay them, print the whole run's table\n"
                 "  --resume            go on with a run cut short (SIGINT, SIGTERM): its game file\n"
                 "                      or shard, or the FILE.part a killed run left; it ends as\n"
                 "                      the whole run would have\n"
                 "  --help, -h          print this help and exit\n"
                 "  --version           print the version of partite and exit\n";
    const int n = std::snprintf(nullptr, 0, forma, SKILL_MIN, SKILL_MAX);
    std::string testo(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    std::snprintf(testo.data(), testo.size(), forma, SKILL_MIN, SKILL_MAX);
    testo.pop_back();
    return testo;
}

[[noreturn]] void uso_ed_esci(const std::string& errore) {
    std::fprintf(stderr, "partite: %s\n%s", errore.c_str(), testo_uso().c_str());
    std::exit(2);
}

// A whole number written plainly: digits only, no sign, no space, no
// leading zero (so "+1" and "01" are refused, as a typing slip may hide
// behind them).
bool intero(const char* testo, long long minimo, long long massimo, long long* valore) {
    const std::size_t n = std::strlen(testo);
    if (n == 0 || n > 18 || std::strspn(testo, "0123456789") != n || (n > 1 && testo[0] == '0')) return false;
    const long long v = std::strtoll(testo, nullptr, 10);
    if (v < minimo || v > massimo) return false;
    *valore = v;
    return true;
}

// A decimal number such as -5, 2.5 or 1e-3: no space, no hexadecimal, no
// "inf" or "nan".
bool decimale(const char* testo, double* valore) {
    if (std::strspn(testo, "0123456789.eE+-") != std::strlen(testo)) return false;
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
    chiudi_riga_avanzamento();
    std::fprintf(stderr, "partite: %s\n", cosa);
    if (!file_da_togliere.empty()) std::remove(file_da_togliere.c_str());
    std::exit(1);
}

namespace {

// The options in `a`, checked against each other; `date` gets the options
// given.
opzioni leggi(const std::vector<std::string>& a, std::vector<std::string>& date) {
    opzioni o;
    const int argc = static_cast<int>(a.size());
    for (int i = 0; i < argc; i++) {
        std::string opz = a[i];
        date.push_back(opz);
        if (opz == "--each-game") {
            o.ogni_partita = true;
            continue;
        }
        if (opz == "--round-robin") {
            if (i + 1 >= argc) uso("missing value after --round-robin");
            o.torneo = leggi_abilita(a[++i]);
            continue;
        }
        if (opz == "--sprt") {
            if (i + 2 >= argc || !decimale(a[i + 1].c_str(), &o.elo0) || !decimale(a[i + 2].c_str(), &o.elo1))
                uso("--sprt takes two Elo differences, ELO0 and ELO1, then optionally ALPHA and BETA");
            i += 2;
            double x = 0, y = 0;
            bool con_a = i + 1 < argc && decimale(a[i + 1].c_str(), &x);
            if (con_a) {
                if (i + 2 >= argc || !decimale(a[i + 2].c_str(), &y))
                    uso("--sprt takes ALPHA and BETA together, or neither");
                i += 2;
                o.alfa = x, o.beta = y;
            }
            if (!(o.elo0 < o.elo1)) uso("--sprt needs ELO0 below ELO1");
            if (!(o.alfa > 0 && o.beta > 0 && o.alfa + o.beta < 1))
                uso("--sprt needs ALPHA and BETA above 0, with ALPHA + BETA below 1");
            o.sprt = true;
            continue;
        }
        if (opz == "--threads") {
            o.fili = true;
            continue;
        }
        if (opz == "--quiet" || opz == "--swap-sides" || opz == "--tally" || opz == "--pairs") {
            (opz == "--quiet" ? o.silenzio : opz == "--swap-sides" ? o.scambia : opz == "--tally" ? o.conteggio : o.coppie) =
                true;
            continue;
        }
        if (opz == "--record" || opz == "--replay" || opz == "--resume") {
            if (i + 1 >= argc || a[i + 1].empty()) uso("missing file name after " + opz);
            (opz == "--record" ? o.registra : opz == "--replay" ? o.rigioca : o.riprendi) = a[++i];
            continue;
        }
        if (opz == "--merge") {
            while (i + 1 < argc && a[i + 1].compare(0, 2, "--") != 0) o.unisci.push_back(a[++i]);
            if (o.unisci.empty()) uso("--merge takes the game files of the shards");
            continue;
        }
        if (opz == "--shard" || opz == "--match") {
            if (i + 1 >= argc) uso("missing value after " + opz);
            const std::string v = a[++i];
            const std::size_t sep = v.find(opz == "--shard" ? '/' : '-');
            long long x = 0, y = 0;
            const bool scheda = opz == "--shard";
            if (sep == std::string::npos ||
                !intero(v.substr(0, sep).c_str(), scheda ? 1 : SKILL_MIN, scheda ? MAX_SCHEDE : SKILL_MAX, &x) ||
                !intero(v.substr(sep + 1).c_str(), scheda ? 1 : SKILL_MIN, scheda ? MAX_SCHEDE : SKILL_MAX, &y) ||
                (scheda && x > y))
                uso(scheda ? "--shard takes K/N, part K of N, 1 <= K <= N <= " + std::to_string(MAX_SCHEDE) + ", not \"" +
                                 v + "\""
                           : "--match takes the two skills of a round robin's match, as A-B, not \"" + v + "\"");
            (scheda ? o.scheda : o.solo_incontro[0]) = x;
            (scheda ? o.schede : o.solo_incontro[1]) = y;
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
        } else if (opz == "--game") {
            dove = &o.sola_partita, minimo = 1, massimo = MAX_PARTITE;
        } else if (opz == "--cpu") {
            dove = &o.nucleo, minimo = 0, massimo = CPU_SETSIZE - 1;
        } else {
            uso("unknown option " + opz);
        }
        if (i + 1 >= argc) uso("missing value after " + opz);
        if (!intero(a[++i].c_str(), minimo, massimo, dove))
            uso(opz + " takes a whole number from " + std::to_string(minimo) + " to " + std::to_string(massimo) +
                ", not \"" + a[i] + "\"");
    }
    auto data = [&date](const char* nome) { return std::find(date.begin(), date.end(), nome) != date.end(); };
    // Replaying and merging read their runs from the files.
    if (!o.rigioca.empty() || !o.unisci.empty()) {
        const char* come = !o.rigioca.empty() ? "--replay" : "--merge";
        if (!o.rigioca.empty() && !o.unisci.empty()) uso("--replay and --merge cannot go together");
        for (const std::string& d : date)
            if (d.compare(0, 2, "--") == 0 && d != come && d != "--record" && d != "--quiet" && d != "--jobs" &&
                (!o.unisci.empty() || (d != "--game" && d != "--match")))
                uso(std::string(come) + " takes its run from the file" + (o.unisci.empty() ? "" : "s") +
                    ": it cannot go with " + d);
        if (data("--match") && !data("--game")) uso("--match names the match of the game that --game replays");
        return o;
    }
    if (data("--game") || data("--match")) uso("--game and --match go with --replay");
    // Resuming takes the run from the file, and only how to play it from
    // the command line.
    if (!o.riprendi.empty()) {
        for (const std::string& d : date)
            if (d.compare(0, 2, "--") == 0 && d != "--resume" && d != "--jobs" && d != "--quiet" && d != "--threads")
                uso("--resume takes its run from the file: it cannot go with " + d);
    }
    if (o.prima - 1 + o.partite > MAX_PARTITE)
        uso("the games end after game " + std::to_string(MAX_PARTITE) + ": --first plus --games is too large");
    if (!o.torneo.empty()) {
        for (const char* escluse : {"--skill1", "--skill2", "--first", "--tally", "--each-game", "--sprt", "--cpu"})
            if (data(escluse)) uso(std::string("--round-robin cannot go with ") + escluse);
        o.scambia = true;
    }
    if (o.sprt && (data("--tally") || data("--first") || data("--each-game")))
        uso("--sprt plays a whole match: it cannot go with --tally, --first or --each-game");
    if (o.ogni_partita && !o.conteggio) uso("--each-game goes with --tally");
    if (o.coppie) {
        // Pairs are games 2p - 1 and 2p: a run plays whole ones, or one game.
        if (o.partite != 1 && (o.prima % 2 == 0 || o.partite % 2 == 1))
            uso("--pairs plays whole pairs of games: --first odd and --games even (or --games 1 for one game)");
        o.scambia = true;
    }
    if (!o.registra.empty() && o.conteggio) uso("--record cannot go with --tally");
    if (o.schede > 0) {
        if (o.sprt) uso("--shard cannot go with --sprt: the test takes the games in order, on one machine");
        if (o.registra.empty()) uso("--shard needs --record: --merge reads the shards' game files");
    }
    if (o.processi == 0) {
        // One process per core this program may run on.
        cpu_set_t insieme;
        long quanti = sched_getaffinity(0, sizeof insieme, &insieme) == 0 ? CPU_COUNT(&insieme)
                                                                          : sysconf(_SC_NPROCESSORS_ONLN);
        o.processi = std::clamp<long long>(quanti, 1, MAX_PROCESSI);
    }
    return o;
}

// A figure of --sprt as the run line writes it: the shortest that reads
// back as the same number.
std::string cifra(double v) {
    char buf[40];
    for (int cifre = 15; cifre <= 17; cifre++) {
        std::snprintf(buf, sizeof buf, "%.*g", cifre, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

}  // namespace

opzioni leggi_opzioni(int argc, char** argv) {
    // --help and --version answer whatever else the line holds.
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(testo_uso().c_str(), stdout);
            std::exit(std::fflush(stdout) == 0 ? 0 : 1);
        }
        if (a == "--version") {
            std::printf("partite %s\n", VORANDEL_VERSIONE);
            std::exit(std::fflush(stdout) == 0 ? 0 : 1);
        }
    }
    std::vector<std::string> date;
    try {
        return leggi(std::vector<std::string>(argv + 1, argv + argc), date);
    } catch (const rifiuto& r) {
        uso_ed_esci(r.perche);
    }
}

bool leggi_opzioni_run(const std::vector<std::string>& argomenti, opzioni* o, std::string* errore) {
    for (const std::string& a : argomenti)
        if (a.compare(0, 2, "--") == 0 && a != "--skill1" && a != "--skill2" && a != "--games" && a != "--seed" &&
            a != "--max-plies" && a != "--first" && a != "--swap-sides" && a != "--pairs" && a != "--sprt" &&
            a != "--round-robin") {
            *errore = a + " does not belong on a run line";
            return false;
        }
    std::vector<std::string> date;
    try {
        *o = leggi(argomenti, date);
    } catch (const rifiuto& r) {
        *errore = r.perche;
        return false;
    }
    return true;
}

std::string riga_run(const opzioni& o) {
    std::string r = "run";
    auto metti = [&r](const std::string& nome, long long v) { r += " " + nome + " " + std::to_string(v); };
    if (!o.torneo.empty()) {
        r += " --round-robin ";
        for (std::size_t i = 0; i < o.torneo.size(); i++) r += (i ? "," : "") + std::to_string(o.torneo[i]);
    } else {
        metti("--skill1", o.livello[0]);
        metti("--skill2", o.livello[1]);
    }
    metti("--games", o.partite);
    metti("--seed", o.seme);
    metti("--max-plies", o.max_semimosse);
    if (o.prima != 1) metti("--first", o.prima);
    if (o.coppie)
        r += " --pairs";
    else if (o.scambia && o.torneo.empty())
        r += " --swap-sides";
    if (o.sprt) r += " --sprt " + cifra(o.elo0) + " " + cifra(o.elo1) + " " + cifra(o.alfa) + " " + cifra(o.beta);
    return r;
}
