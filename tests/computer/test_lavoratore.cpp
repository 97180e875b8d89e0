// The computer-move worker through the real match: what it posts, with which
// turn number, how it keeps out of a new game's way, and whole games between
// two automatic players.
#include <gtest/gtest.h>

#include <atomic>
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
    // No worker may outlive the match it reads: each one sets the event
    // when it is done.
    void TearDown() override { attendi_lavoratore(); }
    void attendi_lavoratore() {
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
    // The computer's move for a position set up with the inspectors, checked
    // to carry its turn's number.
    MSG mossa_per(unsigned x0, unsigned y0, unsigned x1, unsigned y1, int chi, int livello) {
        giocatori(chi == 0 ? COMPUTER : UMANO, livello, chi == 1 ? COMPUTER : UMANO, livello);
        i.posiziona(x0, y0, x1, y1, chi);
        EXPECT_EQ(g.mossa_macchina(w), 1);
        MSG m = prossimo();
        EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), g.firma());
        return m;
    }
    int esegui(const MSG& m) {
        return g.esegui_mossa(w, static_cast<int>(m.wParam), static_cast<std::uint32_t>(m.lParam));
    }
};

TEST_F(Lavoratore, UnaMossaLegalePostaZero) {
    // One legal move: index 0 at once, whatever the skill.
    frecce(i.scacch(), 2, 1, 0, 1, 2);
    EXPECT_EQ(static_cast<std::int32_t>(mossa_per(2, 1, 8, 1, 0, 10).wParam), 0);
}

TEST_F(Lavoratore, NessunaMossaLegalePostaMenoUno) {
    // No legal move: -1, a pass that the match performs; player 1 is stuck
    // as well, so the game ends blocked.
    frecce(i.scacch(), 2, 1, 0, 1, 7);
    MSG m = mossa_per(2, 1, 8, 1, 0, 10);
    EXPECT_EQ(static_cast<std::int32_t>(m.wParam), -1);
    EXPECT_EQ(esegui(m), 1);
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_BLOCCO));
}

TEST_F(Lavoratore, TraPunteggiUgualiVinceIlPrimo) {
    // Player 1 on (1, 7) is one step from its goal. Player 0 on (6, 3)
    // moves along (1, 7)'s arrows 2, 3, 4; each cell it reaches leaves
    // player 1 only the step onto its goal. All three score -3.5: 0 is posted.
    plancia& b = i.scacch();
    frecce(b, 1, 7, 2, 3, 4);
    frecce(b, 7, 3, 4, 5, 6);
    frecce(b, 7, 4, 4, 5, 7);
    frecce(b, 6, 4, 4, 6, 7);
    EXPECT_EQ(static_cast<std::int32_t>(mossa_per(6, 3, 1, 7, 0, 3).wParam), 0);
    ASSERT_EQ(i.n_lecite(), 3);
}

TEST_F(Lavoratore, TraPunteggiABBVinceIlPrimoDeiMigliori) {
    // Player 0 on (7, 7), player 1 on (8, 8): player 0's arrows 0, 2, 4 lead
    // to (7, 6), (8, 7) and (7, 8), each leaving player 1 one reply, to
    // (7, 7); the last two end 1 from player 0's goal, the first sqrt(5):
    // scores a, b, b with a < b, and 1 is posted.
    plancia& b = i.scacch();
    frecce(b, 7, 7, 0, 2, 4);
    frecce(b, 7, 6, 2, 3, 7);
    frecce(b, 8, 7, 1, 2, 7);
    frecce(b, 7, 8, 1, 3, 7);
    EXPECT_EQ(static_cast<std::int32_t>(mossa_per(7, 7, 8, 8, 0, 1).wParam), 1);
    ASSERT_EQ(i.n_lecite(), 3);
}

