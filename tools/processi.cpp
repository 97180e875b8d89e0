// The processes of --jobs, started as the cores come free, and their
// reports read back and added up.
#include "processi.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "avanzamento.h"

extern char** environ;

std::vector<incontro> incontri_del_run(const opzioni& o) {
    std::vector<incontro> v;
    if (o.torneo.empty()) {
        v.push_back(incontro{{o.livello[0], o.livello[1]}, risultati{}});
    } else {
        for (std::size_t i = 0; i < o.torneo.size(); i++)
            for (std::size_t j = i + 1; j < o.torneo.size(); j++)
                v.push_back(incontro{{o.torneo[i], o.torneo[j]}, risultati{}});
    }
    return v;
}

std::vector<tratto> piano(const opzioni& o, std::size_t incontri) {
    std::vector<tratto> v;
    const long long per_incontro = (o.partite + 1) / 2;  // units of each match
    const long long unita = per_incontro * static_cast<long long>(incontri);
    long long da = 0, a = unita;
    if (o.schede > 0) {
        const long long base = unita / o.schede, resto = unita % o.schede, primi = o.schede - resto;
        da = (o.scheda - 1) * base + std::max(0LL, o.scheda - 1 - primi);
        a = da + base + (o.scheda > primi ? 1 : 0);
    }
    for (std::size_t k = 0; k < incontri; k++) {
        const long long u0 = std::max(da, static_cast<long long>(k) * per_incontro);
        const long long u1 = std::min(a, static_cast<long long>(k + 1) * per_incontro);
        if (u0 >= u1) continue;
        const long long base = static_cast<long long>(k) * per_incontro;
        const long long prima = o.prima + 2 * (u0 - base);
        const long long ultima = std::min(o.prima + 2 * (u1 - base), o.prima + o.partite);
        v.push_back(tratto{k, prima, ultima - prima});
    }
    return v;
}

void conta_partita(const opzioni& o, incontro& c, const partita_giocata& p) {
    conta(c.r, p.e, p.d.primo, p.semimosse);
    if (!o.coppie) return;
    const int punti = punti_doppi(p.e, p.d.primo);
    if (p.numero % 2 == 1)
        c.sospeso = punti;
    else if (c.sospeso >= 0)
        c.r.coppie[c.sospeso + punti]++, c.sospeso = -1;
}

bool fine_sprt::aggiungi(const opzioni& o, const partita_giocata& p) {
    incontro c{{0, 0}, r, sospeso};
    conta_partita(o, c, p);
    r = c.r;
    sospeso = c.sospeso;
    partite++;
    vinte = r.vinte[0];
    perse = r.vinte[1];
    pari = partite - vinte - perse;
    // With --pairs the test moves only when a pair is complete.
    if (o.coppie) {
        if (p.numero % 2 == 1) return false;
        prova = sprt_coppie(r.coppie, o.elo0, o.elo1, o.alfa, o.beta);
    } else {
        prova = ::sprt(vinte, perse, pari, o.elo0, o.elo1, o.alfa, o.beta);
    }
    return prova.esito != verdetto::continua;
}

void scrivi_conteggio(const opzioni& o, const risultati& r) {
    std::printf("tally %lld %lld %lld %lld %lld %lld %lld %lld", r.vinte[0], r.vinte[1], r.angolo[0], r.angolo[1],
                r.patte, r.bloccate, r.incompiute, r.semimosse);
    if (o.coppie) std::printf(" %lld %lld %lld %lld %lld", r.coppie[0], r.coppie[1], r.coppie[2], r.coppie[3], r.coppie[4]);
    std::printf("\n");
}

namespace {

volatile std::sig_atomic_t segnale = 0;
bool segnale_capo = false;
// Written to by the handler, so that a process waiting in poll wakes up.
int sveglia[2] = {-1, -1};

extern "C" void al_segnale(int s) {
    const int errore = errno;
    if (segnale == 0) {
        segnale = s;
        if (segnale_capo) {
            // The next one ends the program.
            struct sigaction sa {};
            sa.sa_handler = SIG_DFL;
            sigemptyset(&sa.sa_mask);
            sigaction(SIGINT, &sa, nullptr);
            sigaction(SIGTERM, &sa, nullptr);
        }
    }
    if (sveglia[1] >= 0) {
        const ssize_t scritto = write(sveglia[1], "s", 1);
        static_cast<void>(scritto);
    }
    errno = errore;
}

}  // namespace

