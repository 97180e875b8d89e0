// The main window's decisions (`regia`) by fixed sequences, on the
// stand-in, through the window's own dispatch (smista.h):
//   - one box at a time: whatever is posted to the window while one of its
//     boxes is open, the box's loop dispatches it through the same
//     decisions: a menu command is refused, close requests make one
//     question once the box is over, an ordinary game's end shows its box
//     after it, and a tournament plays on behind it;
//   - another program's posts: ends of games and of tournaments forged with
//     the numbers in play change nothing;
//   - posts refused by Windows: the window's timer puts the game back into
//     motion;
//   - the keys: a held key plays once, beeps once, and S with Ctrl or Alt
//     is not the game's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <winstub.h>

#include "comandi.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "posta.h"
#include "regia.h"
#include "smista.h"

namespace {

struct banco {
    partita game;
    partita_ispettore i{game};
    HWND w = finestra_prova();
    // What the boxes, the dialog and the panel saw.
    int aperte = 0, piu_aperte = 0, uscite = 0, bilance = 0;
    std::vector<std::string> scatole;  // in the order they opened
    std::vector<std::uint32_t> fini_pannello;
    int risultati = 0;
    std::uint32_t fermato = 0, torneo_pannello = 0;
    int fermate = 0;  // "Stop tournament" pressed from the keyboard
    bool si = false;  // the answer to every question

    static banco& di(void* d) { return *static_cast<banco*>(d); }
    // A box: open while the queue is worked, as a modal loop does.
    void scatola(const std::string& cosa) {
        scatole.push_back(cosa);
        piu_aperte = std::max(piu_aperte, ++aperte);
        pompa();
        aperte--;
    }
    static bool domanda(void* d, HWND, int voce) {
        di(d).scatola(voce == VOCE_CHIUDI ? "chiudi" : "domanda");
        return di(d).si;
    }
    static void avviso(void* d, HWND, int) { di(d).scatola("fine"); }
    static void opzioni(void* d, HWND) { di(d).scatola("opzioni"); }
    static void about(void* d, HWND) { di(d).scatola("about"); }
    static void aiuto(void* d, HWND) { di(d).scatola("aiuto"); }
    static void nuovo_torneo(void* d, int, std::uint32_t t) { di(d).torneo_pannello = t; }
    static void vittoria(void* d, int, std::uint32_t) { di(d).risultati++; }
    static void patta(void* d, std::uint32_t) { di(d).risultati++; }
    static std::uint32_t fermato_pannello(void* d) { return di(d).fermato; }
    static void ridisegna(void*, HWND) {}
    static void finito(void* d, std::uint32_t t) { di(d).fini_pannello.push_back(t); }
    static void bilancia(void* d, HWND) { di(d).bilance++; }
    static void esci(void* d) { di(d).uscite++; }
    // The panel's button, as S presses it: it stops the panel's tournament
    // and posts its end, as the real panel does.
    static bool ferma(void* d) {
        banco& b = di(d);
        b.fermate++;
        b.fermato = b.torneo_pannello;
        PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(b.torneo_pannello));
        return true;
    }
    const sportello voci{this,      domanda,  avviso, opzioni, nuovo_torneo, vittoria, patta, fermato_pannello,
                         ridisegna, finito,   bilancia, about, aiuto,        esci,     ferma};
    regia r{game, voci};

    banco() {
        EXPECT_TRUE(pieno(voci)) << "the test's window leaves an entry of its sportello empty";
        e_tipo tipi[2] = {UMANO, UMANO};
        int livelli[2] = {1, 1};
        game.set_opzioni(tipi, livelli);
        game.ricomincia(w);
        messaggi(w);
        nuove_righe_log();
    }

    // MainProc's dispatch, for what is queued now.
    void pompa() {
        MSG m;
        while (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) smista(r, w, m);
    }

    // The window's timer, as Windows makes it when the queue is empty.
    int timer() {
        MSG t{};
        t.hwnd = w;
        t.message = WM_TIMER;
        t.wParam = TIMER_RIPRESA;
        return smista(r, w, t);
    }

    void tutti_i_comandi() {
        for (unsigned id = CMD_NUOVA_PARTITA; id <= CMD_OPZIONI; id++) PostMessageA(w, WM_COMMAND, id, 0);
    }

