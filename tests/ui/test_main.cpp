// The main window driven from inside: the menu commands, the questions, the
// mouse, the posted moves and the drain, the end-of-game boxes and the
// tournament loop, with the real panel, dialogs and drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "finestra_principale.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "risorse.h"
#include "test_main_banco.h"

namespace {

using namespace banco;

class Ambiente : public ::testing::Environment {
public:
    void SetUp() override { costruisci(); }
};
const auto* ambiente = ::testing::AddGlobalTestEnvironment(new Ambiente);

int set_di(int a, int b, int c) {
    for (int i = 0; i < 56; i++)
        if (G_set_frecce[i][0] == a && G_set_frecce[i][1] == b && G_set_frecce[i][2] == c) return i;
    return -1;
}

// Player 0 on (2, 1), player 1 on (4, 1), player 0 to move. The only move,
// to (3, 1), leaves player 1 without a move (the arrows of (3, 1) all point
// up, off the board), and then player 0 has none either (the arrows of
// (4, 1) point up or onto player 1): the game ends blocked.
void posizione_bloccata() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 3, 1, set_di(0, 1, 7));
    plancia_ispettore::metti_set(g.scacch(), 4, 1, set_di(0, 1, 2));
    g.azzera_registro();
    g.posiziona(2, 1, 4, 1, 0);
}

// Player 0 on (7, 8) next to its goal, player 1 on (3, 3) whose arrows
// include "right": the move to the right wins. Returns its index.
int posizione_vincente() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 3, 3, set_di(0, 1, 2));
    g.azzera_registro();
    g.posiziona(7, 8, 3, 3, 0);
    return g.indice_di(2);
}

// Both tokens on their start corners, player 0 to move. The cell to the
// right of player 0 shows down, down-left and left, so that after player 0
// steps there player 1 has three moves. Returns the index of that step.
int posizione_di_partenza() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 2, 1, set_di(4, 5, 6));
    g.azzera_registro();
    g.posiziona(1, 1, 8, 1, 0);
    return g.indice_di(2);
}

// The centre of the target of legal move i, as a mouse message's lParam.
LPARAM centro_bersaglio(int i) {
    partita_ispettore g{game};
    RECT r = g.lecita()[i];
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool log_contiene(const std::vector<std::string>& righe, const std::string& testo) {
    return std::any_of(righe.begin(), righe.end(), [&](const std::string& r) { return r.find(testo) != std::string::npos; });
}

int fini_partita(const std::vector<evento>& ev) {
    return conta(ev, MSG_VITTORIA) + conta(ev, MSG_BLOCCO) + conta(ev, MSG_PATTA);
}

void metti_giocatori(e_tipo a, e_tipo b, int livello = 1) {
    e_tipo tipi[2] = {a, b};
    int skill[2] = {livello, livello};
    game.set_opzioni(tipi, skill);
}

class FinestraPrincipale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(principale, nullptr);
        ripristina();
        ASSERT_EQ(game.stato(), UMANO);
    }
    void TearDown() override { ripristina(); }
};

TEST_F(FinestraPrincipale, StartsLikeTheGame) {
    char testo[64] = "";
    GetWindowTextA(principale, testo, sizeof testo);
    EXPECT_STREQ(testo, "Vorandel 32");
    GetClassNameA(principale, testo, sizeof testo);
    EXPECT_STREQ(testo, "Finestra principale");
    EXPECT_TRUE(IsZoomed(principale));
    LONG stile = GetWindowLongA(principale, GWL_STYLE);
    EXPECT_TRUE(stile & WS_CLIPCHILDREN);
    EXPECT_FALSE(stile & WS_THICKFRAME);
    HMENU menu = GetMenu(principale);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetParent(pannello), principale);
    EXPECT_NE(GetDlgItem(pannello, ID_STOP), nullptr);
}

