#include "plugin/class_server.h"

#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/registry.h"
#include "platform/com/type_library_registration.h"
#include "plugin/module_identity.h"

namespace zn::plugin {
namespace {

class ClassFactory final : public com::ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(const ClassIdentity& identity) : identity_(identity) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return com::com_boundary([&] { com::check(identity_.create()->QueryInterface(iid, ppv)); });
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            com::ModuleCount::increment();
        else
            com::ModuleCount::decrement();
        return S_OK;
    }

private:
    const ClassIdentity& identity_;
};

// One registry value that registration writes; unregistration removes exactly these.
struct RegistryEntry {
    std::u16string key;
    std::u16string name;  // empty: the key's default value
    std::u16string value;
    // On 64-bit Windows a key that both bitnesses' views share (a ProgID), kept while this class
    // is still registered in the other view by the other bitness's module.
    const ClassIdentity* shared_by = nullptr;
};

std::u16string decimal(unsigned long n) {
    std::u16string s;
    do {
        s.insert(s.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n);
    return s;
}

std::vector<RegistryEntry> registry_entries(std::u16string_view module_path) {
    const ModuleIdentity& module = module_identity();
    const std::u16string libid = com::format_guid(module.libid);
    const std::u16string version = decimal(module.version_major) + u"." + decimal(module.version_minor);
    std::vector<RegistryEntry> entries;
    for (const ClassIdentity& c : module_classes()) {
        const std::u16string prog_id(c.prog_id);
        const std::u16string clsid = com::format_guid(c.clsid);
        const std::u16string key = u"CLSID\\" + clsid;
        entries.push_back({key, u"", prog_id});
        entries.push_back({key + u"\\InprocServer32", u"", std::u16string(module_path)});
        entries.push_back({key + u"\\InprocServer32", u"ThreadingModel", std::u16string(module.threading_model)});
        entries.push_back({key + u"\\ProgID", u"", prog_id});
        entries.push_back({key + u"\\TypeLib", u"", libid});
        entries.push_back({key + u"\\VERSION", u"", version});
        if (c.document) {
            // What a document container looks for before it binds a file to this class.
            entries.push_back({key + u"\\DocObject", u"", u"0"});
            entries.push_back({key + u"\\MiscStatus", u"", decimal(c.misc_status)});
        }
        entries.push_back({prog_id, u"", prog_id, &c});
        entries.push_back({prog_id + u"\\CLSID", u"", clsid, &c});
    }
    return entries;
}

// Every key of path from the deepest up, for removing the ones left empty.
std::vector<std::u16string> key_and_parents(const std::u16string& path) {
    std::vector<std::u16string> keys{path};
    for (auto pos = path.rfind(u'\\'); pos != std::u16string::npos; pos = path.rfind(u'\\', pos - 1)) {
        keys.push_back(path.substr(0, pos));
        if (pos == 0) break;
    }
    return keys;
}

bool registered_by_other_bitness(const ClassIdentity& c) {
    return com::registry::key_exists_in_other_view(u"CLSID\\" + com::format_guid(c.clsid) + u"\\InprocServer32");
}

void remove_entries(std::vector<RegistryEntry> entries) {
    std::erase_if(entries,
                  [](const RegistryEntry& e) { return e.shared_by && registered_by_other_bitness(*e.shared_by); });
    for (const RegistryEntry& e : entries) {
        // A value that someone else has since changed is theirs now.
        const auto current = com::registry::get_value(e.key, e.name);
        if (current && *current == e.value) com::registry::delete_value(e.key, e.name);
    }
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        for (const std::u16string& key : key_and_parents(it->key)) {
            if (key == u"CLSID") break;
            com::registry::delete_key_if_empty(key);
        }
}

com::TypeLibraryIdentity type_library() {
    const ModuleIdentity& m = module_identity();
    return {m.libid, m.version_major, m.version_minor, m.lcid, m.library_name};
}

}  // namespace

HRESULT server_get_class_object(REFCLSID clsid, REFIID iid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const ClassIdentity* identity = find_class(clsid);
    if (!identity) return CLASS_E_CLASSNOTAVAILABLE;
    return com::com_boundary([&] { com::check(com::make_object<ClassFactory>(*identity)->QueryInterface(iid, ppv)); });
}

HRESULT server_can_unload_now() noexcept {
    return com::ModuleCount::value() == 0 ? S_OK : S_FALSE;
}

HRESULT server_register(std::u16string_view module_path) noexcept {
    // The entries are built inside the boundary too: running out of memory there is a failed
    // registration, not a program ended by an exception leaving a noexcept function.
    HRESULT hr = com::com_boundary([&] {
        for (const RegistryEntry& e : registry_entries(module_path)) com::registry::set_value(e.key, e.name, e.value);
    });
    if (FAILED(hr)) {
        server_unregister(module_path);
        return SELFREG_E_CLASS;
    }
    hr = com::register_type_library(module_path, type_library());
    if (FAILED(hr)) {
        server_unregister(module_path);
        return SELFREG_E_TYPELIB;
    }
    return S_OK;
}

HRESULT server_unregister(std::u16string_view module_path) noexcept {
    const HRESULT typelib = com::unregister_type_library(module_path, type_library());
    const HRESULT classes = com::com_boundary([&] { remove_entries(registry_entries(module_path)); });
    if (FAILED(classes)) return SELFREG_E_CLASS;
    if (FAILED(typelib)) return SELFREG_E_TYPELIB;
    return S_OK;
}

}  // namespace zn::plugin
