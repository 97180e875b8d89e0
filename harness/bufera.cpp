// The storm from outside: menu commands, close requests and ends of
// tournaments with random numbers, posted to the game's window from this
// process while a tournament between computers plays. The boxes they open
// are answered as a user who wants to play on would, some at once, some
// only after a few more posts, so that posts keep arriving while a box is
// open. At no moment may more than one box be open. Then, while a
// tournament plays, forged results and ends with every small number, to
// the panel and to the main window: none may be counted.
#include <windows.h>

#include <cstring>
#include <random>
#include <string>

#include "automa.h"
#include "comune.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

namespace {

struct contate {
    int quante = 0;
    HWND una = nullptr;
};

BOOL CALLBACK conta_scatola(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<contate*>(l);
    char classe[32] = "";
    GetClassNameA(w, classe, sizeof classe);
    if (lstrcmpA(classe, "#32770") == 0 && IsWindowVisible(w)) {
        c->quante++;
        c->una = w;
    }
    return TRUE;
}

// The boxes and dialogs of the game's thread open now.
contate scatole_aperte_ora() {
    contate c;
    EnumThreadWindows(filo, conta_scatola, reinterpret_cast<LPARAM>(&c));
    return c;
}

// No to a question, Cancel in Options, OK to anything else.
void rispondi(HWND s) {
    char titolo[128] = "";
    GetWindowTextA(s, titolo, sizeof titolo);
    if (std::strcmp(titolo, "Options") == 0)
        premi(s, IDC_ANNULLA);
    else
        premi(s, std::strcmp(titolo, "Are you sure?") == 0 ? IDNO : IDOK);
    attendi_chiusura(s, 5000);
}

}  // namespace