TEST_F(FinestraPrincipale, UnusedAndOutOfRangeCommandsDoNothing) {
    std::uint32_t prima = game.firma();
    for (WPARAM id : {32002u, 31999u, 32007u, 0u, 1u, 65535u, 0x10000u + 32002u})
        SendMessageA(principale, WM_COMMAND, id, 0);
    pompa_coda();
    EXPECT_EQ(game.firma(), prima);
    EXPECT_EQ(game.stato(), UMANO);
    EXPECT_TRUE(scatole().empty());
    EXPECT_EQ(uscite(), 0);
    // Only the seven commands themselves reached the window.
    EXPECT_EQ(eventi_finestra().size(), 7u);
    EXPECT_EQ(conta(eventi_pannello(), MSG_VITTORIA) + conta(eventi_pannello(), MSG_PATTA) +
                  conta(eventi_pannello(), MSG_NUOVO_TORNEO),
              0);
    EXPECT_TRUE(nuove_righe_log().empty());
}

TEST_F(FinestraPrincipale, NewGameAsksDuringAGameAndNoKeepsIt) {
    partita_ispettore g{game};
    std::uint32_t prima = game.firma();
    rispondi(IDNO);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    ASSERT_EQ(scatole().size(), 1u);
    EXPECT_EQ(scatole()[0].titolo, "Are you sure?");
    EXPECT_EQ(scatole()[0].testo, "Restarting will terminate this game. Are you sure?");
    EXPECT_EQ(scatole()[0].proprietario, principale);
    EXPECT_EQ(game.firma(), prima);

    int chi = g.turno();
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    ASSERT_EQ(scatole().size(), 2u);
    EXPECT_NE(game.firma(), prima);
    EXPECT_EQ(g.turno(), 1 - chi) << "games alternate who begins";
    unsigned x, y;
    g.ped(0).get_pos(&x, &y);
    EXPECT_EQ(x * 10 + y, 11u);
    g.ped(1).get_pos(&x, &y);
    EXPECT_EQ(x * 10 + y, 81u);
}

TEST_F(FinestraPrincipale, NewGameAfterTheEndAsksNothing) {
    posizione_bloccata();
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(game.firma()));
    ASSERT_TRUE(pompa_finche([] { return conta(eventi_finestra(), MSG_BLOCCO) == 1; }));
    pompa_coda();
    ASSERT_EQ(game.stato(), FERMO);
    azzera();
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    EXPECT_TRUE(scatole().empty());
    EXPECT_EQ(game.stato(), UMANO);
}

TEST_F(FinestraPrincipale, NewTournamentAsksDuringAGame) {
    rispondi(IDNO);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_EQ(scatole().size(), 1u);
    EXPECT_EQ(scatole()[0].testo, "Starting a tournament will terminate this game. Are you sure?");
    EXPECT_EQ(conta(eventi_pannello(), MSG_NUOVO_TORNEO), 0);
    EXPECT_FALSE(log_contiene(nuove_righe_log(), "ciclo iniziato"));

    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    pompa_coda();
    EXPECT_EQ(conta(eventi_pannello(), MSG_NUOVO_TORNEO, 15), 1);
    auto righe = nuove_righe_log();
    EXPECT_EQ(std::count(righe.begin(), righe.end(), std::string("MainProc: ciclo iniziato")), 1);
}

TEST_F(FinestraPrincipale, ClosingAsksAndOnlyYesQuits) {
    rispondi(IDNO);
    PostMessageA(principale, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pompa_finche([] { return scatole().size() == 1; }));
    pompa_coda();
    EXPECT_EQ(scatole()[0].testo, "Are you sure?");
    EXPECT_EQ(scatole()[0].titolo, "Are you sure?");
    EXPECT_EQ(uscite(), 0);
    EXPECT_TRUE(IsWindow(principale));

    // "Exit" asks the same question through WM_CLOSE.
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_ESCI, 0);
    ASSERT_TRUE(pompa_finche([] { return uscite() == 1; }));
    EXPECT_EQ(conta(eventi_finestra(), WM_CLOSE), 2);
    EXPECT_EQ(scatole().size(), 2u);
    EXPECT_TRUE(IsWindow(principale)) << "closing never destroys the window";
    EXPECT_EQ(game.stato(), UMANO);
}

