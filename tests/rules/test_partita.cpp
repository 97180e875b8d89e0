// The match: new games, turns, passes, the end of a game, the pointer
// highlight, and what is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"

#ifndef _WIN32
#include <winstub.h>
#endif

namespace {

using P = plancia_ispettore;

bool uguali(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT casella(int x, int y) {
    RECT r;
    rettangolo_casella(&r, x, y);
    return r;
}

POINT centro(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct Partita : ::testing::Test {
    partita g;
    partita_ispettore i{g};
    HWND w = finestra_prova();

    void SetUp() override {
        // The deal of the first game is fixed, so that a failure can be
        // replayed; VORANDEL_SEME chooses another one.
        const char* seme = std::getenv("VORANDEL_SEME");
        std::srand(seme != nullptr ? static_cast<unsigned>(std::atoi(seme)) : 7u);
        nuove_righe_log();
        g.ricomincia(w);
        messaggi(w);
#ifndef _WIN32
        winstub_invalidazioni(w);
#endif
    }

    // Plays the legal move in direction d of the player to move.
    void gioca(unsigned d) {
        int m = i.indice_di(d);
        ASSERT_GE(m, 0) << "direction " << d << " is not legal here";
        ASSERT_EQ(g.esegui_mossa(w, m), 1);
    }

    std::vector<UINT> tipi_messaggi() {
        std::vector<UINT> v;
        for (const MSG& m : messaggi(w)) v.push_back(m.message);
        return v;
    }

    void posizione(unsigned x0, unsigned y0, unsigned x1, unsigned y1, int chi) {
        i.posiziona(x0, y0, x1, y1, chi);
    }

    unsigned x_di(int p) {
        unsigned x, y;
        i.ped(p).get_pos(&x, &y);
        return x;
    }
    unsigned y_di(int p) {
        unsigned x, y;
        i.ped(p).get_pos(&x, &y);
        return y;
    }
};

}  // namespace

TEST_F(Partita, LePartiteSiAlternanoEPartonoDagliAngoli) {
    int primo = i.turno();
    ASSERT_TRUE(primo == 0 || primo == 1);
    gioca(i.direz()[0]);
    g.ricomincia(w);
    EXPECT_EQ(i.turno(), 1 - primo);
    g.ricomincia(w);
    EXPECT_EQ(i.turno(), primo);
    EXPECT_EQ(x_di(0), 1u);
    EXPECT_EQ(y_di(0), 1u);
    EXPECT_EQ(x_di(1), 8u);
    EXPECT_EQ(y_di(1), 1u);
    EXPECT_EQ(i.stallo_vicino(), 0);
    EXPECT_EQ(i.attuale(), -1);
    // The corners' three neighbours, whatever the deal.
    ASSERT_EQ(i.n_lecite(), 3);
    if (i.turno() == 0) {
        EXPECT_EQ(std::vector<int>(i.direz(), i.direz() + 3), (std::vector<int>{2, 3, 4}));
        EXPECT_TRUE(uguali(i.lecita()[0], casella(2, 1)));
        EXPECT_TRUE(uguali(i.lecita()[1], casella(2, 2)));
        EXPECT_TRUE(uguali(i.lecita()[2], casella(1, 2)));
        EXPECT_TRUE(uguali(i.vecchia(), RECT{25, 22, 78, 74}));
    } else {
        EXPECT_EQ(std::vector<int>(i.direz(), i.direz() + 3), (std::vector<int>{4, 5, 6}));
        EXPECT_TRUE(uguali(i.vecchia(), casella(8, 1)));
    }
    EXPECT_EQ(g.stato(), UMANO);
}

TEST_F(Partita, UnaMossaSpostaInvalidaEPassaIlTurno) {
    P::metti_set(i.scacch(), 2, 2, 52);  // (4, 5, 6): player 1 can answer
    posizione(1, 1, 8, 1, 0);
    std::uint32_t prima = g.firma();
    gioca(3);  // to (2, 2)
    EXPECT_EQ(x_di(0), 2u);
    EXPECT_EQ(y_di(0), 2u);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_NE(g.firma(), prima);
    EXPECT_TRUE(tipi_messaggi().empty());
#ifndef _WIN32
    auto inv = winstub_invalidazioni(w);
    ASSERT_EQ(inv.size(), 3u);
    EXPECT_TRUE(uguali(inv[0].rect, casella(1, 1)));
    EXPECT_TRUE(uguali(inv[1].rect, casella(2, 2)));
    EXPECT_TRUE(uguali(inv[2].rect, notizie));
    for (const auto& v : inv) EXPECT_FALSE(v.erase);
#endif
    // Player 1 now moves on the arrows of player 0's cell (2, 2).
    EXPECT_TRUE(uguali(i.vecchia(), casella(8, 1)));
}

TEST_F(Partita, SenzaPartitaOFuoriIntervalloLaMossaERifiutata) {
    posizione(1, 1, 8, 1, 0);
    EXPECT_EQ(g.esegui_mossa(w, 3), 0);
    EXPECT_EQ(g.esegui_mossa(w, 99), 0);
    EXPECT_EQ(x_di(0), 1u);
    EXPECT_EQ(i.turno(), 0);
    EXPECT_EQ(nuove_righe_log().size(), 2u);
#ifndef _WIN32
    EXPECT_TRUE(winstub_invalidazioni(w).empty());
#endif

    i.turno() = -1;
    EXPECT_EQ(g.stato(), FERMO);
    EXPECT_EQ(g.esegui_mossa(w, 0), 0);
    EXPECT_EQ(g.esegui_mossa(w, -1), 0);
    auto righe = nuove_righe_log();
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_EQ(righe[0], "ERRORE in partita::esegui_mossa!!");
    EXPECT_EQ(righe[1], "ERRORE in partita::esegui_mossa!!");
    EXPECT_TRUE(tipi_messaggi().empty());
}

TEST_F(Partita, UnaMossaDiUnAltroTurnoERifiutata) {
    P::metti_set(i.scacch(), 2, 1, 52);  // (4, 5, 6): player 1 can answer
    P::metti_set(i.scacch(), 8, 2, 36);  // (2, 3, 4): and player 0 after it
    posizione(1, 1, 8, 1, 0);
    std::uint32_t vecchia_firma = g.firma();
    gioca(2);
    EXPECT_EQ(g.esegui_mossa(w, 0, vecchia_firma), 0);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_EQ(nuove_righe_log().size(), 1u);
    EXPECT_EQ(g.esegui_mossa(w, 0, g.firma()), 1);
    EXPECT_EQ(i.turno(), 0);
    // A new game closes every turn of the old one.
    std::uint32_t f = g.firma();
    g.ricomincia(w);
    EXPECT_EQ(g.esegui_mossa(w, 0, f), 0);
}

TEST_F(Partita, LaVittoriaVieneAnnunciataPrimaDelRegistro) {
    P::metti_set(i.scacch(), 7, 7, 21);  // (1, 2, 3): 3 reaches (8, 8)
    posizione(7, 7, 8, 1, 0);
    // The placement after the move has been reached three times already.
    i.registro()[50] = partita::voce_registro{64, 8, 3};
    i.attuale() = i.indice_di(3);  // the winning target is framed, as under a person's pointer
    gioca(3);
    EXPECT_EQ(i.attuale(), -1) << "the frame stays around the token on its goal";
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_VITTORIA));
    EXPECT_EQ(v[0].wParam, 0u);
    EXPECT_EQ(i.turno(), -1);
    EXPECT_EQ(g.stato(), FERMO);
    EXPECT_EQ(i.registro()[50].ripetizioni, 3u);
    std::uint32_t prima = g.numero_partita();
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), prima) << "the end carries its game's number";

    // Player 1 wins with wParam 1, in the next game with the next number.
    g.ricomincia(w);
    P::metti_set(i.scacch(), 2, 7, 46);  // (3, 4, 5): 5 reaches (1, 8)
    posizione(8, 1, 2, 7, 1);
    gioca(5);
    v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_VITTORIA));
    EXPECT_EQ(v[0].wParam, 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), prima + 1);
}

