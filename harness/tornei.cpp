// The soak: tournament after tournament between two automatic players, with
// "New game", "New tournament", "Stop tournament" and Options at random
// moments, each tournament checked from outside on the panel and the boxes.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "automa.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

// The last menu command that may ask "Are you sure?", and how its question
// is to be answered; a probe's question is itself a fault.
struct in_sospeso {
    int id = 0;
    bool si = true;
    bool sonda = false;
};
static in_sospeso domanda;

// A menu command that may ask "Are you sure?": the question, when it comes
// at once, is answered `si`. True when it asked. A question that comes later
// is answered when it is found (sgombra).
static bool comando_con_domanda(int id, bool si, bool sonda = false) {
    domanda = in_sospeso{id, si, sonda};
    PostMessageA(finestra, WM_COMMAND, static_cast<WPARAM>(id), 0);
    HWND s = attendi_scatola("Are you sure?", 400);
    if (s == nullptr) return false;
    dice("question \"%s\": %s", testo_scatola(s).c_str(), si ? "Yes" : "No");
    premi_col_mouse(s, si ? IDYES : IDNO);
    attendi_chiusura(s, 5000);
    domanda = in_sospeso{};
    return true;
}

struct resoconto {
    int avviati = 0, completi = 0, fermati = 0, rimpiazzati = 0;
    int risultati = 0;      // results the panel tallied, in all tournaments
    int scatole_fine = 0;   // "End" boxes of the games left on after a stop
    int domande = 0;        // questions answered
    int difetti = 0;
};

static void difetto(resoconto& r, int torneo, const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    char testo[400];
    std::vsnprintf(testo, sizeof testo, formato, a);
    va_end(a);
    errore("tournament %d: %s", torneo, testo);
    r.difetti++;
}

// Closes whatever box is open; none should be while a tournament runs.
static void sgombra(resoconto& r, int torneo) {
    for (HWND s; (s = scatola()) != nullptr;) {
        char titolo[128] = "";
        GetWindowTextA(s, titolo, sizeof titolo);
        std::string testo = testo_scatola(s);
        bool domanda_di = std::strcmp(titolo, "Are you sure?") == 0 &&
                          ((domanda.id == CMD_NUOVO_TORNEO && testo.rfind("Starting a tournament", 0) == 0) ||
                           (domanda.id == CMD_NUOVA_PARTITA && testo.rfind("Restarting", 0) == 0));
        if (domanda_di) {
            // The question of the last command, come late.
            dice("question \"%s\", late: %s", testo.c_str(), domanda.si ? "Yes" : "No");
            if (domanda.sonda) difetto(r, torneo, "the command asked on a board at rest: a game was halted");
            r.domande++;
            premi_col_mouse(s, domanda.si ? IDYES : IDNO);
            domanda = in_sospeso{};
            if (!attendi_chiusura(s, 5000)) return;
            continue;
        }
        difetto(r, torneo, "box \"%s\" open: \"%s\"", titolo, testo.c_str());
        if (std::strcmp(titolo, "Options") == 0)
            premi_col_mouse(s, IDC_ANNULLA);
        else
            premi_col_mouse(s, std::strcmp(titolo, "Are you sure?") == 0 ? IDNO : IDOK);
        if (!attendi_chiusura(s, 5000)) return;
    }
}

