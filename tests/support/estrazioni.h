// Arrow deals chosen by the tests (and by the board picture of the
// documentation), in place of the C library's rand.
#ifndef VORANDEL_ESTRAZIONI_H
#define VORANDEL_ESTRAZIONI_H

#include <cstdint>

#include "plancia32.h"

// Puts `f` in place of plancia::estrai while the object lives, and the
// previous generator back when it goes.
class estrai_con {
public:
    explicit estrai_con(int (*f)()) : prima(plancia::estrai) { plancia::estrai = f; }
    ~estrai_con() { plancia::estrai = prima; }
    estrai_con(const estrai_con&) = delete;
    estrai_con& operator=(const estrai_con&) = delete;

private:
    int (*prima)();
};

// The C standard's sample generator from the seed `seme`: the same deals on
// every run and on every platform, whatever the C library's rand does.
class estrazioni_fisse {
public:
    explicit estrazioni_fisse(std::uint32_t seme) : guardia(&estrai) { stato() = seme; }

private:
    static std::uint32_t& stato() {
        static std::uint32_t s = 1;
        return s;
    }
    static int estrai() {
        stato() = stato() * 1103515245u + 12345u;
        return static_cast<int>((stato() >> 16) & 0x7fff);
    }
    estrai_con guardia;
};

#endif
