// The main window driven from inside, with the real panel, dialogs and
// drawing, built as WinMain builds them: their messages are recorded on the
// way to their window procedures, and every box or dialog is answered from
// inside this thread as it is activated.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "computer.h"
#include "contrasto.h"
#include "estrazioni.h"
#include "finestra_principale.h"
#include "finestra_prova.h"
#include "ispettori.h"
#include "partita.h"
#include "pixel.h"
#include "programma.h"
#include "risorse.h"

// The sprite sheet (from the current folder, which holds a copy), the match
// and the instance handle, as the game's own.
bitmap sfondo("Tutto261.dib");
partita game;
HINSTANCE hInst = nullptr;

namespace {

// A box or dialog that was opened.
struct scatola {
    std::string titolo, testo;
    HWND proprietario;
};

HWND principale = nullptr, pannello = nullptr;
WNDPROC proc_pannello = nullptr;
HHOOK gancio = nullptr;
// What happened since the last azzera().
std::vector<MSG> ev_finestra, ev_pannello;
std::vector<scatola> scatole;
int uscite = 0;  // quit messages that reached the pump
// The commands posted to each next box, in order (its controls, then its
// closing button). A box with none planned gets IDNO, Cancel or OK.
std::deque<std::vector<int>> risposte;
// The turn for which the computer's search had last been started when the
// last dialog was destroyed.
std::uint32_t cercata_alla_chiusura = 0;
// The next box is closed from another thread by a click SENT to this
// button, after its loop has dropped the first queued message of the main
// window between `perdi_da` and `perdi_a` (as a loop ended that way drops
// the next posted message: the computer's move unless told otherwise); 0
// for none.
int chiudi_da_fuori = 0;
UINT perdi_da = MSG_MOSSA, perdi_a = MSG_MOSSA;
HANDLE chiusore = nullptr;
std::vector<UINT> perse;  // what such boxes dropped
// A tournament whose boxes swallow its messages: when the game numbered n
// ends, About opens and drops that game's end if n % 3 is 1, the
// tournament's "New game" after it if n % 3 is 2.
bool scatole_che_inghiottono = false;
std::uint32_t ultima_con_scatola = 0;
// The number of the last tournament the panel was told of.
std::uint32_t ultimo_torneo = 0;
// The most boxes and dialogs of this thread open at once, seen as each one
// was activated.
int piu_scatole = 0;

BOOL CALLBACK conta_scatola(HWND w, LPARAM l) {
    auto* c = reinterpret_cast<std::pair<HWND, int>*>(l);
    char classe[32] = "";
    if (GetClassNameA(w, classe, sizeof classe) && lstrcmpA(classe, "#32770") == 0 &&
        (w == c->first || IsWindowVisible(w)))
        c->second++;
    return TRUE;
}

// Keys typed into each next box, one a tick of a thread timer, each to the
// control that has the focus then, as the box's own loop takes a keyboard's
// keys (0: read both skill numbers of the Options dialog into `letti`). A
// box with keys planned gets no command.
std::deque<std::vector<UINT>> tasti_scatole;
std::vector<UINT> tasti_in_corso;
std::size_t prossimo = 0;
HWND scatola_dei_tasti = nullptr;
std::vector<int> letti;

// A key as a keyboard sends it: WM_KEYDOWN, then WM_KEYUP, posted to `w`,
// with the key's scan code and, for the dedicated arrows and page keys, the
// extended bit.
void batti(HWND w, UINT vk, bool esteso = false) {
    DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u);
    PostMessageA(w, WM_KEYDOWN, vk, static_cast<LPARAM>(lp));
    PostMessageA(w, WM_KEYUP, vk, static_cast<LPARAM>(lp | 0xC0000000u));
}

// (A box still open a while after its last key is a failure: it is ended,
// so that the test goes on.)
void CALLBACK tasto_nella_scatola(HWND, UINT, UINT_PTR id, DWORD) {
    if (!IsWindow(scatola_dei_tasti)) {
        KillTimer(nullptr, id);
        return;
    }
    if (prossimo >= tasti_in_corso.size()) {
        if (++prossimo < tasti_in_corso.size() + 50) return;
        KillTimer(nullptr, id);
        ADD_FAILURE() << "the box was still open after its keys";
        EndDialog(scatola_dei_tasti, 0);
        return;
    }
    UINT k = tasti_in_corso[prossimo++];
    if (k == 0) {
        for (int n : {IDC_SKILL1, IDC_SKILL2}) letti.push_back(static_cast<int>(GetDlgItemInt(scatola_dei_tasti, n, nullptr, FALSE)));
        return;
    }
    HWND f = GetFocus();
    batti(f != nullptr ? f : scatola_dei_tasti, k, k >= VK_PRIOR && k <= VK_DOWN);
}

DWORD WINAPI clic_da_fuori(LPVOID bottone) {
    SendMessageA(static_cast<HWND>(bottone), BM_CLICK, 0, 0);
    return 0;
}

LRESULT CALLBACK spia(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND || msg == WM_CLOSE || (msg >= WM_USER && msg <= MSG_MOSSA))
        (hWnd == principale ? ev_finestra : ev_pannello).push_back(MSG{hWnd, msg, wParam, lParam, 0, {}});
    if (hWnd == pannello && msg == MSG_NUOVO_TORNEO) ultimo_torneo = static_cast<std::uint32_t>(lParam);
    bool fine = msg == MSG_VITTORIA || msg == MSG_BLOCCO || msg == MSG_PATTA;
    UINT n_fini = scatole_che_inghiottono && hWnd == principale ? game.numero_partita() : 0;
    LRESULT esito = CallWindowProcA(hWnd == principale ? MainProc : proc_pannello, hWnd, msg, wParam, lParam);
    if (n_fini != 0 && game.stato() == FERMO && game.numero_partita() != ultima_con_scatola &&
        ((msg == MSG_MOSSA && n_fini % 3 == 1) || (fine && n_fini % 3 == 2))) {
        // Game n_fini has just ended (its end is queued), or its end has
        // just been tallied (the tournament's "New game" is queued).
        ultima_con_scatola = game.numero_partita();
        if (msg == MSG_MOSSA)
            perdi_da = MSG_VITTORIA, perdi_a = MSG_PATTA;
        else
            perdi_da = perdi_a = WM_COMMAND;
        chiudi_da_fuori = IDOK;
        SendMessageA(principale, WM_COMMAND, CMD_ABOUT, 0);
        if (chiusore != nullptr) {
            WaitForSingleObject(chiusore, INFINITE);
            CloseHandle(chiusore);
            chiusore = nullptr;
        }
    }
    return esito;
}

// A box or dialog is being activated: record it and post its answer.
LRESULT CALLBACK attivazione(int codice, WPARAM wParam, LPARAM lParam) {
    HWND w = reinterpret_cast<HWND>(wParam);
    char classe[32] = "", titolo[256] = "", testo[1024] = "";
    if (codice == HCBT_ACTIVATE && GetClassNameA(w, classe, sizeof classe) && lstrcmpA(classe, "#32770") == 0 &&
        GetPropA(w, "vorandel risposto") == nullptr) {
        SetPropA(w, "vorandel risposto", reinterpret_cast<HANDLE>(1));
        std::pair<HWND, int> aperte{w, 0};
        EnumThreadWindows(GetCurrentThreadId(), conta_scatola, reinterpret_cast<LPARAM>(&aperte));
        piu_scatole = std::max(piu_scatole, aperte.second);
        GetWindowTextA(w, titolo, sizeof titolo);
        GetDlgItemTextA(w, 0xFFFF, testo, sizeof testo);  // a message box's text
        scatole.push_back({titolo, testo, GetWindow(w, GW_OWNER)});
        std::vector<int> comandi{GetDlgItem(w, IDNO) ? IDNO : GetDlgItem(w, IDC_ANNULLA) ? IDC_ANNULLA : IDOK};
        if (chiudi_da_fuori != 0) {
            MSG persa;
            if (PeekMessageA(&persa, principale, perdi_da, perdi_a, PM_REMOVE)) perse.push_back(persa.message);
            perdi_da = perdi_a = MSG_MOSSA;
            chiusore = CreateThread(nullptr, 0, clic_da_fuori, GetDlgItem(w, chiudi_da_fuori), 0, nullptr);
            chiudi_da_fuori = 0;
            comandi.clear();
        } else if (!tasti_scatole.empty()) {
            tasti_in_corso = tasti_scatole.front();
            tasti_scatole.pop_front();
            prossimo = 0;
            scatola_dei_tasti = w;
            SetTimer(nullptr, 0, 20, tasto_nella_scatola);
            comandi.clear();
        } else if (!risposte.empty()) {
            comandi = risposte.front();
            risposte.pop_front();
        }
        for (int id : comandi)
            PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
    }
    if (codice == HCBT_DESTROYWND && GetPropA(w, "vorandel risposto") != nullptr)
        cercata_alla_chiusura = partita_ispettore{game}.serie_cercata();
    return CallNextHookEx(gancio, codice, wParam, lParam);
}

class Ambiente : public ::testing::Environment {
public:
    void SetUp() override {
        hInst = GetModuleHandleA(nullptr);
        gancio = SetWindowsHookExA(WH_CBT, attivazione, nullptr, GetCurrentThreadId());
        ASSERT_NE(gancio, nullptr);
        ASSERT_NE(registra_classe(), 0);
        principale = crea_finestra();
        ASSERT_NE(principale, nullptr);
        SetWindowLongPtrA(principale, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spia));
        prepara_partita(principale);
        pannello = infoWin->finestra();
        proc_pannello =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(pannello, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spia)));
        ShowWindow(principale, SW_SHOWMAXIMIZED);
        UpdateWindow(principale);
    }
};
const auto* ambiente = ::testing::AddGlobalTestEnvironment(new Ambiente);

