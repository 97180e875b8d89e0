// The game heard as a blind player hears it: a reader in this process reads
// the board and the panel only through Active Accessibility and hears only
// the events the game raises (lettore.h). It plays player 1 against the
// computer to the "End" box, each turn choosing among the focusable cells
// and playing one with its default action; checks that every move of the
// computer and the end were announced, that Tab moves the focus to a framed
// target whose location is its cell, that P repeats the position once per
// press, and that the panel's text changes when a tournament's game ends.
//
// Every wait is for an event, with a limit that only a fault reaches, and a
// watchdog ends the run if a call into the game hangs.
#include <windows.h>
#include <oleacc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "automa.h"
#include "lettore.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

namespace {

using lettore::evento;

// Limits that only a fault reaches: a computer move at skill 3 takes
// milliseconds, a whole game a few seconds.
const DWORD LIMITE_EVENTO = 60000;
const DWORD LIMITE_CORSA = 600000;
// The board's announcer, after its 64 cells.
const LONG ANNUNCI = 65;

HWND pannello = nullptr;

bool e_allarme(const evento& e) {
    return e.tipo == EVENT_SYSTEM_ALERT && e.hwnd == finestra && e.oggetto == OBJID_CLIENT;
}

bool comincia(const std::string& s, const char* inizio) { return s.rfind(inizio, 0) == 0; }
bool contiene(const std::string& s, const char* parte) { return s.find(parte) != std::string::npos; }

// What the reader has heard: the sentences, each new one once (an alert
// whose sentence a later one has already replaced reads as the later one).
struct ascoltatore {
    IAccessible* plancia = nullptr;
    IAccessible* pannello_letto = nullptr;  // the panel, during a tournament
    std::string ultima;
    int frasi = 0;
    int mosse_computer = 0;
    int difetti = 0;
    bool pannello_cambiato = false;

    // Reads the sentence an alert names, through the event's own object: an
    // object of role alert with a name.
    bool senti(const evento& e) {
        LONG figlio = 0;
        IAccessible* a = lettore::oggetto_evento(e, &figlio);
        if (a == nullptr) {
            difetti += errore("the object of an alert (child %ld) cannot be reached", e.figlio);
            return false;
        }
        long ruolo = lettore::ruolo(a, figlio);
        std::string s = lettore::nome(a, figlio);
        a->Release();
        if (ruolo != ROLE_SYSTEM_ALERT || s.empty()) {
            difetti += errore("an alert's object has role %ld and name \"%s\"", ruolo, s.c_str());
            return false;
        }
        if (s != ultima) {
            ultima = s;
            frasi++;
            dice("heard: \"%s\"", s.c_str());
        }
        return true;
    }

    // Hears every alert already queued.
    void svuota() {
        evento e;
        while (lettore::attendi_evento(e_allarme, 0, &e)) senti(e);
    }

    // Waits for the next alert and hears it; during a tournament a change
    // of the panel's name ends the wait too.
    bool attendi_frase(const char* perche) {
        evento e;
        auto voluto = [this](const evento& v) {
            return e_allarme(v) ||
                   (pannello_letto != nullptr && v.tipo == EVENT_OBJECT_NAMECHANGE && v.hwnd == pannello);
        };
        if (!lettore::attendi_evento(voluto, LIMITE_EVENTO, &e)) {
            difetti += errore("no announcement within %lu s %s", LIMITE_EVENTO / 1000, perche);
            return false;
        }
        if (!e_allarme(e)) {
            pannello_cambiato = true;
            return true;
        }
        return senti(e);
    }