    // Player 0 one step from its goal, to move, its winning step queued.
    void vittoria_in_coda() {
        for (int s = 0; s < 56; s++)
            if (G_set_frecce[s][0] == 0 && G_set_frecce[s][1] == 1 && G_set_frecce[s][2] == 2)
                plancia_ispettore::metti_set(i.scacch(), 3, 3, s);  // up, up-right, right
        i.azzera_registro();
        i.posiziona(7, 8, 3, 3, 0);
        PostMessageA(w, MSG_MOSSA, static_cast<WPARAM>(i.indice_di(2)), static_cast<LPARAM>(game.firma()));
    }
};

int righe_con(const std::vector<std::string>& righe, const std::string& testo) {
    return static_cast<int>(std::count_if(righe.begin(), righe.end(),
                                          [&](const std::string& r) { return r.find(testo) != std::string::npos; }));
}

// Every menu command and three close requests, posted while About is open:
// no box opens inside it; the commands are refused with one line each, and
// the close requests make one question once About is over. Answered No, the
// game goes on untouched; the balance is brought up to date after each box.
TEST(UnaScatolaAllaVolta, ComandiEChiusureDuranteUnaScatola) {
    banco b;
    std::uint32_t partita = b.game.numero_partita(), turno = b.game.firma();
    b.tutti_i_comandi();
    for (int k = 0; k < 3; k++) PostMessageA(b.w, WM_CLOSE, 0, 0);
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"about", "chiudi"}));
    EXPECT_EQ(b.piu_aperte, 1);
    auto righe = nuove_righe_log();
    EXPECT_EQ(righe_con(righe, "rifiutato"), 6);
    EXPECT_EQ(righe_con(righe, "chiusura rimandata"), 1) << "several close requests, one line";
    EXPECT_EQ(b.bilance, 2);
    EXPECT_EQ(b.uscite, 0);
    EXPECT_EQ(b.game.numero_partita(), partita);
    EXPECT_EQ(b.game.firma(), turno);
    EXPECT_FALSE(b.r.occupata());

    // With no box open each command opens its own box again ("Exit" by the
    // close request it posts).
    b.scatole.clear();
    for (unsigned id = CMD_NUOVA_PARTITA; id <= CMD_OPZIONI; id++) {
        PostMessageA(b.w, WM_COMMAND, id, 0);
        b.pompa();
    }
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"domanda", "domanda", "aiuto", "about", "chiudi", "opzioni"}));
    EXPECT_EQ(b.piu_aperte, 1);
}

// Close requests during the Options dialog, the question answered Yes
// afterwards: the program ends after that one question.
TEST(UnaScatolaAllaVolta, UnaChiusuraDuranteUnDialogoChiudeDopoUnaDomanda) {
    banco b;
    b.si = true;
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    b.r.opzioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"opzioni", "chiudi"}));
    EXPECT_EQ(b.piu_aperte, 1);
    EXPECT_EQ(b.uscite, 1);
    EXPECT_FALSE(b.r.occupata());

    // Close requests while "Are you sure?" itself is open are answered by it.
    b.scatole.clear();
    b.si = false;
    PostMessageA(b.w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(b.r.chiudi(b.w));
    b.pompa();
    EXPECT_EQ(b.scatole, std::vector<std::string>{"chiudi"});
}

// An ordinary game that ends while About is open shows its box once About
// has closed; a tournament's game that ends then is tallied behind About,
// and the tournament's next game begins there.
TEST(UnaScatolaAllaVolta, LaFineDiUnaPartitaAspettaLaScatola) {
    banco b;
    b.vittoria_in_coda();
    std::uint32_t vinta = b.game.numero_partita();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, (std::vector<std::string>{"about", "fine"}));
    EXPECT_EQ(b.piu_aperte, 1);
    EXPECT_EQ(righe_con(nuove_righe_log(), "aspetta che la finestra aperta si chiuda"), 1);
    PostMessageA(b.w, MSG_VITTORIA, 0, static_cast<LPARAM>(vinta));  // once only
    b.pompa();
    EXPECT_EQ(b.scatole.size(), 2u);

    b.scatole.clear();
    ASSERT_EQ(b.r.nuovo_torneo(b.w), 1);  // no game in progress: no question
    std::uint32_t prima = b.game.numero_partita();
    b.vittoria_in_coda();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.scatole, std::vector<std::string>{"about"});
    EXPECT_EQ(b.risultati, 1);
    EXPECT_EQ(b.game.numero_partita(), prima + 1) << "the next game began behind About";
    EXPECT_EQ(b.r.partite(), PARTITE_TORNEO - 1);
}

