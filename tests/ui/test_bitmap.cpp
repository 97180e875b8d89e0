// The sprite-sheet loader: valid sheets are kept exactly as the file holds
// them, every sheet that the drawing could not use safely is refused with
// one log line, and the generated "Tutto261.dib" holds what the drawing
// takes from it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap.h"
#include "finestra_prova.h"

namespace {

using byte_t = unsigned char;

// A sheet file: headers, `colori` colour entries and `pixel` bytes of
// pixel data numbered so that offsets can be told apart.
struct foglio_prova {
    std::int32_t larghezza = 628, altezza = 460;
    std::uint32_t bit = 24, colori = 0, compressione = 0, off_bits = 0;  // 0: after the table
    long pixel = -1;  // -1: exactly what the dimensions need

    std::vector<byte_t> byte() const {
        std::size_t riga = (static_cast<std::size_t>(larghezza) * bit + 31) / 32 * 4;
        std::size_t n_pixel = pixel >= 0 ? static_cast<std::size_t>(pixel) : riga * static_cast<std::size_t>(altezza);
        std::size_t inizio = 54 + 4 * static_cast<std::size_t>(colori);
        std::vector<byte_t> o(inizio + n_pixel);
        auto metti = [&o](std::size_t pos, std::uint32_t v, int n) {
            for (int i = 0; i < n; i++) o[pos + i] = static_cast<byte_t>(v >> (8 * i));
        };
        o[0] = 'B';
        o[1] = 'M';
        metti(2, static_cast<std::uint32_t>(o.size()), 4);
        metti(10, off_bits != 0 ? off_bits : static_cast<std::uint32_t>(inizio), 4);
        metti(14, 40, 4);
        metti(18, static_cast<std::uint32_t>(larghezza), 4);
        metti(22, static_cast<std::uint32_t>(altezza), 4);
        metti(26, 1, 2);
        metti(28, bit, 2);
        metti(30, compressione, 4);
        metti(46, colori, 4);
        for (std::size_t i = 0; i < colori; i++) metti(54 + 4 * i, static_cast<std::uint32_t>(i * 0x010203 + 1), 3);
        for (std::size_t i = inizio; i < o.size(); i++) o[i] = static_cast<byte_t>(i * 7 + 3);
        return o;
    }
};

struct caso {
    int riga;
    std::vector<byte_t> byte;
    const char* motivo;  // empty for a valid sheet
    std::size_t colori = 0, inizio = 0;
};

// Loads each case's bytes through a file. A valid sheet must keep the
// header, `colori` table entries and the pixel data from `inizio` to the
// end of the file, and log nothing; any other is refused with one log line
// naming `motivo`, which the pure examination gives as well.
void prova(const std::vector<caso>& casi) {
    const std::string nome =
        std::string("foglio_") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".dib";
    for (const caso& c : casi) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.riga);
        const std::vector<byte_t>& b = c.byte;
        std::FILE* f = std::fopen(nome.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(b.empty() ? 0 : std::fwrite(b.data(), 1, b.size(), f), b.size());
        std::fclose(f);
        nuove_righe_log();
        bitmap s(nome.c_str());
        std::remove(nome.c_str());
        auto righe = nuove_righe_log();
        if (*c.motivo != 0) {
            EXPECT_EQ(s.esiste(), 0);
            EXPECT_EQ(s.dati, nullptr);
            ASSERT_EQ(righe.size(), 1u);
            EXPECT_NE(righe[0].find("sprite sheet " + nome + " refused: "), std::string::npos) << righe[0];
            EXPECT_NE(righe[0].find(c.motivo), std::string::npos) << "expected \"" << c.motivo << "\" in: " << righe[0];
            esame_foglio e = esamina_foglio(b.data(), b.size());
            EXPECT_EQ(e.valido, 0);
            EXPECT_NE(e.motivo.find(c.motivo), std::string::npos) << e.motivo;
            continue;
        }
        ASSERT_EQ(s.esiste(), 1);
        ASSERT_NE(s.dati, nullptr);
        EXPECT_TRUE(righe.empty());
        EXPECT_EQ(std::memcmp(&s.binfo.bmiHeader, b.data() + 14, 40), 0);
        const byte_t* tabella = reinterpret_cast<const byte_t*>(&s.binfo) + 40;
        EXPECT_EQ(std::memcmp(tabella, b.data() + 54, 4 * c.colori), 0);
        for (std::size_t i = 4 * c.colori; i < 4 * 257; i++) ASSERT_EQ(tabella[i], 0) << "colour byte " << i;
        EXPECT_EQ(std::memcmp(s.dati, b.data() + c.inizio, b.size() - c.inizio), 0);
    }
}

template <typename F>
std::vector<byte_t> con(F modifica) {
    foglio_prova f;
    modifica(f);
    return f.byte();
}

std::vector<byte_t> corto(std::vector<byte_t> b, std::size_t n) {
    b.resize(n);
    return b;
}

