#include "platform/ui/win/win_handles.h"

#include "platform/com/com_error.h"

namespace zn::ui::win {

HINSTANCE this_module() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&this_module), &module);
    return module;
}

WindowClass::WindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background)
    : name_(name), module_(this_module()) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.style = style;
    c.lpfnWndProc = procedure;
    c.hInstance = module_;
    c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    c.hbrBackground = background;
    c.lpszClassName = name;
    atom_ = RegisterClassExW(&c);
    if (!atom_) com::throw_error(HRESULT_FROM_WIN32(GetLastError()), u"A window class cannot be registered.");
}

WindowClass::~WindowClass() {
    UnregisterClassW(name_, module_);
}

}  // namespace zn::ui::win
