// The computer-move worker through the real match: what it posts, with which
// turn number, how it keeps out of a new game's way, and whole games between
// two automatic players.
//
// No case here orders threads by the clock. An order a case claims is forced
// by a handshake (the test holding the match's event, or waiting until every
// worker has gone) or, natively, by the stand-in's seams, which hold a worker
// at a chosen point; and "nothing more comes" is checked once every worker
// has gone, when nothing more can.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "aiuti.h"
#include "albero.h"
#include "computer.h"
#include "estrazioni.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "riferimento.h"

#ifndef _WIN32
#include <winstub.h>
#endif

namespace {

struct Lavoratore : ::testing::Test {
    // The same deals on every run: a case that meets a blocked game meets it
    // every time.
    estrazioni_fisse mazzo{20};
    partita g;
    partita_ispettore i{g};
    HWND w = finestra_prova();

    void SetUp() override {
        albero::flag_stallo() = 0;
        g.ricomincia(w);  // both players human: no search yet
        messaggi(w);
        nuove_righe_log();
    }
    // No worker may outlive the match it reads.
    void TearDown() override { attendi_lavoratori(); }
    // Every worker started has posted and gone, as a new game waits for
    // them: what they made is in the queue, and nothing more can come.
    void attendi_lavoratori() { i.attendi_lavoratori(); }
    // Nothing is on its way to the window, nor will be.
    void nulla_in_arrivo(const char* cosa) {
        attendi_lavoratori();
        std::vector<MSG> resto = messaggi(w);
        EXPECT_TRUE(resto.empty()) << cosa << ": " << resto.size() << " messages, the first " << resto[0].message;
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
    // The moves queued for turn `firma`, taken from the queue with the rest.
    int mosse_per(std::uint32_t firma) {
        int n = 0;
        for (const MSG& e : messaggi(w)) n += e.message == MSG_MOSSA && static_cast<std::uint32_t>(e.lParam) == firma;
        return n;
    }
    // A new game asked for from another thread while the test holds the
    // match's event; returns once that thread is about to ask, so that the
    // caller can let the search go. The thread's handle is the caller's.
    HANDLE nuova_partita_altrove() {
        // One event for the whole run (automatic reset): the thread may
        // still be inside SetEvent when the wait returns.
        static HANDLE chiesta = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        struct nuova_partita {
            static DWORD WINAPI avvia(LPVOID p) {
                SetEvent(chiesta);
                static_cast<Lavoratore*>(p)->g.ricomincia(static_cast<Lavoratore*>(p)->w);
                return 0;
            }
        };
        HANDLE nuova = CreateThread(nullptr, 0, nuova_partita::avvia, this, 0, nullptr);
        EXPECT_EQ(WaitForSingleObject(chiesta, 60000), WAIT_OBJECT_0) << "the thread of the new game never ran";
        return nuova;
    }
};

#ifndef _WIN32
// The stand-in's seams, for one case: the next worker is held at a chosen
// point of its hand-off (as its thread starts, before it has done anything;
// before its post, its turn noted; just after its post, the event not yet
// set), and let go either by the test or at the moment the test's own
// thread is about to wait (on anything: the stand-in says so before the
// thread blocks). So "the window waits for the worker" is seen as an event,
// and a window that does not wait finds the worker still held.
enum punto { NESSUNO, AVVIO, PRIMA_DEL_POST, DOPO_IL_POST };
const char* const NOMI_PUNTI[] = {"nowhere", "as its thread starts", "before its post", "just after its post"};

class cucitura {
public:
    cucitura() {
        principale = std::this_thread::get_id();
        arrivato = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        lascia = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        winstub_all_avvio([] { tieni(AVVIO); });
        winstub_prima_del_post([](HWND, UINT msg, WPARAM, LPARAM) {
            if (msg == MSG_MOSSA) tieni(PRIMA_DEL_POST);
        });
        winstub_dopo_il_post([](HWND, UINT msg, WPARAM, LPARAM) {
            if (msg == MSG_MOSSA) tieni(DOPO_IL_POST);
        });
        winstub_prima_di_attendere([](HANDLE) {
            if (std::this_thread::get_id() == principale && sblocca.exchange(false)) {
                atteso = true;
                lascia_andare();
            }
        });
    }
    ~cucitura() {
        da_tenere = NESSUNO;
        sblocca = false;
        winstub_all_avvio(nullptr);
        winstub_prima_del_post(nullptr);
        winstub_dopo_il_post(nullptr);
        winstub_prima_di_attendere(nullptr);
        lascia_andare();
    }
    // The next worker (not this thread) that reaches `p` stops there.
    void tieni_al(punto p) { da_tenere = p; }
    // Waits for it to be there; false only after a minute, a fault.
    bool arrivato_al() { return WaitForSingleObject(arrivato, 60000) == WAIT_OBJECT_0; }
    // The worker held goes on once this thread is about to wait.
    void lascia_quando_attende() {
        atteso = false;
        sblocca = true;
    }
    // Whether this thread did wait (letting the worker go) since then.
    bool ha_atteso() const { return atteso; }
    // The worker held, if still held, goes on now: once per hold, so that
    // the event never stays set for the next one.
    static void lascia_andare() {
        sblocca = false;
        if (in_mano.exchange(false)) SetEvent(lascia);
    }

private:
    static void tieni(punto qui) {
        int atteso_qui = qui;
        if (std::this_thread::get_id() == principale || !da_tenere.compare_exchange_strong(atteso_qui, NESSUNO))
            return;
        in_mano = true;
        SetEvent(arrivato);
        WaitForSingleObject(lascia, INFINITE);
    }
    static inline std::atomic<std::thread::id> principale;
    static inline std::atomic<int> da_tenere{NESSUNO};
    static inline std::atomic<bool> sblocca{false}, atteso{false}, in_mano{false};
    static inline HANDLE arrivato = nullptr, lascia = nullptr;
};
#endif

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
    nulla_in_arrivo("a second search");
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
    // The new game, asked for meanwhile from another thread: the search is
    // let go once that thread is about to ask. (Whether it is already
    // waiting by then no clock can say; the check below holds in every
    // order, and OgniPuntoDelPassaggioDiMano forces each one natively.)
    HANDLE nuova = nuova_partita_altrove();
    SetEvent(i.mutex());
    ASSERT_EQ(WaitForSingleObject(nuova, 60000), WAIT_OBJECT_0) << "the new game never began";
    CloseHandle(nuova);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_NE(g.firma(), vecchia);
    // The new game began only once the old game's move was queued: it is
    // there now, with no wait. It is refused in the new game with one log
    // line, and nothing moves.
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE)) << "the new game did not wait for the search";
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), vecchia);
    nuove_righe_log();
    EXPECT_EQ(esegui(m), 0);
    EXPECT_EQ(nuove_righe_log().size(), 1u);
    EXPECT_EQ(i.turno(), 1);
    unsigned x, y;
    i.ped(0).get_pos(&x, &y);
    EXPECT_TRUE(x == 1 && y == 1);
    nulla_in_arrivo("after the old game's move");
}

