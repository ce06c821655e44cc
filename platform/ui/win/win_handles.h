// Owners of the Win32 handles that the page's windows use: each gives its handle back when it
// goes, so no window, font or class outlives what made it.
#pragma once

#include <windows.h>

#include <utility>

namespace zn::ui::win {

template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    void reset(Handle handle = Handle{}) noexcept {
        if (handle_ != Handle{}) Traits::close(handle_);
        handle_ = handle;
    }
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }

private:
    Handle handle_{};
};

struct WindowTraits {
    static void close(HWND h) noexcept { DestroyWindow(h); }
};
struct GdiObjectTraits {
    static void close(HGDIOBJ h) noexcept { DeleteObject(h); }
};

using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;

// A window's device context for the scope's life.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A window class registered under this module's own handle for the module's life: a DLL's
// classes go when the DLL is unloaded.
class WindowClass {
public:
    WindowClass(const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background);
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass();

    const wchar_t* name() const noexcept { return name_; }

private:
    const wchar_t* name_;
    HINSTANCE module_;
    ATOM atom_;
};

// The module (DLL or program) that holds this code.
HINSTANCE this_module() noexcept;

}  // namespace zn::ui::win
