// What a screen reader reads of a window (Microsoft Active Accessibility):
// a plain COM object, IAccessible, that answers each call by asking a
// `fonte`, which says what the window shows in words. The object only routes
// calls; the words come from the portable core (rules/parole.h).
//
// A window answers WM_GETOBJECT for OBJID_CLIENT with `rispondi`, which
// makes a new object for each request and hands it over with
// LresultFromObject; every other object id is left to DefWindowProcA
// (Windows' own objects, UI Automation's root among them).
#ifndef VORANDEL_ACCESSIBILE_H
#define VORANDEL_ACCESSIBILE_H

#include <windows.h>

#include <string>

// What one window shows, child by child: CHILDID_SELF (0) is the whole
// window's object, 1 to figli() its simple children. Rectangles are in the
// window's client coordinates.
class fonte {
public:
    virtual ~fonte() = default;
    virtual long figli() const = 0;
    virtual std::string nome(long figlio) const = 0;
    virtual std::string valore(long) const { return std::string(); }
    virtual std::string descrizione(long) const { return std::string(); }
    virtual long ruolo(long figlio) const = 0;
    virtual long stato(long figlio) const = 0;
    virtual bool rettangolo(long figlio, RECT* r) const = 0;
    // The default action's name; empty for none.
    virtual std::string azione(long) const { return std::string(); }
    // Performs the default action by posting it; DISP_E_MEMBERNOTFOUND for
    // a child that has none.
    virtual HRESULT esegui(long) const { return DISP_E_MEMBERNOTFOUND; }
    // The child at a client point, CHILDID_SELF for the window's own area,
    // -1 outside it.
    virtual long colpito(POINT) const { return CHILDID_SELF; }
    // The child that accNavigate reaches from `da` in direction `verso`
    // (NAVDIR_...), -1 for none.
    virtual long vicino(long, long) const { return -1; }
    // The child that has the focus (CHILDID_SELF: the window's object), -1
    // for none; the selected child, -1 for none.
    virtual long fuoco() const { return -1; }
    virtual long scelto() const { return -1; }
};

// The answer to WM_GETOBJECT: a new object reading `f` for OBJID_CLIENT
// (lParam compared as a DWORD), DefWindowProcA's answer for anything else.
LRESULT rispondi(HWND hWnd, WPARAM wParam, LPARAM lParam, const fonte& f);

#endif
