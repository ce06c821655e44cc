#include "platform/com/type_library_registration.h"

#include <string>

#include "platform/com/com_ptr.h"

namespace zn::com {

HRESULT register_type_library(std::u16string_view module_path, const TypeLibraryIdentity&) noexcept {
    std::wstring path(module_path.begin(), module_path.end());
    ITypeLib* raw = nullptr;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &raw);
    if (FAILED(hr)) return hr;
    auto library = ComPtr<ITypeLib>::attach(raw);
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    return RegisterTypeLib(library.get(), path.data(), folder.data());
}

HRESULT unregister_type_library(std::u16string_view, const TypeLibraryIdentity& library) noexcept {
    // Not registered at all: nothing to remove. Asked first because UnRegisterTypeLib's code for
    // this case differs between systems (Wine answers E_INVALIDARG).
    BSTR registered_path = nullptr;
    if (FAILED(QueryPathOfRegTypeLib(library.libid, library.major, library.minor, library.lcid, &registered_path)))
        return S_OK;
    SysFreeString(registered_path);
    const HRESULT hr = UnRegisterTypeLib(library.libid, library.major, library.minor, library.lcid,
                                         sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // Not registered (or already removed) is no failure.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}

}  // namespace zn::com