// The panel is told whenever the tournament ends: with the panel's button
// (or S), or after its last game; never by an end that only another
// program posted, whatever its number.
TEST(UnaScatolaAllaVolta, IlPannelloSaQuandoIlTorneoFinisce) {
    banco b;
    b.si = true;
    b.r.nuovo_torneo(b.w);
    std::uint32_t t = b.r.torneo();
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t + 1));
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t - 1));
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
    b.pompa();
    EXPECT_TRUE(b.fini_pannello.empty());
    EXPECT_EQ(b.r.partite(), PARTITE_TORNEO);
    EXPECT_EQ(righe_con(nuove_righe_log(), "nessuno ne ha chiesto la fine"), 3);
    // S presses the panel's button, which posts the end.
    EXPECT_EQ(b.r.tasto(b.w, TASTO_FERMA_TORNEO, 1, 0), TASTO_FATTO);
    b.pompa();
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{t});

    // The button, its message lost: carried out after the next box.
    b.r.nuovo_torneo(b.w);
    b.fermato = b.r.torneo();
    b.r.informazioni(b.w);
    EXPECT_EQ(b.fini_pannello, (std::vector<std::uint32_t>{t, t + 1}));
    EXPECT_EQ(b.r.partite(), 0);

    // The last game: fifteen wins.
    b.r.nuovo_torneo(b.w);
    for (int k = 0; k < PARTITE_TORNEO; k++) {
        b.vittoria_in_coda();
        b.pompa();
    }
    EXPECT_EQ(b.risultati, PARTITE_TORNEO);
    EXPECT_EQ(b.fini_pannello, (std::vector<std::uint32_t>{t, t + 1, t + 2}));
}

// ------------------------------------------------ another program's posts

// During a tournament another program posts, before each real end, ends
// with the numbers in play: the end of the game that has just ended with
// the other winner, as a draw and as a blocked game, and the end of the
// running tournament. None is taken: the tournament tallies exactly its
// fifteen real games, all won by player 1, and ends once, after the last.
TEST(AltriProgrammi, FiniFalseConINumeriGiustiNonContano) {
    banco b;
    b.si = true;
    b.r.nuovo_torneo(b.w);
    nuove_righe_log();
    std::uint32_t t = b.r.torneo();
    for (int k = 0; k < PARTITE_TORNEO; k++) {
        b.vittoria_in_coda();
        MSG m;
        ASSERT_TRUE(PeekMessageA(&m, b.w, 0, 0, PM_REMOVE));
        ASSERT_EQ(smista(b.r, b.w, m), 0);  // the winning move: the end is queued
        std::uint32_t n = b.game.numero_partita();
        ASSERT_EQ(b.game.fine_da_prendere(nullptr, nullptr), n);
        std::vector<MSG> vera = messaggi(b.w);
        ASSERT_EQ(vera.size(), 1u);
        const struct {
            UINT messaggio;
            WPARAM wParam;
            LPARAM lParam;
        } falsi[4] = {{MSG_VITTORIA, 1, static_cast<LPARAM>(n)},
                      {MSG_PATTA, 0, static_cast<LPARAM>(n)},
                      {MSG_BLOCCO, 0, static_cast<LPARAM>(n)},
                      {MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t)}};
        for (const auto& f : falsi) PostMessageA(b.w, f.messaggio, f.wParam, f.lParam);
        PostMessageA(b.w, vera[0].message, vera[0].wParam, vera[0].lParam);
        b.pompa();
        EXPECT_EQ(b.risultati, k + 1) << "game " << k + 1;
    }
    EXPECT_EQ(b.risultati, PARTITE_TORNEO);
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{t});
    auto righe = nuove_righe_log();
    EXPECT_EQ(righe_con(righe, "non e' la fine che la partita ha dato"), 3 * PARTITE_TORNEO);
    EXPECT_EQ(righe_con(righe, "nessuno ne ha chiesto la fine"), PARTITE_TORNEO);
    // After the last game the same forged end finds the tournament over.
    PostMessageA(b.w, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
    b.pompa();
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{t});
}