int conta(const std::vector<MSG>& ev, UINT msg, WPARAM wParam = ~WPARAM{0}) {  // ~0: any wParam
    return static_cast<int>(std::count_if(ev.begin(), ev.end(), [&](const MSG& e) {
        return e.message == msg && (wParam == ~WPARAM{0} || e.wParam == wParam);
    }));
}

// Dispatches messages until `condizione` holds (false when `ms` passed
// first), or with no condition what is waiting now.
bool pompa_finche(const std::function<bool()>& condizione = nullptr, DWORD ms = 60000) {
    auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG m;
    while (condizione == nullptr || !condizione()) {
        if (std::chrono::steady_clock::now() > fine) return false;
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                uscite++;
                continue;
            }
            TranslateMessage(&m);
            DispatchMessageA(&m);
        } else if (condizione == nullptr) {
            return true;
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    return true;
}

void pompa_coda() { pompa_finche(); }

void metti_giocatori(e_tipo a, e_tipo b, int livello = 1) {
    e_tipo tipi[2] = {a, b};
    int skill[2] = {livello, livello};
    game.set_opzioni(tipi, skill);  // waits for a running search
}

void premi_stop() { SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0); }

// A menu command, the next box (if any) answered with `risposta`.
void comando(WPARAM id, int risposta = 0) {
    if (risposta != 0) risposte.push_back({risposta});
    SendMessageA(principale, WM_COMMAND, id, 0);
}

void azzera() {
    ev_finestra.clear();
    ev_pannello.clear();
    scatole.clear();
    risposte.clear();
    tasti_scatole.clear();
    letti.clear();
    uscite = 0;
    piu_scatole = 0;
    nuove_righe_log();
}

// No tournament, two humans at skill 1, no search, a new game in progress,
// the queue and the records empty.
void ripristina() {
    // The stop button ends the panel's tournament; the message, the window's.
    premi_stop();
    PostMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(ultimo_torneo));
    metti_giocatori(UMANO, UMANO);
    pompa_coda();
    comando(CMD_NUOVA_PARTITA, game.stato() != FERMO ? IDYES : 0);
    pompa_coda();
    azzera();
}

const COLORREF BIANCO = RGB(255, 255, 255);

// Paints the whole board now.
void ridisegna_tutto() {
    InvalidateRect(principale, nullptr, FALSE);
    UpdateWindow(principale);
}

int set_di(int a, int b, int c) {
    for (int i = 0; i < 56; i++)
        if (G_set_frecce[i][0] == a && G_set_frecce[i][1] == b && G_set_frecce[i][2] == c) return i;
    return -1;
}

// Player 0 on (2, 1) to move, player 1 on (4, 1): the only move, to (3, 1),
// leaves neither player a move (the arrows there point up, off the board, or
// onto the other token), so the game ends blocked. The move is posted.
void gioca_partita_bloccata() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 3, 1, set_di(0, 1, 7));
    plancia_ispettore::metti_set(g.scacch(), 4, 1, set_di(0, 1, 2));
    g.azzera_registro();
    g.posiziona(2, 1, 4, 1, 0);
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(game.firma()));
}

// Player 0 next to its goal, to move, with its winning step queued as a
// worker posts it. Returns the number of that game.
std::uint32_t accoda_vittoria() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 3, 3, set_di(0, 1, 2));
    g.azzera_registro();
    g.posiziona(7, 8, 3, 3, 0);  // (3, 3) shows up, up-right and right
    PostMessageA(principale, MSG_MOSSA, static_cast<WPARAM>(g.indice_di(2)), static_cast<LPARAM>(game.firma()));
    return game.numero_partita();
}

// Both tokens on their start corners, player 0 to move; the cell to its right
// shows down, down-left and left, so that player 1 then has three moves.
// Returns the index of the step to the right.
int posizione_di_partenza() {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 2, 1, set_di(4, 5, 6));
    g.azzera_registro();
    g.posiziona(1, 1, 8, 1, 0);
    return g.indice_di(2);
}

// The centre of the target of legal move i, as a mouse message's lParam.
LPARAM centro_bersaglio(int i) {
    RECT r = partita_ispettore{game}.lecita()[i];
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

unsigned casella(int chi) {
    unsigned x, y;
    partita_ispettore{game}.ped(chi).get_pos(&x, &y);
    return x * 10 + y;
}

int righe_con(const std::string& testo) {
    auto righe = nuove_righe_log();
    return static_cast<int>(std::count_if(righe.begin(), righe.end(),
                                          [&](const std::string& r) { return r.find(testo) != std::string::npos; }));
}

// What the panel was told about games and tournaments.
int conteggi_pannello() {
    return conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA) + conta(ev_pannello, MSG_NUOVO_TORNEO);
}

int fini_partita(const std::vector<MSG>& ev) {
    return conta(ev, MSG_VITTORIA) + conta(ev, MSG_BLOCCO) + conta(ev, MSG_PATTA);
}

// The numbers carried by the ends of games that reached the window, in order.
std::vector<std::uint32_t> numeri_delle_fini() {
    std::vector<std::uint32_t> v;
    for (const MSG& e : ev_finestra)
        if (e.message == MSG_VITTORIA || e.message == MSG_BLOCCO || e.message == MSG_PATTA)
            v.push_back(static_cast<std::uint32_t>(e.lParam));
    return v;
}

// Where message `msg` first reached the window, or -1.
long primo(UINT msg) {
    for (std::size_t k = 0; k < ev_finestra.size(); k++)
        if (ev_finestra[k].message == msg) return static_cast<long>(k);
    return -1;
}

bool attendi_fini(int n, DWORD ms = 120000) {
    return pompa_finche([n] { return fini_partita(ev_finestra) >= n; }, ms);
}

bool attendi_fine_torneo(DWORD ms = 300000) {
    return pompa_finche([] { return conta(ev_finestra, MSG_FINE_TORNEO) == 1; }, ms);
}

class FinestraPrincipale : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(principale, nullptr);
        ripristina();
    }
    void TearDown() override { ripristina(); }
};

// Restored (as "Restore" does, or a window manager that will not maximise a
// window without a sizing border), the window keeps its creation size: the
// whole board and the whole panel lie inside its client area, whatever the
// screen's resolution makes of its caption and menu bar, and both are drawn
// there. The window is maximised again afterwards.
TEST_F(FinestraPrincipale, RipristinataTieneTuttaLaPlanciaETuttoIlPannello) {
    ShowWindow(principale, SW_RESTORE);
    pompa_coda();
    EXPECT_FALSE(IsZoomed(principale));
    RECT cliente, riquadro, tasto;
    GetClientRect(principale, &cliente);
    GetWindowRect(pannello, &riquadro);
    MapWindowPoints(nullptr, principale, reinterpret_cast<POINT*>(&riquadro), 2);
    GetWindowRect(GetDlgItem(pannello, ID_STOP), &tasto);
    MapWindowPoints(nullptr, principale, reinterpret_cast<POINT*>(&tasto), 2);
    RECT fuori;
    GetWindowRect(principale, &fuori);
    HDC schermo = GetDC(nullptr);
    int dpi = GetDeviceCaps(schermo, LOGPIXELSY);
    ReleaseDC(nullptr, schermo);
    std::printf("restored at %d dpi: window %ld x %ld, client area %ld x %ld, panel %ld,%ld to %ld,%ld\n", dpi,
                fuori.right - fuori.left, fuori.bottom - fuori.top, cliente.right, cliente.bottom, riquadro.left,
                riquadro.top, riquadro.right, riquadro.bottom);
    const RECT plancia{PLANCIA_SINISTRA, PLANCIA_ALTO, PLANCIA_DESTRA, PLANCIA_BASSO};
    for (const RECT* r : {&plancia, static_cast<const RECT*>(&riquadro), static_cast<const RECT*>(&tasto)}) {
        RECT dentro;
        IntersectRect(&dentro, r, &cliente);
        EXPECT_TRUE(EqualRect(&dentro, r)) << r->left << "," << r->top << " to " << r->right << "," << r->bottom
                                           << " is not inside the client area " << cliente.right << " x "
                                           << cliente.bottom;
    }
    EXPECT_EQ(riquadro.left, PANNELLO_X);
    EXPECT_EQ(riquadro.top, PANNELLO_Y);

    ridisegna_tutto();
    UpdateWindow(pannello);
    // The board picture at the four corners of its area, the black of the
    // window's background beside it, and the panel's bar and box frames.
    for (POINT p : {POINT{PLANCIA_SINISTRA, PLANCIA_ALTO}, POINT{PLANCIA_DESTRA - 1, PLANCIA_ALTO},
                    POINT{PLANCIA_SINISTRA, PLANCIA_BASSO - 1}, POINT{PLANCIA_DESTRA - 1, PLANCIA_BASSO - 1}})
        PIXEL(principale, p.x, p.y, colorref(pixel_del_quadro(sfondo, p.x, p.y)));
    PIXEL(principale, PLANCIA_DESTRA + 5, PLANCIA_BASSO - 1, RGB(0, 0, 0));
    PIXEL(pannello, 20, 30, RGB(0, 0, 0));
    PIXEL(pannello, 139, 199, RGB(0, 0, 0));
    RECT interno;
    GetClientRect(pannello, &interno);
    PIXEL(pannello, interno.right - 1, interno.bottom - 1, RGB(192, 192, 192));

    ShowWindow(principale, SW_SHOWMAXIMIZED);
    pompa_coda();
    EXPECT_TRUE(IsZoomed(principale));
}