    // The board read through Active Accessibility can be ahead of the
    // events: an alert the game raised before that read may still be on its
    // way to this process. Hears announcements until the last one holds
    // `atteso`, or fails at the first wait that hears nothing.
    template <typename Condizione>
    bool attendi_annuncio(Condizione atteso, const char* perche) {
        svuota();
        for (DWORD inizio = GetTickCount(); !atteso(ultima);)
            if (GetTickCount() - inizio >= LIMITE_EVENTO || !attendi_frase(perche)) return false;
        return true;
    }
};

// A cell's column and row from its child id (1 to 64, reading order).
void cella_di(long id, int* col, int* riga) {
    *col = static_cast<int>((id - 1) % LATO_GIOCABILE) + PRIMA_FILA;
    *riga = static_cast<int>((id - 1) / LATO_GIOCABILE) + PRIMA_FILA;
}

// The cell whose name says that player p's token stands there, 0 for none.
long pedina_di(IAccessible* a, int p) {
    std::string cerca = p == 0 ? "Player 1's token" : "Player 2's token";
    for (long id = 1; id <= CASELLE_GIOCABILI; id++)
        if (contiene(lettore::nome(a, id), cerca.c_str())) return id;
    return 0;
}

std::string cella_in_parole(long id) {
    int c = 0, r = 0;
    cella_di(id, &c, &r);
    return "row " + std::to_string(r) + ", column " + std::to_string(c);
}

// The cell's rectangle on the screen by the board's geometry.
RECT sullo_schermo(long id) {
    int c = 0, r = 0;
    cella_di(id, &c, &r);
    RECT q = casella(c, r);
    POINT o = su_schermo(POINT{q.left, q.top});
    return RECT{o.x, o.y, o.x + (q.right - q.left), o.y + (q.bottom - q.top)};
}

void batti(UINT vk, bool esteso, bool ripetuto = false) {
    DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u) | (ripetuto ? 1u << 30 : 0u);
    PostMessageA(finestra, WM_KEYDOWN, vk, static_cast<LPARAM>(lp));
    PostMessageA(finestra, WM_KEYUP, vk, static_cast<LPARAM>(lp | 0xC0000000u));
}

bool e_fuoco_della_plancia(const evento& e) {
    return e.tipo == EVENT_OBJECT_FOCUS && e.hwnd == finestra && e.oggetto == OBJID_CLIENT;
}

