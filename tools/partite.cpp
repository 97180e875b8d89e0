// partite: plays games between two automatic players without a window,
// through the real match and the real worker, and reports the results the
// way engine-match tools do.
//
//   partite [--skill1 N] [--skill2 N] [--games N] [--seed N] [--max-plies N]
//           [--swap-sides] [--jobs N] [--first N] [--cpu N] [--tally] [--each-game]
//           [--quiet] [--sprt ELO0 ELO1 [ALPHA BETA]]
//   partite --round-robin SKILLS [--games N] [--seed N] [--max-plies N] [--jobs N] [--quiet]
//
// Player 1 is the match's player 0 (from the top left corner), Player 2 its
// player 1. The match alternates who begins from one game to the next, as in
// a tournament: game 1 is begun by Player 1, game 2 by Player 2, and so on.
// With --swap-sides the two skills change corners every two games (games 3
// and 4 of every four have the second skill in the top left corner), so each
// skill begins as often from each corner, and the results are reported from
// the first skill's point of view.
//
// Every game is a game of its own: its deal comes from a generator seeded
// with --seed and the game's number, and the search's pass flag, which
// otherwise carries from one search to the next, starts clear in every
// game. So a game's result depends only on the options and its number, the
// same options give the same games, and --first N --games 1 replays game N.
//
// --jobs N plays the games in N processes of this program, each one given a
// run of consecutive games (--first, --tally); the match keeps its state in
// statics, so one process plays one match. Their counts add up to the same
// table as one process would print; only the time lines differ.
//
// A game that reaches --max-plies moves is stopped and counted as
// unfinished (a draw for the Elo figures, as are the blocked games).
//
// --round-robin plays every pair of the skills listed (a range like 1-10, a
// list like 2,5,9, or both, like 1-3,7), --games games each, each skill
// from both corners, on every core, and prints the crosstable and one
// rating per skill fitted to all the games together (maximum likelihood,
// logistic Elo, a draw half a point, as Ordo fits them), the lowest skill
// at 0, with 95% error bars. Every pair plays the same deals.
//
// --sprt ELO0 ELO1 [ALPHA BETA] ends a two-skill match as soon as the
// sequential probability ratio test (as cutechess-cli runs it) accepts that
// the first skill is ELO0 or ELO1 Elo above the second; --games is then the
// most it plays. The games are taken in their order, whatever --jobs, so
// the same seed ends at the same game.
#include <windows.h>
#include <winstub.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "albero.h"
#include "comune.h"
#include "partita.h"
#include "posizioni.h"
#include "valutazione.h"

extern char** environ;

// The runner's own log, so that the game's "voran32.log" is left alone.
// Opened once the options are read: the processes of --jobs add their
// lines to the file that the first process emptied.
std::ofstream logfile;

namespace {

const char* const NOME_LOG = "partite.log";

struct risultati {
    long long vinte[2] = {0, 0};  // wins of the first and of the second skill
    long long angolo[2] = {0, 0};  // wins of Player 1 and of Player 2, whichever skill
    long long patte = 0;
    long long bloccate = 0;
    long long incompiute = 0;
    long long semimosse = 0;