// Unused ids, ids out of range and the stop button outside a tournament.
TEST_F(FinestraPrincipale, ComandiInutiliEStopFuoriTorneoNonFannoNulla) {
    std::uint32_t prima = game.firma();
    for (WPARAM id : {32002u, 31999u, 32007u, 0u, 65535u, 0x10000u + 32002u}) comando(id);
    premi_stop();
    pompa_coda();
    EXPECT_EQ(game.firma(), prima);
    EXPECT_EQ(game.stato(), UMANO);
    EXPECT_TRUE(scatole.empty());
    EXPECT_EQ(uscite, 0);
    EXPECT_EQ(ev_finestra.size(), 6u) << "only the commands themselves reached the window";
    EXPECT_EQ(conteggi_pannello(), 0);
    EXPECT_TRUE(nuove_righe_log().empty());
}

// New game, New tournament and closing ask during a game: No keeps it, Yes
// goes on; after the end a new game asks nothing.
TEST_F(FinestraPrincipale, DomandeConSiEConNo) {
    int chi = partita_ispettore{game}.turno();
    std::uint32_t prima = game.firma();
    comando(CMD_NUOVA_PARTITA, IDNO);
    comando(CMD_NUOVO_TORNEO, IDNO);
    risposte.push_back({IDNO});
    PostMessageA(principale, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 3; }));
    pompa_coda();
    EXPECT_EQ(scatole[0].testo, "Restarting will terminate this game. Are you sure?");
    EXPECT_EQ(scatole[0].proprietario, principale);
    EXPECT_EQ(scatole[1].testo, "Starting a tournament will terminate this game. Are you sure?");
    EXPECT_EQ(scatole[2].testo, "Are you sure?");
    EXPECT_EQ(game.firma(), prima);
    EXPECT_EQ(conteggi_pannello(), 0);
    EXPECT_EQ(uscite, 0);

    comando(CMD_NUOVA_PARTITA, IDYES);
    EXPECT_NE(game.firma(), prima);
    EXPECT_EQ(partita_ispettore{game}.turno(), 1 - chi) << "games alternate who begins";
    EXPECT_EQ(casella(0) * 100 + casella(1), 1181u) << "both tokens on their start corners";

    // "Exit" asks the same question through WM_CLOSE; Yes quits, and the
    // window is never destroyed by it.
    comando(CMD_ESCI, IDYES);
    ASSERT_TRUE(pompa_finche([] { return uscite == 1; }));
    EXPECT_EQ(conta(ev_finestra, WM_CLOSE), 2);
    EXPECT_TRUE(IsWindow(principale));

    gioca_partita_bloccata();
    ASSERT_TRUE(attendi_fini(1));
    pompa_coda();
    azzera();
    comando(CMD_NUOVA_PARTITA);
    EXPECT_TRUE(scatole.empty());
    EXPECT_EQ(game.stato(), UMANO);

    comando(CMD_NUOVO_TORNEO, IDYES);
    pompa_coda();
    EXPECT_EQ(conta(ev_pannello, MSG_NUOVO_TORNEO, 15), 1);
    EXPECT_EQ(righe_con("MainProc: ciclo iniziato"), 1);

    // In a tournament a blocked game counts as a draw, shows no box, and the
    // next game starts by itself.
    gioca_partita_bloccata();
    ASSERT_TRUE(attendi_fini(1));
    pompa_coda();
    EXPECT_EQ(scatole.size(), 1u) << "only the question, no end-of-game box";
    EXPECT_EQ(conta(ev_pannello, MSG_PATTA), 1);
    EXPECT_EQ(conta(ev_pannello, MSG_VITTORIA), 0);
    EXPECT_EQ(conta(ev_finestra, WM_COMMAND, CMD_NUOVA_PARTITA), 2);
    EXPECT_EQ(game.stato(), UMANO);
}

// About and Options open their dialogs, restarting nothing; the player to
// move made Automatic moves once, even if the dialog is opened again.
TEST_F(FinestraPrincipale, AboutEOpzioni) {
    int chi = partita_ispettore{game}.turno();
    std::uint32_t firma = game.firma();
    // Whichever cell next to its corner the computer steps to, the person
    // then has a move: on a deal where the person were stuck the computer
    // would play on, and might end the game with an "End" box of its own.
    plancia& b = partita_ispettore{game}.scacch();
    if (chi == 0) {
        plancia_ispettore::metti_set(b, 2, 1, set_di(4, 5, 6));
        plancia_ispettore::metti_set(b, 1, 2, set_di(3, 4, 5));
        plancia_ispettore::metti_set(b, 2, 2, set_di(0, 4, 6));
    } else {
        plancia_ispettore::metti_set(b, 7, 1, set_di(2, 3, 4));
        plancia_ispettore::metti_set(b, 8, 2, set_di(1, 2, 3));
        plancia_ispettore::metti_set(b, 7, 2, set_di(3, 5, 7));
    }
    comando(CMD_ABOUT, IDOK);
    metti_giocatori(UMANO, UMANO, 4);
    risposte.push_back({chi == 0 ? IDC_AUTOMATICO1 : IDC_AUTOMATICO2, IDC_OK});
    comando(CMD_OPZIONI);
    comando(CMD_OPZIONI, IDC_ANNULLA);
    ASSERT_EQ(scatole.size(), 3u);
    EXPECT_EQ(scatole[0].titolo, "About...");
    EXPECT_EQ(scatole[1].titolo, "Options");
    EXPECT_EQ(scatole[1].proprietario, principale);
    e_tipo tipi[2];
    int skill[2];
    game.get_opzioni(tipi, skill);
    EXPECT_EQ(tipi[chi], COMPUTER);
    EXPECT_EQ(tipi[1 - chi], UMANO);
    EXPECT_EQ(skill[1 - chi], 4);
    ASSERT_TRUE(pompa_finche([&] { return game.firma() != firma; })) << "the computer never moved";
    EXPECT_NE(casella(chi), chi == 0 ? 11u : 81u);
    // Every worker gone, a second move for that turn would be queued now.
    partita_ispettore{game}.attendi_lavoratori();
    pompa_coda();
    int per_quel_turno = 0;
    for (const MSG& e : ev_finestra)
        per_quel_turno += e.message == MSG_MOSSA && static_cast<std::uint32_t>(e.lParam) == firma;
    EXPECT_EQ(per_quel_turno, 1);
}

// The player to move made automatic in Options: the computer's search starts
// only once the dialog is gone. A move posted while the dialog is closing can
// be taken from the queue by the dialog's own loop after OK and never be
// performed (seen when OK is pressed from another program), halting the game.
TEST_F(FinestraPrincipale, OpzioniIlComputerMuoveAFineDialogo) {
    int chi = partita_ispettore{game}.turno();
    std::uint32_t firma = game.firma();
    metti_giocatori(UMANO, UMANO, 2);
    risposte.push_back({chi == 0 ? IDC_AUTOMATICO1 : IDC_AUTOMATICO2, IDC_OK});
    comando(CMD_OPZIONI);
    ASSERT_EQ(scatole.size(), 1u);
    ASSERT_EQ(game.stato(), COMPUTER);
    EXPECT_NE(cercata_alla_chiusura, firma) << "the search began while the dialog was still there";
    EXPECT_TRUE(pompa_finche([&] { return game.firma() != firma; })) << "the computer never moved";
}

// A box closed from another program, whose loop took the computer's queued
// move and dropped it: the computer still moves, after About and after a
// question answered No alike.
TEST_F(FinestraPrincipale, LaMossaPersaDaUnaScatolaChiusaDaFuoriVieneRifatta) {
    struct caso {
        WPARAM comando;
        int bottone;
    };
    for (caso c : {caso{CMD_ABOUT, IDOK}, caso{CMD_NUOVA_PARTITA, IDNO}}) {
        int chi = partita_ispettore{game}.turno();
        std::uint32_t firma = game.firma();
        metti_giocatori(chi == 0 ? COMPUTER : UMANO, chi == 1 ? COMPUTER : UMANO, 2);
        ASSERT_EQ(game.mossa_macchina(principale), 1);
        // The move queued, its worker gone.
        partita_ispettore{game}.attendi_lavoratori();
        MSG m;
        ASSERT_TRUE(PeekMessageA(&m, principale, MSG_MOSSA, MSG_MOSSA, PM_NOREMOVE)) << "the computer posted nothing";
        chiudi_da_fuori = c.bottone;
        comando(c.comando);
        ASSERT_NE(chiusore, nullptr);
        WaitForSingleObject(chiusore, INFINITE);
        CloseHandle(chiusore);
        chiusore = nullptr;
        ASSERT_EQ(scatole.size(), 1u);
        EXPECT_EQ(game.firma(), firma) << "the box was answered Yes";
        EXPECT_TRUE(pompa_finche([&] { return game.firma() != firma; }))
            << "the computer never moved after command " << c.comando;
        EXPECT_EQ(righe_con("riprendi"), 1);
        ripristina();
    }
}