TEST_F(Lavoratore, MaiDueRicerchePerUnTurno) {
    giocatori(COMPUTER, 6, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(g.mossa_macchina(w), 0);
    MSG m = prossimo();
    EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    attendi_lavoratore();
    MSG altro;
    EXPECT_FALSE(attendi_messaggio(w, &altro, 200));
    // The next turn gets its own search.
    ASSERT_EQ(esegui(m), 1);
    giocatori(COMPUTER, 2, COMPUTER, 2);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
}

TEST_F(Lavoratore, NuovaPartitaAttendeLaRicercaELaVecchiaMossaVieneRifiutata) {
    // A search in a game that player 0 began, held back by the test holding
    // the event; the next game is begun by player 1, a human.
    if (i.turno() == 1) g.ricomincia(w);
    messaggi(w);
    giocatori(COMPUTER, 10, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    std::uint32_t vecchia = g.firma();
    WaitForSingleObject(i.mutex(), INFINITE);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    // The new game, asked for meanwhile from another thread, waits.
    struct nuova_partita {
        static DWORD WINAPI avvia(LPVOID p) {
            static_cast<Lavoratore*>(p)->g.ricomincia(static_cast<Lavoratore*>(p)->w);
            return 0;
        }
    };
    HANDLE nuova = CreateThread(nullptr, 0, nuova_partita::avvia, this, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(nuova, 100), static_cast<DWORD>(WAIT_TIMEOUT)) << "the new game did not wait";
    SetEvent(i.mutex());
    WaitForSingleObject(nuova, INFINITE);
    CloseHandle(nuova);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_NE(g.firma(), vecchia);
    // The old game's move, whenever it comes, is refused in the new game with
    // one log line, and nothing moves.
    MSG m = prossimo();
    ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), vecchia);
    nuove_righe_log();
    EXPECT_EQ(esegui(m), 0);
    EXPECT_EQ(nuove_righe_log().size(), 1u);
    EXPECT_EQ(i.turno(), 1);
    unsigned x, y;
    i.ped(0).get_pos(&x, &y);
    EXPECT_TRUE(x == 1 && y == 1);
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
        // The main window's drain.
        g.scarta_mosse_scadute(w);
        MSG m = prossimo();
        ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), nuova);
        EXPECT_EQ(esegui(m), 1);
        EXPECT_FALSE(attendi_messaggio(w, &m, 50)) << "the stale move was not drained";
        vecchia = g.firma();
        attendi_lavoratore();  // let the game stop here: no worker for the next turn
    }
}

// A box closed from another program drops the next posted message after it
// has ended; when that was the computer's move, `riprendi` searches the turn
// again, and only then.
TEST_F(Lavoratore, RiprendiCercaDiNuovoSoloLaMossaPersa) {
    giocatori(COMPUTER, 2, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    // Requested, its worker held back by the test: the search is running.
    WaitForSingleObject(i.mutex(), INFINITE);
    ASSERT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(g.riprendi(w), 0) << "a running search was counted as lost";
    SetEvent(i.mutex());
    // Posted and queued: nothing is lost.
    MSG m;
    ASSERT_TRUE(attendi_messaggio(w, &m, 30000));
    ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    attendi_lavoratore();
    PostMessageA(w, MSG_MOSSA, m.wParam, m.lParam);
    nuove_righe_log();
    EXPECT_EQ(g.riprendi(w), 0) << "a queued move was counted as lost";
    EXPECT_TRUE(nuove_righe_log().empty());
    // Taken from the queue and dropped, as the box's loop does.
    ASSERT_TRUE(PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));
    EXPECT_EQ(g.riprendi(w), 1);
    EXPECT_EQ(nuove_righe_log().size(), 1u);
    MSG di_nuovo = prossimo();
    ASSERT_EQ(di_nuovo.message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::uint32_t>(di_nuovo.lParam), g.firma());
    EXPECT_EQ(di_nuovo.wParam, m.wParam) << "the same position, the same move";
    attendi_lavoratore();
    // That one taken and dropped too, the event still held, as by a worker
    // that has just posted and not yet let go: searched again all the same,
    // once, even when asked again before the new worker has posted.
    WaitForSingleObject(i.mutex(), INFINITE);
    EXPECT_EQ(g.riprendi(w), 1) << "a move lost just before the event was set";
    EXPECT_EQ(g.riprendi(w), 0) << "a second search before the first posted";
    SetEvent(i.mutex());
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
    attendi_lavoratore();
    EXPECT_FALSE(attendi_messaggio(w, &m, 100));
    // With the human to move nothing is searched, the move dropped or not.
    giocatori(UMANO, 2, UMANO, 1);
    EXPECT_EQ(g.riprendi(w), 0);
    EXPECT_FALSE(attendi_messaggio(w, &m, 100));
    // Nor once the game is over.
    giocatori(COMPUTER, 2, UMANO, 1);
    i.turno() = -1;
    EXPECT_EQ(g.riprendi(w), 0);
    EXPECT_FALSE(attendi_messaggio(w, &m, 100));
}

TEST_F(Lavoratore, RiprendiSubitoDopoLaRichiestaNonRaddoppiaLaRicerca) {
    // The search requested, its worker not yet past the event: nothing has
    // been posted, nothing is lost. Many times, so that `riprendi` meets the
    // worker before, while and after it takes the event.
    giocatori(COMPUTER, 1, UMANO, 1);
    for (int k = 0; k < 200; k++) {
        i.posiziona(1, 1, 8, 1, 0);
        i.serie_cercata() = g.firma() - 1;  // a fresh request for this turn
        ASSERT_EQ(g.mossa_macchina(w), 1);
        ASSERT_EQ(g.riprendi(w), 0) << "a second search, round " << k;
        MSG m = prossimo();
        attendi_lavoratore();
        PostMessageA(w, MSG_MOSSA, m.wParam, m.lParam);
        ASSERT_EQ(g.riprendi(w), 0) << "the move is queued, round " << k;
        int per_il_turno = 0;
        for (const MSG& e : messaggi(w))
            per_il_turno += e.message == MSG_MOSSA && static_cast<std::uint32_t>(e.lParam) == g.firma();
        ASSERT_EQ(per_il_turno, 1) << "round " << k;
        g.esegui_mossa(w, -1);  // on to another turn (a pass for player 0)
    }
}

