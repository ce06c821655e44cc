// The module's four exported entry points, served by the generic server layer.
#include "platform/com/com_error.h"
#include "platform/com/module_path.h"
#include "plugin/class_server.h"

#ifndef _WIN32
#define ZN_EXPORT __attribute__((visibility("default")))
#else
#define ZN_EXPORT
#endif

namespace {

template <class F>
HRESULT with_module_path(F&& f) noexcept {
    std::u16string path;
    const HRESULT hr = zn::com::com_boundary([&] { path = zn::com::module_file_path(); });
    return FAILED(hr) ? hr : f(path);
}

}  // namespace

extern "C" ZN_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    return zn::plugin::server_get_class_object(clsid, iid, ppv);
}

extern "C" ZN_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return zn::plugin::server_can_unload_now();
}

extern "C" ZN_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    return with_module_path([](const std::u16string& path) { return zn::plugin::server_register(path); });
}

extern "C" ZN_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    return with_module_path([](const std::u16string& path) { return zn::plugin::server_unregister(path); });
}