void intercetta_segnali(bool capo) {
    segnale_capo = capo;
    if (capo && sveglia[0] < 0 && pipe2(sveglia, O_CLOEXEC | O_NONBLOCK) != 0) sveglia[0] = sveglia[1] = -1;
    struct sigaction sa {};
    sa.sa_handler = al_segnale;
    sigemptyset(&sa.sa_mask);
    sigaddset(&sa.sa_mask, SIGINT);
    sigaddset(&sa.sa_mask, SIGTERM);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

int segnale_arrivato() { return segnale; }

void nota_segnale(int s) {
    if (segnale == 0) segnale = s;
}

namespace {

// The counts from a process's output: its last line.
bool leggi_conteggio(const opzioni& o, const std::string& testo, risultati* r) {
    std::size_t fine = testo.size();
    if (fine > 0 && testo[fine - 1] == '\n') fine--;
    std::size_t inizio = testo.rfind('\n', fine == 0 ? 0 : fine - 1);
    inizio = inizio == std::string::npos ? 0 : inizio + 1;
    std::string riga = testo.substr(inizio, fine - inizio);
    char resto = 0;
    if (o.coppie)
        return std::sscanf(riga.c_str(), "tally %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %c",
                           &r->vinte[0], &r->vinte[1], &r->angolo[0], &r->angolo[1], &r->patte, &r->bloccate,
                           &r->incompiute, &r->semimosse, &r->coppie[0], &r->coppie[1], &r->coppie[2], &r->coppie[3],
                           &r->coppie[4], &resto) == 13;
    return std::sscanf(riga.c_str(), "tally %lld %lld %lld %lld %lld %lld %lld %lld %c", &r->vinte[0], &r->vinte[1],
                       &r->angolo[0], &r->angolo[1], &r->patte, &r->bloccate, &r->incompiute, &r->semimosse,
                       &resto) == 8;
}

// The games of --each-game, in the order of the output: exactly the
// numbers prima to prima + quante - 1 of the match `livello`, each line
// kept as written; with `tutte` false, the first of them, as many as a
// process cut short finished.
bool leggi_partite(const opzioni& o, const std::string& testo, const long long livello[2], long long prima,
                   long long quante, bool tutte, std::vector<partita_giocata>* v, std::vector<std::string>* righe) {
    v->clear();
    righe->clear();
    std::size_t inizio = 0;
    std::string perche;
    while (inizio < testo.size()) {
        std::size_t fine = testo.find('\n', inizio);
        if (fine == std::string::npos) fine = testo.size();
        std::string riga = testo.substr(inizio, fine - inizio);
        inizio = fine + 1;
        if (riga.compare(0, 5, "game ") != 0) continue;
        partita_giocata p;
        if (!leggi_riga_partita(riga, &p, &perche)) return false;
        if (p.numero != prima + static_cast<long long>(v->size()) || p.livello[0] != livello[0] ||
            p.livello[1] != livello[1])
            return false;
        // With one skill on both sides the corners cannot tell which side
        // is the first skill's: the run's order of corners does.
        if (p.livello[0] == p.livello[1]) p.d.primo = disposizione_partita(o, p.numero - 1).primo;
        v->push_back(p);
        righe->push_back(riga);
    }
    return tutte ? static_cast<long long>(v->size()) == quante : static_cast<long long>(v->size()) <= quante;
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
    if (o.coppie)
        argomenti.push_back("--pairs");
    else if (o.scambia)
        argomenti.push_back("--swap-sides");
    if (o.sprt || !o.registra.empty()) argomenti.push_back("--each-game");
    if (o.fili) argomenti.push_back("--threads");
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
        chiudi_riga_avanzamento(), std::fprintf(stderr, "partite: could not start %s: %s\n", programma.c_str(), std::strerror(errore));
        p.pid = -1;
        return p;
    }
    p.uscita = tubo[0];
    p.partite = quante;
    p.nucleo = nucleo;
    return p;
}

}  // namespace

