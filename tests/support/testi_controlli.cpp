#include "testi_controlli.h"

#include <string>

namespace {

// What a push button's edge and focus frame take on each side of its label.
const int BORDO_TASTO = 3;

// Controls whose window text is not drawn as text.
bool senza_testo(HWND c) {
    char classe[32] = "";
    GetClassNameA(c, classe, sizeof classe);
    if (lstrcmpiA(classe, "ScrollBar") == 0) return true;
    if (lstrcmpiA(classe, "Static") != 0) return false;
    LONG tipo = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
    return tipo == SS_ICON || tipo == SS_BITMAP || tipo == SS_ENHMETAFILE;
}

}  // namespace

::testing::AssertionResult testo_entra(HWND controllo) {
    char testo[256] = "", classe[32] = "";
    int n = GetWindowTextA(controllo, testo, sizeof testo);
    GetClassNameA(controllo, classe, sizeof classe);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(controllo, WM_GETFONT, 0, 0));
    if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    HDC hdc = GetDC(controllo);
    HGDIOBJ vecchio = SelectObject(hdc, font);
    SIZE dim{0, 0};
    GetTextExtentPoint32A(hdc, testo, n, &dim);
    SelectObject(hdc, vecchio);
    ReleaseDC(controllo, hdc);
    RECT r{0, 0, 0, 0};
    GetClientRect(controllo, &r);
    // A push button draws its label inside its raised edge and focus frame.
    if (lstrcmpiA(classe, "Button") == 0) {
        LONG tipo = GetWindowLongA(controllo, GWL_STYLE) & BS_TYPEMASK;
        if (tipo == BS_PUSHBUTTON || tipo == BS_DEFPUSHBUTTON) InflateRect(&r, -BORDO_TASTO, -BORDO_TASTO);
        OffsetRect(&r, -r.left, -r.top);
    }
    std::string misure = std::to_string(dim.cx) + " x " + std::to_string(dim.cy) + " pixels in a client area of " +
                         std::to_string(r.right) + " x " + std::to_string(r.bottom);
    std::string chi = std::string("\"") + testo + "\" (" + classe + ", id " +
                      std::to_string(GetDlgCtrlID(controllo)) + "): ";
    if (dim.cx <= r.right && dim.cy <= r.bottom) return ::testing::AssertionSuccess() << chi << misure;
    return ::testing::AssertionFailure() << chi << misure;
}

::testing::AssertionResult testi_entrano(HWND finestra) {
    std::string guasti;
    int misurati = 0;
    for (HWND c = GetWindow(finestra, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetWindowTextLengthA(c) == 0 || senza_testo(c)) continue;
        misurati++;
        ::testing::AssertionResult r = testo_entra(c);
        if (!r) guasti += std::string("\n  ") + r.message();
    }
    if (misurati == 0) return ::testing::AssertionFailure() << "no control with a text";
    if (guasti.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "texts wider or taller than their controls:" << guasti;
}
