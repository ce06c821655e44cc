// What a Win32 control needs of the page that holds it, and nothing more: pixels and the font at
// the page's DPI, the window of its container, the way a user's action reaches the page's
// handlers, the focus it had last, and the words a screen reader is given for it.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "platform/ui/accessible_words.h"
#include "platform/ui/controls.h"

namespace zn::ui::win {

class ControlOwner {
public:
    // Pixels for twips at the page's DPI.
    virtual int pixels(int twips) const noexcept = 0;
    virtual int dpi() const noexcept = 0;
    virtual HFONT font() const noexcept = 0;
    // The window that holds a control of the named container ("" for the page).
    virtual HWND container_window(std::u16string_view container) const = 0;
    // Runs the handlers of a user's action; an error that leaves them is reported, not thrown.
    virtual void user_event(const Control& control, const std::function<void()>& raise) noexcept = 0;
    // The owner of the control's dialogs: the top-level window showing the page, else the active one.
    virtual HWND owner_window() const noexcept = 0;
    // The control window that had the keyboard last, for when the page's own window gets it back.
    virtual void remember_focus(HWND window) noexcept = 0;
    // The words for a part of the named control, as they stand now (none when the page gives none).
    virtual AccessibleWords accessible_words(std::u16string_view control, AccessiblePart part) = 0;
    // A label's caption changed: the controls it names or describes tell screen readers so.
    virtual void caption_changed(std::u16string_view label) noexcept = 0;

protected:
    ControlOwner() = default;
    ControlOwner(const ControlOwner&) = delete;
    ControlOwner& operator=(const ControlOwner&) = delete;
    ~ControlOwner() = default;
};

}  // namespace zn::ui::win
