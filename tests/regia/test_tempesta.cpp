// A storm on the match, its worker and the main window's own decisions
// (`regia`, the same code MainProc calls): new games, new tournaments,
// Options, About, Help topics, Exit and close requests, "Stop tournament"
// (the button and S), pointer moves and clicks at random moments, ends and
// moves forged by another program, and posts that Windows refuses,
// interleaved with the window's queue, modal boxes and dialogs included,
// which keep dispatching the queue while they are open. Some boxes are
// closed from another program, and then their loop drops a queued message,
// of any kind: a move, an end of a game, the tournament's "New game", the
// end of a tournament. After each box the decisions put the game back into
// motion from its own state.
//
// The window's side here is only what MainProc shows, every entry of its
// `sportello`: the boxes and the Options dialog answered with seeded
// choices, the panel's tally, its end of a tournament and its button. Every
// queued message goes to the decisions as MainProc sends it (smista.h). A
// ledger of its own watches every turn and every game and fails the storm on
//   - a box or dialog opened while another is open (one at a time, whatever
//     is posted), checked as each opens and after every step;
//   - a halt: the computer to move, no move queued and none posted by a
//     worker within a generous wait; a tournament with no game on the board
//     and none coming; an ended game whose end nobody will take;
//   - a turn performed twice, or a move performed in a turn it was not made
//     for, or one that moves another token or along a direction not dealt;
//   - the end of a game taken twice, for another game, or saying another
//     result; a result tallied in another tournament;
//   - a tournament finished with tallies that do not add up to its games, or
//     ended before its last game with nobody stopping it.
//
// A storm is made by its seed alone: the user's choices, the deals, and the
// moments at which the computer's workers run. The stand-in keeps each
// worker that the match starts, and the storm runs it (on a thread of its
// own, to its end) at a step the seed chooses, or at once when the window
// must wait for it (a new game, new options): so a worker's move reaches the
// queue at seeded points, between any two messages, inside a box, just
// before a box drops a message, and a storm that fails replays exactly from
// the seed it prints. A halt is then certain, not guessed after a wait: the
// computer to move, no move queued and no worker left to run. For long runs
// VORANDEL_TEMPESTA_PASSI sets the steps of each storm and
// VORANDEL_TEMPESTA_SEME shifts its seed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <winstub.h>

#include "estrazioni.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "comandi.h"
#include "partita.h"
#include "posta.h"
#include "regia.h"
#include "smista.h"

namespace {

// Games in a tournament, as the main window plays them.
constexpr int GIOCHI_TORNEO = PARTITE_TORNEO;

long long da_ambiente(const char* nome, long long normale) {
    const char* v = std::getenv(nome);
    if (v == nullptr || *v == '\0') return normale;
    char* fine = nullptr;
    long long n = std::strtoll(v, &fine, 10);
    return (fine != v && *fine == '\0' && n > 0) ? n : normale;
}

// How stormy a storm is: the chance that a step is the user's doing rather
// than the queue's, changed every `fase` steps among three strengths, how
// often Options make a player automatic, and how often a box is closed from
// another program and drops a message.
struct clima {
    unsigned seme;
    long long passi;
    double venti[3];
    long long fase;
    double automatico;
    double perdita;
    double informazioni;   // how often a step opens the About box
    double consegna = 0.3;  // how often a step runs a worker that waits to run
    double rifiuti = 0.0;   // how often a step has Windows refuse the next few posts of a kind
};

// What a box's loop dropped, by kind.
enum { PERSA_MOSSA, PERSA_FINE, PERSA_NUOVA_PARTITA, PERSA_FINE_TORNEO, PERSA_ALTRO, TIPI_PERSI };
const char* const NOMI_PERSE[TIPI_PERSI] = {"a move", "an end of a game", "a tournament's next game",
                                            "an end of a tournament", "another message"};

struct conti {
    long long passi = 0, mosse = 0, rifiutate = 0, attese = 0, partite = 0, fini_prese = 0, fini_rifiutate = 0,
              scatole = 0, tornei = 0, tornei_completi = 0, tornei_fermati = 0, stop = 0, riprese = 0,
              lavoratori = 0, uscite = 0, aiuti = 0, falsi = 0, rifiuti = 0, sveglie = 0;
    long long perse[TIPI_PERSI] = {};
};

// What happened in a storm, in order: each message handled, each one a box
// dropped, each box and each worker run, as numbers. Two runs of one seed
// must give the same list.
using sequenza = std::vector<std::uint64_t>;
enum { EV_MESSAGGIO = 1, EV_PERSO, EV_SCATOLA, EV_LAVORATORE };

// The workers, kept by the stand-in and run at the storm's steps, or at once
// on this thread's wait for them (a new game, new options): while it lives,
// nothing a storm does depends on the machine's timing.
class lavoratori_a_comando {
public:
    lavoratori_a_comando() {
        principale = std::this_thread::get_id();
        winstub_thread_differiti(true);
        winstub_prima_di_attendere(prima_di_attendere);
    }
    ~lavoratori_a_comando() {
        tutti();
        winstub_prima_di_attendere(nullptr);
        winstub_thread_differiti(false);
    }
    lavoratori_a_comando(const lavoratori_a_comando&) = delete;
    lavoratori_a_comando& operator=(const lavoratori_a_comando&) = delete;
    static int in_attesa() { return winstub_differiti_in_attesa(); }
    // The `k`-th worker waiting to run (0 the oldest) runs to its end.
    static bool esegui(int k) { return winstub_esegui_differito(k); }
    static void tutti() {
        while (esegui(0)) {
        }
    }

private:
    // The window's thread is about to wait (for a worker: it waits for
    // nothing else): every worker waiting to run runs, oldest first.
    static void prima_di_attendere(HANDLE) {
        if (std::this_thread::get_id() == principale) tutti();
    }
    static inline std::atomic<std::thread::id> principale;
};

class finestra {
public:
    finestra(unsigned seme, double automatici, double perdita, double consegna = 0.3)
        : mazzo(seme), caso(seme), automatico(automatici), perdita(perdita), consegna(consegna) {
        e_tipo tipi[2] = {UMANO, UMANO};
        int livelli[2] = {1, 1};
        game.set_opzioni(tipi, livelli);
        game.ricomincia(w);  // the first game, as at start-up
        in_gioco();
    }
    // No worker may outlive the match it was started for: those still
    // waiting to run run now.
    ~finestra() {
        winstub_rifiuta_post(0, 0);
        lavoratori_a_comando::tutti();
        i.attendi_lavoratori();
    }
    finestra(const finestra&) = delete;
    finestra& operator=(const finestra&) = delete;

