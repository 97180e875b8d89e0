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

void metti16(std::vector<byte_t>& o, std::size_t pos, unsigned v) {
    o[pos] = v & 0xff;
    o[pos + 1] = (v >> 8) & 0xff;
}
void metti32(std::vector<byte_t>& o, std::size_t pos, std::uint32_t v) {
    metti16(o, pos, v & 0xffff);
    metti16(o, pos + 2, v >> 16);
}

// A sheet file: headers, `colori` colour entries and `pixel` bytes of
// pixel data numbered 0, 1, 2, ... so that offsets can be told apart.
struct foglio_prova {
    std::int32_t larghezza = 628;
    std::int32_t altezza = 460;
    unsigned bit = 24;
    std::uint32_t colori = 0;
    std::uint32_t compressione = 0;
    std::uint32_t dimensione_header = 40;
    unsigned piani = 1;
    std::uint32_t off_bits = 0;  // 0: right after the colour table
    long pixel = -1;             // -1: exactly what the dimensions need

    std::size_t riga() const {
        return (static_cast<std::size_t>(larghezza) * bit + 31) / 32 * 4;
    }
    std::vector<byte_t> byte() const {
        std::size_t n_pixel = pixel >= 0 ? static_cast<std::size_t>(pixel) : riga() * static_cast<std::size_t>(altezza);
        std::size_t inizio = 54 + 4 * static_cast<std::size_t>(colori);
        std::vector<byte_t> o(inizio + n_pixel);
        o[0] = 'B';
        o[1] = 'M';
        metti32(o, 2, static_cast<std::uint32_t>(o.size()));
        metti32(o, 10, off_bits != 0 ? off_bits : static_cast<std::uint32_t>(inizio));
        metti32(o, 14, dimensione_header);
        metti32(o, 18, static_cast<std::uint32_t>(larghezza));
        metti32(o, 22, static_cast<std::uint32_t>(altezza));
        metti16(o, 26, piani);
        metti16(o, 28, bit);
        metti32(o, 30, compressione);
        metti32(o, 46, colori);
        for (std::size_t i = 0; i < colori; i++) {
            o[54 + 4 * i] = static_cast<byte_t>(i);          // blue
            o[54 + 4 * i + 1] = static_cast<byte_t>(i / 2);  // green
            o[54 + 4 * i + 2] = static_cast<byte_t>(255 - i);
        }
        for (std::size_t i = 0; i < n_pixel; i++) o[inizio + i] = static_cast<byte_t>(i * 7 + 3);
        return o;
    }
};

// A file of its own for each test, so that tests may run side by side.
std::string file_prova() {
    return std::string("foglio_") + testing::UnitTest::GetInstance()->current_test_info()->name() + ".dib";
}
#define FILE_PROVA file_prova().c_str()

void scrivi(const std::vector<byte_t>& b) {
    std::FILE* f = std::fopen(FILE_PROVA, "wb");
    ASSERT_NE(f, nullptr);
    if (!b.empty()) {
        ASSERT_EQ(std::fwrite(b.data(), 1, b.size(), f), b.size());
    }
    std::fclose(f);
}

// Loads `b` through a file and expects it to be refused with one log line
// naming `motivo`.
void atteso_rifiuto(const std::vector<byte_t>& b, const std::string& motivo, int riga) {
    SCOPED_TRACE(testing::Message() << "case at line " << riga);
    scrivi(b);
    nuove_righe_log();
    bitmap s(FILE_PROVA);
    std::remove(FILE_PROVA);
    EXPECT_EQ(s.esiste(), 0);
    EXPECT_EQ(s.dati, nullptr);
    auto righe = nuove_righe_log();
    ASSERT_EQ(righe.size(), 1u);
    EXPECT_NE(righe[0].find("sprite sheet " + file_prova() + " refused: "), std::string::npos) << righe[0];
    EXPECT_NE(righe[0].find(motivo), std::string::npos) << "expected \"" << motivo << "\" in: " << righe[0];
    // The pure examination says the same.
    esame_foglio e = esamina_foglio(b.data(), b.size());
    EXPECT_EQ(e.valido, 0);
    EXPECT_NE(e.motivo.find(motivo), std::string::npos) << e.motivo;
}

