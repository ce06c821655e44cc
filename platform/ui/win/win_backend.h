// The Win32 backend: the page's controls as real windows, message boxes owned by the window
// that shows the page, the system's wait cursor, a message pump as the yield, and the system's
// open-file dialog.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/win/page_window.h"
#include "platform/ui/win/win_handles.h"

namespace zn::ui::win {

class Win32ControlSet;

class Win32Backend final : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;

    std::unique_ptr<ControlSet> create_controls(const PageLayout& layout) override;
    Answer message_box(const MessageBoxRequest& request) override;
    void set_mouse_pointer(MousePointer pointer) override;
    // The pointer last set: the page's window keeps the hourglass over its controls.
    MousePointer mouse_pointer() const noexcept { return pointer_; }
    void do_events() override;
    std::u16string current_directory() override;

    // Pages alive, oldest first.
    std::vector<PageWindow*> pages() const;
    // Offers the message to every live page (see PageWindow::translate).
    bool translate(const MSG& message);

    // Pages convert twips at this DPI instead of their window's; 0 restores the window's own.
    // A page takes it up when it is built and whenever its DPI may have changed. For checking
    // the layout at a DPI the display does not have.
    void set_dpi_override(int dpi) noexcept { dpi_override_ = dpi; }
    int dpi_override() const noexcept { return dpi_override_; }

    // The hidden window that holds pages not yet put into a parent.
    HWND parking_window();
    // The top-level window that shows the newest visible page, else the active window: the
    // owner of message boxes and dialogs.
    HWND owner_window() const;

    // An error that left an event handler which a user's action raised: shown as an OK message
    // box with its description under the default caption, never thrown through the system.
    void report_event_error(std::u16string_view control, const std::exception& error) noexcept;

    // Used by a control set that goes away.
    void forget(Win32ControlSet* set) noexcept;

private:
    std::vector<Win32ControlSet*> sets_;
    UniqueWindow parking_;
    MousePointer pointer_ = MousePointer::Default;
    int dpi_override_ = 0;
};

}  // namespace zn::ui::win
