// Stands in for the browser in the help tests. Registered as the program
// that opens .html pages, it is started as
//     registra_apertura.exe RECORD PAGE
// and appends PAGE, as it was handed over, and a newline to the file RECORD.
// It shows nothing and ends at once; exit code 0 when the line was written.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::FILE* registro = std::fopen(argv[1], "ab");
    if (registro == nullptr) return 1;
    bool scritto = std::fprintf(registro, "%s\n", argv[2]) > 0;
    return std::fclose(registro) == 0 && scritto ? 0 : 1;
}