TEST_F(FinestraPrincipale, ScatoleDiFineFuoriDaUnTorneo) {
    gioca_partita_bloccata();
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 1; }));
    EXPECT_EQ(scatole[0].titolo, "End");
    EXPECT_EQ(scatole[0].testo, "Game ends: no move available.");

    comando(CMD_NUOVA_PARTITA);
    std::uint32_t vinta = accoda_vittoria();
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 2; }));
    EXPECT_EQ(scatole[1].testo, "Game ends: player won!");
    EXPECT_EQ(conta(ev_finestra, MSG_VITTORIA, 0), 1);

    // Ends that do not belong to the game that has just ended, each refused
    // with one log line: a number no game has, the next game's, the same
    // end a second time, and a win of a player that does not exist.
    nuove_righe_log();
    PostMessageA(principale, MSG_PATTA, 0, 0);
    PostMessageA(principale, MSG_BLOCCO, 0, static_cast<LPARAM>(vinta + 1));
    PostMessageA(principale, MSG_VITTORIA, 0, static_cast<LPARAM>(vinta));
    PostMessageA(principale, MSG_VITTORIA, 5, static_cast<LPARAM>(vinta));
    pompa_coda();
    EXPECT_EQ(scatole.size(), 2u);
    auto righe = nuove_righe_log();
    EXPECT_EQ(righe.size(), 4u);
    EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                            [](const std::string& r) { return r.find("inesistente") != std::string::npos; }),
              1);

    // A draw: player 0 steps right from (2, 2) onto a placement reached
    // three times already.
    comando(CMD_NUOVA_PARTITA);
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 6, 6, set_di(2, 6, 7));
    g.azzera_registro();
    g.posiziona(2, 2, 6, 6, 0);
    g.registro()[0] = partita::voce_registro{11, 46, 3};  // (3, 2) with (6, 6)
    PostMessageA(principale, MSG_MOSSA, static_cast<WPARAM>(g.indice_di(2)), static_cast<LPARAM>(game.firma()));
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 3; }));
    EXPECT_EQ(scatole[2].testo, "Game ends in a draw.");
    pompa_coda();
    EXPECT_EQ(scatole.size(), 3u) << "one box per game end";
    EXPECT_EQ(conteggi_pannello(), 0) << "nothing is tallied outside a tournament";
    EXPECT_EQ(conta(ev_finestra, WM_COMMAND), 2) << "no game is started by itself";
}

// The computer's winning move is already queued when the user chooses "New
// game": the move ends the old game, the command then finds no game in
// progress and deals a new one without a question, and the old game's end,
// which arrives last, shows no box over the new board. The new board is a
// fixed deal on which the human always has a move after the computer's
// first: on some deals the human is stuck at once, and the computer then
// plays on alone and may end the new game blocked, with a box of its own.
TEST_F(FinestraPrincipale, LaFineDiUnaPartitaAbbandonataNonMostraScatole) {
    estrazioni_fisse mazzo{1};
    metti_giocatori(COMPUTER, UMANO);
    std::uint32_t vecchia = accoda_vittoria();
    PostMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);  // as the menu posts it
    pompa_coda();
    ASSERT_EQ(conta(ev_finestra, MSG_VITTORIA, 0), 1) << "the old game was won";
    EXPECT_LT(primo(WM_COMMAND), primo(MSG_VITTORIA)) << "the command came between the move and its end";
    EXPECT_TRUE(scatole.empty());
    EXPECT_EQ(game.numero_partita(), vecchia + 1);
    EXPECT_NE(game.stato(), FERMO) << "the new game goes on";
    EXPECT_EQ(righe_con("fine della partita"), 1);
}

// The same order with "New tournament": the old game's win is not the
// tournament's first result. Fifteen real games are tallied, and no question
// and no box interrupts the tournament.
TEST_F(FinestraPrincipale, UnTorneoSceltoConUnaVittoriaInCodaGiocaQuindiciPartite) {
    metti_giocatori(COMPUTER, COMPUTER);
    std::uint32_t vecchia = accoda_vittoria();
    PostMessageA(principale, WM_COMMAND, CMD_NUOVO_TORNEO, 0);
    ASSERT_TRUE(attendi_fine_torneo());
    pompa_coda();
    EXPECT_TRUE(scatole.empty()) << scatole.size() << " boxes, the first \"" << scatole[0].testo << "\"";
    std::vector<std::uint32_t> attesi{vecchia};
    for (std::uint32_t k = 1; k <= 15; k++) attesi.push_back(vecchia + k);
    EXPECT_EQ(numeri_delle_fini(), attesi) << "the old game's end, then the tournament's fifteen";
    EXPECT_EQ(conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA), 15);
    EXPECT_EQ(conta(ev_finestra, WM_COMMAND, CMD_NUOVA_PARTITA), 14);
    EXPECT_EQ(righe_con("fine della partita"), 1);
    EXPECT_EQ(game.stato(), FERMO);
}

// The tournament's own "New game" carries the number of the game that has
// just ended: for a game still in progress, for an older game, or once the
// tournament is over, it starts nothing and asks nothing.
TEST_F(FinestraPrincipale, LaNuovaPartitaDelTorneoSegueSoloLaSuaPartita) {
    comando(CMD_NUOVO_TORNEO, IDYES);  // two humans: each game waits for its moves
    std::uint32_t n = game.numero_partita();
    PostMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(n));
    PostMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(n - 1));
    pompa_coda();
    EXPECT_EQ(game.numero_partita(), n);
    gioca_partita_bloccata();  // game n ends, and the tournament's own command follows
    ASSERT_TRUE(attendi_fini(1));
    // Between the end and that command, one with a number of nobody's.
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(n + 7));
    EXPECT_EQ(game.numero_partita(), n);
    EXPECT_EQ(game.stato(), FERMO);
    pompa_coda();
    EXPECT_EQ(game.numero_partita(), n + 1) << "the tournament's own command started the next game";

    PostMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(n));
    premi_stop();
    gioca_partita_bloccata();  // n + 1 ends as an ordinary game, with its box
    ASSERT_TRUE(attendi_fini(2));
    pompa_coda();
    PostMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, static_cast<LPARAM>(n + 1));
    pompa_coda();
    EXPECT_EQ(game.numero_partita(), n + 1);
    EXPECT_EQ(game.stato(), FERMO);
    ASSERT_EQ(scatole.size(), 2u) << "the tournament's question and the ordinary game's box";
    EXPECT_EQ(scatole[1].titolo, "End");
    EXPECT_EQ(righe_con("nuova partita dopo la partita"), 5);
}

// A person points at a target, then hands that player to the computer in
// Options: the frame goes with the pointing, although the computer's move
// (a win elsewhere) never repaints the target's cell.
TEST_F(FinestraPrincipale, LaCorniceSparisceQuandoIlGiocatoreDiventaAutomatico) {
    partita_ispettore g{game};
    plancia_ispettore::metti_set(g.scacch(), 3, 3, set_di(0, 1, 2));
    g.azzera_registro();
    g.posiziona(7, 8, 3, 3, 0);
    int su = g.indice_di(0);  // to (7, 7); the step right, to (8, 8), wins
    ASSERT_GE(su, 0);
    ridisegna_tutto();
    RECT r = g.lecita()[su];
    const std::vector<POINT> bordo = {{r.left, r.top},
                                      {r.right - 1, r.top},
                                      {r.left, r.bottom - 1},
                                      {r.right - 1, r.bottom - 1},
                                      {(r.left + r.right) / 2, r.top},
                                      {r.left, (r.top + r.bottom) / 2},
                                      {r.right - 1, (r.top + r.bottom) / 2},
                                      {(r.left + r.right) / 2, r.bottom - 1}};
    std::vector<COLORREF> prima;
    HDC hdc = GetDC(principale);
    for (POINT p : bordo) prima.push_back(GetPixel(hdc, p.x, p.y));
    ReleaseDC(principale, hdc);

    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(su));
    UpdateWindow(principale);
    ASSERT_EQ(partita_ispettore{game}.attuale(), su);
    for (std::size_t k = 0; k < bordo.size(); k++) {
        ASSERT_NE(prima[k], BIANCO) << "the board is white at (" << bordo[k].x << ", " << bordo[k].y << ")";
        PIXEL(principale, bordo[k].x, bordo[k].y, BIANCO);
    }

    risposte.push_back({IDC_AUTOMATICO1, IDC_OK});
    comando(CMD_OPZIONI);
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 2; })) << "the computer did not win";
    EXPECT_EQ(scatole[1].testo, "Game ends: player won!");
    pompa_coda();
    UpdateWindow(principale);
    EXPECT_EQ(partita_ispettore{game}.attuale(), -1);
    for (std::size_t k = 0; k < bordo.size(); k++) PIXEL(principale, bordo[k].x, bordo[k].y, prima[k]);
}

// High-contrast mode turned on (through the drawing's seam, as Wine cannot)
// while a target is framed: WM_SYSCOLORCHANGE alone has the window draw the
// frame again, three pixels wide in the highlight colour; turned off,
// WM_SETTINGCHANGE brings back the one white pixel and the board inside it.
TEST_F(FinestraPrincipale, IlContrastoElevatoRidisegnaLaCornice) {
    partita_ispettore g{game};
    const int destra = posizione_di_partenza();
    ridisegna_tutto();
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(destra));
    UpdateWindow(principale);
    ASSERT_EQ(g.attuale(), destra);
    const RECT r = g.lecita()[destra];
    const COLORREF evidenza = GetSysColor(COLOR_HIGHLIGHT);
    // Four pixels inwards from the middle of the top side and of the left.
    const int xm = (r.left + r.right) / 2, ym = (r.top + r.bottom) / 2;
    auto leggi = [&](int k, bool sopra) {
        HDC hdc = GetDC(principale);
        COLORREF c = sopra ? GetPixel(hdc, xm, r.top + k) : GetPixel(hdc, r.left + k, ym);
        ReleaseDC(principale, hdc);
        return c;
    };
    std::vector<COLORREF> prima;
    for (bool sopra : {true, false})
        for (int k = 0; k < 4; k++) prima.push_back(leggi(k, sopra));
    for (std::size_t i = 0; i < prima.size(); i++)
        ASSERT_NE(prima[i], evidenza) << "the board shows the highlight colour itself";
    EXPECT_EQ(prima[0], BIANCO);
    EXPECT_EQ(prima[4], BIANCO);

    bool (*di_windows)() = contrasto_elevato;
    contrasto_elevato = [] { return true; };
    UpdateWindow(principale);
    EXPECT_EQ(leggi(0, true), BIANCO) << "redrawn before the colours changed";
    SendMessageA(principale, WM_SYSCOLORCHANGE, 0, 0);
    UpdateWindow(principale);
    for (bool sopra : {true, false})
        for (int k = 0; k < 4; k++)
            EXPECT_EQ(leggi(k, sopra), k < 3 ? evidenza : prima[(sopra ? 0 : 4) + k]) << k << (sopra ? " top" : " left");

    contrasto_elevato = di_windows;
    SendMessageA(principale, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    UpdateWindow(principale);
    for (bool sopra : {true, false})
        for (int k = 0; k < 4; k++) EXPECT_EQ(leggi(k, sopra), prima[(sopra ? 0 : 4) + k]);
    SendMessageA(principale, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0xFFFF));
}

