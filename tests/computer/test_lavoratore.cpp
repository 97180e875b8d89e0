// The computer-move worker through the real match: what it posts, with which
// turn number, how it keeps out of a new game's way, and whole games between
// two automatic players.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "aiuti.h"
#include "albero.h"
#include "computer.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"

#ifndef _WIN32
#include <winstub.h>
#endif

namespace {

struct Lavoratore : ::testing::Test {
    partita g;
    partita_ispettore i{g};
    HWND w = finestra_prova();

    void SetUp() override {
        albero::flag_stallo() = 0;
        g.ricomincia(w);  // both players human: no search yet
        messaggi(w);
        nuove_righe_log();
    }

    void TearDown() override {
        // No worker may outlive the match it reads: each one sets the event
        // when it is done.
        WaitForSingleObject(i.mutex(), INFINITE);
        SetEvent(i.mutex());
    }

    void giocatori(e_tipo t0, int l0, e_tipo t1, int l1) {
        e_tipo tipi[2] = {t0, t1};
        int livelli[2] = {l0, l1};
        g.set_opzioni(tipi, livelli);
    }

    // The next message posted to the window.
    MSG prossimo() {
        MSG m{};
        EXPECT_TRUE(attendi_messaggio(w, &m, 30000)) << "no message within 30 s";
        return m;
    }

    // The computer's move for a position set up with the inspectors.
    MSG mossa_per(unsigned x0, unsigned y0, unsigned x1, unsigned y1, int chi, int livello) {
        giocatori(chi == 0 ? COMPUTER : UMANO, livello, chi == 1 ? COMPUTER : UMANO, livello);
        i.posiziona(x0, y0, x1, y1, chi);
        EXPECT_EQ(g.mossa_macchina(w), 1);
        MSG m = prossimo();
        EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), g.firma()) << "the move carries its turn's number";
        return m;
    }

    // The main window's drain after a new game: moves made for another turn
    // go, those of the turn in progress are queued again.
    void svuota() {
        std::vector<MSG> tenute;
        MSG m;
        while (PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE))
            if (static_cast<std::uint32_t>(m.lParam) == g.firma()) tenute.push_back(m);
        for (const MSG& t : tenute) PostMessageA(w, t.message, t.wParam, t.lParam);
    }
};

TEST_F(Lavoratore, PostaLaSceltaDellaRicerca) {
    // A position of the start of a game, the computer to move: the worker
    // posts what the decision gives for the same position.
    giocatori(COMPUTER, 4, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    situazione s{};
    s.scacch = i.scacch();
    s.ped[0] = i.ped(0);
    s.ped[1] = i.ped(1);
    s.turno = 0;
    s.n_lecite = i.n_lecite();
    for (int k = 0; k < 3; k++) s.direz[k] = i.direz()[k];
    s.livello = 4;
    std::int32_t attesa = scegli_mossa(s);
    albero::flag_stallo() = 0;

    ASSERT_EQ(g.mossa_macchina(w), 1);
    MSG m = prossimo();
    EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), attesa);
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), g.firma());
    EXPECT_EQ(g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)), 1);
    EXPECT_NE(g.firma(), static_cast<std::uint32_t>(m.lParam));
}

TEST_F(Lavoratore, SenzaMosseLegaliPostaMenoUno) {
    // No legal move: -1, a pass that the match performs; player 1 is stuck
    // as well, so the game ends blocked.
    plancia_ispettore::metti_set(i.scacch(), 2, 1, set_di(0, 1, 7));
    MSG m = mossa_per(2, 1, 8, 1, 0, 10);
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), -1);
    EXPECT_EQ(g.esegui_mossa(w, -1, static_cast<std::uint32_t>(m.lParam)), 1);
    MSG fine = prossimo();
    EXPECT_EQ(fine.message, static_cast<UINT>(MSG_BLOCCO));
}

TEST_F(Lavoratore, UnaSolaMossaLegalePostaZero) {
    // One legal move: index 0 at once, whatever the skill.
    plancia_ispettore::metti_set(i.scacch(), 2, 1, set_di(0, 1, 2));
    MSG una = mossa_per(2, 1, 8, 1, 0, 10);
    EXPECT_EQ(static_cast<std::int32_t>(una.wParam), 0);
}

TEST_F(Lavoratore, PunteggiUgualiVinceIlPrimo) {
    // Player 1 on (1, 7) is one step from its goal. Player 0 on (6, 3)
    // moves along (1, 7)'s arrows 2, 3, 4; each cell it reaches shows arrows
    // that leave player 1 only the step onto its goal. All three moves score
    // -3.5: the first is posted.
    plancia& b = i.scacch();
    frecce(b, 1, 7, 2, 3, 4);
    frecce(b, 7, 3, 4, 5, 6);
    frecce(b, 7, 4, 4, 5, 7);
    frecce(b, 6, 4, 4, 6, 7);
    MSG m = mossa_per(6, 3, 1, 7, 0, 3);
    ASSERT_EQ(i.n_lecite(), 3);
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), 0);
}

TEST_F(Lavoratore, PunteggiDiversiEUgualiVinceIlPrimoDeiMigliori) {
    // Player 0 on (7, 7), player 1 on (8, 8): player 0's own arrows 0, 2, 4
    // lead to (7, 6), (8, 7) and (7, 8). Each leaves player 1 one reply, to
    // (7, 7); the last two end 1 from player 0's goal, the first sqrt(5):
    // scores a, b, b with a < b, and index 1 is posted.
    plancia& b = i.scacch();
    frecce(b, 7, 7, 0, 2, 4);
    frecce(b, 7, 6, 2, 3, 7);
    frecce(b, 8, 7, 1, 2, 7);
    frecce(b, 7, 8, 1, 3, 7);
    MSG m = mossa_per(7, 7, 8, 8, 0, 1);
    ASSERT_EQ(i.n_lecite(), 3);
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), 1);
}