    void aggiungi(const risultati& r) {
        for (int k = 0; k < 2; k++) {
            vinte[k] += r.vinte[k];
            angolo[k] += r.angolo[k];
        }
        patte += r.patte;
        bloccate += r.bloccate;
        incompiute += r.incompiute;
        semimosse += r.semimosse;
    }
};

struct opzioni {
    long long livello[2] = {5, 5};
    long long partite = 100;
    long long seme = 1;
    long long max_semimosse = 10000;
    long long prima = 1;  // number of the first game
    long long processi = 0;  // 0: one per core
    long long nucleo = -1;  // the core to run on; -1: the one it starts on
    bool scambia = false;
    bool conteggio = false;
    bool silenzio = false;
    bool ogni_partita = false;  // with --tally: one line per game too
    std::vector<int> torneo;  // the skills of --round-robin
    bool sprt = false;
    double elo0 = 0.0, elo1 = 0.0, alfa = 0.05, beta = 0.05;
};

constexpr long long MAX_PARTITE = 10000000;
constexpr long long MAX_PROCESSI = 256;

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

[[noreturn]] void guasto(const char* cosa) {
    std::fprintf(stderr, "\npartite: %s\n", cosa);
    std::exit(1);
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

// The seed of game `g`'s deal (games counted from 0): the two numbers mixed
// so that neighbouring games and neighbouring seeds get unrelated deals.
std::uint32_t seme_partita(long long seme, long long g) {
    std::uint64_t z = (static_cast<std::uint64_t>(seme) << 32) + static_cast<std::uint64_t>(g);
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<std::uint32_t>(z >> 32);
}

// Whether game `g` (from 0) has the skills exchanged between the corners.
bool scambiata(const opzioni& o, long long g) { return o.scambia && (g / 2) % 2 == 1; }

enum class esito { vittoria0, vittoria1, patta, blocco, incompiuta };

// One game, to its end or to the ply limit; `semimosse` gets its moves.
esito gioca(partita& game, HWND hWnd, long long max_semimosse, long long* semimosse) {
    game.ricomincia(hWnd);  // both players are automatic: the worker starts at once
    game.scarta_mosse_scadute(hWnd);  // as the main window does after a new game
    *semimosse = 0;
    for (;;) {
        MSG m;
        if (!winstub_attendi_messaggio(&m, hWnd, 600000)) guasto("no move came within ten minutes");
        switch (m.message) {
            case MSG_MOSSA:
                if (!game.esegui_mossa(hWnd, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)))
                    break;
                ++*semimosse;
                if (game.stato() == COMPUTER) {
                    if (*semimosse >= max_semimosse) return esito::incompiuta;
                    if (!game.mossa_macchina(hWnd)) guasto("the computer's search could not be started (see partite.log)");
                }
                break;
            case MSG_VITTORIA:
                return m.wParam == 0 ? esito::vittoria0 : esito::vittoria1;
            case MSG_PATTA:
                return esito::patta;
            case MSG_BLOCCO:
                return esito::blocco;
            default:
                break;
        }
    }
}

// One game's result added to the counts; `primo` is the first skill's
// corner in that game.
void conta(risultati& r, esito e, int primo, long long semimosse) {
    switch (e) {
        case esito::vittoria0:
            r.angolo[0]++;
            r.vinte[primo == 0 ? 0 : 1]++;
            break;
        case esito::vittoria1:
            r.angolo[1]++;
            r.vinte[primo == 1 ? 0 : 1]++;
            break;
        case esito::patta:
            r.patte++;
            break;
        case esito::blocco:
            r.bloccate++;
            break;
        case esito::incompiuta:
            r.incompiute++;
            break;
    }
    r.semimosse += semimosse;
}

// A game's result on the lines of --each-game.
const char ESITI[] = "01=bi";
char carattere(esito e) { return ESITI[static_cast<int>(e)]; }

// Plays games o.prima to o.prima + o.partite - 1 in this process.
risultati gioca_tutte(const opzioni& o) {
    // The one match, made once the stand-in's own objects exist.
    static partita game;
    HWND hWnd = winstub_nuova_finestra();
    // The workers of one match never run at once (each waits for the last
    // one's event): one kept thread runs them all, rather than a new thread
    // for every move.
    winstub_thread_tenuto(true);
    // The match's thread and the kept thread take turns, each waiting for
    // the other's message: on one core, the one that wakes the other hands
    // it that core at once, where on two it would have to wake another core
    // for every move.
    int nucleo = o.nucleo >= 0 ? static_cast<int>(o.nucleo) : sched_getcpu();
    if (nucleo >= 0) {
        cpu_set_t uno;
        CPU_ZERO(&uno);
        CPU_SET(nucleo, &uno);
        sched_setaffinity(0, sizeof uno, &uno);  // on failure the scheduler places the threads
    }
    // The match's board seeded the C library's generator with the time; the
    // deals come from the runner's own generator instead.
    plancia::estrai = estrazione;

    e_tipo tipi[2] = {COMPUTER, COMPUTER};
    const long long inizio = o.prima - 1;
    if (inizio % 2 == 1) {
        // The match alternates who begins, from Player 1 in its first game:
        // a run that starts at an even-numbered game lets it pass a turn
        // first, with nobody to start a search.
        e_tipo umani[2] = {UMANO, UMANO};
        int livelli[2] = {SKILL_MIN, SKILL_MIN};
        game.set_opzioni(umani, livelli);
        game.ricomincia(hWnd);
    }

    risultati r;
    int livelli[2] = {SKILL_MIN, SKILL_MIN};
    auto ultimo = std::chrono::steady_clock::now();
    for (long long g = inizio; g < inizio + o.partite; g++) {
        const int primo = scambiata(o, g) ? 1 : 0;  // the first skill's corner
        livelli[primo] = static_cast<int>(o.livello[0]);
        livelli[1 - primo] = static_cast<int>(o.livello[1]);
        game.set_opzioni(tipi, livelli);  // waits for the last game's worker
        semina_estrazioni(seme_partita(o.seme, g));
        albero::flag_stallo() = 0;

        long long semimosse = 0;
        esito e = gioca(game, hWnd, o.max_semimosse, &semimosse);
        conta(r, e, primo, semimosse);
        if (o.ogni_partita) std::printf("game %lld %c %lld\n", g + 1, carattere(e), semimosse);

        auto ora = std::chrono::steady_clock::now();
        long long fatte = g + 1 - inizio;
        if (!o.silenzio && o.partite >= 100 && (ora - ultimo > std::chrono::seconds(1) || fatte == o.partite)) {
            std::fprintf(stderr, "\r%lld/%lld games", fatte, o.partite);
            if (fatte == o.partite) std::fprintf(stderr, "\n");
            ultimo = ora;
        }
    }
    // The last worker may still be giving the match's event back after its
    // move ended the game: the options wait for it, so that nothing is left
    // running when the program ends.
    game.set_opzioni(tipi, livelli);
    return r;
}

// The one line of --tally, and its reading.
void scrivi_conteggio(const risultati& r) {
    std::printf("tally %lld %lld %lld %lld %lld %lld %lld %lld\n", r.vinte[0], r.vinte[1], r.angolo[0],
                r.angolo[1], r.patte, r.bloccate, r.incompiute, r.semimosse);
}

// The counts from a process's output: its last line.
bool leggi_conteggio(const std::string& testo, risultati* r) {
    std::size_t fine = testo.size();
    if (fine > 0 && testo[fine - 1] == '\n') fine--;
    std::size_t inizio = testo.rfind('\n', fine == 0 ? 0 : fine - 1);
    inizio = inizio == std::string::npos ? 0 : inizio + 1;
    std::string riga = testo.substr(inizio, fine - inizio);
    char resto = 0;
    return std::sscanf(riga.c_str(), "tally %lld %lld %lld %lld %lld %lld %lld %lld %c", &r->vinte[0], &r->vinte[1],
                       &r->angolo[0], &r->angolo[1], &r->patte, &r->bloccate, &r->incompiute, &r->semimosse,
                       &resto) == 8;
}

// One game as --each-game reports it.
struct partita_giocata {
    long long numero;  // from 1
    esito e;
    long long semimosse;
};

// The games of --each-game, in the order of the output: exactly the
// numbers prima to prima + quante - 1.
bool leggi_partite(const std::string& testo, long long prima, long long quante, std::vector<partita_giocata>* v) {
    v->clear();
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        std::size_t fine = testo.find('\n', inizio);
        if (fine == std::string::npos) fine = testo.size();
        std::string riga = testo.substr(inizio, fine - inizio);
        inizio = fine + 1;
        if (riga.compare(0, 5, "game ") != 0) continue;
        partita_giocata p{};
        char c = 0, resto = 0;
        if (std::sscanf(riga.c_str(), "game %lld %c %lld %c", &p.numero, &c, &p.semimosse, &resto) != 3) return false;
        const char* dove = std::strchr(ESITI, c);
        if (c == 0 || dove == nullptr) return false;
        p.e = static_cast<esito>(dove - ESITI);
        if (p.numero != prima + static_cast<long long>(v->size())) return false;
        v->push_back(p);
    }
    return static_cast<long long>(v->size()) == quante;
}