// ------------------------------------------------ posts Windows refuses

// Workers kept by the stand-in and run by the test, one at a time, to their
// end: what a worker posts, and when, is the test's choice alone.
struct lavoratori_tenuti {
    lavoratori_tenuti() { winstub_thread_differiti(true); }
    ~lavoratori_tenuti() {
        winstub_rifiuta_post(0, 0);
        while (winstub_esegui_differito(0)) {
        }
        winstub_thread_differiti(false);
    }
};

// Runs the game in `b` as the window would: each queued message dispatched,
// each worker run when the queue is empty, and the window's timer ticking
// when neither is left. The result is the ticks that put something back
// into motion; it stops when the game is over and its end taken, or after
// `passi` steps.
int gioca_fino_alla_fine(banco& b, int passi = 20000) {
    int riprese = 0;
    for (int k = 0; k < passi; k++) {
        MSG m;
        if (PeekMessageA(&m, b.w, 0, 0, PM_REMOVE)) {
            smista(b.r, b.w, m);
        } else if (!winstub_esegui_differito(0)) {
            int r = b.timer();
            if (r == 0) {
                if (b.game.stato() != FERMO || b.game.fine_da_prendere(nullptr, nullptr) != 0 || b.r.partite() != 0)
                    ADD_FAILURE() << "halted: nothing queued, no worker, and the timer puts nothing back into motion";
                return riprese;
            }
            riprese += r;
        }
    }
    ADD_FAILURE() << "the game did not end in " << passi << " steps";
    return riprese;
}

// A game between computers whose moves Windows refuses for a while, more
// often than a worker tries: each worker gives up, the timer finds the move
// missing and searches again, and the game goes on to its end by itself,
// with no box. Refused fewer times than it tries, a worker's move arrives
// and nothing is searched again.
TEST(PostRifiutati, LaPartitaVaAvantiDaSola) {
    lavoratori_tenuti tenuti;
    banco b;
    b.si = true;
    e_tipo tipi[2] = {COMPUTER, COMPUTER};
    int livelli[2] = {1, 1};
    b.game.set_opzioni(tipi, livelli);
    b.r.nuova_partita(b.w);
    EXPECT_TRUE(b.scatole.empty() == false) << "a game was in progress: the question";
    b.scatole.clear();
    ASSERT_EQ(b.game.stato(), COMPUTER);

    // Fewer refusals than tries: the move arrives, nothing more.
    winstub_rifiuta_post(MSG_MOSSA, TENTATIVI_POST - 1);
    std::uint32_t turno = b.game.firma(), rinunce = post_rinunciati();
    ASSERT_TRUE(winstub_esegui_differito(0));
    EXPECT_EQ(post_rinunciati(), rinunce);
    EXPECT_EQ(b.timer(), 0);
    b.pompa();
    EXPECT_GT(b.game.firma(), turno);

    // Refusals beyond the tries, twice in the game: given up twice, taken up
    // twice by the timer.
    winstub_rifiuta_post(MSG_MOSSA, 2 * TENTATIVI_POST);
    int prima = winstub_post_rifiutati();
    int riprese = gioca_fino_alla_fine(b);
    EXPECT_EQ(winstub_post_rifiutati() - prima, 2 * TENTATIVI_POST);
    EXPECT_EQ(post_rinunciati(), rinunce + 2);
    EXPECT_GE(riprese, 2);
    EXPECT_EQ(righe_con(nuove_righe_log(), "e' andata persa, nuova ricerca"), 2);
    EXPECT_EQ(b.scatole, std::vector<std::string>{"fine"}) << "only the end's own box";
}

