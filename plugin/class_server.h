// The generic in-process server: class objects, the unload query and self-registration for
// every class of the module identity table.
#pragma once

#include <string_view>

#include "platform/com/com.h"

namespace zn::plugin {

HRESULT server_get_class_object(REFCLSID clsid, REFIID iid, void** ppv) noexcept;
HRESULT server_can_unload_now() noexcept;
// Registers every class for the module file at module_path; on failure nothing stays written.
HRESULT server_register(std::u16string_view module_path) noexcept;
// Removes exactly what server_register wrote, leaving what others wrote.
HRESULT server_unregister(std::u16string_view module_path) noexcept;

}  // namespace zn::plugin