TEST_F(Partita, ChiNonPuoMuoverePassaEIlTurnoTorna) {
    P::metti_set(i.scacch(), 2, 2, 36);  // (2, 3, 4)
    P::metti_set(i.scacch(), 3, 2, 0);   // (0, 1, 2): none leads player 1 out of (8, 1)
    posizione(2, 2, 8, 1, 0);
    gioca(2);  // to (3, 2); player 1 is stuck and passes
    EXPECT_EQ(i.turno(), 0);
    EXPECT_EQ(i.stallo_vicino(), 1);
    EXPECT_EQ(i.n_lecite(), 3);
    EXPECT_TRUE(tipi_messaggi().empty());
    P::metti_set(i.scacch(), 3, 1, 52);  // (4, 5, 6): player 1 can answer
    gioca(0);  // to (3, 1)
    EXPECT_EQ(i.stallo_vicino(), 0);
    EXPECT_EQ(i.turno(), 1);

    // A pass posted while a game is in progress; with both tokens on their
    // corners the other player can always move.
    posizione(1, 1, 8, 1, 0);
    EXPECT_EQ(g.esegui_mossa(w, -1), 1);
    EXPECT_EQ(i.turno(), 1);
    EXPECT_EQ(i.stallo_vicino(), 1);
    EXPECT_EQ(x_di(0), 1u);
    EXPECT_TRUE(tipi_messaggi().empty());
}

