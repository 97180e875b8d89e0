// The compiled resources as the program finds them in its own module: the
// menu with its commands, the two dialog templates byte by byte, the icon,
// all in US English.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "risorse.h"

namespace {

const WORD INGLESE_USA = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The bytes of resource `id` of type `tipo` in US English; empty if missing.
std::vector<std::uint8_t> risorsa(LPCSTR tipo, int id) {
    HMODULE m = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceExA(m, tipo, MAKEINTRESOURCEA(id), INGLESE_USA);
    if (r == nullptr) return {};
    HGLOBAL g = LoadResource(m, r);
    const std::uint8_t* p = static_cast<const std::uint8_t*>(LockResource(g));
    if (p == nullptr) return {};
    return std::vector<std::uint8_t>(p, p + SizeofResource(m, r));
}

TEST(Risorse, TutteInIngleseUSA) {
    HMODULE m = GetModuleHandleA(nullptr);
    EXPECT_NE(FindResourceExA(m, RT_MENU, MAKEINTRESOURCEA(IDM_MENU), INGLESE_USA), nullptr);
    EXPECT_NE(FindResourceExA(m, RT_DIALOG, MAKEINTRESOURCEA(IDD_OPZIONI), INGLESE_USA), nullptr);
    EXPECT_NE(FindResourceExA(m, RT_DIALOG, MAKEINTRESOURCEA(IDD_ABOUT), INGLESE_USA), nullptr);
    EXPECT_NE(FindResourceExA(m, RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_VORANDEL), INGLESE_USA), nullptr);
    EXPECT_EQ(FindResourceExA(m, RT_MENU, MAKEINTRESOURCEA(IDM_MENU), MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)),
              nullptr);
}

std::string testo_voce(HMENU menu, UINT pos) {
    char t[64] = "";
    GetMenuStringA(menu, pos, t, sizeof t, MF_BYPOSITION);
    return t;
}