TEST_F(FinestraPrincipale, AboutAndOptionsOpenTheirDialogs) {
    rispondi(IDOK);
    SendMessageA(principale, WM_COMMAND, CMD_ABOUT, 0);
    ASSERT_EQ(scatole().size(), 1u);
    EXPECT_EQ(scatole()[0].titolo, "About...");
    EXPECT_EQ(scatole()[0].proprietario, principale);

    // The player who is not to move becomes the computer.
    partita_ispettore g{game};
    int chi = g.turno();
    metti_giocatori(chi == 1 ? COMPUTER : UMANO, chi == 0 ? COMPUTER : UMANO, 4);
    std::uint32_t firma = game.firma();
    rispondi(IDC_ANNULLA);
    SendMessageA(principale, WM_COMMAND, CMD_OPZIONI, 0);
    ASSERT_EQ(scatole().size(), 2u);
    EXPECT_EQ(scatole()[1].titolo, "Options");
    EXPECT_EQ(scatole()[1].proprietario, principale);
    e_tipo tipi[2];
    int skill[2];
    game.get_opzioni(tipi, skill);
    EXPECT_EQ(tipi[1 - chi], COMPUTER);
    EXPECT_EQ(tipi[chi], UMANO);
    EXPECT_EQ(skill[1 - chi], 4);
    // Nothing is restarted by the dialogs, and no search is started.
    pompa_coda();
    EXPECT_EQ(game.firma(), firma);
    EXPECT_EQ(conta(eventi_finestra(), MSG_MOSSA), 0);
}

// Made "Automatic" in the Options dialog, the player to move starts thinking
// at once, and plays on.
TEST_F(FinestraPrincipale, ThePlayerToMoveMadeAutomaticMovesAtOnce) {
    partita_ispettore g{game};
    int chi = g.turno();
    std::uint32_t firma = game.firma();
    rispondi({chi == 0 ? IDC_AUTOMATICO1 : IDC_AUTOMATICO2, IDC_OK});
    SendMessageA(principale, WM_COMMAND, CMD_OPZIONI, 0);
    // Opened again at once: no second search for the same turn.
    rispondi(IDC_ANNULLA);
    SendMessageA(principale, WM_COMMAND, CMD_OPZIONI, 0);
    ASSERT_EQ(scatole().size(), 2u);
    EXPECT_EQ(scatole()[0].titolo, "Options");
    ASSERT_TRUE(pompa_finche([&] { return game.firma() != firma; }, 10000)) << "the computer never moved";
    unsigned x, y;
    g.ped(chi).get_pos(&x, &y);
    EXPECT_NE(x * 10 + y, chi == 0 ? 11u : 81u);
    pompa_coda();
    int per_quel_turno = 0;
    for (const evento& e : eventi_finestra())
        per_quel_turno += e.msg == MSG_MOSSA && static_cast<std::uint32_t>(e.lParam) == firma;
    EXPECT_EQ(per_quel_turno, 1);
}

TEST_F(FinestraPrincipale, EndOfGameBoxesOutsideATournament) {
    posizione_bloccata();
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(game.firma()));
    ASSERT_TRUE(pompa_finche([] { return scatole().size() == 1; }));
    EXPECT_EQ(scatole()[0].titolo, "End");
    EXPECT_EQ(scatole()[0].testo, "Game ends: no move available.");
    EXPECT_EQ(scatole()[0].risposta, IDOK);

    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    int i = posizione_vincente();
    ASSERT_GE(i, 0);
    PostMessageA(principale, MSG_MOSSA, static_cast<WPARAM>(i), static_cast<LPARAM>(game.firma()));
    ASSERT_TRUE(pompa_finche([] { return scatole().size() == 2; }));
    EXPECT_EQ(scatole()[1].titolo, "End");
    EXPECT_EQ(scatole()[1].testo, "Game ends: player won!");
    EXPECT_EQ(conta(eventi_finestra(), MSG_VITTORIA, 0), 1);

    PostMessageA(principale, MSG_PATTA, 0, 0);
    ASSERT_TRUE(pompa_finche([] { return scatole().size() == 3; }));
    EXPECT_EQ(scatole()[2].testo, "Game ends in a draw.");
    pompa_coda();
    EXPECT_EQ(scatole().size(), 3u) << "one box per game end";
    EXPECT_EQ(conta(eventi_pannello(), MSG_VITTORIA) + conta(eventi_pannello(), MSG_PATTA), 0)
        << "nothing is tallied outside a tournament";
    EXPECT_EQ(conta(eventi_finestra(), WM_COMMAND), 1) << "no game is started by itself";
}

