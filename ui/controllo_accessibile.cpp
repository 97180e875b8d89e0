// The object a screen reader gets for a control: a stand-in over Windows'
// own, answering the name, the value, the role and the states from the
// game's description and handing every other question to Windows' object.
#include "controllo_accessibile.h"

#include <oleacc.h>

#include <vector>

namespace {

BSTR in_bstr(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 0) return nullptr;
    std::vector<wchar_t> w(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    return SysAllocString(w.data());
}

bool se_stesso(const VARIANT& figlio) { return figlio.vt == VT_I4 && figlio.lVal == CHILDID_SELF; }

class controllo_descritto final : public IAccessible, public IOleWindow {
public:
    controllo_descritto(HWND h, IAccessible* b, descrittore d) : hwnd(h), base(b), descrivi(d) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IAccessible))
            *ppv = static_cast<IAccessible*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow))
            *ppv = static_cast<IOleWindow*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&conto)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&conto);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IOleWindow: the control's window, for WindowFromAccessibleObject.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* h) override {
        if (h == nullptr) return E_POINTER;
        *h = hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: Windows' object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return base->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return base->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return base->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override {
        return base->Invoke(d, r, l, f, p, v, e, a);
    }

    // IAccessible: what the game describes, the rest Windows' own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT figlio, BSTR* nome) override {
        descrizione_accessibile d;
        if (nome != nullptr && se_stesso(figlio) && descrivi(hwnd, d) && !d.nome.empty())
            return (*nome = in_bstr(d.nome)) != nullptr ? S_OK : E_OUTOFMEMORY;
        return base->get_accName(figlio, nome);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT figlio, BSTR* valore) override {
        descrizione_accessibile d;
        if (valore != nullptr && se_stesso(figlio) && descrivi(hwnd, d) && !d.valore.empty())
            return (*valore = in_bstr(d.valore)) != nullptr ? S_OK : E_OUTOFMEMORY;
        return base->get_accValue(figlio, valore);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT figlio, VARIANT* ruolo) override {
        descrizione_accessibile d;
        if (ruolo != nullptr && se_stesso(figlio) && descrivi(hwnd, d) && d.ruolo != 0) {
            ruolo->vt = VT_I4;
            ruolo->lVal = d.ruolo;
            return S_OK;
        }
        return base->get_accRole(figlio, ruolo);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT figlio, VARIANT* stato) override {
        HRESULT r = base->get_accState(figlio, stato);
        descrizione_accessibile d;
        if (SUCCEEDED(r) && stato != nullptr && stato->vt == VT_I4 && se_stesso(figlio) && descrivi(hwnd, d))
            stato->lVal = (stato->lVal & ~d.stati_tolti) | d.stati_aggiunti;
        return r;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return base->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return base->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT f, IDispatch** p) override { return base->get_accChild(f, p); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT f, BSTR* s) override {
        return base->get_accDescription(f, s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT f, BSTR* s) override { return base->get_accHelp(f, s); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* s, VARIANT f, LONG* t) override {
        return base->get_accHelpTopic(s, f, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT f, BSTR* s) override {
        return base->get_accKeyboardShortcut(f, s);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return base->get_accFocus(f); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return base->get_accSelection(s); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT f, BSTR* s) override {
        return base->get_accDefaultAction(f, s);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG s, VARIANT f) override { return base->accSelect(s, f); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* l, LONG* h, VARIANT f) override {
        return base->accLocation(x, y, l, h, f);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override {
        return base->accNavigate(d, s, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* f) override { return base->accHitTest(x, y, f); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT f) override { return base->accDoDefaultAction(f); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT f, BSTR s) override { return base->put_accName(f, s); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT f, BSTR s) override { return base->put_accValue(f, s); }

private:
    ~controllo_descritto() { base->Release(); }

    LONG conto = 1;
    HWND hwnd;
    IAccessible* base;
    descrittore descrivi;
};

}  // namespace

LRESULT oggetto_controllo(HWND controllo, WPARAM wParam, descrittore descrivi) {
    // Handing an object to another process needs COM on this thread; the
    // first question starts it, for the rest of the run.
    static const bool com = SUCCEEDED(CoInitialize(nullptr));
    (void)com;
    IAccessible* base = nullptr;
    if (FAILED(CreateStdAccessibleObject(controllo, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&base))) ||
        base == nullptr)
        return 0;
    auto* oggetto = new controllo_descritto(controllo, base, descrivi);
    LRESULT r = LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(oggetto));
    oggetto->Release();
    return r < 0 ? 0 : r;
}
