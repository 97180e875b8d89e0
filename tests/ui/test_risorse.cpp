// The compiled resources as the program finds them in its own module, in US
// English: the menu with its commands, the two dialog templates' styles and
// control ids, the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pixel.h"
#include "risorse.h"

namespace {

const WORD INGLESE_USA = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The menu bar: three pop-ups, their items and commands, Help at the right;
// the unused command 32002 is not there.
TEST(Risorse, Menu) {
    HMODULE m = GetModuleHandleA(nullptr);
    EXPECT_NE(FindResourceExA(m, RT_MENU, MAKEINTRESOURCEA(IDM_MENU), INGLESE_USA), nullptr);
    HMENU menu = LoadMenuA(m, MAKEINTRESOURCEA(IDM_MENU));
    ASSERT_NE(menu, nullptr);
    // Each pop-up as "Title (flags): item=id ...".
    std::vector<std::string> visti;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char t[64] = "";
        GetMenuStringA(menu, i, t, sizeof t, MF_BYPOSITION);
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoA(menu, i, TRUE, &mii);
        std::string s = std::string(t) + (mii.fType == MFT_STRING ? "" : mii.fType == MF_HELP ? " (help)" : " (?)") +
                        (mii.fState == 0 ? ":" : " (state):");
        HMENU sotto = GetSubMenu(menu, i);
        for (int j = 0; sotto != nullptr && j < GetMenuItemCount(sotto); j++) {
            GetMenuStringA(sotto, j, t, sizeof t, MF_BYPOSITION);
            s += std::string(" ") + t + "=" + std::to_string(GetMenuItemID(sotto, j));
        }
        visti.push_back(s);
    }
    EXPECT_EQ(visti, (std::vector<std::string>{"File: New game=32000 New tournament=32001 Exit=32005",
                                               "Options: others...=32006",
                                               "Help (help): Help topics=32003 About...=32004"}));
    EXPECT_EQ(GetMenuState(menu, 32002, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyMenu(menu);
}

// A dialog template (the plain form) read as its style and its controls' ids
// in order.
std::vector<std::uint32_t> stile_e_controlli(int id) {
    HMODULE m = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceExA(m, RT_DIALOG, MAKEINTRESOURCEA(id), INGLESE_USA);
    if (r == nullptr) return {};
    const std::uint8_t* b = static_cast<const std::uint8_t*>(LockResource(LoadResource(m, r)));
    size_t pos = 0, fine = SizeofResource(m, r);
    auto parola = [&]() -> std::uint32_t {
        pos += 2;
        return pos <= fine ? static_cast<std::uint32_t>(b[pos - 2] | (b[pos - 1] << 8)) : 0;
    };
    auto salta_stringa = [&]() {
        if (std::uint32_t w = parola(); w == 0xFFFF)
            parola();
        else
            while (w != 0 && pos < fine) w = parola();
    };
    std::uint32_t stile = parola();
    stile |= parola() << 16;
    std::vector<std::uint32_t> v = {stile};
    pos = 8;
    std::uint32_t n = parola();
    pos += 8;
    for (int i = 0; i < 3; i++) salta_stringa();  // menu, class, title
    if (stile & DS_SETFONT) parola(), salta_stringa();
    for (std::uint32_t i = 0; i < n && pos < fine; i++) {
        pos = (pos + 3) & ~static_cast<size_t>(3);
        pos += 16;  // styles and position
        v.push_back(parola());
        salta_stringa();  // class
        salta_stringa();  // text
        pos += parola();
    }
    return pos <= fine ? v : std::vector<std::uint32_t>{};
}

// The Options dialog's controls in the screen's order, which is Tab's: each
// player's group box, "Human", "Automatic", label, number and skill bar,
// then OK and Cancel. The About dialog has a system menu, for its close box.
TEST(Risorse, ModelliDeiDialoghi) {
    EXPECT_EQ(stile_e_controlli(IDD_OPZIONI),
              (std::vector<std::uint32_t>{0x10C800C0, 0xFFFF, IDC_UMANO1, IDC_AUTOMATICO1, 0xFFFF, IDC_SKILL1,
                                          IDC_SCROLL1, 0xFFFF, IDC_UMANO2, IDC_AUTOMATICO2, 0xFFFF, IDC_SKILL2,
                                          IDC_SCROLL2, IDC_OK, IDC_ANNULLA}));
    EXPECT_EQ(stile_e_controlli(IDD_ABOUT),
              (std::vector<std::uint32_t>{0x00C800C0, 0xFFFF, 0xFFFF, IDOK, 0xFFFF, 0xFFFF}));
}

// The icon, drawn, shows the board's grey and both tokens, yellow on the
// left and red on the right.
TEST(Risorse, Icona) {
    HMODULE m = GetModuleHandleA(nullptr);
    EXPECT_NE(FindResourceExA(m, RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_VORANDEL), INGLESE_USA), nullptr);
    HICON icona = LoadIconA(m, MAKEINTRESOURCEA(IDI_VORANDEL));
    ASSERT_NE(icona, nullptr);
    HDC schermo = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(schermo);
    HBITMAP bmp = CreateCompatibleBitmap(schermo, 32, 32);
    HGDIOBJ vecchia = SelectObject(mem, bmp);
    PatBlt(mem, 0, 0, 32, 32, WHITENESS);
    DrawIconEx(mem, 0, 0, icona, 32, 32, 0, nullptr, DI_NORMAL);
    PIXEL(mem, 5, 5, RGB(255, 255, 0));
    PIXEL(mem, 26, 5, RGB(255, 0, 0));
    PIXEL(mem, 11, 11, RGB(128, 128, 128));
    SelectObject(mem, vecchia);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, schermo);
}

}  // namespace
