// The reader's core: COM, the out-of-context event hook with its queue,
// the calls that read an object's child, and the watchdog (see lettore.h).
#include "lettore.h"

#include <algorithm>
#include <cstdio>

namespace lettore {

namespace {

HWINEVENTHOOK gancio = nullptr;
bool com_aperto = false;
std::deque<evento> eventi;

// The longest one wait sleeps before it looks at the queue again.
constexpr DWORD giro_ms = 20;

// Called by Windows on this thread, also from inside a call to another
// process: it only queues.
DWORD processo_ascoltato = 0;

void CALLBACK ascolta(HWINEVENTHOOK, DWORD tipo, HWND hwnd, LONG oggetto, LONG figlio, DWORD, DWORD quando) {
    if (processo_ascoltato != 0) {
        DWORD p = 0;
        if (hwnd == nullptr || GetWindowThreadProcessId(hwnd, &p) == 0 || p != processo_ascoltato) return;
    }
    eventi.push_back(evento{tipo, hwnd, oggetto, figlio, quando});
}

VARIANT figlio_v(LONG figlio) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = figlio;
    return v;
}

// A text the object gives through `chiamata`, in UTF-8.
template <typename F>
std::string testo(F chiamata) {
    BSTR b = nullptr;
    HRESULT hr = chiamata(&b);
    std::string s = SUCCEEDED(hr) && b != nullptr ? utf8(b) : std::string();
    if (b != nullptr) SysFreeString(b);
    return s;
}

// A VARIANT that names a simple child (VT_I4), or -1; it is cleared.
long come_figlio(VARIANT& v) {
    long esito = -1;
    if (v.vt == VT_I4) esito = v.lVal;
    VariantClear(&v);
    return esito;
}

HANDLE allarme = nullptr;
HANDLE guardiano = nullptr;
DWORD limite = 0;
char motivo[200] = "";

DWORD WINAPI veglia(LPVOID) {
    if (WaitForSingleObject(allarme, limite) == WAIT_OBJECT_0) return 0;
    std::fprintf(stderr, "automa: the watchdog ended a run that hung (%s, %lu s)\n", motivo, limite / 1000);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}

}  // namespace

std::string utf8(const wchar_t* s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, -1, &r[0], n, nullptr, nullptr);
    r.resize(static_cast<std::size_t>(n - 1));
    return r;
}

bool inizia(DWORD processo) {
    if (!com_aperto) com_aperto = SUCCEEDED(CoInitialize(nullptr));
    if (!com_aperto) return false;
    // Wine delivers nothing to a hook limited to one process: every
    // process's events are heard, and those of others are left out here.
    processo_ascoltato = processo;
    if (gancio == nullptr)
        gancio = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, ascolta, 0, 0, WINEVENT_OUTOFCONTEXT);
    return gancio != nullptr;
}

void finisci() {
    if (gancio != nullptr) UnhookWinEvent(gancio);
    gancio = nullptr;
    eventi.clear();
    if (com_aperto) CoUninitialize();
    com_aperto = false;
}

std::deque<evento>& coda() { return eventi; }

void pompa(DWORD ms) {
    DWORD inizio = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        DWORD passato = GetTickCount() - inizio;
        if (passato >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - passato, giro_ms), QS_ALLINPUT);
    }
}

bool attendi_evento(const std::function<bool(const evento&)>& scelta, DWORD ms, evento* trovato, bool scarta) {
    DWORD inizio = GetTickCount();
    for (;;) {
        for (auto i = eventi.begin(); i != eventi.end(); ++i) {
            if (!scelta(*i)) continue;
            if (trovato != nullptr) *trovato = *i;
            if (scarta)
                eventi.erase(eventi.begin(), i + 1);
            else
                eventi.erase(i);
            return true;
        }
        DWORD passato = GetTickCount() - inizio;
        if (passato >= ms) return false;
        MSG m;
        if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
            continue;
        }
        // In rounds of at most a tick: Wine 8 can leave the wait asleep
        // while the hook's events come in, until the whole limit is spent.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - passato, giro_ms), QS_ALLINPUT);
    }
}

