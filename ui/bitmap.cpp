// Loading the sprite sheet. The file is read whole, examined, and only a
// sheet that the drawing can use without reading past its pixels is kept.
#include "bitmap.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sstream>
#include <vector>

#include "comune.h"

static_assert(sizeof(BITMAPINFO2) == 40 + 4 * FOGLIO_MAX_COLORI, "BITMAPINFO2 must have the platform's layout");

namespace {

constexpr std::size_t FILE_HEADER = 14;
constexpr std::size_t INFO_HEADER = 40;
constexpr std::size_t TESTATE = FILE_HEADER + INFO_HEADER;

std::uint32_t leggi32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t leggi16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

esame_foglio rifiuta(std::string motivo) {
    esame_foglio e{};
    e.valido = 0;
    e.motivo = std::move(motivo);
    return e;
}

template <typename T>
std::string testo(const char* prima, T valore, const char* dopo = "") {
    std::ostringstream s;
    s << prima << valore << dopo;
    return s.str();
}

}  // namespace

esame_foglio esamina_foglio(const unsigned char* byte, std::size_t n) {
    if (byte == nullptr || n < TESTATE) return rifiuta(testo("file too short for the headers (", n, " bytes)"));
    if (n > FOGLIO_MAX_BYTE) return rifiuta(testo("file too large (", n, " bytes)"));
    if (byte[0] != 'B' || byte[1] != 'M') return rifiuta("not a bitmap file (no BM signature)");

    const unsigned char* info = byte + FILE_HEADER;
    std::uint32_t dimensione_header = leggi32(info + 0);
    std::int32_t larghezza = static_cast<std::int32_t>(leggi32(info + 4));
    std::int32_t altezza = static_cast<std::int32_t>(leggi32(info + 8));
    std::uint16_t piani = leggi16(info + 12);
    std::uint16_t bit = leggi16(info + 14);
    std::uint32_t compressione = leggi32(info + 16);
    std::uint32_t colori = leggi32(info + 32);

    if (dimensione_header != INFO_HEADER)
        return rifiuta(testo("unsupported header size ", dimensione_header, " (40 expected)"));
    if (piani != 1) return rifiuta(testo("bad number of planes ", piani));
    if (compressione != BI_RGB) return rifiuta(testo("compressed sheet (compression ", compressione, ")"));
    if (altezza < 0) return rifiuta("top-down sheet (negative height)");
    if (colori > FOGLIO_MAX_COLORI) return rifiuta(testo("colour table of ", colori, " entries (at most 257)"));

    // Indexed sheets need the colour table their pixels refer to; direct
    // colour sheets may carry an optional one, which the drawing ignores.
    // Sixteen bits per pixel cannot hold the exact pure white of the masks.
    switch (bit) {
    case 1:
    case 4:
    case 8:
        if (colori == 0) return rifiuta(testo("", bit, "-bit sheet without a colour table"));
        if (colori > (1u << bit)) return rifiuta(testo("", bit, "-bit sheet with too many colours"));
        break;
    case 24:
    case 32:
        break;
    default:
        return rifiuta(testo("unsupported bit depth ", bit));
    }

    if (larghezza < FOGLIO_LARGHEZZA || altezza < FOGLIO_ALTEZZA) {
        std::ostringstream s;
        s << "sheet of " << larghezza << " by " << altezza << " smaller than " << FOGLIO_LARGHEZZA
          << " by " << FOGLIO_ALTEZZA;
        return rifiuta(s.str());
    }

    std::size_t inizio = TESTATE + 4 * static_cast<std::size_t>(colori);
    if (n < inizio) return rifiuta(testo("colour table truncated (", colori, " entries announced)"));

    // Rows are padded to whole 32-bit words. The file size is capped, so
    // anything that does not fit in it is refused before it can overflow.
    std::uint64_t riga = (static_cast<std::uint64_t>(larghezza) * bit + 31) / 32 * 4;
    std::uint64_t richiesti = riga * static_cast<std::uint64_t>(altezza);
    std::size_t presenti = n - inizio;
    if (richiesti > presenti) {
        std::ostringstream s;
        s << "pixel data truncated (" << presenti << " bytes, " << richiesti << " needed)";
        return rifiuta(s.str());
    }

    esame_foglio e{};
    e.valido = 1;
    e.colori = colori;
    e.inizio = inizio;
    e.richiesti = static_cast<std::size_t>(richiesti);
    return e;
}

namespace {

// Reads exactly `quanti` bytes; false on a short read.
bool leggi_tutto(HANDLE file, unsigned char* dove, DWORD quanti) {
    while (quanti > 0) {
        DWORD numero = 0;
        if (!ReadFile(file, dove, quanti, &numero, nullptr) || numero == 0) return false;
        dove += numero;
        quanti -= numero;
    }
    return true;
}

void rifiutato(const char* nomefile, const std::string& motivo) {
    logfile << "sprite sheet " << (nomefile != nullptr ? nomefile : "(none)") << " refused: " << motivo << "\n";
    logfile.flush();
}

}  // namespace

bitmap::bitmap(const char* nomefile) : binfo{}, dati(nullptr) {
    HANDLE file = nomefile == nullptr ? INVALID_HANDLE_VALUE
                                      : CreateFileA(nomefile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // No sheet at all: the program ends quietly, as it always has; only
        // a sheet that is there but unusable is worth a line in the log.
        return;
    }

    DWORD alta = 0;
    DWORD dimensione = GetFileSize(file, &alta);
    if (dimensione == INVALID_FILE_SIZE || alta != 0 || dimensione > FOGLIO_MAX_BYTE) {
        CloseHandle(file);
        rifiutato(nomefile, "file too large");
        return;
    }
    std::vector<unsigned char> contenuto;
    try {
        contenuto.resize(dimensione);
    } catch (const std::bad_alloc&) {
        CloseHandle(file);
        rifiutato(nomefile, "out of memory");
        return;
    }
    bool letto = SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && leggi_tutto(file, contenuto.data(), dimensione);
    CloseHandle(file);
    if (!letto) {
        rifiutato(nomefile, "read error");
        return;
    }

    esame_foglio e = esamina_foglio(contenuto.data(), contenuto.size());
    if (!e.valido) {
        rifiutato(nomefile, e.motivo);
        return;
    }

    // Header and colour table go into binfo as the file holds them; the
    // pixel data is everything after the colour table.
    std::memcpy(&binfo.bmiHeader, contenuto.data() + FILE_HEADER, INFO_HEADER);
    std::memcpy(reinterpret_cast<unsigned char*>(&binfo) + INFO_HEADER, contenuto.data() + TESTATE, 4 * e.colori);
    std::size_t numero = contenuto.size() - e.inizio;
    dati = new (std::nothrow) unsigned char[numero];
    if (dati == nullptr) {
        binfo = BITMAPINFO2{};
        rifiutato(nomefile, "out of memory");
        return;
    }
    std::memcpy(dati, contenuto.data() + e.inizio, numero);
}

bitmap::~bitmap() { delete[] dati; }