TEST_F(FinestraPrincipale, AWinOfANonexistentPlayerIsRefused) {
    PostMessageA(principale, MSG_VITTORIA, 5, 0);
    pompa_coda();
    EXPECT_TRUE(scatole().empty());
    EXPECT_TRUE(log_contiene(nuove_righe_log(), "inesistente"));
}

TEST_F(FinestraPrincipale, PointerHighlightsAndAClickMoves) {
    partita_ispettore g{game};
    int destra = posizione_di_partenza();
    ASSERT_EQ(g.n_lecite(), 3);
    ASSERT_GE(destra, 0);
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(1));
    EXPECT_EQ(g.attuale(), 1);
    SendMessageA(principale, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(g.attuale(), -1);
    // A coordinate is an unsigned 16-bit value: 0xFFFF is far right, not -1.
    SendMessageA(principale, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0xFFFF));
    EXPECT_EQ(g.attuale(), -1);

    std::uint32_t firma = game.firma();
    SendMessageA(principale, WM_LBUTTONDOWN, MK_LBUTTON, centro_bersaglio(destra));
    ASSERT_EQ(conta(eventi_finestra(), MSG_MOSSA), 0) << "the click is posted, not performed at once";
    pompa_coda();
    ASSERT_EQ(conta(eventi_finestra(), MSG_MOSSA, static_cast<WPARAM>(destra)), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(eventi_finestra().back().lParam), firma);
    unsigned x, y;
    g.ped(0).get_pos(&x, &y);
    EXPECT_EQ(x * 10 + y, 21u);
    ASSERT_EQ(g.turno(), 1);
    ASSERT_EQ(g.n_lecite(), 3);

    // Dragging onto a target with the button held commits it too.
    SendMessageA(principale, WM_MOUSEMOVE, MK_LBUTTON, centro_bersaglio(0));
    pompa_coda();
    EXPECT_EQ(conta(eventi_finestra(), MSG_MOSSA), 2);
    g.ped(1).get_pos(&x, &y);
    EXPECT_NE(x * 10 + y, 81u);
}

TEST_F(FinestraPrincipale, AStaleMoveIsRefused) {
    partita_ispettore g{game};
    int destra = posizione_di_partenza();
    std::uint32_t vecchia = game.firma();
    SendMessageA(principale, WM_LBUTTONDOWN, MK_LBUTTON, centro_bersaglio(destra));
    SendMessageA(principale, WM_LBUTTONDOWN, MK_LBUTTON, centro_bersaglio(destra));
    pompa_coda();
    // Two clicks on the same turn: the first moves, the second is stale.
    unsigned x, y;
    g.ped(0).get_pos(&x, &y);
    EXPECT_EQ(x * 10 + y, 21u);
    EXPECT_EQ(g.turno(), 1);
    EXPECT_NE(game.firma(), vecchia);
    auto righe = nuove_righe_log();
    EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                            [](const std::string& r) { return r.find("turno chiuso") != std::string::npos; }),
              1);

    // A move made for the turn before changes nothing.
    std::uint32_t ora = game.firma();
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
    pompa_coda();
    g.ped(1).get_pos(&x, &y);
    EXPECT_EQ(x * 10 + y, 81u);
    EXPECT_EQ(game.firma(), ora);
    EXPECT_EQ(g.turno(), 1);
}

TEST_F(FinestraPrincipale, ANewGameDrainsTheMovesOfTheOldOne) {
    std::uint32_t vecchia = game.firma();
    // A click waiting in the queue when the game is abandoned.
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
    posizione_bloccata();
    SendMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
    ASSERT_EQ(game.stato(), FERMO);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, principale, MSG_MOSSA, MSG_MOSSA, PM_NOREMOVE));
    pompa_coda();
    EXPECT_EQ(conta(eventi_finestra(), MSG_MOSSA), 1) << "only the move sent directly was handled";
}

