// Writes the program icon, a 32 by 32 picture in the 16 standard colours:
// a small board of cells with arrows, the yellow token in the top left
// corner and the red token in the top right one, as at the start of a game.
// The picture is computed, so every build writes the same bytes.
//
//   genera_icona OUTPUT.ico          the icon of the exe
//   genera_icona OUTPUT.png [LATO]   the same picture as a PNG for the Linux
//                                    desktop, LATO pixels a side (32, the
//                                    default, or a multiple of it up to 256:
//                                    each pixel becomes a square)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "file_dipinto.h"

namespace {

constexpr int LATO = 32;

// The 16 standard colours, by index (blue, green, red order as the file
// wants them is applied when writing).
struct colore {
    std::uint8_t r, g, b;
};
constexpr colore G_tavolozza[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
enum : std::uint8_t {
    NERO = 0,
    MARRONE = 1,
    VERDE_SCURO = 2,
    GRIGIO_CHIARO = 7,
    GRIGIO = 8,
    ROSSO = 9,
    GIALLO = 11,
    BIANCO = 15,
};

using immagine = std::uint8_t[LATO][LATO];  // [y][x], colour indices

// A disc centred on the pixel corner (cx, cy); `diametro2` is the square of
// its diameter in pixels.
void cerchio(immagine& img, int cx, int cy, int diametro2, std::uint8_t c) {
    for (int y = 0; y < LATO; y++)
        for (int x = 0; x < LATO; x++) {
            // Centre between pixels: twice the coordinates avoids fractions.
            int dx = 2 * x + 1 - 2 * cx;
            int dy = 2 * y + 1 - 2 * cy;
            if (dx * dx + dy * dy <= diametro2) img[y][x] = c;
        }
}

void disegna(immagine& img) {
    // The outer ring, dark, and the playable board of 4 by 4 cells of 7
    // pixels, with a one-pixel grid.
    for (int y = 0; y < LATO; y++)
        for (int x = 0; x < LATO; x++) img[y][x] = MARRONE;
    for (int y = 1; y < LATO - 1; y++)
        for (int x = 1; x < LATO - 1; x++) img[y][x] = NERO;
    for (int cy = 0; cy < 4; cy++)
        for (int cx = 0; cx < 4; cx++) {
            bool centro = (cx == 1 || cx == 2) && (cy == 1 || cy == 2);
            std::uint8_t fondo = centro ? GRIGIO : ((cx + cy) % 2 ? GRIGIO_CHIARO : BIANCO);
            for (int y = 0; y < 6; y++)
                for (int x = 0; x < 6; x++) img[2 + 7 * cy + y][2 + 7 * cx + x] = fondo;
            if (!centro) {
                // A little arrow in each ordinary cell, pointing one of four ways.
                int ox = 2 + 7 * cx, oy = 2 + 7 * cy;
                switch ((cx * 3 + cy) % 4) {
                case 0:  // right
                    for (int i = 0; i < 5; i++) img[oy + 2][ox + i] = VERDE_SCURO;
                    img[oy + 1][ox + 3] = img[oy + 3][ox + 3] = VERDE_SCURO;
                    img[oy + 0][ox + 2] = img[oy + 4][ox + 2] = VERDE_SCURO;
                    break;
                case 1:  // down
                    for (int i = 0; i < 5; i++) img[oy + i][ox + 2] = VERDE_SCURO;
                    img[oy + 3][ox + 1] = img[oy + 3][ox + 3] = VERDE_SCURO;
                    img[oy + 2][ox + 0] = img[oy + 2][ox + 4] = VERDE_SCURO;
                    break;
                case 2:  // left
                    for (int i = 0; i < 5; i++) img[oy + 2][ox + i] = VERDE_SCURO;
                    img[oy + 1][ox + 1] = img[oy + 3][ox + 1] = VERDE_SCURO;
                    img[oy + 0][ox + 2] = img[oy + 4][ox + 2] = VERDE_SCURO;
                    break;
                default:  // up
                    for (int i = 0; i < 5; i++) img[oy + i][ox + 2] = VERDE_SCURO;
                    img[oy + 1][ox + 1] = img[oy + 1][ox + 3] = VERDE_SCURO;
                    img[oy + 2][ox + 0] = img[oy + 2][ox + 4] = VERDE_SCURO;
                    break;
                }
            }
        }
    // The two tokens on their start corners, outlined in black.
    cerchio(img, 5, 5, 64, NERO);
    cerchio(img, 5, 5, 36, GIALLO);
    cerchio(img, 26, 5, 64, NERO);
    cerchio(img, 26, 5, 36, ROSSO);
}

std::vector<std::uint8_t> file_icona(const immagine& img) {
    const std::uint32_t byte_colore = LATO * LATO / 2;   // 4 bits per pixel
    const std::uint32_t byte_maschera = LATO * LATO / 8; // rows of 4 bytes
    const std::uint32_t dimensione = 40 + 16 * 4 + byte_colore + byte_maschera;

    std::vector<std::uint8_t> v;
    // Header: reserved, type 1 (icon), one image.
    metti16(v, 0);
    metti16(v, 1);
    metti16(v, 1);
    // Directory entry.
    v.push_back(LATO);
    v.push_back(LATO);
    v.push_back(16);  // colours
    v.push_back(0);
    metti16(v, 1);  // planes
    metti16(v, 4);  // bits per pixel
    metti32(v, dimensione);
    metti32(v, 6 + 16);
    // The image: a bitmap header of twice the height (colour and mask).
    metti32(v, 40);
    metti32(v, LATO);
    metti32(v, 2 * LATO);
    metti16(v, 1);
    metti16(v, 4);
    metti32(v, 0);  // no compression
    metti32(v, byte_colore + byte_maschera);
    metti32(v, 0);
    metti32(v, 0);
    metti32(v, 16);
    metti32(v, 0);
    for (const colore& c : G_tavolozza) {
        v.push_back(c.b);
        v.push_back(c.g);
        v.push_back(c.r);
        v.push_back(0);
    }
    // Colour rows, bottom row first, two pixels a byte, high nibble first.
    for (int y = LATO - 1; y >= 0; y--)
        for (int x = 0; x < LATO; x += 2)
            v.push_back(static_cast<std::uint8_t>((img[y][x] << 4) | img[y][x + 1]));
    // The mask: every pixel opaque.
    for (std::uint32_t i = 0; i < byte_maschera; i++) v.push_back(0);
    return v;
}

// PNG numbers are big-endian.
void scrivi32_be(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x >> 24));
    v.push_back(static_cast<std::uint8_t>((x >> 16) & 0xFF));
    v.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
    v.push_back(static_cast<std::uint8_t>(x & 0xFF));
}

