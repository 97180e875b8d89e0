// A reader of the game as screen readers read it: through Microsoft Active
// Accessibility from another process, and by the events the game raises,
// heard through an out-of-context WinEvent hook. It reads no pixels and no
// internal state.
//
// Calls into another process's objects have no timeout, so a run that uses
// the reader arms a watchdog (`sorveglia`) that ends the process when the
// run hangs. Events arrive as messages to this thread, also while it is
// inside a call to the game; they are queued (`coda`) and looked at when the
// caller waits for one (`attendi_evento`), which keeps pumping the thread's
// messages until an event matches or its limit passes.
//
// One thread uses the reader: the one that called `inizia`.
#ifndef VORANDEL_LETTORE_H
#define VORANDEL_LETTORE_H

#include <windows.h>
#include <oleacc.h>

#include <deque>
#include <functional>
#include <string>

namespace lettore {

// One event as the hook heard it.
struct evento {
    DWORD tipo;  // EVENT_SYSTEM_ALERT, EVENT_OBJECT_FOCUS, ...
    HWND hwnd;
    LONG oggetto;  // OBJID_CLIENT, ...
    LONG figlio;   // CHILDID_SELF or a simple child's id
    DWORD quando;  // the tick count the hook was called at
};

// COM on this thread and the hook for every event of process `processo`
// (0: every process). False when either fails.
bool inizia(DWORD processo);
// Removes the hook and leaves COM.
void finisci();

// The events heard and not yet taken, oldest first.
std::deque<evento>& coda();
// Dispatches this thread's messages (the hook's calls among them) for up to
// `ms`, returning early when nothing is left to do after a message.
void pompa(DWORD ms);
// Takes out of the queue, oldest first, the first event for which `scelta`
// is true, dispatching messages meanwhile for up to `ms`; the events before
// it are dropped when `scarta` is set, kept otherwise. False when none came
// within the limit.
bool attendi_evento(const std::function<bool(const evento&)>& scelta, DWORD ms, evento* trovato = nullptr,
                    bool scarta = false);

// The object of window `w` for OBJID_CLIENT (or another object id), with a
// reference the caller releases; nullptr when the window gives none.
IAccessible* oggetto(HWND w, LONG id = OBJID_CLIENT);
// The object an event names, and in `figlio` the child id it comes with.
IAccessible* oggetto_evento(const evento& e, LONG* figlio);

// The parts of child `figlio` (CHILDID_SELF: the object itself). Texts come
// in UTF-8; an empty text when there is none. `ruolo` and `stato` give -1
// when the call fails.
std::string nome(IAccessible* a, LONG figlio);
std::string valore(IAccessible* a, LONG figlio);
std::string descrizione(IAccessible* a, LONG figlio);
long ruolo(IAccessible* a, LONG figlio);
long stato(IAccessible* a, LONG figlio);
// Its rectangle on the screen; false when it has none.
bool posizione(IAccessible* a, LONG figlio, RECT* r);
// Its default action ("click" for a cell); the call's result.
HRESULT azione(IAccessible* a, LONG figlio);
// The number of children, -1 when the call fails.
long figli(IAccessible* a);
// The simple child that get_accFocus, accHitTest or accNavigate answers
// with as a VT_I4 (CHILDID_SELF for the object itself); -1 for anything
// else: nothing, another object, a failure.
long fuoco(IAccessible* a);
long colpito(IAccessible* a, POINT schermo);
long vicino(IAccessible* a, LONG figlio, long verso);
// The selected simple child, as get_accSelection gives it; -1 for none.
long selezione(IAccessible* a);

// Ends this process with exit code 3 and a line on standard error naming
// `cosa`, unless `basta` is called within `ms`; one watchdog at a time.
void sorveglia(DWORD ms, const char* cosa);
void basta();

// A wide text in UTF-8.
std::string utf8(const wchar_t* s);

}  // namespace lettore

#endif