    void tempesta(const clima& c) {
        double vento = c.venti[0];
        for (long long passo = 0; passo < c.passi && !guasto; passo++) {
            n.passi++;
            if (passo % c.fase == 0) vento = c.venti[caso() % 3];
            if (passo % 1000 == 0) winstub_invalidazioni(w);  // nobody paints here
            if (uscito) {
                uscito = false;
                n.riprese += r.riprendi(w);
            }
            if (uno_su(c.informazioni))
                PostMessageA(w, WM_COMMAND, CMD_ABOUT, 0);
            else if (uno_su(c.rifiuti))
                rifiuta_post();
            else if (lavoratori_a_comando::in_attesa() > 0 && uno_su(consegna))
                lavora();
            else if (uno_su(vento))
                capriccio();
            else
                flusso();
            // Between two steps no box is open.
            if (profondita != 0 || r.occupata()) fallisci("a box is still open between two steps");
        }
    }

    // From now on every event is also kept in `eventi`, in order.
    void registra() { con_registro = true; }

    bool guasto = false;
    std::string perche;
    conti n;
    sequenza eventi;

private:
    lavoratori_a_comando a_comando;  // before the match: it outlives the match's workers
    bool da_player_0 = da_capo();     // before the deals begin
    estrazioni_fisse mazzo;           // the deals, from the seed
    partita game;
    partita_ispettore i{game};
    HWND w = finestra_prova();
    std::mt19937 caso;
    double automatico;  // how often Options make a player automatic
    double perdita;     // how often a box drops a message when it ends
    double consegna;    // how often a worker waiting to run runs, at a step or in a box
    bool con_registro = false;

    // The first game of a storm is begun by player 0, as the first game of a
    // run: whoever began the last game of the storm before, in this process.
    static bool da_capo() {
        partita prova;
        HWND f = finestra_prova();
        prova.ricomincia(f);
        if (partita_ispettore{prova}.turno() == 0) prova.ricomincia(f);
        return true;
    }

    void evento(int tipo, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (!con_registro) return;
        eventi.push_back(static_cast<std::uint64_t>(tipo) << 56 ^ static_cast<std::uint64_t>(msg & 0xFFFF) << 40 ^
                         static_cast<std::uint64_t>(wParam & 0xFF) << 32 ^
                         static_cast<std::uint64_t>(static_cast<std::uint32_t>(lParam)));
    }

    // One of the workers waiting to run, chosen by the seed (mostly the
    // oldest), runs to its end; its move, if it has one, is then queued.
    void lavora() {
        int quanti = lavoratori_a_comando::in_attesa();
        if (quanti == 0) return;
        int k = quanti > 1 && uno_su(0.3) ? static_cast<int>(caso() % static_cast<unsigned>(quanti)) : 0;
        n.lavoratori++;
        evento(EV_LAVORATORE, 0, static_cast<WPARAM>(k), quanti);
        lavoratori_a_comando::esegui(k);
    }

