// One game between two automatic players through the real match and the
// real worker, without a window: the stand-in's queue carries the match's
// messages.
#include "gioco.h"

#include <windows.h>
#include <winstub.h>

#include <sched.h>

#include <chrono>
#include <cstdio>

#include "albero.h"
#include "comune.h"
#include "partita.h"
#include "posizioni.h"

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

bool scambiata(const opzioni& o, long long g) { return o.scambia && (g / 2) % 2 == 1; }

namespace {

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

}  // namespace

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

