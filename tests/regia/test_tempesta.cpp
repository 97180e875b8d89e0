// A storm on the match, its worker and the main window's own decisions
// (`regia`, the same code MainProc calls): new games, new tournaments,
// Options, "Stop tournament", pointer moves and clicks at random moments,
// interleaved with the window's queue, modal boxes and dialogs included,
// which keep dispatching the queue while they are open. Some boxes are
// closed from another program, and then their loop drops a queued message,
// of any kind: a move, an end of a game, the tournament's "New game", the
// end of a tournament. After each box the decisions put the game back into
// motion from its own state.
//
// The window's side here is only what MainProc shows: the boxes and the
// Options dialog answered with seeded choices, and the panel's tally. A
// ledger of its own watches every turn and every game and fails the storm on
//   - a halt: the computer to move, no move queued and none posted by a
//     worker within a generous wait; a tournament with no game on the board
//     and none coming; an ended game whose end nobody will take;
//   - a turn performed twice, or a move performed in a turn it was not made
//     for, or one that moves another token or along a direction not dealt;
//   - the end of a game taken twice, for another game, or saying another
//     result; a result tallied in another tournament;
//   - a tournament finished with tallies that do not add up to its games.
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
#include "partita.h"
#include "regia.h"
#include "comandi.h"


namespace {

// Games in a tournament, as the main window plays them.
constexpr int GIOCHI_TORNEO = PARTITE_TORNEO;
// Nested boxes and dialogs at most: a deeper one is answered at once.
constexpr int PROFONDITA_MASSIMA = 6;

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
};

// What a box's loop dropped, by kind.
enum { PERSA_MOSSA, PERSA_FINE, PERSA_NUOVA_PARTITA, PERSA_FINE_TORNEO, PERSA_ALTRO, TIPI_PERSI };
const char* const NOMI_PERSE[TIPI_PERSI] = {"a move", "an end of a game", "a tournament's next game",
                                            "an end of a tournament", "another message"};

struct conti {
    long long passi = 0, mosse = 0, rifiutate = 0, attese = 0, partite = 0, fini_prese = 0, fini_rifiutate = 0,
              scatole = 0, tornei = 0, tornei_completi = 0, tornei_fermati = 0, stop = 0, riprese = 0,
              lavoratori = 0;
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
            if (uno_su(c.informazioni))
                PostMessageA(w, WM_COMMAND, CMD_ABOUT, 0);
            else if (lavoratori_a_comando::in_attesa() > 0 && uno_su(consegna))
                lavora();
            else if (uno_su(vento))
                capriccio();
            else
                flusso();
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

    // The boxes, the dialog and the panel, as MainProc shows them.
    static bool sp_domanda(void* f, HWND, int) { return static_cast<finestra*>(f)->domanda(); }
    static void sp_avviso(void* f, HWND, int voce) { static_cast<finestra*>(f)->avviso(voce); }
    static void sp_opzioni(void* f, HWND) { static_cast<finestra*>(f)->opzioni(); }
    static void sp_nuovo_torneo(void* f, int partite, std::uint32_t t) {
        static_cast<finestra*>(f)->torneo_nel_pannello(partite, t);
    }
    static void sp_vittoria(void* f, int p, std::uint32_t t) { static_cast<finestra*>(f)->risultato(2 * p, p, t); }
    static void sp_patta(void* f, std::uint32_t t) { static_cast<finestra*>(f)->risultato(1, -1, t); }
    static std::uint32_t sp_fermato(void* f) { return static_cast<finestra*>(f)->fermato_pannello; }
    static void sp_ridisegna(void* f, HWND) { static_cast<finestra*>(f)->in_gioco(); }
    regia r{game, sportello{this, sp_domanda, sp_avviso, sp_opzioni, sp_nuovo_torneo, sp_vittoria, sp_patta,
                            sp_fermato, sp_ridisegna}};

    // The panel's own state: the tallies, the games it still counts, the
    // tournament it counts for and the one its button last stopped.
    int stats[3] = {0, 0, 0};
    int restanti = 0;
    std::uint32_t torneo_pannello = 0, fermato_pannello = 0;
    int profondita = 0;  // boxes and dialogs open, one inside the other
    bool ultima_tallita = false;  // a tournament's last result has just been tallied

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

