// A storm on the match and its worker, driven as the main window drives
// them: new games, new tournaments, Options, "Stop tournament", pointer moves
// and clicks at random moments, interleaved with the window's queue worked
// exactly as MainProc works it (moves, computer searches, the ends of games,
// the tournament's own "New game" and its end), modal boxes and dialogs
// included, which keep dispatching the queue while they are open; some are
// closed from another program, and then their loop drops a queued move.
//
// MainProc itself needs the real Windows; `finestra` below is a small model
// of its dispatch and of the panel's tally, case for case. Beside it a ledger
// of its own watches every turn and every game and fails the storm on
//   - a halted game: the computer to move, no move queued and none posted
//     by a worker within a generous wait;
//   - a turn performed twice, or a move performed in a turn it was not made
//     for, or one that moves another token or along a direction not dealt;
//   - the end of a game taken for another game, or saying another result;
//   - a tournament left with no game on the board, or finished with tallies
//     that do not add up to its games.
//
// The user's choices are seeded; how they interleave with the worker's
// moves depends on timing, as in the game. For long runs
// VORANDEL_TEMPESTA_PASSI sets the steps of each storm and
// VORANDEL_TEMPESTA_SEME shifts its seed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include <winstub.h>

#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "risorse.h"

namespace {

// The command message, which the stand-in has no name for.
constexpr UINT COMANDO = 0x0111;  // WM_COMMAND
// Games in a tournament, as the main window plays them.
constexpr int GIOCHI_TORNEO = PARTITE_TORNEO;
// How long a computer's move may take to come before the game counts as
// halted: skills are 1 to 3 here, a few milliseconds each even under a
// sanitizer.
constexpr DWORD ATTESA_LAVORATORE_MS = 20000;
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
// than the queue's, changed every `fase` steps among three strengths, and
// how often Options make a player automatic.
struct clima {
    unsigned seme;
    long long passi;
    double venti[3];
    long long fase;
    double automatico;
};

struct conti {
    long long passi = 0, mosse = 0, rifiutate = 0, attese = 0, partite = 0, fini_prese = 0, fini_rifiutate = 0,
              scatole = 0, perse = 0, tornei = 0, tornei_completi = 0, tornei_fermati = 0, stop = 0;
};

class finestra {
public:
    finestra(unsigned seme, double automatici) : caso(seme), automatico(automatici) {
        e_tipo tipi[2] = {UMANO, UMANO};
        int livelli[2] = {1, 1};
        game.set_opzioni(tipi, livelli);
        avvia();  // the first game, as at start-up
    }
    // No worker may outlive the match. One just requested has not taken
    // the event yet: it is waited for until it has posted.
    ~finestra() {
        auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ATTESA_LAVORATORE_MS);
        while (i.serie_postata() != i.serie_cercata() && std::chrono::steady_clock::now() < fine)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        WaitForSingleObject(i.mutex(), INFINITE);
        SetEvent(i.mutex());
    }

    void tempesta(const clima& c) {
        double vento = c.venti[0];
        for (long long passo = 0; passo < c.passi && !guasto; passo++) {
            n.passi++;
            if (passo % c.fase == 0) vento = c.venti[caso() % 3];
            if (passo % 1000 == 0) winstub_invalidazioni(w);  // nobody paints here
            if (uno_su(vento))
                capriccio();
            else
                flusso();
        }
    }

    bool guasto = false;
    std::string perche;
    conti n;

private:
    partita game;
    partita_ispettore i{game};
    HWND w = finestra_prova();
    std::mt19937 caso;
    double automatico;  // how often Options make a player automatic

    // MainProc's statics: the tournament games still to be finished.
    int partite = 0;
    // The panel's own state: the tallies and the games it still counts.
    int stats[3] = {0, 0, 0};
    int restanti = 0;
    int profondita = 0;  // boxes and dialogs open, one inside the other

    // The ledger.
    std::uint32_t ultimo_turno = 0;    // the last turn performed
    std::uint32_t ultima_finita = 0;   // the game that has just ended
    int vincitore_finita = -1;         // its winner, -1 for a draw or a block
    bool fine_da_prendere = false;     // its end not yet taken, no game since
    int torneo = 0, ultimo_torneo = 0; // the running tournament, 0 for none
    int torneo_in_gioco = 0;           // the tournament of the game on the board
    bool fermato = false;              // "Stop tournament" pressed in it
    int contati = 0;                   // results it has tallied