TEST(Foglio, FogliValidi) {
    // A direct-colour sheet may carry a table of up to 257 entries; the
    // pixels follow the table whatever bfOffBits says.
    prova({
        {__LINE__, foglio_prova{}.byte(), "", 0, 54},
        {__LINE__, con([](foglio_prova& f) { f.colori = 3, f.off_bits = 2000; }), "", 3, 54 + 12},
        {__LINE__, con([](foglio_prova& f) { f.colori = 257; }), "", 257, 54 + 4 * 257},
        {__LINE__, con([](foglio_prova& f) { f.bit = 8, f.colori = 256; }), "", 256, 54 + 1024},
    });
}

TEST(Foglio, FogliRifiutati) {
    std::vector<byte_t> intero = foglio_prova{}.byte(), firma = intero;
    firma[0] = 'X';
    prova({
        {__LINE__, {}, "file too short"},
        {__LINE__, corto(intero, 53), "file too short"},
        {__LINE__, corto(intero, intero.size() - 1), "pixel data truncated"},
        {__LINE__, corto(con([](foglio_prova& f) { f.bit = 8, f.colori = 200; }), 54 + 4 * 199),
         "colour table truncated"},
        {__LINE__, firma, "no BM signature"},
        {__LINE__, con([](foglio_prova& f) { f.colori = 258; }), "colour table of 258 entries"},
        {__LINE__, con([](foglio_prova& f) { f.bit = 8; }), "8-bit sheet without a colour table"},
        {__LINE__, con([](foglio_prova& f) { f.bit = 8, f.colori = 256, f.compressione = 1; }), "compressed sheet"},
        {__LINE__, con([](foglio_prova& f) { f.altezza = -460, f.pixel = 628 * 3 * 460; }), "top-down"},
        {__LINE__, con([](foglio_prova& f) { f.larghezza = 627; }), "sheet of 627 by 460 smaller than 628 by 460"},
        {__LINE__, con([](foglio_prova& f) { f.altezza = 459; }), "sheet of 628 by 459"},
        {__LINE__, con([](foglio_prova& f) { f.bit = 16; }), "unsupported bit depth 16"},
        // One byte short of the padded rows (630 pixels: 1890 bytes, 1892).
        {__LINE__, con([](foglio_prova& f) { f.larghezza = 630, f.pixel = 1892 * 460 - 1; }), "pixel data truncated"},
        // Pixel sizes beyond 32 bits are not wrapped round into small ones.
        {__LINE__, con([](foglio_prova& f) { f.larghezza = f.altezza = 0x7fffffff, f.pixel = 1000; }),
         "pixel data truncated"},
    });
}

TEST(Foglio, FileMancanteSenzaLog) {
    std::remove("non_esiste.dib");
    nuove_righe_log();
    bitmap s("non_esiste.dib");
    EXPECT_EQ(s.esiste(), 0);
    EXPECT_EQ(s.dati, nullptr);
    EXPECT_TRUE(nuove_righe_log().empty());
}

// --- The generated sheet ---------------------------------------------------

struct rgb {
    int r, g, b;
};

rgb pixel(const bitmap& s, int colonna, int riga_dal_basso) {
    const std::size_t riga = (static_cast<std::size_t>(s.binfo.bmiHeader.biWidth) * 3 + 3) / 4 * 4;
    const byte_t* p = s.dati + riga * static_cast<std::size_t>(riga_dal_basso) + 3 * static_cast<std::size_t>(colonna);
    return {p[2], p[1], p[0]};
}

TEST(FoglioDelGioco, MaschereNetteECaselleChiare) {
    bitmap s(VORANDEL_FOGLIO);
    ASSERT_EQ(s.esiste(), 1);
    EXPECT_EQ(s.binfo.bmiHeader.biBitCount, 24);
    EXPECT_EQ(s.binfo.bmiHeader.biHeight, 460);
    // Masks pure black and white; the token picture black exactly where its
    // mask is, so the masked copy leaves the board alone there.
    for (int colonna : {546, 593}) {
        int bianchi = 0;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 35; x++) {
                rgb m = pixel(s, colonna + x, 291 + y), p = pixel(s, colonna + x, 120 + y);
                bool bianco = m.r == 255 && m.g == 255 && m.b == 255;
                bool nero = m.r == 0 && m.g == 0 && m.b == 0;
                ASSERT_TRUE(bianco || nero) << "mask of column " << colonna << " at " << x << "," << y;
                ASSERT_EQ(nero, p.r == 0 && p.g == 0 && p.b == 0)
                    << "picture of column " << colonna << " at " << x << "," << y;
                bianchi += bianco;
            }
        EXPECT_GT(bianchi, 35 * 48 / 3);
    }
    // Every pixel of every ordinary cell is light enough for the red arrows.
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++) {
            bool centro = (x == 4 || x == 5) && (y == 4 || y == 5);
            bool angolo = (x == 1 || x == 8) && (y == 1 || y == 8);
            if (centro || angolo) continue;
            for (int Y = 22 + 52 * (y - 1) + 2; Y < 22 + 52 * y - 2; Y++)
                for (int X = 25 + 53 * (x - 1) + 2; X < 25 + 53 * x - 2; X++) {
                    rgb c = pixel(s, X - 10 + 45, 460 - (Y - 10) - 1);
                    ASSERT_TRUE(c.g > 120 && c.b > 90) << "cell " << x << "," << y << " at " << X << "," << Y;
                }
        }
}

}  // namespace