TEST_F(Partita, QuandoNessunoPuoMuovereUnSoloBlocco) {
    P::metti_set(i.scacch(), 2, 1, 36);  // (2, 3, 4)
    P::metti_set(i.scacch(), 3, 1, 5);   // (0, 1, 7): all into the ring
    posizione(2, 1, 8, 1, 0);
    gioca(2);  // to (3, 1): player 1 is stuck, then player 0 as well
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_BLOCCO));
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), g.numero_partita());
    EXPECT_EQ(i.turno(), -1);
    EXPECT_EQ(g.stato(), FERMO);
}

TEST_F(Partita, LaQuartaRipetizioneEPatta) {
    // Player 0 shuttles between (2, 2) and (3, 2), player 1 between (6, 6)
    // and (7, 6): each moves on the other's arrows.
    P::metti_set(i.scacch(), 6, 6, 45);  // (2, 6, 7)
    P::metti_set(i.scacch(), 7, 6, 9);   // (0, 2, 6)
    P::metti_set(i.scacch(), 2, 2, 24);  // (1, 2, 6)
    P::metti_set(i.scacch(), 3, 2, 41);  // (2, 4, 6)
    posizione(2, 2, 6, 6, 0);
    const unsigned giro[4] = {2, 2, 6, 6};
    for (int mossa = 0; mossa < 12; mossa++) {
        gioca(giro[mossa % 4]);
        ASSERT_TRUE(tipi_messaggi().empty()) << "move " << mossa + 1;
    }
    gioca(giro[0]);  // (3, 2) with (6, 6) for the fourth time
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_PATTA));
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), g.numero_partita());
    EXPECT_EQ(i.turno(), -1);
}

// The end of a game is taken once, and only for the game that has just
// ended: never for a game in progress, an abandoned one, a number nobody
// gave, or a second time. Each refusal is one log line.
TEST_F(Partita, LaFineValeSoloPerLaPartitaAppenaFinita) {
    std::uint32_t n = g.numero_partita();
    EXPECT_NE(n, 0u);
    EXPECT_EQ(g.accetta_fine(n), 0) << "the game is still in progress";

    P::metti_set(i.scacch(), 7, 7, 21);  // (1, 2, 3): 3 reaches (8, 8)
    posizione(7, 7, 8, 1, 0);
    gioca(3);
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    ASSERT_EQ(static_cast<std::uint32_t>(v[0].lParam), n);
    EXPECT_EQ(g.accetta_fine(0), 0) << "0 is a menu command's, never a game's";
    EXPECT_EQ(g.accetta_fine(n - 1), 0);
    EXPECT_EQ(g.accetta_fine(n + 1), 0);
    EXPECT_EQ(g.accetta_fine(n), 1);
    EXPECT_EQ(g.accetta_fine(n), 0) << "an end is taken once";
    EXPECT_EQ(nuove_righe_log().size(), 5u);

    // A game that ends and is abandoned before its end is taken: the end
    // belongs to no game any more, and the new game has not ended.
    g.ricomincia(w);
    n = g.numero_partita();
    P::metti_set(i.scacch(), 7, 7, 21);
    posizione(7, 7, 8, 1, 0);
    gioca(3);
    messaggi(w);
    g.ricomincia(w);
    EXPECT_EQ(g.numero_partita(), n + 1);
    EXPECT_EQ(g.accetta_fine(n), 0);
    EXPECT_EQ(g.accetta_fine(n + 1), 0);
    auto righe = nuove_righe_log();
    ASSERT_EQ(righe.size(), 2u);
    EXPECT_NE(righe[0].find("fine della partita"), std::string::npos) << righe[0];

    // The numbers never come back to 0.
    i.numero() = 0xFFFFFFFFu;
    g.ricomincia(w);
    EXPECT_EQ(g.numero_partita(), 1u);
}

