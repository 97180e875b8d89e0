// The IAccessible that routes a screen reader's calls to a `fonte` (see
// accessibile.h). Plain COM: one object per WM_GETOBJECT, counted by its
// references, with no type library (IDispatch answers that it has none).
#include "accessibile.h"

#include <oleacc.h>

#include <atomic>
#include <new>

namespace {

// A child id from a VARIANT: VT_I4 (or VT_EMPTY for the object itself); -1
// for anything else.
long figlio_da(const VARIANT& v) {
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_EMPTY) return CHILDID_SELF;
    return -1;
}

BSTR in_bstr(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 0) return nullptr;
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (b != nullptr) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, b, n);
    return b;
}

// A text for the caller: S_FALSE and null when there is none.
HRESULT testo(const std::string& s, BSTR* esito) {
    if (esito == nullptr) return E_POINTER;
    *esito = nullptr;
    if (s.empty()) return S_FALSE;
    *esito = in_bstr(s);
    return *esito != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A child (or the object itself) in a VARIANT: VT_EMPTY and S_FALSE for -1.
HRESULT come_figlio(long figlio, VARIANT* v) {
    if (v == nullptr) return E_POINTER;
    VariantInit(v);
    if (figlio < 0) return S_FALSE;
    v->vt = VT_I4;
    v->lVal = figlio;
    return S_OK;
}

class accessibile : public IAccessible {
    std::atomic<ULONG> riferimenti{1};
    HWND finestra;
    const fonte& f;

    bool valido(long figlio) const { return figlio >= 0 && figlio <= f.figli(); }

public:
    accessibile(HWND w, const fonte& sorgente) : finestra(w), f(sorgente) {}
    virtual ~accessibile() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IAccessible)) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++riferimenti; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --riferimenti;
        if (n == 0) delete this;
        return n;
    }

    // IDispatch: no type information; screen readers call IAccessible.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n == nullptr) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** t) override {
        if (t != nullptr) *t = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
        if (p == nullptr) return E_POINTER;
        *p = nullptr;
        return AccessibleObjectFromWindow(finestra, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(p)) == S_OK && *p != nullptr
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override {
        if (n == nullptr) return E_POINTER;
        *n = f.figli();
        return S_OK;
    }
    // The children are simple elements, with no object of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT v, IDispatch** p) override {
        if (p == nullptr) return E_POINTER;
        *p = nullptr;
        return valido(figlio_da(v)) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT v, BSTR* b) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return testo(f.nome(c), b);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT v, BSTR* b) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return testo(f.valore(c), b);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT v, BSTR* b) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return testo(f.descrizione(c), b);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT v, VARIANT* r) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return come_figlio(f.ruolo(c), r);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT v, VARIANT* s) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return come_figlio(f.stato(c), s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* b) override { return testo(std::string(), b); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* b, VARIANT, long* t) override {
        if (b != nullptr) *b = nullptr;
        if (t != nullptr) *t = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* b) override { return testo(std::string(), b); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* v) override { return come_figlio(f.fuoco(), v); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* v) override {
        long s = f.scelto();
        return come_figlio(s > 0 ? s : -1, v);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT v, BSTR* b) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return testo(f.azione(c), b);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* l, long* h, VARIANT v) override {
        if (x == nullptr || y == nullptr || l == nullptr || h == nullptr) return E_POINTER;
        *x = *y = *l = *h = 0;
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        RECT r;
        if (!f.rettangolo(c, &r)) return S_FALSE;
        POINT o{r.left, r.top};
        ClientToScreen(finestra, &o);
        *x = o.x;
        *y = o.y;
        *l = r.right - r.left;
        *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long verso, VARIANT da, VARIANT* v) override {
        long c = figlio_da(da);
        if (!valido(c)) return E_INVALIDARG;
        return come_figlio(f.vicino(verso, c), v);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* v) override {
        POINT p{x, y};
        ScreenToClient(finestra, &p);
        return come_figlio(f.colpito(p), v);
    }
    // Posts what the action does and returns: nothing acts inside the call.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT v) override {
        long c = figlio_da(v);
        if (!valido(c)) return E_INVALIDARG;
        return f.esegui(c);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
};

}  // namespace

LRESULT rispondi(HWND hWnd, WPARAM wParam, LPARAM lParam, const fonte& f) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return DefWindowProcA(hWnd, WM_GETOBJECT, wParam, lParam);
    accessibile* a = new (std::nothrow) accessibile(hWnd, f);
    if (a == nullptr) return 0;
    LRESULT r = LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(a));
    a->Release();  // LresultFromObject holds its own reference while the object is on its way
    return r;
}
