// The board's accessible object: what each child is, read from the match
// through the core's words (see plancia_accessibile.h).
#include "plancia_accessibile.h"

#include <oleacc.h>

#include "parole.h"
#include "partita.h"

namespace {

std::string annuncio;

bool del_giocatore(const fotografia& f) { return f.turno >= 0 && f.tipo[f.turno] == UMANO; }

// The legal move of a person to move that ends on child c's cell, or -1.
int mossa_del_figlio(const fotografia& f, long c) {
    int col = 0, riga = 0;
    if (!del_giocatore(f) || !parole::casella_di(c, &col, &riga)) return -1;
    return parole::bersaglio(f, col, riga);
}

class plancia_letta : public fonte {
public:
    HWND finestra = nullptr;

    long figli() const override { return parole::FIGLIO_ANNUNCI; }

    std::string nome(long c) const override {
        if (c == parole::FIGLIO_ANNUNCI) return annuncio;
        fotografia f = game.fotografa();
        int col = 0, riga = 0;
        if (parole::casella_di(c, &col, &riga)) return parole::nome_casella(f, col, riga);
        return parole::nome_plancia(f);
    }

    std::string descrizione(long c) const override {
        fotografia f = game.fotografa();
        int col = 0, riga = 0;
        if (mossa_del_figlio(f, c) < 0 || !parole::casella_di(c, &col, &riga)) return std::string();
        return parole::mossa_casella(f, col, riga);
    }

    long ruolo(long c) const override {
        if (c == CHILDID_SELF) return ROLE_SYSTEM_TABLE;
        if (c == parole::FIGLIO_ANNUNCI) return ROLE_SYSTEM_ALERT;
        return ROLE_SYSTEM_CELL;
    }

    long stato(long c) const override {
        if (c == parole::FIGLIO_ANNUNCI) return STATE_SYSTEM_READONLY;
        fotografia f = game.fotografa();
        int col = 0, riga = 0;
        if (!parole::casella_di(c, &col, &riga)) {
            long s = STATE_SYSTEM_FOCUSABLE;
            return f.attuale < 0 ? s | STATE_SYSTEM_FOCUSED : s;
        }
        if (col >= CENTRO_PRIMA && col <= CENTRO_ULTIMA && riga >= CENTRO_PRIMA && riga <= CENTRO_ULTIMA)
            return STATE_SYSTEM_UNAVAILABLE;
        int m = mossa_del_figlio(f, c);
        if (m < 0) return 0;
        long s = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
        if (m == f.attuale) s |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
        return s;
    }

    bool rettangolo(long c, RECT* r) const override {
        int col = 0, riga = 0;
        if (parole::casella_di(c, &col, &riga))
            rettangolo_casella(r, col, riga);
        else if (c == parole::FIGLIO_ANNUNCI)
            *r = notizie;
        else
            *r = mio_rect;
        return true;
    }

    std::string azione(long c) const override {
        return mossa_del_figlio(game.fotografa(), c) >= 0 ? "Move here" : std::string();
    }

    // Exactly what a click on the target posts: the move with the turn's
    // number, performed later by the window's own loop.
    HRESULT esegui(long c) const override {
        fotografia f = game.fotografa();
        int m = mossa_del_figlio(f, c);
        if (m < 0) return DISP_E_MEMBERNOTFOUND;
        PostMessageA(finestra, MSG_MOSSA, static_cast<WPARAM>(m), static_cast<LPARAM>(f.serie));
        return S_OK;
    }

    long colpito(POINT p) const override {
        for (int riga = PRIMA_FILA; riga <= ULTIMA_FILA; riga++)
            for (int col = PRIMA_FILA; col <= ULTIMA_FILA; col++) {
                RECT r;
                rettangolo_casella(&r, col, riga);
                if (PtInRect(&r, p)) return parole::figlio_di(col, riga);
            }
        return PtInRect(&mio_rect, p) ? CHILDID_SELF : -1;
    }

    // Between neighbouring cells; next and previous in reading order, the
    // announcer after the last cell.
    long vicino(long verso, long da) const override {
        if (da == CHILDID_SELF) {
            if (verso == NAVDIR_FIRSTCHILD) return 1;
            if (verso == NAVDIR_LASTCHILD) return parole::FIGLIO_ANNUNCI;
            return -1;
        }
        if (verso == NAVDIR_NEXT) return da < parole::FIGLIO_ANNUNCI ? da + 1 : -1;
        if (verso == NAVDIR_PREVIOUS) return da > 1 ? da - 1 : -1;
        int col = 0, riga = 0;
        if (!parole::casella_di(da, &col, &riga)) return -1;
        switch (verso) {
        case NAVDIR_UP:
            riga--;
            break;
        case NAVDIR_DOWN:
            riga++;
            break;
        case NAVDIR_LEFT:
            col--;
            break;
        case NAVDIR_RIGHT:
            col++;
            break;
        default:
            return -1;
        }
        long id = parole::figlio_di(col, riga);
        return id > 0 ? id : -1;
    }

    long fuoco() const override { return figlio_a_fuoco(); }
    long scelto() const override {
        long c = figlio_a_fuoco();
        return c == CHILDID_SELF ? -1 : c;
    }
};

plancia_letta la_plancia;

}  // namespace

const fonte& fonte_plancia(HWND hWnd) {
    la_plancia.finestra = hWnd;
    return la_plancia;
}

long figlio_a_fuoco() {
    fotografia f = game.fotografa();
    if (f.turno < 0 || f.attuale < 0 || f.attuale >= f.n_lecite) return CHILDID_SELF;
    int col = 0, riga = 0;
    parole::arrivo(f, f.attuale, &col, &riga);
    return parole::figlio_di(col, riga);
}

void segnala_fuoco(HWND hWnd) { NotifyWinEvent(EVENT_OBJECT_FOCUS, hWnd, OBJID_CLIENT, figlio_a_fuoco()); }

void annuncia(HWND hWnd, const std::string& frase) {
    if (frase.empty()) return;
    annuncio = frase;
    NotifyWinEvent(EVENT_SYSTEM_ALERT, hWnd, OBJID_CLIENT, parole::FIGLIO_ANNUNCI);
}

const std::string& ultimo_annuncio() { return annuncio; }