    // The boxes, the dialog and the panel, as MainProc shows them: every
    // entry of the window's `sportello`.
    static finestra& di(void* f) { return *static_cast<finestra*>(f); }
    static bool sp_domanda(void* f, HWND, int voce) { return di(f).domanda(voce); }
    static void sp_avviso(void* f, HWND, int voce) { static_cast<finestra*>(f)->avviso(voce); }
    static void sp_opzioni(void* f, HWND) { static_cast<finestra*>(f)->opzioni(); }
    static void sp_nuovo_torneo(void* f, int partite, std::uint32_t t) {
        static_cast<finestra*>(f)->torneo_nel_pannello(partite, t);
    }
    static void sp_vittoria(void* f, int p, std::uint32_t t) { static_cast<finestra*>(f)->risultato(2 * p, p, t); }
    static void sp_patta(void* f, std::uint32_t t) { static_cast<finestra*>(f)->risultato(1, -1, t); }
    static std::uint32_t sp_fermato(void* f) { return static_cast<finestra*>(f)->fermato_pannello; }
    static void sp_ridisegna(void* f, HWND) { static_cast<finestra*>(f)->in_gioco(); }
    static void sp_finito(void* f, std::uint32_t t) { di(f).torneo_finito(t); }
    static void sp_bilancia(void* f, HWND) { di(f).bilanciata = true; }
    static void sp_informazioni(void* f, HWND) { di(f).modale(); }
    static void sp_aiuto(void* f, HWND) {
        di(f).n.aiuti++;
        di(f).modale();
    }
    // Yes to "Are you sure?": the program would end here, with nothing put
    // back into motion. The storm goes on instead, as a program started
    // again would, from the game's state: at the next step.
    static void sp_esci(void* f) {
        di(f).n.uscite++;
        di(f).uscito = true;
    }
    static bool sp_ferma(void* f) { return di(f).stop(); }
    const sportello voci{this, sp_domanda, sp_avviso, sp_opzioni, sp_nuovo_torneo, sp_vittoria, sp_patta,
                         sp_fermato, sp_ridisegna, sp_finito, sp_bilancia, sp_informazioni, sp_aiuto, sp_esci,
                         sp_ferma};
    const bool voci_piene = pieno(voci);  // checked by every storm
    regia r{game, voci};

    // The panel's own state: the tallies, the games it still counts, the
    // tournament it counts for and the one its button last stopped.
    int stats[3] = {0, 0, 0};
    int restanti = 0;
    std::uint32_t torneo_pannello = 0, fermato_pannello = 0;
    int profondita = 0;  // boxes and dialogs open, one inside the other
    bool ultima_tallita = false;  // a tournament's last result has just been tallied
    bool perdi_subito = false;    // the next box is closed from outside at once and drops a message
    bool uscito = false;          // "Are you sure?" answered Yes: the game goes on from its state
    bool bilanciata = false;      // the balance bar brought up to date
    int rifiuti_visti = 0;        // posts refused by the stand-in, as last seen by the timer

    // The ledger.
    std::uint32_t ultimo_turno = 0;    // the last turn performed
    std::uint32_t ultima_finita = 0;   // the game that has just ended
    int vincitore_finita = -1;         // its winner, -1 for a draw or a block
    bool fine_da_prendere = false;     // its end not yet taken, no game since
    std::uint32_t torneo_in_gioco = 0; // the tournament of the game on the board
    std::uint32_t ultimo_torneo = 0;   // the last tournament begun
    bool fermato = false;              // "Stop tournament" pressed in it
    int contati = 0;                   // results it has tallied

    bool uno_su(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(caso) < p; }

    void fallisci(const std::string& cosa) {
        if (guasto) return;
        guasto = true;
        std::ostringstream s;
        s << "step " << n.passi << ": " << cosa << " (game " << game.numero_partita() << ", turn " << game.firma()
          << ", player to move " << int{i.turno()} << ", tournament " << r.torneo() << " with games left "
          << r.partite() << ")";
        perche = s.str();
    }

    // ------------------------------------------------ the queue, as MainProc

