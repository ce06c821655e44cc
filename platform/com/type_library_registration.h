// Registering the module's embedded type library: the system's own registration on Windows,
// the same keys written into the registry stand-in elsewhere.
#pragma once

#include <string_view>

#include "platform/com/com.h"

namespace zn::com {

struct TypeLibraryIdentity {
    GUID libid;
    unsigned short major;
    unsigned short minor;
    unsigned long lcid;
    std::u16string_view name;
};

HRESULT register_type_library(std::u16string_view module_path, const TypeLibraryIdentity& library) noexcept;
// Removes the registration; a library that is not registered is no failure.
HRESULT unregister_type_library(std::u16string_view module_path, const TypeLibraryIdentity& library) noexcept;

}  // namespace zn::com
