// The steps of the end-to-end run that play with the pointer, one command of
// the automation tool each: a human's game against the computer, a
// tournament, a stopped tournament, a hovered target (its screenshot is
// checked by schermo.cpp), a tournament watched until the board is at rest.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "automa.h"
#include "comune.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

// Player 1 (human, moved by this program) against the computer, from a new
// game to its end box. It looks for its targets around its own token, and
// over the whole board when it has lost track of it; each turn it picks the
// target nearest to its goal, now and then another one.
int umano() {
    comando(CMD_NUOVA_PARTITA);
    std::mt19937 caso(12345);
    int mosse = 0, a_vuoto = 0;
    int pedina = indice_casella(PRIMA_FILA, PRIMA_FILA);  // player 1's token starts in the top left corner
    DWORD inizio = GetTickCount();
    while (GetTickCount() - inizio < 600000) {
        HWND fine = scatola("End");
        if (fine != nullptr) {
            std::string t = testo_scatola(fine);
            dice("game over after %d moves of player 1: \"%s\"", mosse, t.c_str());
            premi(fine, IDOK);
            attendi_chiusura(fine, 5000);
            if (t != "Game ends: player won!" && t != "Game ends in a draw." && t != "Game ends: no move available.")
                return errore("unexpected end box text \"%s\"", t.c_str());
            return 0;
        }
        HWND altra = scatola();
        if (altra != nullptr) {
            char titolo[128] = "";
            GetWindowTextA(altra, titolo, sizeof titolo);
            return errore("unexpected box \"%s\": \"%s\"", titolo, testo_scatola(altra).c_str());
        }
        std::vector<int> b = bersagli(a_vuoto < 10 ? vicine({pedina}) : tutte());
        if (b.empty()) {
            a_vuoto++;  // the computer is thinking, or this program lost its token
            pausa(50);
            continue;
        }
        a_vuoto = 0;
        if (b.size() > MOSSE_MAX) return errore("%zu cells highlighted, at most %d are legal", b.size(), MOSSE_MAX);
        std::sort(b.begin(), b.end(), [](int u, int v) {
            auto d = [](int c) { return std::hypot(ULTIMA_FILA - colonna_di(c), ULTIMA_FILA - riga_di(c)); };
            return d(u) < d(v);
        });
        int scelta = (caso() % 4 == 0) ? b[caso() % b.size()] : b[0];
        clic(centro(casella(colonna_di(scelta), riga_di(scelta))));
        mosse++;
        // The move is made once the cell chosen is no longer a target (the
        // token stands on it), or a box is open.
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < 100 && scatola() == nullptr && bersaglio(colonna_di(scelta), riga_di(scelta), rgn); i++)
            pausa(20);
        DeleteObject(rgn);
        pedina = scelta;
    }
    return errore("the game did not end within 10 minutes");
}

// Watches a running tournament until the screen has stood still for
// `quiete` ms (the last game is over and nothing starts); every end box seen
// meanwhile is counted and closed.
int attendi_quiete(DWORD quiete, DWORD massimo, int* scatole_fine, bool col_mouse) {
    DWORD inizio = GetTickCount(), fermo = GetTickCount();
    unsigned long long ultima = impronta();
    while (GetTickCount() - inizio < massimo) {
        HWND s = scatola();
        if (s != nullptr) {
            char titolo[128] = "";
            GetWindowTextA(s, titolo, sizeof titolo);
            dice("box \"%s\": \"%s\"", titolo, testo_scatola(s).c_str());
            if (std::strcmp(titolo, "End") == 0) (*scatole_fine)++;
            if (col_mouse)
                premi_col_mouse(s, IDOK);
            else
                premi(s, IDOK);
            attendi_chiusura(s, 5000);
            fermo = GetTickCount();
        }
        pausa(200);
        unsigned long long ora = impronta();
        if (ora != ultima) {
            ultima = ora;
            fermo = GetTickCount();
        } else if (GetTickCount() - fermo >= quiete) {
            return 0;
        }
    }
    return errore("the game did not come to rest within %lu s", massimo / 1000);
}

int torneo() {
    DWORD inizio = GetTickCount();
    comando(CMD_NUOVO_TORNEO);
    int scatole_fine = 0;
    if (attendi_quiete(6000, 900000, &scatole_fine) != 0) return 1;
    dice("tournament over after %lu s", (GetTickCount() - inizio) / 1000);
    if (scatole_fine != 0) return errore("%d end boxes during a tournament", scatole_fine);
    return 0;
}