TEST_F(Partita, IlPuntatoreEvidenziaEIlClicPropone) {
    posizione(1, 1, 8, 1, 0);
    RECT t0 = i.lecita()[0], t1 = i.lecita()[1];
    g.mossa_uomo(w, centro(t1), 0);
    EXPECT_EQ(i.attuale(), 1);
    g.mossa_uomo(w, POINT{t1.left, t1.top}, 0);  // still over the same target
    g.mossa_uomo(w, centro(t0), 0);
    EXPECT_EQ(i.attuale(), 0);
    g.mossa_uomo(w, POINT{t0.right, t0.top - 1}, 0);  // right and bottom edges are outside
    EXPECT_EQ(i.attuale(), -1);
    g.mossa_uomo(w, POINT{600, 300}, 0);
#ifndef _WIN32
    auto inv = winstub_invalidazioni(w);
    ASSERT_EQ(inv.size(), 4u);
    EXPECT_TRUE(uguali(inv[0].rect, t1));
    EXPECT_TRUE(uguali(inv[1].rect, t0));
    EXPECT_TRUE(uguali(inv[2].rect, t1));
    EXPECT_TRUE(uguali(inv[3].rect, t0));
    for (const auto& v : inv) EXPECT_FALSE(v.erase);
#endif
    EXPECT_TRUE(messaggi(w).empty());

    // The left button held over a target chooses it.
    g.mossa_uomo(w, centro(t0), 0);
    g.mossa_uomo(w, centro(t1), MK_LBUTTON);
    EXPECT_EQ(i.attuale(), 0);
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(v[0].wParam, 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), g.firma());
    g.mossa_uomo(w, POINT{5, 5}, MK_LBUTTON);
    EXPECT_TRUE(messaggi(w).empty());
}

TEST_F(Partita, IlPuntatoreNonContaSenzaUnUmanoDiTurno) {
    posizione(1, 1, 8, 1, 0);
    RECT t0 = i.lecita()[0];
    i.tipo()[0] = COMPUTER;
    g.mossa_uomo(w, centro(t0), MK_LBUTTON);
    g.mossa_uomo(w, centro(t0), 0);
    EXPECT_EQ(i.attuale(), -1);
    i.tipo()[0] = UMANO;
    i.turno() = -1;
    g.mossa_uomo(w, centro(t0), MK_LBUTTON);
    EXPECT_TRUE(messaggi(w).empty());
#ifndef _WIN32
    EXPECT_TRUE(winstub_invalidazioni(w).empty());
#endif
}

// A change of a player's kind takes the highlight away and invalidates its
// cell; a change of skill alone leaves it.
TEST_F(Partita, CambiareIlTipoSpegneLEvidenza) {
    posizione(1, 1, 8, 1, 0);
    RECT t0 = i.lecita()[0], t1 = i.lecita()[1];
    g.mossa_uomo(w, centro(t1), 0);
    ASSERT_EQ(i.attuale(), 1);
#ifndef _WIN32
    winstub_invalidazioni(w);
#endif
    e_tipo umani[2] = {UMANO, UMANO}, primo_automatico[2] = {COMPUTER, UMANO};
    int livelli[2] = {4, 6};
    g.set_opzioni(umani, livelli, w);
    EXPECT_EQ(i.attuale(), 1) << "only a skill changed";
#ifndef _WIN32
    EXPECT_TRUE(winstub_invalidazioni(w).empty());
#endif

    g.set_opzioni(primo_automatico, livelli, w);
    EXPECT_EQ(i.attuale(), -1);
#ifndef _WIN32
    auto inv = winstub_invalidazioni(w);
    ASSERT_EQ(inv.size(), 1u);
    EXPECT_TRUE(uguali(inv[0].rect, t1));
    EXPECT_FALSE(inv[0].erase);
#endif

    // Back to a person: nothing was highlighted, nothing to repaint. Then
    // the other player's kind changes while player 0 points at a target.
    g.set_opzioni(umani, livelli, w);
    g.mossa_uomo(w, centro(t0), 0);
    ASSERT_EQ(i.attuale(), 0);
    e_tipo secondo_automatico[2] = {UMANO, COMPUTER};
    g.set_opzioni(secondo_automatico, livelli, w);
    EXPECT_EQ(i.attuale(), -1);
#ifndef _WIN32
    inv = winstub_invalidazioni(w);
    ASSERT_EQ(inv.size(), 2u);
    EXPECT_TRUE(uguali(inv[0].rect, t0)) << "the highlight's own invalidation";
    EXPECT_TRUE(uguali(inv[1].rect, t0));
#endif
    EXPECT_TRUE(messaggi(w).empty());
}