// Loads `b` and expects the header, `colori` entries and the pixel data from
// `inizio` to the end of the file.
void atteso_caricamento(const std::vector<byte_t>& b, std::size_t colori, std::size_t inizio) {
    scrivi(b);
    nuove_righe_log();
    bitmap s(FILE_PROVA);
    std::remove(FILE_PROVA);
    ASSERT_EQ(s.esiste(), 1);
    ASSERT_NE(s.dati, nullptr);
    EXPECT_TRUE(nuove_righe_log().empty());
    EXPECT_EQ(std::memcmp(&s.binfo.bmiHeader, b.data() + 14, 40), 0);
    const byte_t* tabella = reinterpret_cast<const byte_t*>(&s.binfo) + 40;
    EXPECT_EQ(std::memcmp(tabella, b.data() + 54, 4 * colori), 0);
    for (std::size_t i = 4 * colori; i < 4 * 257; i++) ASSERT_EQ(tabella[i], 0) << "colour byte " << i;
    EXPECT_EQ(std::memcmp(s.dati, b.data() + inizio, b.size() - inizio), 0);
}

TEST(Foglio, VentiquattroBitSenzaTabella) {
    foglio_prova f;
    atteso_caricamento(f.byte(), 0, 54);
    // Rows padded to whole words.
    f.larghezza = 629;
    atteso_caricamento(f.byte(), 0, 54);
    EXPECT_EQ(f.riga(), 1888u);
}

TEST(Foglio, TabellaFacoltativaDiUnFoglioAColori) {
    // A direct-colour sheet may carry a table; the pixels follow it.
    foglio_prova f;
    f.colori = 3;
    atteso_caricamento(f.byte(), 3, 54 + 12);
    f.bit = 32;
    f.colori = 0;
    atteso_caricamento(f.byte(), 0, 54);
}

TEST(Foglio, OttoBitConTavolozza) {
    foglio_prova f;
    f.bit = 8;
    f.colori = 256;
    atteso_caricamento(f.byte(), 256, 54 + 1024);
    f.colori = 16;
    atteso_caricamento(f.byte(), 16, 54 + 64);
    f.bit = 4;
    atteso_caricamento(f.byte(), 16, 54 + 64);
    f.bit = 1;
    f.colori = 2;
    atteso_caricamento(f.byte(), 2, 54 + 8);
}

TEST(Foglio, IPixelSeguonoLaTabellaQualunqueCosaDicaBfOffBits) {
    foglio_prova f;
    f.bit = 8;
    f.colori = 16;
    f.off_bits = 2000;
    // A gap before where bfOffBits points becomes part of the pixel data.
    f.pixel = static_cast<long>(f.riga() * 460 + 100);
    atteso_caricamento(f.byte(), 16, 54 + 64);
}

TEST(Foglio, PixelAppenaSufficientiEUnoDiMeno) {
    foglio_prova f;
    f.larghezza = 630;  // 1890 bytes a row, padded to 1892
    f.pixel = static_cast<long>(f.riga() * 460);
    EXPECT_EQ(esamina_foglio(f.byte().data(), f.byte().size()).valido, 1);
    f.pixel -= 1;
    atteso_rifiuto(f.byte(), "pixel data truncated", __LINE__);
}

TEST(Foglio, FileCortiOTroncati) {
    atteso_rifiuto({}, "file too short", __LINE__);
    std::vector<byte_t> intero = foglio_prova{}.byte();
    atteso_rifiuto(std::vector<byte_t>(intero.begin(), intero.begin() + 10), "file too short", __LINE__);
    atteso_rifiuto(std::vector<byte_t>(intero.begin(), intero.begin() + 53), "file too short", __LINE__);
    atteso_rifiuto(std::vector<byte_t>(intero.begin(), intero.begin() + 54), "pixel data truncated", __LINE__);
    atteso_rifiuto(std::vector<byte_t>(intero.begin(), intero.end() - 1), "pixel data truncated", __LINE__);

    foglio_prova f;
    f.bit = 8;
    f.colori = 200;
    std::vector<byte_t> b = f.byte();
    atteso_rifiuto(std::vector<byte_t>(b.begin(), b.begin() + 54 + 4 * 199), "colour table truncated", __LINE__);
}

TEST(Foglio, TestateNonSupportate) {
    std::vector<byte_t> b = foglio_prova{}.byte();
    b[0] = 'X';
    atteso_rifiuto(b, "no BM signature", __LINE__);

    foglio_prova f;
    f.dimensione_header = 108;
    atteso_rifiuto(f.byte(), "unsupported header size 108", __LINE__);
    f = foglio_prova{};
    f.piani = 2;
    atteso_rifiuto(f.byte(), "bad number of planes 2", __LINE__);
}

