// The end-to-end step of the keyboard alone: Options from the keyboard, a
// tournament stopped with S, and a game played with Tab, Enter, the arrows
// and the keypad, closed with Return.
#include <windows.h>

#include <string>
#include <vector>

#include "automa.h"
#include "comune.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

// A key as a keyboard sends it, posted to `w` (the game's thread translates
// it): WM_KEYDOWN, then WM_KEYUP, with the key's scan code and, for the
// dedicated arrows, the extended bit.
static void batti(HWND w, UINT vk, bool esteso = false) {
    DWORD lp = 1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u);
    PostMessageA(w, WM_KEYDOWN, vk, static_cast<LPARAM>(lp));
    PostMessageA(w, WM_KEYUP, vk, static_cast<LPARAM>(lp | 0xC0000000u));
}

// The control of dialog `d` that has the focus in the game's thread, 0 for
// none.
static int fuoco_in(HWND d) {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    if (!GetGUIThreadInfo(filo, &g) || g.hwndFocus == nullptr || GetParent(g.hwndFocus) != d) return 0;
    return GetDlgCtrlID(g.hwndFocus);
}

// Types `vk` into the focused control of `d` and waits up to a second for
// `fatto`.
template <typename F>
static bool nel_dialogo(HWND d, UINT vk, F fatto) {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    GetGUIThreadInfo(filo, &g);
    batti(g.hwndFocus != nullptr ? g.hwndFocus : d, vk, vk >= VK_LEFT && vk <= VK_DOWN);
    for (int i = 0; i < 50 && !fatto(); i++) pausa(20);
    return fatto();
}

static int numero_in(HWND d, int id) { return static_cast<int>(GetDlgItemInt(d, id, nullptr, FALSE)); }

// Tab until control `id` of `d` has the focus.
static bool tab_fino_a(HWND d, int id) {
    for (int i = 0; i < 12 && fuoco_in(d) != id; i++) {
        int prima = fuoco_in(d);
        nel_dialogo(d, VK_TAB, [&] { return fuoco_in(d) != prima; });
    }
    return fuoco_in(d) == id;
}

// Options from the keyboard: player 1 "Human", player 2 "Automatic" at
// skill 1, each box checked with Space, the skill lowered with the left
// arrow, OK pressed with Space.
static int opzioni_da_tastiera() {
    PostMessageA(finestra, WM_COMMAND, CMD_OPZIONI, 0);
    HWND d = attendi_scatola("Options", 5000);
    if (d == nullptr) return errore("the Options dialog did not open");
    for (int i = 0; i < 100 && fuoco_in(d) == 0; i++) pausa(20);
    if (fuoco_in(d) == 0) return errore("the Options dialog opened with nothing focused");
    for (int id : {IDC_UMANO1, IDC_AUTOMATICO2}) {
        if (!tab_fino_a(d, id)) return errore("Tab does not reach control %d of the Options dialog", id);
        if (IsDlgButtonChecked(d, id) != BST_CHECKED &&
            !nel_dialogo(d, VK_SPACE, [&] { return IsDlgButtonChecked(d, id) == BST_CHECKED; }))
            return errore("Space does not check box %d", id);
    }
    for (int i = 0; i < 100 && numero_in(d, IDC_SKILL2) == 0; i++) pausa(20);
    if (!tab_fino_a(d, IDC_SCROLL2)) return errore("Tab does not reach player 2's skill bar");
    for (int i = 0; i < 12 && numero_in(d, IDC_SKILL2) > SKILL_MIN; i++) {
        int prima = numero_in(d, IDC_SKILL2);
        if (!nel_dialogo(d, VK_LEFT, [&] { return numero_in(d, IDC_SKILL2) == prima - 1; }))
            return errore("the left arrow does not lower player 2's skill from %d", prima);
    }
    if (numero_in(d, IDC_SKILL2) != SKILL_MIN) return errore("player 2's skill is not %d", SKILL_MIN);
    if (!tab_fino_a(d, IDC_OK)) return errore("Tab does not reach OK");
    batti(GetDlgItem(d, IDC_OK), VK_SPACE);
    if (!attendi_chiusura(d, 60000)) return errore("Space on OK did not close the Options dialog");
    dice("options from the keyboard: player 1 human, player 2 automatic %d", SKILL_MIN);
    return 0;
}