TEST_F(Partita, LeOpzioniSiLeggonoESiScrivono) {
    e_tipo tipi[2] = {COMPUTER, UMANO};
    int livelli[2] = {7, 3};
    g.set_opzioni(tipi, livelli);
    e_tipo letti[2];
    int lv[2];
    g.get_opzioni(letti, lv);
    EXPECT_EQ(letti[0], COMPUTER);
    EXPECT_EQ(letti[1], UMANO);
    EXPECT_EQ(lv[0], 7);
    EXPECT_EQ(lv[1], 3);
    // Values no dialog can give are brought back to a kind and a skill.
    e_tipo strani[2] = {static_cast<e_tipo>(7), FERMO};
    int fuori[2] = {0, 1000};
    g.set_opzioni(strani, fuori);
    g.get_opzioni(letti, lv);
    EXPECT_EQ(letti[0], UMANO);
    EXPECT_EQ(letti[1], UMANO);
    EXPECT_EQ(lv[0], 1);
    EXPECT_EQ(lv[1], 10);
    // The event is free again afterwards.
    EXPECT_EQ(WaitForSingleObject(i.mutex(), 0), WAIT_OBJECT_0);
    SetEvent(i.mutex());
}

// ------------------------------------------------ playing from the keyboard

namespace {

// The arrow set (a, b, c), as an index of G_set_frecce.
int set_di(unsigned a, unsigned b, unsigned c) {
    for (int k = 0; k < 56; k++)
        if (static_cast<unsigned>(G_set_frecce[k][0]) == a && static_cast<unsigned>(G_set_frecce[k][1]) == b &&
            static_cast<unsigned>(G_set_frecce[k][2]) == c)
            return k;
    return -1;
}

struct Tastiera : Partita {
    int tasto(unsigned vk, int esteso = 0, int maiuscolo = 0) { return g.tasto_uomo(w, vk, esteso, maiuscolo); }
    // The direction of the framed target, -1 for none.
    int cornice() { return i.attuale() < 0 ? -1 : i.direz()[i.attuale()]; }
    // Player 0 to move on (2, 6), player 1 on (6, 3) showing the set
    // (a, b, c): player 0's legal moves are those three directions.
    void mosse(unsigned a, unsigned b, unsigned c) {
        P::metti_set(i.scacch(), 6, 3, set_di(a, b, c));
        posizione(2, 6, 6, 3, 0);
        ASSERT_EQ(i.n_lecite(), 3);
        messaggi(w);
#ifndef _WIN32
        winstub_invalidazioni(w);
#endif
    }
    // The keys of the game, each as (key, extended bit).
    std::vector<std::pair<unsigned, int>> tutti() {
        std::vector<std::pair<unsigned, int>> v{{VK_TAB, 0},   {VK_RETURN, 0}, {VK_RETURN, 1}, {VK_SPACE, 0},
                                                {VK_ESCAPE, 0}, {VK_UP, 1},     {VK_RIGHT, 1},  {VK_DOWN, 1},
                                                {VK_LEFT, 1},   {VK_CLEAR, 0}};
        for (unsigned k = VK_NUMPAD1; k <= VK_NUMPAD9; k++) v.push_back({k, 0});
        for (unsigned k : {VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR}) v.push_back({k, 0});
        return v;
    }
};

// Tab and Shift+Tab go round the legal targets in their order; each change
// invalidates the new and the old frame's cell; Esc removes the frame, and
// with none it can do nothing. Keys that are not the game's do nothing and
// say so (-1), so that the window passes them on without a beep.
TEST_F(Tastiera, TabShiftTabEdEsc) {
    mosse(0, 1, 7);
    std::vector<int> visti;
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(tasto(VK_TAB), 1);
        visti.push_back(i.attuale());
    }
    EXPECT_EQ(visti, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(tasto(VK_ESCAPE), 1);
    EXPECT_EQ(i.attuale(), -1);
    EXPECT_EQ(tasto(VK_ESCAPE), 0);
    visti.clear();
    for (int k = 0; k < 4; k++) {
        EXPECT_EQ(tasto(VK_TAB, 0, 1), 1);
        visti.push_back(i.attuale());
    }
    EXPECT_EQ(visti, (std::vector<int>{2, 1, 0, 2}));
#ifndef _WIN32
    auto inv = winstub_invalidazioni(w);
    ASSERT_EQ(inv.size(), 15u);  // 0; 1, 0; 2, 1; 0, 2; Esc 0; 2; 1, 2; 0, 1; 2, 0
    EXPECT_TRUE(uguali(inv[1].rect, i.lecita()[1]));
    EXPECT_TRUE(uguali(inv[2].rect, i.lecita()[0]));
    for (const auto& v : inv) EXPECT_FALSE(v.erase);
#endif
    for (unsigned k : {unsigned{VK_SHIFT}, unsigned{'A'}, unsigned{VK_NUMPAD0}, unsigned{VK_HOME}, unsigned{VK_PRIOR},
                       unsigned{VK_END}, unsigned{VK_NEXT}, 0x70u})  // 0x70: F1
        EXPECT_EQ(tasto(k, 1), -1) << k;
    EXPECT_EQ(tasto('Q'), -1);
    EXPECT_EQ(i.attuale(), 2);
    EXPECT_TRUE(messaggi(w).empty());
}

// An arrow frames the target straight that way, then the diagonal clockwise
// from it, then the anticlockwise one, only those that are legal, round and
// round; another arrow starts from its own straight target; an arrow with
// no legal target that way can do nothing and leaves the frame.
TEST_F(Tastiera, FrecceInOgniDirezione) {
    struct caso {
        unsigned a, b, c;  // player 0's legal directions
        unsigned freccia;
        std::vector<int> attese;  // directions framed by four presses; -1: refused
    };
    const std::vector<caso> casi = {
        {0, 1, 7, VK_UP, {0, 1, 7, 0}},    {0, 1, 7, VK_RIGHT, {1, 1, 1, 1}},  {0, 1, 7, VK_LEFT, {7, 7, 7, 7}},
        {0, 1, 7, VK_DOWN, {-1, -1, -1, -1}}, {2, 3, 4, VK_RIGHT, {2, 3, 2, 3}}, {2, 3, 4, VK_DOWN, {4, 3, 4, 3}},
        {4, 5, 6, VK_DOWN, {4, 5, 4, 5}},  {4, 5, 6, VK_LEFT, {6, 5, 6, 5}},   {5, 6, 7, VK_LEFT, {6, 7, 5, 6}},
        {5, 6, 7, VK_UP, {7, 7, 7, 7}},    {1, 3, 5, VK_UP, {1, 1, 1, 1}},     {1, 3, 5, VK_RIGHT, {3, 1, 3, 1}}};
    for (const caso& c : casi) {
        mosse(c.a, c.b, c.c);
        std::vector<int> visti;
        for (int k = 0; k < 4; k++) {
            int r = tasto(c.freccia, 1);
            visti.push_back(r == 1 ? cornice() : r == 0 ? -1 : -2);
        }
        EXPECT_EQ(visti, c.attese) << "arrow " << c.freccia << " with moves " << c.a << c.b << c.c;
    }
    // Up twice, then Right: Right begins again from its own straight target.
    mosse(0, 1, 2);
    tasto(VK_UP, 1);
    tasto(VK_UP, 1);
    EXPECT_EQ(cornice(), 1);
    tasto(VK_RIGHT, 1);
    EXPECT_EQ(cornice(), 2);
    // A refused arrow leaves the frame where it was.
    EXPECT_EQ(tasto(VK_DOWN, 1), 0);  // down (4) and its diagonals 5 and 3 are not legal
    EXPECT_EQ(cornice(), 2);
    EXPECT_TRUE(messaggi(w).empty());
}

// The numeric keypad plays at once in its compass direction, with Num Lock
// on (VK_NUMPAD1 to 9) and off (the keys printed on it, without the
// extended bit): only when that move is legal, as a click would, with the
// turn's number; 5 plays nothing. Enter and Space play the framed target.
TEST_F(Tastiera, TastierinoInvioESpazio) {
    const unsigned con_num_lock[9] = {VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4, VK_NUMPAD5,
                                      VK_NUMPAD6, VK_NUMPAD7, VK_NUMPAD8, VK_NUMPAD9};
    const unsigned senza[9] = {VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    const int verso[9] = {5, 4, 3, 6, -1, 2, 7, 0, 1};
    for (unsigned a : {0u, 3u}) {  // moves 0, 1, 2 and then 3, 4, 5
        mosse(a, a + 1, a + 2);
        for (const unsigned* tasti : {con_num_lock, senza}) {
            for (int k = 0; k < 9; k++) {
                int indice = verso[k] < 0 ? -1 : i.indice_di(static_cast<unsigned>(verso[k]));
                EXPECT_EQ(tasto(tasti[k]), indice >= 0 ? 1 : 0) << "digit " << k + 1;
                auto v = messaggi(w);
                ASSERT_EQ(v.size(), indice >= 0 ? 1u : 0u) << "digit " << k + 1;
                if (indice < 0) continue;
                EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_MOSSA));
                EXPECT_EQ(v[0].wParam, static_cast<WPARAM>(indice));
                EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), g.firma());
            }
        }
        EXPECT_EQ(i.attuale(), -1) << "the keypad moves no frame";
    }
    // Enter (main or keypad) and Space: nothing without a frame, else the
    // framed move, the frame staying where it is, as after a click.
    for (auto k : std::vector<std::pair<unsigned, int>>{{VK_RETURN, 0}, {VK_RETURN, 1}, {VK_SPACE, 0}})
        EXPECT_EQ(tasto(k.first, k.second), 0);
    EXPECT_TRUE(messaggi(w).empty());
    tasto(VK_TAB);
    tasto(VK_TAB);
    for (auto k : std::vector<std::pair<unsigned, int>>{{VK_RETURN, 0}, {VK_RETURN, 1}, {VK_SPACE, 0}}) {
        EXPECT_EQ(tasto(k.first, k.second), 1);
        auto v = messaggi(w);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_EQ(v[0].message, static_cast<UINT>(MSG_MOSSA));
        EXPECT_EQ(v[0].wParam, 1u);
        EXPECT_EQ(static_cast<std::uint32_t>(v[0].lParam), g.firma());
        EXPECT_EQ(i.attuale(), 1);
    }
    // Performed, the move ends the turn: the next player's frame is gone.
    EXPECT_EQ(g.esegui_mossa(w, 1, g.firma()), 1);
    EXPECT_EQ(i.attuale(), -1);
    EXPECT_EQ(tasto(VK_SPACE), 0);
}