    // One step of the queue's own flow, or of a user who plays along: the
    // next message; the computer's move, waited for; a human's click on one
    // of its targets; a new game or tournament when none is on.
    void flusso() {
        MSG m;
        if (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) {
            gestisci(m);
            return;
        }
        // The queue is empty: Windows makes the timer's message now. It is
        // needed once a post has been refused; otherwise it ticks at random
        // (capriccio), so that what the boxes' recovery does is seen too.
        if (winstub_post_rifiutati() != rifiuti_visti) {
            rifiuti_visti = winstub_post_rifiutati();
            timer();
            return;
        }
        if (r.partite() > 0 && game.stato() == FERMO) {
            fallisci("a tournament is running with no game on the board and none coming");
            return;
        }
        if (fine_da_prendere) {
            std::ostringstream s;
            s << "game " << ultima_finita << " has ended and its end is not coming";
            fallisci(s.str());
            return;
        }
        switch (game.stato()) {
        case COMPUTER:
            n.attese++;
            if (lavoratori_a_comando::in_attesa() == 0) {
                fallisci("halted: the computer is to move, no move is queued and no worker is left to post one");
                return;
            }
            lavora();
            break;
        case UMANO:
            clic_su_bersaglio();
            break;
        default:
            if (uno_su(0.5))
                r.nuovo_torneo(w);
            else
                r.nuova_partita(w);
            break;
        }
    }

    // MainProc's dispatch (smista), with the ledger's own checks around a
    // move and an end.
    void gestisci(const MSG& m) {
        evento(EV_MESSAGGIO, m.message, m.wParam, m.lParam);
        switch (m.message) {
        case MSG_MOSSA:
            mossa_postata(m);
            break;
        case MSG_VITTORIA:
        case MSG_BLOCCO:
        case MSG_PATTA:
            if (!smista(r, w, m)) n.fini_rifiutate++;
            if (ultima_tallita) {
                // The tournament's last result is tallied and its end queued.
                // Now and then About was asked for just before, and is closed
                // from another program at once: its loop drops the end of
                // the tournament.
                ultima_tallita = false;
                if (uno_su(perdita)) {
                    perdi_subito = true;
                    n.riprese += r.informazioni(w);
                    perdi_subito = false;
                }
            }
            break;
        default:
            smista(r, w, m);
            break;
        }
    }

    // The window's timer, as Windows makes it when the queue is empty.
    void timer() {
        n.sveglie++;
        MSG t{};
        t.hwnd = w;
        t.message = WM_TIMER;
        t.wParam = TIMER_RIPRESA;
        evento(EV_MESSAGGIO, t.message, t.wParam, 0);
        n.riprese += smista(r, w, t);
    }

    // Windows refuses the next few posts of one kind (a queue filled by
    // another program): a computer's move, an end of a game, the
    // tournament's next game, the end of a tournament.
    void rifiuta_post() {
        static const UINT tipi[] = {MSG_MOSSA, MSG_VITTORIA, MSG_PATTA, MSG_BLOCCO, WM_COMMAND, MSG_FINE_TORNEO};
        n.rifiuti++;
        winstub_rifiuta_post(tipi[caso() % 6], 1 + static_cast<int>(caso() % (2 * TENTATIVI_POST)));
    }

    // A modal box or dialog: the queue goes on being worked until the user
    // answers, the computer's moves included. A box closed from another
    // program takes one more message after it has ended and drops it: here
    // any one of those queued, of any kind. The decisions' recovery follows
    // in the caller. Only one box is ever open: one that opens inside
    // another fails the storm.
    void modale() {
        n.scatole++;
        evento(EV_SCATOLA, 0, static_cast<WPARAM>(profondita), 0);
        if (!voci_piene) fallisci("the storm's window leaves an entry of its sportello empty");
        if (profondita != 0 || !r.occupata()) {
            std::ostringstream s;
            s << "a box opened with " << profondita << " already open"
              << (r.occupata() ? "" : ", and the decisions do not count it as open");
            fallisci(s.str());
            return;
        }
        profondita++;
        if (perdi_subito) {
            perdi_subito = false;
            perdi_un_messaggio();
            profondita--;
            return;
        }
        int quanti = static_cast<int>(caso() % 5);
        for (int k = 0; k < quanti && !guasto; k++) {
            if (uno_su(consegna)) lavora();  // the computer moves while the box is open
            MSG m;
            bool c = PeekMessageA(&m, w, 0, 0, PM_REMOVE) != FALSE;
            if (!c && game.stato() == COMPUTER && lavoratori_a_comando::in_attesa() > 0) {
                lavora();
                c = PeekMessageA(&m, w, 0, 0, PM_REMOVE) != FALSE;
            }
            if (!c) break;
            gestisci(m);
        }
        if (uno_su(perdita)) {
            // Now and then the box stays open while the computer thinks, so
            // that its move is queued, and may be the one lost, when it ends.
            MSG m;
            if (game.stato() == COMPUTER && uno_su(0.5) && !PeekMessageA(&m, w, 0, 0, PM_NOREMOVE)) lavora();
            perdi_un_messaggio();
        }
        profondita--;
    }

