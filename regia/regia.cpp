// The main window's decisions about the match and the tournament (see
// regia.h): the same code in the game and in the native storm test.
#include "regia.h"

// The menu command that the tournament posts to the window between games.
#include "comandi.h"
#include "posta.h"

namespace {

// The command message; the stand-in of the native builds knows it too.
constexpr UINT COMANDO = WM_COMMAND;

// Counts a box or dialog as open for as long as it is.
struct scatola_aperta {
    int& aperte;
    explicit scatola_aperta(int& n) : aperte(n) { aperte++; }
    ~scatola_aperta() { aperte--; }
    scatola_aperta(const scatola_aperta&) = delete;
    scatola_aperta& operator=(const scatola_aperta&) = delete;
};

}  // namespace

bool regia::chiedi(HWND hWnd, int voce) {
    scatola_aperta a(aperte);
    return finestra.domanda(finestra.dati, hWnd, voce);
}

void regia::mostra(void (*scatola)(void*, HWND), HWND hWnd) {
    if (scatola == nullptr) return;
    scatola_aperta a(aperte);
    scatola(finestra.dati, hWnd);
}

bool regia::rifiuta(const char* cosa) {
    if (!occupata()) return false;
    logfile << "MainProc: " << cosa << " rifiutato: una finestra e' gia' aperta\n";
    logfile.flush();
    return true;
}

int regia::mossa(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    // At most one search per turn: mossa_macchina refuses a second one.
    if (game.esegui_mossa(hWnd, static_cast<int>(wParam), static_cast<std::uint32_t>(lParam)) &&
        game.stato() == COMPUTER)
        game.mossa_macchina(hWnd);
    return 0;
}

int regia::fine_partita(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam) {
    if (messg == MSG_VITTORIA && wParam > 1) {
        logfile << "MainProc: vittoria di un giocatore inesistente (" << wParam << ") ignorata\n";
        logfile.flush();
        return 0;
    }
    // Outside a tournament the end shows a box: while another is open it
    // waits, and riprendi takes it once that box is over.
    if (restanti == 0 && occupata() && lParam != 0 &&
        game.fine_da_prendere(nullptr, nullptr) == static_cast<std::uint32_t>(lParam)) {
        logfile << "MainProc: la fine della partita " << lParam << " aspetta che la finestra aperta si chiuda\n";
        logfile.flush();
        return 0;
    }
    // The end must say what the game itself posted: another program that
    // posts an end with the right number but another winner or kind is
    // refused, and the game's own end is still taken.
    UINT propria = 0;
    WPARAM vincitore = 0;
    if (lParam != 0 && game.fine_da_prendere(&propria, &vincitore) == static_cast<std::uint32_t>(lParam) &&
        (propria != messg || vincitore != wParam)) {
        logfile << "MainProc: fine della partita " << lParam << " scartata: non e' la fine che la partita ha dato\n";
        logfile.flush();
        return 0;
    }
    if (!game.accetta_fine(static_cast<std::uint32_t>(lParam))) return 0;
    if (restanti == 0) {
        int voce = messg == MSG_VITTORIA ? VOCE_VITTORIA : messg == MSG_BLOCCO ? VOCE_BLOCCO : VOCE_PATTA;
        {
            scatola_aperta a(aperte);
            finestra.avviso(finestra.dati, hWnd, voce);
        }
        riprendi(hWnd);
        return 1;
    }
    // A blocked game counts as a draw.
    if (messg == MSG_VITTORIA)
        finestra.vittoria(finestra.dati, static_cast<int>(wParam), numero_torneo);
    else
        finestra.patta(finestra.dati, numero_torneo);
    restanti--;
    // Either post, refused by Windows, is carried out by riprendi from the
    // state noted here (the window's timer calls it then).
    if (restanti == 0) {
        chiusura_chiesta = numero_torneo;
        posta_con_tentativi(hWnd, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(numero_torneo));
    } else {
        posta_con_tentativi(hWnd, COMANDO, CMD_NUOVA_PARTITA, static_cast<LPARAM>(game.numero_partita()));
    }
    return 1;
}

int regia::comando(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    switch (static_cast<unsigned>(wParam & 0xFFFF)) {
    case CMD_NUOVA_PARTITA:
        if (lParam == 0) return nuova_partita(hWnd);  // the user's, from the menu
        return partita_successiva(hWnd, static_cast<std::uint32_t>(lParam));
    case CMD_NUOVO_TORNEO:
        return nuovo_torneo(hWnd);
    case CMD_AIUTO:
        // The help file, or the HTML manual where Windows has no Help engine.
        return aiuto(hWnd);
    case CMD_ABOUT:
        return informazioni(hWnd);
    case CMD_ESCI:
        return esci(hWnd);
    case CMD_OPZIONI:
        return opzioni(hWnd);
    default:  // 32002 and every id outside the menu's range
        return 0;
    }
}

