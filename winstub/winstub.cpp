// The stand-in's Win32 calls, written from what the game expects of them:
// posted messages queue per window in posting order and are peeked in that
// order, auto-reset events release exactly one waiter, threads run at once
// (unless a test puts them off, to run them at moments of its choosing),
// and files are read-only byte streams. Events and queues are built on
// std::mutex and std::condition_variable, so ThreadSanitizer sees every
// hand-over between the main thread and a worker.
#include <windows.h>
#include <winstub.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

enum class tipo_oggetto { evento, thread, file };

struct oggetto {
    explicit oggetto(tipo_oggetto t) : tipo(t) {}
    tipo_oggetto tipo;
    // Events and threads: a signalled state guarded by `m`.
    std::mutex m;
    std::condition_variable cv;
    bool segnalato = false;
    bool manuale = false;
    // Files.
    std::FILE* f = nullptr;
};

// Handles are owned by this table, so that a handle closed while a thread
// still runs (the game closes its worker's handle at once) stays valid for
// the thread itself.
// Built on first use, so that a program's own static objects (the match
// creates its event during static construction) can call the stand-in.
struct tabella_oggetti {
    std::mutex m;
    std::map<HANDLE, std::shared_ptr<oggetto>> oggetti;
};
tabella_oggetti& tabella() {
    static tabella_oggetti* t = new tabella_oggetti;  // never destroyed: workers may outlive main
    return *t;
}

thread_local DWORD ultimo_errore = 0;
std::atomic<int> thread_da_fallire{0};
std::atomic<bool> con_thread_tenuto{false};
std::atomic<int> thread_in_corso{0};

// A thread function with its argument and the handle of its thread.
struct lavoro {
    LPTHREAD_START_ROUTINE funzione;
    LPVOID argomento;
    std::shared_ptr<oggetto> maniglia;
};

std::atomic<winstub_gancio_post> gancio_post{nullptr};
// Posts to refuse (winstub_rifiuta_post), under the queues' lock.
UINT da_rifiutare_messaggio = 0;
int da_rifiutare = 0;
std::atomic<int> rifiutati{0};
std::atomic<winstub_gancio_post> gancio_prima_del_post{nullptr};
std::atomic<winstub_gancio_avvio> gancio_avvio{nullptr};
std::atomic<winstub_gancio_attesa> gancio_attesa{nullptr};

// The thread functions put off by winstub_thread_differiti, oldest first.
std::atomic<bool> con_thread_differiti{false};
struct thread_differiti {
    std::mutex m;
    std::deque<lavoro> coda;
};
thread_differiti& differiti() {
    static thread_differiti* d = new thread_differiti;  // never destroyed, like the handle table
    return *d;
}

// A thread function run to its end on the thread that the stand-in made
// for it: the start seam first, then the function, then the handle is
// signalled for good, as a thread's.
void esegui(const lavoro& l) {
    if (winstub_gancio_avvio g = gancio_avvio.load()) g();
    l.funzione(l.argomento);
    thread_in_corso--;
    {
        std::lock_guard<std::mutex> lock(l.maniglia->m);
        l.maniglia->segnalato = true;
    }
    l.maniglia->cv.notify_all();
}

// The thread kept for winstub_thread_tenuto and the thread functions handed
// to it; built on first use and never destroyed, since the thread outlives
// main.
struct thread_tenuto {
    std::mutex m;
    std::condition_variable cv;
    std::deque<lavoro> coda;
};
thread_tenuto& tenuto() {
    static thread_tenuto* t = [] {
        auto* nuovo = new thread_tenuto;
        std::thread([nuovo] {
            for (;;) {
                lavoro l;
                {
                    std::unique_lock<std::mutex> lock(nuovo->m);
                    nuovo->cv.wait(lock, [nuovo] { return !nuovo->coda.empty(); });
                    l = std::move(nuovo->coda.front());
                    nuovo->coda.pop_front();
                }
                esegui(l);
            }
        }).detach();
        return nuovo;
    }();
    return *t;
}


HANDLE registra(std::shared_ptr<oggetto> o) {
    HANDLE h = o.get();
    std::lock_guard<std::mutex> l(tabella().m);
    tabella().oggetti[h] = std::move(o);
    return h;
}

std::shared_ptr<oggetto> trova(HANDLE h) {
    std::lock_guard<std::mutex> l(tabella().m);
    auto it = tabella().oggetti.find(h);
    return it == tabella().oggetti.end() ? nullptr : it->second;
}