// The pointer highlights targets, a click posts its move, and a second move
// for a turn already closed is refused.
TEST_F(FinestraPrincipale, MouseEMosseScadute) {
    partita_ispettore g{game};
    int destra = posizione_di_partenza();
    ASSERT_EQ(g.n_lecite(), 3);
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(1));
    EXPECT_EQ(g.attuale(), 1);
    // A coordinate is an unsigned 16-bit value: 0xFFFF is far right, not -1.
    SendMessageA(principale, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0xFFFF));
    EXPECT_EQ(g.attuale(), -1);

    std::uint32_t vecchia = game.firma();
    SendMessageA(principale, WM_LBUTTONDOWN, MK_LBUTTON, centro_bersaglio(destra));
    SendMessageA(principale, WM_LBUTTONDOWN, MK_LBUTTON, centro_bersaglio(destra));
    ASSERT_EQ(conta(ev_finestra, MSG_MOSSA), 0) << "a click is posted, not performed at once";
    pompa_coda();
    EXPECT_EQ(conta(ev_finestra, MSG_MOSSA, static_cast<WPARAM>(destra)), 2);
    EXPECT_EQ(casella(0), 21u);
    EXPECT_EQ(g.turno(), 1);
    EXPECT_EQ(righe_con("turno chiuso"), 1);

    std::uint32_t ora = game.firma();
    PostMessageA(principale, MSG_MOSSA, 0, static_cast<LPARAM>(vecchia));
    pompa_coda();
    EXPECT_EQ(casella(1), 81u);
    EXPECT_EQ(game.firma(), ora);

    // Dragging onto a target with the button held commits it.
    SendMessageA(principale, WM_MOUSEMOVE, MK_LBUTTON, centro_bersaglio(0));
    pompa_coda();
    EXPECT_NE(casella(1), 81u);
}

// The drain removes the moves of other turns and keeps the one of the turn
// in progress, so that a computer that begins a new game keeps its move.
TEST_F(FinestraPrincipale, IlDrenaggioTieneSoloLaMossaDelTurnoInCorso) {
    comando(CMD_NUOVO_TORNEO, IDYES);  // two humans; its end drains the queue
    pompa_coda();                      // the panel learns the tournament's number
    std::uint32_t firma = game.firma();
    for (std::uint32_t f : {firma - 1, firma, firma + 7})
        PostMessageA(principale, MSG_MOSSA, f - firma + 1, static_cast<LPARAM>(f));
    premi_stop();  // the end is taken only when the button asked for it
    SendMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(ultimo_torneo));
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, principale, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(m.lParam), firma);
    EXPECT_FALSE(PeekMessageA(&m, principale, MSG_MOSSA, MSG_MOSSA, PM_REMOVE));

    for (int volta = 0; volta < 2; volta++) {  // once for each player who begins
        metti_giocatori(COMPUTER, COMPUTER);
        comando(CMD_NUOVA_PARTITA, IDYES);
        int chi = partita_ispettore{game}.turno();
        firma = game.firma();
        // set_opzioni waits for every worker started, so its move is queued
        // by then.
        metti_giocatori(chi == 0 ? COMPUTER : UMANO, chi == 1 ? COMPUTER : UMANO);
        ASSERT_TRUE(pompa_finche([&] { return game.firma() != firma; })) << "the computer's first move was lost";
        EXPECT_NE(casella(chi), chi == 0 ? 11u : 81u);
        ripristina();
    }
}

// Two computers: "New tournament" after three games starts the count again,
// and the tournament then plays exactly 15 games, each tallied, with no box
// and nothing after the fifteenth.
TEST_F(FinestraPrincipale, UnTorneoGiocaEsattamenteQuindiciPartite) {
    metti_giocatori(COMPUTER, COMPUTER);
    comando(CMD_NUOVO_TORNEO, IDYES);
    ASSERT_TRUE(attendi_fini(3));
    std::size_t da = ev_finestra.size();
    risposte.push_back({IDYES});  // the question, if a game is in progress
    comando(CMD_NUOVO_TORNEO, IDYES);
    ASSERT_TRUE(attendi_fine_torneo());
    pompa_coda();
    std::vector<MSG> ev(ev_finestra.begin() + static_cast<std::ptrdiff_t>(da), ev_finestra.end());
    // The panel's tallies from the second start on.
    auto pv = ev_pannello;
    for (int avvii = 0; avvii < 2 && !pv.empty(); pv.erase(pv.begin())) avvii += pv[0].message == MSG_NUOVO_TORNEO;
    EXPECT_EQ(fini_partita(ev), 15);
    EXPECT_EQ(conta(ev_pannello, MSG_NUOVO_TORNEO, 15), 2);
    EXPECT_TRUE(std::none_of(scatole.begin(), scatole.end(), [](const scatola& s) { return s.titolo == "End"; }));
    EXPECT_EQ(game.stato(), FERMO) << "the last game stays on the board";

    int v1 = conta(pv, MSG_VITTORIA, 0), v2 = conta(pv, MSG_VITTORIA, 1), patte = conta(pv, MSG_PATTA);
    EXPECT_EQ(v1 + v2 + patte, 15);
    EXPECT_EQ(patte, conta(ev, MSG_PATTA) + conta(ev, MSG_BLOCCO));

    // The panel's own tallies, written to the log when asked.
    infoWin->fine_torneo();
    pompa_coda();
    auto righe = nuove_righe_log();
    auto ciclo = std::find(righe.begin(), righe.end(), std::string("Ciclo finito"));
    ASSERT_GE(righe.end() - ciclo, 4);
    EXPECT_EQ(std::vector<std::string>(ciclo + 1, ciclo + 4),
              (std::vector<std::string>{"patte: " + std::to_string(patte), "vittorie player 1: " + std::to_string(v1),
                                        "vittorie player 2: " + std::to_string(v2)}));

    azzera();
    PostMessageA(principale, WM_NULL, 0, 0);
    pompa_coda();
    EXPECT_EQ(conta(ev_finestra, WM_COMMAND), 0);
}

// A tournament between computers in which a box, closed from another
// thread, swallows the end of a game or the tournament's "New game" now and
// then: after each box the window goes on from the tournament's own state,
// so every game is still played and tallied, 15 in all, and nothing twice.
TEST_F(FinestraPrincipale, UnTorneoConScatoleCheInghiottonoMessaggiGiocaQuindiciPartite) {
    metti_giocatori(COMPUTER, COMPUTER);
    perse.clear();
    ultima_con_scatola = 0;
    scatole_che_inghiottono = true;
    comando(CMD_NUOVO_TORNEO, IDYES);
    std::uint32_t primo = game.numero_partita();
    scatole.clear();  // the question, if a game was in progress
    struct spento {
        ~spento() { scatole_che_inghiottono = false; }
    } alla_fine;
    // (A box may swallow the end of the tournament too: the window carries
    // it out all the same, but its message never arrives.)
    ASSERT_TRUE(pompa_finche(
        [] { return conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA) >= 15 && game.stato() == FERMO; },
        120000))
        << conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA) << " games tallied";
    pompa_coda();
    scatole_che_inghiottono = false;
    EXPECT_EQ(conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA), 15)
        << "the tournament's games were not all tallied";
    EXPECT_EQ(game.numero_partita(), primo + 14) << "exactly 15 games";
    EXPECT_GE(std::count(perse.begin(), perse.end(), static_cast<UINT>(WM_COMMAND)), 3) << "no \"New game\" swallowed";
    EXPECT_GE(perse.size() - static_cast<std::size_t>(std::count(perse.begin(), perse.end(), static_cast<UINT>(WM_COMMAND))), 3u)
        << "no end swallowed";
    EXPECT_TRUE(std::all_of(scatole.begin(), scatole.end(), [](const scatola& b) { return b.titolo == "About..."; }))
        << "a box other than About opened";
    EXPECT_EQ(game.stato(), FERMO);
}

