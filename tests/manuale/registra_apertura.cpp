// Stands in for the browser in the help tests. Registered as the program
// that opens .html pages, it is started as
//     registra_apertura.exe RECORD PAGE
// and appends PAGE, as it was handed over (read from the wide command line,
// written in UTF-8), and a newline to the file RECORD. It shows nothing and
// ends at once; exit code 0 when the line was written.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) return 2;
    int n = WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return 1;
    std::string pagina(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, &pagina[0], n, nullptr, nullptr);
    pagina.resize(static_cast<std::size_t>(n - 1));
    std::FILE* registro = _wfopen(argv[1], L"ab");
    if (registro == nullptr) return 1;
    bool scritto = std::fprintf(registro, "%s\n", pagina.c_str()) > 0;
    return std::fclose(registro) == 0 && scritto ? 0 : 1;
}
