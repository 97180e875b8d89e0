// "Help topics": the rule that picks the help file or the HTML manual, the
// facts it needs from the running Windows, and the calls that open them.
#include "aiuto.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

e_via_aiuto via_aiuto(bool wine, bool vista, bool manuale_html) {
    // Wine's own Help engine opens the help file, whatever it exports.
    if (wine || !vista || !manuale_html) return VIA_WINHELP;
    return VIA_BROWSER;
}

bool sotto_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Looked up, never imported: the game must start on Windows XP too.
bool da_vista() {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    return kernel32 != nullptr && GetProcAddress(kernel32, "GetTickCount64") != nullptr;
}

int pagina_manuale(wchar_t* pagina, unsigned dim) {
    static const wchar_t coda[] = L"manuale\\index.html";
    if (pagina == nullptr || dim == 0) return 0;
    pagina[0] = L'\0';
    wchar_t gioco[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, gioco, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;  // failed, or cut short
    // The folder keeps its last backslash.
    wchar_t* barra = std::wcsrchr(gioco, L'\\');
    if (barra == nullptr) return 0;
    barra[1] = L'\0';
    std::size_t cartella = std::wcslen(gioco);
    const std::size_t lunga = sizeof coda / sizeof coda[0];
    if (cartella + lunga > dim) return 0;
    std::wmemcpy(pagina, gioco, cartella);
    std::wmemcpy(pagina + cartella, coda, lunga);
    return 1;
}

bool esiste_file(const wchar_t* pagina) {
    DWORD attributi = GetFileAttributesW(pagina);
    return attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// Where the browser cannot be started and the Help engine is only a stub
// (it would "succeed" by showing that the format is not supported), the
// user is at least told where the manual's pages are.
void indica_cartella(HWND hWnd, const wchar_t* pagina) {
    std::wstring cartella = pagina;
    std::wstring::size_type barra = cartella.find_last_of(L'\\');
    if (barra != std::wstring::npos) cartella.erase(barra);
    std::wstring testo = L"The manual could not be opened in a browser.\nIts pages are in the folder:\n\n" + cartella +
                         L"\n\nOpen index.html there to read it.";
    MessageBoxW(hWnd, testo.c_str(), L"Help topics", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int mostra_manuale(HWND hWnd, e_via_aiuto via, const wchar_t* pagina) {
    if (via == VIA_BROWSER && pagina != nullptr) {
        // Values above 32 mean that the browser was started.
        HINSTANCE esito = ShellExecuteW(hWnd, L"open", pagina, nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(esito) > 32) return 1;
        indica_cartella(hWnd, pagina);
        return 0;
    }
    return WinHelpA(hWnd, "Vorandel.hlp", HELP_CONTENTS, 0) ? 1 : 0;
}

int apri_aiuto(HWND hWnd) {
    wchar_t pagina[MAX_PATH];
    bool html = pagina_manuale(pagina, MAX_PATH) && esiste_file(pagina);
    e_via_aiuto via = via_aiuto(sotto_wine(), da_vista(), html);
    return mostra_manuale(hWnd, via, html ? pagina : nullptr);
}
