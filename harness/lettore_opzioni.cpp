// lettore_opzioni DIALOG FILE: reads an open Options dialog of another
// process as a screen reader does, and drives it with keys alone, as its
// user would. Each line written to FILE is one thing heard:
//   control ID: NAME|VALUE|checked      each player's box and bar, read in turn
//   focus: NAME|VALUE                   the control a Tab moved the focus to
//   value: NAME|VALUE                   a bar whose value an arrow key changed
//   closed                              Esc closed the dialog
// Tab goes four times from the focus the dialog opened with, then the right
// arrow steps the focused bar, then Esc. DIALOG is the dialog's window
// handle in decimal. Exit code 0 when every step was heard, 1 otherwise, 3
// when the watchdog ended a run that hung.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lettore.h"
#include "risorse.h"

namespace {

FILE* uscita = nullptr;

void scrivi(const std::string& riga) {
    std::fprintf(uscita, "%s\n", riga.c_str());
    std::fflush(uscita);
}

// "NAME|VALUE", and "|checked" for a checked box, of an object's own part.
std::string ascolta(IAccessible* a, bool anche_stato) {
    std::string s = lettore::nome(a, CHILDID_SELF) + "|" + lettore::valore(a, CHILDID_SELF);
    if (anche_stato) s += (lettore::stato(a, CHILDID_SELF) & STATE_SYSTEM_CHECKED) ? "|checked" : "|";
    return s;
}

// A key pressed on the control that has the focus in the dialog's thread,
// as a keyboard would deliver it.
void batti(DWORD filo, HWND dialogo, UINT vk, bool esteso) {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    HWND dove = GetGUIThreadInfo(filo, &g) && g.hwndFocus != nullptr ? g.hwndFocus : dialogo;
    const LPARAM giu = static_cast<LPARAM>(1 | (MapVirtualKeyA(vk, 0) << 16) | (esteso ? 1u << 24 : 0u));
    PostMessageA(dove, WM_KEYDOWN, vk, giu);
    PostMessageA(dove, WM_KEYUP, vk, static_cast<LPARAM>(static_cast<DWORD>(giu) | 0xC0000000u));
}

// The next event of kind `tipo` for a client object of the dialog's
// controls, read through the object it names. The messages that bring the
// events are pumped in short rounds: under Wine a wait for new messages
// slept through them to its limit.
bool senti(DWORD tipo, HWND dialogo, const char* come) {
    lettore::evento e{};
    auto scelta = [&](const lettore::evento& ev) {
        return ev.tipo == tipo && ev.oggetto == OBJID_CLIENT && GetParent(ev.hwnd) == dialogo;
    };
    bool sentito = false;
    for (DWORD inizio = GetTickCount(); !sentito && GetTickCount() - inizio < 5000;) {
        lettore::pompa(20);
        sentito = lettore::attendi_evento(scelta, 0, &e, true);
    }
    if (!sentito) return false;
    LONG figlio = CHILDID_SELF;
    IAccessible* a = lettore::oggetto_evento(e, &figlio);
    if (a == nullptr) return false;
    scrivi(std::string(come) + ": " + ascolta(a, false));
    a->Release();
    return true;
}

int leggi(HWND dialogo) {
    const DWORD filo = GetWindowThreadProcessId(dialogo, nullptr);
    if (filo == 0) return 1;
    // Every process's events, told apart by the dialog they come from:
    // under Wine 8 a hook for one process heard none of its focus events.
    if (!lettore::inizia(0)) return 1;
    const int controlli[] = {IDC_UMANO1, IDC_AUTOMATICO1, IDC_SCROLL1, IDC_UMANO2, IDC_AUTOMATICO2, IDC_SCROLL2};
    for (int id : controlli) {
        IAccessible* a = lettore::oggetto(GetDlgItem(dialogo, id));
        if (a == nullptr) return 1;
        scrivi("control " + std::to_string(id) + ": " + ascolta(a, true));
        a->Release();
    }
    lettore::coda().clear();
    for (int i = 0; i < 4; i++) {
        batti(filo, dialogo, VK_TAB, false);
        if (!senti(EVENT_OBJECT_FOCUS, dialogo, "focus")) return 1;
    }
    batti(filo, dialogo, VK_RIGHT, true);
    if (!senti(EVENT_OBJECT_VALUECHANGE, dialogo, "value")) return 1;
    batti(filo, dialogo, VK_ESCAPE, false);
    for (int i = 0; i < 250 && IsWindowVisible(dialogo); i++) lettore::pompa(20);
    if (IsWindowVisible(dialogo)) return 1;
    scrivi("closed");
    lettore::finisci();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "use: lettore_opzioni DIALOG FILE\n");
        return 2;
    }
    HWND dialogo = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(argv[1], nullptr, 10)));
    uscita = std::fopen(argv[2], "w");
    if (uscita == nullptr || !IsWindow(dialogo)) {
        std::fprintf(stderr, "lettore_opzioni: no dialog %s, or cannot write %s\n", argv[1], argv[2]);
        return 2;
    }
    lettore::sorveglia(60000, "reading the Options dialog");
    int esito = leggi(dialogo);
    lettore::basta();
    std::fclose(uscita);
    return esito;
}