// A move of the abandoned game is waiting when a new game that the
// computer begins starts; the main window's drain then removes it and keeps
// the new game's first move, whether the drain comes after the worker's post
// (every worker gone first) or before it (natively: the worker held before
// its post, its turn already noted).
TEST_F(Lavoratore, IlComputerCheIniziaTieneLaSuaPrimaMossa) {
    giocatori(COMPUTER, 1, COMPUTER, 1);
    std::uint32_t vecchia = g.firma();
    for (bool prima_del_post : {false, true}) {
#ifdef _WIN32
        if (prima_del_post) continue;  // no seam holds a worker under Windows
#else
        cucitura c;
        if (prima_del_post) c.tieni_al(PRIMA_DEL_POST);
#endif
        PostMessageA(w, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
        g.ricomincia(w);  // the computer begins: its worker starts at once
        std::uint32_t nuova = g.firma();
#ifndef _WIN32
        if (prima_del_post) {
            ASSERT_TRUE(c.arrivato_al()) << "the worker never came to its post";
        } else {
            attendi_lavoratori();
        }
#else
        attendi_lavoratori();
#endif
        // The main window's drain.
        g.scarta_mosse_scadute(w);
#ifndef _WIN32
        c.lascia_andare();
#endif
        MSG m = prossimo();
        ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), nuova) << (prima_del_post ? "before" : "after") << " the post";
        EXPECT_EQ(esegui(m), 1);
        // The game stops here: nobody asks for the next turn's search, and
        // every worker gone, no move is left.
        attendi_lavoratori();
        EXPECT_EQ(mosse_per(vecchia), 0) << "the stale move was not drained";
        vecchia = g.firma();
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
    MSG m = prossimo();
    ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    attendi_lavoratori();
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
    attendi_lavoratori();
    // That one taken and dropped too, the event still held, as by a worker
    // that has just posted and not yet let go: searched again all the same,
    // once, even when asked again before the new worker has posted.
    WaitForSingleObject(i.mutex(), INFINITE);
    EXPECT_EQ(g.riprendi(w), 1) << "a move lost just before the event was set";
    EXPECT_EQ(g.riprendi(w), 0) << "a second search before the first posted";
    SetEvent(i.mutex());
    EXPECT_EQ(prossimo().message, static_cast<UINT>(MSG_MOSSA));
    nulla_in_arrivo("a third search");
    // With the human to move nothing is searched, the move dropped or not.
    giocatori(UMANO, 2, UMANO, 1);
    EXPECT_EQ(g.riprendi(w), 0);
    EXPECT_EQ(i.lavoratori(), 0);
    nulla_in_arrivo("a search for a human");
    // Nor once the game is over.
    giocatori(COMPUTER, 2, UMANO, 1);
    i.turno() = -1;
    EXPECT_EQ(g.riprendi(w), 0);
    EXPECT_EQ(i.lavoratori(), 0);
    nulla_in_arrivo("a search after the end");
}

