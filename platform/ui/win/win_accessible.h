// What a window of the page tells a screen reader: its WM_GETOBJECT is answered with an accessible
// object that keeps what the system's own proxy for the window says (roles, states, values,
// places, navigation) and adds what the proxy cannot know: names taken from labels, descriptions,
// keyboard shortcuts, the chosen entry, the busy state.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/ui/accessible_words.h"

ZN_DECLARE_IID(IAccessible, "{618736E0-3C3D-11CF-810C-00AA00389B71}");
ZN_DECLARE_IID(IEnumVARIANT, "{00020404-0000-0000-C000-000000000046}");

namespace zn::ui::win {

// What the page knows of one of its windows. Each is asked only while the window lives.
struct AccessibleFacts {
    std::function<AccessibleWords()> words;
    // The value where the proxy gives none (Wine's proxies say nothing of a list's chosen entry or
    // of a bar's position).
    std::function<std::optional<std::u16string>()> value;
    // States added to the proxy's (busy, checked).
    std::function<LONG()> state;
    // The role when the proxy knows none better than "client" (as for a window class of our
    // own, such as the frame); 0 keeps the proxy's.
    LONG role = 0;
};

class AccessibleObject;

// Answers a window's WM_GETOBJECT for its client area with one accessible object for the window's
// life. When the window or this server goes, whichever is first, the object is cut off: a client
// that still holds it gets RPC_E_DISCONNECTED, and remote clients are let go of.
class AccessibleServer {
public:
    AccessibleServer();
    AccessibleServer(const AccessibleServer&) = delete;
    AccessibleServer& operator=(const AccessibleServer&) = delete;
    ~AccessibleServer();

    // Starts answering for window; once only.
    void serve(HWND window, AccessibleFacts facts);
    HWND window() const noexcept { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT answer(WPARAM wparam) noexcept;
    void disconnect() noexcept;

    HWND window_ = nullptr;
    AccessibleFacts facts_;
    com::ComPtr<AccessibleObject> object_;
};

}  // namespace zn::ui::win
