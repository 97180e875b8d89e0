// The match: new games, turns, passes, the end of a game and the pointer
// highlight of a human player's targets.
#include "partita.h"

#include <vector>

#include "parole.h"

partita::partita()
    : turno(-1),
      scacch(),
      tipo{UMANO, UMANO},
      skill{SKILL_MIN, SKILL_MIN},
      ped{pedina(PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA, ULTIMA_FILA),
          pedina(ULTIMA_FILA, PRIMA_FILA, PRIMA_FILA, ULTIMA_FILA)},
      attuale(-1),
      lecita{},
      vecchia{},
      direz{},
      n_lecite(0),
      stallo_vicino(0),
      mutex(CreateEventA(nullptr, FALSE, TRUE, nullptr)),
      registro{},
      serie(1),
      serie_cercata(0),
      serie_postata(0),
      serie_consegnata(0),
      lavoratori(0),
      segnale(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      numero(0),
      finita(0),
      fine_messaggio(0),
      fine_wparam(0),
      ultima_freccia(-1),
      da_tastiera(0),
      punto_noto(0),
      punto_mouse{0, 0} {}

int partita::ricomincia(HWND hWnd) {
    static std::int32_t chi_comincia = 0;

    // A worker posts for the game it was started in: wait until every one
    // started has posted and gone (its move is then in the queue, to be
    // refused by its turn's number), even one that has not yet taken the
    // event, so that no old search runs on behind the new game.
    attendi_lavoratori();
    WaitForSingleObject(mutex, INFINITE);
    turno = static_cast<std::int8_t>(chi_comincia);
    chi_comincia = 1 - chi_comincia;
    ped[0].posx = PRIMA_FILA;
    ped[0].posy = PRIMA_FILA;
    ped[1].posx = ULTIMA_FILA;
    ped[1].posy = PRIMA_FILA;
    stallo_vicino = 0;
    scacch.mischia();
    aggiorna_lecite();
    azzera_registro();
    nuovo_turno();
    // A new game: the end of the previous one, if still on its way, is stale.
    if (++numero == 0) numero = 1;
    finita = 0;
    SetEvent(mutex);

    if (tipo[turno] == COMPUTER) mossa_macchina(hWnd);
    return 1;
}

int partita::aggiorna_lecite() {
    if (turno < 0) return 0;
    unsigned mossa[MOSSE_MAX];
    n_lecite = scacch.mosse_lecite(mossa, ped[turno], ped[1 - turno]);
    if (n_lecite < 0) return 1;

    unsigned col, riga;
    ped[turno].get_pos(&col, &riga);
    for (int i = 0; i < n_lecite; i++) {
        rettangolo_casella(&lecita[i], static_cast<int>(col) + G_direzioni[mossa[i]][0],
                           static_cast<int>(riga) + G_direzioni[mossa[i]][1]);
        direz[i] = static_cast<std::uint8_t>(mossa[i]);
    }
    rettangolo_casella(&vecchia, static_cast<int>(col), static_cast<int>(riga));
    attuale = -1;
    return 1;
}

int partita::esegui_mossa(HWND hWnd, int mossa) {
    if (turno < 0) {
        logfile << "ERRORE in partita::esegui_mossa!!" << std::endl;
        return 0;
    }
    if (mossa >= n_lecite) {
        // No caller sends such an index; a token must never move along a
        // direction that was not dealt to this turn.
        logfile << "ERRORE in partita::esegui_mossa: mossa " << mossa << " fuori intervallo!!" << std::endl;
        return 0;
    }
    nuovo_turno();

    if (mossa >= 0) {
        stallo_vicino = 0;
        ped[turno].move_to(direz[mossa]);
        InvalidateRect(hWnd, &vecchia, FALSE);
        InvalidateRect(hWnd, &lecita[mossa], FALSE);
        InvalidateRect(hWnd, &notizie, FALSE);
        if (ped[turno].vittoria()) {
            termina(hWnd, MSG_VITTORIA, static_cast<WPARAM>(turno));
            return 1;
        }
        if (patta()) {
            termina(hWnd, MSG_PATTA, 0);
            return 1;
        }
    } else {
        stallo_vicino = 1;  // a pass: nothing moves, nothing is recorded
    }

    turno = static_cast<std::int8_t>(1 - turno);
    aggiorna_lecite();
    if (n_lecite != 0) return 1;

    if (stallo_vicino == 1) {
        // The turn came here by a pass and this player is stuck as well.
        termina(hWnd, MSG_BLOCCO, 0);
    } else {
        esegui_mossa(hWnd, -1);
    }
    return 1;
}

void partita::termina(HWND hWnd, UINT messaggio, WPARAM wParam) {
    turno = -1;
    // No target is left to choose: the frame must not stay around the token
    // that has just reached it.
    attuale = -1;
    finita = numero;
    fine_messaggio = messaggio;
    fine_wparam = wParam;
    PostMessageA(hWnd, messaggio, wParam, static_cast<LPARAM>(numero));
}

int partita::accetta_fine(std::uint32_t n) {
    if (n == 0 || n != finita) {
        logfile << "fine della partita " << n << " scartata: non e' la partita appena finita (" << numero << ")"
                << std::endl;
        return 0;
    }
    finita = 0;
    return 1;
}

std::uint32_t partita::fine_da_prendere(UINT* messaggio, WPARAM* wParam) const {
    if (finita == 0) return 0;
    if (messaggio != nullptr) *messaggio = fine_messaggio;
    if (wParam != nullptr) *wParam = fine_wparam;
    return finita;
}

int partita::esegui_mossa(HWND hWnd, int mossa, std::uint32_t firma) {
    if (firma != serie) {
        logfile << "mossa " << mossa << " di un turno chiuso scartata" << std::endl;
        return 0;
    }
    return esegui_mossa(hWnd, mossa);
}

int partita::scarta_mosse_scadute(HWND hWnd) const {
    std::vector<MSG> tenute;
    MSG m;
    while (PeekMessageA(&m, hWnd, MSG_MOSSA, MSG_MOSSA, PM_REMOVE))
        if (static_cast<std::uint32_t>(m.lParam) == serie) tenute.push_back(m);
    for (const MSG& t : tenute) PostMessageA(hWnd, MSG_MOSSA, t.wParam, t.lParam);
    return static_cast<int>(tenute.size());
}

int partita::mossa_uomo(HWND hWnd, POINT punto, unsigned wParam) {
    std::int32_t L_n_lecite = n_lecite;
    // The pointer reported again where it already was has not moved: a
    // frame that a key has set or removed stays as the key left it.
    bool fermo = punto_noto && punto.x == punto_mouse.x && punto.y == punto_mouse.y;
    punto_noto = 1;
    punto_mouse = punto;
    if (turno < 0 || tipo[turno] != UMANO) return 1;
    if (fermo && da_tastiera && !(wParam & MK_LBUTTON)) return 1;
    da_tastiera = 0;

    std::int32_t i;
    for (i = 0; i < L_n_lecite; i++) {
        if (!PtInRect(&lecita[i], punto)) continue;
        if (wParam & MK_LBUTTON) {
            PostMessageA(hWnd, MSG_MOSSA, static_cast<WPARAM>(i), static_cast<LPARAM>(serie));
        } else {
            inquadra(hWnd, i);
        }
        break;
    }
    if (i >= L_n_lecite) inquadra(hWnd, -1);
    return 1;
}

void partita::inquadra(HWND hWnd, std::int32_t i) {
    ultima_freccia = -1;
    if (i == attuale) return;
    if (i >= 0) InvalidateRect(hWnd, &lecita[i], FALSE);
    if (attuale >= 0) InvalidateRect(hWnd, &lecita[attuale], FALSE);
    attuale = i;
}

std::int32_t partita::indice_direzione(unsigned d) const {
    for (std::int32_t i = 0; i < n_lecite; i++)
        if (direz[i] == d) return i;
    return -1;
}

// An arrow key towards direction d (0 up, 2 right, 4 down, 6 left): the
// target straight that way, then the diagonal clockwise from it, then the
// one anticlockwise; the same arrow again goes on to the next of them that
// is legal, round and round.
int partita::freccia(HWND hWnd, unsigned d) {
    const unsigned verso[3] = {d, (d + 1) % 8, (d + 7) % 8};
    std::int32_t scelte[3];
    int n = 0, dove = -1;
    for (unsigned v : verso) {
        std::int32_t i = indice_direzione(v);
        if (i < 0) continue;
        if (i == attuale) dove = n;
        scelte[n++] = i;
    }
    if (n == 0) return 0;
    bool di_nuovo = ultima_freccia == static_cast<std::int32_t>(d) && dove >= 0;
    inquadra(hWnd, scelte[di_nuovo ? (dove + 1) % n : 0]);
    ultima_freccia = static_cast<std::int32_t>(d);
    return 1;
}

int partita::tasto_uomo(HWND hWnd, unsigned tasto, int esteso, int maiuscolo) {
    // The numeric keypad's digits as compass directions (index 0 for the
    // digit 1; 5 is no direction): with Num Lock on they come as
    // VK_NUMPAD1 to 9, with it off as the keys printed on them, without the
    // extended bit that the dedicated keys carry.
    static const int tastierino[9] = {5, 4, 3, 6, -1, 2, 7, 0, 1};
    static const unsigned senza_num_lock[9] = {VK_END,   VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                                               VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR};
    int cifra = 0;
    if (tasto >= VK_NUMPAD1 && tasto <= VK_NUMPAD9) cifra = static_cast<int>(tasto - VK_NUMPAD0);
    for (int k = 0; k < 9 && !esteso && cifra == 0; k++)
        if (tasto == senza_num_lock[k]) cifra = k + 1;
    int freccia_verso = -1;
    if (esteso && cifra == 0) {
        switch (tasto) {
        case VK_UP:
            freccia_verso = 0;
            break;
        case VK_RIGHT:
            freccia_verso = 2;
            break;
        case VK_DOWN:
            freccia_verso = 4;
            break;
        case VK_LEFT:
            freccia_verso = 6;
            break;
        default:
            break;
        }
    }
    bool del_gioco = cifra != 0 || freccia_verso >= 0 || tasto == VK_TAB || tasto == VK_RETURN ||
                     tasto == VK_SPACE || tasto == VK_ESCAPE;
    if (!del_gioco) return -1;
    if (turno < 0 || tipo[turno] != UMANO || n_lecite <= 0) return 0;

    if (cifra != 0) {
        int verso = tastierino[cifra - 1];
        std::int32_t i = verso < 0 ? -1 : indice_direzione(static_cast<unsigned>(verso));
        if (i < 0) return 0;
        PostMessageA(hWnd, MSG_MOSSA, static_cast<WPARAM>(i), static_cast<LPARAM>(serie));
        return 1;
    }
    if (tasto == VK_RETURN || tasto == VK_SPACE) {
        if (attuale < 0) return 0;
        // Exactly what a click on the framed target posts.
        PostMessageA(hWnd, MSG_MOSSA, static_cast<WPARAM>(attuale), static_cast<LPARAM>(serie));
        return 1;
    }
    da_tastiera = 1;
    if (freccia_verso >= 0) return freccia(hWnd, static_cast<unsigned>(freccia_verso));
    if (tasto == VK_ESCAPE) {
        if (attuale < 0) return 0;
        inquadra(hWnd, -1);
        return 1;
    }
    // Tab and Shift+Tab, in the order of the legal moves, round and round.
    std::int32_t passo = maiuscolo ? n_lecite - 1 : 1;
    inquadra(hWnd, attuale < 0 ? (maiuscolo ? n_lecite - 1 : 0) : (attuale + passo) % n_lecite);
    return 1;
}

fotografia partita::fotografa() const {
    fotografia f;
    f.turno = turno;
    for (int p = 0; p < 2; p++) {
        f.tipo[p] = tipo[p];
        ped[p].get_pos(&f.col[p], &f.riga[p]);
    }
    for (int x = 0; x < LATO_PLANCIA; x++)
        for (int y = 0; y < LATO_PLANCIA; y++) f.celle[x][y] = scacch.cella(x, y);
    f.n_lecite = turno < 0 ? 0 : n_lecite;
    for (int i = 0; i < MOSSE_MAX; i++) f.direz[i] = direz[i];
    f.attuale = turno < 0 ? -1 : attuale;
    f.numero = numero;
    f.serie = serie;
    f.fine = fine_messaggio;
    f.vincitore = static_cast<int>(fine_wparam);
    return f;
}

e_tipo partita::stato() const { return turno < 0 ? FERMO : tipo[turno]; }

int partita::set_opzioni(e_tipo* tipi, int* livello, HWND hWnd) {
    // As for a new game: no worker started with the old options runs on.
    attendi_lavoratori();
    WaitForSingleObject(mutex, INFINITE);
    bool cambiato = false;
    for (int p = 0; p < 2; p++) {
        // A kind is a person or the computer; a skill is a search depth of
        // SKILL_MIN to SKILL_MAX, beyond which one decision would take hours.
        e_tipo nuovo = tipi[p] == COMPUTER ? COMPUTER : UMANO;
        cambiato = cambiato || nuovo != tipo[p];
        tipo[p] = nuovo;
        skill[p] = livello[p] < SKILL_MIN ? SKILL_MIN : livello[p] > SKILL_MAX ? SKILL_MAX : livello[p];
    }
    // After a change of kind the highlight is nobody's pointing any more (a
    // player made automatic points at nothing): its frame goes now, rather
    // than when its cell happens to be painted again.
    if (cambiato && attuale >= 0) {
        if (hWnd != nullptr && attuale < n_lecite) InvalidateRect(hWnd, &lecita[attuale], FALSE);
        attuale = -1;
    }
    SetEvent(mutex);
    return 1;
}

int partita::get_opzioni(e_tipo* tipi, int* livello) const {
    tipi[0] = tipo[0];
    tipi[1] = tipo[1];
    livello[0] = skill[0];
    livello[1] = skill[1];
    return 1;
}