IAccessible* oggetto(HWND w, LONG id) {
    IAccessible* a = nullptr;
    if (FAILED(AccessibleObjectFromWindow(w, static_cast<DWORD>(id), IID_IAccessible, reinterpret_cast<void**>(&a))))
        return nullptr;
    return a;
}

IAccessible* oggetto_evento(const evento& e, LONG* figlio) {
    IAccessible* a = nullptr;
    VARIANT v;
    VariantInit(&v);
    if (FAILED(AccessibleObjectFromEvent(e.hwnd, static_cast<DWORD>(e.oggetto), static_cast<DWORD>(e.figlio), &a, &v)))
        return nullptr;
    *figlio = v.vt == VT_I4 ? v.lVal : CHILDID_SELF;
    VariantClear(&v);
    return a;
}

std::string nome(IAccessible* a, LONG figlio) {
    return testo([&](BSTR* b) { return a->get_accName(figlio_v(figlio), b); });
}

std::string valore(IAccessible* a, LONG figlio) {
    return testo([&](BSTR* b) { return a->get_accValue(figlio_v(figlio), b); });
}

std::string descrizione(IAccessible* a, LONG figlio) {
    return testo([&](BSTR* b) { return a->get_accDescription(figlio_v(figlio), b); });
}

long ruolo(IAccessible* a, LONG figlio) {
    VARIANT r;
    VariantInit(&r);
    if (FAILED(a->get_accRole(figlio_v(figlio), &r))) return -1;
    return come_figlio(r);
}

long stato(IAccessible* a, LONG figlio) {
    VARIANT s;
    VariantInit(&s);
    if (FAILED(a->get_accState(figlio_v(figlio), &s))) return -1;
    return come_figlio(s);
}

bool posizione(IAccessible* a, LONG figlio, RECT* r) {
    long x = 0, y = 0, l = 0, h = 0;
    if (a->accLocation(&x, &y, &l, &h, figlio_v(figlio)) != S_OK) return false;
    SetRect(r, x, y, x + l, y + h);
    return true;
}

HRESULT azione(IAccessible* a, LONG figlio) { return a->accDoDefaultAction(figlio_v(figlio)); }

long figli(IAccessible* a) {
    long n = 0;
    return SUCCEEDED(a->get_accChildCount(&n)) ? n : -1;
}

long fuoco(IAccessible* a) {
    VARIANT v;
    VariantInit(&v);
    if (a->get_accFocus(&v) != S_OK) return -1;
    return come_figlio(v);
}

long colpito(IAccessible* a, POINT schermo) {
    VARIANT v;
    VariantInit(&v);
    if (a->accHitTest(schermo.x, schermo.y, &v) != S_OK) return -1;
    return come_figlio(v);
}

long vicino(IAccessible* a, LONG figlio, long verso) {
    VARIANT v;
    VariantInit(&v);
    if (a->accNavigate(verso, figlio_v(figlio), &v) != S_OK) return -1;
    return come_figlio(v);
}

long selezione(IAccessible* a) {
    VARIANT v;
    VariantInit(&v);
    if (a->get_accSelection(&v) != S_OK) return -1;
    return come_figlio(v);
}

void sorveglia(DWORD ms, const char* cosa) {
    basta();
    std::snprintf(motivo, sizeof motivo, "%s", cosa);
    limite = ms;
    allarme = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    guardiano = CreateThread(nullptr, 0, veglia, nullptr, 0, nullptr);
}

void basta() {
    if (guardiano == nullptr) return;
    SetEvent(allarme);
    WaitForSingleObject(guardiano, INFINITE);
    CloseHandle(guardiano);
    CloseHandle(allarme);
    guardiano = nullptr;
    allarme = nullptr;
}

}  // namespace lettore
