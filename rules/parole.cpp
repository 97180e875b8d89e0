// The board and the match in words (see parole.h).
#include "parole.h"

namespace parole {

namespace {

std::string cella(int col, int riga) { return "row " + std::to_string(riga) + ", column " + std::to_string(col); }

std::string conteggio(int n, const char* una, const char* molte) {
    return std::to_string(n) + " " + (n == 1 ? una : molte);
}

// Whose start or goal a corner is; empty for any other cell.
const char* angolo(categoria c) {
    switch (c) {
    case inizio1:
        return "Player 1's start";
    case inizio2:
        return "Player 2's start";
    case fine1:
        return "Player 1's goal";
    case fine2:
        return "Player 2's goal";
    default:
        return "";
    }
}

bool centro(int col, int riga) {
    return col >= CENTRO_PRIMA && col <= CENTRO_ULTIMA && riga >= CENTRO_PRIMA && riga <= CENTRO_ULTIMA;
}

bool giocabile(int col, int riga) {
    return col >= PRIMA_FILA && col <= ULTIMA_FILA && riga >= PRIMA_FILA && riga <= ULTIMA_FILA;
}

const plancia::casella& casa(const fotografia& f, int col, int riga) { return f.celle[col][riga]; }

// "up, down-right, left": the three arrows of an ordinary cell.
std::string frecce(const plancia::casella& c) {
    std::string s;
    for (int i = 0; i < FRECCE_PER_CASELLA; i++) {
        if (i > 0) s += ", ";
        s += direzione(static_cast<unsigned>(G_set_frecce[c.frecce % CASELLE_NORMALI][i]));
    }
    return s;
}

// The cell whose arrows decide the moves of the player to move, as the
// rules take it: the opponent's while it is ordinary, else the mover's own;
// false when neither is (every direction is tried).
bool cella_che_decide(const fotografia& f, int* col, int* riga) {
    for (int p : {1 - f.turno, f.turno}) {
        int c = static_cast<int>(f.col[p]), r = static_cast<int>(f.riga[p]);
        if (giocabile(c, r) && casa(f, c, r).cat == normale) {
            *col = c;
            *riga = r;
            return true;
        }
    }
    return false;
}

std::string frecce_che_contano(const fotografia& f) {
    int c = 0, r = 0;
    if (!cella_che_decide(f, &c, &r)) return "in any direction, both tokens standing on corners";
    bool sua = static_cast<unsigned>(c) == f.col[1 - f.turno] && static_cast<unsigned>(r) == f.riga[1 - f.turno];
    return std::string("by the arrows of ") + (sua ? "the opponent's" : "its own") + " cell, " + cella(c, r) + ": " +
           frecce(casa(f, c, r));
}

// "down-left to row 5, column 3", for legal move i.
std::string verso_e_arrivo(const fotografia& f, int i) {
    int c = 0, r = 0;
    arrivo(f, i, &c, &r);
    return std::string(direzione(f.direz[i])) + " to " + cella(c, r);
}

// The cell a token stands on after moving from (c0, r0) to (c1, r1), with
// the direction of that one step; false when it is no single step.
bool passo(unsigned c0, unsigned r0, unsigned c1, unsigned r1, unsigned* d) {
    for (unsigned k = 0; k < N_DIREZIONI; k++)
        if (c0 + static_cast<unsigned>(G_direzioni[k][0]) == c1 && r0 + static_cast<unsigned>(G_direzioni[k][1]) == r1) {
            *d = k;
            return true;
        }
    return false;
}

std::string tallies(const conti_torneo& c) {
    return "Player 1 " + std::to_string(c.vittorie[0]) + ", draws " + std::to_string(c.patte) + ", Player 2 " +
           std::to_string(c.vittorie[1]);
}

std::string maiuscola(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

}  // namespace

long figlio_di(int col, int riga) {
    if (!giocabile(col, riga)) return 0;
    return (riga - PRIMA_FILA) * LATO_GIOCABILE + (col - PRIMA_FILA) + 1;
}

bool casella_di(long figlio, int* col, int* riga) {
    if (figlio < 1 || figlio > CASELLE_GIOCABILI) return false;
    *col = static_cast<int>((figlio - 1) % LATO_GIOCABILE) + PRIMA_FILA;
    *riga = static_cast<int>((figlio - 1) / LATO_GIOCABILE) + PRIMA_FILA;
    return true;
}

const char* direzione(unsigned d) {
    static const char* const nomi[N_DIREZIONI] = {"up",   "up-right",  "right", "down-right",
                                                  "down", "down-left", "left",  "up-left"};
    return d < N_DIREZIONI ? nomi[d] : "nowhere";
}

std::string giocatore(const fotografia& f, int chi, bool con_tipo) {
    std::string s = chi == 0 ? "Player 1" : "Player 2";
    if (con_tipo && f.tipo[chi] == COMPUTER) s += " (computer)";
    return s;
}

int bersaglio(const fotografia& f, int col, int riga) {
    if (f.turno < 0) return -1;
    for (int i = 0; i < f.n_lecite && i < MOSSE_MAX; i++) {
        int c = 0, r = 0;
        arrivo(f, i, &c, &r);
        if (c == col && r == riga) return i;
    }
    return -1;
}

void arrivo(const fotografia& f, int mossa, int* col, int* riga) {
    unsigned d = f.direz[mossa] % N_DIREZIONI;
    *col = static_cast<int>(f.col[f.turno]) + G_direzioni[d][0];
    *riga = static_cast<int>(f.riga[f.turno]) + G_direzioni[d][1];
}

std::string nome_casella(const fotografia& f, int col, int riga) {
    std::string s = maiuscola(cella(col, riga)) + ": ";
    if (!giocabile(col, riga)) return s + "off the board";
    if (centro(col, riga)) return s + "blocked centre";
    std::string cosa;
    for (int p = 0; p < 2; p++)
        if (f.col[p] == static_cast<unsigned>(col) && f.riga[p] == static_cast<unsigned>(riga))
            cosa += (cosa.empty() ? "" : ", ") + giocatore(f, p, false) + "'s token";
    const plancia::casella& c = casa(f, col, riga);
    if (c.cat == normale) {
        s += cosa.empty() ? "empty" : cosa;
        return s + "; arrows " + frecce(c);
    }
    if (!cosa.empty()) s += cosa + " on ";
    return s + angolo(c.cat);
}

std::string mossa_casella(const fotografia& f, int col, int riga) {
    int i = bersaglio(f, col, riga);
    if (i < 0) return std::string();
    return "Move " + verso_e_arrivo(f, i) + ".";
}

std::string turno(const fotografia& f) {
    if (f.turno < 0) return std::string();
    std::string s = giocatore(f, f.turno, true) + " to move: ";
    return s + (f.n_lecite > 0 ? conteggio(f.n_lecite, "move", "moves") : "no legal move") + ".";
}

std::string nome_plancia(const fotografia& f) {
    if (f.turno < 0) {
        std::string fine = annuncio_fine(f);
        return fine.empty() ? "Board: no game in progress." : "Board: the game is over. " + fine;
    }
    std::string s = "Board: " + turno(f);
    return s.substr(0, s.size() - 1) + ", " + frecce_che_contano(f) + ".";
}

std::string annuncio_fine(const fotografia& f) {
    if (f.turno >= 0) return std::string();
    switch (f.fine) {
    case MSG_VITTORIA:
        return giocatore(f, f.vincitore == 1 ? 1 : 0, false) + " wins.";
    case MSG_PATTA:
        return "The game is drawn: the same placement came a fourth time.";
    case MSG_BLOCCO:
        return "The game ends: neither player can move.";
    default:
        return std::string();
    }
}

std::string annuncio_mossa(const fotografia& prima, const fotografia& dopo) {
    if (prima.numero != dopo.numero || prima.turno < 0 || prima.serie == dopo.serie) return std::string();
    const int chi = prima.turno;
    std::string s;
    unsigned d = 0;
    if (passo(prima.col[chi], prima.riga[chi], dopo.col[chi], dopo.riga[chi], &d))
        s = giocatore(prima, chi, true) + " moved " + direzione(d) + " to " +
            cella(static_cast<int>(dopo.col[chi]), static_cast<int>(dopo.riga[chi])) + ".";
    else
        s = giocatore(prima, chi, true) + " passes: no legal move.";
    // The turn that came back to the same player, or a game blocked after
    // this move, means the opponent had no move.
    if (dopo.turno == chi || (dopo.turno < 0 && dopo.fine == MSG_BLOCCO && prima.serie + 1 != dopo.serie))
        s += " " + giocatore(prima, 1 - chi, true) + " passes: no legal move.";
    if (dopo.turno < 0) return s + " " + annuncio_fine(dopo);
    return s + " " + turno(dopo);
}

std::string annuncio_partita_torneo(const fotografia& f, const conti_torneo& c) {
    std::string fine = annuncio_fine(f);
    if (fine.empty()) fine = "The game is over.";
    return fine + " " + tallies(c) + ", games left " + std::to_string(c.restanti) + ".";
}

std::string annuncio_fine_torneo(const conti_torneo& c) {
    return "The tournament is over: Player 1 " + std::to_string(c.vittorie[0]) + ", Player 2 " +
           std::to_string(c.vittorie[1]) + ", draws " + std::to_string(c.patte) + ".";
}

std::string posizione(const fotografia& f, const conti_torneo* c) {
    std::string s;
    for (int p = 0; p < 2; p++)
        s += giocatore(f, p, true) + "'s token: " +
             cella(static_cast<int>(f.col[p]), static_cast<int>(f.riga[p])) + ". ";
    if (f.turno < 0) {
        std::string fine = annuncio_fine(f);
        s += fine.empty() ? "No game in progress." : "The game is over. " + fine;
    } else {
        s += turno(f);
        if (f.n_lecite > 0) {
            s.back() = ',';
            s += " " + frecce_che_contano(f) + ": ";
            for (int i = 0; i < f.n_lecite && i < MOSSE_MAX; i++) s += (i > 0 ? "; " : "") + verso_e_arrivo(f, i);
            s += ".";
        }
    }
    if (c != nullptr && c->restanti > 0) s += " Tournament: " + testo_pannello(*c) + ".";
    return s;
}

std::string testo_pannello(const conti_torneo& c) {
    return tallies(c) + ", games left " + std::to_string(c.restanti);
}

std::string bilancio(int percento) {
    if (percento < 0) percento = 0;
    if (percento > 100) percento = 100;
    return "Balance: Player 1 " + std::to_string(percento) + " per cent, Player 2 " + std::to_string(100 - percento) +
           " per cent";
}

}  // namespace parole
