#include "refhost/znhost/server_module.h"

#include <filesystem>

#include "platform/com/com_error.h"
#include "platform/text/utf.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace zn::refhost {
namespace {

using EntryFn = HRESULT(STDMETHODCALLTYPE*)();

std::filesystem::path absolute_path(const std::u16string& module_path) {
    const std::string utf8 = text::to_utf8(module_path);
    std::error_code ec;
    auto p = std::filesystem::absolute(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())), ec);
    if (ec) com::throw_error(CO_E_DLLNOTFOUND, u"Cannot resolve the module path " + module_path);
    return p;
}

}  // namespace

// The one place where znhost meets the operating system's module loader.
HRESULT call_module_entry(const std::u16string& module_path, const char* entry) {
    const std::filesystem::path path = absolute_path(module_path);
#ifdef _WIN32
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) com::throw_error(CO_E_DLLNOTFOUND, u"Cannot load the module " + module_path);
    auto fn = reinterpret_cast<EntryFn>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
#else
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        com::throw_error(CO_E_DLLNOTFOUND,
                         u"Cannot load the module " + module_path + u": " + text::from_utf8(why ? why : "unknown"));
    }
    auto fn = reinterpret_cast<EntryFn>(dlsym(module, entry));
#endif
    if (!fn)
        com::throw_error(CO_E_ERRORINDLL,
                         u"The module " + module_path + u" has no entry point " + text::from_utf8(entry));
    return fn();
}

}  // namespace zn::refhost