    // MainProc's dispatch: every case goes to the decisions.
    void gestisci(const MSG& m) {
        evento(EV_MESSAGGIO, m.message, m.wParam, m.lParam);
        switch (m.message) {
        case MSG_MOSSA:
            mossa_postata(m);
            break;
        case MSG_VITTORIA:
        case MSG_BLOCCO:
        case MSG_PATTA:
            if (!r.fine_partita(w, m.message, m.wParam, m.lParam)) n.fini_rifiutate++;
            if (ultima_tallita) {
                // The tournament's last result is tallied and its end queued.
                // Now and then a box was waiting behind this end (About,
                // asked for just before), and is closed from another program
                // at once: its loop drops the end of the tournament.
                ultima_tallita = false;
                if (uno_su(perdita)) {
                    n.scatole++;
                    evento(EV_SCATOLA, 0, 0, 0);
                    perdi_un_messaggio();
                    n.riprese += r.riprendi(w);
                }
            }
            break;
        case WM_COMMAND:
            switch (static_cast<unsigned>(m.wParam & 0xFFFF)) {
            case CMD_NUOVA_PARTITA:
                if (m.lParam == 0)
                    r.nuova_partita(w);
                else
                    r.partita_successiva(w, static_cast<std::uint32_t>(m.lParam));
                break;
            case CMD_NUOVO_TORNEO:
                r.nuovo_torneo(w);
                break;
            case CMD_OPZIONI:
                r.opzioni(w);
                break;
            case CMD_ABOUT:
                // A box of the window's own: after it, as after every box,
                // the game is put back into motion.
                modale();
                n.riprese += r.riprendi(w);
                break;
            default:
                break;
            }
            break;
        case MSG_FINE_TORNEO:
            r.fine_torneo(w, static_cast<std::uint32_t>(m.lParam));
            break;
        default:
            break;
        }
    }

