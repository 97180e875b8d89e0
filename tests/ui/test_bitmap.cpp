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
#include "comune.h"
#include "finestra_prova.h"
#include "foglio_finto.h"
#include "geometria_foglio.h"
#include "pixel.h"

namespace {

using byte_t = unsigned char;

struct caso {
    int riga;
    std::vector<byte_t> byte;
    std::string motivo;  // empty for a valid sheet
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
        if (!c.motivo.empty()) {
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
    foglio_finto f;
    modifica(f);
    return f.byte();
}

// "W by H", as the refusal of a small sheet puts it.
std::string dimensioni(int l, int h) { return std::to_string(l) + " by " + std::to_string(h); }

TEST(Foglio, FogliValidi) {
    // A direct-colour sheet may carry a table of up to 257 entries; the
    // pixels follow the table whatever bfOffBits says.
    prova({
        {__LINE__, foglio_finto{}.byte(), "", 0, 54},
        {__LINE__, con([](foglio_finto& f) { f.colori = 3, f.off_bits = 2000; }), "", 3, 54 + 12},
        {__LINE__, con([](foglio_finto& f) { f.colori = 257; }), "", 257, 54 + 4 * 257},
        {__LINE__, con([](foglio_finto& f) { f.bit = 8, f.colori = 256; }), "", 256, 54 + 1024},
    });
}

TEST(Foglio, FogliRifiutati) {
    std::vector<byte_t> firma = foglio_finto{}.byte();
    firma[0] = 'X';
    const std::size_t intero = firma.size();
    prova({
        {__LINE__, {}, "file too short"},
        {__LINE__, con([](foglio_finto& f) { f.tronca = 53; }), "file too short"},
        {__LINE__, con([intero](foglio_finto& f) { f.tronca = intero - 1; }), "pixel data truncated"},
        {__LINE__, con([](foglio_finto& f) { f.bit = 8, f.colori = 200, f.tronca = 54 + 4 * 199; }),
         "colour table truncated"},
        {__LINE__, firma, "no BM signature"},
        {__LINE__, con([](foglio_finto& f) { f.colori = 258; }), "colour table of 258 entries"},
        {__LINE__, con([](foglio_finto& f) { f.bit = 8; }), "8-bit sheet without a colour table"},
        {__LINE__, con([](foglio_finto& f) { f.bit = 8, f.colori = 256, f.compressione = 1; }), "compressed sheet"},
        {__LINE__, con([](foglio_finto& f) { f.altezza = -FOGLIO_ALTEZZA; }), "top-down"},
        {__LINE__, con([](foglio_finto& f) { f.larghezza = FOGLIO_LARGHEZZA - 1; }),
         "sheet of " + dimensioni(FOGLIO_LARGHEZZA - 1, FOGLIO_ALTEZZA) + " smaller than " +
             dimensioni(FOGLIO_LARGHEZZA, FOGLIO_ALTEZZA)},
        {__LINE__, con([](foglio_finto& f) { f.altezza = FOGLIO_ALTEZZA - 1; }),
         "sheet of " + dimensioni(FOGLIO_LARGHEZZA, FOGLIO_ALTEZZA - 1)},
        {__LINE__, con([](foglio_finto& f) { f.bit = 16; }), "unsupported bit depth 16"},
        // One byte short of the padded rows (630 pixels: 1890 bytes, 1892).
        {__LINE__, con([](foglio_finto& f) { f.larghezza = 630, f.pixel = 1892L * f.altezza - 1; }),
         "pixel data truncated"},
        // Pixel sizes beyond 32 bits are not wrapped round into small ones.
        {__LINE__, con([](foglio_finto& f) { f.larghezza = f.altezza = 0x7fffffff, f.pixel = 1000; }),
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

TEST(FoglioDelGioco, MaschereNetteECaselleChiare) {
    bitmap s(VORANDEL_FOGLIO);
    ASSERT_EQ(s.esiste(), 1);
    EXPECT_EQ(s.binfo.bmiHeader.biBitCount, 24);
    EXPECT_EQ(s.binfo.bmiHeader.biWidth, FOGLIO_LARGHEZZA);
    EXPECT_EQ(s.binfo.bmiHeader.biHeight, FOGLIO_ALTEZZA);
    // Masks pure black and white; the token picture black exactly where its
    // mask is, so the masked copy leaves the board alone there.
    const rgb BIANCO{255, 255, 255}, NERO{0, 0, 0};
    for (int colonna : {colonna_pedina(1), colonna_pedina(8)}) {
        int bianchi = 0;
        for (int y = 0; y < PEDINA_ALTEZZA; y++)
            for (int x = 0; x < PEDINA_LARGHEZZA; x++) {
                rgb m = pixel_del_foglio(s, colonna + x, PEDINA_RIGA_MASCHERA + y);
                rgb p = pixel_del_foglio(s, colonna + x, PEDINA_RIGA_FIGURA + y);
                ASSERT_TRUE(m == BIANCO || m == NERO) << "mask of column " << colonna << " at " << x << "," << y;
                ASSERT_EQ(m == NERO, p == NERO) << "picture of column " << colonna << " at " << x << "," << y;
                bianchi += m == BIANCO;
            }
        EXPECT_GT(bianchi, PEDINA_LARGHEZZA * PEDINA_ALTEZZA / 3);
    }
    // Every pixel of every ordinary cell is light enough for the red arrows.
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++) {
            bool centro = (x == 4 || x == 5) && (y == 4 || y == 5);
            bool angolo = (x == 1 || x == 8) && (y == 1 || y == 8);
            if (centro || angolo) continue;
            // The cell's rectangle, but for the two pixels of its bevel.
            RECT r;
            rettangolo_casella(&r, x, y);
            for (int Y = r.top + 2; Y < r.bottom - 2; Y++)
                for (int X = r.left + 2; X < r.right - 2; X++) {
                    rgb c = pixel_del_quadro(s, X, Y);
                    ASSERT_TRUE(c.g > 120 && c.b > 90) << "cell " << x << "," << y << " at " << X << "," << Y;
                }
        }
}

}  // namespace