// The search requested and `riprendi` called at once, wherever the worker
// happens to be: nothing is lost, so nothing is searched again. This claims
// no order: it holds whatever the order, and runs many rounds so that real
// threads (under Windows too, where no seam holds a worker) meet `riprendi`
// at many points; every point in turn is forced natively by
// OgniPuntoDelPassaggioDiMano.
TEST_F(Lavoratore, RiprendiSubitoDopoLaRichiestaNonRaddoppiaLaRicerca) {
    giocatori(COMPUTER, 1, UMANO, 1);
    for (int k = 0; k < 200; k++) {
        messaggi(w);  // the last round's pass may have ended the game
        i.posiziona(1, 1, 8, 1, 0);
        i.serie_cercata() = g.firma() - 1;  // a fresh request for this turn
        ASSERT_EQ(g.mossa_macchina(w), 1);
        ASSERT_EQ(g.riprendi(w), 0) << "a second search, round " << k;
        MSG m = prossimo();
        attendi_lavoratori();
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
// turn again, once the post is complete (the worker, let go as the window
// waits, notes that too). Noted after posting, the turn would look still
// searched, and nobody would ever move again.
TEST_F(Lavoratore, IlTurnoVieneAnnotatoPrimaDellaMossa) {
    cucitura c;
    giocatori(COMPUTER, 2, UMANO, 1);
    for (int volta = 0; volta < 20; volta++) {
        messaggi(w);  // the last round's move may have ended the game
        i.azzera_registro();
        i.posiziona(1, 1, 8, 1, 0);
        c.tieni_al(DOPO_IL_POST);
        ASSERT_EQ(g.mossa_macchina(w), 1);
        ASSERT_TRUE(c.arrivato_al()) << "the worker posted nothing";
        MSG persa;
        ASSERT_TRUE(PeekMessageA(&persa, w, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));
        EXPECT_EQ(i.serie_postata(), g.firma()) << "the move was posted before its turn was noted";
        c.lascia_quando_attende();
        EXPECT_EQ(g.riprendi(w), 1) << "a move lost right after posting was not searched again";
        c.lascia_andare();
        MSG m = prossimo();
        ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), g.firma());
        attendi_lavoratori();
        ASSERT_EQ(esegui(m), 1);
        if (HasFatalFailure() || HasNonfatalFailure()) break;
    }
}

