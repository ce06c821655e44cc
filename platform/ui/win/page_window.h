// The page as a Win32 window, for whoever shows it: a program's own top-level window now, the
// in-place site of a document container later. The page's window is a child window that lives
// in a hidden parking window of the backend until it is put into a parent.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/ui/control_set.h"

namespace zn::ui::win {

class PageWindow {
public:
    // The page's own child window; null once it was destroyed.
    virtual HWND hwnd() const noexcept = 0;
    // Puts the page into parent and shows it there; null takes it back into the parking window,
    // hidden. Throws ComError when the system refuses.
    virtual void attach(HWND parent) = 0;
    // Where the page's window lies within its parent's client area. A rectangle smaller than
    // the page gets scroll bars; the controls keep their design positions and sizes.
    virtual void set_rect(const RECT& rect) = 0;
    // Gives the page a key message first: Tab and Shift+Tab move the focus in the page's
    // order, Enter presses the focused button. True when the page used the message, which the
    // caller then neither translates nor dispatches.
    virtual bool translate(const MSG& message) = 0;
    // The dots per inch at which the page's twips became pixels.
    virtual int dpi() const noexcept = 0;
    // Called when the user clicks into the page or puts the keyboard into one of its controls
    // (an inside-out document becomes the container's active object then); empty: nobody.
    virtual void set_activation_handler(std::function<void()> handler) = 0;

protected:
    PageWindow() = default;
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow() = default;
};

// The page window of a control set built by the Win32 backend, or null for another backend's.
PageWindow* page_window(ControlSet& controls) noexcept;

// Pixels for twips at dpi dots per inch.
inline int twips_to_pixels(int twips, int dpi) noexcept {
    return MulDiv(twips, dpi, 1440);
}

}  // namespace zn::ui::win
