// Draws a game in progress through the game's own drawing code into a
// memory bitmap and writes it as a 24-bit bitmap file: the picture of the
// board that the documentation shows.
//
//   ritratto OUTPUT.bmp
//
// Like the game, it reads the sprite sheet "Tutto261.dib" from the current
// directory. The deal and the position are fixed, so every run writes the
// same picture.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "bitmap.h"
#include "ispettori.h"
#include "partita.h"
#include "specchietto.h"

std::ofstream logfile("voran32.log");
bitmap sfondo("Tutto261.dib");
HINSTANCE hInst;

namespace {

// The area drawn: the board with the black of the window around it.
constexpr int LARGHEZZA = 480;
constexpr int ALTEZZA = 455;

std::uint32_t seme = 20261207;
int estrai() {
    seme = seme * 1103515245u + 12345u;
    return static_cast<int>((seme >> 16) & 0x7fff);
}

bool scrivi_bmp(const char* nome, const void* bit, int larghezza, int altezza) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ritratto OUTPUT.bmp\n");
        return 2;
    }
    if (!sfondo.esiste()) {
        std::fprintf(stderr, "ritratto: cannot load Tutto261.dib (see voran32.log)\n");
        return 1;
    }
    hInst = GetModuleHandleA(nullptr);

    // A hidden main window for the info panel, which receives the balance.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = hInst;
    wc.lpszClassName = "ritratto";
    RegisterClassA(&wc);
    HWND principale = CreateWindowExA(0, "ritratto", "Vorandel 32", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                      nullptr, hInst, nullptr);
    specchietto info(principale);

    // A fixed deal; player 1 racing down the left, player 2 three steps out,
    // player 1 to move with the pointer over a target.
    plancia::estrai = estrai;
    partita game;
    game.ricomincia(principale);
    partita_ispettore ispettore{game};
    ispettore.posiziona(3, 4, 6, 3, 0);
    if (ispettore.n_lecite() > 0) ispettore.attuale() = ispettore.n_lecite() - 1;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = LARGHEZZA;
    bi.bmiHeader.biHeight = ALTEZZA;  // bottom-up, as the file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bit = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
    SelectObject(dc, bmp);
    RECT tutto = {0, 0, LARGHEZZA, ALTEZZA};
    FillRect(dc, &tutto, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    game.disegna(dc, tutto, info);
    GdiFlush();

    bool ok = bit != nullptr && scrivi_bmp(argv[1], bit, LARGHEZZA, ALTEZZA);
    if (!ok) std::fprintf(stderr, "ritratto: cannot write %s\n", argv[1]);
    DestroyWindow(principale);
    return ok ? 0 : 1;
}