// On a start corner (every direction tried) only right, down-right and down
// lead anywhere; with one legal target Tab and its arrows keep it; with
// none, every key of the game can do nothing.
TEST_F(Tastiera, AngoliEPocheMosse) {
    posizione(1, 1, 8, 1, 0);
    messaggi(w);
    EXPECT_EQ(tasto(VK_UP, 1), 0);
    EXPECT_EQ(tasto(VK_LEFT, 1), 0);
    EXPECT_EQ(tasto(VK_NUMPAD7), 0);
    EXPECT_EQ(tasto(VK_NUMPAD9), 0);
    EXPECT_EQ(tasto(VK_RIGHT, 1), 1);
    EXPECT_EQ(cornice(), 2);
    EXPECT_EQ(tasto(VK_RIGHT, 1), 1);
    EXPECT_EQ(cornice(), 3);
    EXPECT_EQ(tasto(VK_DOWN, 1), 1);
    EXPECT_EQ(cornice(), 4);
    EXPECT_EQ(tasto(VK_DOWN, 1), 1);
    EXPECT_EQ(cornice(), 3);
    EXPECT_TRUE(messaggi(w).empty());
    // Player 1 on its corner, to move: right and up-right lead nowhere.
    posizione(1, 1, 8, 1, 1);
    EXPECT_EQ(tasto(VK_RIGHT, 1), 0);
    EXPECT_EQ(tasto(VK_NUMPAD1), 1);
    EXPECT_EQ(messaggi(w).size(), 1u);

    i.n_lecite() = 1;
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(tasto(VK_TAB, 0, k == 2), 1);
        EXPECT_EQ(i.attuale(), 0);
    }
    i.n_lecite() = 0;
    i.attuale() = -1;
    for (auto k : tutti()) EXPECT_EQ(tasto(k.first, k.second), 0) << k.first;
    EXPECT_TRUE(messaggi(w).empty());
}