// The drain keeps what belongs to the turn in progress and removes the rest.
TEST_F(FinestraPrincipale, TheDrainKeepsOnlyTheMoveOfTheTurnInProgress) {
    std::uint32_t firma = game.firma();
    PostMessageA(principale, MSG_MOSSA, 1, static_cast<LPARAM>(firma - 1));
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(firma));
    PostMessageA(principale, MSG_MOSSA, 2, static_cast<LPARAM>(firma + 7));
    SendMessageA(principale, MSG_FINE_TORNEO, 0, 0);
    std::vector<MSG> in_coda;
    MSG m;
    while (PeekMessageA(&m, principale, MSG_MOSSA, MSG_MOSSA, PM_REMOVE)) in_coda.push_back(m);
    ASSERT_EQ(in_coda.size(), 1u);
    EXPECT_EQ(in_coda[0].wParam, 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(in_coda[0].lParam), firma);
}

TEST_F(FinestraPrincipale, AComputerThatBeginsANewGameKeepsItsMove) {
    partita_ispettore g{game};
    for (int volta = 0; volta < 2; volta++) {  // once for each player who begins
        metti_giocatori(COMPUTER, COMPUTER);
        rispondi(IDYES);
        SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
        int chi = g.turno();
        std::uint32_t firma = game.firma();
        // The opponent is a human: the game waits for it once the computer
        // has moved. set_opzioni waits until the search is over, so its move
        // is in the queue by then.
        e_tipo tipi[2];
        tipi[chi] = COMPUTER;
        tipi[1 - chi] = UMANO;
        int skill[2] = {1, 1};
        game.set_opzioni(tipi, skill);
        ASSERT_TRUE(pompa_finche([&] { return game.firma() != firma; }, 10000))
            << "the computer's first move was lost";
        // Its token has left its start corner.
        unsigned x, y;
        g.ped(chi).get_pos(&x, &y);
        EXPECT_NE(x * 10 + y, chi == 0 ? 11u : 81u);
        ripristina();
    }
}

TEST_F(FinestraPrincipale, StopButtonOutsideATournamentDoesNothing) {
    SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0);
    pompa_coda();
    EXPECT_EQ(conta(eventi_finestra(), MSG_FINE_TORNEO), 0);
    EXPECT_TRUE(nuove_righe_log().empty());
    EXPECT_EQ(game.stato(), UMANO);
}

TEST_F(FinestraPrincipale, ABlockedTournamentGameCountsAsADraw) {
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    pompa_coda();
    posizione_bloccata();
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(game.firma()));
    ASSERT_TRUE(pompa_finche([] { return conta(eventi_finestra(), MSG_BLOCCO) == 1; }));
    pompa_coda();
    EXPECT_EQ(scatole().size(), 1u) << "only the question, no end-of-game box";
    EXPECT_EQ(conta(eventi_pannello(), MSG_PATTA), 1);
    EXPECT_EQ(conta(eventi_pannello(), MSG_VITTORIA), 0);
    // The next game has started by itself, without a question.
    EXPECT_EQ(conta(eventi_finestra(), WM_COMMAND, CMD_NUOVA_PARTITA), 1);
    EXPECT_EQ(game.stato(), UMANO);
}