// The CRC of a PNG chunk (the polynomial of zlib and zip), bit by bit: the
// icon is small.
std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; i++) {
        c ^= p[i];
        for (int b = 0; b < 8; b++) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// A chunk: length, type, data, and the CRC of type and data.
void blocco_png(std::vector<std::uint8_t>& v, const char* tipo, const std::vector<std::uint8_t>& dati) {
    scrivi32_be(v, static_cast<std::uint32_t>(dati.size()));
    const std::size_t inizio = v.size();
    v.insert(v.end(), tipo, tipo + 4);
    v.insert(v.end(), dati.begin(), dati.end());
    scrivi32_be(v, crc32(v.data() + inizio, v.size() - inizio));
}

// A zlib stream of stored (uncompressed) deflate blocks: no compressor is
// needed, and the picture is a few kilobytes at most.
std::vector<std::uint8_t> zlib_senza_compressione(const std::vector<std::uint8_t>& dati) {
    std::vector<std::uint8_t> z;
    z.push_back(0x78);  // deflate, 32 KB window
    z.push_back(0x01);  // no preset dictionary; the header is a multiple of 31
    const std::size_t massimo = 65535;  // the most a stored block holds
    std::size_t fatto = 0;
    do {
        const std::size_t n = dati.size() - fatto < massimo ? dati.size() - fatto : massimo;
        const bool ultimo = fatto + n == dati.size();
        z.push_back(ultimo ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        metti16(z, static_cast<unsigned>(n));
        metti16(z, static_cast<unsigned>(~n & 0xFFFF));
        z.insert(z.end(), dati.begin() + static_cast<std::ptrdiff_t>(fatto),
                 dati.begin() + static_cast<std::ptrdiff_t>(fatto + n));
        fatto += n;
    } while (fatto < dati.size());
    std::uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed data
    for (std::uint8_t x : dati) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    scrivi32_be(z, (b << 16) | a);
    return z;
}

// The picture as a PNG of `lato` pixels a side (a multiple of 32): 8-bit
// indices into the 16 colours, every pixel opaque, as in the icon.
std::vector<std::uint8_t> file_png(const immagine& img, int lato) {
    const int scala = lato / LATO;
    std::vector<std::uint8_t> v = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    std::vector<std::uint8_t> testa;
    scrivi32_be(testa, static_cast<std::uint32_t>(lato));
    scrivi32_be(testa, static_cast<std::uint32_t>(lato));
    testa.push_back(8);  // bits per index
    testa.push_back(3);  // indexed colour
    testa.push_back(0);  // deflate
    testa.push_back(0);  // adaptive filters (each row says "none")
    testa.push_back(0);  // not interlaced
    blocco_png(v, "IHDR", testa);

    std::vector<std::uint8_t> tavolozza;
    for (const colore& c : G_tavolozza) {
        tavolozza.push_back(c.r);
        tavolozza.push_back(c.g);
        tavolozza.push_back(c.b);
    }
    blocco_png(v, "PLTE", tavolozza);

    std::vector<std::uint8_t> righe;
    righe.reserve(static_cast<std::size_t>(lato) * static_cast<std::size_t>(lato + 1));
    for (int y = 0; y < lato; y++) {
        righe.push_back(0);  // filter: none
        for (int x = 0; x < lato; x++) righe.push_back(img[y / scala][x / scala]);
    }
    blocco_png(v, "IDAT", zlib_senza_compressione(righe));
    blocco_png(v, "IEND", {});
    return v;
}

bool finisce_con(const char* s, const char* coda) {
    const std::size_t ls = std::strlen(s), lc = std::strlen(coda);
    return ls >= lc && std::strcmp(s + ls - lc, coda) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool png = argc >= 2 && finisce_con(argv[1], ".png");
    if (argc < 2 || argc > 3 || (argc == 3 && !png)) {
        std::fprintf(stderr, "usage: genera_icona OUTPUT.ico | genera_icona OUTPUT.png [SIDE]\n");
        return 2;
    }
    int lato = LATO;
    if (argc == 3) {
        char* fine = nullptr;
        const long l = std::strtol(argv[2], &fine, 10);
        if (fine == argv[2] || *fine != '\0' || l < LATO || l > 8 * LATO || l % LATO != 0) {
            std::fprintf(stderr, "genera_icona: the side must be 32, 64, ... 256 pixels, not \"%s\"\n", argv[2]);
            return 2;
        }
        lato = static_cast<int>(l);
    }
    static immagine img;
    disegna(img);
    return scrivi_file(argv[1], png ? file_png(img, lato) : file_icona(img));
}