// `quanti` posts, seeded by `seme`, during a tournament between computers of
// skill 1; then a tournament that must tally its 15 games, whatever another
// program posts to the panel and the main window meanwhile; then a close
// request sent while About is open, which must end the game after one
// question answered Yes.
int bufera(int quanti, unsigned seme) {
    std::mt19937 caso(seme);
    bool automatici[2] = {true, true};
    int uno[2] = {SKILL_MIN, SKILL_MIN};
    if (opzioni(automatici, uno) != 0) return 1;
    comando(CMD_NUOVO_TORNEO, IDYES);

    static const int ids[] = {CMD_NUOVA_PARTITA, CMD_NUOVO_TORNEO, 32002, CMD_ABOUT, CMD_ESCI, CMD_OPZIONI};
    int difetti = 0, piu = 0, risposte = 0, comandi = 0, chiusure = 0, fini = 0;
    DWORD inizio = GetTickCount();
    for (int k = 0; k < quanti; k++) {
        unsigned tipo = caso() % 10;
        if (tipo < 5) {
            PostMessageA(finestra, WM_COMMAND, static_cast<WPARAM>(ids[caso() % 6]), 0);
            comandi++;
        } else if (tipo < 7) {
            PostMessageA(finestra, WM_CLOSE, 0, 0);
            chiusure++;
        } else {
            // A small number, perhaps the running tournament's, or any.
            LPARAM n = static_cast<LPARAM>(caso() % 2 ? caso() % 8 : caso());
            PostMessageA(finestra, MSG_FINE_TORNEO, 0, n);
            fini++;
        }
        pausa(caso() % 12);
        contate c = scatole_aperte_ora();
        if (c.quante > piu) piu = c.quante;
        if (c.quante > 1) {
            errore("post %d: %d boxes open at once:%s", k, c.quante, scatole_aperte().c_str());
            difetti++;
        }
        if (!IsWindow(finestra)) return errore("post %d: the game's window is gone", k);
        // A box stays open for a few posts now and then.
        if (c.una != nullptr && caso() % 3 == 0) {
            rispondi(c.una);
            risposte++;
        }
    }
    // Whatever is still open is answered, until no box comes for a while.
    for (DWORD quieto = GetTickCount(); GetTickCount() - quieto < 1500; pausa(100)) {
        contate c = scatole_aperte_ora();
        if (c.quante > 1) {
            errore("after the posts: %d boxes open at once:%s", c.quante, scatole_aperte().c_str());
            difetti++;
        }
        if (c.una != nullptr) {
            rispondi(c.una);
            risposte++;
            quieto = GetTickCount();
        }
    }
    if (!IsWindow(finestra)) return errore("the game's window is gone after the posts");
    dice("storm: %d commands, %d close requests, %d tournament ends posted in %lu s; %d boxes answered, at most %d "
         "open at once",
         comandi, chiusure, fini, static_cast<unsigned long>((GetTickCount() - inizio) / 1000), risposte, piu);

    // A tournament afterwards tallies its 15 games, with no box, while
    // another program posts results and ends with the numbers in play
    // among the small ones: wins, draws and blocked games of the games so
    // far to the main window and of the tournaments so far to the panel,
    // and the ends of those tournaments to both.
    comando(CMD_NUOVO_TORNEO, IDYES);
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    if (pannello == nullptr) return errore("no panel beside the board");
    int falsi = 0;
    for (int giro = 0; giro < 12; giro++) {
        for (LPARAM n = 1; n <= 256; n++) {
            PostMessageA(finestra, giro % 3 == 0 ? MSG_VITTORIA : giro % 3 == 1 ? MSG_PATTA : MSG_BLOCCO,
                         static_cast<WPARAM>(giro % 2), n);
            falsi++;
            if (n > 32) continue;
            PostMessageA(finestra, MSG_FINE_TORNEO, 0, n);
            PostMessageA(pannello, giro % 2 ? MSG_PATTA : MSG_VITTORIA, static_cast<WPARAM>(n % 2), n);
            PostMessageA(pannello, MSG_FINE_TORNEO, 0, n);
            falsi += 3;
        }
        pausa(250);
    }
    dice("%d forged results and ends posted during the tournament", falsi);
    int scatole_fine = 0;
    if (attendi_quiete(5000, 600000, &scatole_fine) != 0) return 1;
    int conto[3];
    if (!leggi_conti(conto)) return 1;
    int somma = conto[0] + conto[1] + conto[2];
    dice("tournament after the storm: player 1 %d, draws %d, player 2 %d; %d end box(es)", conto[0], conto[1],
         conto[2], scatole_fine);
    if (somma != PARTITE_TORNEO) difetti += errore("the tournament after the storm tallied %d games, not %d", somma,
                                                   PARTITE_TORNEO);
    if (scatole_fine != 0) difetti += errore("%d \"End\" box(es) during that tournament", scatole_fine);

    // A close request sent while About is open (as "End task" sends one):
    // nothing opens over About; once it is answered, one question, and Yes
    // ends the game.
    PostMessageA(finestra, WM_COMMAND, CMD_ABOUT, 0);
    HWND about = attendi_scatola("About...", 5000);
    if (about == nullptr) return errore("About did not open");
    for (int k = 0; k < 3; k++) SendMessageTimeoutA(finestra, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, nullptr);
    pausa(300);
    if (scatole_aperte_ora().quante != 1) difetti += errore("a box opened over About:%s", scatole_aperte().c_str());
    premi(about, IDOK);
    attendi_chiusura(about, 5000);
    HWND domanda = attendi_scatola("Are you sure?", 5000);
    if (domanda == nullptr) return errore("the close request sent during About asked nothing after it");
    premi(domanda, IDYES);
    for (DWORD t = GetTickCount(); IsWindow(finestra); pausa(100)) {
        HWND s = scatola();
        if (s != nullptr && s != domanda && IsWindowVisible(s)) {
            difetti += errore("a second box after Yes: \"%s\"", testo_scatola(s).c_str());
            rispondi(s);
        }
        if (GetTickCount() - t > 20000) return errore("the game did not end after Yes");
    }
    dice("storm: a close request during About ended the game after one question; %d defects", difetti);
    return difetti == 0 ? 0 : 1;
}

}  // namespace automa
