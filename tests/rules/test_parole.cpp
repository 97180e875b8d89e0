// The words a screen reader speaks: each kind of cell, the targets and
// their moves, the board's name, the announcements after moves, passes and
// ends, the whole position, and the panel; and that the words describe the
// match's own state.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "finestra_prova.h"
#include "ispettori.h"
#include "parole.h"
#include "partita.h"

namespace {

// A board as the layout makes it, each ordinary cell with its set in
// reading order (so set k is on the k-th ordinary cell), player 1 to move
// from the start corners, no legal move listed yet.
fotografia tavola() {
    fotografia f;
    int k = 0;
    for (int y = 0; y < LATO_PLANCIA; y++)
        for (int x = 0; x < LATO_PLANCIA; x++) {
            f.celle[x][y].cat = standard_tipo[y][x];
            f.celle[x][y].frecce = static_cast<std::uint8_t>(standard_tipo[y][x] == normale ? k++ : 0);
        }
    f.turno = 0;
    f.numero = 1;
    f.serie = 10;
    return f;
}

// Puts set `set` on cell (x, y).
void frecce(fotografia& f, int x, int y, int set) { f.celle[x][y].frecce = static_cast<std::uint8_t>(set); }

// Lists the legal moves of the player to move, by direction.
void lecite(fotografia& f, std::initializer_list<unsigned> d) {
    f.n_lecite = 0;
    for (unsigned v : d) f.direz[f.n_lecite++] = static_cast<std::uint8_t>(v);
}

TEST(Parole, FigliInOrdineDiLettura) {
    EXPECT_EQ(parole::figlio_di(1, 1), 1);
    EXPECT_EQ(parole::figlio_di(8, 1), 8);
    EXPECT_EQ(parole::figlio_di(1, 2), 9);
    EXPECT_EQ(parole::figlio_di(8, 8), 64);
    EXPECT_EQ(parole::figlio_di(0, 3), 0);
    EXPECT_EQ(parole::figlio_di(9, 3), 0);
    EXPECT_EQ(parole::FIGLIO_ANNUNCI, 65);
    for (long id = 1; id <= 64; id++) {
        int c = 0, r = 0;
        ASSERT_TRUE(parole::casella_di(id, &c, &r));
        EXPECT_EQ(parole::figlio_di(c, r), id);
    }
    int c = 0, r = 0;
    EXPECT_FALSE(parole::casella_di(0, &c, &r));
    EXPECT_FALSE(parole::casella_di(65, &c, &r));
    EXPECT_FALSE(parole::casella_di(-4, &c, &r));
}

TEST(Parole, OgniTipoDiCasella) {
    fotografia f = tavola();
    f.col[0] = 3;
    f.riga[0] = 2;  // player 1 on an ordinary cell
    f.col[1] = 1;
    f.riga[1] = 8;  // player 2 on its own goal
    frecce(f, 3, 2, 7);  // up, right, down-left... set {0, 2, 4}
    frecce(f, 5, 2, 55);  // {5, 6, 7}
    EXPECT_EQ(parole::nome_casella(f, 3, 2), "Row 2, column 3: Player 1's token; arrows up, right, down");
    EXPECT_EQ(parole::nome_casella(f, 5, 2), "Row 2, column 5: empty; arrows down-left, left, up-left");
    EXPECT_EQ(parole::nome_casella(f, 1, 1), "Row 1, column 1: Player 1's start");
    EXPECT_EQ(parole::nome_casella(f, 8, 1), "Row 1, column 8: Player 2's start");
    EXPECT_EQ(parole::nome_casella(f, 8, 8), "Row 8, column 8: Player 1's goal");
    EXPECT_EQ(parole::nome_casella(f, 1, 8), "Row 8, column 1: Player 2's token on Player 2's goal");
    for (int c = CENTRO_PRIMA; c <= CENTRO_ULTIMA; c++)
        for (int r = CENTRO_PRIMA; r <= CENTRO_ULTIMA; r++)
            EXPECT_EQ(parole::nome_casella(f, c, r),
                      "Row " + std::to_string(r) + ", column " + std::to_string(c) + ": blocked centre");
    // A token on its start corner, and on the other player's goal.
    f.col[0] = 1;
    f.riga[0] = 1;
    f.col[1] = 8;
    f.riga[1] = 8;
    EXPECT_EQ(parole::nome_casella(f, 1, 1), "Row 1, column 1: Player 1's token on Player 1's start");
    EXPECT_EQ(parole::nome_casella(f, 8, 8), "Row 8, column 8: Player 2's token on Player 1's goal");
    // Every cell has a name of its own.
    std::set<std::string> nomi;
    for (long id = 1; id <= 64; id++) {
        int c = 0, r = 0;
        parole::casella_di(id, &c, &r);
        nomi.insert(parole::nome_casella(f, c, r));
    }
    EXPECT_EQ(nomi.size(), 64u);
}

TEST(Parole, BersaglioDiOgniDirezione) {
    const char* attesa[8] = {"Move up to row 3, column 4.",    "Move up-right to row 3, column 5.",
                             "Move right to row 4, column 5.", "Move down-right to row 5, column 5.",
                             "Move down to row 5, column 4.",  "Move down-left to row 5, column 3.",
                             "Move left to row 4, column 3.",  "Move up-left to row 3, column 3."};
    for (unsigned d = 0; d < 8; d++) {
        fotografia f = tavola();
        f.col[0] = 4;
        f.riga[0] = 4;
        lecite(f, {d});
        int c = 4 + G_direzioni[d][0], r = 4 + G_direzioni[d][1];
        EXPECT_EQ(parole::bersaglio(f, c, r), 0);
        EXPECT_EQ(parole::mossa_casella(f, c, r), attesa[d]);
        // The cell beside it in the opposite direction is none.
        EXPECT_EQ(parole::mossa_casella(f, 4 - G_direzioni[d][0], 4 - G_direzioni[d][1]), "");
    }
}

TEST(Parole, DaNessunaATreMosse) {
    fotografia f = tavola();
    f.col[0] = 2;
    f.riga[0] = 3;
    f.col[1] = 6;
    f.riga[1] = 6;
    frecce(f, 6, 6, 22);  // {1, 2, 4}: up-right, right, down
    lecite(f, {});
    EXPECT_EQ(parole::turno(f), "Player 1 to move: no legal move.");
    lecite(f, {1});
    EXPECT_EQ(parole::turno(f), "Player 1 to move: 1 move.");
    lecite(f, {1, 2});
    f.tipo[0] = COMPUTER;
    EXPECT_EQ(parole::turno(f), "Player 1 (computer) to move: 2 moves.");
    f.tipo[0] = UMANO;
    lecite(f, {1, 2, 4});
    EXPECT_EQ(parole::nome_plancia(f),
              "Board: Player 1 to move: 3 moves, by the arrows of the opponent's cell, row 6, column 6: "
              "up-right, right, down.");
    EXPECT_EQ(parole::posizione(f, nullptr),
              "Player 1's token: row 3, column 2. Player 2's token: row 6, column 6. Player 1 to move: 3 moves, "
              "by the arrows of the opponent's cell, row 6, column 6: up-right, right, down: up-right to row 2, "
              "column 3; right to row 3, column 3; down to row 4, column 2.");
    // The opponent on a corner: the mover's own arrows count; both on
    // corners: every direction.
    f.col[1] = 8;
    f.riga[1] = 1;
    frecce(f, 2, 3, 0);
    EXPECT_NE(parole::nome_plancia(f).find("by the arrows of its own cell, row 3, column 2: up, up-right, right"),
              std::string::npos);
    f.col[0] = 1;
    f.riga[0] = 1;
    EXPECT_NE(parole::nome_plancia(f).find("in any direction"), std::string::npos);
}

TEST(Parole, AnnunciDopoMosseEPassi) {
    fotografia prima = tavola();
    prima.tipo[1] = COMPUTER;
    prima.turno = 1;
    prima.col[1] = 4;
    prima.riga[1] = 4;
    fotografia dopo = prima;
    dopo.serie++;
    dopo.col[1] = 3;
    dopo.riga[1] = 5;
    dopo.turno = 0;
    lecite(dopo, {0, 4});
    EXPECT_EQ(parole::annuncio_mossa(prima, dopo),
              "Player 2 (computer) moved down-left to row 5, column 3. Player 1 to move: 2 moves.");
    // The opponent had no move: the turn came back.
    dopo.serie++;
    dopo.turno = 1;
    lecite(dopo, {2});
    EXPECT_EQ(parole::annuncio_mossa(prima, dopo),
              "Player 2 (computer) moved down-left to row 5, column 3. Player 1 passes: no legal move. "
              "Player 2 (computer) to move: 1 move.");
    // Then neither could move.
    dopo.turno = -1;
    dopo.fine = MSG_BLOCCO;
    EXPECT_EQ(parole::annuncio_mossa(prima, dopo),
              "Player 2 (computer) moved down-left to row 5, column 3. Player 1 passes: no legal move. "
              "The game ends: neither player can move.");
    // A turn given up with nothing moved.
    fotografia passa = prima;
    passa.serie++;
    passa.turno = 0;
    lecite(passa, {3});
    EXPECT_EQ(parole::annuncio_mossa(prima, passa),
              "Player 2 (computer) passes: no legal move. Player 1 to move: 1 move.");
    // Nothing played, or a new game: nothing to say.
    EXPECT_EQ(parole::annuncio_mossa(prima, prima), "");
    fotografia nuova = dopo;
    nuova.numero++;
    EXPECT_EQ(parole::annuncio_mossa(prima, nuova), "");
}

TEST(Parole, OgniFineDiPartitaEDiTorneo) {
    fotografia prima = tavola();
    prima.col[0] = 7;
    prima.riga[0] = 7;
    fotografia dopo = prima;
    dopo.serie++;
    dopo.col[0] = 8;
    dopo.riga[0] = 8;
    dopo.turno = -1;
    dopo.fine = MSG_VITTORIA;
    dopo.vincitore = 0;
    EXPECT_EQ(parole::annuncio_mossa(prima, dopo), "Player 1 moved down-right to row 8, column 8. Player 1 wins.");
    EXPECT_EQ(parole::nome_casella(dopo, 8, 8), "Row 8, column 8: Player 1's token on Player 1's goal");
    EXPECT_EQ(parole::nome_plancia(dopo), "Board: the game is over. Player 1 wins.");
    dopo.vincitore = 1;
    EXPECT_EQ(parole::annuncio_fine(dopo), "Player 2 wins.");
    dopo.fine = MSG_PATTA;
    EXPECT_EQ(parole::annuncio_fine(dopo), "The game is drawn: the same placement came a fourth time.");
    dopo.fine = MSG_BLOCCO;
    EXPECT_EQ(parole::annuncio_fine(dopo), "The game ends: neither player can move.");
    // No end while a game goes on, nor before the first has ended.
    EXPECT_EQ(parole::annuncio_fine(prima), "");
    fotografia nessuna;
    EXPECT_EQ(parole::nome_plancia(nessuna), "Board: no game in progress.");

    conti_torneo c;
    c.vittorie[0] = 4;
    c.patte = 1;
    c.restanti = 10;
    dopo.fine = MSG_VITTORIA;
    dopo.vincitore = 0;
    EXPECT_EQ(parole::annuncio_partita_torneo(dopo, c), "Player 1 wins. Player 1 4, draws 1, Player 2 0, games left 10.");
    EXPECT_EQ(parole::testo_pannello(c), "Player 1 4, draws 1, Player 2 0, games left 10");
    EXPECT_NE(parole::posizione(dopo, &c).find(" Tournament: Player 1 4, draws 1, Player 2 0, games left 10."),
              std::string::npos);
    c.vittorie[0] = 9;
    c.vittorie[1] = 4;
    c.patte = 2;
    c.restanti = 0;
    EXPECT_EQ(parole::annuncio_fine_torneo(c), "The tournament is over: Player 1 9, Player 2 4, draws 2.");
    EXPECT_EQ(parole::posizione(dopo, &c).find("Tournament"), std::string::npos);
}

TEST(Parole, Bilancio) {
    EXPECT_EQ(parole::bilancio(50), "Balance: Player 1 50 per cent, Player 2 50 per cent");
    EXPECT_EQ(parole::bilancio(74), "Balance: Player 1 74 per cent, Player 2 26 per cent");
    EXPECT_EQ(parole::bilancio(-3), "Balance: Player 1 0 per cent, Player 2 100 per cent");
    EXPECT_EQ(parole::bilancio(140), "Balance: Player 1 100 per cent, Player 2 0 per cent");
}

// The words describe the match's own state: its targets are the cells its
// legal moves reach, and each move described is one it plays.
TEST(Parole, LaFotografiaEQuellaDellaPartita) {
    std::srand(11);
    partita g;
    partita_ispettore i{g};
    HWND w = finestra_prova();
    g.ricomincia(w);
    messaggi(w);
    for (int passo = 0; passo < 40 && g.stato() != FERMO; passo++) {
        fotografia f = g.fotografa();
        ASSERT_EQ(f.turno, i.turno());
        ASSERT_EQ(f.n_lecite, i.n_lecite());
        int bersagli = 0;
        for (long id = 1; id <= 64; id++) {
            int c = 0, r = 0;
            parole::casella_di(id, &c, &r);
            int m = parole::bersaglio(f, c, r);
            if (m < 0) continue;
            bersagli++;
            RECT atteso;
            rettangolo_casella(&atteso, c, r);
            const RECT& l = i.lecita()[m];
            EXPECT_TRUE(atteso.left == l.left && atteso.top == l.top && atteso.right == l.right &&
                        atteso.bottom == l.bottom)
                << "target " << m << " at " << c << ", " << r;
        }
        EXPECT_EQ(bersagli, f.n_lecite > 0 ? f.n_lecite : 0);
        if (f.n_lecite <= 0) break;
        ASSERT_EQ(g.esegui_mossa(w, 0), 1);
        fotografia dopo = g.fotografa();
        std::string a = parole::annuncio_mossa(f, dopo);
        EXPECT_EQ(a.rfind("Player " + std::to_string(f.turno + 1) + " moved " + parole::direzione(f.direz[0]), 0), 0u)
            << a;
        messaggi(w);
    }
}

}  // namespace
