// Whether an in-process server loaded into this process holds no object any more, in its own
// words: its DllCanUnloadNow.
#pragma once

#include <optional>

#include "platform/com/com.h"

namespace zn::refhost::win {

// The module's DllCanUnloadNow answer (S_OK: nothing of it is alive); nothing when no module
// of that name is loaded, E_NOINTERFACE when it has no such entry point.
std::optional<HRESULT> loaded_module_can_unload(const wchar_t* module_name);

}  // namespace zn::refhost::win