// During a tournament between computers another program posts, each time a
// game has ended and its end waits in the queue, ends with the numbers in
// play: to the main window the end of that game with every other winner and
// kind, and the end of the running tournament; to the panel a win and a
// draw of player 1 and the end of the tournament, with its number. None is
// taken: the tournament plays exactly its 15 real games, tallies them all,
// and ends once, after the last.
TEST_F(FinestraPrincipale, FiniFalseDiAltriProgrammiNonContano) {
    metti_giocatori(COMPUTER, COMPUTER);
    risposte.push_back({IDYES});  // the question, if a game is in progress
    comando(CMD_NUOVO_TORNEO);
    std::uint32_t primo = game.numero_partita(), t = ultimo_torneo;
    scatole.clear();
    nuove_righe_log();
    int falsi_al_pannello = 0, partite_falsate = 0;
    std::uint32_t falsata = 0;
    auto reali = [&] {
        return conta(ev_pannello, MSG_VITTORIA) + conta(ev_pannello, MSG_PATTA) - falsi_al_pannello;
    };
    auto falsifica = [&] {
        UINT propria = 0;
        WPARAM vincitore = 0;
        std::uint32_t n = game.fine_da_prendere(&propria, &vincitore);
        if (n == 0 || n == falsata) return;
        falsata = n;
        partite_falsate++;
        // The forged ones reach the queue ahead of the real end.
        MSG vera;
        if (!PeekMessageA(&vera, principale, MSG_VITTORIA, MSG_PATTA, PM_REMOVE)) return;
        const std::pair<UINT, WPARAM> fini[4] = {{MSG_VITTORIA, 0}, {MSG_VITTORIA, 1}, {MSG_PATTA, 0}, {MSG_BLOCCO, 0}};
        for (const auto& f : fini)
            if (f.first != propria || f.second != vincitore)
                PostMessageA(principale, f.first, f.second, static_cast<LPARAM>(n));
        PostMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
        PostMessageA(pannello, MSG_VITTORIA, 0, static_cast<LPARAM>(t));
        PostMessageA(pannello, MSG_PATTA, 0, static_cast<LPARAM>(t));
        PostMessageA(pannello, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
        falsi_al_pannello += 2;
        PostMessageA(principale, vera.message, vera.wParam, vera.lParam);
    };
    ASSERT_TRUE(pompa_finche(
        [&] {
            falsifica();
            return reali() >= 15 && game.stato() == FERMO && game.fine_da_prendere(nullptr, nullptr) == 0;
        },
        300000))
        << reali() << " games tallied";
    pompa_coda();
    EXPECT_EQ(reali(), 15);
    EXPECT_EQ(partite_falsate, 15);
    EXPECT_EQ(game.numero_partita(), primo + 14) << "exactly 15 games";
    EXPECT_TRUE(scatole.empty()) << "a box opened during the tournament";
    auto righe = nuove_righe_log();
    auto con = [&](const char* testo) {
        return std::count_if(righe.begin(), righe.end(),
                             [&](const std::string& r) { return r.find(testo) != std::string::npos; });
    };
    EXPECT_EQ(con("non e' la fine che la partita ha dato"), 3 * 15);
    EXPECT_EQ(con("nessuno ne ha chiesto la fine"), 15);
    EXPECT_EQ(con("non viene dalla finestra principale"), 3 * 15);
    // The panel's own tallies, written once by the tournament's one end.
    EXPECT_EQ(con("Ciclo finito"), 1);
    auto ciclo = std::find(righe.begin(), righe.end(), std::string("Ciclo finito"));
    ASSERT_GE(righe.end() - ciclo, 4);
    int somma = 0;
    for (int k = 1; k <= 3; k++) somma += std::atoi(ciclo[k].substr(ciclo[k].find(':') + 1).c_str());
    EXPECT_EQ(somma, 15);
    // After the tournament the same forged end finds it over.
    PostMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(t));
    pompa_coda();
    EXPECT_EQ(righe_con("fine del torneo"), 1);
}

// The end of an earlier tournament, arriving once the next has begun,
// changes nothing but one log line; the stop button names the tournament it
// was pressed in.
TEST_F(FinestraPrincipale, LaFineDiUnTorneoPrecedenteNonFermaIlNuovo) {
    comando(CMD_NUOVO_TORNEO, IDYES);
    pompa_coda();
    std::uint32_t primo = ultimo_torneo;
    comando(CMD_NUOVO_TORNEO, IDYES);
    pompa_coda();
    ASSERT_NE(ultimo_torneo, primo);
    nuove_righe_log();
    PostMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(primo));
    pompa_coda();
    EXPECT_EQ(righe_con("fine del torneo"), 1);
    gioca_partita_bloccata();  // counted in the running tournament, which goes on
    ASSERT_TRUE(attendi_fini(1));
    pompa_coda();
    EXPECT_EQ(conta(ev_pannello, MSG_PATTA), 1);
    EXPECT_EQ(game.stato(), UMANO) << "the next game of the tournament began";
    EXPECT_TRUE(std::none_of(scatole.begin(), scatole.end(), [](const scatola& b) { return b.titolo == "End"; }));
    azzera();
    premi_stop();
    pompa_coda();
    ASSERT_EQ(conta(ev_finestra, MSG_FINE_TORNEO), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(ev_finestra[0].lParam), ultimo_torneo);
    gioca_partita_bloccata();  // now an ordinary game, with its box
    ASSERT_TRUE(attendi_fini(1));
    pompa_coda();
    ASSERT_EQ(scatole.size(), 1u);
    EXPECT_EQ(scatole[0].titolo, "End");
}

// "Stop tournament" ends the count; the game on the board goes on as an
// ordinary game and ends with its box, and no further game starts.
TEST_F(FinestraPrincipale, StopInUnTorneoLasciaFinireLaPartitaComeOrdinaria) {
    metti_giocatori(COMPUTER, COMPUTER);
    comando(CMD_NUOVO_TORNEO, IDYES);
    ASSERT_TRUE(attendi_fini(2));
    ASSERT_TRUE(pompa_finche([] { return game.stato() == COMPUTER; }));
    premi_stop();
    EXPECT_EQ(righe_con("premuto il tasto stop tournament."), 1);
    ASSERT_TRUE(attendi_fine_torneo());
    int fini = fini_partita(ev_finestra);
    ASSERT_TRUE(pompa_finche([] { return scatole.size() == 2; }, 120000))
        << "the game after the stop must go on to its end and its box";
    EXPECT_EQ(scatole[1].titolo, "End");
    pompa_coda();
    EXPECT_EQ(fini_partita(ev_finestra), fini + 1);
    EXPECT_EQ(conta(ev_finestra, WM_COMMAND, CMD_NUOVA_PARTITA), 2) << "no game after the stop";
    EXPECT_EQ(game.stato(), FERMO);
    premi_stop();
    pompa_coda();
    EXPECT_EQ(conta(ev_finestra, MSG_FINE_TORNEO), 1) << "a second press does nothing";
}

// ------------------------------------------------ playing from the keyboard

