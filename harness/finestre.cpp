// The game's windows as another program finds them: the main window by
// class and title, the boxes and dialogs of its thread, and the answers to
// them (the menu's commands with their questions, the Options dialog).
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "automa.h"
#include "risorse.h"
#include "scatole.h"

namespace automa {

const char* const CLASSE = "Finestra principale";
const char* const TITOLO = "Vorandel 32";

HWND finestra = nullptr;  // the game's main window
DWORD filo = 0;           // the game's main thread

int errore(const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    std::fprintf(stderr, "automa: ");
    std::vfprintf(stderr, formato, a);
    std::fprintf(stderr, "\n");
    va_end(a);
    return 1;
}

void dice(const char* formato, ...) {
    std::va_list a;
    va_start(a, formato);
    std::printf("automa: ");
    std::vprintf(formato, a);
    std::printf("\n");
    std::fflush(stdout);
    va_end(a);
}

// Waits `ms` while staying responsive; the only pause between polls.
void pausa(DWORD ms) { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT); }

bool trova_gioco(DWORD ms) {
    DWORD inizio = GetTickCount();
    for (;;) {
        HWND w = FindWindowA(CLASSE, TITOLO);
        if (w != nullptr && IsWindowVisible(w)) {
            finestra = w;
            filo = GetWindowThreadProcessId(w, nullptr);
            return true;
        }
        if (GetTickCount() - inizio > ms) return false;
        pausa(50);
    }
}

// A box or dialog of the game's thread, with the given caption (any if null).
HWND scatola(const char* titolo) { return scatola_del_filo(filo, titolo); }

// The same, waited for up to `ms`.
HWND attendi_scatola(const char* titolo, DWORD ms) { return attendi_scatola_del_filo(filo, titolo, ms); }

// Presses a button of a box or dialog, as a click on it would.
void premi(HWND dialogo, int id) {
    HWND b = GetDlgItem(dialogo, id);
    if (b != nullptr)
        SendMessageA(b, BM_CLICK, 0, 0);
    else
        PostMessageA(dialogo, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

// A menu command; a question that follows it is answered with `risposta`.
void comando(int id, int risposta) {
    PostMessageA(finestra, WM_COMMAND, static_cast<WPARAM>(id), 0);
    HWND s = attendi_scatola("Are you sure?", 700);
    if (s != nullptr) {
        dice("question \"%s\": %s", testo_scatola(s).c_str(), risposta == IDYES ? "Yes" : "No");
        premi(s, risposta);
        attendi_chiusura(s, 5000);
    }
}

// Presses a button of a box or dialog with a real click on it: pressed by a
// message sent from this process, the box's loop would drop one of the
// game's posted messages (see regia/regia.h). A click reaches the game as
// its own input, as a user's does, and nothing is lost.
void premi_col_mouse(HWND dialogo, int id) {
    HWND b = GetDlgItem(dialogo, id);
    RECT r;
    if (b == nullptr || !GetWindowRect(b, &r)) {
        premi(dialogo, id);
        return;
    }
    POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(finestra, &c);
    clic(c);
}

static int leggi_numero(HWND d, int id) {
    BOOL ok = FALSE;
    UINT n = GetDlgItemInt(d, id, &ok, FALSE);
    return ok ? static_cast<int>(n) : -1;
}

static bool attendi_numero(HWND d, int id, int atteso) {
    for (int i = 0; i < 100; i++) {
        if (leggi_numero(d, id) == atteso) return true;
        pausa(20);
    }
    return false;
}

int opzioni(bool automatico[2], int skill[2], bool col_mouse) {
    PostMessageA(finestra, WM_COMMAND, CMD_OPZIONI, 0);
    HWND d = attendi_scatola("Options", 5000);
    if (d == nullptr) return errore("the Options dialog did not open");
    const int umano_id[2] = {IDC_UMANO1, IDC_UMANO2}, auto_id[2] = {IDC_AUTOMATICO1, IDC_AUTOMATICO2};
    const int scroll_id[2] = {IDC_SCROLL1, IDC_SCROLL2}, numero_id[2] = {IDC_SKILL1, IDC_SKILL2};
    for (int p = 0; p < 2; p++) {
        premi(d, automatico[p] ? auto_id[p] : umano_id[p]);
        if (!automatico[p]) {
            if (!attendi_numero(d, numero_id[p], 0)) return errore("player %d: skill not shown as 0 for a human", p + 1);
            continue;
        }
        HWND barra = GetDlgItem(d, scroll_id[p]);
        for (int giri = 0; giri < 20; giri++) {
            int n = 0;
            for (int i = 0; i < 100 && (n = leggi_numero(d, numero_id[p])) <= 0; i++) pausa(20);
            if (n == skill[p]) break;
            SendMessageA(d, WM_HSCROLL, n < skill[p] ? SB_LINERIGHT : SB_LINELEFT, reinterpret_cast<LPARAM>(barra));
            if (!attendi_numero(d, numero_id[p], n < skill[p] ? n + 1 : n - 1))
                return errore("player %d: the skill did not follow the scroll bar", p + 1);
        }
        if (leggi_numero(d, numero_id[p]) != skill[p]) return errore("player %d: skill %d not reached", p + 1, skill[p]);
    }
    for (int p = 0; p < 2; p++) {
        bool a = IsDlgButtonChecked(d, auto_id[p]) == BST_CHECKED, u = IsDlgButtonChecked(d, umano_id[p]) == BST_CHECKED;
        if (a != automatico[p] || u == automatico[p]) return errore("player %d: check boxes not as chosen", p + 1);
    }
    if (col_mouse)
        premi_col_mouse(d, IDC_OK);
    else
        premi(d, IDC_OK);
    if (!attendi_chiusura(d, 60000)) return errore("the Options dialog did not close on OK");
    dice("options: player 1 %s %d, player 2 %s %d", automatico[0] ? "automatic" : "human", skill[0],
         automatico[1] ? "automatic" : "human", skill[1]);
    return 0;
}

struct cerca_classe {
    const char* classe;
    std::vector<HWND> trovate;
};

static BOOL CALLBACK di_classe(HWND w, LPARAM lParam) {
    auto* c = reinterpret_cast<cerca_classe*>(lParam);
    char classe[64] = "";
    GetClassNameA(w, classe, sizeof classe);
    if (IsWindowVisible(w) && std::strcmp(classe, c->classe) == 0) c->trovate.push_back(w);
    return TRUE;
}

// The visible top-level windows of a class, of any process on the display.
std::vector<HWND> finestre_di_classe(const char* classe) {
    cerca_classe c{classe, {}};
    EnumWindows(di_classe, reinterpret_cast<LPARAM>(&c));
    return c.trovate;
}

// Every box open on the display, with its texts; empty when there is none.
std::string scatole_aperte() {
    std::string elenco;
    for (HWND s : finestre_di_classe("#32770")) {
        char titolo[128] = "";
        GetWindowTextA(s, titolo, sizeof titolo);
        elenco += std::string(" [\"") + titolo + "\": \"" + testo_scatola(s) + "\"]";
    }
    return elenco;
}

// Answers every open box with No (a message box ends on any of its answers),
// so that a game blocked by one goes on.
void chiudi_scatole() {
    for (int giro = 0; giro < 3; giro++) {
        std::vector<HWND> v = finestre_di_classe("#32770");
        if (v.empty()) return;
        for (HWND s : v) PostMessageA(s, WM_COMMAND, IDNO, 0);
        pausa(300);
    }
}

}  // namespace automa