    bool uno_su(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(caso) < p; }

    void fallisci(const std::string& cosa) {
        if (guasto) return;
        guasto = true;
        std::ostringstream s;
        s << "step " << n.passi << ": " << cosa << " (game " << game.numero_partita() << ", turn " << game.firma()
          << ", player to move " << int{i.turno()} << ", tournament games left " << partite << ")";
        perche = s.str();
    }

    bool coda_vuota() {
        MSG m;
        return PeekMessageA(&m, w, 0, 0, PM_NOREMOVE) == FALSE;
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
        if (partite > 0 && game.stato() == FERMO) {
            fallisci("a tournament is running with no game on the board and none coming");
            return;
        }
        switch (game.stato()) {
        case COMPUTER:
            n.attese++;
            if (!attendi_messaggio(w, &m, ATTESA_LAVORATORE_MS)) {
                fallisci("halted: the computer is to move, no move is queued and no worker posted one");
                return;
            }
            gestisci(m);
            break;
        case UMANO:
            clic_su_bersaglio();
            break;
        default:
            if (uno_su(0.5))
                nuovo_torneo();
            else
                nuova_partita();
            break;
        }
    }

    void gestisci(const MSG& m) {
        switch (m.message) {
        case MSG_MOSSA:
            mossa_postata(m);
            break;
        case MSG_VITTORIA:
        case MSG_BLOCCO:
        case MSG_PATTA:
            fine_partita(m);
            break;
        case COMANDO:
            comando(m.wParam, m.lParam);
            break;
        case MSG_FINE_TORNEO:
            partite = 0;
            torneo = 0;
            game.scarta_mosse_scadute(w);
            break;
        default:
            break;
        }
    }

    // A modal box or dialog: the queue goes on being worked until the user
    // answers, the computer's moves included. A box closed from another
    // program takes one more message after it has ended and drops it; here
    // that is a queued move, the loss that matters.
    void modale() {
        if (profondita >= PROFONDITA_MASSIMA) return;
        profondita++;
        int quanti = static_cast<int>(caso() % 5);
        for (int k = 0; k < quanti && !guasto; k++) {
            MSG m;
            bool c = PeekMessageA(&m, w, 0, 0, PM_REMOVE) != FALSE;
            if (!c && game.stato() == COMPUTER) c = attendi_messaggio(w, &m, ATTESA_LAVORATORE_MS);
            if (!c) break;
            gestisci(m);
        }
        MSG persa;
        if (uno_su(0.3) && PeekMessageA(&persa, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE)) n.perse++;
        profondita--;
    }

    // A question: after No the game goes on, its computer's move searched
    // again if the box lost it.
    bool domanda() {
        n.scatole++;
        modale();
        bool si = uno_su(0.8);
        if (!si) game.riprendi(w);
        return si;
    }