// This program, to be started again for each run of games.
std::string questo_programma(const char* argv0) {
    char percorso[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", percorso, sizeof percorso - 1);
    if (n > 0) return std::string(percorso, static_cast<std::size_t>(n));
    return argv0;
}

struct processo {
    pid_t pid = -1;
    int uscita = -1;  // the reading end of its standard output
    long long partite = 0;
    int nucleo = -1;
};

// The cores this program may run on.
std::vector<int> nuclei() {
    std::vector<int> v;
    cpu_set_t insieme;
    if (sched_getaffinity(0, sizeof insieme, &insieme) == 0)
        for (int c = 0; c < CPU_SETSIZE; c++)
            if (CPU_ISSET(c, &insieme)) v.push_back(c);
    return v;
}

// Starts one process for games prima to prima + quante - 1 between the
// skills `livello`, on core `nucleo` (-1: wherever it starts).
processo avvia(const std::string& programma, const opzioni& o, const long long livello[2], long long prima,
               long long quante, int nucleo) {
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0) guasto("no pipe for a process of --jobs");
    std::vector<std::string> argomenti = {programma,
                                          "--skill1", std::to_string(livello[0]),
                                          "--skill2", std::to_string(livello[1]),
                                          "--seed", std::to_string(o.seme),
                                          "--max-plies", std::to_string(o.max_semimosse),
                                          "--first", std::to_string(prima),
                                          "--games", std::to_string(quante),
                                          "--jobs", "1", "--tally", "--quiet"};
    if (o.scambia) argomenti.push_back("--swap-sides");
    if (o.sprt) argomenti.push_back("--each-game");
    if (nucleo >= 0) {
        argomenti.push_back("--cpu");
        argomenti.push_back(std::to_string(nucleo));
    }
    std::vector<char*> argv;
    for (std::string& a : argomenti) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_adddup2(&azioni, tubo[1], STDOUT_FILENO);
    processo p;
    int errore = posix_spawn(&p.pid, programma.c_str(), &azioni, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&azioni);
    close(tubo[1]);
    if (errore != 0) {
        close(tubo[0]);
        std::fprintf(stderr, "\npartite: could not start %s: %s\n", programma.c_str(), std::strerror(errore));
        p.pid = -1;
        return p;
    }
    p.uscita = tubo[0];
    p.partite = quante;
    p.nucleo = nucleo;
    return p;
}