// The cell framed among `celle`, -1 for none.
static int incorniciata_tra(const std::vector<int>& celle) {
    for (int c : celle)
        if (incorniciata(casella(colonna_di(c), riga_di(c)))) return c;
    return -1;
}

// The framed target around player 1's token on `pedina`, waited for up to
// `ms` after `vk`.
static int dopo_il_tasto(int pedina, UINT vk, bool esteso, DWORD ms) {
    batti(finestra, vk, esteso);
    std::vector<int> intorno = vicine({pedina});
    for (DWORD inizio = GetTickCount(); GetTickCount() - inizio < ms; pausa(30))
        if (int c = incorniciata_tra(intorno); c >= 0) return c;
    return -1;
}

// Options from the keyboard; a tournament begun and stopped with S; then
// player 1 plays the game on the board against the computer with the keys
// alone, by turns Tab and Enter, the numeric keypad (Num Lock on and off)
// and an arrow and Enter, to its "End" box, which only an ordinary game
// shows (the tournament was stopped), and closes it with Return.
int tastiera() {
    if (opzioni_da_tastiera() != 0) return 1;
    comando(CMD_NUOVO_TORNEO);
    pausa(300);
    batti(finestra, 'S');
    dice("pressed S while the tournament's first game runs");
    // Directions clockwise from up, and the keypad's digit for each.
    const int verso[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
    const UINT cifra[8] = {8, 9, 6, 3, 2, 1, 4, 7};
    const UINT senza_num_lock[10] = {0, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
    const UINT frecce[4] = {VK_UP, VK_RIGHT, VK_DOWN, VK_LEFT};
    int pedina = indice_casella(PRIMA_FILA, PRIMA_FILA), mosse = 0;
    DWORD attesa = GetTickCount();
    while (GetTickCount() - attesa < 120000) {
        if (HWND fine = scatola("End")) {
            std::string t = testo_scatola(fine);
            GUITHREADINFO g{};
            g.cbSize = sizeof g;
            GetGUIThreadInfo(filo, &g);
            batti(g.hwndFocus != nullptr ? g.hwndFocus : fine, VK_RETURN);
            if (!attendi_chiusura(fine, 5000)) return errore("Return did not close the end box");
            dice("keyboard game over after %d moves of player 1: \"%s\"; closed with Return", mosse, t.c_str());
            return mosse > 0 ? 0 : errore("the game ended before player 1 moved");
        }
        if (HWND altra = scatola()) return errore("unexpected box \"%s\"", testo_scatola(altra).c_str());
        // Tab frames a target only while player 1 is to move.
        int c = dopo_il_tasto(pedina, VK_TAB, false, 400);
        if (c < 0) continue;
        int dx = colonna_di(c) - colonna_di(pedina), dy = riga_di(c) - riga_di(pedina), d = 0;
        while (verso[d][0] != dx || verso[d][1] != dy) d++;
        if (mosse % 3 != 0) {
            batti(finestra, VK_ESCAPE);
            for (int i = 0; i < 50 && incorniciata(casella(colonna_di(c), riga_di(c))); i++) pausa(20);
        }
        unsigned long long prima = impronta();
        if (mosse % 3 == 0) {
            batti(finestra, VK_RETURN);
        } else if (mosse % 3 == 1) {
            bool num_lock = mosse % 2 == 0;
            batti(finestra, num_lock ? VK_NUMPAD0 + cifra[d] : senza_num_lock[cifra[d]]);
        } else {
            // The arrow of the target's side: its straight move, else the
            // diagonal clockwise from it, which this target is then.
            c = dopo_il_tasto(pedina, frecce[(d % 2 == 0 ? d : d - 1) / 2], true, 2000);
            if (c < 0) return errore("the arrow towards direction %d framed nothing", d);
            prima = impronta();
            batti(finestra, VK_RETURN);
        }
        for (int i = 0; i < 250 && impronta() == prima && scatola() == nullptr; i++) pausa(20);
        pedina = c;
        mosse++;
        attesa = GetTickCount();
    }
    return errore("player 1 found no move for 2 minutes (the tournament was not stopped?)");
}

}  // namespace automa
