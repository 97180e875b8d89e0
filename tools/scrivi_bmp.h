// Writes a bottom-up 24-bit picture as a bitmap file, for the tools that
// draw the documentation's pictures through the game's own painting code.
#ifndef VORANDEL_SCRIVI_BMP_H
#define VORANDEL_SCRIVI_BMP_H

#include <windows.h>

#include <cstdint>
#include <cstdio>

inline bool scrivi_bmp(const char* nome, const void* bit, int larghezza, int altezza) {
    const std::uint32_t riga = (static_cast<std::uint32_t>(larghezza) * 3 + 3) / 4 * 4;
    const std::uint32_t pixel = riga * static_cast<std::uint32_t>(altezza);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4d42;
    fh.bfSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + pixel;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = larghezza;
    ih.biHeight = altezza;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = pixel;
    std::FILE* f = std::fopen(nome, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
              std::fwrite(bit, 1, pixel, f) == pixel;
    return std::fclose(f) == 0 && ok;
}

#endif