    // A modal box or dialog: the queue goes on being worked until the user
    // answers, the computer's moves included. A box closed from another
    // program takes one more message after it has ended and drops it: here
    // any one of those queued, of any kind. The decisions' recovery follows
    // in the caller.
    void modale() {
        n.scatole++;
        evento(EV_SCATOLA, 0, static_cast<WPARAM>(profondita), 0);
        if (profondita >= PROFONDITA_MASSIMA) return;
        profondita++;
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

    // A question ("Are you sure?"), answered Yes mostly.
    bool domanda() {
        modale();
        return uno_su(0.8);
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

    // The panel's "Stop tournament" button.
    void stop() {
        if (restanti == 0) return;
        PostMessageA(w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(torneo_pannello));
        restanti = 0;
        fermato_pannello = torneo_pannello;
        if (torneo_pannello == r.torneo()) fermato = true;
        n.stop++;
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
        switch (caso() % 12) {
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
        default:
            flusso();
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
        "%lld stops, %lld of them just before a tournament's last end; %lld things put back into motion after About\n",
        d.seme, n.passi, s, n.mosse, n.rifiutate, n.attese, n.lavoratori, n.partite, n.fini_prese, n.fini_rifiutate,
        n.scatole, n.perse[PERSA_MOSSA], n.perse[PERSA_FINE], n.perse[PERSA_NUOVA_PARTITA],
        n.perse[PERSA_FINE_TORNEO], n.perse[PERSA_ALTRO], n.tornei, n.tornei_completi, n.stop, n.tornei_fermati,
        n.riprese);
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

// ------------------------------------------------ one box at a time
//
// Whatever is posted to the window while one of its boxes is open, the box's
// loop dispatches it through the same decisions: a menu command is refused,
// close requests make one question once the box is over, an ordinary game's
// end shows its box after it, and a tournament plays on behind it.
#include <algorithm>

namespace {

struct banco {
    partita game;
    partita_ispettore i{game};
    HWND w = finestra_prova();
    // What the boxes, the dialog and the panel saw.
    int aperte = 0, piu_aperte = 0, uscite = 0, bilance = 0;
    std::vector<std::string> scatole;  // in the order they opened
    std::vector<std::uint32_t> fini_pannello;
    int risultati = 0;
    std::uint32_t fermato = 0;
    bool si = false;  // the answer to every question

    static banco& di(void* d) { return *static_cast<banco*>(d); }
    // A box: open while the queue is worked, as a modal loop does.
    void scatola(const std::string& cosa) {
        scatole.push_back(cosa);
        piu_aperte = std::max(piu_aperte, ++aperte);
        pompa();
        aperte--;
    }
    static bool domanda(void* d, HWND, int voce) {
        di(d).scatola(voce == VOCE_CHIUDI ? "chiudi" : "domanda");
        return di(d).si;
    }
    static void avviso(void* d, HWND, int) { di(d).scatola("fine"); }
    static void opzioni(void* d, HWND) { di(d).scatola("opzioni"); }
    static void about(void* d, HWND) { di(d).scatola("about"); }
    static void aiuto(void* d, HWND) { di(d).scatola("aiuto"); }
    static void nuovo_torneo(void*, int, std::uint32_t) {}
    static void vittoria(void* d, int, std::uint32_t) { di(d).risultati++; }
    static void patta(void* d, std::uint32_t) { di(d).risultati++; }
    static std::uint32_t fermato_pannello(void* d) { return di(d).fermato; }
    static void ridisegna(void*, HWND) {}
    static void finito(void* d, std::uint32_t t) { di(d).fini_pannello.push_back(t); }
    static void bilancia(void* d, HWND) { di(d).bilance++; }
    static void esci(void* d) { di(d).uscite++; }
    regia r{game, sportello{this, domanda, avviso, opzioni, nuovo_torneo, vittoria, patta, fermato_pannello,
                            ridisegna, finito, bilancia, about, aiuto, esci}};

    banco() {
        e_tipo tipi[2] = {UMANO, UMANO};
        int livelli[2] = {1, 1};
        game.set_opzioni(tipi, livelli);
        game.ricomincia(w);
        messaggi(w);
        nuove_righe_log();
    }

    // MainProc's dispatch, for what is queued now.
    void pompa() {
        MSG m;
        while (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) {
            switch (m.message) {
            case WM_COMMAND:
                switch (static_cast<unsigned>(m.wParam & 0xFFFF)) {
                case CMD_NUOVA_PARTITA:
                    if (m.lParam == 0)
                        r.nuova_partita(w);
                    else
                        r.partita_successiva(w, static_cast<std::uint32_t>(m.lParam));
                    break;
                case CMD_NUOVO_TORNEO: r.nuovo_torneo(w); break;
                case CMD_AIUTO: r.aiuto(w); break;
                case CMD_ABOUT: r.informazioni(w); break;
                case CMD_ESCI: r.esci(w); break;
                case CMD_OPZIONI: r.opzioni(w); break;
                default: break;
                }
                break;
            case WM_CLOSE: r.chiudi(w); break;
            case MSG_MOSSA: r.mossa(w, m.wParam, m.lParam); break;
            case MSG_VITTORIA:
            case MSG_BLOCCO:
            case MSG_PATTA: r.fine_partita(w, m.message, m.wParam, m.lParam); break;
            case MSG_FINE_TORNEO: r.fine_torneo(w, static_cast<std::uint32_t>(m.lParam)); break;
            default: break;
            }
        }
    }

    void tutti_i_comandi() {
        for (unsigned id = CMD_NUOVA_PARTITA; id <= CMD_OPZIONI; id++) PostMessageA(w, WM_COMMAND, id, 0);
    }

    // Player 0 one step from its goal, to move, its winning step queued.
    void vittoria_in_coda() {
        for (int s = 0; s < 56; s++)
            if (G_set_frecce[s][0] == 0 && G_set_frecce[s][1] == 1 && G_set_frecce[s][2] == 2)
                plancia_ispettore::metti_set(i.scacch(), 3, 3, s);  // up, up-right, right
        i.azzera_registro();
        i.posiziona(7, 8, 3, 3, 0);
        PostMessageA(w, MSG_MOSSA, static_cast<WPARAM>(i.indice_di(2)), static_cast<LPARAM>(game.firma()));
    }
};

int righe_con(const std::vector<std::string>& righe, const std::string& testo) {
    return static_cast<int>(std::count_if(righe.begin(), righe.end(),
                                          [&](const std::string& r) { return r.find(testo) != std::string::npos; }));
}

// Every menu command and three close requests, posted while About is open:
// no box opens inside it; the commands are refused with one line each, and
// the close requests make one question once About is over. Answered No, the
// game goes on untouched; the balance is brought up to date after each box.
TEST(UnaScatolaAllaVolta, ComandiEChiusureDuranteUnaScatola) {
    banco b;
    std::uint32_t partita = b.game.numero_partita(), turno = b.game.firma();
    b.tutti_i_comandi();
    for (int k = 0; k < 3; k++) PostMessageA(b.w, WM_CLOSE, 0, 0);
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"about", "chiudi"}));
    EXPECT_EQ(b.piu_aperte, 1);
    auto righe = nuove_righe_log();
    EXPECT_EQ(righe_con(righe, "rifiutato"), 6);
    EXPECT_EQ(righe_con(righe, "chiusura rimandata"), 1) << "several close requests, one line";
    EXPECT_EQ(b.bilance, 2);
    EXPECT_EQ(b.uscite, 0);
    EXPECT_EQ(b.game.numero_partita(), partita);
    EXPECT_EQ(b.game.firma(), turno);
    EXPECT_FALSE(b.r.occupata());

    // With no box open each command opens its own box again ("Exit" by the
    // close request it posts).
    b.scatole.clear();
    for (unsigned id = CMD_NUOVA_PARTITA; id <= CMD_OPZIONI; id++) {
        PostMessageA(b.w, WM_COMMAND, id, 0);
        b.pompa();
    }
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"domanda", "domanda", "aiuto", "about", "chiudi", "opzioni"}));
    EXPECT_EQ(b.piu_aperte, 1);
}