fine_run gioca_in_processi(const opzioni& o, const char* argv0, std::vector<incontro>& incontri,
                           const std::vector<tratto>& tratti, fine_sprt* sprt, scrittore_partite* file) {
    const std::string programma = questo_programma(argv0);
    long long n = 0;
    for (const tratto& t : tratti) n += t.quante;
    // Several runs per process, so that a process slowed down by other work
    // on the machine delays the end little; at least 25 games per run unless
    // that leaves a process idle. The test takes the games in order, so
    // under it the runs are shorter and it can stop soon after deciding.
    // With --pairs a run holds whole pairs.
    long long blocco = std::max((n + o.processi * 8 - 1) / (o.processi * 8),
                                std::min<long long>(25, (n + o.processi - 1) / o.processi));
    if (sprt != nullptr) blocco = std::min<long long>(blocco, 50);
    if (o.coppie) blocco += blocco % 2;
    struct lotto {
        std::size_t incontro;
        long long prima, quante;
        long long finite = -1;  // the games its process finished; -1 until it reports
        std::vector<partita_giocata> partite;
        std::vector<std::string> righe;
    };
    std::vector<lotto> lotti;
    for (const tratto& t : tratti)
        for (long long g = t.prima; g < t.prima + t.quante; g += blocco)
            lotti.push_back(lotto{t.incontro, g, std::min(blocco, t.prima + t.quante - g), -1, {}, {}});
    const bool ogni_partita = sprt != nullptr || file != nullptr;
    avanzamento progresso(o.silenzio, n, "games", incontri.size() == 1);

    struct attivo {
        processo p;
        std::size_t lotto;
        std::string testo;  // what it has written so far
    };
    std::size_t prossimo = 0, in_ordine = 0;
    std::vector<attivo> attivi;
    long long fatte = 0;
    bool fallito = false, deciso = false, avvisati = false;
    fine_run esito;
    // The games of a run that are next in the run's order: into the test,
    // the counts and the file.
    auto prendi = [&](lotto& l, long long quante) {
        for (long long i = 0; i < quante && !deciso; i++) {
            const partita_giocata& p = l.partite[static_cast<std::size_t>(i)];
            if (sprt != nullptr) deciso = sprt->aggiungi(o, p);
            conta_partita(o, incontri[l.incontro], p);
            if (file != nullptr) file->scrivi(l.righe[static_cast<std::size_t>(i)]);
            esito.giocate++;
        }
        l.partite = {};
        l.righe = {};
    };
    // With --threads each process on a core of its own, as long as there
    // are cores (the one whose process has ended goes to the next), so that
    // its two threads hand each other that core; a process of one thread
    // is left to the scheduler.
    const std::vector<int> tutti = nuclei();
    auto nucleo_libero = [&]() {
        if (tutti.empty() || o.processi > static_cast<long long>(tutti.size())) return -1;
        for (int c : tutti)
            if (std::none_of(attivi.begin(), attivi.end(), [c](const attivo& a) { return a.p.nucleo == c; }))
                return c;
        return -1;
    };
    while (!fallito && !deciso && ((prossimo < lotti.size() && segnale_arrivato() == 0) || !attivi.empty())) {
        // Cut short: the processes are told, in case the signal came to
        // this one alone, and report what they finished.
        if (segnale_arrivato() != 0 && !avvisati) {
            avvisati = true;
            for (const attivo& a : attivi) kill(a.p.pid, SIGTERM);
        }
        while (!fallito && segnale_arrivato() == 0 && prossimo < lotti.size() &&
               static_cast<long long>(attivi.size()) < o.processi) {
            const lotto& l = lotti[prossimo];
            processo p = avvia(programma, o, incontri[l.incontro].livello, l.prima, l.quante,
                               o.fili ? nucleo_libero() : -1);
            if (p.pid < 0) {
                fallito = true;
                break;
            }
            attivi.push_back(attivo{p, prossimo++, {}});
        }
        if (attivi.empty()) break;
        // The processes' output is read as it comes, so that none waits on
        // a full pipe; a process is done when its output ends.
        std::vector<pollfd> attese;
        for (const attivo& a : attivi) attese.push_back(pollfd{a.p.uscita, POLLIN, 0});
        if (sveglia[0] >= 0) attese.push_back(pollfd{sveglia[0], POLLIN, 0});
        if (poll(attese.data(), attese.size(), -1) < 0) {
            if (errno == EINTR) continue;
            guasto("lost track of the processes of --jobs");
        }
        if (sveglia[0] >= 0 && attese.back().revents != 0) {
            char buf[64];
            while (read(sveglia[0], buf, sizeof buf) > 0) {
            }
        }
        std::size_t finito = attivi.size();
        for (std::size_t i = 0; i < attivi.size() && finito == attivi.size(); i++) {
            if (attese[i].revents == 0) continue;
            char buf[65536];
            ssize_t letti = read(attivi[i].p.uscita, buf, sizeof buf);
            if (letti > 0)
                attivi[i].testo.append(buf, static_cast<std::size_t>(letti));
            else if (letti == 0 || errno != EINTR)
                finito = i;
        }
        if (finito == attivi.size()) continue;
        attivo a = std::move(attivi[finito]);
        attivi.erase(attivi.begin() + static_cast<std::ptrdiff_t>(finito));
        close(a.p.uscita);
        int stato = 0;
        while (waitpid(a.p.pid, &stato, 0) < 0)
            if (errno != EINTR) guasto("lost track of the processes of --jobs");
        lotto& l = lotti[a.lotto];
        risultati parte;
        // A process cut short ends with 128 and the signal, after the games
        // it finished and their counts; one that a signal ended before it
        // could report finished none that count.
        const int uscita = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
        const int colpo = WIFSIGNALED(stato) ? WTERMSIG(stato) : 0;
        const bool tagliato = uscita == 128 + SIGINT || uscita == 128 + SIGTERM;
        if ((uscita == 0 || tagliato) && leggi_conteggio(o, a.testo, &parte) &&
            (!ogni_partita || leggi_partite(o, a.testo, incontri[l.incontro].livello, l.prima, l.quante, !tagliato,
                                            &l.partite, &l.righe))) {
            l.finite = tagliato ? parte.vinte[0] + parte.vinte[1] + parte.patte + parte.bloccate + parte.incompiute
                                : l.quante;
            if (ogni_partita && l.finite != static_cast<long long>(l.partite.size())) l.finite = -1, fallito = true;
            if (tagliato) nota_segnale(uscita - 128);
            if (!ogni_partita) incontri[l.incontro].r.aggiungi(parte), esito.giocate += l.finite;
            fatte += std::max(0LL, l.finite);
        } else if (colpo == SIGINT || colpo == SIGTERM || (colpo != 0 && segnale_arrivato() != 0)) {
            nota_segnale(colpo == SIGINT || colpo == SIGTERM ? colpo : segnale_arrivato());
            l.finite = 0;
        } else {
            fallito = true;
        }
        if (fallito) {
            chiudi_riga_avanzamento();
            if (colpo != 0)
                std::fprintf(stderr, "partite: a process of --jobs ended by signal %d\n", colpo);
            else
                std::fprintf(stderr, "partite: a process of --jobs failed (exit %d): %s\n", uscita, a.testo.c_str());
        }
        // The test and the game file take the games in their order, as far
        // as they are in.
        bool presi = false;
        for (; ogni_partita && !fallito && !deciso && in_ordine < lotti.size() &&
               lotti[in_ordine].finite == lotti[in_ordine].quante;
             in_ordine++)
            prendi(lotti[in_ordine], lotti[in_ordine].quante), presi = true;
        // What is in order is on disk, for a run killed outright.
        if (presi && file != nullptr) file->svuota();
        if (!fallito) {
            // The counts so far: the test's are those of the games it took,
            // in order.
            risultati finora;
            if (sprt != nullptr)
                finora = sprt->r;
            else
                for (const incontro& c : incontri) finora.aggiungi(c.r);
            progresso.segna(sprt != nullptr ? sprt->partite : ogni_partita ? esito.giocate : fatte, finora);
        }
    }
    if (!fallito) progresso.chiudi();
    // A failure leaves the table incomplete; a decision leaves the games
    // after it unneeded.
    for (attivo& a : attivi) {
        kill(a.p.pid, SIGTERM);
        waitpid(a.p.pid, nullptr, 0);
        close(a.p.uscita);
    }
    if (fallito) guasto("the games were not all played");
    if (deciso || std::all_of(lotti.begin(), lotti.end(), [](const lotto& l) { return l.finite == l.quante; }))
        return esito;  // whole, whatever came after
    // Cut short: the games in order up to the first one missing, in whole
    // pairs with --pairs; those after it are dropped.
    esito.segnale = segnale_arrivato() != 0 ? segnale_arrivato() : SIGTERM;
    if (ogni_partita && in_ordine < lotti.size() && lotti[in_ordine].finite > 0) {
        lotto& l = lotti[in_ordine];
        long long prese = l.finite - (o.coppie ? l.finite % 2 : 0);
        esito.scartate += l.finite - prese;
        prendi(l, prese);
        if (deciso) return fine_run{0, esito.giocate, 0};
        in_ordine++;
    }
    if (ogni_partita)
        for (std::size_t i = in_ordine; i < lotti.size(); i++) esito.scartate += std::max(0LL, lotti[i].finite);
    return esito;
}
