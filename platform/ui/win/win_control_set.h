// The page as a Win32 window: a child window that holds the controls built from the layout table,
// places them from their twips at the window's DPI in the page's font, scrolls when the window is
// smaller than the page, passes the keyboard on and tells screen readers what it is.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/control_set.h"
#include "platform/ui/win/control_owner.h"
#include "platform/ui/win/page_window.h"
#include "platform/ui/win/win_accessible.h"
#include "platform/ui/win/win_handles.h"
#include "platform/ui/win/window_target.h"

namespace zn::ui::win {

class Win32Backend;

class Win32ControlSet final : public ControlSet, public PageWindow, public ControlOwner, public WindowTarget {
public:
    Win32ControlSet(Win32Backend& backend, const PageLayout& layout);
    ~Win32ControlSet() override;

    Control* find(std::u16string_view name, int index = kNoIndex) noexcept override;

    HWND hwnd() const noexcept override { return page_.get(); }
    void attach(HWND parent) override;
    void set_rect(const RECT& rect) override;
    bool translate(const MSG& message) override;
    int dpi() const noexcept override { return dpi_; }
    void set_activation_handler(std::function<void()> handler) override { activated_ = std::move(handler); }

    void on_command(HWND from, WORD code) override;
    bool on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

    // ControlOwner: what the controls use of the page.
    int pixels(int twips) const noexcept override { return twips_to_pixels(twips, dpi_); }
    HFONT font() const noexcept override { return font_.get(); }
    HWND container_window(std::u16string_view container) const override;
    void user_event(const Control& control, const std::function<void()>& raise) noexcept override;
    HWND owner_window() const noexcept override;
    void remember_focus(HWND window) noexcept override;
    AccessibleWords accessible_words(std::u16string_view control, AccessiblePart part) override;
    void caption_changed(std::u16string_view label) noexcept override;

    Win32Backend* backend() const noexcept { return backend_; }
    void detach_backend() noexcept { backend_ = nullptr; }
    // The top-level window holding the page, or null while it is parked.
    HWND shown_root() const noexcept;
    // The hourglass was set or taken away: screen readers hear that the page is busy or no longer.
    void busy_changed() noexcept;

private:
    void update_scroll_bars();
    // Scroll bars for the window's size, the page scrolled as near the wanted position as it can be.
    void update_scroll_bars(int want_x, int want_y);
    void scroll_to(int x, int y);
    void on_scroll(int bar, WORD request);
    // The controls Tab walks, in order: those whose window can take the keyboard now.
    std::vector<Control*> focus_order() const;
    bool takes_keyboard(HWND window) const noexcept;
    void pass_focus_on();
    // The DPI of the window the page lives in (or the backend's override).
    int window_dpi() const;
    UniqueFont make_font(int dpi) const;
    void follow_dpi() noexcept;
    bool busy() const noexcept;
    // The user clicked into the page or put the keyboard there: the handler hears of it.
    void user_activated() noexcept;

    Win32Backend* backend_;
    const PageLayout& layout_;
    int dpi_ = 96;
    std::vector<std::unique_ptr<Control>> controls_;
    UniqueFont font_;
    int scroll_x_ = 0;  // pixels scrolled
    int scroll_y_ = 0;
    bool destroying_ = false;
    HWND last_focus_ = nullptr;
    std::function<void()> activated_;
    // What the page's own window tells a screen reader; cut off when the window goes.
    AccessibleServer accessible_;
    // Last: destroyed first, with every control's window inside it, while the controls and the
    // font still exist.
    UniqueWindow page_;
};

}  // namespace zn::ui::win