std::string leggi_tutto(int fd) {
    std::string testo;
    char buf[4096];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            testo.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    return testo;
}

// A match between two skills: its games are counted from the first
// skill's point of view.
struct incontro {
    long long livello[2];
    risultati r;
};

// Where --sprt stopped: the games it took, their counts, the test.
struct fine_sprt {
    long long partite = 0;
    risultati r;
    prova_sprt prova;
    long long vinte = 0, perse = 0, pari = 0;
};

// Plays the games of the matches in o.processi processes, handing each a
// run of consecutive games of one match as the previous one ends, and adds
// up their counts. With --sprt (one match) the games are taken in order,
// one by one, until the test decides; the runs still being played then are
// stopped.
void gioca_in_processi(const opzioni& o, const char* argv0, std::vector<incontro>& incontri, fine_sprt* sprt) {
    const std::string programma = questo_programma(argv0);
    const long long per_incontro = o.partite;
    const long long n = per_incontro * static_cast<long long>(incontri.size());
    // Several runs per process, so that a process slowed down by other work
    // on the machine delays the end little; at least 25 games per run unless
    // that leaves a process idle. The test takes the games in order, so
    // under it the runs are shorter and it can stop soon after deciding.
    long long blocco = std::max((n + o.processi * 8 - 1) / (o.processi * 8),
                                std::min<long long>(25, (n + o.processi - 1) / o.processi));
    if (sprt != nullptr) blocco = std::min<long long>(blocco, 50);
    struct lotto {
        std::size_t incontro;
        long long prima, quante;
        bool fatto = false;
        std::vector<partita_giocata> partite;
    };
    std::vector<lotto> lotti;
    for (std::size_t k = 0; k < incontri.size(); k++)
        for (long long g = o.prima; g < o.prima + per_incontro; g += blocco)
            lotti.push_back(lotto{k, g, std::min(blocco, o.prima + per_incontro - g), false, {}});

    std::size_t prossimo = 0, in_ordine = 0;
    std::vector<std::pair<processo, std::size_t>> attivi;
    long long fatte = 0;
    bool fallito = false, deciso = false;
    // Each process on a core of its own, as long as there are cores: the
    // one whose process has ended goes to the next.
    const std::vector<int> tutti = nuclei();
    auto nucleo_libero = [&]() {
        if (tutti.empty() || o.processi > static_cast<long long>(tutti.size())) return -1;
        for (int c : tutti)
            if (std::none_of(attivi.begin(), attivi.end(), [c](const auto& a) { return a.first.nucleo == c; }))
                return c;
        return -1;
    };
    while (!fallito && !deciso && (prossimo < lotti.size() || !attivi.empty())) {
        while (!fallito && prossimo < lotti.size() && static_cast<long long>(attivi.size()) < o.processi) {
            const lotto& l = lotti[prossimo];
            processo p = avvia(programma, o, incontri[l.incontro].livello, l.prima, l.quante, nucleo_libero());
            if (p.pid < 0) {
                fallito = true;
                break;
            }
            attivi.emplace_back(p, prossimo++);
        }
        if (attivi.empty()) break;
        int stato = 0;
        pid_t finito = waitpid(-1, &stato, 0);
        if (finito < 0) {
            if (errno == EINTR) continue;
            guasto("lost track of the processes of --jobs");
        }
        auto it = std::find_if(attivi.begin(), attivi.end(), [finito](const auto& a) { return a.first.pid == finito; });
        if (it == attivi.end()) continue;
        std::string testo = leggi_tutto(it->first.uscita);
        close(it->first.uscita);
        lotto& l = lotti[it->second];
        risultati parte;
        if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0 || !leggi_conteggio(testo, &parte) ||
            (sprt != nullptr && !leggi_partite(testo, l.prima, l.quante, &l.partite))) {
            if (WIFSIGNALED(stato))
                std::fprintf(stderr, "\npartite: a process of --jobs ended by signal %d\n", WTERMSIG(stato));
            else
                std::fprintf(stderr, "\npartite: a process of --jobs failed (exit %d): %s\n",
                             WIFEXITED(stato) ? WEXITSTATUS(stato) : -1, testo.c_str());
            fallito = true;
        } else {
            incontri[l.incontro].r.aggiungi(parte);
            l.fatto = true;
            fatte += l.quante;
        }
        attivi.erase(it);
        // The test takes the games in their order, as far as they are in.
        for (; sprt != nullptr && !fallito && !deciso && in_ordine < lotti.size() && lotti[in_ordine].fatto;
             in_ordine++) {
            for (const partita_giocata& p : lotti[in_ordine].partite) {
                const int primo = scambiata(o, p.numero - 1) ? 1 : 0;
                risultati una;
                conta(una, p.e, primo, p.semimosse);
                sprt->r.aggiungi(una);
                sprt->partite++;
                sprt->vinte += una.vinte[0];
                sprt->perse += una.vinte[1];
                sprt->pari = sprt->partite - sprt->vinte - sprt->perse;
                sprt->prova = ::sprt(sprt->vinte, sprt->perse, sprt->pari, o.elo0, o.elo1, o.alfa, o.beta);
                if (sprt->prova.esito != verdetto::continua) {
                    deciso = true;
                    break;
                }
            }
        }
        if (!o.silenzio && n >= 100 && !fallito) {
            std::fprintf(stderr, "\r%lld/%lld games (%lld processes)", fatte, n, o.processi);
            if (fatte == n || deciso) std::fprintf(stderr, "\n");
        }
    }
    // A failure leaves the table incomplete; a decision leaves the games
    // after it unneeded.
    for (auto& a : attivi) {
        kill(a.first.pid, SIGTERM);
        waitpid(a.first.pid, nullptr, 0);
        close(a.first.uscita);
    }
    if (fallito) guasto("the games were not all played");
}

