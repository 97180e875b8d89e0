// A canvas for the tools that draw the documentation's pictures through the
// game's own painting code: a memory device context on a 24-bit bottom-up
// bitmap, which it writes out as a bitmap file; and the stand-in for the
// game's main window that the info panel needs as its parent.
#ifndef VORANDEL_TELA_H
#define VORANDEL_TELA_H

#include <windows.h>

#include <cstdint>
#include <cstdio>

class tela {
public:
    tela(int larghezza, int altezza) : l(larghezza), h(altezza) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = l;
        bi.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
        vecchia = SelectObject(dc, bmp);
    }
    ~tela() {
        SelectObject(dc, vecchia);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    tela(const tela&) = delete;
    tela& operator=(const tela&) = delete;

    HDC hdc() const { return dc; }

    // Writes what was drawn to the bitmap file `nome`; false on failure.
    bool salva(const char* nome) const {
        GdiFlush();
        if (bit == nullptr) return false;
        const std::uint32_t riga = (static_cast<std::uint32_t>(l) * 3 + 3) / 4 * 4;
        const std::uint32_t pixel = riga * static_cast<std::uint32_t>(h);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4d42;
        fh.bfSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + pixel;
        fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        BITMAPINFOHEADER ih{};
        ih.biSize = sizeof ih;
        ih.biWidth = l;
        ih.biHeight = h;
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

private:
    int l;
    int h;
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ vecchia = nullptr;  // the bitmap the context was made with
    void* bit = nullptr;
};

// A top-level window of class `classe` in the place of the game's main
// window: the given style, background and size, at the screen's corner.
inline HWND finestra_principale_finta(const char* classe, DWORD stile, HBRUSH fondo, int larghezza, int altezza) {
    HINSTANCE istanza = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = istanza;
    wc.hbrBackground = fondo;
    wc.lpszClassName = classe;
    RegisterClassA(&wc);
    return CreateWindowExA(0, classe, "Vorandel 32", stile, 0, 0, larghezza, altezza, nullptr, nullptr, istanza,
                           nullptr);
}

#endif
