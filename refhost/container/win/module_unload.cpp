#include "refhost/container/win/module_unload.h"

namespace zn::refhost::win {

std::optional<HRESULT> loaded_module_can_unload(const wchar_t* module_name) {
    const HMODULE module = GetModuleHandleW(module_name);
    if (!module) return std::nullopt;
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto entry =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    if (!entry) return E_NOINTERFACE;
    return entry();
}

}  // namespace zn::refhost::win
