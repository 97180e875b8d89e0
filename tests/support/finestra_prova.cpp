#include "finestra_prova.h"

#include "comune.h"

#include <cstdlib>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <chrono>
#include <cstdio>
#include <thread>

HWND finestra_prova() {
    static ATOM classe = 0;
    if (classe == 0) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vorandel prova";
        classe = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "vorandel prova", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::string percorso(const char* variabile) {
    const char* v = std::getenv(variabile);
    std::string p = v != nullptr ? v : "";
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string testo_di_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string t;
    for (char c; in.get(c);)
        if (c != '\r') t += c;
    return t;
}

bool attendi_messaggio(HWND hWnd, MSG* msg, DWORD ms) {
    auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (PeekMessageA(msg, hWnd, 0, 0, PM_REMOVE)) return true;
        if (std::chrono::steady_clock::now() > fine) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
#else
#include <winstub.h>

HWND finestra_prova() {
    HWND w = winstub_nuova_finestra();
    winstub_registra_invalidazioni(w);  // the tests read back what the match invalidated
    return w;
}

bool attendi_messaggio(HWND hWnd, MSG* msg, DWORD ms) { return winstub_attendi_messaggio(msg, hWnd, ms) != FALSE; }
#endif

std::vector<MSG> messaggi(HWND hWnd) {
    std::vector<MSG> v;
    MSG m;
    while (PeekMessageA(&m, hWnd, 0, 0, PM_REMOVE)) v.push_back(m);
    return v;
}

std::vector<std::string> nuove_righe_log() {
    static std::streamoff letto = 0;
    logfile.flush();
    std::ifstream in(nome_log_prova());
    in.seekg(letto);
    std::vector<std::string> righe;
    std::string r;
    while (std::getline(in, r)) righe.push_back(r);
    in.clear();
    in.seekg(0, std::ios::end);
    letto = in.tellg();
    return righe;
}
