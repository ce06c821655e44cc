#include "platform/ui/win/win_control_base.h"

#include <commctrl.h>

#include "platform/com/com_error.h"

namespace zn::ui::win::parts {

std::u16string window_text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int got = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

std::u16string decimal(DWORD value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

[[noreturn]] void throw_last_error(std::u16string_view what) {
    const DWORD code = GetLastError();
    com::throw_error(code ? HRESULT_FROM_WIN32(code) : E_FAIL, what);
}

void set_window_text(HWND window, std::u16string_view text) {
    const std::u16string copy(text);
    if (!SetWindowTextW(window, wide(copy))) throw_last_error(u"A control's text cannot be set.");
}

void set_target(HWND window, WindowTarget* target) noexcept {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
}

namespace {

WindowTarget* target_of(HWND window) noexcept {
    return reinterpret_cast<WindowTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The controls inside our windows draw in the system's colours, as a dialog's do, so that a
// high-contrast scheme reaches every one of them: text on the face of buttons and labels, and
// the window colours in the field.
LRESULT control_colours(UINT message, HDC dc) noexcept {
    const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    SetTextColor(dc, GetSysColor(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(field ? COLOR_WINDOW : COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(field ? COLOR_WINDOW : COLOR_BTNFACE));
}

// New system colours (or a new theme): the controls inside take them up, the common controls
// among them only when told, and everything is drawn again.
void follow_colours(HWND window) noexcept {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Our own windows (the page, the frame, the file field's holder) share one procedure that hands
// each message to the window's target; notifications go to the target of the control that
// sent them.
LRESULT CALLBACK container_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NCCREATE:
            set_target(window,
                       static_cast<WindowTarget*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (lparam == 0) break;
            if (WindowTarget* target = target_of(reinterpret_cast<HWND>(lparam)))
                target->on_command(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return control_colours(message, reinterpret_cast<HDC>(wparam));
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            follow_colours(window);
            return 0;
        default:
            break;
    }
    if (WindowTarget* target = target_of(window)) {
        LRESULT result = 0;
        if (target->on_message(window, message, wparam, lparam, result)) return result;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

const WindowClasses& window_classes() {
    static const WindowClasses classes{
        {L"ZNImportPhotosPage", container_procedure, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {L"ZNImportPhotosFrame", container_procedure, CS_HREDRAW | CS_VREDRAW,
         reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {L"ZNImportPhotosField", container_procedure, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
    };
    return classes;
}

void init_common_controls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    if (!done) com::throw_error(E_FAIL, u"The common controls cannot be initialised.");
}

Bounds bounds_of(const ControlSpec& definition) noexcept {
    return definition.bounds.value_or(Bounds{});
}

HWND create_child(const wchar_t* window_class, const std::u16string& text, DWORD style, DWORD ex_style, HWND parent,
                  int x, int y, int width, int height, WindowTarget* target) {
    const HWND window = CreateWindowExW(ex_style, window_class, wide(text), style | WS_CHILD | WS_CLIPSIBLINGS, x, y,
                                        width, height, parent, nullptr, this_module(), target);
    if (!window) {
        const std::wstring_view name(window_class);
        throw_last_error(u"A control's window (" + std::u16string(name.begin(), name.end()) + u") cannot be created.");
    }
    return window;
}

namespace {

LRESULT CALLBACK focus_watch(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR page) {
    if (message == WM_SETFOCUS)
        reinterpret_cast<ControlOwner*>(page)->remember_focus(window);
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, focus_watch, id);
    return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace

void watch_focus(HWND window, ControlOwner& page) {
    if (!SetWindowSubclass(window, focus_watch, 0, reinterpret_cast<DWORD_PTR>(&page)))
        com::throw_error(E_FAIL, u"The page cannot follow a control's focus.");
}

LONG accessible_role(ControlKind kind) noexcept {
    switch (kind) {
        case ControlKind::DropDownList:
            return ROLE_SYSTEM_COMBOBOX;
        case ControlKind::CommandButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case ControlKind::CheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case ControlKind::Label:
            return ROLE_SYSTEM_STATICTEXT;
        case ControlKind::Frame:
        case ControlKind::ButtonEdit:  // the field's holder, around its edit and its button
            return ROLE_SYSTEM_GROUPING;
        case ControlKind::ProgressBar:
            return ROLE_SYSTEM_PROGRESSBAR;
        case ControlKind::FileDialog:
            break;
    }
    return 0;
}

DrawnControl* drawn(Control& control) noexcept {
    return dynamic_cast<DrawnControl*>(&control);
}

HWND focus_window(Control& control) noexcept {
    const DrawnControl* d = drawn(control);
    return d ? d->focus_window() : nullptr;
}

}  // namespace zn::ui::win::parts

namespace zn::ui::win {

bool WindowTarget::on_message(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

}  // namespace zn::ui::win