// Elo difference for a score share p.
double elo(double p) { return -400.0 * std::log10(1.0 / p - 1.0); }

// A signed figure with one decimal; a figure that rounds to zero is "+0.0",
// so an even score never reads as a loss.
std::string con_segno(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%+.1f", v);
    if (std::strcmp(buf, "-0.0") == 0) return "+0.0";
    return buf;
}

std::string elo_testo(double p) {
    if (p <= 0.0) return "-inf";
    if (p >= 1.0) return "+inf";
    return con_segno(elo(p));
}

// The table of one match of n games.
void stampa_tabella(const opzioni& o, const risultati& r, long long n, double secondi) {
    long long vinte = r.vinte[0], perse = r.vinte[1], pari = r.patte + r.bloccate + r.incompiute;
    double p = (vinte + pari / 2.0) / n;
    auto quota = [n](long long k) { return 100.0 * k / n; };

    std::string chi[2];
    std::string intervallo = o.prima == 1 ? "" : ", from game " + std::to_string(o.prima);
    if (o.scambia) {
        std::printf("Skill %lld vs skill %lld, each from both corners, %lld games%s, seed %lld\n\n", o.livello[0],
                    o.livello[1], n, intervallo.c_str(), o.seme);
        chi[0] = "first skill (" + std::to_string(o.livello[0]) + ")";
        chi[1] = "second skill (" + std::to_string(o.livello[1]) + ")";
    } else {
        std::printf("Player 1 (skill %lld) vs Player 2 (skill %lld), %lld games%s, seed %lld\n\n", o.livello[0],
                    o.livello[1], n, intervallo.c_str(), o.seme);
        chi[0] = "Player 1";
        chi[1] = "Player 2";
    }
    std::printf("%-24s %10s %8s\n", "result", "games", "share");
    std::printf("%-24s %10lld %7.1f%%\n", (chi[0] + " wins").c_str(), r.vinte[0], quota(r.vinte[0]));
    std::printf("%-24s %10lld %7.1f%%\n", (chi[1] + " wins").c_str(), r.vinte[1], quota(r.vinte[1]));
    std::printf("%-24s %10lld %7.1f%%\n", "draws by repetition", r.patte, quota(r.patte));
    std::printf("%-24s %10lld %7.1f%%\n", "blocked", r.bloccate, quota(r.bloccate));
    if (r.incompiute > 0)
        std::printf("%-24s %10lld %7.1f%%\n", "stopped at ply limit", r.incompiute, quota(r.incompiute));
    std::printf("\naverage length          %10.1f plies\n", static_cast<double>(r.semimosse) / n);
    std::printf("time                    %10.2f s\n", secondi);
    std::printf("games per second        %10.1f\n\n", secondi > 0 ? n / secondi : 0.0);

    if (o.scambia) {
        // The corners' own balance, whatever skill stood on them.
        std::printf("Corners, Player 1 vs Player 2: %lld - %lld - %lld  [%.3f]\n", r.angolo[0], r.angolo[1], pari,
                    (r.angolo[0] + pari / 2.0) / n);
    }
    // Elo from the first skill's side, blocked and stopped games counted as
    // draws: the error bar from the variance of the per-game score, the
    // likelihood of superiority from the decisive games.
    std::printf("Score of %s vs %s: %lld - %lld - %lld  [%.3f]  %lld\n", o.scambia ? "first skill" : "Player 1",
                o.scambia ? "second skill" : "Player 2", vinte, perse, pari, p, n);
    double varianza = (vinte * (1.0 - p) * (1.0 - p) + pari * (0.5 - p) * (0.5 - p) + perse * p * p) / n;
    double scarto = std::sqrt(varianza / n);
    double basso = p - 1.959963984540054 * scarto, alto = p + 1.959963984540054 * scarto;
    std::string errore = "n/a";
    if (p > 0.0 && p < 1.0 && basso > 0.0 && alto < 1.0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f", (elo(alto) - elo(basso)) / 2.0);
        errore = buf;
    }
    std::string los = "n/a";
    if (vinte + perse > 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.1f %%",
                      50.0 * (1.0 + std::erf((vinte - perse) / std::sqrt(2.0 * (vinte + perse)))));
        los = buf;
    }
    std::printf("Elo difference: %s +/- %s, LOS: %s, DrawRatio: %.1f %%\n", elo_testo(p).c_str(), errore.c_str(),
                los.c_str(), quota(pari));
}