// With no person to move (the computer to move, searching or not; the game
// over; a frame left from before Options made the player automatic) every
// key of the game can do nothing, and nothing is posted or invalidated.
// After a move and after a new game no frame is left for Enter.
TEST_F(Tastiera, SenzaUnaPersonaDiTurnoNessunTastoAgisce) {
    auto nessuno = [&](const char* quando) {
        for (auto k : tutti()) EXPECT_EQ(tasto(k.first, k.second), 0) << quando << ", key " << k.first;
        EXPECT_TRUE(messaggi(w).empty()) << quando;
#ifndef _WIN32
        EXPECT_TRUE(winstub_invalidazioni(w).empty()) << quando;
#endif
    };
    mosse(0, 1, 7);
    tasto(VK_TAB);
#ifndef _WIN32
    winstub_invalidazioni(w);
#endif
    i.tipo()[0] = COMPUTER;
    nessuno("computer to move");
    EXPECT_EQ(i.attuale(), 0);

    // While the worker searches for that turn: its move is the only one.
    std::uint32_t firma = g.firma();
    i.attuale() = -1;
    ASSERT_EQ(g.mossa_macchina(w), 1);
    for (auto k : tutti()) EXPECT_EQ(tasto(k.first, k.second), 0) << "while searching, key " << k.first;
    MSG m;
    ASSERT_TRUE(attendi_messaggio(w, &m, 30000));
    EXPECT_EQ(m.message, static_cast<UINT>(MSG_MOSSA));
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), firma);
    WaitForSingleObject(i.mutex(), INFINITE);
    SetEvent(i.mutex());
    EXPECT_TRUE(messaggi(w).empty());

    // A frame set by a key, then Options make that player automatic.
    i.tipo()[0] = UMANO;
    mosse(0, 1, 7);
    tasto(VK_UP, 1);
    e_tipo tipi[2] = {COMPUTER, UMANO};
    int livelli[2] = {3, 1};
    g.set_opzioni(tipi, livelli, w);
    EXPECT_EQ(i.attuale(), -1);
