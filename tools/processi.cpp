// The processes of --jobs, started as the cores come free, and their
// reports read back and added up.
#include "processi.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

extern char** environ;

void scrivi_conteggio(const risultati& r) {
    std::printf("tally %lld %lld %lld %lld %lld %lld %lld %lld\n", r.vinte[0], r.vinte[1], r.angolo[0],
                r.angolo[1], r.patte, r.bloccate, r.incompiute, r.semimosse);
}

namespace {

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

}  // namespace

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