// A whole tournament between two computers: 15 games, each tallied, the
// next one started by itself, no box, and nothing after the fifteenth.
TEST_F(FinestraPrincipale, ATournamentPlaysExactlyFifteenGames) {
    metti_giocatori(COMPUTER, COMPUTER);
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_TRUE(pompa_finche([] { return conta(eventi_finestra(), MSG_FINE_TORNEO) == 1; }, 300000));
    pompa_coda();
    const auto& ev = eventi_finestra();
    EXPECT_EQ(fini_partita(ev), 15);
    EXPECT_EQ(conta(ev, WM_COMMAND, CMD_NUOVA_PARTITA), 14);
    EXPECT_EQ(scatole().size(), 1u) << "no box but the first question";
    EXPECT_EQ(game.stato(), FERMO) << "the last game stays on the board";

    const auto& pv = eventi_pannello();
    int v1 = conta(pv, MSG_VITTORIA, 0), v2 = conta(pv, MSG_VITTORIA, 1), patte = conta(pv, MSG_PATTA);
    EXPECT_EQ(v1 + v2 + patte, 15);
    EXPECT_EQ(v1, conta(ev, MSG_VITTORIA, 0));
    EXPECT_EQ(v2, conta(ev, MSG_VITTORIA, 1));
    EXPECT_EQ(patte, conta(ev, MSG_PATTA) + conta(ev, MSG_BLOCCO));

    // The panel agrees: its own tallies, written to the log when asked.
    infoWin->fine_torneo();
    pompa_coda();
    auto righe = nuove_righe_log();
    auto ciclo = std::find(righe.begin(), righe.end(), std::string("Ciclo finito"));
    ASSERT_NE(ciclo, righe.end());
    ASSERT_GE(righe.end() - ciclo, 4);
    EXPECT_EQ(ciclo[1], "patte: " + std::to_string(patte));
    EXPECT_EQ(ciclo[2], "vittorie player 1: " + std::to_string(v1));
    EXPECT_EQ(ciclo[3], "vittorie player 2: " + std::to_string(v2));
    EXPECT_EQ(std::count(righe.begin(), righe.end(), std::string("MainProc: ciclo iniziato")), 1);

    // Nothing starts afterwards.
    azzera();
    PostMessageA(principale, WM_NULL, 0, 0);
    pompa_coda();
    EXPECT_EQ(conta(eventi_finestra(), WM_COMMAND), 0);
    EXPECT_EQ(game.stato(), FERMO);
}

TEST_F(FinestraPrincipale, ANewTournamentDuringATournamentStartsAgainAtFifteen) {
    metti_giocatori(COMPUTER, COMPUTER);
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_TRUE(pompa_finche([] { return fini_partita(eventi_finestra()) == 3; }, 120000));
    std::size_t da = eventi_finestra().size();
    // Whatever the moment, the question (if a game is in progress) gets Yes.
    rispondi(IDYES);
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_TRUE(pompa_finche([] { return conta(eventi_finestra(), MSG_FINE_TORNEO) == 1; }, 300000));
    pompa_coda();
    std::vector<evento> dopo(eventi_finestra().begin() + static_cast<std::ptrdiff_t>(da), eventi_finestra().end());
    EXPECT_EQ(fini_partita(dopo), 15);
    EXPECT_EQ(conta(eventi_pannello(), MSG_NUOVO_TORNEO, 15), 2);
    EXPECT_EQ(game.stato(), FERMO);
}

// "Stop tournament" ends the count; the game on the board goes on as an
// ordinary game and ends with its box, and no further game starts.
TEST_F(FinestraPrincipale, StopDuringATournamentLetsTheGameFinishAsAnOrdinaryOne) {
    metti_giocatori(COMPUTER, COMPUTER);
    rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_TRUE(pompa_finche([] { return fini_partita(eventi_finestra()) == 2; }, 120000));
    // Stop while the third game is being played.
    ASSERT_TRUE(pompa_finche([] { return game.stato() == COMPUTER; }, 10000));
    SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0);
    EXPECT_TRUE(log_contiene(nuove_righe_log(), "premuto il tasto stop tournament."));
    ASSERT_TRUE(pompa_finche([] { return conta(eventi_finestra(), MSG_FINE_TORNEO) == 1; }, 10000));
    std::size_t fini = static_cast<std::size_t>(fini_partita(eventi_finestra()));
    ASSERT_TRUE(pompa_finche([] { return scatole().size() == 2; }, 120000))
        << "the game after the stop must go on to its end and its box";
    EXPECT_EQ(scatole()[1].titolo, "End");
    pompa_coda();
    EXPECT_EQ(static_cast<std::size_t>(fini_partita(eventi_finestra())), fini + 1);
    EXPECT_EQ(conta(eventi_finestra(), WM_COMMAND, CMD_NUOVA_PARTITA), 2) << "no game after the stop";
    EXPECT_EQ(game.stato(), FERMO);
    // A second press does nothing.
    SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0);
    pompa_coda();
    EXPECT_EQ(conta(eventi_finestra(), MSG_FINE_TORNEO), 1);
}

}  // namespace