// Tab frames a target: the focus event names a focusable, focused, selected
// cell whose location is that cell's, which the board's focus, selection
// and hit test agree on. P announces the whole position once; P held down
// (auto-repeat) announces nothing. Esc takes the frame away: the focus goes
// to the board. `bersagli` are the focusable cells.
int prova_tasti(ascoltatore& o, const std::vector<long>& bersagli) {
    IAccessible* a = o.plancia;
    lettore::coda().clear();
    batti(VK_TAB, false);
    evento e;
    if (!lettore::attendi_evento(
            [](const evento& v) { return e_fuoco_della_plancia(v) && v.figlio >= 1 && v.figlio <= 64; },
            LIMITE_EVENTO, &e)) {
        for (const evento& v : lettore::coda())
            dice("heard meanwhile: event %#lx, window %p, object %ld, child %ld", v.tipo, static_cast<void*>(v.hwnd),
                 v.oggetto, v.figlio);
        return errore("Tab raised no focus event for a cell");
    }
    long id = e.figlio;
    bool tra = false;
    for (long b : bersagli) tra = tra || b == id;
    long s = lettore::stato(a, id);
    const long voluto = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
    if (!tra || s < 0 || (s & voluto) != voluto)
        return errore("Tab's focus event names cell %ld, state %#lx: not a framed target", id, s);
    RECT r, atteso = sullo_schermo(id);
    if (!lettore::posizione(a, id, &r) || !EqualRect(&r, &atteso))
        return errore("the framed cell %ld is at (%ld, %ld)-(%ld, %ld), its cell at (%ld, %ld)-(%ld, %ld)", id, r.left,
                      r.top, r.right, r.bottom, atteso.left, atteso.top, atteso.right, atteso.bottom);
    POINT mezzo{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (lettore::fuoco(a) != id || lettore::selezione(a) != id || lettore::colpito(a, mezzo) != id)
        return errore("focus %ld, selection %ld, hit test %ld: not the framed cell %ld", lettore::fuoco(a),
                      lettore::selezione(a), lettore::colpito(a, mezzo), id);
    dice("Tab framed %s: \"%s\", \"%s\"", cella_in_parole(id).c_str(), lettore::nome(a, id).c_str(),
         lettore::descrizione(a, id).c_str());

    // P once, then P held: one announcement, the position, before the focus
    // event that Esc raises after both.
    batti('P', false);
    batti('P', false, true);
    batti(VK_ESCAPE, false);
    if (!lettore::attendi_evento(e_fuoco_della_plancia, LIMITE_EVENTO, &e))
        return errore("Esc raised no focus event");
    if (e.figlio != CHILDID_SELF) return errore("after Esc the focus event names child %ld, not the board", e.figlio);
    int allarmi = 0;
    for (const evento& v : lettore::coda()) allarmi += e_allarme(v) ? 1 : 0;
    lettore::coda().clear();
    if (allarmi != 1) return errore("P pressed once and held once raised %d announcements, not 1", allarmi);
    std::string pos = lettore::nome(a, ANNUNCI);
    if (!comincia(pos, "Player 1's token: ") || !contiene(pos, " to move: "))
        return errore("P announced \"%s\", not the position", pos.c_str());
    o.ultima = pos;
    dice("P: \"%s\"", pos.c_str());
    if (lettore::fuoco(a) != CHILDID_SELF) return errore("after Esc the board does not have the focus");
    return 0;
}

// Plays player 1's turns, each among the focusable cells, until the game
// ends (its end read off the board's name into `fine`), or during a
// tournament until the panel's text differs from `pannello_prima` (read into
// `fine`), or with `al_turno` as soon as player 1 is to move. Each time
// player 1 is to move again, the computer's last move (read off the cell
// names) must be what was last announced. With `tasti`, the keys are tried
// at player 1's first turn.
int gioca(ascoltatore& o, bool tasti, const std::string& pannello_prima, bool al_turno, std::string* fine) {
    IAccessible* a = o.plancia;
    long computer_prima = pedina_di(a, 1);
    bool rifiuto_provato = false;
    int mosse = 0;
    for (DWORD inizio = GetTickCount(); GetTickCount() - inizio < LIMITE_CORSA;) {
        o.svuota();
        if (o.difetti != 0) return 1;
        if (o.pannello_letto != nullptr) {
            std::string p = lettore::nome(o.pannello_letto, CHILDID_SELF);
            if (p != pannello_prima) {
                *fine = p;
                return 0;
            }
        }
        std::string plancia = lettore::nome(a, CHILDID_SELF);
        const char* finita = "Board: the game is over. ";
        if (comincia(plancia, finita)) {
            *fine = plancia.substr(std::strlen(finita));
            if (!o.attendi_annuncio([&](const std::string& u) { return contiene(u, fine->c_str()); }, "for the end"))
                return errore("the end \"%s\" was not announced: the last announcement is \"%s\"", fine->c_str(),
                              o.ultima.c_str());
            dice("the game is over after %d moves of player 1: \"%s\"", mosse, fine->c_str());
            return 0;
        }
        if (comincia(plancia, "Board: Player 2 (computer) to move")) {
            if (!o.attendi_frase("for the computer's move")) return 1;
            continue;
        }
        if (!comincia(plancia, "Board: Player 1 to move")) return errore("the board says \"%s\"", plancia.c_str());
        long computer = pedina_di(a, 1);
        if (computer != computer_prima) {
            std::string dove = " to " + cella_in_parole(computer) + ".";
            auto annunciata = [&](const std::string& u) {
                return comincia(u, "Player 2 (computer) moved ") && contiene(u, dove.c_str());
            };
            if (!o.attendi_annuncio(annunciata, "for the computer's move"))
                return errore("the computer moved to %s, but the last announcement is \"%s\"",
                              cella_in_parole(computer).c_str(), o.ultima.c_str());
            o.mosse_computer++;
            computer_prima = computer;
        }
        if (al_turno) return 0;

        std::vector<long> bersagli;
        for (long id = 1; id <= CASELLE_GIOCABILI; id++) {
            long s = lettore::stato(a, id);
            if (s > 0 && (s & STATE_SYSTEM_FOCUSABLE) != 0) bersagli.push_back(id);
        }
        if (bersagli.empty() || bersagli.size() > MOSSE_MAX)
            return errore("%zu focusable cells while player 1 is to move", bersagli.size());
        if (tasti) {
            if (prova_tasti(o, bersagli) != 0) return 1;
            tasti = false;
        }
        if (!rifiuto_provato) {
            // A cell that is no target has no action: the blocked centre.
            long centro = (CENTRO_PRIMA - PRIMA_FILA) * LATO_GIOCABILE + (CENTRO_PRIMA - PRIMA_FILA) + 1;
            long s = lettore::stato(a, centro);
            HRESULT hr = lettore::azione(a, centro);
            if (s < 0 || (s & STATE_SYSTEM_UNAVAILABLE) == 0 || hr != DISP_E_MEMBERNOTFOUND)
                return errore("the centre cell: state %#lx, its action gives %#lx", s, static_cast<unsigned long>(hr));
            rifiuto_provato = true;
        }
        // The target nearest to player 1's goal, bottom right.
        long scelta = bersagli[0];
        auto distanza = [](long id) {
            int c = 0, r = 0;
            cella_di(id, &c, &r);
            return std::hypot(ULTIMA_FILA - c, ULTIMA_FILA - r);
        };
        for (long b : bersagli)
            if (distanza(b) < distanza(scelta)) scelta = b;
        std::string mossa = lettore::descrizione(a, scelta);
        if (!comincia(mossa, "Move ") || !contiene(mossa, (" to " + cella_in_parole(scelta) + ".").c_str()))
            return errore("target %s says \"%s\"", cella_in_parole(scelta).c_str(), mossa.c_str());
        HRESULT hr = lettore::azione(a, scelta);
        if (hr != S_OK) return errore("the default action of a target gives %#lx", static_cast<unsigned long>(hr));
        mosse++;
        if (!o.attendi_frase("after player 1's move")) return 1;
    }
    return errore("the game did not end within %lu s", LIMITE_CORSA / 1000);
}

// The board's object: a table of 64 cells and an announcer, with the
// centre unavailable, neighbours reached by navigation and a cell hit where
// it stands.
int struttura(IAccessible* a) {
    int d = 0;
    long alto = (CENTRO_PRIMA - PRIMA_FILA) * LATO_GIOCABILE + (CENTRO_PRIMA - PRIMA_FILA) + 1;
    if (lettore::ruolo(a, CHILDID_SELF) != ROLE_SYSTEM_TABLE) d += errore("the board is not a table");
    if (lettore::figli(a) != ANNUNCI) d += errore("the board has %ld children, not %ld", lettore::figli(a), ANNUNCI);
    if (lettore::ruolo(a, 1) != ROLE_SYSTEM_CELL) d += errore("child 1 is not a cell");
    if (lettore::ruolo(a, ANNUNCI) != ROLE_SYSTEM_ALERT) d += errore("child %ld is not an alert", ANNUNCI);
    if ((lettore::stato(a, ANNUNCI) & STATE_SYSTEM_FOCUSABLE) != 0) d += errore("the announcer can take the focus");
    if ((lettore::stato(a, alto) & STATE_SYSTEM_UNAVAILABLE) == 0) d += errore("the centre is available");
    if (lettore::vicino(a, 1, NAVDIR_RIGHT) != 2 || lettore::vicino(a, 1, NAVDIR_DOWN) != 1 + LATO_GIOCABILE ||
        lettore::vicino(a, 1, NAVDIR_LEFT) != -1 || lettore::vicino(a, CASELLE_GIOCABILI, NAVDIR_NEXT) != ANNUNCI)
        d += errore("navigation between the cells goes wrong");
    RECT r = sullo_schermo(10);
    if (lettore::colpito(a, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}) != 10)
        d += errore("the hit test at cell 10's centre does not give cell 10");
    std::string n = lettore::nome(a, 1);
    if (!comincia(n, "Row 1, column 1: ")) d += errore("cell 1 is named \"%s\"", n.c_str());
    dice("the board: \"%s\"; cell 1: \"%s\"", lettore::nome(a, CHILDID_SELF).c_str(), n.c_str());
    return d;
}