// The keypad's key for direction d: with Num Lock on its digit, with it off
// the key printed on it (sent without the extended bit).
UINT tasto_del_tastierino(unsigned d, bool num_lock) {
    const int cifra[8] = {8, 9, 6, 3, 2, 1, 4, 7};
    const UINT senza[9] = {VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    return num_lock ? VK_NUMPAD0 + cifra[d] : senza[cifra[d] - 1];
}

// Plays the game on the board to its "End" box, answered with Return, the
// person's moves made by `gioca` (which types the keys of one move) and
// never by the pointer. The number of the person's moves, -1 on a failure.
int fino_alla_fine(const std::function<void(int)>& gioca) {
    tasti_scatole.push_back({VK_RETURN});
    int mosse = 0;
    while (scatole.empty()) {
        if (mosse > 3000) return -1;
        if (game.stato() == UMANO) {
            std::uint32_t f = game.firma();
            gioca(mosse++);
            if (!pompa_finche([&] { return game.firma() != f; }, 10000)) return -1;
        } else if (!pompa_finche([] { return game.stato() == UMANO || !scatole.empty(); }, 60000)) {
            return -1;
        }
    }
    pompa_coda();
    return mosse;
}

// A person against the computer at skill 3, with Tab and Enter only, to the
// "End" box, which Return closes.
TEST_F(FinestraPrincipale, ConTabEInvioUnaPartitaControIlComputerArrivaAllaFine) {
    metti_giocatori(UMANO, COMPUTER, 3);
    comando(CMD_NUOVA_PARTITA, IDYES);
    azzera();
    int mosse = fino_alla_fine([](int n) {
        for (int k = 0; k <= n % 3; k++) batti(principale, VK_TAB);
        batti(principale, VK_RETURN);
    });
    ASSERT_GT(mosse, 0);
    ASSERT_EQ(scatole.size(), 1u);
    EXPECT_EQ(scatole[0].titolo, "End");
    EXPECT_EQ(game.stato(), FERMO);
    std::printf("the person made %d moves with Tab and Enter\n", mosse);
}

// Two people playing only with the numeric keypad, its Num Lock on and off
// by turns, each picking one of the moves it sees, to the "End" box. Player
// 2 picks as the computer at skill 3 would: two players who both wander may
// play thousands of moves (the draw by repetition remembers only the last
// placements), one who heads for its goal ends the game in a few dozen.
TEST_F(FinestraPrincipale, SoloColTastierinoUnaPartitaArrivaAllaFine) {
    int mosse = fino_alla_fine([](int n) {
        partita_ispettore g{game};
        std::int32_t i = (n / 2) % g.n_lecite();
        if (g.turno() == 1) {
            situazione s{g.scacch(), {g.ped(0), g.ped(1)}, g.turno(), g.n_lecite(),
                         {g.direz()[0], g.direz()[1], g.direz()[2]}, 3};
            i = scegli_mossa(s);
        }
        unsigned d = g.direz()[i];
        batti(principale, tasto_del_tastierino(d, n % 2 == 0));
    });
    ASSERT_GT(mosse, 0);
    ASSERT_EQ(scatole.size(), 1u);
    EXPECT_EQ(scatole[0].titolo, "End");
    EXPECT_EQ(game.stato(), FERMO);
    std::printf("%d moves with the numeric keypad\n", mosse);
}

// In Options, from the keyboard alone: player 2 made "Automatic" with
// Space, its skill raised to 5 with the arrow keys, OK with Space; the match
// takes skill 5, the dialog opened again shows it, and the computer plays.
TEST_F(FinestraPrincipale, OpzioniDallaTastieraSkill5) {
    // Opened with two people, the focus is on player 1's "Human": Tab past
    // player 1's "Automatic" (its bar is disabled) and player 2's "Human"
    // to its "Automatic", Space; on to its bar, four steps right; on to OK.
    // Player 1 is to move, so that the computer plays nothing until the loop
    // below: on a deal where it moved first it might end the game with an
    // "End" box while the dialog is open again.
    posizione_di_partenza();
    std::vector<UINT> tasti{VK_TAB, VK_TAB, VK_TAB, VK_SPACE, VK_TAB};
    for (int k = 0; k < 4; k++) tasti.push_back(VK_RIGHT);
    tasti.insert(tasti.end(), {VK_TAB, VK_SPACE});
    tasti_scatole.push_back(tasti);
    comando(CMD_OPZIONI);  // sent: back once the dialog has closed
    e_tipo tipi[2];
    int skill[2];
    game.get_opzioni(tipi, skill);
    EXPECT_EQ(tipi[0], UMANO);
    EXPECT_EQ(tipi[1], COMPUTER);
    EXPECT_EQ(skill[1], 5);

    // Opened again: the numbers read, then Tab round to Cancel, Space.
    std::vector<UINT> di_nuovo{0};
    for (int k = 0; k < 6; k++) di_nuovo.push_back(VK_TAB);
    di_nuovo.push_back(VK_SPACE);
    tasti_scatole.push_back(di_nuovo);
    comando(CMD_OPZIONI);
    EXPECT_EQ(letti, (std::vector<int>{0, 5}));
    ASSERT_EQ(scatole.size(), 2u) << scatole.back().titolo << " / " << scatole.back().testo;

    // The computer, at skill 5, answers moves made with Tab and Enter: each
    // move it plays is the one a search at skill 5 chooses on its position,
    // and on some of them a search at skill 1 would have chosen another.
    EXPECT_EQ(partita_ispettore{game}.skill()[1], 5);
    int confrontate = 0, distinte = 0;
    for (int turni = 0; turni < 60 && (distinte == 0 || confrontate < 3); turni++) {
        if (game.stato() == FERMO) {
            comando(CMD_NUOVA_PARTITA);
            pompa_coda();
            scatole.clear();
        }
        std::uint32_t prima = game.firma();
        if (game.stato() == UMANO) {
            batti(principale, VK_TAB);
            batti(principale, VK_RETURN);
        }
        // The computer's turn has begun; its move is not yet played.
        ASSERT_TRUE(pompa_finche([&] { return game.stato() != UMANO || game.firma() != prima; }, 60000));
        if (game.stato() != COMPUTER) continue;
        partita_ispettore g{game};
        situazione s{g.scacch(), {g.ped(0), g.ped(1)}, g.turno(), g.n_lecite(), {g.direz()[0], g.direz()[1], g.direz()[2]}, 5};
        std::int32_t a_cinque = scegli_mossa(s);
        s.livello = 1;
        std::int32_t a_uno = scegli_mossa(s);
        std::uint32_t turno_computer = game.firma();
        std::size_t da = ev_finestra.size();
        ASSERT_TRUE(pompa_finche([&] { return game.firma() != turno_computer; }, 60000));
        long giocata = -2;
        for (std::size_t k = da; k < ev_finestra.size(); k++)
            if (ev_finestra[k].message == MSG_MOSSA && static_cast<std::uint32_t>(ev_finestra[k].lParam) == turno_computer)
                giocata = static_cast<long>(static_cast<int>(ev_finestra[k].wParam));
        EXPECT_EQ(giocata, a_cinque) << "turn " << turno_computer;
        confrontate++;
        distinte += a_cinque != a_uno;
    }
    EXPECT_GE(confrontate, 3);
    EXPECT_GT(distinte, 0) << "no position where skill 5 and skill 1 choose differently";
}

// In a game between two people, keypad 2 held down (its first WM_KEYDOWN,
// then repeats with bit 30 set, then WM_KEYUP) plays one move, player 1's
// turn then having a move that way too; a second press plays that one.
TEST_F(FinestraPrincipale, UnTastoTenutoGiocaUnaMossa) {
    partita_ispettore g{game};
    // Two sets of arrows with down among them (a set stands on one cell).
    int giu[2] = {set_di(3, 4, 5), set_di(2, 4, 6)};
    ASSERT_GE(std::min(giu[0], giu[1]), 0);
    plancia_ispettore::metti_set(g.scacch(), 6, 6, giu[0]);  // player 0's moves, from player 1's cell
    plancia_ispettore::metti_set(g.scacch(), 3, 4, giu[1]);  // player 1's, once player 0 stands there
    g.azzera_registro();
    g.posiziona(3, 3, 6, 6, 0);
    ASSERT_GE(g.indice_di(4), 0);
    ridisegna_tutto();
    pompa_coda();
    azzera();
    DWORD lp = 1 | (MapVirtualKeyA(VK_NUMPAD2, 0) << 16);
    PostMessageA(principale, WM_KEYDOWN, VK_NUMPAD2, static_cast<LPARAM>(lp));
    for (int k = 0; k < 8; k++) PostMessageA(principale, WM_KEYDOWN, VK_NUMPAD2, static_cast<LPARAM>(lp | 1u << 30));
    PostMessageA(principale, WM_KEYUP, VK_NUMPAD2, static_cast<LPARAM>(lp | 0xC0000000u));
    pompa_coda();
    EXPECT_EQ(conta(ev_finestra, MSG_MOSSA), 1);
    EXPECT_EQ(casella(0), 34u);
    EXPECT_EQ(casella(1), 66u) << "the held key played player 1's move too";
    ASSERT_EQ(game.stato(), UMANO);
    EXPECT_GE(partita_ispettore{game}.indice_di(4), 0);
    batti(principale, VK_NUMPAD2);
    pompa_coda();
    EXPECT_EQ(casella(1), 67u);
    EXPECT_TRUE(scatole.empty());
}

// S stops the running tournament as the panel's button does, once; outside
// a tournament it does nothing. The game on the board then ends as an
// ordinary game, with its box.
TEST_F(FinestraPrincipale, SFermaIlTorneo) {
    comando(CMD_NUOVO_TORNEO, IDYES);
    pompa_coda();
    azzera();
    batti(principale, 'S');
    pompa_coda();
    ASSERT_EQ(conta(ev_finestra, MSG_FINE_TORNEO), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(ev_finestra[0].lParam), ultimo_torneo);
    EXPECT_EQ(righe_con("premuto il tasto stop tournament."), 1);
    batti(principale, 'S');
    batti(principale, 's');
    pompa_coda();
    EXPECT_EQ(conta(ev_finestra, MSG_FINE_TORNEO), 1) << "a second S does nothing";
    gioca_partita_bloccata();
    ASSERT_TRUE(attendi_fini(1));
    pompa_coda();
    ASSERT_EQ(scatole.size(), 1u);
    EXPECT_EQ(scatole[0].titolo, "End");
}

// The keys move the frame the pointer moves: Tab, Shift+Tab, an arrow, Esc;
// a pointer message at the point the pointer already was leaves a frame
// set by a key, and the one white frame is drawn where the key put it.
// After a click on "Stop tournament" the keys reach the board again.
TEST_F(FinestraPrincipale, ITastiMuovonoLaCorniceDelPuntatore) {
    partita_ispettore g{game};
    posizione_di_partenza();  // player 0 on its corner: right, down-right, down
    ridisegna_tutto();
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(0));
    ASSERT_EQ(g.attuale(), 0);
    batti(principale, VK_TAB);
    pompa_coda();
    EXPECT_EQ(g.attuale(), 1);
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(0));
    EXPECT_EQ(g.attuale(), 1) << "the pointer has not moved";
    UpdateWindow(principale);
    RECT r1 = g.lecita()[1], r0 = g.lecita()[0];
    PIXEL(principale, r1.left, r1.top, BIANCO);
    PIXEL(principale, r1.right - 1, r1.bottom - 1, BIANCO);
    HDC hdc = GetDC(principale);
    EXPECT_NE(GetPixel(hdc, r0.left, r0.top), BIANCO) << "a second frame";
    ReleaseDC(principale, hdc);

    BYTE stato[256];
    GetKeyboardState(stato);
    stato[VK_SHIFT] = 0x80;
    SetKeyboardState(stato);
    batti(principale, VK_TAB);
    pompa_coda();
    stato[VK_SHIFT] = 0;
    SetKeyboardState(stato);
    EXPECT_EQ(g.attuale(), 0);
    batti(principale, VK_DOWN, true);
    pompa_coda();
    EXPECT_EQ(g.direz()[g.attuale()], 4u);
    batti(principale, VK_ESCAPE);
    batti(principale, 'A');
    pompa_coda();
    EXPECT_EQ(g.attuale(), -1);
    EXPECT_EQ(conta(ev_finestra, MSG_MOSSA), 0);

    premi_stop();
    EXPECT_EQ(GetFocus(), principale);
    batti(GetFocus(), VK_TAB);
    pompa_coda();
    EXPECT_EQ(g.attuale(), 0);
}

// Every menu command and close requests, posted while About is open (as
// another program may): no box opens inside it; each command is refused
// with one log line, and the close requests make one question after About.
// Answered No, the game goes on untouched.
TEST_F(FinestraPrincipale, UnaScatolaAllaVoltaQualunqueCosaArrivi) {
    std::uint32_t firma = game.firma();
    for (WPARAM id = CMD_NUOVA_PARTITA; id <= CMD_OPZIONI; id++) PostMessageA(principale, WM_COMMAND, id, 0);
    for (int k = 0; k < 3; k++) PostMessageA(principale, WM_CLOSE, 0, 0);
    comando(CMD_ABOUT, IDOK);
    pompa_coda();
    ASSERT_EQ(scatole.size(), 2u);
    EXPECT_EQ(scatole[0].titolo, "About...");
    EXPECT_EQ(scatole[1].testo, "Are you sure?");
    EXPECT_EQ(piu_scatole, 1);
    auto righe = nuove_righe_log();
    EXPECT_EQ(std::count_if(righe.begin(), righe.end(),
                            [](const std::string& r) { return r.find("rifiutato") != std::string::npos; }),
              6);
    EXPECT_EQ(uscite, 0);
    EXPECT_EQ(game.firma(), firma);
    EXPECT_EQ(game.stato(), UMANO);
}