// Plays `quanti` tournaments between two automatic players of skill 1,
// choosing "New game", "New tournament", "Stop tournament" and Options at
// random moments while each runs, and answering the questions that causes.
// Most tournaments are left to play out; some are stopped, some replaced by
// a new one. Each is checked from the outside:
//   - a tournament left to play out comes to rest with tallies that add up
//     to its 15 games, and shows no "End" box;
//   - a stopped one tallies no more than 15, and the game left on the board
//     ends as an ordinary game, with at most one "End" box;
//   - a board at rest has no game in progress: "New tournament" then asks
//     nothing (a question would mean a game halted with the computer to
//     move);
//   - no box is left open.
int tornei(int quanti, unsigned seme) {
    std::mt19937 caso(seme);
    auto a_caso = [&caso](int da, int a) { return da + static_cast<int>(caso() % static_cast<unsigned>(a - da + 1)); };
    bool automatici[2] = {true, true};
    int uno[2] = {SKILL_MIN, SKILL_MIN};
    if (opzioni(automatici, uno, true) != 0) return 1;
    resoconto r;
    DWORD inizio = GetTickCount();
    // The game on the board, if any, now plays itself to its end box.
    int scatole = 0;
    if (attendi_quiete(5000, 600000, &scatole, true) != 0) return 1;
    bool gia_avviato = false;  // started by the previous tournament's "New tournament"
    for (int k = 1; k <= quanti; k++) {
        sgombra(r, k);
        if (!gia_avviato) {
            if (comando_con_domanda(CMD_NUOVO_TORNEO, true, true)) {
                r.domande++;
                difetto(r, k, "\"New tournament\" asked on a board at rest: a game was halted");
            }
        }
        gia_avviato = false;
        r.avviati++;
        // 0: left to play out; 1: stopped; 2: replaced by a new tournament
        // (never the last one).
        int fine = a_caso(0, 99) < 70 ? 0 : a_caso(0, 1) == 0 || k == quanti ? 1 : 2;
        // The disturbances come while the tournament has games enough left
        // that none of them can meet its end; then the last act of a
        // tournament that is stopped or replaced.
        int disturbi = a_caso(0, 6);
        for (int d = 0; d <= disturbi; d++) {
            pausa(static_cast<DWORD>(a_caso(30, 400)));
            sgombra(r, k);
            if (d == disturbi) break;
            int conto[3];
            if (!leggi_conti(conto) || conto[0] + conto[1] + conto[2] > PARTITE_TORNEO - 5) break;
            switch (a_caso(0, 3)) {
            case 0: {
                bool si = a_caso(0, 9) < 7;
                if (comando_con_domanda(CMD_NUOVA_PARTITA, si)) r.domande++;
                dice("tournament %d: \"New game\"", k);
                break;
            }
            case 1:
                // Answered No, the tournament goes on; without a question
                // (between two games) it has started again, and runs anew.
                if (comando_con_domanda(CMD_NUOVO_TORNEO, false)) {
                    r.domande++;
                } else {
                    dice("tournament %d: \"New tournament\" asked nothing: started again", k);
                    r.rimpiazzati++;
                    r.avviati++;
                }
                break;
            case 2: {
                // A player made human for a moment: the game waits for it,
                // and goes on when the player is automatic again.
                bool quali[2] = {false, true};
                if (a_caso(0, 1) == 0) std::swap(quali[0], quali[1]);
                if (opzioni(quali, uno, true) != 0) r.difetti++;
                pausa(static_cast<DWORD>(a_caso(0, 800)));
                if (opzioni(automatici, uno, true) != 0) r.difetti++;
                break;
            }
            default:
                if (opzioni(automatici, uno, true) != 0) r.difetti++;
                break;
            }
        }
        if (fine == 1) {
            if (!clic_su_stop()) return errore("no \"Stop tournament\" button in the panel");
            dice("tournament %d: \"Stop tournament\"", k);
        } else if (fine == 2) {
            if (comando_con_domanda(CMD_NUOVO_TORNEO, true)) r.domande++;
            dice("tournament %d: replaced by a new tournament", k);
            r.rimpiazzati++;
            gia_avviato = true;
        }
        if (fine == 2) continue;

        scatole = 0;
        if (attendi_quiete(5000, 600000, &scatole, true) != 0) {
            difetto(r, k, "the board did not come to rest");
            continue;
        }
        int conto[3];
        if (!leggi_conti(conto)) {
            difetto(r, k, "the panel's tallies cannot be read");
            continue;
        }
        int somma = conto[0] + conto[1] + conto[2];
        dice("tournament %d %s: player 1 %d, draws %d, player 2 %d; %d end box(es)", k,
             fine == 0 ? "played out" : "stopped", conto[0], conto[1], conto[2], scatole);
        if (fine == 0) {
            r.completi++;
            if (somma != PARTITE_TORNEO) difetto(r, k, "the tallies add up to %d, not %d", somma, PARTITE_TORNEO);
            if (scatole != 0) difetto(r, k, "%d \"End\" box(es) during the tournament", scatole);
        } else {
            r.fermati++;
            r.scatole_fine += scatole;
            if (somma > PARTITE_TORNEO) difetto(r, k, "the tallies add up to %d, more than %d", somma, PARTITE_TORNEO);
            if (scatole > 1) difetto(r, k, "%d \"End\" boxes after the stop, at most one game was left", scatole);
        }
        r.risultati += somma;
    }
    sgombra(r, quanti);
    // The last tournament's board at rest: no game is in progress.
    if (comando_con_domanda(CMD_NUOVA_PARTITA, false, true)) {
        r.domande++;
        difetto(r, quanti, "\"New game\" asked on a board at rest: a game was halted");
    } else {
        // The new game it began plays to its end box.
        scatole = 0;
        if (attendi_quiete(5000, 600000, &scatole, true) != 0 || scatole != 1)
            difetto(r, quanti, "a last ordinary game showed %d \"End\" boxes, not 1", scatole);
    }
    if (scatola() != nullptr) difetto(r, quanti, "a box is left open");
    DWORD secondi = (GetTickCount() - inizio) / 1000;
    dice("soak: %d tournaments started, %d played out, %d stopped, %d replaced; %d results tallied, %d end boxes "
         "after a stop, %d questions answered; %lu s; %d defects",
         r.avviati, r.completi, r.fermati, r.rimpiazzati, r.risultati, r.scatole_fine, r.domande,
         static_cast<unsigned long>(secondi), r.difetti);
    return r.difetti == 0 ? 0 : 1;
}

}  // namespace automa