// The worker held at each point of its hand-off, and each call of the
// window's that must take account of it made there:
//  - `riprendi` after a box: before the search has noted its turn, the move
//    is still to come (0, at once: waiting would mean waiting for a
//    search); noted, its post not yet complete, the move is on its way (0,
//    once the post is complete: no second search); posted and then dropped
//    by the box, lost (1, one log line, searched again).
//  - a new game and new options: they wait for the worker wherever it is,
//    even as its thread starts, before it has taken the event; so the old
//    move is queued when they return, and no old search runs on behind them.
TEST_F(Lavoratore, OgniPuntoDelPassaggioDiMano) {
    enum azione { RIPRENDI, RICOMINCIA, OPZIONI };
    const char* const nomi[] = {"riprendi", "a new game", "new options"};
    cucitura c;
    for (punto p : {AVVIO, PRIMA_DEL_POST, DOPO_IL_POST}) {
        for (azione a : {RIPRENDI, RICOMINCIA, OPZIONI}) {
            SCOPED_TRACE(std::string(nomi[a]) + " with the worker held " + NOMI_PUNTI[p]);
            // A fresh game, and in it a fresh turn of the computer's.
            giocatori(UMANO, 1, UMANO, 1);
            g.ricomincia(w);
            giocatori(COMPUTER, 2, UMANO, 1);
            frecce(i.scacch(), 2, 1, 4, 5, 6);
            i.azzera_registro();
            i.posiziona(1, 1, 8, 1, 0);
            messaggi(w);
            const std::uint32_t firma = g.firma();
            c.tieni_al(p);
            ASSERT_EQ(g.mossa_macchina(w), 1);
            ASSERT_TRUE(c.arrivato_al()) << "the worker never came there";
            EXPECT_EQ(i.serie_postata() == firma, p != AVVIO) << "the turn's note";
            EXPECT_NE(i.serie_consegnata(), firma) << "the post's end noted before the post";
            MSG m;
            const bool perdi = p == DOPO_IL_POST && a == RIPRENDI;  // the box drops the move
            EXPECT_EQ(PeekMessageA(&m, w, MSG_MOSSA, MSG_MOSSA, perdi ? PM_REMOVE : PM_NOREMOVE) != FALSE,
                      p == DOPO_IL_POST);
            nuove_righe_log();

            c.lascia_quando_attende();
            int esito = 0;
            if (a == RIPRENDI)
                esito = g.riprendi(w);
            else if (a == RICOMINCIA)
                g.ricomincia(w);
            else
                giocatori(COMPUTER, 2, UMANO, 1);
            const bool atteso = c.ha_atteso();
            const int al_ritorno = mosse_per(firma);
            c.lascia_andare();
            attendi_lavoratori();
            const int in_tutto = al_ritorno + mosse_per(firma);

            if (a == RIPRENDI) {
                EXPECT_EQ(esito, perdi ? 1 : 0);
                EXPECT_EQ(atteso, p != AVVIO) << (p == AVVIO ? "waited for a search" : "did not wait for the post");
                if (p == PRIMA_DEL_POST) {
                    EXPECT_EQ(al_ritorno, 1) << "returned before the post was complete";
                }
                EXPECT_EQ(in_tutto, 1) << "the moves made for the turn";
                EXPECT_EQ(nuove_righe_log().size(), perdi ? 1u : 0u);
            } else {
                EXPECT_TRUE(atteso) << "did not wait for the worker";
                EXPECT_EQ(al_ritorno, 1) << "returned before the old game's move was queued";
                EXPECT_EQ(in_tutto, 1);
            }
            if (HasFatalFailure()) return;
        }
    }
}

