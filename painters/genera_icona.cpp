// Writes the program icon, a 32 by 32 picture in the 16 standard colours:
// a small board of cells with arrows, the yellow token in the top left
// corner and the red token in the top right one, as at the start of a game.
// The picture is computed, so every build writes the same bytes.
//
//   genera_icona OUTPUT.ico
#include <cstdint>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    const char* uscita = file_da_dipingere(argc, argv, "genera_icona OUTPUT.ico");
    if (uscita == nullptr) return 2;
    static immagine img;
    disegna(img);
    return scrivi_file(uscita, file_icona(img));
}
