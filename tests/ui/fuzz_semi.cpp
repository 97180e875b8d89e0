// Writes the seed files for fuzzing the sprite-sheet examination: small
// valid sheets of the indexed depths and one of each kind of malformed
// sheet, kept tiny so that the fuzzer mutates them quickly.
//
//   fuzz_semi DIRECTORY
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct seme {
    const char* nome;
    std::int32_t larghezza = 628, altezza = 460;
    unsigned bit = 1;
    std::uint32_t colori = 2, compressione = 0, header = 40;
    long pixel = -1;        // -1: what the dimensions need
    std::size_t tronca = 0;  // 0: the whole file
};

std::vector<unsigned char> byte(const seme& s) {
    std::size_t riga = (static_cast<std::size_t>(s.larghezza < 0 ? 0 : s.larghezza) * s.bit + 31) / 32 * 4;
    std::size_t n_pixel = s.pixel >= 0 ? static_cast<std::size_t>(s.pixel)
                                       : riga * static_cast<std::size_t>(s.altezza < 0 ? -s.altezza : s.altezza);
    std::size_t inizio = 54 + 4 * static_cast<std::size_t>(s.colori);
    std::vector<unsigned char> o(inizio + n_pixel);
    auto metti = [&o](std::size_t pos, std::uint32_t v, int n) {
        for (int i = 0; i < n; i++) o[pos + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    o[0] = 'B';
    o[1] = 'M';
    metti(2, static_cast<std::uint32_t>(o.size()), 4);
    metti(10, static_cast<std::uint32_t>(inizio), 4);
    metti(14, s.header, 4);
    metti(18, static_cast<std::uint32_t>(s.larghezza), 4);
    metti(22, static_cast<std::uint32_t>(s.altezza), 4);
    metti(26, 1, 2);
    metti(28, s.bit, 2);
    metti(30, s.compressione, 4);
    metti(46, s.colori, 4);
    for (std::size_t i = 0; i < s.colori && 54 + 4 * i + 3 < o.size(); i++) metti(54 + 4 * i, i & 1 ? 0xffffff : 0, 4);
    for (std::size_t i = inizio; i < o.size(); i++) o[i] = static_cast<unsigned char>(i * 31);
    if (s.tronca != 0) o.resize(s.tronca);
    return o;
}

seme con(const char* nome, void (*modifica)(seme&)) {
    seme s;
    s.nome = nome;
    modifica(s);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_semi DIRECTORY\n");
        return 2;
    }
    const seme semi[] = {
        con("valido_1bit", [](seme&) {}),
        con("quasi_1bit", [](seme& s) { s.pixel = 80 * 460 - 1; }),  // one byte short
        con("troncato_1bit", [](seme& s) { s.pixel = 1000; }),
        con("troncato_4bit", [](seme& s) { s.bit = 4, s.colori = 16, s.pixel = 2000; }),
        con("troncato_8bit", [](seme& s) { s.bit = 8, s.colori = 256, s.pixel = 100; }),
        con("troncato_24bit", [](seme& s) { s.bit = 24, s.colori = 0, s.pixel = 300; }),
        con("capovolto", [](seme& s) { s.altezza = -460; }),
        con("compresso", [](seme& s) { s.compressione = 1, s.bit = 8, s.colori = 3, s.pixel = 64; }),
        con("troppi_colori", [](seme& s) { s.colori = 300, s.pixel = 0; }),
        con("piccolo", [](seme& s) { s.larghezza = 100, s.altezza = 100; }),
        con("enorme", [](seme& s) { s.larghezza = s.altezza = 0x7fffffff, s.pixel = 16; }),
        con("header_v4", [](seme& s) { s.header = 108; }),
        con("sedici_bit", [](seme& s) { s.bit = 16, s.colori = 0, s.pixel = 64; }),
        con("corto", [](seme& s) { s.tronca = 30; }),  // a header cut short
    };
    for (const seme& s : semi) {
        std::vector<unsigned char> b = byte(s);
        std::string percorso = std::string(argv[1]) + "/" + s.nome;
        std::FILE* f = std::fopen(percorso.c_str(), "wb");
        if (f == nullptr || std::fwrite(b.data(), 1, b.size(), f) != b.size() || std::fclose(f) != 0) {
            std::perror(percorso.c_str());
            return 1;
        }
    }
    return 0;
}