// The menu bar: three pop-ups, their items and commands, Help at the right.
TEST(Risorse, Menu) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    struct voce {
        const char* testo;
        UINT id;
    };
    const std::vector<std::vector<voce>> attese = {
        {{"New game", 32000}, {"New tournament", 32001}, {"Exit", 32005}},
        {{"others...", 32006}},
        {{"Help topics", 32003}, {"About...", 32004}},
    };
    const char* titoli[3] = {"File", "Options", "Help"};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(testo_voce(menu, i), titoli[i]);
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &mii));
        // Only Help carries the flag that puts it at the right end.
        EXPECT_EQ(mii.fType & MFT_RIGHTJUSTIFY, i == 2 ? static_cast<UINT>(MFT_RIGHTJUSTIFY) : 0u) << titoli[i];
        EXPECT_EQ(mii.fType & ~MFT_RIGHTJUSTIFY, static_cast<UINT>(MFT_STRING)) << titoli[i];
        EXPECT_EQ(mii.fState, 0u) << titoli[i];
        HMENU sotto = GetSubMenu(menu, i);
        ASSERT_NE(sotto, nullptr);
        ASSERT_EQ(GetMenuItemCount(sotto), static_cast<int>(attese[i].size()));
        for (size_t j = 0; j < attese[i].size(); j++) {
            EXPECT_EQ(testo_voce(sotto, static_cast<UINT>(j)), attese[i][j].testo);
            EXPECT_EQ(GetMenuItemID(sotto, static_cast<int>(j)), attese[i][j].id);
            MENUITEMINFOA v{};
            v.cbSize = sizeof v;
            v.fMask = MIIM_FTYPE | MIIM_STATE;
            ASSERT_TRUE(GetMenuItemInfoA(sotto, static_cast<UINT>(j), TRUE, &v));
            EXPECT_EQ(v.fType, static_cast<UINT>(MFT_STRING)) << attese[i][j].testo;
            EXPECT_EQ(v.fState, 0u) << attese[i][j].testo;
        }
    }
    EXPECT_EQ(GetMenuState(menu, 32002, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyMenu(menu);
}

// A reader of a dialog template (the plain, not extended, form).
struct lettore {
    const std::vector<std::uint8_t>& b;
    size_t pos = 0;
    bool fuori = false;
    std::uint16_t parola() {
        if (pos + 2 > b.size()) {
            fuori = true;
            return 0;
        }
        std::uint16_t w = static_cast<std::uint16_t>(b[pos] | (b[pos + 1] << 8));
        pos += 2;
        return w;
    }
    std::uint32_t doppia() {
        std::uint32_t basso = parola();
        return basso | (static_cast<std::uint32_t>(parola()) << 16);
    }
    // A string, or an ordinal written as "#n".
    std::string stringa() {
        std::uint16_t w = parola();
        if (w == 0xFFFF) return "#" + std::to_string(parola());
        std::string s;
        while (w != 0 && !fuori) {
            s += w < 128 ? static_cast<char>(w) : '?';
            w = parola();
        }
        return s;
    }
    void allinea() { pos = (pos + 3) & ~static_cast<size_t>(3); }
};

struct controllo {
    std::uint32_t stile;
    std::uint32_t estilo;
    int x, y, cx, cy;
    std::uint16_t id;
    std::string classe, testo;
};

struct modello {
    std::uint32_t stile, estilo;
    int x, y, cx, cy;
    std::string menu, classe, titolo, font;
    int punti;
    std::vector<controllo> controlli;
};

bool leggi_modello(const std::vector<std::uint8_t>& b, modello* m) {
    lettore l{b};
    m->stile = l.doppia();
    m->estilo = l.doppia();
    int n = l.parola();
    m->x = static_cast<std::int16_t>(l.parola());
    m->y = static_cast<std::int16_t>(l.parola());
    m->cx = static_cast<std::int16_t>(l.parola());
    m->cy = static_cast<std::int16_t>(l.parola());
    m->menu = l.stringa();
    m->classe = l.stringa();
    m->titolo = l.stringa();
    if (m->stile & DS_SETFONT) {
        m->punti = l.parola();
        m->font = l.stringa();
    }
    for (int i = 0; i < n && !l.fuori; i++) {
        l.allinea();
        controllo c;
        c.stile = l.doppia();
        c.estilo = l.doppia();
        c.x = static_cast<std::int16_t>(l.parola());
        c.y = static_cast<std::int16_t>(l.parola());
        c.cx = static_cast<std::int16_t>(l.parola());
        c.cy = static_cast<std::int16_t>(l.parola());
        c.id = l.parola();
        c.classe = l.stringa();
        c.testo = l.stringa();
        std::uint16_t extra = l.parola();
        l.pos += extra;
        m->controlli.push_back(c);
    }
    return !l.fuori && static_cast<int>(m->controlli.size()) == n;
}

const char BOTTONE[] = "#128";
const char STATICO[] = "#130";
const char BARRA[] = "#132";
const std::uint32_t FIGLIO = WS_CHILD | WS_VISIBLE;

void confronta(const modello& m, const std::vector<controllo>& attesi) {
    ASSERT_EQ(m.controlli.size(), attesi.size());
    for (size_t i = 0; i < attesi.size(); i++) {
        const controllo& c = m.controlli[i];
        const controllo& a = attesi[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + a.testo + "\"");
        EXPECT_EQ(c.id, a.id);
        EXPECT_EQ(c.classe, a.classe);
        EXPECT_EQ(c.testo, a.testo);
        EXPECT_EQ(c.x, a.x);
        EXPECT_EQ(c.y, a.y);
        EXPECT_EQ(c.cx, a.cx);
        EXPECT_EQ(c.cy, a.cy);
        EXPECT_EQ(c.stile, a.stile | FIGLIO) << std::hex << c.stile;
        EXPECT_EQ(c.estilo, 0u);
    }
}

TEST(Risorse, ModelloOpzioni) {
    modello m;
    ASSERT_TRUE(leggi_modello(risorsa(RT_DIALOG, IDD_OPZIONI), &m));
    EXPECT_EQ(m.stile, 0x10C800C0u);
    EXPECT_EQ(m.estilo, 0u);
    EXPECT_EQ(m.x, 10);
    EXPECT_EQ(m.y, 10);
    EXPECT_EQ(m.cx, 211);
    EXPECT_EQ(m.cy, 140);
    EXPECT_EQ(m.menu, "");
    EXPECT_EQ(m.classe, "");
    EXPECT_EQ(m.titolo, "Options");
    EXPECT_EQ(m.punti, 8);
    EXPECT_EQ(m.font, "MS Sans Serif");
    const std::uint32_t CASELLA = BS_AUTOCHECKBOX | WS_TABSTOP;
    const std::uint32_t SCRITTA = SS_LEFT | WS_GROUP;
    confronta(m, {
                     {SBS_HORZ | SBS_TOPALIGN, 0, 13, 84, 77, 10, 3013, BARRA, "Scroll bar"},
                     {BS_GROUPBOX | WS_GROUP, 0, 5, 8, 93, 100, 0xFFFF, BOTTONE, "Player 1"},
                     {SCRITTA, 0, 33, 72, 20, 10, 0xFFFF, STATICO, "skill :"},
                     {CASELLA, 0, 24, 42, 57, 16, 3009, BOTTONE, "Automatic"},
                     {CASELLA, 0, 24, 26, 57, 15, 3008, BOTTONE, "Human"},
                     {SCRITTA, 0, 58, 72, 13, 10, 20, STATICO, "0"},
                     {SBS_HORZ | SBS_TOPALIGN, 0, 117, 84, 77, 10, 3012, BARRA, "Scroll bar"},
                     {BS_GROUPBOX, 0, 109, 8, 93, 100, 0xFFFF, BOTTONE, "Player 2"},
                     {SCRITTA, 0, 137, 72, 20, 10, 0xFFFF, STATICO, "skill :"},
                     {CASELLA, 0, 128, 42, 57, 16, 3011, BOTTONE, "Automatic"},
                     {CASELLA, 0, 128, 26, 57, 15, 3010, BOTTONE, "Human"},
                     {SCRITTA, 0, 162, 72, 13, 10, 21, STATICO, "0"},
                     {BS_PUSHBUTTON | WS_TABSTOP, 0, 5, 113, 93, 20, 3014, BOTTONE, "OK"},
                     {BS_PUSHBUTTON | WS_TABSTOP, 0, 109, 113, 91, 19, 3015, BOTTONE, "Cancel"},
                 });
}

TEST(Risorse, ModelloAbout) {
    modello m;
    ASSERT_TRUE(leggi_modello(risorsa(RT_DIALOG, IDD_ABOUT), &m));
    EXPECT_EQ(m.stile, 0x00C000C0u);
    EXPECT_EQ(m.estilo, 0u);
    EXPECT_EQ(m.x, 10);
    EXPECT_EQ(m.y, 10);
    EXPECT_EQ(m.cx, 114);
    EXPECT_EQ(m.cy, 102);
    EXPECT_EQ(m.menu, "");
    EXPECT_EQ(m.classe, "");
    EXPECT_EQ(m.titolo, "About...");
    EXPECT_EQ(m.punti, 8);
    EXPECT_EQ(m.font, "MS Sans Serif");
    const std::uint32_t CENTRO = SS_CENTER | WS_GROUP;
    ASSERT_EQ(m.controlli.size(), 5u);
    std::string credito = m.controlli[1].testo;
    EXPECT_FALSE(credito.empty());
    confronta(m, {
                     {CENTRO, 0, 37, 7, 40, 13, 0xFFFF, STATICO, "Vorandel 32"},
                     {CENTRO, 0, 26, 52, 61, 13, 0xFFFF, STATICO, credito},
                     {BS_PUSHBUTTON | WS_TABSTOP, 0, 31, 80, 51, 16, IDOK, BOTTONE, "OK"},
                     {SS_ICON, 0, 45, 20, 24, 25, 0xFFFF, STATICO, "#101"},
                     {CENTRO, 0, 24, 65, 63, 13, 0xFFFF, STATICO, "v. 1.95b"},
                 });
}

#pragma pack(push, 2)
struct voce_gruppo {
    BYTE larghezza, altezza, colori, riservato;
    WORD piani, bit;
    DWORD byte;
    WORD id;
};
#pragma pack(pop)

// One image, 32 by 32 in 16 colours; drawn, it shows the board's grey and
// both tokens, yellow on the left and red on the right.
TEST(Risorse, Icona) {
    std::vector<std::uint8_t> gruppo = risorsa(RT_GROUP_ICON, IDI_VORANDEL);
    ASSERT_EQ(gruppo.size(), 6u + sizeof(voce_gruppo));
    EXPECT_EQ(gruppo[2] | (gruppo[3] << 8), 1);  // icons
    EXPECT_EQ(gruppo[4] | (gruppo[5] << 8), 1);  // one image
    voce_gruppo v;
    std::memcpy(&v, gruppo.data() + 6, sizeof v);
    EXPECT_EQ(v.larghezza, 32);
    EXPECT_EQ(v.altezza, 32);
    EXPECT_EQ(v.colori, 16);
    EXPECT_EQ(v.bit, 4);
    std::vector<std::uint8_t> immagine = risorsa(RT_ICON, v.id);
    ASSERT_EQ(immagine.size(), v.byte);
    BITMAPINFOHEADER bih;
    ASSERT_GE(immagine.size(), sizeof bih);
    std::memcpy(&bih, immagine.data(), sizeof bih);
    EXPECT_EQ(bih.biWidth, 32);
    EXPECT_EQ(bih.biHeight, 64);
    EXPECT_EQ(bih.biBitCount, 4);

    HICON icona = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VORANDEL));
    ASSERT_NE(icona, nullptr);
    HDC schermo = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(schermo);
    HBITMAP bmp = CreateCompatibleBitmap(schermo, 32, 32);
    HGDIOBJ vecchia = SelectObject(mem, bmp);
    PatBlt(mem, 0, 0, 32, 32, WHITENESS);
    DrawIconEx(mem, 0, 0, icona, 32, 32, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(GetPixel(mem, 5, 5), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(mem, 26, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 11, 11), RGB(128, 128, 128));
    SelectObject(mem, vecchia);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, schermo);
}

}  // namespace
