// What every Win32 control of the page shares: its window at its place, the page's font, the
// focus and notifications reaching it, what it tells a screen reader, and the helpers that make
// and read its windows. Used only by the page's control set and its controls.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/control_set.h"
#include "platform/ui/win/control_owner.h"
#include "platform/ui/win/win_accessible.h"
#include "platform/ui/win/win_announcements.h"
#include "platform/ui/win/win_handles.h"
#include "platform/ui/win/win_text.h"
#include "platform/ui/win/window_target.h"

namespace zn::ui::win::parts {

std::u16string window_text(HWND window);
std::u16string decimal(DWORD value);
[[noreturn]] void throw_last_error(std::u16string_view what);
void set_window_text(HWND window, std::u16string_view text);
void set_target(HWND window, WindowTarget* target) noexcept;

// Our own windows' classes: the page, the frame and the file field's holder.
struct WindowClasses {
    WindowClass page;
    WindowClass frame;
    WindowClass holder;
};
const WindowClasses& window_classes();
void init_common_controls();

// A control without a place in the table (possible in a table, never in the page's) sits empty.
Bounds bounds_of(const ControlSpec& definition) noexcept;
HWND create_child(const wchar_t* window_class, const std::u16string& text, DWORD style, DWORD ex_style, HWND parent,
                  int x, int y, int width, int height, WindowTarget* target = nullptr);
// Tells the page which control had the keyboard last, for when the page's own window gets it
// back (a container focusing the document, the frame activated again after a dialog).
void watch_focus(HWND window, ControlOwner& page);

// The role a screen reader is told for a control of the kind, where the system's proxy knows none.
LONG accessible_role(ControlKind kind) noexcept;

// A control drawn as a window. The window belongs to its container window and goes with the
// page's window.
class DrawnControl : public WindowTarget {
public:
    HWND window() const noexcept { return window_; }
    // The window that takes the input focus for the control.
    virtual HWND focus_window() const noexcept { return window_; }
    // Puts the control's windows at the page's current DPI, with its current font.
    virtual void place() = 0;
    // The window that a part's words are for (null when the control has no such part).
    virtual HWND accessible_window(AccessiblePart part) const noexcept {
        return part == AccessiblePart::Control ? focus_window() : nullptr;
    }

protected:
    ~DrawnControl() = default;
    HWND window_ = nullptr;
};

DrawnControl* drawn(Control& control) noexcept;
// The window of the control that takes the keyboard, or null.
HWND focus_window(Control& control) noexcept;

template <class Interface>
class Win32Control : public Interface, public DrawnControl {
public:
    Win32Control(ControlOwner& owner, const ControlSpec& definition) : owner_(owner), definition_(definition) {}

    const ControlSpec& definition() const noexcept override { return definition_; }
    bool enabled() const override { return IsWindowEnabled(window_) != FALSE; }
    void set_enabled(bool enabled) override {
        // EnableWindow answers whether the window was disabled before.
        if ((EnableWindow(window_, enabled) != FALSE) == enabled)
            announce_change(window_, SystemChange::Enabled, EVENT_OBJECT_STATECHANGE);
    }
    bool visible() const override { return (GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void set_visible(bool visible) override { ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE); }
    void on_command(HWND, WORD) override {}

    void place() override {
        const Bounds b = bounds_of(definition_);
        SetWindowPos(window_, nullptr, owner_.pixels(b.left), owner_.pixels(b.top), owner_.pixels(b.width),
                     owner_.pixels(b.height), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font()), TRUE);
    }

protected:
    // The control's window at its design place in its container.
    void create(const wchar_t* window_class, const std::u16string& text, DWORD style, DWORD ex_style = 0) {
        const Bounds b = bounds_of(definition_);
        window_ = create_child(window_class, text, style | (definition_.visible ? WS_VISIBLE : 0), ex_style,
                               owner_.container_window(definition_.container), owner_.pixels(b.left),
                               owner_.pixels(b.top), owner_.pixels(b.width), owner_.pixels(b.height), this);
        set_target(window_, this);
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font()), FALSE);
        if (!definition_.enabled) EnableWindow(window_, FALSE);
        if (takes_focus(definition_.kind) && definition_.kind != ControlKind::ButtonEdit) watch_focus(window_, owner_);
        accessible_.serve(window_, accessible_facts());
    }

    // What the control's window tells a screen reader: the page's words for it, the kind's role.
    virtual AccessibleFacts accessible_facts() {
        return {.words = words_for(AccessiblePart::Control), .role = accessible_role(definition_.kind)};
    }
    std::function<AccessibleWords()> words_for(AccessiblePart part) {
        return [this, part] { return owner_.accessible_words(definition_.name, part); };
    }

    ControlOwner& owner_;
    const ControlSpec& definition_;
    AccessibleServer accessible_;
};

// The control of the definition's kind (win_simple_controls.cpp, the file field in
// win_button_edit.cpp).
std::unique_ptr<Control> make_control(ControlOwner& owner, const ControlSpec& definition);
std::unique_ptr<Control> make_button_edit(ControlOwner& owner, const ControlSpec& definition);

}  // namespace zn::ui::win::parts