    void perdi_un_messaggio() {
        std::vector<MSG> coda;
        MSG m;
        while (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) coda.push_back(m);
        if (coda.empty()) return;
        // Mostly the first, as a box's loop takes it; now and then another,
        // so that every kind is lost at every moment.
        std::size_t via = uno_su(0.5) ? 0 : caso() % coda.size();
        const MSG& persa = coda[via];
        int tipo = persa.message == MSG_MOSSA ? PERSA_MOSSA
                   : persa.message == MSG_VITTORIA || persa.message == MSG_PATTA || persa.message == MSG_BLOCCO
                       ? PERSA_FINE
                   : persa.message == WM_COMMAND && (persa.wParam & 0xFFFF) == CMD_NUOVA_PARTITA && persa.lParam != 0
                       ? PERSA_NUOVA_PARTITA
                   : persa.message == MSG_FINE_TORNEO ? PERSA_FINE_TORNEO
                                                      : PERSA_ALTRO;
        n.perse[tipo]++;
        evento(EV_PERSO, persa.message, persa.wParam, persa.lParam);
        for (std::size_t k = 0; k < coda.size(); k++)
            if (k != via) PostMessageA(w, coda[k].message, coda[k].wParam, coda[k].lParam);
    }

    // A question ("Are you sure?"), answered Yes mostly; leaving the game
    // ("Exit", a close request) now and then.
    bool domanda(int voce) {
        modale();
        return voce == VOCE_CHIUDI ? uno_su(0.2) : uno_su(0.8);
    }

    // The "End" box outside a tournament.
    void avviso(int voce) {
        prendi_fine(voce == VOCE_VITTORIA ? 2 * vincitore_finita : 1, voce == VOCE_VITTORIA);
        if (vincitore_finita >= 0 && voce != VOCE_VITTORIA)
            fallisci("a won game's box says it was not won");
        modale();
    }

    // The Options dialog: open while the queue goes on, then OK with kinds
    // and skills of the user's choice, or Cancel.
    void opzioni() {
        e_tipo tipi[2];
        int livelli[2];
        game.get_opzioni(tipi, livelli);
        for (int p = 0; p < 2; p++) {
            tipi[p] = uno_su(automatico) ? COMPUTER : UMANO;
            livelli[p] = 1 + static_cast<int>(caso() % 3);
        }
        modale();
        if (!uno_su(0.1)) game.set_opzioni(tipi, livelli, w);  // OK, else Cancel
    }

    // A new game is on the board: the end of the previous one is no longer
    // to be taken, and the game belongs to the tournament running now.
    void in_gioco() {
        fine_da_prendere = false;
        torneo_in_gioco = r.partite() > 0 ? r.torneo() : 0;
        n.partite++;
    }

    void torneo_nel_pannello(int partite, std::uint32_t t) {
        if (t <= ultimo_torneo) fallisci("a new tournament took the number of an earlier one");
        ultimo_torneo = t;
        fermato = false;
        contati = 0;
        n.tornei++;
        stats[0] = stats[1] = stats[2] = 0;
        restanti = partite;
        torneo_pannello = t;
    }

    // The end of the game on the board, taken: once, for that game, saying
    // its result (`colonna`: 0 player 1 won, 2 player 2, 1 neither).
    void prendi_fine(int colonna, bool vinta) {
        n.fini_prese++;
        std::ostringstream s;
        if (!fine_da_prendere || game.numero_partita() != ultima_finita) {
            s << "the end of game " << game.numero_partita() << " was taken, ";
            if (fine_da_prendere)
                s << "but game " << ultima_finita << " is the one that has just ended";
            else
                s << "but no game's end is waiting to be taken";
        } else if (vincitore_finita >= 0 && (!vinta || colonna != 2 * vincitore_finita)) {
            s << "game " << ultima_finita << " was won by player " << vincitore_finita << ", but its end says otherwise";
        } else if (vincitore_finita < 0 && vinta) {
            s << "game " << ultima_finita << " ended with no winner, but its end names a winner";
        }
        if (!s.str().empty()) fallisci(s.str());
        fine_da_prendere = false;
    }

    // A tournament's result, tallied in the panel for tournament `torneo`.
    void risultato(int colonna, int vincitore, std::uint32_t torneo) {
        prendi_fine(colonna, vincitore >= 0);
        if (r.partite() <= 0 || torneo_in_gioco != r.torneo() || torneo != r.torneo()) {
            std::ostringstream d;
            d << "game " << ultima_finita << " of tournament " << torneo_in_gioco << " was tallied in tournament "
              << r.torneo() << " (told to the panel as " << torneo << ") with " << r.partite() << " games left";
            fallisci(d.str());
            return;
        }
        contati++;
        if (restanti > 0) {
            stats[colonna]++;
            restanti--;
        }
        if (contati > GIOCHI_TORNEO) fallisci("a tournament tallied more results than games");
        if (contati == GIOCHI_TORNEO) {
            fine_del_torneo();
            ultima_tallita = true;
        }
    }

