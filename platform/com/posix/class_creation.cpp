// Finding a class: first the class objects registered in this process, then the class's
// in-process server named in the registration store, loaded once and kept loaded.
#include <dlfcn.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/com/guid.h"
#include "platform/com/registry.h"
#include "platform/text/utf.h"

namespace zn::com::posix {
namespace {

struct Registration {
    DWORD cookie;
    CLSID clsid;
    IUnknown* object;
    DWORD context;
    bool single_use;
};

// Never destroyed: objects still registered at exit are not released into a half-torn-down
// process, and modules are never unloaded.
struct ClassTable {
    std::mutex mutex;
    std::vector<Registration> registrations;
    DWORD next_cookie = 1;
    std::map<std::string, void*> modules;
};

ClassTable& table() {
    static auto* instance = new ClassTable;
    return *instance;
}

// A registered class object for the class, AddRef'ed, or null.
IUnknown* registered_object(REFCLSID clsid, DWORD context) {
    ClassTable& t = table();
    std::lock_guard lock(t.mutex);
    for (auto it = t.registrations.begin(); it != t.registrations.end(); ++it) {
        if (!(it->clsid == clsid) || (it->context & context) == 0) continue;
        IUnknown* object = it->object;
        object->AddRef();
        if (it->single_use) {
            // Handed out once; the table's own reference goes with it.
            t.registrations.erase(it);
            object->Release();
        }
        return object;
    }
    return nullptr;
}

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);

// The module's DllGetClassObject; the module is loaded on first use.
HRESULT server_entry(const std::string& module_path, GetClassObjectFn* entry) {
    ClassTable& t = table();
    std::lock_guard lock(t.mutex);
    void*& handle = t.modules[module_path];
    if (!handle) {
        handle = dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            t.modules.erase(module_path);
            return ::access(module_path.c_str(), F_OK) == 0 ? CO_E_ERRORINDLL : CO_E_DLLNOTFOUND;
        }
    }
    *entry = reinterpret_cast<GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    return *entry ? S_OK : CO_E_ERRORINDLL;
}

HRESULT from_registered_server(REFCLSID clsid, REFIID iid, void** ppv) {
    std::optional<std::u16string> server;
    try {
        server = registry::get_value(u"CLSID\\" + format_guid(clsid) + u"\\InprocServer32", u"");
    } catch (const ComError& e) {
        return e.code();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!server || server->empty()) return REGDB_E_CLASSNOTREG;
    GetClassObjectFn entry = nullptr;
    if (const HRESULT hr = server_entry(text::to_utf8(*server), &entry); FAILED(hr)) return hr;
    return entry(clsid, iid, ppv);
}

}  // namespace
}  // namespace zn::com::posix

using namespace zn::com::posix;

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid, void** ppv) {
    (void)pvReserved;
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    if (IUnknown* object = registered_object(rclsid, dwClsContext)) {
        const HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    if ((dwClsContext & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)) == 0) return REGDB_E_CLASSNOTREG;
    return from_registered_server(rclsid, riid, ppv);
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags, DWORD* lpdwRegister) {
    if (!pUnk || !lpdwRegister) return E_INVALIDARG;
    *lpdwRegister = 0;
    ClassTable& t = table();
    std::lock_guard lock(t.mutex);
    pUnk->AddRef();
    *lpdwRegister = t.next_cookie++;
    t.registrations.push_back({*lpdwRegister, rclsid, pUnk, dwClsContext, flags == REGCLS_SINGLEUSE});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
    IUnknown* object = nullptr;
    {
        ClassTable& t = table();
        std::lock_guard lock(t.mutex);
        for (auto it = t.registrations.begin(); it != t.registrations.end(); ++it) {
            if (it->cookie == dwRegister) {
                object = it->object;
                t.registrations.erase(it);
                break;
            }
        }
    }
    if (!object) return CO_E_OBJNOTREG;
    // Released outside the lock: the object's last release may register or revoke in turn.
    object->Release();
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    IClassFactory* factory = nullptr;
    const HRESULT hr =
        CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    const HRESULT created = factory->CreateInstance(nullptr, riid, ppv);
    factory->Release();
    // A factory that reports success must hand out an object.
    if (SUCCEEDED(created) && !*ppv) return E_UNEXPECTED;
    if (FAILED(created)) *ppv = nullptr;
    return created;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, CLSID* lpclsid) {
    if (!lpszProgID || !lpclsid) return E_INVALIDARG;
    *lpclsid = GUID_NULL;
    const std::u16string_view prog_id(lpszProgID);
    // A ProgID is one key name; anything that is not cannot name a class.
    if (prog_id.empty() || prog_id.find(u'\\') != std::u16string_view::npos) return CO_E_CLASSSTRING;
    try {
        const auto text = zn::com::registry::get_value(std::u16string(prog_id) + u"\\CLSID", u"");
        const auto clsid = text ? zn::com::parse_guid(*text) : std::nullopt;
        if (!clsid) return CO_E_CLASSSTRING;
        *lpclsid = *clsid;
        return S_OK;
    } catch (const zn::com::ComError& e) {
        // A ProgID the store cannot hold as a key name names no class.
        return e.code() == E_INVALIDARG ? CO_E_CLASSSTRING : e.code();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