TEST(Foglio, CompressoOCapovolto) {
    foglio_prova f;
    f.bit = 8;
    f.colori = 256;
    f.compressione = 1;  // run-length encoded, 8 bits
    atteso_rifiuto(f.byte(), "compressed sheet", __LINE__);
    f = foglio_prova{};
    f.bit = 32;
    f.compressione = 3;  // bit fields
    atteso_rifiuto(f.byte(), "compressed sheet", __LINE__);
    f = foglio_prova{};
    f.altezza = -460;
    f.pixel = static_cast<long>(f.riga() * 460);
    atteso_rifiuto(f.byte(), "top-down", __LINE__);
}

TEST(Foglio, TabellaDeiColoriTroppoGrandeONonAdatta) {
    foglio_prova f;
    f.colori = 258;  // more than BITMAPINFO2 holds
    atteso_rifiuto(f.byte(), "colour table of 258 entries", __LINE__);
    f.colori = 257;  // fits, as an optional table of a 24-bit sheet
    atteso_caricamento(f.byte(), 257, 54 + 4 * 257);

    f = foglio_prova{};
    f.bit = 8;
    f.colori = 0;  // indexed pixels need their colours
    atteso_rifiuto(f.byte(), "8-bit sheet without a colour table", __LINE__);
    f.colori = 257;
    atteso_rifiuto(f.byte(), "8-bit sheet with too many colours", __LINE__);
    f.bit = 4;
    f.colori = 17;
    atteso_rifiuto(f.byte(), "4-bit sheet with too many colours", __LINE__);
}

TEST(Foglio, ProfonditaNonSupportate) {
    for (unsigned bit : {0u, 2u, 15u, 16u, 48u}) {
        foglio_prova f;
        f.bit = bit;
        atteso_rifiuto(f.byte(), "unsupported bit depth " + std::to_string(bit), __LINE__);
    }
}

TEST(Foglio, TroppoPiccoloPerLeRegioniDelDisegno) {
    foglio_prova f;
    f.larghezza = 627;
    atteso_rifiuto(f.byte(), "sheet of 627 by 460 smaller than 628 by 460", __LINE__);
    f = foglio_prova{};
    f.altezza = 459;
    atteso_rifiuto(f.byte(), "sheet of 628 by 459", __LINE__);
    f = foglio_prova{};
    f.larghezza = -628;
    f.pixel = 100;
    atteso_rifiuto(f.byte(), "sheet of -628 by 460", __LINE__);
}

TEST(Foglio, DimensioniEnormiNonTraboccano) {
    // Dimensions whose pixel size overflows 32 bits are refused, not
    // wrapped round into a small size.
    foglio_prova f;
    f.pixel = 1000;
    for (std::int32_t l : {0x7fffffff, 0x40000000, 0x2AAAAAAB}) {
        f.larghezza = l;
        f.altezza = 0x7fffffff;
        atteso_rifiuto(f.byte(), "pixel data truncated", __LINE__);
    }
}

TEST(Foglio, FileMancante) {
    std::remove("non_esiste.dib");
    nuove_righe_log();
    bitmap s("non_esiste.dib");
    EXPECT_EQ(s.esiste(), 0);
    EXPECT_EQ(s.dati, nullptr);
    // Without a sheet the program ends quietly: nothing is logged.
    EXPECT_TRUE(nuove_righe_log().empty());
}