#ifndef _WIN32
    winstub_invalidazioni(w);
#endif
    nessuno("after Options");
    tipi[0] = UMANO;
    g.set_opzioni(tipi, livelli, w);

    // The game over.
    mosse(0, 1, 7);
    tasto(VK_TAB);
    i.turno() = -1;
#ifndef _WIN32
    winstub_invalidazioni(w);
#endif
    nessuno("game over");

    // A new game takes the frame away.
    g.ricomincia(w);
    ASSERT_EQ(g.stato(), UMANO);
    EXPECT_EQ(tasto(VK_TAB), 1);
    g.ricomincia(w);
    ASSERT_EQ(g.stato(), UMANO);
    EXPECT_EQ(i.attuale(), -1);
    EXPECT_EQ(tasto(VK_RETURN), 0);
    EXPECT_TRUE(messaggi(w).empty());
}

// A pointer message at the point the pointer already was leaves a frame set
// (or removed) by a key; one at another point, or a click, acts as ever.
TEST_F(Tastiera, IlPuntatoreFermoLasciaLaCorniceDeiTasti) {
    mosse(0, 1, 7);
    RECT t0 = i.lecita()[0], t2 = i.lecita()[2];
    g.mossa_uomo(w, centro(t0), 0);
    EXPECT_EQ(i.attuale(), 0);
    tasto(VK_TAB);
    g.mossa_uomo(w, centro(t0), 0);
    EXPECT_EQ(i.attuale(), 1) << "the pointer has not moved";
    tasto(VK_ESCAPE);
    g.mossa_uomo(w, centro(t0), 0);
    EXPECT_EQ(i.attuale(), -1);
    g.mossa_uomo(w, POINT{centro(t0).x + 1, centro(t0).y}, 0);
    EXPECT_EQ(i.attuale(), 0) << "the pointer moved within the target";
    g.mossa_uomo(w, POINT{centro(t0).x + 1, centro(t0).y}, 0);
    EXPECT_EQ(i.attuale(), 0);
    // Off every target, a key frames one; the pointer still there leaves it.
    g.mossa_uomo(w, POINT{600, 300}, 0);
    tasto(VK_TAB, 0, 1);
    EXPECT_EQ(i.attuale(), 2);
    g.mossa_uomo(w, POINT{600, 300}, 0);
    EXPECT_EQ(i.attuale(), 2);
    EXPECT_TRUE(messaggi(w).empty());
    // A click where the pointer is chooses what is under it.
    g.mossa_uomo(w, POINT{600, 300}, MK_LBUTTON);
    EXPECT_TRUE(messaggi(w).empty());
    g.mossa_uomo(w, centro(t2), 0);
    tasto(VK_TAB);
    g.mossa_uomo(w, centro(t2), MK_LBUTTON);
    auto v = messaggi(w);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].wParam, 2u);
    EXPECT_EQ(i.attuale(), 0);
}

}  // namespace
