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
#include "archivio.h"
#include "avanzamento.h"
#include "comune.h"
#include "ispettori.h"
#include "partita.h"
#include "posizioni.h"
#include "processi.h"

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

disposizione disposizione_partita(const opzioni& o, long long g) {
    if (o.coppie) {
        const long long coppia = g / 2;
        return disposizione{seme_partita(o.seme, 2 * coppia), static_cast<int>(g % 2), static_cast<int>(coppia % 2)};
    }
    return disposizione{seme_partita(o.seme, g), scambiata(o, g) ? 1 : 0, static_cast<int>(g % 2)};
}

namespace {

// The one match of this process, made once the stand-in's own objects
// exist, with the window its messages go to.
partita& la_partita() {
    static partita game;
    return game;
}

HWND finestra() {
    static HWND hWnd = winstub_nuova_finestra();
    return hWnd;
}

// The match alternates who begins, from Player 1 in its first game, on
// every new game: the player the next one gives the turn to.
int prossimo_a_cominciare = 0;

// Makes `chi` begin the next game: when the match would give the turn to
// the other player, it passes a game first, with nobody to start a search.
void fa_cominciare(int chi) {
    if (prossimo_a_cominciare == chi) return;
    e_tipo umani[2] = {UMANO, UMANO};
    int livelli[2] = {SKILL_MIN, SKILL_MIN};
    la_partita().set_opzioni(umani, livelli);
    la_partita().ricomincia(finestra());
    prossimo_a_cominciare = 1 - prossimo_a_cominciare;
}

// A new game on the deal of seed `seme`, begun by its player.
void nuova_partita(std::uint32_t seme) {
    semina_estrazioni(seme);
    albero::flag_stallo() = 0;
    la_partita().ricomincia(finestra());
    prossimo_a_cominciare = 1 - prossimo_a_cominciare;
}

// One game, to its end or to the ply limit; `semimosse` gets its moves,
// and `mosse` (unless null) the directions moved and the passes.
esito gioca(partita& game, HWND hWnd, long long max_semimosse, long long* semimosse, std::string* mosse) {
    game.scarta_mosse_scadute(hWnd);  // as the main window does after a new game
    *semimosse = 0;
    partita_ispettore vista{game};
    for (;;) {
        // A search started since the last message (by the new game or by
        // the last move) runs here, on this thread, unless the workers have
        // threads of their own (--threads); its move is then in the queue.
        while (winstub_esegui_differito_qui(0)) {
        }
        MSG m;
        if (!winstub_attendi_messaggio(&m, hWnd, 600000)) guasto("no move came within ten minutes");
        switch (m.message) {
            case MSG_MOSSA: {
                const int chi = vista.turno(), indice = static_cast<int>(m.wParam);
                const char passo = indice >= 0 && indice < vista.n_lecite() ? static_cast<char>('0' + vista.direz()[indice])
                                                                            : '.';
                if (!game.esegui_mossa(hWnd, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)))
                    break;
                ++*semimosse;
                if (mosse != nullptr) {
                    mosse->push_back(passo);
                    // The other player could not move and passed.
                    if (vista.turno() == chi) mosse->push_back('.');
                }
                if (game.stato() == COMPUTER) {
                    if (*semimosse >= max_semimosse) return esito::incompiuta;
                    if (!game.mossa_macchina(hWnd)) guasto("the computer's search could not be started (see partite.log)");
                }
                break;
            }
            case MSG_VITTORIA:
                return m.wParam == 0 ? esito::vittoria0 : esito::vittoria1;
            case MSG_PATTA:
                return esito::patta;
            case MSG_BLOCCO:
                // The other player passed, and then neither could move.
                if (mosse != nullptr) mosse->push_back('.');
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

int punti_doppi(esito e, int primo) {
    switch (e) {
        case esito::vittoria0:
            return primo == 0 ? 2 : 0;
        case esito::vittoria1:
            return primo == 1 ? 2 : 0;
        default:
            return 1;
    }
}

risultati gioca_tutte(const opzioni& o) {
    partita& game = la_partita();
    HWND hWnd = finestra();
    // The workers of one match never run at once (each waits for the last
    // one's event), and the match only waits for each one's move: so each
    // worker runs on this thread as soon as its search is started, with no
    // thread to wake and no core to hand over. With --threads they run as
    // the game runs them, on a thread of their own: one kept thread runs
    // them all, rather than a new thread for every move. The same games
    // either way.
    if (o.fili)
        winstub_thread_tenuto(true);
    else
        winstub_thread_differiti(true);
    // With --threads the match's thread and the kept thread take turns,
    // each waiting for the other's message: on one core, the one that wakes
    // the other hands it that core at once, where on two it would have to
    // wake another core for every move. With one thread, the scheduler
    // places it (on a machine busy with other work, wherever a core is
    // free), unless --cpu names the core.
    int nucleo = o.nucleo >= 0 ? static_cast<int>(o.nucleo) : o.fili ? sched_getcpu() : -1;
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
    incontro c{{o.livello[0], o.livello[1]}, risultati{}};
    int livelli[2] = {SKILL_MIN, SKILL_MIN};
    avanzamento progresso(o.silenzio, o.partite, "games", true);
    partita_giocata p;
    p.livello[0] = o.livello[0];
    p.livello[1] = o.livello[1];
    for (long long g = inizio; g < inizio + o.partite; g++) {
        // Cut short (SIGINT, SIGTERM): the games finished are the report.
        if (segnale_arrivato() != 0) break;
        const disposizione d = disposizione_partita(o, g);
        fa_cominciare(d.comincia);
        livelli[d.primo] = static_cast<int>(o.livello[0]);
        livelli[1 - d.primo] = static_cast<int>(o.livello[1]);
        game.set_opzioni(tipi, livelli);  // waits for the last game's worker
        nuova_partita(d.seme);  // both players are automatic: the worker starts at once

        p.mosse.clear();
        p.e = gioca(game, hWnd, o.max_semimosse, &p.semimosse, o.ogni_partita ? &p.mosse : nullptr);
        p.numero = g + 1;
        p.d = d;
        conta_partita(o, c, p);
        if (o.ogni_partita) std::printf("%s\n", riga_partita(p).c_str());

        progresso.segna(g + 1 - inizio, c.r);
    }
    progresso.chiudi();
    // The last worker may still be giving the match's event back after its
    // move ended the game: the options wait for it, so that nothing is left
    // running when the program ends.
    game.set_opzioni(tipi, livelli);
    return c.r;
}

namespace {

// The end that the match has posted, if any: the message is taken from the
// queue.
bool fine_postata(esito* e) {
    MSG m;
    while (PeekMessageA(&m, finestra(), 0, 0, PM_REMOVE)) {
        if (m.message == MSG_VITTORIA) {
            *e = m.wParam == 0 ? esito::vittoria0 : esito::vittoria1;
            return true;
        }
        if (m.message == MSG_PATTA || m.message == MSG_BLOCCO) {
            *e = m.message == MSG_PATTA ? esito::patta : esito::blocco;
            return true;
        }
    }
    return false;
}

const char* const NOMI_FINE[] = {"a win for Player 1", "a win for Player 2", "a draw by repetition",
                                 "blocked", "stopped at the ply limit"};

}  // namespace

bool rigioca(const partita_giocata& p, long long max_semimosse, std::string* errore) {
    partita& game = la_partita();
    partita_ispettore vista{game};
    plancia::estrai = estrazione;
    fa_cominciare(p.d.comincia);
    e_tipo umani[2] = {UMANO, UMANO};
    int livelli[2];
    livelli[p.d.primo] = static_cast<int>(p.livello[0]);
    livelli[1 - p.d.primo] = static_cast<int>(p.livello[1]);
    game.set_opzioni(umani, livelli);
    nuova_partita(p.d.seme);
    esito fine = esito::incompiuta;
    bool finita = false;
    long long semimosse = 0;
    auto sbaglio = [&](std::size_t k, const std::string& cosa) {
        *errore = "move " + std::to_string(k + 1) + ": " + cosa;
        return false;
    };
    const char* nomi[2] = {"Player 1", "Player 2"};
    for (std::size_t k = 0; k < p.mosse.size(); k++) {
        const char c = p.mosse[k];
        if (finita) return sbaglio(k, std::string("the game had already ended, ") + NOMI_FINE[static_cast<int>(fine)]);
        if (semimosse >= max_semimosse)
            return sbaglio(k, "the game had already reached the ply limit of " + std::to_string(max_semimosse));
        if (c == '.') return sbaglio(k, "a pass where the rules make none (the player to move has a legal move)");
        const int chi = vista.turno();
        int indice = -1;
        for (int i = 0; i < vista.n_lecite(); i++)
            if (c == '0' + vista.direz()[i]) indice = i;
        if (indice < 0) {
            std::string lecite;
            for (int i = 0; i < vista.n_lecite(); i++) lecite += static_cast<char>('0' + vista.direz()[i]);
            return sbaglio(k, std::string("direction ") + c + " is not a legal move of " + nomi[chi] +
                                  " (the legal ones: " + lecite + ")");
        }
        game.esegui_mossa(finestra(), indice);
        semimosse++;
        finita = fine_postata(&fine);
        // A pass by the other player, made by the rules, comes next in the
        // file: after the move, when the mover is to move again or nobody
        // can move.
        if ((!finita && vista.turno() == chi) || (finita && fine == esito::blocco)) {
            if (k + 1 >= p.mosse.size() || p.mosse[k + 1] != '.')
                return sbaglio(k + 1, std::string(nomi[1 - chi]) + " had no legal move: a pass ('.') should follow");
            k++;
        }
    }
    if (!finita && semimosse >= max_semimosse) fine = esito::incompiuta, finita = true;
    if (!finita) {
        *errore = "the moves end before the game does (" + std::to_string(semimosse) + " moves)";
        return false;
    }
    if (semimosse != p.semimosse) {
        *errore = "the game has " + std::to_string(semimosse) + " moves, not the " + std::to_string(p.semimosse) +
                  " the line says";
        return false;
    }
    if (fine != p.e) {
        *errore = std::string("the game ended ") + NOMI_FINE[static_cast<int>(fine)] + ", not " +
                  NOMI_FINE[static_cast<int>(p.e)] + " as the line says";
        return false;
    }
    return true;
}