// The "End" box, waited for by the events the box's controls raise.
int fine_con_scatola(const std::string& fine) {
    HWND s = nullptr;
    for (DWORD inizio = GetTickCount(); (s = scatola("End")) == nullptr;) {
        DWORD passato = GetTickCount() - inizio;
        if (passato >= LIMITE_EVENTO) return errore("no \"End\" box within %lu s", LIMITE_EVENTO / 1000);
        lettore::attendi_evento([](const evento&) { return true; }, LIMITE_EVENTO - passato);
    }
    std::string t = testo_scatola(s);
    premi(s, IDOK);
    attendi_chiusura(s, 5000);
    bool giusto = contiene(fine, "wins.") ? t == "Game ends: player won!"
                  : contiene(fine, "drawn") ? t == "Game ends in a draw."
                                            : t == "Game ends: no move available.";
    if (!giusto) return errore("the end \"%s\" was announced, the box says \"%s\"", fine.c_str(), t.c_str());
    dice("\"End\" box: \"%s\"", t.c_str());
    return 0;
}

// The games left that the panel's name gives, -1 for none.
int restanti_nel_pannello(const std::string& nome) {
    std::size_t i = nome.find("games left ");
    return i == std::string::npos ? -1 : std::atoi(nome.c_str() + i + std::strlen("games left "));
}

