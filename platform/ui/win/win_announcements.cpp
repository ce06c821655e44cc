#include "platform/ui/win/win_announcements.h"

#include <commctrl.h>

#include <array>

#include "platform/ui/win/win_handles.h"

namespace zn::ui::win {
namespace {

constexpr std::size_t kChanges = 5;

// What the probe's hook saw: the last window and event announced.
struct Seen {
    HWND window = nullptr;
    DWORD event = 0;
};
thread_local Seen* seen_by_probe = nullptr;

void CALLBACK probe_hook(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (seen_by_probe && object == OBJID_CLIENT && child == CHILDID_SELF) *seen_by_probe = {window, event};
}

HWND make(const wchar_t* window_class, DWORD style, HWND parent) {
    return CreateWindowExW(0, window_class, L"", style | WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, parent, nullptr,
                           this_module(), nullptr);
}

// Makes each change to a hidden control of its kind and watches, with a hook called inside the
// change, whether the control announced it. Without a hook nothing counts as announced.
std::array<bool, kChanges> probe() {
    std::array<bool, kChanges> announced{};
    const UniqueWindow parent(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                                              nullptr, this_module(), nullptr));
    if (!parent) return announced;
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, this_module(), probe_hook,
                        GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_INCONTEXT);
    if (!hook) return announced;
    Seen seen;
    seen_by_probe = &seen;
    const auto watch = [&](SystemChange change, HWND window, DWORD event, auto&& act) {
        if (!window) return;
        seen = {};
        act(window);
        announced[static_cast<std::size_t>(change)] = seen.window == window && seen.event == event;
    };
    watch(SystemChange::LabelText, make(L"STATIC", SS_LEFT, parent.get()), EVENT_OBJECT_NAMECHANGE,
          [](HWND w) { SetWindowTextW(w, L"label"); });
    watch(SystemChange::FieldText, make(L"EDIT", ES_AUTOHSCROLL, parent.get()), EVENT_OBJECT_VALUECHANGE,
          [](HWND w) { SetWindowTextW(w, L"field"); });
    watch(SystemChange::Enabled, make(L"BUTTON", BS_PUSHBUTTON, parent.get()), EVENT_OBJECT_STATECHANGE,
          [](HWND w) { EnableWindow(w, FALSE); });
    watch(SystemChange::ListChosen, make(L"COMBOBOX", CBS_DROPDOWNLIST, parent.get()), EVENT_OBJECT_VALUECHANGE,
          [](HWND w) {
              SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"entry"));
              SendMessageW(w, CB_SETCURSEL, 0, 0);
          });
    watch(SystemChange::BarMoved, make(PROGRESS_CLASSW, 0, parent.get()), EVENT_OBJECT_VALUECHANGE,
          [](HWND w) { SendMessageW(w, PBM_SETPOS, 50, 0); });
    seen_by_probe = nullptr;
    UnhookWinEvent(hook);
    return announced;
}

}  // namespace

bool system_announces(SystemChange change) {
    static const std::array<bool, kChanges> announced = probe();
    return announced[static_cast<std::size_t>(change)];
}

void announce_change(HWND window, SystemChange change, DWORD event) noexcept {
    if (!system_announces(change)) announce(window, event);
}

void announce(HWND window, DWORD event) noexcept {
    if (window) NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace zn::ui::win