    // A tournament that has played its last game: 15 results tallied, and
    // the panel shows them all, unless "Stop tournament" took the panel's
    // count away first.
    void fine_del_torneo() {
        if (fermato) {
            n.tornei_fermati++;
            return;
        }
        n.tornei_completi++;
        int somma = stats[0] + stats[1] + stats[2];
        if (somma != GIOCHI_TORNEO || restanti != 0 || r.partite() != 1) {
            std::ostringstream s;
            s << "tournament " << r.torneo() << " tallied " << contati << " results with " << r.partite()
              << " games left; the panel adds up to " << somma << " with " << restanti << " games left";
            fallisci(s.str());
        }
    }

    void mossa_postata(const MSG& m) {
        const std::uint32_t turno_prima = game.firma();
        const int chi = i.turno();
        const int lecite = i.n_lecite();
        unsigned x[2], y[2];
        i.ped(0).get_pos(&x[0], &y[0]);
        i.ped(1).get_pos(&x[1], &y[1]);
        std::uint8_t direz[3] = {i.direz()[0], i.direz()[1], i.direz()[2]};
        const int indice = static_cast<int>(m.wParam);

        r.mossa(w, m.wParam, m.lParam);

        // Performed or not, as seen from outside: a turn taken, the player
        // to move changed, or a token moved.
        unsigned ora[2][2];
        i.ped(0).get_pos(&ora[0][0], &ora[0][1]);
        i.ped(1).get_pos(&ora[1][0], &ora[1][1]);
        bool mosso = ora[0][0] != x[0] || ora[0][1] != y[0] || ora[1][0] != x[1] || ora[1][1] != y[1];
        if (game.firma() == turno_prima && i.turno() == chi && !mosso) {
            n.rifiutate++;
            return;
        }
        n.mosse++;
        std::ostringstream s;
        if (static_cast<std::uint32_t>(m.lParam) != turno_prima)
            s << "a move made for turn " << static_cast<std::uint32_t>(m.lParam) << " was performed in turn "
              << turno_prima;
        else if (turno_prima <= ultimo_turno)
            s << "turn " << turno_prima << " was performed twice";
        else if (chi != 0 && chi != 1)
            s << "a move was performed with no game in progress";
        else if (indice >= lecite)
            s << "move " << indice << " performed, with " << lecite << " legal moves";
        if (!s.str().empty()) {
            fallisci(s.str());
            return;
        }
        ultimo_turno = turno_prima;
        // Only the mover's token moves, one step along a direction of its turn.
        for (int p = 0; p < 2; p++) {
            unsigned ax = x[p], ay = y[p];
            if (p == chi && indice >= 0) {
                ax += static_cast<unsigned>(G_direzioni[direz[indice]][0]);
                ay += static_cast<unsigned>(G_direzioni[direz[indice]][1]);
            }
            unsigned ox = ora[p][0], oy = ora[p][1];
            if (ox != ax || oy != ay) {
                std::ostringstream d;
                d << "player " << p << "'s token went to (" << ox << ", " << oy << "), not (" << ax << ", " << ay
                  << ")";
                fallisci(d.str());
                return;
            }
        }
        if (game.stato() == FERMO) {
            // This move ended the game: its end is now to be taken, once.
            ultima_finita = game.numero_partita();
            vincitore_finita = i.ped(0).vittoria() ? 0 : i.ped(1).vittoria() ? 1 : -1;
            fine_da_prendere = true;
        }
    }

    // The panel told that tournament `t` is over: only the running one, after
    // its last game or once stopped.
    void torneo_finito(std::uint32_t t) {
        if (t != r.torneo() || t != torneo_pannello) fallisci("the panel was told another tournament ended");
        if (!fermato && contati < GIOCHI_TORNEO) {
            std::ostringstream s;
            s << "tournament " << t << " ended after " << contati << " of its games, and nobody stopped it";
            fallisci(s.str());
        }
        restanti = 0;
    }

    // The panel's "Stop tournament" button (or S); false when it could do
    // nothing.
    bool stop() {
        if (restanti == 0) return false;
        PostMessageA(w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(torneo_pannello));
        restanti = 0;
        fermato_pannello = torneo_pannello;
        if (torneo_pannello == r.torneo()) fermato = true;
        n.stop++;
        return true;
    }

    // ------------------------------------------------------------ the user

    POINT punto_a_caso() {
        return POINT{static_cast<LONG>(caso() % 700), static_cast<LONG>(caso() % 480)};
    }

    POINT su_un_bersaglio() {
        int k = i.n_lecite();
        if (k <= 0) return punto_a_caso();
        const RECT& b = i.lecita()[caso() % static_cast<unsigned>(k)];
        return POINT{b.left + static_cast<LONG>(caso() % 53), b.top + static_cast<LONG>(caso() % 52)};
    }

