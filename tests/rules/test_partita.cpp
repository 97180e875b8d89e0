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