int corsa(ascoltatore& o) {
    if (struttura(o.plancia) != 0) return 1;

    // A game against the computer to its "End" box, the keys tried at the
    // first turn.
    comando(CMD_NUOVA_PARTITA);
    std::string fine;
    if (gioca(o, true, std::string(), false, &fine) != 0 || fine_con_scatola(fine) != 0) return 1;

    // A tournament: the panel's text changes when its first game ends.
    o.pannello_letto = lettore::oggetto(pannello);
    if (o.pannello_letto == nullptr) return errore("the panel gives no object");
    lettore::coda().clear();
    comando(CMD_NUOVO_TORNEO);
    auto del_pannello = [](const evento& e) { return e.tipo == EVENT_OBJECT_NAMECHANGE && e.hwnd == pannello; };
    if (!lettore::attendi_evento(del_pannello, LIMITE_EVENTO)) return errore("the panel's name did not change");
    std::string prima = lettore::nome(o.pannello_letto, CHILDID_SELF);
    std::string bilancio = lettore::valore(o.pannello_letto, CHILDID_SELF);
    dice("the panel: \"%s\", \"%s\"", prima.c_str(), bilancio.c_str());
    // The first game may already be over when the panel is read (the
    // computer, beginning, can leave both players without a move at once):
    // then the next game's end is the one that changes the text.
    int restanti = restanti_nel_pannello(prima);
    if ((restanti != 15 && restanti != 14) || !comincia(bilancio, "Balance: "))
        return errore("the panel says \"%s\", \"%s\" as a tournament begins", prima.c_str(), bilancio.c_str());
    if (gioca(o, false, prima, false, &fine) != 0) return 1;
    dice("the panel after a game: \"%s\"", fine.c_str());
    if (restanti_nel_pannello(fine) != restanti - 1)
        return errore("after a game the panel says \"%s\"", fine.c_str());

    // S stops it once player 1 is to move in its second game: the end is
    // announced; the game goes on to its "End" box.
    if (gioca(o, false, fine, true, &fine) != 0) return 1;
    o.pannello_letto = nullptr;
    o.svuota();
    batti('S', false);
    if (!o.attendi_frase("after S stopped the tournament")) return 1;
    if (!comincia(o.ultima, "The tournament is over: "))
        return errore("S announced \"%s\", not the tournament's end", o.ultima.c_str());
    if (gioca(o, false, std::string(), false, &fine) != 0 || fine_con_scatola(fine) != 0) return 1;
    return 0;
}

}  // namespace

int lettore() {
    DWORD processo = 0;
    GetWindowThreadProcessId(finestra, &processo);
    pannello = FindWindowExA(finestra, nullptr, "specchietto!", nullptr);
    if (pannello == nullptr) return errore("no panel beside the board");
    // Three games and a few waits: twice a game's limit is reached only by a
    // call into the game that never returns.
    lettore::sorveglia(2 * LIMITE_CORSA, "automa lettore");
    if (!lettore::inizia(processo)) return errore("no event hook on the game's process");
    ascoltatore o;
    o.plancia = lettore::oggetto(finestra);
    int esito = o.plancia == nullptr ? errore("the board gives no object for OBJID_CLIENT") : corsa(o);
    if (o.plancia != nullptr) o.plancia->Release();
    if (o.pannello_letto != nullptr) o.pannello_letto->Release();
    if (esito == 0 && o.difetti == 0)
        dice("read through MSAA: %d announcements, %d moves of the computer, each announced", o.frasi,
             o.mosse_computer);
    lettore::finisci();
    lettore::basta();
    return esito != 0 || o.difetti != 0 ? 1 : 0;
}

}  // namespace automa
