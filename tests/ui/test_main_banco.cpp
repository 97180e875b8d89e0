#include "test_main_banco.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <utility>

#include "finestra_prova.h"
#include "finestra_principale.h"
#include "risorse.h"

namespace banco {

HWND principale = nullptr;
HWND pannello = nullptr;

namespace {

std::vector<evento> ev_finestra;
std::vector<evento> ev_pannello;
std::vector<scatola> ev_scatole;
std::deque<std::vector<int>> risposte;
int n_uscite = 0;
WNDPROC proc_pannello = nullptr;
HHOOK gancio = nullptr;

bool da_registrare(UINT msg) {
    return msg == WM_COMMAND || msg == WM_CLOSE || (msg >= WM_USER && msg <= MSG_MOSSA);
}

LRESULT CALLBACK spia_finestra(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (da_registrare(msg)) ev_finestra.push_back({msg, wParam, lParam});
    return CallWindowProcA(MainProc, hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK spia_pannello(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (da_registrare(msg)) ev_pannello.push_back({msg, wParam, lParam});
    return CallWindowProcA(proc_pannello, hWnd, msg, wParam, lParam);
}

BOOL CALLBACK raccogli_testo(HWND figlio, LPARAM lParam) {
    char classe[32] = "";
    GetClassNameA(figlio, classe, sizeof classe);
    if (lstrcmpiA(classe, "Static") == 0) {
        char testo[1024] = "";
        GetWindowTextA(figlio, testo, sizeof testo);
        auto* s = reinterpret_cast<std::string*>(lParam);
        if (testo[0] != '\0') {
            if (!s->empty()) *s += "|";
            *s += testo;
        }
    }
    return TRUE;
}

// A box or dialog is being activated: record it and post its answer.
LRESULT CALLBACK attivazione(int codice, WPARAM wParam, LPARAM lParam) {
    if (codice == HCBT_ACTIVATE) {
        HWND w = reinterpret_cast<HWND>(wParam);
        char classe[32] = "";
        GetClassNameA(w, classe, sizeof classe);
        if (lstrcmpA(classe, "#32770") == 0 && GetPropA(w, "vorandel risposto") == nullptr) {
            SetPropA(w, "vorandel risposto", reinterpret_cast<HANDLE>(1));
            scatola s;
            char titolo[256] = "";
            GetWindowTextA(w, titolo, sizeof titolo);
            s.titolo = titolo;
            EnumChildWindows(w, raccogli_testo, reinterpret_cast<LPARAM>(&s.testo));
            s.proprietario = GetWindow(w, GW_OWNER);
            std::vector<int> comandi;
            if (!risposte.empty()) {
                comandi = risposte.front();
                risposte.pop_front();
                s.risposta = comandi.back();
            } else if (GetDlgItem(w, IDNO) != nullptr) {
                s.risposta = IDNO;
            } else if (GetDlgItem(w, IDC_ANNULLA) != nullptr) {
                s.risposta = IDC_ANNULLA;
            } else {
                s.risposta = IDOK;
            }
            if (comandi.empty()) comandi.push_back(s.risposta);
            ev_scatole.push_back(s);
            for (int id : comandi)
                PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
        }
    }
    return CallNextHookEx(gancio, codice, wParam, lParam);
}

void esegui(MSG& m) {
    if (m.message == WM_QUIT) {
        n_uscite++;
        return;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
}

}  // namespace

void costruisci() {
    if (principale != nullptr) return;
    hInst = GetModuleHandleA(nullptr);
    gancio = SetWindowsHookExA(WH_CBT, attivazione, nullptr, GetCurrentThreadId());
    ASSERT_NE(gancio, nullptr);
    ASSERT_NE(registra_classe(), 0);
    principale = crea_finestra();
    ASSERT_NE(principale, nullptr);
    SetWindowLongPtrA(principale, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spia_finestra));
    prepara_partita(principale);
    ASSERT_NE(infoWin, nullptr);
    pannello = infoWin->finestra();
    ASSERT_NE(pannello, nullptr);
    proc_pannello =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(pannello, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spia_pannello)));
    ShowWindow(principale, SW_SHOWMAXIMIZED);
    UpdateWindow(principale);
}

const std::vector<evento>& eventi_finestra() { return ev_finestra; }
const std::vector<evento>& eventi_pannello() { return ev_pannello; }

int conta(const std::vector<evento>& ev, UINT msg) {
    int n = 0;
    for (const evento& e : ev) n += e.msg == msg;
    return n;
}

int conta(const std::vector<evento>& ev, UINT msg, WPARAM wParam) {
    int n = 0;
    for (const evento& e : ev) n += e.msg == msg && e.wParam == wParam;
    return n;
}

int uscite() { return n_uscite; }
const std::vector<scatola>& scatole() { return ev_scatole; }
void rispondi(int id) { risposte.push_back({id}); }
void rispondi(std::vector<int> ids) { risposte.push_back(std::move(ids)); }

void azzera() {
    ev_finestra.clear();
    ev_pannello.clear();
    ev_scatole.clear();
    risposte.clear();
    n_uscite = 0;
}

bool pompa_finche(const std::function<bool()>& condizione, DWORD ms) {
    auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    MSG m;
    while (!condizione()) {
        if (std::chrono::steady_clock::now() > fine) return false;
        if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            esegui(m);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void pompa_coda() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) esegui(m);
}

void ripristina() {
    // The panel's stop button ends the panel's tournament, if any; the main
    // window's own count is ended by its message.
    SendMessageA(GetDlgItem(pannello, ID_STOP), BM_CLICK, 0, 0);
    PostMessageA(principale, MSG_FINE_TORNEO, 0, 0);
    e_tipo umani[2] = {UMANO, UMANO};
    int livello[2] = {1, 1};
    game.set_opzioni(umani, livello);  // waits for a running search
    pompa_coda();
    if (game.stato() != FERMO) rispondi(IDYES);
    SendMessageA(principale, WM_COMMAND, CMD_NUOVA_PARTITA, 0);
    pompa_coda();
    azzera();
    nuove_righe_log();
}

}  // namespace banco