struct coda_finestra {
    std::deque<MSG> messaggi;
    // Kept only once a test has asked for it: a program that plays game
    // after game would otherwise hold every repaint of every game.
    bool registra = false;
    std::vector<winstub_invalidazione> invalidazioni;
};

struct tutte_le_code {
    std::mutex m;
    std::condition_variable cv;
    std::map<HWND, coda_finestra> code;
};
tutte_le_code& code_finestre() {
    static tutte_le_code* c = new tutte_le_code;  // never destroyed, like the handle table
    return *c;
}
std::atomic<std::uintptr_t> prossima_finestra{0x1000};

bool nel_filtro(const MSG& m, HWND hWnd, UINT min, UINT max) {
    if (hWnd != nullptr && m.hwnd != hWnd) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

// Removes (or copies) the first queued message that passes the filter.
bool preleva(MSG* out, HWND hWnd, UINT min, UINT max, bool togli) {
    for (auto& [h, coda] : code_finestre().code) {
        if (hWnd != nullptr && h != hWnd) continue;
        for (auto it = coda.messaggi.begin(); it != coda.messaggi.end(); ++it) {
            if (!nel_filtro(*it, hWnd, min, max)) continue;
            if (out != nullptr) *out = *it;
            if (togli) coda.messaggi.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace

HWND winstub_nuova_finestra() {
    HWND h = reinterpret_cast<HWND>(prossima_finestra.fetch_add(0x10));
    std::lock_guard<std::mutex> l(code_finestre().m);
    code_finestre().code[h];
    return h;
}

void winstub_registra_invalidazioni(HWND hWnd) {
    std::lock_guard<std::mutex> l(code_finestre().m);
    auto it = code_finestre().code.find(hWnd);
    if (it != code_finestre().code.end()) it->second.registra = true;
}

std::vector<winstub_invalidazione> winstub_invalidazioni(HWND hWnd) {
    std::lock_guard<std::mutex> l(code_finestre().m);
    auto it = code_finestre().code.find(hWnd);
    if (it == code_finestre().code.end() || !it->second.registra) {
        // An empty answer here would let a check for "nothing invalidated"
        // pass without looking: stop the test instead.
        std::fprintf(stderr, "winstub: invalidations read from window %p, which does not record them "
                             "(winstub_registra_invalidazioni)\n",
                     static_cast<void*>(hWnd));
        std::abort();
    }
    std::vector<winstub_invalidazione> v;
    v.swap(it->second.invalidazioni);
    return v;
}

BOOL winstub_attendi_messaggio(MSG* msg, HWND hWnd, DWORD ms) {
    std::unique_lock<std::mutex> l(code_finestre().m);
    bool ok = code_finestre().cv.wait_for(l, std::chrono::milliseconds(ms),
                               [&] { return preleva(msg, hWnd, 0, 0, true); });
    return ok ? TRUE : FALSE;
}

void winstub_fallisci_thread(int quante) { thread_da_fallire = quante; }

void winstub_thread_tenuto(bool si) { con_thread_tenuto = si; }

void winstub_dopo_il_post(winstub_gancio_post gancio) { gancio_post = gancio; }

void winstub_prima_del_post(winstub_gancio_post gancio) { gancio_prima_del_post = gancio; }

void winstub_all_avvio(winstub_gancio_avvio gancio) { gancio_avvio = gancio; }

void winstub_prima_di_attendere(winstub_gancio_attesa gancio) { gancio_attesa = gancio; }

void winstub_thread_differiti(bool si) { con_thread_differiti = si; }

int winstub_differiti_in_attesa() {
    std::lock_guard<std::mutex> l(differiti().m);
    return static_cast<int>(differiti().coda.size());
}

bool winstub_esegui_differito(int k) {
    lavoro l;
    {
        std::lock_guard<std::mutex> lock(differiti().m);
        auto& coda = differiti().coda;
        if (k < 0 || static_cast<std::size_t>(k) >= coda.size()) return false;
        l = std::move(coda[static_cast<std::size_t>(k)]);
        coda.erase(coda.begin() + k);
    }
    std::thread([l] { esegui(l); }).join();
    return true;
}

int winstub_thread_in_corso() { return thread_in_corso.load(); }

void winstub_rifiuta_post(UINT messaggio, int quante) {
    std::lock_guard<std::mutex> l(code_finestre().m);
    da_rifiutare_messaggio = messaggio;
    da_rifiutare = quante > 0 ? quante : 0;
}

int winstub_post_rifiutati() { return rifiutati.load(); }

void Sleep(DWORD dwMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds)); }

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (winstub_gancio_post g = gancio_prima_del_post.load()) {
        bool esiste;
        {
            std::lock_guard<std::mutex> l(code_finestre().m);
            esiste = hWnd != nullptr && code_finestre().code.count(hWnd) != 0;
        }
        if (esiste) g(hWnd, Msg, wParam, lParam);
    }
    {
        std::lock_guard<std::mutex> l(code_finestre().m);
        auto it = code_finestre().code.find(hWnd);
        if (hWnd == nullptr || it == code_finestre().code.end()) {
            ultimo_errore = 1400;  // ERROR_INVALID_WINDOW_HANDLE
            return FALSE;
        }
        if (da_rifiutare > 0 && (da_rifiutare_messaggio == 0 || da_rifiutare_messaggio == Msg)) {
            da_rifiutare--;
            rifiutati++;
            ultimo_errore = 1816;  // ERROR_NOT_ENOUGH_QUOTA
            return FALSE;
        }
        MSG m{};
        m.hwnd = hWnd;
        m.message = Msg;
        m.wParam = wParam;
        m.lParam = lParam;
        it->second.messaggi.push_back(m);
        code_finestre().cv.notify_all();
    }
    // Outside the queues' lock, so that the hook may wait while others post
    // and read.
    if (winstub_gancio_post g = gancio_post.load()) g(hWnd, Msg, wParam, lParam);
    return TRUE;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    std::lock_guard<std::mutex> l(code_finestre().m);
    return preleva(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE
                                                                                           : FALSE;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    std::unique_lock<std::mutex> l(code_finestre().m);
    code_finestre().cv.wait(l, [&] { return preleva(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true); });
    return lpMsg->message == 0x0012 /* WM_QUIT */ ? FALSE : TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    std::lock_guard<std::mutex> l(code_finestre().m);
    auto it = code_finestre().code.find(hWnd);
    if (hWnd == nullptr || it == code_finestre().code.end()) return FALSE;
    if (!it->second.registra) return TRUE;
    winstub_invalidazione inv{};
    inv.tutto = lpRect == nullptr;
    if (lpRect != nullptr) inv.rect = *lpRect;
    inv.erase = bErase;
    it->second.invalidazioni.push_back(inv);
    return TRUE;
}

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (lprc == nullptr) return FALSE;
    lprc->left = xLeft;
    lprc->top = yTop;
    lprc->right = xRight;
    lprc->bottom = yBottom;
    return TRUE;
}

BOOL PtInRect(const RECT* lprc, POINT pt) {
    if (lprc == nullptr) return FALSE;
    return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
    auto o = std::make_shared<oggetto>(tipo_oggetto::evento);
    o->manuale = bManualReset != FALSE;
    o->segnalato = bInitialState != FALSE;
    return registra(std::move(o));
}

BOOL SetEvent(HANDLE hEvent) {
    auto o = trova(hEvent);
    if (!o || o->tipo != tipo_oggetto::evento) {
        ultimo_errore = 6;  // ERROR_INVALID_HANDLE
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> l(o->m);
        o->segnalato = true;
    }
    if (o->manuale)
        o->cv.notify_all();
    else
        o->cv.notify_one();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto o = trova(hHandle);
    if (!o || o->tipo == tipo_oggetto::file) {
        ultimo_errore = 6;
        return WAIT_FAILED;
    }
    if (winstub_gancio_attesa g = gancio_attesa.load()) {
        bool segnalato;
        {
            std::lock_guard<std::mutex> l(o->m);
            segnalato = o->segnalato;
        }
        if (!segnalato) g(hHandle);
    }
    std::unique_lock<std::mutex> l(o->m);
    auto pronto = [&] { return o->segnalato; };
    if (dwMilliseconds == INFINITE) {
        o->cv.wait(l, pronto);
    } else if (!o->cv.wait_for(l, std::chrono::milliseconds(dwMilliseconds), pronto)) {
        return WAIT_TIMEOUT;
    }
    // An auto-reset event lets exactly one waiter through; a finished thread
    // stays signalled for everyone.
    if (o->tipo == tipo_oggetto::evento && !o->manuale) o->segnalato = false;
    return WAIT_OBJECT_0;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                    DWORD, LPDWORD lpThreadId) {
    int da_fallire = thread_da_fallire.load();
    while (da_fallire > 0 && !thread_da_fallire.compare_exchange_weak(da_fallire, da_fallire - 1)) {
    }
    if (da_fallire > 0) {
        ultimo_errore = 8;  // ERROR_NOT_ENOUGH_MEMORY
        return nullptr;
    }
    static std::atomic<DWORD> prossimo_id{100};
    auto o = std::make_shared<oggetto>(tipo_oggetto::thread);
    DWORD id = prossimo_id.fetch_add(1);
    if (lpThreadId != nullptr) *lpThreadId = id;
    HANDLE h = registra(o);
    thread_in_corso++;
    if (con_thread_differiti.load()) {
        std::lock_guard<std::mutex> l(differiti().m);
        differiti().coda.push_back(lavoro{lpStartAddress, lpParameter, o});
        return h;
    }
    if (con_thread_tenuto.load()) {
        thread_tenuto& t = tenuto();
        {
            std::lock_guard<std::mutex> l(t.m);
            t.coda.push_back(lavoro{lpStartAddress, lpParameter, o});
        }
        t.cv.notify_one();
        return h;
    }
    std::thread([l = lavoro{lpStartAddress, lpParameter, o}] { esegui(l); }).detach();
    return h;
}

BOOL CloseHandle(HANDLE hObject) {
    std::shared_ptr<oggetto> o;
    {
        std::lock_guard<std::mutex> l(tabella().m);
        auto it = tabella().oggetti.find(hObject);
        if (it == tabella().oggetti.end()) {
            ultimo_errore = 6;
            return FALSE;
        }
        o = std::move(it->second);
        tabella().oggetti.erase(it);
    }
    if (o->tipo == tipo_oggetto::file && o->f != nullptr) std::fclose(o->f);
    return TRUE;
}

DWORD GetLastError() { return ultimo_errore; }

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                   DWORD, HANDLE) {
    if (lpFileName == nullptr || dwDesiredAccess != GENERIC_READ || dwCreationDisposition != OPEN_EXISTING) {
        ultimo_errore = 87;  // ERROR_INVALID_PARAMETER
        return INVALID_HANDLE_VALUE;
    }
    std::FILE* f = std::fopen(lpFileName, "rb");
    if (f == nullptr) {
        ultimo_errore = 2;  // ERROR_FILE_NOT_FOUND
        return INVALID_HANDLE_VALUE;
    }
    auto o = std::make_shared<oggetto>(tipo_oggetto::file);
    o->f = f;
    return registra(std::move(o));
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, void*) {
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
    auto o = trova(hFile);
    if (!o || o->tipo != tipo_oggetto::file || (lpBuffer == nullptr && nNumberOfBytesToRead > 0)) {
        ultimo_errore = 6;
        return FALSE;
    }
    std::size_t letti = nNumberOfBytesToRead == 0 ? 0 : std::fread(lpBuffer, 1, nNumberOfBytesToRead, o->f);
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = static_cast<DWORD>(letti);
    // Reading at the end of a file succeeds with fewer bytes, as on Windows.
    return std::ferror(o->f) ? FALSE : TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    auto o = trova(hFile);
    if (!o || o->tipo != tipo_oggetto::file) {
        ultimo_errore = 6;
        return INVALID_FILE_SIZE;
    }
    long qui = std::ftell(o->f);
    std::fseek(o->f, 0, SEEK_END);
    long fine = std::ftell(o->f);
    std::fseek(o->f, qui, SEEK_SET);
    if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(fine) >> 32);
    return static_cast<DWORD>(fine);
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, LONG* lpDistanceToMoveHigh, DWORD dwMoveMethod) {
    auto o = trova(hFile);
    if (!o || o->tipo != tipo_oggetto::file || lpDistanceToMoveHigh != nullptr ||
        (dwMoveMethod != FILE_CURRENT && dwMoveMethod != FILE_BEGIN)) {
        ultimo_errore = 87;
        return INVALID_SET_FILE_POINTER;
    }
    int origine = dwMoveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_SET;
    if (std::fseek(o->f, lDistanceToMove, origine) != 0) {
        ultimo_errore = 131;  // ERROR_NEGATIVE_SEEK
        return INVALID_SET_FILE_POINTER;
    }
    return static_cast<DWORD>(std::ftell(o->f));
}