// Two workers at once, the older one last: a person's click for turn X was
// queued when Options handed that player to the computer, whose worker for
// X has not run yet (held as its thread starts) when the click is
// performed; the worker for the next turn then searches and posts first.
// The older worker, finishing last, leaves the newer turn's notes alone, so
// that a loss of the newer move is still known and searched again.
TEST_F(Lavoratore, UnLavoratoreVecchioNonAnnotaSopraUnoNuovo) {
    cucitura c;
    giocatori(COMPUTER, 1, COMPUTER, 1);
    frecce(i.scacch(), 2, 1, 4, 5, 6);  // after the step right, player 1 has three moves
    i.azzera_registro();
    i.posiziona(1, 1, 8, 1, 0);
    const std::uint32_t vecchio = g.firma();
    c.tieni_al(AVVIO);
    ASSERT_EQ(g.mossa_macchina(w), 1);
    ASSERT_TRUE(c.arrivato_al());
    ASSERT_EQ(g.esegui_mossa(w, i.indice_di(2), vecchio), 1);  // the queued click
    const std::uint32_t nuovo = g.firma();
    ASSERT_EQ(g.stato(), COMPUTER);
    ASSERT_EQ(g.mossa_macchina(w), 1);
    MSG m = prossimo();  // taken, and never performed: lost
    ASSERT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    ASSERT_EQ(static_cast<std::uint32_t>(m.lParam), nuovo);
    c.lascia_andare();
    MSG v = prossimo();
    ASSERT_EQ(v.message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::uint32_t>(v.lParam), vecchio);
    attendi_lavoratori();
    EXPECT_EQ(i.serie_postata(), nuovo);
    EXPECT_EQ(i.serie_consegnata(), nuovo);
    EXPECT_EQ(esegui(v), 0) << "the older turn's move was performed";
    EXPECT_EQ(g.riprendi(w), 1) << "the newer move's loss went unnoticed";
    MSG di_nuovo = prossimo();
    EXPECT_EQ(static_cast<std::uint32_t>(di_nuovo.lParam), nuovo);
}