// In a tournament between computers Windows refuses, by turns, the end of a
// game, the tournament's next game and the end of the tournament: the timer
// carries each out, and the tournament plays and tallies its fifteen games.
TEST(PostRifiutati, UnTorneoGiocaLeSueQuindiciPartite) {
    lavoratori_tenuti tenuti;
    banco b;
    b.si = true;
    e_tipo tipi[2] = {COMPUTER, COMPUTER};
    int livelli[2] = {1, 1};
    b.game.set_opzioni(tipi, livelli);
    b.r.nuovo_torneo(b.w);
    b.scatole.clear();
    std::uint32_t t = b.r.torneo();
    const UINT rifiutati[3] = {MSG_VITTORIA, WM_COMMAND, MSG_PATTA};
    for (int k = 0; k < PARTITE_TORNEO - 1; k++) {
        // One game: each message dispatched, each worker run.
        std::uint32_t partita = b.game.numero_partita();
        winstub_rifiuta_post(rifiutati[k % 3], TENTATIVI_POST);
        for (int passo = 0; passo < 20000 && b.game.numero_partita() == partita; passo++) {
            MSG m;
            if (PeekMessageA(&m, b.w, 0, 0, PM_REMOVE)) {
                smista(b.r, b.w, m);
            } else if (!winstub_esegui_differito(0)) {
                ASSERT_GT(b.timer(), 0) << "game " << k + 1 << " halted";
            }
        }
        ASSERT_NE(b.game.numero_partita(), partita) << "game " << k + 1 << " never ended";
        winstub_rifiuta_post(0, 0);
    }
    winstub_rifiuta_post(MSG_FINE_TORNEO, TENTATIVI_POST);
    gioca_fino_alla_fine(b);
    EXPECT_EQ(b.risultati, PARTITE_TORNEO);
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{t});
    EXPECT_EQ(b.r.partite(), 0);
    EXPECT_TRUE(b.scatole.empty());
}

// ------------------------------------------------ the keys

// lParam of a key as Windows sends it: a first press, or a repeat while the
// key is held (bit 30), with the extended bit (24) for the dedicated keys.
constexpr LPARAM PREMUTO = 1, RIPETUTO = 1 | (1L << 30), ESTESO = 1L << 24;

// In a game between two people, keypad 8 held down plays one move: its
// repeats play nothing (the next player's move that way, before) and do
// not beep; so do Enter and Space. Tab and the arrows held move the frame
// on each repeat.
TEST(Tasti, UnTastoTenutoGiocaUnaVolta) {
    banco b;
    b.vittoria_in_coda();  // a position with moves up, up-right and right
    messaggi(b.w);
    std::uint32_t turno = b.game.firma();
    EXPECT_EQ(b.r.tasto(b.w, VK_NUMPAD8, PREMUTO, 0), TASTO_FATTO);
    for (int k = 0; k < 5; k++) EXPECT_EQ(b.r.tasto(b.w, VK_NUMPAD8, RIPETUTO, 0), TASTO_MUTO);
    for (unsigned vk : {unsigned{VK_RETURN}, unsigned{VK_SPACE}, unsigned{VK_UP}})  // VK_UP: keypad 8, Num Lock off
        EXPECT_EQ(b.r.tasto(b.w, vk, RIPETUTO, 0), TASTO_MUTO);
    std::vector<MSG> v = messaggi(b.w);
    ASSERT_EQ(v.size(), 1u) << "one move for one press";
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), turno);

    // Tab held: the frame goes round the targets, one step a repeat.
    partita_ispettore& i = b.i;
    i.attuale() = -1;
    EXPECT_EQ(b.r.tasto(b.w, VK_TAB, PREMUTO, 0), TASTO_FATTO);
    for (int k = 1; k <= 4; k++) {
        EXPECT_EQ(b.r.tasto(b.w, VK_TAB, RIPETUTO, 0), TASTO_FATTO);
        EXPECT_EQ(i.attuale(), k % i.n_lecite());
    }
    EXPECT_EQ(b.r.tasto(b.w, VK_RIGHT, ESTESO | RIPETUTO, 0), TASTO_FATTO);
    EXPECT_TRUE(messaggi(b.w).empty()) << "the frame's keys play nothing";
    // Enter held: the framed target once.
    EXPECT_EQ(b.r.tasto(b.w, VK_RETURN, PREMUTO, 0), TASTO_FATTO);
    EXPECT_EQ(b.r.tasto(b.w, VK_RETURN, RIPETUTO, 0), TASTO_MUTO);
    EXPECT_EQ(messaggi(b.w).size(), 1u);
}

