// The game's message boxes and dialogs, seen from another program: the one
// with a given caption among the windows of the game's thread, waiting for
// it to come and to go, and the text it shows. Shared by the automation tool and the package test, which both
// answer the game's boxes from outside.
#ifndef VORANDEL_SCATOLE_H
#define VORANDEL_SCATOLE_H

#include <windows.h>

#include <string>

namespace scatole {

struct ricerca {
    const char* titolo;  // nullptr: any caption
    HWND trovata;
};

inline BOOL CALLBACK confronta(HWND w, LPARAM l) {
    auto* r = reinterpret_cast<ricerca*>(l);
    char classe[32] = "", titolo[128] = "";
    GetClassNameA(w, classe, sizeof classe);
    GetWindowTextA(w, titolo, sizeof titolo);
    if (lstrcmpA(classe, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    if (r->titolo != nullptr && lstrcmpA(titolo, r->titolo) != 0) return TRUE;
    r->trovata = w;
    return FALSE;
}

}  // namespace scatole

// A visible box or dialog of the thread `filo` with the caption `titolo`
// (any caption if null); nullptr when there is none.
inline HWND scatola_del_filo(DWORD filo, const char* titolo) {
    scatole::ricerca r{titolo, nullptr};
    EnumThreadWindows(filo, scatole::confronta, reinterpret_cast<LPARAM>(&r));
    return r.trovata;
}

// The same, waited for up to `ms`; nullptr when none came.
inline HWND attendi_scatola_del_filo(DWORD filo, const char* titolo, DWORD ms) {
    for (DWORD inizio = GetTickCount();; Sleep(30)) {
        if (HWND s = scatola_del_filo(filo, titolo)) return s;
        if (GetTickCount() - inizio > ms) return nullptr;
    }
}

// Waits up to `ms` for the box or dialog `s` to close (gone, or hidden on its
// way out); whether it did.
inline bool attendi_chiusura(HWND s, DWORD ms) {
    for (DWORD inizio = GetTickCount(); IsWindow(s) && IsWindowVisible(s); Sleep(30))
        if (GetTickCount() - inizio > ms) return false;
    return true;
}

// The text a box shows: its static controls, in order.
inline std::string testo_scatola(HWND s) {
    std::string t;
    for (HWND c = GetWindow(s, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char classe[32] = "", testo[512] = "";
        GetClassNameA(c, classe, sizeof classe);
        GetWindowTextA(c, testo, sizeof testo);
        if (lstrcmpiA(classe, "Static") == 0 && testo[0] != '\0') t += testo;
    }
    return t;
}

#endif
