// The game's version resource, read as Windows' file properties read it
// (version.dll): the fixed part and the strings in language 1033, all from
// the project's one version number.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "finestra_prova.h"

namespace {

struct versione_del_file {
    std::vector<char> dati;

    versione_del_file() {
        std::string exe = percorso("VORANDEL_GIOCO");
        DWORD maniglia = 0;
        DWORD n = GetFileVersionInfoSizeA(exe.c_str(), &maniglia);
        if (n == 0) return;
        dati.resize(n);
        if (!GetFileVersionInfoA(exe.c_str(), 0, n, dati.data())) dati.clear();
    }
    // The block at `chiave`, or nullptr; its length in `lungo`.
    const void* blocco(const char* chiave, UINT* lungo) {
        void* p = nullptr;
        *lungo = 0;
        if (dati.empty() || !VerQueryValueA(dati.data(), chiave, &p, lungo)) return nullptr;
        return p;
    }
    // A string of the English (United States), Windows code page table.
    std::string testo(const char* nome) {
        std::string chiave = std::string("\\StringFileInfo\\040904E4\\") + nome;
        UINT lungo = 0;
        const char* p = static_cast<const char*>(blocco(chiave.c_str(), &lungo));
        return p == nullptr ? "(missing)" : std::string(p);
    }
};

TEST(Versione, LaParteFissaPortaLaVersioneDelProgetto) {
    versione_del_file v;
    ASSERT_FALSE(v.dati.empty()) << "no version resource in " << percorso("VORANDEL_GIOCO");
    UINT lungo = 0;
    auto* f = static_cast<const VS_FIXEDFILEINFO*>(v.blocco("\\", &lungo));
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(lungo, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(f->dwSignature, 0xFEEF04BDu);
    char numeri[64];
    std::snprintf(numeri, sizeof numeri, "%lu.%lu.%lu.%lu", f->dwFileVersionMS >> 16, f->dwFileVersionMS & 0xFFFF,
                  f->dwFileVersionLS >> 16, f->dwFileVersionLS & 0xFFFF);
    // The project's version with its missing numbers as 0: 1.95 is 1.95.0.0.
    std::string attesa = VORANDEL_VERSIONE;
    for (int punti = 0; punti < 3; punti++)
        if (std::count(attesa.begin(), attesa.end(), '.') == punti) attesa += ".0";
    EXPECT_EQ(std::string(numeri), attesa);
    EXPECT_EQ(f->dwProductVersionMS, f->dwFileVersionMS);
    EXPECT_EQ(f->dwProductVersionLS, f->dwFileVersionLS);
    EXPECT_EQ(f->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(f->dwFileFlags & f->dwFileFlagsMask, 0u) << "neither a debug nor a pre-release build";
}

TEST(Versione, LeStringheSonoInIngleseStatiUniti) {
    versione_del_file v;
    ASSERT_FALSE(v.dati.empty());
    UINT lungo = 0;
    auto* lingue = static_cast<const WORD*>(v.blocco("\\VarFileInfo\\Translation", &lungo));
    ASSERT_NE(lingue, nullptr);
    ASSERT_EQ(lungo, 4u) << "one language";
    EXPECT_EQ(lingue[0], 1033);
    EXPECT_EQ(lingue[1], 1252);

    EXPECT_EQ(v.testo("ProductName"), "Vorandel 32");
    EXPECT_EQ(v.testo("ProductVersion"), VORANDEL_VERSIONE);
    EXPECT_EQ(v.testo("FileVersion"), VORANDEL_VERSIONE);
    EXPECT_EQ(v.testo("OriginalFilename"), "vorandel32.exe");
    EXPECT_EQ(v.testo("InternalName"), "vorandel32");
    EXPECT_EQ(v.testo("CompanyName"), VORANDEL_EDITORE);
    EXPECT_EQ(v.testo("LegalCopyright"), std::string("Copyright (C) ") + VORANDEL_EDITORE);
    EXPECT_EQ(v.testo("FileDescription").rfind("Vorandel 32", 0), 0u) << v.testo("FileDescription");
}

}  // namespace
