#include "platform/ui/win/win_accessible.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/win/ole_interfaces.h"

namespace zn::ui::win {

// The system's proxy for the window, with the page's facts laid over it for the window itself
// (CHILDID_SELF); the proxy's children (the parts of a list) are the proxy's alone.
class AccessibleObject final : public com::ComObject<AccessibleObject, IAccessible, IOleWindow>, public IEnumVARIANT {
public:
    AccessibleObject(HWND window, com::ComPtr<IAccessible> proxy, const AccessibleFacts& facts)
        : window_(window), proxy_(std::move(proxy)), facts_(&facts) {}

    // Cut off from the window and the facts: every call answers RPC_E_DISCONNECTED from now on.
    void disconnect() noexcept {
        facts_ = nullptr;
        proxy_ = nullptr;
        enumerator_ = nullptr;
        window_ = nullptr;
    }

    // The proxy's enumeration of children, where it has one (clients ask for it to walk them).
    void* query_extra(REFIID riid) noexcept {
        if (!com::same_guid(riid, com::iid_of<IEnumVARIANT>()) || !proxy_) return nullptr;
        if (!enumerator_) enumerator_ = proxy_.try_as<IEnumVARIANT>();
        return enumerator_ ? static_cast<IEnumVARIANT*>(this) : nullptr;
    }

    // IUnknown, for the interfaces beyond the object's list.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return ComObject::QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }

    // IDispatch: the proxy's type information, invoked on this object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        com::ComPtr<ITypeInfo> info;
        if (FAILED(proxy_->GetTypeInfo(0, locale, info.put())) || !info)
            return proxy_->Invoke(member, riid, locale, flags, params, result, exception, bad_argument);
        return DispInvoke(static_cast<IAccessible*>(this), info.get(), member, flags, params, result, exception,
                          bad_argument);
    }

    // IAccessible: what the page knows of the window itself, the proxy's answer for the rest.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return text(child, name, &AccessibleWords::name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        if (!value) return E_POINTER;
        *value = nullptr;
        const HRESULT hr = proxy_->get_accValue(child, value);
        if (!is_self(child) || !facts_->value || (SUCCEEDED(hr) && SysStringLen(*value) > 0)) return hr;
        SysFreeString(std::exchange(*value, nullptr));
        return answer(
            value, [&] { return facts_->value(); }, [hr] { return hr; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return text(child, description, &AccessibleWords::description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        if (!role) return E_POINTER;
        const HRESULT hr = proxy_->get_accRole(child, role);
        if (!is_self(child) || facts_->role == 0) return hr;
        const bool vague = FAILED(hr) || role->vt != VT_I4 || role->lVal == ROLE_SYSTEM_CLIENT;
        if (!vague) return hr;
        VariantClear(role);
        role->vt = VT_I4;
        role->lVal = facts_->role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        if (!state) return E_POINTER;
        const HRESULT hr = proxy_->get_accState(child, state);
        if (!is_self(child) || !facts_->state || FAILED(hr) || state->vt != VT_I4) return hr;
        try {
            state->lVal |= facts_->state();
        } catch (...) {
            return com::current_exception_to_hresult();
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return text(child, shortcut, &AccessibleWords::shortcut, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        if (!proxy_) return RPC_E_DISCONNECTED;
        return proxy_->put_accValue(child, value);
    }

    // IOleWindow: the window, which clients read back with WindowFromAccessibleObject.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = window_;
        return window_ ? S_OK : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IEnumVARIANT: the proxy's.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (!enumerator_) return RPC_E_DISCONNECTED;
        return enumerator_->Next(count, items, fetched);
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (!enumerator_) return RPC_E_DISCONNECTED;
        return enumerator_->Skip(count);
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        if (!enumerator_) return RPC_E_DISCONNECTED;
        return enumerator_->Reset();
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (!enumerator_) return RPC_E_DISCONNECTED;
        return enumerator_->Clone(copy);
    }

private:
    static bool is_self(const VARIANT& child) noexcept { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    using ProxyText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

    // One of the words, where the page has it; the proxy's otherwise.
    HRESULT text(const VARIANT& child, BSTR* out, std::optional<std::u16string> AccessibleWords::*word,
                 ProxyText proxy_text) {
        if (!proxy_) return RPC_E_DISCONNECTED;
        if (!out) return E_POINTER;
        *out = nullptr;
        IAccessible& proxy = *proxy_.get();
        if (!is_self(child) || !facts_->words) return (proxy.*proxy_text)(child, out);
        return answer(
            out, [&] { return facts_->words().*word; }, [&] { return (proxy.*proxy_text)(child, out); });
    }

    // The text that read() finds, or else what the proxy says; errors become the error's code.
    template <class Read, class Fallback>
    static HRESULT answer(BSTR* out, Read read, Fallback fallback) noexcept {
        try {
            std::optional<std::u16string> found = read();
            if (!found) return fallback();
            *out = com::alloc_bstr(*found);
            return S_OK;
        } catch (...) {
            return com::current_exception_to_hresult();
        }
    }

    HWND window_;
    com::ComPtr<IAccessible> proxy_;
    com::ComPtr<IEnumVARIANT> enumerator_;
    const AccessibleFacts* facts_;
};

AccessibleServer::AccessibleServer() = default;

AccessibleServer::~AccessibleServer() {
    if (window_) RemoveWindowSubclass(window_, procedure, 0);
    disconnect();
}

void AccessibleServer::serve(HWND window, AccessibleFacts facts) {
    facts_ = std::move(facts);
    window_ = window;
    if (!SetWindowSubclass(window, procedure, 0, reinterpret_cast<DWORD_PTR>(this)))
        com::throw_error(E_FAIL, u"A control cannot tell screen readers what it is.");
}

LRESULT CALLBACK AccessibleServer::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<AccessibleServer*>(data);
    if (message == WM_GETOBJECT && static_cast<LONG>(lparam) == OBJID_CLIENT) {
        const LRESULT answered = self->answer(wparam);
        if (answered > 0) return answered;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, procedure, id);
        self->window_ = nullptr;
        self->disconnect();
    }
    return DefSubclassProc(window, message, wparam, lparam);
}

// The object is made on the first request and kept, so a client asking again gets the same one.
LRESULT AccessibleServer::answer(WPARAM wparam) noexcept {
    if (!object_) {
        com::ComPtr<IAccessible> proxy;
        if (FAILED(CreateStdAccessibleObject(window_, OBJID_CLIENT, com::iid_of<IAccessible>(), proxy.put_void())) ||
            !proxy)
            return 0;  // the system answers with its own proxy then
        try {
            object_ = com::make_object<AccessibleObject>(window_, std::move(proxy), facts_);
        } catch (...) {
            return 0;
        }
    }
    return LresultFromObject(com::iid_of<IAccessible>(), wparam, static_cast<IAccessible*>(object_.get()));
}

void AccessibleServer::disconnect() noexcept {
    if (!object_) return;
    object_->disconnect();
    // References held for other processes (and for a reference that no client took up) go now.
    CoDisconnectObject(object_->unknown(), 0);
    object_ = nullptr;
}

}  // namespace zn::ui::win
