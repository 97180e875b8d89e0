// Writes the seed files for fuzzing the sprite-sheet examination: small
// valid sheets of the indexed depths and one of each kind of malformed
// sheet, kept tiny so that the fuzzer mutates them quickly.
//
//   fuzz_semi DIRECTORY
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "foglio_finto.h"

namespace {

struct seme {
    const char* nome;
    foglio_finto foglio;
};

// A seed: a 1-bit sheet with two colours of the game's size, as `modifica`
// changes it.
seme con(const char* nome, void (*modifica)(foglio_finto&)) {
    seme s{nome, {}};
    s.foglio.bit = 1;
    s.foglio.colori = 2;
    modifica(s.foglio);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_semi DIRECTORY\n");
        return 2;
    }
    const seme semi[] = {
        con("valido_1bit", [](foglio_finto&) {}),
        con("quasi_1bit", [](foglio_finto& f) { f.pixel = static_cast<long>(f.richiesti()) - 1; }),  // one byte short
        con("troncato_1bit", [](foglio_finto& f) { f.pixel = 1000; }),
        con("troncato_4bit", [](foglio_finto& f) { f.bit = 4, f.colori = 16, f.pixel = 2000; }),
        con("troncato_8bit", [](foglio_finto& f) { f.bit = 8, f.colori = 256, f.pixel = 100; }),
        con("troncato_24bit", [](foglio_finto& f) { f.bit = 24, f.colori = 0, f.pixel = 300; }),
        con("capovolto", [](foglio_finto& f) { f.altezza = -f.altezza; }),
        con("compresso", [](foglio_finto& f) { f.compressione = 1, f.bit = 8, f.colori = 3, f.pixel = 64; }),
        con("troppi_colori", [](foglio_finto& f) { f.colori = 300, f.pixel = 0; }),
        con("piccolo", [](foglio_finto& f) { f.larghezza = 100, f.altezza = 100; }),
        con("enorme", [](foglio_finto& f) { f.larghezza = f.altezza = 0x7fffffff, f.pixel = 16; }),
        con("header_v4", [](foglio_finto& f) { f.header = 108; }),
        con("sedici_bit", [](foglio_finto& f) { f.bit = 16, f.colori = 0, f.pixel = 64; }),
        con("corto", [](foglio_finto& f) { f.tronca = 30; }),  // a header cut short
    };
    for (const seme& s : semi) {
        std::vector<unsigned char> b = s.foglio.byte();
        std::string percorso = std::string(argv[1]) + "/" + s.nome;
        std::FILE* f = std::fopen(percorso.c_str(), "wb");
        if (f == nullptr || std::fwrite(b.data(), 1, b.size(), f) != b.size() || std::fclose(f) != 0) {
            std::perror(percorso.c_str());
            return 1;
        }
    }
    return 0;
}