TEST_F(Lavoratore, CreateThreadFallitaVieneScrittaNelLog) {
    giocatori(COMPUTER, 3, UMANO, 1);
    i.posiziona(1, 1, 8, 1, 0);
    winstub_fallisci_thread(1);
    EXPECT_EQ(g.mossa_macchina(w), 0);
    std::vector<std::string> righe = nuove_righe_log();
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_NE(righe[0].find("CreateThread"), std::string::npos) << righe[0];
    // No worker is counted (a new game would wait for it for ever), and
    // nothing comes.
    EXPECT_EQ(i.lavoratori(), 0);
    nulla_in_arrivo("a move from a thread never started");
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

// The position a match's computer decides on now, as its worker will copy it.
situazione posizione_di(partita_ispettore& i) {
    situazione s{};
    s.scacch = i.scacch();
    s.ped[0] = i.ped(0), s.ped[1] = i.ped(1);
    s.turno = i.turno();
    s.n_lecite = i.n_lecite();
    for (int k = 0; k < MOSSE_MAX; k++) s.direz[k] = i.direz()[k];
    s.livello = i.skill()[s.turno];
    return s;
}

// The plain tree's choice for `s` from the pass flag `flag`.
std::int32_t scelta_piana(const situazione& s, std::int32_t flag) {
    albero_semplice::flag_stallo() = flag;
    return scegli_mossa_semplice(s);
}

TEST_F(Lavoratore, UnaNuovaPartitaSottoUnLavoratoreRestaEsatta) {
    // Player 0, the computer at skill 8, against a human who always takes
    // the first legal move: each computer move is the plain tree's choice
    // from the pass flag as the worker found it. Mid-game a new game (a new
    // deal) is asked for while a search is running; in the new game, whose
    // board the memo kept through the old game has never seen, every move
    // is the plain tree's choice again.
    if (i.turno() == 1) g.ricomincia(w);
    messaggi(w);
    giocatori(COMPUTER, 8, UMANO, 1);
    auto gioca = [&](int semimosse) {
        int del_computer = 0;
        for (int k = 0; k < semimosse && i.turno() >= 0; k++) {
            if (i.turno() == 1) {
                EXPECT_EQ(g.esegui_mossa(w, i.n_lecite() > 0 ? 0 : -1, g.firma()), 1);
                continue;
            }
            attendi_lavoratori();  // the flag as the last worker left it
            const situazione s = posizione_di(i);
            const std::int32_t attesa = scelta_piana(s, albero::flag_stallo());
            EXPECT_EQ(g.mossa_macchina(w), 1);
            MSG m = prossimo();
            if (m.message != MSG_MOSSA) {
                ADD_FAILURE() << "no move but message " << m.message;
                return -1;
            }
            EXPECT_EQ(static_cast<std::int32_t>(m.wParam), attesa) << "ply " << k;
            EXPECT_EQ(esegui(m), 1);
            del_computer++;
        }
        return del_computer;
    };
    gioca(12);
    ASSERT_FALSE(HasFailure());
    if (i.turno() != 0) g.ricomincia(w), messaggi(w), gioca(12);
    ASSERT_EQ(i.turno(), 0) << "the game ended too soon for this deal";

    // The search held back by the test holding the event; the new game
    // asked for from another thread meanwhile, let go as in
    // NuovaPartitaAttendeLaRicercaELaVecchiaMossaVieneRifiutata.
    WaitForSingleObject(i.mutex(), INFINITE);
    EXPECT_EQ(g.mossa_macchina(w), 1);
    HANDLE nuova = nuova_partita_altrove();
    SetEvent(i.mutex());
    ASSERT_EQ(WaitForSingleObject(nuova, 60000), WAIT_OBJECT_0) << "the new game never began";
    CloseHandle(nuova);
    messaggi(w);  // the old game's move, refused in the new game
    EXPECT_EQ(i.turno(), 1);
    EXPECT_GT(gioca(30), 5);
}

// Two matches whose computers search at the same time, each with a window
// of its own, played to their ends. Each move is the plain tree's choice
// from one value or the other of the pass flag, which is one for the
// process and which the other match's searches change meanwhile. Under
// ThreadSanitizer this is the check that two searches share nothing else.
TEST_F(Lavoratore, DuePartiteCercanoInsieme) {
    partita g2;
    partita_ispettore i2{g2};
    HWND w2 = finestra_prova();
    g2.ricomincia(w2);
    messaggi(w2);
    partita* partite[2] = {&g, &g2};
    partita_ispettore* vista[2] = {&i, &i2};
    HWND finestre[2] = {w, w2};
    e_tipo tipi[2] = {COMPUTER, COMPUTER};
    int livelli[2] = {8, 7};
    // The first searches start with the new games (their computers begin).
    for (partita* p : partite) {
        p->set_opzioni(tipi, livelli);
        p->ricomincia(p == &g ? w : w2);
    }
    // The position and the choices the plain tree allows for each match's
    // search in progress.
    situazione s[2];
    std::int32_t attese[2][2];
    bool finita[2] = {false, false};
    auto cerca = [&](int k) {
        s[k] = posizione_di(*vista[k]);
        for (int f = 0; f < 2; f++) attese[k][f] = scelta_piana(s[k], f);
        return partite[k]->mossa_macchina(finestre[k]);
    };
    cerca(0);
    cerca(1);
    int mosse = 0;
    for (int passi = 0; passi < 2000 && !(finita[0] && finita[1]); passi++) {
        for (int k = 0; k < 2; k++) {
            if (finita[k]) continue;
            MSG m{};
            ASSERT_TRUE(attendi_messaggio(finestre[k], &m, 60000)) << "match " << k;
            if (m.message != MSG_MOSSA) {
                finita[k] = m.message == MSG_VITTORIA || m.message == MSG_PATTA || m.message == MSG_BLOCCO;
                continue;
            }
            if (static_cast<std::uint32_t>(m.lParam) != partite[k]->firma()) continue;  // of the game before
            const std::int32_t scelta = static_cast<std::int32_t>(m.wParam);
            EXPECT_TRUE(scelta == attese[k][0] || scelta == attese[k][1]) << "match " << k << ", move " << mosse;
            ASSERT_EQ(partite[k]->esegui_mossa(finestre[k], scelta, static_cast<std::uint32_t>(m.lParam)), 1);
            mosse++;
            if (partite[k]->stato() == COMPUTER) {
                ASSERT_EQ(cerca(k), 1);
            }
        }
    }
    EXPECT_TRUE(finita[0] && finita[1]);
    EXPECT_GT(mosse, 20);
    i2.attendi_lavoratori();
    messaggi(w2);
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
