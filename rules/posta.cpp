// Posts tried again when Windows refuses them (see posta.h).
#include "posta.h"

#include <atomic>

namespace {

std::atomic<std::uint32_t> rinunciati{0};

}  // namespace

bool posta_con_tentativi(HWND hWnd, UINT messg, WPARAM wParam, LPARAM lParam, DWORD pausa) {
    for (int k = 0; k < TENTATIVI_POST; k++) {
        if (k > 0 && pausa > 0) Sleep(pausa);
        if (PostMessageA(hWnd, messg, wParam, lParam)) return true;
    }
    rinunciati.fetch_add(1, std::memory_order_acq_rel);
    return false;
}

std::uint32_t post_rinunciati() { return rinunciati.load(std::memory_order_acquire); }