// A key that can do nothing beeps on its press only, however long it is
// held: Enter with nothing framed, keypad 8 with the computer to move, S
// outside a tournament.
TEST(Tasti, UnBeepPerPressione) {
    banco b;
    b.i.attuale() = -1;
    for (unsigned vk : {unsigned{VK_RETURN}, unsigned{TASTO_FERMA_TORNEO}}) {
        EXPECT_EQ(b.r.tasto(b.w, vk, PREMUTO, 0), TASTO_BEEP) << vk;
        for (int k = 0; k < 5; k++) EXPECT_EQ(b.r.tasto(b.w, vk, RIPETUTO, 0), TASTO_MUTO) << vk;
        EXPECT_EQ(b.r.tasto(b.w, vk, PREMUTO, 0), TASTO_BEEP) << vk << ": a new press beeps again";
    }
    b.i.tipo()[0] = b.i.tipo()[1] = COMPUTER;
    EXPECT_EQ(b.r.tasto(b.w, VK_NUMPAD8, PREMUTO, 0), TASTO_BEEP);
    EXPECT_EQ(b.r.tasto(b.w, VK_NUMPAD8, RIPETUTO, 0), TASTO_MUTO);
    EXPECT_EQ(b.r.tasto(b.w, 'Q', PREMUTO, 0), TASTO_ALTRUI);
    EXPECT_TRUE(messaggi(b.w).empty());
}

// S stops the running tournament once per press, and only without Ctrl or
// Alt: Ctrl+S and Alt+S go to Windows and stop nothing.
TEST(Tasti, SSenzaCtrlNeAlt) {
    banco b;
    b.si = true;
    b.r.nuovo_torneo(b.w);
    for (unsigned mod : {unsigned{CON_CTRL}, unsigned{CON_ALT}, unsigned{CON_CTRL | CON_ALT},
                         unsigned{CON_CTRL | CON_MAIUSCOLO}})
        EXPECT_EQ(b.r.tasto(b.w, TASTO_FERMA_TORNEO, PREMUTO, mod), TASTO_ALTRUI) << mod;
    b.pompa();
    EXPECT_EQ(b.fermate, 0);
    EXPECT_EQ(b.r.partite(), PARTITE_TORNEO);
    EXPECT_EQ(b.r.tasto(b.w, TASTO_FERMA_TORNEO, PREMUTO, CON_MAIUSCOLO), TASTO_FATTO);
    EXPECT_EQ(b.r.tasto(b.w, TASTO_FERMA_TORNEO, RIPETUTO, 0), TASTO_MUTO);
    b.pompa();
    EXPECT_EQ(b.fermate, 1);
    EXPECT_EQ(b.r.partite(), 0);
    EXPECT_EQ(b.fini_pannello, std::vector<std::uint32_t>{b.r.torneo()});
}

// ------------------------------------------------ an end during a question

// A game that ends while "New game?" or "New tournament?" is open shows its
// "End" box once the question is over, whatever the answer: after Yes the
// new game or tournament then begins, after No the board stays as it is.
TEST(UnaScatolaAllaVolta, UnaFineDuranteLaDomandaSiMostraDopo) {
    for (unsigned cmd : {unsigned{CMD_NUOVA_PARTITA}, unsigned{CMD_NUOVO_TORNEO}}) {
        for (bool si : {true, false}) {
            banco b;
            b.si = si;
            b.vittoria_in_coda();  // played inside the question's loop
            std::uint32_t vinta = b.game.numero_partita();
            b.r.comando(b.w, cmd, 0);
            b.pompa();
            EXPECT_EQ(b.scatole, (std::vector<std::string>{"domanda", "fine"})) << cmd << (si ? " Yes" : " No");
            EXPECT_EQ(b.piu_aperte, 1);
            EXPECT_EQ(b.game.fine_da_prendere(nullptr, nullptr), 0u);
            EXPECT_EQ(b.game.numero_partita(), si ? vinta + 1 : vinta);
            EXPECT_EQ(b.r.partite(), si && cmd == CMD_NUOVO_TORNEO ? PARTITE_TORNEO : 0);
            EXPECT_EQ(b.risultati, 0) << "an ordinary game's end is never tallied";
        }
    }
}

}  // namespace