TEST(Foglio, EsameSenzaByte) {
    EXPECT_EQ(esamina_foglio(nullptr, 0).valido, 0);
    EXPECT_EQ(esamina_foglio(nullptr, 100).valido, 0);
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

// Board-picture pixel of window point (X, Y).
rgb alla_finestra(const bitmap& s, int X, int Y) { return pixel(s, X - 10 + 45, 460 - (Y - 10) - 1); }

class FoglioDelGioco : public testing::Test {
protected:
    static void SetUpTestSuite() { s = new bitmap(VORANDEL_FOGLIO); }
    static void TearDownTestSuite() { delete s; }
    static bitmap* s;
};
bitmap* FoglioDelGioco::s = nullptr;

TEST_F(FoglioDelGioco, VentiquattroBitBottomUp) {
    ASSERT_EQ(s->esiste(), 1);
    EXPECT_EQ(s->binfo.bmiHeader.biBitCount, 24);
    EXPECT_EQ(s->binfo.bmiHeader.biClrUsed, 0u);
    EXPECT_GE(s->binfo.bmiHeader.biWidth, 628);
    EXPECT_EQ(s->binfo.bmiHeader.biHeight, 460);
}

TEST_F(FoglioDelGioco, MaschereNettePedineSuNero) {
    ASSERT_EQ(s->esiste(), 1);
    for (int colonna : {546, 593}) {
        int bianchi = 0;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 35; x++) {
                rgb m = pixel(*s, colonna + x, 291 + y);
                rgb p = pixel(*s, colonna + x, 120 + y);
                bool bianco = m.r == 255 && m.g == 255 && m.b == 255;
                bool nero = m.r == 0 && m.g == 0 && m.b == 0;
                ASSERT_TRUE(bianco || nero) << "mask of column " << colonna << " at " << x << "," << y;
                bool figura_nera = p.r == 0 && p.g == 0 && p.b == 0;
                ASSERT_EQ(nero, figura_nera) << "picture of column " << colonna << " at " << x << "," << y;
                bianchi += bianco;
            }
        // A token of a fair size, not touching the sprite's sides.
        EXPECT_GT(bianchi, 35 * 48 / 3);
        for (int y = 0; y < 48; y++) {
            EXPECT_EQ(pixel(*s, colonna, 291 + y).r, 0);
            EXPECT_EQ(pixel(*s, colonna + 34, 291 + y).r, 0);
        }
    }
    // Yellow and red.
    rgb giallo = pixel(*s, 593 + 17, 120 + 20);
    rgb rosso = pixel(*s, 546 + 17, 120 + 20);
    EXPECT_GT(giallo.r, 150);
    EXPECT_GT(giallo.g, 100);
    EXPECT_LT(giallo.b, giallo.g / 2);
    EXPECT_GT(rosso.r, 120);
    EXPECT_LT(rosso.g, rosso.r / 3);
}

TEST_F(FoglioDelGioco, LeFrecceRosseSiLeggonoSuOgniCasella) {
    ASSERT_EQ(s->esiste(), 1);
    // Every pixel of every ordinary cell is light and far from red.
    for (int y = 1; y <= 8; y++)
        for (int x = 1; x <= 8; x++) {
            bool centro = (x == 4 || x == 5) && (y == 4 || y == 5);
            bool angolo = (x == 1 || x == 8) && (y == 1 || y == 8);
            if (centro || angolo) continue;
            for (int Y = 22 + 52 * (y - 1) + 2; Y < 22 + 52 * y - 2; Y++)
                for (int X = 25 + 53 * (x - 1) + 2; X < 25 + 53 * x - 2; X++) {
                    rgb c = alla_finestra(*s, X, Y);
                    ASSERT_GT(c.g, 120) << "cell " << x << "," << y << " at " << X << "," << Y;
                    ASSERT_GT(c.b, 90) << "cell " << x << "," << y << " at " << X << "," << Y;
                }
        }
}

TEST_F(FoglioDelGioco, AngoliNeiColoriDeiGiocatoriEBloccoCentraleScuro) {
    ASSERT_EQ(s->esiste(), 1);
    // Near the edge of each start corner: the player's colour.
    rgb g = alla_finestra(*s, 25 + 5, 22 + 5);
    EXPECT_TRUE(g.r > 200 && g.g > 150 && g.b < 100) << g.r << "," << g.g << "," << g.b;
    rgb r = alla_finestra(*s, 396 + 5, 22 + 5);
    EXPECT_TRUE(r.r > 150 && r.g < 80 && r.b < 80) << r.r << "," << r.g << "," << r.b;
    // The goal corners' borders.
    rgb gg = alla_finestra(*s, 396 + 3, 386 + 26);
    EXPECT_TRUE(gg.r > 200 && gg.g > 150 && gg.b < 100) << gg.r << "," << gg.g << "," << gg.b;
    rgb rr = alla_finestra(*s, 25 + 3, 386 + 26);
    EXPECT_TRUE(rr.r > 150 && rr.g < 80 && rr.b < 80) << rr.r << "," << rr.g << "," << rr.b;
    // The centre block and the frame are dark wood.
    for (auto p : {std::pair<int, int>{190, 185}, {280, 275}, {14, 200}, {465, 200}, {200, 12}, {200, 442}}) {
        rgb c = alla_finestra(*s, p.first, p.second);
        EXPECT_LT(c.r + c.g + c.b, 3 * 130) << p.first << "," << p.second;
    }
}

}  // namespace