// Where the test stood when the match ended.
void stampa_sprt(const opzioni& o, const fine_sprt& f) {
    const prova_sprt& t = f.prova;
    // How far the LLR has gone towards the bound on its side.
    double verso = t.llr >= 0 ? t.llr / t.alto : t.llr / -t.basso;
    const char* esito = t.esito == verdetto::accetta_h1   ? " - H1 was accepted"
                        : t.esito == verdetto::accetta_h0 ? " - H0 was accepted"
                                                          : " - no decision";
    std::printf("SPRT: llr %.3g (%.1f%%), lbound %.3g, ubound %.3g%s\n", t.llr, 100.0 * verso, t.basso, t.alto, esito);
    std::string ipotesi = t.esito == verdetto::accetta_h1   ? "H1, that the first skill is " + con_segno(o.elo1) + " Elo"
                          : t.esito == verdetto::accetta_h0 ? "H0, that the first skill is " + con_segno(o.elo0) + " Elo"
                                                            : "";
    if (t.esito == verdetto::continua)
        std::printf("SPRT: neither hypothesis accepted after %lld games (the most --games allows)\n", f.partite);
    else
        std::printf("SPRT: accepted %s after %lld games (alpha %g, beta %g)\n", ipotesi.c_str(), f.partite, o.alfa,
                    o.beta);
}

