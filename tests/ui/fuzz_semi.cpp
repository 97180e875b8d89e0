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
    std::int32_t larghezza = 628, altezza = 460;
    unsigned bit = 1, piani = 1, header = 40;
    std::uint32_t colori = 2, compressione = 0;
    long pixel = -1;  // -1: what the dimensions need
    char firma = 'B';
};

void metti(std::vector<unsigned char>& o, std::size_t pos, std::uint32_t v, int n) {
    for (int i = 0; i < n; i++) o[pos + i] = static_cast<unsigned char>(v >> (8 * i));
}

std::vector<unsigned char> byte(const seme& s) {
    std::size_t riga = (static_cast<std::size_t>(s.larghezza < 0 ? 0 : s.larghezza) * s.bit + 31) / 32 * 4;
    std::size_t n_pixel = s.pixel >= 0 ? static_cast<std::size_t>(s.pixel)
                                       : riga * static_cast<std::size_t>(s.altezza < 0 ? -s.altezza : s.altezza);
    std::size_t inizio = 54 + 4 * static_cast<std::size_t>(s.colori);
    std::vector<unsigned char> o(inizio + n_pixel);
    o[0] = static_cast<unsigned char>(s.firma);
    o[1] = 'M';
    metti(o, 2, static_cast<std::uint32_t>(o.size()), 4);
    metti(o, 10, static_cast<std::uint32_t>(inizio), 4);
    metti(o, 14, s.header, 4);
    metti(o, 18, static_cast<std::uint32_t>(s.larghezza), 4);
    metti(o, 22, static_cast<std::uint32_t>(s.altezza), 4);
    metti(o, 26, s.piani, 2);
    metti(o, 28, s.bit, 2);
    metti(o, 30, s.compressione, 4);
    metti(o, 46, s.colori, 4);
    for (std::size_t i = 0; i < s.colori && 54 + 4 * i + 3 < o.size(); i++) metti(o, 54 + 4 * i, i & 1 ? 0xffffff : 0, 4);
    for (std::size_t i = inizio; i < o.size(); i++) o[i] = static_cast<unsigned char>(i * 31);
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_semi DIRECTORY\n");
        return 2;
    }
    std::vector<std::pair<const char*, seme>> semi;
    seme s;
    semi.push_back({"valido_1bit", s});
    s.pixel = 80 * 460 - 1;  // one byte short
    semi.push_back({"quasi_1bit", s});
    s.pixel = 1000;
    semi.push_back({"troncato_1bit", s});
    s = seme{};
    s.bit = 4, s.colori = 16, s.pixel = 2000;
    semi.push_back({"troncato_4bit", s});
    s = seme{};
    s.bit = 8, s.colori = 256, s.pixel = 100;
    semi.push_back({"troncato_8bit", s});
    s = seme{};
    s.bit = 24, s.colori = 0, s.pixel = 300;
    semi.push_back({"troncato_24bit", s});
    s = seme{};
    s.altezza = -460;
    semi.push_back({"capovolto", s});
    s = seme{};
    s.compressione = 1, s.bit = 8, s.colori = 3, s.pixel = 64;
    semi.push_back({"compresso", s});
    s = seme{};
    s.colori = 300, s.pixel = 0;
    semi.push_back({"troppi_colori", s});
    s = seme{};
    s.larghezza = 100, s.altezza = 100;
    semi.push_back({"piccolo", s});
    s = seme{};
    s.larghezza = 0x7fffffff, s.altezza = 0x7fffffff, s.pixel = 16;
    semi.push_back({"enorme", s});
    s = seme{};
    s.header = 108;
    semi.push_back({"header_v4", s});
    s = seme{};
    s.bit = 16, s.colori = 0, s.pixel = 64;
    semi.push_back({"sedici_bit", s});

    for (const auto& [nome, sm] : semi) {
        std::vector<unsigned char> b = byte(sm);
        std::string percorso = std::string(argv[1]) + "/" + nome;
        std::FILE* f = std::fopen(percorso.c_str(), "wb");
        if (f == nullptr || std::fwrite(b.data(), 1, b.size(), f) != b.size() || std::fclose(f) != 0) {
            std::perror(percorso.c_str());
            return 1;
        }
    }
    // A header cut short.
    std::vector<unsigned char> b = byte(seme{});
    std::string percorso = std::string(argv[1]) + "/corto";
    std::FILE* f = std::fopen(percorso.c_str(), "wb");
    if (f == nullptr || std::fwrite(b.data(), 1, 30, f) != 30 || std::fclose(f) != 0) return 1;
    return 0;
}