TEST_F(Lavoratore, RadiceSenzaMemoriaPostaComunqueUnaMossa) {
    limite_nodi_guardia guardia;
    albero::limita_nodi(0);
    MSG m = mossa_per(1, 1, 8, 1, 0, 10);
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), 0);
    EXPECT_EQ(g.esegui_mossa(w, 0, static_cast<std::uint32_t>(m.lParam)), 1);
}

TEST_F(Lavoratore, MaiDueRicerchePerUnTurno) {
    giocatori(COMPUTER, 6, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(g.mossa_macchina(w), 0);
    MSG m = prossimo();
    EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    // The event is free again and nothing else was posted.
    WaitForSingleObject(i.mutex(), INFINITE);
    SetEvent(i.mutex());
    MSG altro;
    EXPECT_FALSE(attendi_messaggio(w, &altro, 200));
    // The next turn gets its own search.
    ASSERT_EQ(g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)), 1);
    giocatori(COMPUTER, 2, COMPUTER, 2);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
}

TEST_F(Lavoratore, NuovaPartitaAttendeLaRicercaELaVecchiaMossaVieneRifiutata) {
    // The next game is begun by player 0, a computer at the top skill.
    if (i.turno() == 0) g.ricomincia(w);
    messaggi(w);
    giocatori(COMPUTER, 10, UMANO, 1);
    g.ricomincia(w);
    ASSERT_EQ(i.turno(), 0);
    std::uint32_t vecchia = g.firma();

    // Until the worker holds the event (or has already posted).
    for (;;) {
        if (WaitForSingleObject(i.mutex(), 0) == WAIT_TIMEOUT) break;
        SetEvent(i.mutex());
        MSG m;
        if (PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, PM_NOREMOVE)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // The new game (player 1, a human, begins) waits for the search: when it
    // returns, the old game's move is already queued.
    g.ricomincia(w);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_NE(g.firma(), vecchia);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), vecchia);

    // Performed in the new game it is refused, with one log line, and
    // nothing moves.
    nuove_righe_log();
    EXPECT_EQ(g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)), 0);
    EXPECT_EQ(nuove_righe_log().size(), 1u);
    EXPECT_EQ(i.turno(), 1);
    unsigned x, y;
    i.ped(0).get_pos(&x, &y);
    EXPECT_EQ(x, 1u);
    EXPECT_EQ(y, 1u);
    EXPECT_FALSE(attendi_messaggio(w, &m, 100));
}

TEST_F(Lavoratore, IlComputerCheIniziaTieneLaSuaPrimaMossa) {
    giocatori(COMPUTER, 1, COMPUTER, 1);
    std::uint32_t vecchia = g.firma();
    for (int attesa_ms : {0, 200}) {
        // A move of the abandoned game is waiting when the new game starts.
        PostMessageA(w, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
        g.ricomincia(w);  // the computer begins: its worker starts at once
        std::uint32_t nuova = g.firma();
        // Drained before the worker posts (most likely at once) or after it
        // (after a pause): the new game's move stays either way.
        std::this_thread::sleep_for(std::chrono::milliseconds(attesa_ms));
        svuota();
        MSG m = prossimo();
        ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), nuova);
        EXPECT_EQ(g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam)), 1);
        EXPECT_FALSE(attendi_messaggio(w, &m, 50)) << "the stale move was not drained";
        vecchia = g.firma();
        // Let the game stop here: no worker for the next turn.
        WaitForSingleObject(i.mutex(), INFINITE);
        SetEvent(i.mutex());
    }
}

#ifndef _WIN32
TEST_F(Lavoratore, CreateThreadFallitaVieneScrittaNelLog) {
    giocatori(COMPUTER, 3, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    winstub_fallisci_thread(1);
    EXPECT_EQ(g.mossa_macchina(w), 0);
    std::vector<std::string> righe = nuove_righe_log();
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_NE(righe[0].find("CreateThread"), std::string::npos) << righe[0];
    MSG m;
    EXPECT_FALSE(attendi_messaggio(w, &m, 100));
    // The turn was not marked as searched: asking again starts the search.
    EXPECT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
}
#endif

// Plays one game between two automatic players as the main window would,
// to its end; returns the message that ended it and the moves performed.
UINT partita_intera(partita& g, HWND w, int* mosse) {
    g.ricomincia(w);
    *mosse = 0;
    for (int passi = 0; passi < 20000; passi++) {
        MSG m{};
        if (!attendi_messaggio(w, &m, 30000)) return 0;
        switch (m.message) {
            case MSG_MOSSA:
                if (g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam))) {
                    (*mosse)++;
                    if (g.stato() == COMPUTER && !g.mossa_macchina(w)) return 0;
                }
                break;
            case MSG_VITTORIA:
            case MSG_PATTA:
            case MSG_BLOCCO:
                return m.message;
            default:
                break;
        }
    }
    return 0;
}

TEST_F(Lavoratore, PartiteInteraTraDueComputer) {
    giocatori(COMPUTER, 3, COMPUTER, 2);
    for (int k = 0; k < 3; k++) {
        int mosse = 0;
        UINT fine = partita_intera(g, w, &mosse);
        EXPECT_TRUE(fine == MSG_VITTORIA || fine == MSG_PATTA || fine == MSG_BLOCCO) << "game " << k << " ended with " << fine;
        EXPECT_GT(mosse, 0);
        EXPECT_EQ(g.stato(), FERMO);
        EXPECT_EQ(i.turno(), -1);
    }
}

}  // namespace
