// Events a screen reader listens for, when the page's own code changes a control: sent where the
// system's control does not send them itself. Which do is asked of the system once per process,
// of a hidden control of each kind (Windows' controls announce these changes; Wine 8's do not).
#pragma once

#include <windows.h>

namespace zn::ui::win {

enum class SystemChange {
    LabelText,   // WM_SETTEXT on a label: its name
    FieldText,   // WM_SETTEXT on an edit: its value
    Enabled,     // EnableWindow: the state
    ListChosen,  // CB_SETCURSEL: the list's value
    BarMoved,    // PBM_SETPOS: the bar's value
};

// Whether the system's own control announces that change.
bool system_announces(SystemChange change);

// Tells screen readers that the window's client area changed so (EVENT_OBJECT_*), unless the
// system's control does for that change.
void announce_change(HWND window, SystemChange change, DWORD event) noexcept;
// Tells them of a change that no system control announces (a name or description taken from a
// label, the page's busy state).
void announce(HWND window, DWORD event) noexcept;

}  // namespace zn::ui::win