// The crosstable and the ratings of a round robin.
void stampa_torneo(const opzioni& o, const std::vector<incontro>& incontri, double secondi) {
    const std::vector<int>& abilita = o.torneo;
    const std::size_t k = abilita.size();
    auto posto = [&abilita](long long livello) {
        return static_cast<std::size_t>(std::find(abilita.begin(), abilita.end(), livello) - abilita.begin());
    };
    std::vector<std::vector<double>> punti(k, std::vector<double>(k, 0.0));
    std::vector<double> fatti(k, 0.0), pari(k, 0.0), giocate(k, 0.0), vinte(k, 0.0), perse(k, 0.0);
    std::vector<scontro> scontri;
    long long totale = 0, semimosse = 0;
    for (const incontro& c : incontri) {
        const risultati& r = c.r;
        std::size_t a = posto(c.livello[0]), b = posto(c.livello[1]);
        double patte = static_cast<double>(r.patte + r.bloccate + r.incompiute);
        double n = static_cast<double>(r.vinte[0] + r.vinte[1]) + patte;
        punti[a][b] = r.vinte[0] + patte / 2;
        punti[b][a] = r.vinte[1] + patte / 2;
        vinte[a] += static_cast<double>(r.vinte[0]);
        perse[a] += static_cast<double>(r.vinte[1]);
        vinte[b] += static_cast<double>(r.vinte[1]);
        perse[b] += static_cast<double>(r.vinte[0]);
        for (std::size_t x : {a, b}) {
            fatti[x] += punti[x][x == a ? b : a];
            pari[x] += patte;
            giocate[x] += n;
        }
        scontri.push_back(scontro{static_cast<int>(a), static_cast<int>(b), n, punti[a][b]});
        totale += static_cast<long long>(n);
        semimosse += r.semimosse;
    }

    std::string elenco;
    for (std::size_t i = 0; i < k; i++) elenco += (i ? "," : "") + std::to_string(abilita[i]);
    std::printf("Round robin of skills %s: %zu pairs, %lld games per pair, each skill from both corners, "
                "%lld games, seed %lld\n\n",
                elenco.c_str(), incontri.size(), o.partite, totale, o.seme);
    std::printf("Crosstable: points of the row's skill against the column's, %lld games each\n", o.partite);
    std::printf("skill");
    for (int a : abilita) std::printf(" %7d", a);
    std::printf("    games    wins   draws  losses   points   score  draw ratio\n");
    for (std::size_t i = 0; i < k; i++) {
        std::printf("%5d", abilita[i]);
        for (std::size_t j = 0; j < k; j++) {
            if (i == j)
                std::printf(" %7s", "-");
            else
                std::printf(" %7.1f", punti[i][j]);
        }
        std::printf(" %8.0f %7.0f %7.0f %7.0f %8.1f %6.1f%% %10.1f%%\n", giocate[i], vinte[i], pari[i], perse[i],
                    fatti[i], 100.0 * fatti[i] / giocate[i], 100.0 * pari[i] / giocate[i]);
    }
    std::printf("\naverage length          %10.1f plies\n", totale > 0 ? static_cast<double>(semimosse) / totale : 0.0);
    std::printf("time                    %10.2f s\n", secondi);
    std::printf("games per second        %10.1f\n\n", secondi > 0 ? totale / secondi : 0.0);

    // One rating per skill from all the games together.
    classifica c = stima_elo(static_cast<int>(k), scontri, 0);
    std::printf("Ratings: maximum likelihood, logistic Elo, a draw half a point (as Ordo); skill %d at 0; "
                "error: 95%%\n",
                abilita[0]);
    if (!c.finita) {
        std::printf("no finite ratings fit these games (a skill made every point or none)\n");
        return;
    }
    std::vector<std::size_t> ordine(k);
    for (std::size_t i = 0; i < k; i++) ordine[i] = i;
    std::stable_sort(ordine.begin(), ordine.end(), [&c](std::size_t x, std::size_t y) { return c.elo[x] > c.elo[y]; });
    std::printf("%4s %-10s : %8s %7s %9s %7s %6s %6s\n", "#", "PLAYER", "RATING", "ERROR", "POINTS", "PLAYED", "(%)",
                "DRAWS");
    for (std::size_t r = 0; r < k; r++) {
        std::size_t i = ordine[r];
        std::string nome = "skill " + std::to_string(abilita[i]);
        std::string errore = i == 0 ? "-" : [&] {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.1f", c.errore[i]);
            return std::string(buf);
        }();
        std::printf("%4zu %-10s : %8s %7s %9.1f %7.0f %6.1f %5.1f%%\n", r + 1, nome.c_str(), con_segno(c.elo[i]).c_str(),
                    errore.c_str(), fatti[i], giocate[i], 100.0 * fatti[i] / giocate[i], 100.0 * pari[i] / giocate[i]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    opzioni o = leggi_opzioni(argc, argv);
    // A round robin and a test always play in processes of their own, one
    // at a time with --jobs 1: each process plays one match.
    const bool in_processi = !o.torneo.empty() || o.sprt || (o.processi > 1 && o.partite > 1);
    // The first process empties the log; the processes it starts add to it.
    logfile.open(NOME_LOG, o.conteggio ? std::ios::out | std::ios::app : std::ios::out | std::ios::trunc);

    std::vector<incontro> incontri;
    if (o.torneo.empty()) {
        incontri.push_back(incontro{{o.livello[0], o.livello[1]}, risultati{}});
    } else {
        for (std::size_t i = 0; i < o.torneo.size(); i++)
            for (std::size_t j = i + 1; j < o.torneo.size(); j++)
                incontri.push_back(incontro{{o.torneo[i], o.torneo[j]}, risultati{}});
    }
    fine_sprt sprt;
    auto t0 = std::chrono::steady_clock::now();
    if (in_processi)
        gioca_in_processi(o, argv[0], incontri, o.sprt ? &sprt : nullptr);
    else
        incontri[0].r = gioca_tutte(o);
    double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    if (o.conteggio) {
        scrivi_conteggio(incontri[0].r);
    } else if (!o.torneo.empty()) {
        stampa_torneo(o, incontri, secondi);
    } else if (o.sprt) {
        stampa_tabella(o, sprt.r, sprt.partite, secondi);
        stampa_sprt(o, sprt);
    } else {
        stampa_tabella(o, incontri[0].r, o.partite, secondi);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