// A player who said Yes to abandoning a game that has meanwhile ended
// learns how it ended before the board changes: the question's premise no
// longer held, and a result nobody saw would be lost to them.
void regia::fine_durante_la_domanda(HWND hWnd) {
    UINT messg = 0;
    WPARAM wParam = 0;
    std::uint32_t finita = game.fine_da_prendere(&messg, &wParam);
    if (restanti != 0 || finita == 0) return;
    logfile << "MainProc: la partita " << finita << " e' finita durante la domanda\n";
    logfile.flush();
    fine_partita(hWnd, messg, wParam, static_cast<LPARAM>(finita));
}

int regia::nuova_partita(HWND hWnd) {
    if (rifiuta("nuova partita")) return 0;
    bool chiesto = game.stato() != FERMO;
    if (chiesto && !chiedi(hWnd, VOCE_RICOMINCIA)) {
        riprendi(hWnd);
        return 0;
    }
    if (chiesto) fine_durante_la_domanda(hWnd);
    game.ricomincia(hWnd);
    drena(hWnd);
    finestra.ridisegna(finestra.dati, hWnd);
    // The question's loop may have lost what the new game does not replace
    // (in a tournament, the panel's stop).
    if (chiesto) riprendi(hWnd);
    return 1;
}

int regia::partita_successiva(HWND hWnd, std::uint32_t numero) {
    if (restanti == 0 || game.stato() != FERMO || numero != game.numero_partita()) {
        logfile << "MainProc: nuova partita dopo la partita " << numero << " scartata\n";
        logfile.flush();
        return 0;
    }
    game.ricomincia(hWnd);
    drena(hWnd);
    finestra.ridisegna(finestra.dati, hWnd);
    return 1;
}

int regia::nuovo_torneo(HWND hWnd) {
    if (rifiuta("nuovo torneo")) return 0;
    bool chiesto = game.stato() != FERMO;
    if (chiesto) {
        bool si = chiedi(hWnd, VOCE_TORNEO);
        if (!si) {
            riprendi(hWnd);
            return 0;
        }
        fine_durante_la_domanda(hWnd);
    }
    restanti = PARTITE_TORNEO;
    if (++numero_torneo == 0) numero_torneo = 1;
    chiusura_chiesta = 0;
    game.ricomincia(hWnd);
    finestra.nuovo_torneo(finestra.dati, restanti, numero_torneo);
    drena(hWnd);
    logfile << "MainProc: ciclo iniziato\n";
    logfile.flush();
    finestra.ridisegna(finestra.dati, hWnd);
    // After the question: the balance, and a close asked meanwhile.
    if (chiesto) riprendi(hWnd);
    return 1;
}

int regia::fine_torneo(HWND hWnd, std::uint32_t numero) {
    // The one whose last game has just been tallied, or the running one
    // stopped with the panel's button; nobody else can end a tournament, so
    // an end posted by another program, even with the right number, changes
    // nothing.
    bool chiesta = numero != 0 && numero == numero_torneo &&
                   (chiusura_chiesta == numero || (restanti > 0 && finestra.torneo_fermato(finestra.dati) == numero));
    if (!chiesta) {
        logfile << "MainProc: fine del torneo " << numero << " scartata: il torneo in corso e' " << numero_torneo
                << (restanti > 0 ? ", e nessuno ne ha chiesto la fine" : ", finito") << "\n";
        logfile.flush();
        return 0;
    }
    restanti = 0;
    chiusura_chiesta = 0;
    drena(hWnd);
    // The panel shows the tournament over, however it ended.
    if (finestra.torneo_finito != nullptr) finestra.torneo_finito(finestra.dati, numero);
    return 1;
}

int regia::opzioni(HWND hWnd) {
    // New options reach the match through the dialog. When the player to
    // move has become automatic, the computer takes its turn now, once the
    // dialog is over: a move posted while it closes could be dropped by its
    // loop (see regia.h).
    if (rifiuta("opzioni")) return 0;
    {
        scatola_aperta a(aperte);
        finestra.opzioni(finestra.dati, hWnd);
    }
    if (game.stato() == COMPUTER) game.mossa_macchina(hWnd);
    riprendi(hWnd);
    return 0;
}

int regia::informazioni(HWND hWnd) {
    if (rifiuta("About")) return 0;
    mostra(finestra.informazioni, hWnd);
    riprendi(hWnd);
    return 1;
}