// A close request sent while a question is open (as a task manager's "End
// task" sends one): once the question is answered, one "Are you sure?",
// and Yes ends the program.
TEST_F(FinestraPrincipale, UnaChiusuraDuranteUnaScatolaChiudeDopoUnaDomanda) {
    PostMessageA(principale, WM_CLOSE, 0, 0);
    PostMessageA(principale, WM_CLOSE, 0, 0);
    risposte.push_back({IDNO});   // "Restarting will terminate this game."
    risposte.push_back({IDYES});  // "Are you sure?"
    comando(CMD_NUOVA_PARTITA);
    ASSERT_TRUE(pompa_finche([] { return uscite == 1; }, 10000));
    pompa_coda();
    ASSERT_EQ(scatole.size(), 2u);
    EXPECT_EQ(scatole[1].testo, "Are you sure?");
    EXPECT_EQ(piu_scatole, 1);
    EXPECT_EQ(uscite, 1);
}

// After a box the balance bar shows the board as it stands, whatever the
// panel was told before; a tournament's end posted from outside with its
// number changes nothing, and the tournament then stopped with S shows on
// the panel as ended (its tallies go to the log).
TEST_F(FinestraPrincipale, IlPannelloDiceIlVeroDopoOgniScatola) {
    SendMessageA(pannello, MSG_PERCENTO, 0, 0);  // a stale balance: all red
    UpdateWindow(pannello);
    PIXEL(pannello, 21, 40, RGB(240, 0, 0));
    comando(CMD_ABOUT, IDOK);
    UpdateWindow(pannello);
    ASSERT_EQ(game.equilibrio(), 50);
    PIXEL(pannello, 21, 40, RGB(250, 250, 0));
    PIXEL(pannello, 79, 40, RGB(250, 250, 0));
    PIXEL(pannello, 81, 40, RGB(240, 0, 0));

    comando(CMD_NUOVO_TORNEO, IDYES);
    pompa_coda();
    nuove_righe_log();
    PostMessageA(principale, MSG_FINE_TORNEO, 0, static_cast<LPARAM>(ultimo_torneo));
    pompa_coda();
    EXPECT_EQ(conta(ev_pannello, MSG_FINE_TORNEO), 0);
    EXPECT_EQ(righe_con("nessuno ne ha chiesto la fine"), 1);
    batti(principale, 'S');
    pompa_coda();
    ASSERT_EQ(conta(ev_pannello, MSG_FINE_TORNEO), 1);
    auto fine = std::find_if(ev_pannello.begin(), ev_pannello.end(),
                             [](const MSG& e) { return e.message == MSG_FINE_TORNEO; });
    EXPECT_EQ(static_cast<std::uint32_t>(fine->lParam), ultimo_torneo);
    EXPECT_EQ(righe_con("Ciclo finito"), 1);
    EXPECT_TRUE(std::none_of(scatole.begin(), scatole.end(), [](const scatola& b) { return b.titolo == "End"; }));
}

// The events the board raises, heard by a hook of this thread.
std::vector<std::pair<DWORD, LONG>> eventi_plancia;

void CALLBACK senti(HWINEVENTHOOK, DWORD tipo, HWND hwnd, LONG oggetto, LONG figlio, DWORD, DWORD) {
    if (hwnd == principale && oggetto == OBJID_CLIENT) eventi_plancia.emplace_back(tipo, figlio);
}

int quanti(DWORD tipo) {
    return static_cast<int>(std::count_if(eventi_plancia.begin(), eventi_plancia.end(),
                                           [tipo](const std::pair<DWORD, LONG>& e) { return e.first == tipo; }));
}

std::string testo_di(IAccessible* a, LONG figlio, bool descrizione = false) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = figlio;
    BSTR b = nullptr;
    HRESULT hr = descrizione ? a->get_accDescription(v, &b) : a->get_accName(v, &b);
    std::string s;
    if (SUCCEEDED(hr) && b != nullptr)
        for (const wchar_t* c = b; *c != 0; c++) s += static_cast<char>(*c);
    SysFreeString(b);
    return s;
}

long numero_di(IAccessible* a, LONG figlio, bool stato) {
    VARIANT v, r;
    VariantInit(&v);
    VariantInit(&r);
    v.vt = VT_I4;
    v.lVal = figlio;
    if (FAILED(stato ? a->get_accState(v, &r) : a->get_accRole(v, &r)) || r.vt != VT_I4) return -1;
    return r.lVal;
}

// What a screen reader reads of the board: only OBJID_CLIENT is the game's
// (UI Automation's root is Windows'); the targets of the person to move are
// the focusable cells, at their cells' places; Tab raises the focus event
// on the framed one, a pointer nothing; P announces the position once per
// press; a target's default action only posts the move, a cell that is no
// target refuses, and the move played is announced.
TEST_F(FinestraPrincipale, UnLettoreDiSchermoSenteLaPlanciaEGliAnnunci) {
    HRESULT com = CoInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(com));
    metti_giocatori(UMANO, UMANO);
    posizione_di_partenza();  // player 0 on its corner: right, down-right, down
    // Player 0 will step down-right; the cell it reaches shows up, down and
    // left, so that player 1 then has a move on every deal.
    plancia_ispettore::metti_set(partita_ispettore{game}.scacch(), 2, 2, set_di(0, 4, 6));
    ridisegna_tutto();
    pompa_coda();
    azzera();
    EXPECT_EQ(SendMessageA(principale, WM_GETOBJECT, 0, static_cast<LPARAM>(-25)), 0);

    IAccessible* a = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(principale, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&a)),
              S_OK);
    long figli = 0;
    a->get_accChildCount(&figli);
    EXPECT_EQ(figli, 65);
    EXPECT_EQ(numero_di(a, CHILDID_SELF, false), ROLE_SYSTEM_TABLE);
    EXPECT_EQ(numero_di(a, 65, false), ROLE_SYSTEM_ALERT);
    EXPECT_EQ(numero_di(a, 1, false), ROLE_SYSTEM_CELL);
    EXPECT_EQ(testo_di(a, CHILDID_SELF).rfind("Board: Player 1 to move: 3 moves", 0), 0u) << testo_di(a, CHILDID_SELF);
    EXPECT_EQ(testo_di(a, 1), "Row 1, column 1: Player 1's token on Player 1's start");
    for (long id = 1; id <= 64; id++) {
        bool bersaglio = id == 2 || id == 9 || id == 10;  // right, down, down-right of (1, 1)
        long s = numero_di(a, id, true);
        EXPECT_EQ((s & STATE_SYSTEM_FOCUSABLE) != 0, bersaglio) << "cell " << id;
        EXPECT_EQ((s & STATE_SYSTEM_UNAVAILABLE) != 0, id == 28 || id == 29 || id == 36 || id == 37) << "cell " << id;
    }
    EXPECT_EQ(testo_di(a, 10, true), "Move down-right to row 2, column 2.");
    EXPECT_EQ(testo_di(a, 11, true), "");
    VARIANT dieci;
    VariantInit(&dieci);
    dieci.vt = VT_I4;
    dieci.lVal = 10;
    long x = 0, y = 0, l = 0, h = 0;
    ASSERT_EQ(a->accLocation(&x, &y, &l, &h, dieci), S_OK);
    RECT r;
    rettangolo_casella(&r, 2, 2);
    POINT o{r.left, r.top};
    ClientToScreen(principale, &o);
    EXPECT_EQ(x, o.x);
    EXPECT_EQ(y, o.y);
    EXPECT_EQ(l, r.right - r.left);
    EXPECT_EQ(h, r.bottom - r.top);

    eventi_plancia.clear();
    HWINEVENTHOOK gancio = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, senti, GetCurrentProcessId(),
                                           GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(gancio, nullptr);
    batti(principale, VK_TAB);
    pompa_coda();
    ASSERT_EQ(quanti(EVENT_OBJECT_FOCUS), 1);
    EXPECT_EQ(eventi_plancia[0].second, 2) << "Tab frames the first target, right";
    EXPECT_EQ(numero_di(a, 2, true) & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED),
              STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED);
    // A pointer over another target moves the frame, silently.
    SendMessageA(principale, WM_MOUSEMOVE, 0, centro_bersaglio(partita_ispettore{game}.indice_di(4)));
    pompa_coda();
    EXPECT_EQ(quanti(EVENT_OBJECT_FOCUS), 1);

    DWORD lp = 1 | (MapVirtualKeyA('P', 0) << 16);
    PostMessageA(principale, WM_KEYDOWN, 'P', static_cast<LPARAM>(lp | 1u << 30));  // held: repeats only
    pompa_coda();
    EXPECT_EQ(quanti(EVENT_SYSTEM_ALERT), 0);
    batti(principale, 'P');
    pompa_coda();
    ASSERT_EQ(quanti(EVENT_SYSTEM_ALERT), 1);
    EXPECT_EQ(eventi_plancia.back().second, 65);
    EXPECT_EQ(testo_di(a, 65).rfind("Player 1's token: row 1, column 1. Player 2's token: row 1, column 8. ", 0), 0u)
        << testo_di(a, 65);

    VARIANT tre = dieci;
    tre.lVal = 3;
    EXPECT_EQ(a->accDoDefaultAction(tre), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(a->accDoDefaultAction(dieci), S_OK);
    EXPECT_EQ(casella(0), 11u) << "the action only posts the move";
    pompa_coda();
    EXPECT_EQ(casella(0), 22u);
    ASSERT_EQ(conta(ev_finestra, MSG_MOSSA), 1);
    EXPECT_EQ(quanti(EVENT_SYSTEM_ALERT), 2);
    EXPECT_EQ(testo_di(a, 65).rfind("Player 1 moved down-right to row 2, column 2. Player 2 to move: 2 moves", 0), 0u)
        << testo_di(a, 65);
    UnhookWinEvent(gancio);
    a->Release();
    CoUninitialize();
}

}  // namespace
