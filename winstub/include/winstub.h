// What the Win32 stand-in offers tests and headless tools beyond the calls
// of <windows.h>: windows to post to, and a way to read back, in order, what
// the game posted and invalidated.
#ifndef VORANDEL_WINSTUB_H
#define VORANDEL_WINSTUB_H

#include <windows.h>

#include <vector>

// One InvalidateRect call as the stand-in saw it; `tutto` is set when the
// caller passed no rectangle (the whole client area).
struct winstub_invalidazione {
    RECT rect;
    bool tutto;
    BOOL erase;
};

// A new window handle that messages can be posted to and read back from.
HWND winstub_nuova_finestra();

// From now on, keep a record of the InvalidateRect calls made on `hWnd`. A
// new window keeps none, so a program that plays game after game on it
// (the match runner) stays the same size however many games it plays.
void winstub_registra_invalidazioni(HWND hWnd);

// The InvalidateRect calls made on `hWnd` since the last call, in order;
// reading them clears the record. Only for a window that keeps one: asked
// of any other, it stops the program with a message rather than answer
// "none".
std::vector<winstub_invalidazione> winstub_invalidazioni(HWND hWnd);

// Waits up to `ms` milliseconds for a message posted to `hWnd` and removes it
// into `*msg`. FALSE when none arrived in time.
BOOL winstub_attendi_messaggio(MSG* msg, HWND hWnd, DWORD ms);

// The next `quante` calls of CreateThread fail (return null, last error 8).
void winstub_fallisci_thread(int quante);

// From now on (`si` true), CreateThread does not start a thread of its own:
// it hands the thread function to one thread that the stand-in keeps for
// the rest of the run, which runs the functions it is handed one after
// another, in the order they were handed over. The handle is signalled when
// the function has returned, as a thread's would be. For a program whose
// threads never need to run at once (the match runner: each worker waits
// for the one before it) this saves starting a thread for every one.
void winstub_thread_tenuto(bool si);

// The threads started with CreateThread that have not yet returned (those
// put off by winstub_thread_differiti included).
int winstub_thread_in_corso();

// Seams for tests, each one hook (null for none), called on the thread that
// reaches the point and free to block there, so that a test can hold a
// worker at that point and act meanwhile:
//  - winstub_dopo_il_post: by every PostMessageA that succeeds, once the
//    message is in the queue and before PostMessageA returns;
//  - winstub_prima_del_post: by every PostMessageA to a window that exists,
//    before the message is queued;
//  - winstub_all_avvio: by every thread that CreateThread starts, before
//    its thread function runs;
//  - winstub_prima_di_attendere: by WaitForSingleObject when the object is
//    not signalled, before the caller blocks (outside every lock of the
//    stand-in's, so that the hook may set events and post): a test learns
//    that a thread is about to wait, with no clock, and may then release
//    what it waits for.
typedef void (*winstub_gancio_post)(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void winstub_dopo_il_post(winstub_gancio_post gancio);
void winstub_prima_del_post(winstub_gancio_post gancio);
typedef void (*winstub_gancio_avvio)();
void winstub_all_avvio(winstub_gancio_avvio gancio);
typedef void (*winstub_gancio_attesa)(HANDLE oggetto);
void winstub_prima_di_attendere(winstub_gancio_attesa gancio);

// The next `quante` posts of message `messaggio` (0: of any message) to a
// window that exists are refused, as Windows refuses a post to a full
// queue: PostMessageA returns FALSE, last error 1816 (not enough quota), and
// queues nothing. 0 refuses none from now on. The posts refused so far are
// counted (winstub_post_rifiutati).
void winstub_rifiuta_post(UINT messaggio, int quante);
int winstub_post_rifiutati();

// From now on (`si` true), CreateThread starts nothing: it keeps the thread
// function and its argument, and hands back a handle as usual. A test then
// runs the functions kept, at moments of its own choosing, with
// winstub_esegui_differito: so a program's threads run at points fixed by
// the test alone, never by the machine's timing. Turned off, it starts
// threads again; what is still kept stays kept.
void winstub_thread_differiti(bool si);
// How many thread functions are kept and not yet run.
int winstub_differiti_in_attesa();
// Runs the `k`-th of the kept functions (0 the oldest) on a thread of its
// own, and returns once it has returned; its handle is then signalled.
// False, running nothing, when there is no such function.
bool winstub_esegui_differito(int k);

#endif
