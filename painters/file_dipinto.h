// What the build-time painters share: their one argument, the little-endian
// fields of the file headers they write, and writing the finished file. Header only: each
// painter is compiled from its one source file for the build machine.
#ifndef VORANDEL_FILE_DIPINTO_H
#define VORANDEL_FILE_DIPINTO_H

#include <cstdint>
#include <cstdio>
#include <vector>

// The file that a painter called as `uso` writes, its one argument; null,
// after saying how to call it, when the arguments are not just that.
inline const char* file_da_dipingere(int argc, char** argv, const char* uso) {
    if (argc == 2) return argv[1];
    std::fprintf(stderr, "usage: %s\n", uso);
    return nullptr;
}

inline void metti16(std::vector<std::uint8_t>& o, unsigned v) {
    o.push_back(static_cast<std::uint8_t>(v & 0xff));
    o.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

inline void metti32(std::vector<std::uint8_t>& o, std::uint32_t v) {
    metti16(o, v & 0xffff);
    metti16(o, v >> 16);
}

// Writes `byte` to the file `nome`: 0 when done; otherwise it says why on
// the standard error, leaves no partial file behind and returns 1.
inline int scrivi_file(const char* nome, const std::vector<std::uint8_t>& byte) {
    std::FILE* f = std::fopen(nome, "wb");
    if (f == nullptr) {
        std::perror(nome);
        return 1;
    }
    bool ok = std::fwrite(byte.data(), 1, byte.size(), f) == byte.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::perror(nome);
        std::remove(nome);
        return 1;
    }
    return 0;
}

#endif