int regia::aiuto(HWND hWnd) {
    if (rifiuta("aiuto")) return 0;
    mostra(finestra.aiuto, hWnd);
    riprendi(hWnd);
    return 1;
}

int regia::esci(HWND hWnd) {
    if (rifiuta("esci")) return 0;
    // The question comes once the menu is over; with the queue full, now.
    if (!PostMessageA(hWnd, WM_CLOSE, 0, 0)) chiudi(hWnd);
    return 1;
}

int regia::tasto(HWND hWnd, unsigned vk, LPARAM lParam, unsigned modificatori) {
    const int ripetuto = static_cast<int>((lParam >> 30) & 1);
    int esito;
    if (vk == TASTO_FERMA_TORNEO) {
        // Ctrl+S and Alt+S are other programs' and Windows' keys.
        if ((modificatori & (CON_CTRL | CON_ALT)) != 0) return TASTO_ALTRUI;
        esito = !ripetuto && restanti > 0 && finestra.ferma != nullptr && finestra.ferma(finestra.dati) ? 1 : 0;
    } else {
        esito = game.tasto_uomo(hWnd, vk, static_cast<int>((lParam >> 24) & 1),
                                (modificatori & CON_MAIUSCOLO) != 0 ? 1 : 0, ripetuto);
    }
    if (esito < 0) return TASTO_ALTRUI;
    if (esito == 0) return ripetuto ? TASTO_MUTO : TASTO_BEEP;
    return TASTO_FATTO;
}

int regia::sveglia(HWND hWnd) {
    std::uint32_t rinunce = post_rinunciati();
    if (rinunce == rinunce_viste) return game.riprendi(hWnd);
    logfile << "sveglia: " << rinunce - rinunce_viste << " messaggi rifiutati da Windows, il gioco riprende\n";
    logfile.flush();
    rinunce_viste = rinunce;
    return riprendi(hWnd);
}

bool regia::chiudi(HWND hWnd) {
    if (aperte > 0) {
        if (!chiusura_rimandata) {
            logfile << "MainProc: chiusura rimandata a quando la finestra aperta si chiude\n";
            logfile.flush();
        }
        chiusura_rimandata = true;
        return false;
    }
    bool si = chiedi(hWnd, VOCE_CHIUDI);
    // The answer holds for the close requests that came while it was asked.
    chiusura_rimandata = false;
    // After Yes the program ends: nothing is to be put back into motion.
    if (!si)
        riprendi(hWnd);
    else if (finestra.esci != nullptr)
        finestra.esci(finestra.dati);
    return si;
}

int regia::riprendi(HWND hWnd) {
    int fatto = 0;
    // The balance bar, from the board: the box's loop may have lost it.
    if (finestra.bilancia != nullptr) finestra.bilancia(finestra.dati, hWnd);
    // A computer move lost from the queue: its turn is searched again.
    fatto += game.riprendi(hWnd);

    // An end nobody has taken: taken now, once (a box outside a tournament,
    // which comes back here when it is over).
    UINT messg = 0;
    WPARAM wParam = 0;
    std::uint32_t finita = game.fine_da_prendere(&messg, &wParam);
    // (Outside a tournament it shows a box, which waits while one is open.)
    if (finita != 0 && (restanti > 0 || !occupata())) {
        logfile << "riprendi: la fine della partita " << finita << " non era ancora stata presa\n";
        logfile.flush();
        fatto += fine_partita(hWnd, messg, wParam, static_cast<LPARAM>(finita));
    }

    // The end of a tournament asked for after its last game, or with the
    // panel's button, and not carried out.
    if (chiusura_chiesta != 0) fatto += fine_torneo(hWnd, chiusura_chiesta);
    std::uint32_t fermato = finestra.torneo_fermato(finestra.dati);
    if (restanti > 0 && fermato != 0 && fermato == numero_torneo) {
        logfile << "riprendi: il torneo " << fermato << " era stato fermato\n";
        logfile.flush();
        fatto += fine_torneo(hWnd, fermato);
    }

    // A tournament between two games: its next game, whether or not the
    // "New game" for it is still queued (that one will then be refused).
    if (restanti > 0 && game.stato() == FERMO && game.fine_da_prendere(nullptr, nullptr) == 0) {
        logfile << "riprendi: il torneo riparte dopo la partita " << game.numero_partita() << "\n";
        logfile.flush();
        fatto += partita_successiva(hWnd, game.numero_partita());
    }

    // A close asked for while a box was open: its one question, now.
    if (chiusura_rimandata && !occupata()) {
        logfile << "riprendi: la chiusura chiesta durante una finestra\n";
        logfile.flush();
        chiudi(hWnd);
        fatto++;
    }
    return fatto;
}
