// The computer's move: a worker thread that scores every legal move of the
// player to move with a game tree and posts the best one as MSG_MOSSA.
#include "computer.h"

#include <cstring>
#include <new>

#include "albero.h"
#include "partita.h"

int partita::mossa_macchina(HWND hWnd) {
    static th_param thread_param;
    static HANDLE th_handle = nullptr;
    static DWORD th_id = 0;

    if (turno < 0) return 0;
    // One search per turn: a second request for the same turn (from a new
    // game and from the Options dialog, say) starts nothing.
    if (serie_cercata == serie) return 0;

    thread_param.hWnd = hWnd;
    thread_param.game = this;
    thread_param.firma = serie;
    // Each worker gets its own copy of the argument, fixed now, so that a
    // later request cannot change what an earlier worker posts.
    th_param* param = new (std::nothrow) th_param(thread_param);
    if (param == nullptr) {
        logfile << "mossa_macchina: memoria esaurita, nessuna ricerca" << std::endl;
        return 0;
    }
    th_handle = CreateThread(nullptr, 0, Thread, param, 0, &th_id);
    if (th_handle == nullptr) {
        logfile << "mossa_macchina: CreateThread fallita, errore " << GetLastError() << std::endl;
        delete param;
        return 0;
    }
    serie_cercata = serie;
    // The worker is never waited on; its handle is not needed.
    CloseHandle(th_handle);
    th_handle = nullptr;
    return 1;
}

DWORD WINAPI Thread(LPVOID param) {
    th_param* arg = static_cast<th_param*>(param);
    partita* p = arg->game;
    WaitForSingleObject(p->mutex, INFINITE);

    std::int32_t L_migliore = -1;
    double L_punti = 0.0;
    double L_max;
    const std::uint64_t minimo = 0xFE37E43C8800759DULL;  // just below -1e300, under every score
    std::memcpy(&L_max, &minimo, sizeof L_max);

    int L_turno = p->turno;
    pedina L_ped[2] = {p->ped[0], p->ped[1]};

    if (p->n_lecite == 0) {
        L_migliore = -1;
    } else if (p->n_lecite == 1) {
        L_migliore = 0;
    } else if (L_turno >= 0) {
        for (std::int32_t i = 0; i < p->n_lecite; i++) {
            L_ped[L_turno] = p->ped[L_turno];
            L_ped[L_turno].move_to(p->direz[i]);
            albero* radice = new (std::nothrow)
                albero(L_ped[0], L_ped[1], 1 - L_turno, p->skill[L_turno], p->scacch);
            if (radice == nullptr) {
                // No memory for even the root: keep a legal move rather than none.
                if (L_migliore < 0) L_migliore = i;
                continue;
            }
            L_punti = radice->visita(L_turno, 1);
            delete radice;
            if (L_punti > L_max) {
                L_max = L_punti;
                L_migliore = i;
            }
        }
    }

    PostMessageA(arg->hWnd, MSG_MOSSA, static_cast<WPARAM>(L_migliore), static_cast<LPARAM>(arg->firma));
    SetEvent(p->mutex);
    delete arg;
    return 0;
}