    void clic_su_bersaglio() {
        POINT p = su_un_bersaglio();
        game.mossa_uomo(w, p, 0);  // the pointer arrives, then the button
        game.mossa_uomo(w, p, MK_LBUTTON);
    }

    // Something the user does at a moment of its own choosing, or a
    // message that somebody else posts with a number that is not the one in
    // play.
    void capriccio() {
        switch (caso() % 16) {
        case 0:
        case 1:
        case 2:
            game.mossa_uomo(w, uno_su(0.5) ? punto_a_caso() : su_un_bersaglio(), 0);
            break;
        case 3:
        case 4:
            game.mossa_uomo(w, uno_su(0.5) ? punto_a_caso() : su_un_bersaglio(), MK_LBUTTON);
            break;
        case 5:
            PostMessageA(w, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
            break;
        case 6:
            PostMessageA(w, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
            break;
        case 7:
        case 8:
            PostMessageA(w, WM_COMMAND, CMD_OPZIONI, 0);
            break;
        case 9:
            stop();
            break;
        case 10:
            estraneo();
            break;
        case 11:
            PostMessageA(w, WM_COMMAND, caso() % 2 ? CMD_AIUTO : CMD_ESCI, 0);
            break;
        case 12:
            PostMessageA(w, WM_CLOSE, 0, 0);
            break;
        case 13:
            falso();
            break;
        case 14:
            timer();
            break;
        default:
            flusso();
            break;
        }
    }

    // Another program that posts an end with the numbers in play: the
    // running tournament's end, or the end of the game that has just ended
    // (or is on the board) with another winner or kind. None may be taken.
    void falso() {
        n.falsi++;
        std::uint32_t numero = game.numero_partita();
        UINT propria = 0;
        WPARAM vincitore = 0;
        game.fine_da_prendere(&propria, &vincitore);
        switch (caso() % 3) {
        case 0:
            PostMessageA(w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(r.torneo()));
            break;
        case 1:
            if (propria == MSG_VITTORIA)
                PostMessageA(w, MSG_VITTORIA, 1 - vincitore, static_cast<LPARAM>(numero));
            else
                PostMessageA(w, MSG_VITTORIA, caso() % 2, static_cast<LPARAM>(numero));
            break;
        default:
            PostMessageA(w, propria == MSG_PATTA ? MSG_BLOCCO : MSG_PATTA, 0, static_cast<LPARAM>(numero));
            break;
        }
    }

    void estraneo() {
        std::uint32_t numero = game.numero_partita(), turno = game.firma(), torneo = r.torneo();
        std::uint32_t altro = numero - 1 - caso() % 3;  // an earlier game's, or 0
        if (uno_su(0.3)) altro = numero + 1 + caso() % 3;
        switch (caso() % 6) {
        case 0:
            PostMessageA(w, MSG_VITTORIA, caso() % 2, static_cast<LPARAM>(altro));
            break;
        case 1:
            PostMessageA(w, caso() % 2 ? MSG_PATTA : MSG_BLOCCO, 0, static_cast<LPARAM>(altro));
            break;
        case 2:
            PostMessageA(w, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(altro));
            break;
        case 3:
            PostMessageA(w, MSG_MOSSA, caso() % 3, static_cast<LPARAM>(turno - 1 - caso() % 5));
            break;
        case 4:
            // The end of an earlier tournament, or of one not yet begun.
            PostMessageA(w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(uno_su(0.7) ? torneo - 1 - caso() % 3 : torneo + 1));
            break;
        default:
            PostMessageA(w, MSG_VITTORIA, 2 + caso() % 5, static_cast<LPARAM>(numero));
            break;
        }
    }
};

// One storm of climate `c`; a storm that fails says at which step and how,
// with the seed that replays it exactly. With `eventi`, what happened is
// kept there in order.
conti scatena(const clima& c, sequenza* eventi = nullptr) {
    clima d = c;
    d.passi = da_ambiente("VORANDEL_TEMPESTA_PASSI", c.passi);
    d.seme = c.seme + static_cast<unsigned>(da_ambiente("VORANDEL_TEMPESTA_SEME", 0));
    std::srand(d.seme);
    auto t0 = std::chrono::steady_clock::now();
    conti n;
    {
        finestra f(d.seme, d.automatico, d.perdita, d.consegna);
        if (eventi != nullptr) f.registra();
        f.tempesta(d);
        n = f.n;
        EXPECT_FALSE(f.guasto) << "seed " << d.seme << " failed at " << f.perche
                               << "; the storm replays exactly from its seed: run this test again with "
                               << "VORANDEL_TEMPESTA_SEME=" << d.seme - c.seme << " and VORANDEL_TEMPESTA_PASSI="
                               << d.passi;
        if (eventi != nullptr) *eventi = std::move(f.eventi);
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf(
        "seed %u: %lld steps in %.1f s: %lld moves performed, %lld refused; %lld waits for the computer; %lld workers "
        "run; %lld games; %lld ends taken, %lld refused; %lld boxes and dialogs; lost from the queue: %lld moves, %lld "
        "ends, %lld tournament next games, %lld tournament ends, %lld others; %lld tournaments, %lld played out; "
        "%lld stops, %lld of them just before a tournament's last end; %lld things put back into motion after boxes and "
        "timer ticks; %lld Help, %lld Exit; %lld forged ends; %lld spells of refused posts, %lld timer ticks\n",
        d.seme, n.passi, s, n.mosse, n.rifiutate, n.attese, n.lavoratori, n.partite, n.fini_prese, n.fini_rifiutate,
        n.scatole, n.perse[PERSA_MOSSA], n.perse[PERSA_FINE], n.perse[PERSA_NUOVA_PARTITA],
        n.perse[PERSA_FINE_TORNEO], n.perse[PERSA_ALTRO], n.tornei, n.tornei_completi, n.stop, n.tornei_fermati,
        n.riprese, n.aiuti, n.uscite, n.falsi, n.rifiuti, n.sveglie);
    // A storm that played nothing would prove nothing.
    if (n.passi < d.passi) return n;
    EXPECT_GT(n.mosse, d.passi / 10);
    EXPECT_GT(n.fini_prese, 0);
    return n;
}

TEST(Tempesta, ComandiACasoNellaCodaDellaFinestra) {
    // Humans and computers, often changed: the user's doing is rare, then
    // frequent, then constant.
    conti n = scatena(clima{1, 80000, {0.002, 0.05, 0.4}, 3000, 0.6, 0.3, 0.001});
    EXPECT_GT(n.fini_rifiutate, 0);
    EXPECT_GT(n.perse[PERSA_MOSSA], 0);
}

// Windows refuses posts of every kind now and then, and other programs post
// ends with the numbers in play: the timer puts the game back into motion,
// no forged end is taken, and whole tournaments still tally their games.
TEST(Tempesta, PostRifiutatiEFiniFalse) {
    conti n = scatena(clima{10, 60000, {0.0005, 0.005, 0.05}, 4000, 0.9, 0.3, 0.002, 0.3, 0.002});
    EXPECT_GT(n.rifiuti, 20);
    EXPECT_GT(n.falsi, 20);
    EXPECT_GT(n.tornei_completi, 2);
    EXPECT_GT(n.uscite + n.aiuti, 0);
}

TEST(Tempesta, TorneiDiComputerConDisturbi) {
    // Mostly computers, calm stretches long enough for whole tournaments.
    conti n = scatena(clima{2, 80000, {0.0003, 0.001, 0.02}, 8000, 0.9, 0.3, 0.002});
    EXPECT_GT(n.fini_rifiutate, 0);
}

// Whole tournaments between computers, a box now and then that loses
// whatever is queued: each must play and tally its 15 games. Over these
// seeds every kind of message is lost somewhere, the end of a tournament
// included (the schedule is the seeds' own, so this holds on every run).
TEST(Tempesta, TorneiConOgniMessaggioPerso) {
    long long perse[TIPI_PERSI] = {}, tornei = 0;
    for (unsigned seme : {3u, 4u, 5u, 6u, 7u, 8u}) {
        conti n = scatena(clima{seme, 20000, {0.0005, 0.002, 0.01}, 4000, 0.95, 0.6, 0.02});
        for (int k = 0; k < TIPI_PERSI; k++) perse[k] += n.perse[k];
        tornei += n.tornei_completi;
    }
    for (int k = 0; k < TIPI_PERSI; k++) EXPECT_GT(perse[k], 0) << NOMI_PERSE[k] << " was never lost";
    EXPECT_GT(tornei, 6);
}

// A storm is its seed: run twice, one seed gives the same events in the same
// order, worker runs, boxes and lost messages included.
TEST(Tempesta, UnSemeRipeteLaStessaTempesta) {
    const clima c{9, 6000, {0.002, 0.05, 0.4}, 1500, 0.8, 0.5, 0.01};
    sequenza prima, dopo;
    conti a = scatena(c, &prima);
    conti b = scatena(c, &dopo);
    EXPECT_GT(a.lavoratori, 100);
    EXPECT_GT(a.scatole, 10);
    EXPECT_GT(prima.size(), 3000u);
    ASSERT_EQ(prima.size(), dopo.size());
    std::size_t k = 0;
    while (k < prima.size() && prima[k] == dopo[k]) k++;
    EXPECT_EQ(k, prima.size()) << "the runs part at event " << k;
    EXPECT_EQ(a.mosse, b.mosse);
    EXPECT_EQ(a.partite, b.partite);
}

}  // namespace
