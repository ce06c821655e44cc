// Loading an in-process server module by its file path and calling one of its self-registration
// entry points, as regsvr32 does.
#pragma once

#include <string>

#include "platform/com/com.h"

namespace zn::refhost {

// Loads the module (a path relative to the current directory is made absolute first) and calls
// its entry point `entry` (DllRegisterServer or DllUnregisterServer); returns what the entry
// returned. The module stays loaded: objects it made (its error info) may outlive the call.
// Throws ComError: CO_E_DLLNOTFOUND when the module cannot be loaded, CO_E_ERRORINDLL when it
// has no such entry point.
HRESULT call_module_entry(const std::u16string& module_path, const char* entry);

}  // namespace zn::refhost
