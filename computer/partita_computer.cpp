// The computer's move: the members of `partita` that start a worker thread
// for it and take it up again when it was lost, and the worker, which makes
// the decision (scegli_mossa, in decisione.cpp) and posts it as MSG_MOSSA.
#include <new>

#include "computer.h"
#include "partita.h"
#include "posta.h"

namespace {

// Moves a turn's note forward to `firma`; a worker of an older turn that
// comes after a newer one leaves the newer note as it is.
void annota(std::atomic<std::uint32_t>& nota, std::uint32_t firma) {
    std::uint32_t vista = nota.load(std::memory_order_acquire);
    while (static_cast<std::int32_t>(firma - vista) > 0 &&
           !nota.compare_exchange_weak(vista, firma, std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
}

}  // namespace

int partita::mossa_macchina(HWND hWnd) {
    if (turno < 0) return 0;
    // One search per turn: a second request for the same turn (from a new
    // game and from the window, say) starts nothing.
    if (serie_cercata == serie) return 0;

    // The worker's own argument, with its copy of the position, fixed now so
    // that a later request cannot change what an earlier worker reads or
    // posts. (The board is copied, never default-constructed: a new board
    // would seed the C library's generator again.)
    th_param* param = new (std::nothrow) th_param{
        hWnd, this, serie,
        situazione{scacch, {ped[0], ped[1]}, turno, n_lecite, {direz[0], direz[1], direz[2]}, skill[turno]}};
    if (param == nullptr) {
        logfile << "mossa_macchina: memoria esaurita, nessuna ricerca" << std::endl;
        return 0;
    }
    // Counted before it exists: a new game or new options that come before
    // the thread has run, or taken the event, wait for it all the same.
    lavoratori.fetch_add(1, std::memory_order_acq_rel);
    DWORD th_id = 0;
    HANDLE th_handle = CreateThread(nullptr, 0, Thread, param, 0, &th_id);
    if (th_handle == nullptr) {
        lavoratori.fetch_sub(1, std::memory_order_acq_rel);
        logfile << "mossa_macchina: CreateThread fallita, errore " << GetLastError() << std::endl;
        delete param;
        return 0;
    }
    serie_cercata = serie;
    // The worker is never waited on by its handle; the handle is not needed.
    CloseHandle(th_handle);
    return 1;
}

void partita::attendi_lavoratori() {
    while (lavoratori.load(std::memory_order_acquire) > 0) WaitForSingleObject(segnale, INFINITE);
}

int partita::riprendi(HWND hWnd) {
    if (turno < 0 || tipo[turno] != COMPUTER || serie_cercata != serie) return 0;
    // A search requested or still running has not noted its turn yet: its
    // move will come, after the box that has just ended, and a box that
    // loses it later calls this again. (The event says nothing here: a
    // worker that has just posted still holds it for a moment, and its move
    // may be gone already.)
    if (serie_postata.load(std::memory_order_acquire) != serie) return 0;
    // Noted: the search is over and its move is being posted. Only once the
    // post is complete does the queue tell whether the move was lost; the
    // worker does nothing else in between, so this is a moment's wait.
    while (serie_consegnata.load(std::memory_order_acquire) != serie) WaitForSingleObject(segnale, INFINITE);
    if (scarta_mosse_scadute(hWnd) > 0) return 0;
    logfile << "riprendi: la mossa del computer per il turno " << serie << " e' andata persa, nuova ricerca"
            << std::endl;
    // The new search has posted nothing yet. (Only this turn's own notes
    // are taken back; no worker notes a newer turn than the one in
    // progress.)
    std::uint32_t nota = serie;
    serie_postata.compare_exchange_strong(nota, serie - 1, std::memory_order_acq_rel);
    nota = serie;
    serie_consegnata.compare_exchange_strong(nota, serie - 1, std::memory_order_acq_rel);
    serie_cercata = serie - 1;
    return mossa_macchina(hWnd);
}

DWORD WINAPI Thread(LPVOID param) {
    th_param* arg = static_cast<th_param*>(param);
    partita* p = arg->game;
    // Held for the whole search: a new game or new options wait for it.
    WaitForSingleObject(p->mutex, INFINITE);
    std::int32_t L_migliore = scegli_mossa(arg->posizione);
    // The turn is noted before the move is posted: once posted, the move can
    // be taken from the queue and dropped at once (by a box's loop, see regia.h), and
    // `riprendi` must then know that it was sent, or nobody moves again.
    // The post's end is noted too, and `riprendi` waits for it when it finds
    // the first note without the second: so noting and posting are one step
    // as far as it can see, and a move on its way is never searched twice.
    // A post that Windows refuses (a full queue) is tried again a few
    // times, then given up: the turn stays noted as posted, so `riprendi`
    // (after a box, or on the window's timer) finds the move missing and
    // searches again. The worker never waits longer than those few tries: a
    // new game waits for it without pumping messages.
    annota(p->serie_postata, arg->firma);
    posta_con_tentativi(arg->hWnd, MSG_MOSSA, static_cast<WPARAM>(L_migliore), static_cast<LPARAM>(arg->firma),
                        PAUSA_TRA_TENTATIVI_MS);
    annota(p->serie_consegnata, arg->firma);
    SetEvent(p->segnale);
    SetEvent(p->mutex);
    // Gone from the count, this worker must touch the match no more: a new
    // game may begin at once, and a match that ends may be destroyed.
    HANDLE segnale = p->segnale;
    delete arg;
    p->lavoratori.fetch_sub(1, std::memory_order_acq_rel);
    SetEvent(segnale);
    return 0;
}
