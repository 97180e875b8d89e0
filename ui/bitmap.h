// The sprite sheet: one device-independent bitmap read from a file, its
// header and colour table laid out so that they go to StretchDIBits as they
// stand, and its pixel data.
//
// A sheet is accepted only when the drawing can take every region it needs
// from it without reading outside the pixel block; anything else is refused
// with one line in the log saying why, and esiste() answers 0.
#ifndef VORANDEL_BITMAP_H
#define VORANDEL_BITMAP_H

#include <windows.h>

#include <cstddef>
#include <string>

#include "geometria_foglio.h"

// The platform's BITMAPINFO with room for 257 colour entries.
struct BITMAPINFO2 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
    RGBQUAD roba[256];
};

// A sheet smaller than FOGLIO_LARGHEZZA by FOGLIO_ALTEZZA (geometria_foglio.h)
// lacks pieces that the drawing takes, and is refused.
// The most colour entries BITMAPINFO2 can hold.
inline constexpr unsigned long FOGLIO_MAX_COLORI = 257;
// A sheet file above this size is refused before anything is read.
inline constexpr unsigned long FOGLIO_MAX_BYTE = 64ul * 1024 * 1024;

// What the examination of a sheet file's bytes found.
struct esame_foglio {
    int valido;            // 1 when the sheet can be drawn safely
    std::size_t colori;    // entries of the colour table
    std::size_t inizio;    // offset of the pixel data: right after the colour table
    std::size_t richiesti; // bytes of pixel data the header's dimensions need
    std::string motivo;    // why the sheet is refused; empty when valido
};

// Examines the whole content of a sheet file (`n` bytes at `byte`). Reads
// nothing outside those bytes and does no I/O.
esame_foglio esamina_foglio(const unsigned char* byte, std::size_t n);

class bitmap {
public:
    BITMAPINFO2 binfo;
    unsigned char* dati;  // the pixel data, owned; null when the sheet was refused

    explicit bitmap(const char* nomefile);
    ~bitmap();
    bitmap(const bitmap&) = delete;
    bitmap& operator=(const bitmap&) = delete;

    // 1 when the sheet was loaded, 0 otherwise.
    int esiste() const { return dati != nullptr ? 1 : 0; }
};

// The sprite sheet "Tutto261.dib", defined by the program after the log.
extern bitmap sfondo;

#endif