    // Every new game goes through here, for the ledger: the end of the
    // previous game is no longer to be taken, and the new game belongs to
    // the tournament running now, if any.
    void avvia() {
        game.ricomincia(w);
        fine_da_prendere = false;
        torneo_in_gioco = partite > 0 ? torneo : 0;
        n.partite++;
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

        int fatto = game.esegui_mossa(w, indice, static_cast<std::uint32_t>(m.lParam));

        // Performed or not, as seen from outside: a turn taken, the player
        // to move changed, or a token moved.
        unsigned ora[2][2];
        i.ped(0).get_pos(&ora[0][0], &ora[0][1]);
        i.ped(1).get_pos(&ora[1][0], &ora[1][1]);
        bool mosso = ora[0][0] != x[0] || ora[0][1] != y[0] || ora[1][0] != x[1] || ora[1][1] != y[1];
        if (game.firma() == turno_prima && i.turno() == chi && !mosso) {
            if (fatto) fallisci("a move reported as performed changed no turn");
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
        if (fatto && game.stato() == COMPUTER) game.mossa_macchina(w);
    }

    void fine_partita(const MSG& m) {
        if (m.message == MSG_VITTORIA && m.wParam > 1) return;
        std::uint32_t numero = static_cast<std::uint32_t>(m.lParam);
        if (!game.accetta_fine(numero)) {
            n.fini_rifiutate++;
            return;
        }
        n.fini_prese++;
        std::ostringstream s;
        if (!fine_da_prendere || numero != ultima_finita) {
            s << "the end of game " << numero << " was taken, ";
            if (fine_da_prendere)
                s << "but game " << ultima_finita << " is the one that has just ended";
            else
                s << "but no game's end is waiting to be taken";
        } else if (vincitore_finita >= 0 &&
                   (m.message != MSG_VITTORIA || static_cast<int>(m.wParam) != vincitore_finita)) {
            s << "game " << numero << " was won by player " << vincitore_finita << ", but its end says otherwise";
        } else if (vincitore_finita < 0 && m.message == MSG_VITTORIA) {
            s << "game " << numero << " ended with no winner, but its end names player " << m.wParam;
        }
        if (!s.str().empty()) {
            fallisci(s.str());
            return;
        }
        fine_da_prendere = false;
        if (partite == 0) {
            domanda();  // the "End" box
            return;
        }
        if (torneo_in_gioco != torneo) {
            std::ostringstream d;
            d << "game " << numero << " of tournament " << torneo_in_gioco << " was tallied in tournament " << torneo;
            fallisci(d.str());
            return;
        }
        conta_nel_pannello(m.message == MSG_VITTORIA ? 2 * static_cast<int>(m.wParam) : 1);
        contati++;
        partite--;
        if (partite == 0) {
            fine_del_torneo();
            PostMessageA(w, MSG_FINE_TORNEO, 0, 0);
        } else {
            PostMessageA(w, COMANDO, CMD_NUOVA_PARTITA, static_cast<LPARAM>(game.numero_partita()));
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
        if (contati != GIOCHI_TORNEO || somma != GIOCHI_TORNEO || restanti != 0) {
            std::ostringstream s;
            s << "tournament " << torneo << " ended after " << contati << " results; the panel adds up to " << somma
              << " with " << restanti << " games left";
            fallisci(s.str());
        }
    }

    void comando(WPARAM wParam, LPARAM lParam) {
        switch (static_cast<unsigned>(wParam & 0xFFFF)) {
        case CMD_NUOVA_PARTITA:
            if (lParam == 0)
                nuova_partita();
            else
                partita_successiva(static_cast<std::uint32_t>(lParam));
            break;
        case CMD_NUOVO_TORNEO:
            nuovo_torneo();
            break;
        case CMD_OPZIONI:
            opzioni();
            break;
        default:
            break;
        }
    }

    void nuova_partita() {
        if (game.stato() != FERMO && !domanda()) return;
        avvia();
        game.scarta_mosse_scadute(w);
    }

    void partita_successiva(std::uint32_t numero) {
        if (partite == 0 || game.stato() != FERMO || numero != game.numero_partita()) return;
        avvia();
        game.scarta_mosse_scadute(w);
    }

    void nuovo_torneo() {
        if (game.stato() != FERMO && !domanda()) return;
        partite = GIOCHI_TORNEO;
        torneo = ++ultimo_torneo;
        fermato = false;
        contati = 0;
        n.tornei++;
        avvia();
        stats[0] = stats[1] = stats[2] = 0;
        restanti = GIOCHI_TORNEO;
        game.scarta_mosse_scadute(w);
    }

    // The Options dialog: open while the queue goes on, then OK with kinds
    // and skills of the user's choice, or Cancel.
    void opzioni() {
        n.scatole++;
        e_tipo tipi[2];
        int livelli[2];
        game.get_opzioni(tipi, livelli);
        for (int p = 0; p < 2; p++) {
            tipi[p] = uno_su(automatico) ? COMPUTER : UMANO;
            livelli[p] = 1 + static_cast<int>(caso() % 3);
        }
        modale();
        if (!uno_su(0.1)) {  // OK, else Cancel
            game.set_opzioni(tipi, livelli, w);
            if (game.stato() == COMPUTER) game.mossa_macchina(w);
        }
        game.riprendi(w);
    }

    void conta_nel_pannello(int colonna) {
        if (restanti <= 0) return;
        stats[colonna]++;
        restanti--;
    }

    // The panel's "Stop tournament" button.
    void stop() {
        if (restanti == 0) return;
        PostMessageA(w, MSG_FINE_TORNEO, 0, 0);
        restanti = 0;
        fermato = true;
        n.stop++;
    }

    // ------------------------------------------------------------ the user

    POINT punto_a_caso() {
        return POINT{static_cast<LONG>(caso() % 700), static_cast<LONG>(caso() % 480)};
    }

    POINT su_un_bersaglio() {
        int k = i.n_lecite();
        if (k <= 0) return punto_a_caso();
        const RECT& r = i.lecita()[caso() % static_cast<unsigned>(k)];
        return POINT{r.left + static_cast<LONG>(caso() % 53), r.top + static_cast<LONG>(caso() % 52)};
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
            PostMessageA(w, COMANDO, CMD_NUOVA_PARTITA, 0);
            break;
        case 6:
            PostMessageA(w, COMANDO, CMD_NUOVO_TORNEO, 0);
            break;
        case 7:
        case 8:
            PostMessageA(w, COMANDO, CMD_OPZIONI, 0);
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
        std::uint32_t numero = game.numero_partita(), turno = game.firma();
        std::uint32_t altro = numero - 1 - caso() % 3;  // an earlier game's, or 0
        if (uno_su(0.3)) altro = numero + 1 + caso() % 3;
        switch (caso() % 5) {
        case 0:
            PostMessageA(w, MSG_VITTORIA, caso() % 2, static_cast<LPARAM>(altro));
            break;
        case 1:
            PostMessageA(w, caso() % 2 ? MSG_PATTA : MSG_BLOCCO, 0, static_cast<LPARAM>(altro));
            break;
        case 2:
            PostMessageA(w, COMANDO, CMD_NUOVA_PARTITA, static_cast<LPARAM>(altro));
            break;
        case 3:
            PostMessageA(w, MSG_MOSSA, caso() % 3, static_cast<LPARAM>(turno - 1 - caso() % 5));
            break;
        default:
            PostMessageA(w, MSG_VITTORIA, 2 + caso() % 5, static_cast<LPARAM>(numero));
            break;
        }
    }
};

void scatena(const clima& c) {
    clima d = c;
    d.passi = da_ambiente("VORANDEL_TEMPESTA_PASSI", c.passi);
    d.seme = c.seme + static_cast<unsigned>(da_ambiente("VORANDEL_TEMPESTA_SEME", 0));
    std::srand(d.seme);  // the deals
    auto t0 = std::chrono::steady_clock::now();
    conti n;
    {
        finestra f(d.seme, d.automatico);
        f.tempesta(d);
        n = f.n;
        EXPECT_FALSE(f.guasto) << "seed " << d.seme << ", " << f.perche;
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf(
        "seed %u: %lld steps in %.1f s: %lld moves performed, %lld refused; %lld waits for the computer; %lld games; "
        "%lld ends taken, %lld refused; %lld boxes and dialogs, %lld moves they lost; %lld tournaments, %lld played out; %lld stops, %lld "
        "of them just before a tournament's last end\n",
        d.seme, n.passi, s, n.mosse, n.rifiutate, n.attese, n.partite, n.fini_prese, n.fini_rifiutate, n.scatole,
        n.perse, n.tornei, n.tornei_completi, n.stop, n.tornei_fermati);
    // A storm that played nothing would prove nothing.
    if (n.passi < d.passi) return;
    EXPECT_GT(n.mosse, d.passi / 10);
    EXPECT_GT(n.fini_prese, 0);
    EXPECT_GT(n.fini_rifiutate, 0);
}

TEST(Tempesta, ComandiACasoNellaCodaDellaFinestra) {
    // Humans and computers, often changed: the user's doing is rare, then
    // frequent, then constant.
    scatena(clima{1, 80000, {0.002, 0.05, 0.4}, 3000, 0.6});
}

TEST(Tempesta, TorneiDiComputerConDisturbi) {
    // Mostly computers, calm stretches long enough for whole tournaments.
    scatena(clima{2, 80000, {0.0003, 0.001, 0.02}, 8000, 0.9});
}

}  // namespace
