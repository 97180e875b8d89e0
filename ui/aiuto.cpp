// "Help topics": the rule that picks the help file or the HTML manual, the
// facts it needs from the running Windows, and the two calls that open them.
#include "aiuto.h"

#include <shellapi.h>

#include <cstring>

e_via_aiuto via_aiuto(unsigned versione, bool wine, bool manuale_html) {
    // Wine's own Help engine opens the help file, whatever version it reports.
    if (wine || versione < VERSIONE_SENZA_WINHELP || !manuale_html) return VIA_WINHELP;
    return VIA_BROWSER;
}

// GetVersion's low byte is the major number on every Windows, 95 included.
// Without a manifest, Windows 8 and later report 6.2, which still counts as
// "Vista or later".
unsigned versione_windows() { return LOBYTE(LOWORD(GetVersion())); }

bool sotto_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int pagina_manuale(char* pagina, unsigned dim) {
    static const char coda[] = "manuale\\index.html";
    if (pagina == nullptr || dim == 0) return 0;
    pagina[0] = '\0';
    char gioco[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, gioco, sizeof gioco);
    if (n == 0 || n >= sizeof gioco) return 0;  // failed, or cut short
    // The folder keeps its last backslash.
    char* barra = std::strrchr(gioco, '\\');
    if (barra == nullptr) return 0;
    barra[1] = '\0';
    size_t cartella = std::strlen(gioco);
    if (cartella + sizeof coda > dim) return 0;
    std::memcpy(pagina, gioco, cartella);
    std::memcpy(pagina + cartella, coda, sizeof coda);
    return 1;
}

bool esiste_file(const char* pagina) {
    DWORD attributi = GetFileAttributesA(pagina);
    return attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int mostra_manuale(HWND hWnd, e_via_aiuto via, const char* pagina) {
    if (via == VIA_BROWSER && pagina != nullptr) {
        // Values above 32 mean that the browser was started.
        HINSTANCE esito = ShellExecuteA(hWnd, "open", pagina, nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(esito) > 32) return 1;
        // No browser for the page: the help file is the manual that is left.
    }
    return WinHelpA(hWnd, "Vorandel.hlp", HELP_CONTENTS, 0) ? 1 : 0;
}

int apri_aiuto(HWND hWnd) {
    char pagina[MAX_PATH];
    bool html = pagina_manuale(pagina, sizeof pagina) && esiste_file(pagina);
    e_via_aiuto via = via_aiuto(versione_windows(), sotto_wine(), html);
    return mostra_manuale(hWnd, via, html ? pagina : nullptr);
}
