// What one of our windows answers, found through the window's user data: the page, its frame,
// the file field's holder and the controls whose notifications they pass on.
#pragma once

#include <windows.h>

namespace zn::ui::win {

class WindowTarget {
public:
    // A notification (WM_COMMAND) from one of the target's own windows.
    virtual void on_command(HWND from, WORD code) = 0;
    // Any other message of a window of ours; true when handled, with the result.
    virtual bool on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

protected:
    WindowTarget() = default;
    WindowTarget(const WindowTarget&) = delete;
    WindowTarget& operator=(const WindowTarget&) = delete;
    ~WindowTarget() = default;
};

}  // namespace zn::ui::win