// Close requests during the Options dialog, the question answered Yes
// afterwards: the program ends after that one question.
TEST(UnaScatolaAllaVolta, UnaChiusuraDuranteUnDialogoChiudeDopoUnaDomanda) {
    banco b;
    b.si = true;
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    b.r.opzioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"opzioni", "chiudi"}));
    EXPECT_EQ(b.piu_aperte, 1);
    EXPECT_EQ(b.uscite, 1);
    EXPECT_FALSE(b.r.occupata());

    // Close requests while "Are you sure?" itself is open are answered by it.
    b.scatole.clear();
    b.si = false;
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(b.r.chiudi(b.w));
    b.pompa();
    EXPECT_EQ(b.scatole, std::vector<std::string>{"chiudi"});
}

// An ordinary game that ends while About is open shows its box once About
// has closed; a tournament's game that ends then is tallied behind About,
// and the tournament's next game begins there.
TEST(UnaScatolaAllaVolta, LaFineDiUnaPartitaAspettaLaScatola) {
    banco b;
    b.vittoria_in_coda();
    std::uint32_t vinta = b.game.numero_partita();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"about", "fine"}));
    EXPECT_EQ(b.piu_aperte, 1);
    EXPECT_EQ(righe_con(nuove_righe_log(), "aspetta che la finestra aperta si chiuda"), 1);
    PostMessageA(b.w, MSG_VITTORIA, 0, static_cast<LPARAM>(vinta));  // once only
    b.pompa();
    EXPECT_EQ(b.scatole.size(), 2u);

    b.scatole.clear();
    ASSERT_EQ(b.r.nuovo_torneo(b.w), 1);  // no game in progress: no question
    std::uint32_t prima = b.game.numero_partita();
    b.vittoria_in_coda();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, std::vector<std::string>{"about"});
    EXPECT_EQ(b.risultati, 1);
    EXPECT_EQ(b.game.numero_partita(), prima + 1) << "the next game began behind About";
    EXPECT_EQ(b.r.partite(), PARTITE_TORNEO - 1);
}

// The panel is told whenever the tournament ends: by its number from
// outside, with the panel's button, or after its last game; never by the
// end of another tournament.
TEST(UnaScatolaAllaVolta, IlPannelloSaQuandoIlTorneoFinisce) {
    banco b;
    b.si = true;
    b.r.nuovo_torneo(b.w);
    std::uint32_t t = b.r.torneo();
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t + 1));
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t - 1));
    b.pompa();
    EXPECT_TRUE(b.fini_pannello.empty());
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
    b.pompa();
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{t});

    // The button, its message lost: carried out after the next box.
    b.r.nuovo_torneo(b.w);
    b.fermato = b.r.torneo();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.fini_pannello, (std::vector<std::uint32_t>{t, t + 1}));
    EXPECT_EQ(b.r.partite(), 0);

    // The last game: fifteen wins.
    b.r.nuovo_torneo(b.w);
    for (int k = 0; k < PARTITE_TORNEO; k++) {
        b.vittoria_in_coda();
        b.pompa();
    }
    EXPECT_EQ(b.risultati, PARTITE_TORNEO);
    EXPECT_EQ(b.fini_pannello, (std::vector<std::uint32_t>{t, t + 1, t + 2}));
}

}  // namespace