#ifndef _WIN32
// The worker notes its turn before it posts: held just after posting (the
// stand-in's seam), its move taken from the queue and dropped by a box's
// loop, `riprendi` already knows that the move was sent and searches the
// turn again. Noted after posting, the turn would look still searched, and
// nobody would ever move again.
namespace trattenuto {
std::thread::id principale;
std::atomic<bool> tieni{false};
HANDLE arrivato = nullptr, lascia = nullptr;
void dopo_il_post(HWND, UINT Msg, WPARAM, LPARAM) {
    if (Msg != MSG_MOSSA || std::this_thread::get_id() == principale || !tieni.exchange(false)) return;
    SetEvent(arrivato);
    WaitForSingleObject(lascia, INFINITE);
}
}  // namespace trattenuto

TEST_F(Lavoratore, IlTurnoVieneAnnotatoPrimaDellaMossa) {
    using namespace trattenuto;
    principale = std::this_thread::get_id();
    arrivato = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    lascia = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    winstub_dopo_il_post(dopo_il_post);
    giocatori(COMPUTER, 2, UMANO, 1);
    for (int volta = 0; volta < 20; volta++) {
        i.azzera_registro();
        i.posiziona(1, 1, 8, 1, 0);
        tieni = true;
        ASSERT_EQ(g.mossa_macchina(w), 1);
        ASSERT_EQ(WaitForSingleObject(arrivato, 30000), WAIT_OBJECT_0) << "the worker posted nothing";
        MSG persa;
        ASSERT_TRUE(PeekMessageA(&persa, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));
        EXPECT_EQ(i.serie_postata(), g.firma()) << "the move was posted before its turn was noted";
        EXPECT_EQ(g.riprendi(w), 1) << "a move lost right after posting was not searched again";
        SetEvent(lascia);
        MSG m = prossimo();
        ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), g.firma());
        attendi_lavoratore();
        ASSERT_EQ(esegui(m), 1);
        if (HasFatalFailure() || HasNonfatalFailure()) break;
    }
    winstub_dopo_il_post(nullptr);
    SetEvent(lascia);
}

// A worker of an older turn that finishes after a newer one leaves the
// newer note alone.
TEST_F(Lavoratore, UnLavoratoreVecchioNonAnnotaSopraUnoNuovo) {
    giocatori(COMPUTER, 1, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    std::uint32_t turno = g.firma();
    i.serie_postata(turno + 3);
    ASSERT_EQ(g.mossa_macchina(w), 1);
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
    attendi_lavoratore();
    EXPECT_EQ(i.serie_postata(), turno + 3);
}

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

TEST_F(Lavoratore, PartiteInteraTraDueComputer) {
    // Games played to their end as the main window would play them.
    giocatori(COMPUTER, 3, COMPUTER, 2);
    for (int k = 0; k < 2; k++) {
        g.ricomincia(w);
        int mosse = 0;
        UINT fine = 0;
        for (int passi = 0; passi < 20000 && fine == 0; passi++) {
            MSG m{};
            ASSERT_TRUE(attendi_messaggio(w, &m, 30000));
            if (m.message == MSG_VITTORIA || m.message == MSG_PATTA || m.message == MSG_BLOCCO) fine = m.message;
            if (m.message == MSG_MOSSA && esegui(m)) {
                mosse++;
                if (g.stato() == COMPUTER) { ASSERT_EQ(g.mossa_macchina(w), 1); }
            }
        }
        EXPECT_NE(fine, 0u) << "game " << k << " did not end";
        EXPECT_GT(mosse, 0);
        EXPECT_EQ(g.stato(), FERMO);
        EXPECT_EQ(i.turno(), -1);
    }
}

#ifndef _WIN32
// The match runner's window: the stand-in keeps no record of what is
// invalidated until a test asks for one, so game after game holds nothing;
// and a window without a record cannot answer "nothing was invalidated".
TEST(FinestraSenzaRegistro, NonTrattieneLeInvalidazioni) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    HWND f = winstub_nuova_finestra();
    RECT r{25, 22, 78, 74};
    for (int k = 0; k < 1000; k++) EXPECT_TRUE(InvalidateRect(f, &r, FALSE));
    EXPECT_DEATH(winstub_invalidazioni(f), "does not record them");
    winstub_registra_invalidazioni(f);
    InvalidateRect(f, nullptr, TRUE);
    auto inv = winstub_invalidazioni(f);
    ASSERT_EQ(inv.size(), 1u);
    EXPECT_TRUE(inv[0].tutto);
    EXPECT_TRUE(inv[0].erase);
}
#endif

}  // namespace