// Starts a tournament between two people, so that no game can end by itself
// before the click (an earlier game between computers could end with its box
// just as the tournament begins, and that box would hold the panel's button
// disabled), then makes both players automatic at skill 10 and presses "Stop
// tournament" with a real click while the first game runs. The game on the
// board must go on as an ordinary game that ends with its box, after which
// nothing more is played.
int stop() {
    if (tasto_stop() == nullptr) return errore("no \"Stop tournament\" button in the panel");
    bool automatico[2] = {false, false};
    int skill[2] = {SKILL_MAX, SKILL_MAX};
    if (opzioni(automatico, skill) != 0) return 1;
    comando(CMD_NUOVO_TORNEO);
    automatico[0] = automatico[1] = true;
    if (opzioni(automatico, skill) != 0) return 1;
    pausa(300);
    if (HWND s = scatola()) return errore("a box is open before the click: \"%s\"", testo_scatola(s).c_str());
    if (!clic_su_stop()) return errore("no \"Stop tournament\" button in the panel");
    dice("pressed \"Stop tournament\" 300 ms after the computers began");
    HWND fine = attendi_scatola("End", 300000);
    if (fine == nullptr) return errore("the game on the board did not end with its box after the stop");
    dice("after the stop the game ended: \"%s\"", testo_scatola(fine).c_str());
    premi(fine, IDOK);
    attendi_chiusura(fine, 5000);
    int scatole_fine = 0;
    if (attendi_quiete(4000, 60000, &scatole_fine) != 0) return 1;
    if (scatole_fine != 0) return errore("a further game was played after the stop");
    return 0;
}

int quadro(const char* file) {
    bool umani[2] = {false, false};
    int skill[2] = {SKILL_MIN, SKILL_MIN};
    if (opzioni(umani, skill) != 0) return 1;
    comando(CMD_NUOVA_PARTITA);
    // Both tokens stand on their start corners, so the targets are found
    // around those two.
    int partenze[2] = {indice_casella(PRIMA_FILA, PRIMA_FILA), indice_casella(ULTIMA_FILA, PRIMA_FILA)};
    std::vector<int> b;
    for (int volta = 0; volta < 5 && b.size() != MOSSE_MAX; volta++) b = bersagli(vicine({partenze[0], partenze[1]}));
    if (b.size() != MOSSE_MAX) return errore("a new game shows %zu targets, not %d", b.size(), MOSSE_MAX);
    int c = b[0];
    RECT r = casella(colonna_di(c), riga_di(c));
    // The real pointer rests over the target: the game frames it. It comes
    // from off the board, so that it moves even if an earlier step left it
    // on that very point (a pointer that does not move sends nothing).
    muovi_puntatore(POINT{2, 2});
    pausa(30);
    muovi_puntatore(centro(r));
    bool cornice = false;
    for (int i = 0; i < 300 && !cornice; i++) {
        pausa(30);
        cornice = incorniciata(r);
    }
    if (!cornice) return errore("the pointer over cell (%d, %d) does not frame it", colonna_di(c), riga_di(c));
    HWND pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    POINT o = su_schermo(POINT{0, 0}), op{0, 0};
    ClientToScreen(pannello, &op);
    std::ofstream f(file);
    f << o.x << ' ' << o.y << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ' ' << op.x << ' '
      << op.y << '\n';
    for (int t : b) f << t << ' ';
    f << '\n';
    dice("pointer over cell (%d, %d); geometry in %s", colonna_di(c), riga_di(c), file);
    return f ? 0 : errore("cannot write %s", file);
}

// Starts a tournament and returns `ms` later, while it runs, so that a
// screenshot can be taken of it.
int fotografa(int ms) {
    comando(CMD_NUOVO_TORNEO);
    pausa(static_cast<DWORD>(ms));
    return 0;
}

// Waits until the running tournament is over (the board at rest); no end box
// may appear meanwhile.
int quiete() {
    int scatole_fine = 0;
    if (attendi_quiete(6000, 900000, &scatole_fine) != 0) return 1;
    if (scatole_fine != 0) return errore("%d end boxes during a tournament", scatole_fine);
    dice("the board is at rest");
    return 0;
}

}  // namespace automa
