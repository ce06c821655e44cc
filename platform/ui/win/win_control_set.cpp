#include "platform/ui/win/win_control_set.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>

#include "platform/com/com_error.h"
#include "platform/ui/win/win_announcements.h"
#include "platform/ui/win/win_backend.h"
#include "platform/ui/win/win_control_base.h"
#include "platform/ui/win/win_text.h"

namespace zn::ui::win {

using parts::drawn;
using parts::DrawnControl;
using parts::focus_window;

Win32ControlSet::Win32ControlSet(Win32Backend& backend, const PageLayout& layout)
    : backend_(&backend), layout_(layout) {
    parts::init_common_controls();
    page_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, parts::window_classes().page.name(), L"",
                                WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                                backend.parking_window(), nullptr, this_module(), static_cast<WindowTarget*>(this)));
    if (!page_) parts::throw_last_error(u"The page's window cannot be created.");
    dpi_ = window_dpi();
    SetWindowPos(page_.get(), nullptr, 0, 0, pixels(layout.width), pixels(layout.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_ = make_font(dpi_);

    controls_.reserve(layout.controls.size());
    for (const ControlSpec& definition : layout.controls) controls_.push_back(parts::make_control(*this, definition));

    // The table lists the controls of each container front to back (the list lies over the frame).
    std::vector<std::pair<HWND, HWND>> last_of_container;  // container window, control window in front of the next
    for (const auto& control : controls_) {
        const DrawnControl* d = drawn(*control);
        if (!d) continue;
        const HWND container = GetParent(d->window());
        auto last = std::find_if(last_of_container.begin(), last_of_container.end(),
                                 [&](const auto& entry) { return entry.first == container; });
        const HWND after = last == last_of_container.end() ? HWND_TOP : last->second;
        SetWindowPos(d->window(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (last == last_of_container.end())
            last_of_container.emplace_back(container, d->window());
        else
            last->second = d->window();
    }
    update_scroll_bars();
    accessible_.serve(page_.get(), {.words = [this] { return accessible_words(u"", AccessiblePart::Control); },
                                    .state = [this] { return busy() ? LONG{STATE_SYSTEM_BUSY} : LONG{0}; }});
}

Win32ControlSet::~Win32ControlSet() {
    destroying_ = true;
    if (backend_) backend_->forget(this);
    page_.reset();
}

Control* Win32ControlSet::find(std::u16string_view name, int index) noexcept {
    for (const auto& c : controls_) {
        if (c->name() != name) continue;
        if (c->index() == index || (index == kNoIndex && c->index() == 0)) return c.get();
    }
    return nullptr;
}

HWND Win32ControlSet::container_window(std::u16string_view container) const {
    if (container.empty()) return page_.get();
    for (const auto& c : controls_)
        if (c->name() == container && c->kind() == ControlKind::Frame)
            if (const DrawnControl* frame = drawn(*c)) return frame->window();
    throw MissingControl(container, kNoIndex, "the container is not built before its controls");
}

void Win32ControlSet::attach(HWND parent) {
    if (!page_) com::throw_error(E_UNEXPECTED, u"The page's window is gone.");
    const HWND target = parent ? parent : (backend_ ? backend_->parking_window() : nullptr);
    if (!target) com::throw_error(E_UNEXPECTED, u"The page has no window to go into.");
    if (!SetParent(page_.get(), target)) parts::throw_last_error(u"The page cannot be put into the window.");
    // A parent on another monitor may have another DPI.
    if (parent) follow_dpi();
    ShowWindow(page_.get(), parent ? SW_SHOW : SW_HIDE);
}

namespace {

// GetDpiForWindow, where the system has it (Windows 10 1607 and later).
UINT system_dpi_for_window(HWND window) noexcept {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpi_for_window = [] {
        const HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return dpi_for_window ? dpi_for_window(window) : 0;
}

}  // namespace

int Win32ControlSet::window_dpi() const {
    if (backend_ && backend_->dpi_override() > 0) return backend_->dpi_override();
    if (const UINT dpi = system_dpi_for_window(page_.get())) return static_cast<int>(dpi);
    const WindowDc dc(page_.get());
    return dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : dpi_;
}

UniqueFont Win32ControlSet::make_font(int dpi) const {
    const FontSpec& f = layout_.font;
    const std::u16string face(f.name);
    UniqueFont font(CreateFontW(-static_cast<int>(std::lround(f.size_points * dpi / 72.0)), 0, 0, 0, f.weight, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, wide(face)));
    if (!font) com::throw_error(E_FAIL, u"The page's font cannot be created.");
    return font;
}

namespace {

// Whole steps scrolled: a position a drag left between two steps counts as the nearer one.
int whole_steps(int pixels_scrolled, int step) noexcept {
    return step > 0 ? (pixels_scrolled + step / 2) / step : 0;
}

}  // namespace

// The page laid out again when the DPI of the window it lives in has changed: every control's
// place, the font and the scroll steps (which follow pixels()). The controls are placed from the
// page's origin, so the page scrolls home first and then back to as many steps as it had.
// Nothing leaves it: a font that cannot be made leaves the page as it was.
void Win32ControlSet::follow_dpi() noexcept {
    try {
        const int dpi = window_dpi();
        if (dpi == dpi_) return;
        UniqueFont font = make_font(dpi);
        const int steps_x = whole_steps(scroll_x_, pixels(layout_.scroll_step_x));
        const int steps_y = whole_steps(scroll_y_, pixels(layout_.scroll_step_y));
        scroll_to(0, 0);
        dpi_ = dpi;
        // The old font goes with this scope, once every control has the new one.
        std::swap(font_, font);
        for (const auto& control : controls_)
            if (DrawnControl* d = drawn(*control)) d->place();
        if (!GetParent(page_.get()) || GetParent(page_.get()) == (backend_ ? backend_->parking_window() : nullptr))
            SetWindowPos(page_.get(), nullptr, 0, 0, pixels(layout_.width), pixels(layout_.height),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        update_scroll_bars(steps_x * pixels(layout_.scroll_step_x), steps_y * pixels(layout_.scroll_step_y));
        InvalidateRect(page_.get(), nullptr, TRUE);
    } catch (...) {  // NOLINT(bugprone-empty-catch): the page stays at the DPI it had
    }
}

void Win32ControlSet::set_rect(const RECT& rect) {
    if (!page_) return;
    SetWindowPos(page_.get(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    update_scroll_bars();
}

// Shown within the page, whether or not the page's own window is shown yet (a container may
// focus the document before it shows its frame), and enabled: what Tab and the page's own focus
// both go by.
bool Win32ControlSet::takes_keyboard(HWND window) const noexcept {
    if (!window || !IsChild(page_.get(), window) || !IsWindowEnabled(window)) return false;
    for (HWND part = window; part && part != page_.get(); part = GetParent(part))
        if (!(GetWindowLongPtrW(part, GWL_STYLE) & WS_VISIBLE)) return false;
    return true;
}

std::vector<Control*> Win32ControlSet::focus_order() const {
    std::vector<Control*> order = ui::focus_order(controls_);
    std::erase_if(order, [this](Control* c) { return !takes_keyboard(focus_window(*c)); });
    return order;
}

bool Win32ControlSet::translate(const MSG& message) {
    if (!page_ || message.message != WM_KEYDOWN) return false;
    if (message.hwnd != page_.get() && !IsChild(page_.get(), message.hwnd)) return false;
    if (message.wParam == VK_RETURN) {
        for (const auto& c : controls_) {
            if (c->kind() != ControlKind::CommandButton || focus_window(*c) != message.hwnd) continue;
            SendMessageW(message.hwnd, BM_CLICK, 0, 0);
            return true;
        }
        return false;
    }
    if (message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0) return false;
    const std::vector<Control*> order = focus_order();
    if (order.empty()) return true;
    const HWND focus = GetFocus();
    int at = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const DrawnControl* d = drawn(*order[i]);
        if (d && (d->window() == focus || IsChild(d->window(), focus))) at = static_cast<int>(i);
    }
    const int n = static_cast<int>(order.size());
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const int next = at < 0 ? (back ? n - 1 : 0) : (at + (back ? n - 1 : 1)) % n;
    SetFocus(focus_window(*order[static_cast<std::size_t>(next)]));
    return true;
}

// The page's own window never keeps the keyboard: it goes on to the control that had it last, or
// else to the first in the tab order.
void Win32ControlSet::pass_focus_on() {
    if (takes_keyboard(last_focus_)) {
        SetFocus(last_focus_);
        return;
    }
    const std::vector<Control*> order = focus_order();
    if (!order.empty()) SetFocus(focus_window(*order.front()));
}

void Win32ControlSet::on_command(HWND, WORD) {}

AccessibleWords Win32ControlSet::accessible_words(std::u16string_view control, AccessiblePart part) {
    const AccessibleText* text = layout_.accessible_text(control, part);
    return text ? ui::accessible_words(*text, *this) : AccessibleWords{};
}

void Win32ControlSet::caption_changed(std::u16string_view label) noexcept {
    for (const AccessibleText& text : layout_.accessible_texts) {
        const CaptionUse use = caption_use(text, label);
        if (!use.name && !use.description) continue;
        HWND window = page_.get();
        if (!text.control.empty()) {
            Control* control = find(text.control);
            DrawnControl* d = control ? drawn(*control) : nullptr;
            window = d ? d->accessible_window(text.part) : nullptr;
        }
        if (use.name) announce(window, EVENT_OBJECT_NAMECHANGE);
        if (use.description) announce(window, EVENT_OBJECT_DESCRIPTIONCHANGE);
    }
}

void Win32ControlSet::remember_focus(HWND window) noexcept {
    last_focus_ = window;
    user_activated();
}

void Win32ControlSet::user_activated() noexcept {
    if (!activated_ || destroying_) return;
    // On a copy: the handler may replace itself.
    const std::function<void()> handler = activated_;
    try {
        handler();
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing may leave a window procedure
    }
}

bool Win32ControlSet::busy() const noexcept {
    return backend_ && backend_->mouse_pointer() == MousePointer::Hourglass;
}

void Win32ControlSet::busy_changed() noexcept {
    announce(page_.get(), EVENT_OBJECT_STATECHANGE);
}

void Win32ControlSet::user_event(const Control& control, const std::function<void()>& raise) noexcept {
    if (destroying_) return;
    // A handler may let go of the page, this set and its controls with it: what the report needs
    // is taken first (the name lies in the page's static layout table, the backend outlives it).
    Win32Backend* const backend = backend_;
    const std::u16string_view name = control.name();
    try {
        raise();
    } catch (const std::exception& e) {
        if (backend) backend->report_event_error(name, e);
    } catch (...) {
        if (backend) backend->report_event_error(name, com::ComError(E_FAIL));
    }
}

HWND Win32ControlSet::shown_root() const noexcept {
    if (!page_ || !IsWindowVisible(page_.get())) return nullptr;
    const HWND root = GetAncestor(page_.get(), GA_ROOT);
    return root;
}

HWND Win32ControlSet::owner_window() const noexcept {
    if (const HWND root = shown_root()) return root;
    return GetActiveWindow();
}

bool Win32ControlSet::on_message(HWND window, UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (window != page_.get() && message != WM_NCDESTROY) return false;
    switch (message) {
        case WM_SIZE:
            update_scroll_bars();
            return false;
        case WM_HSCROLL:
            on_scroll(SB_HORZ, LOWORD(wparam));
            result = 0;
            return true;
        case WM_VSCROLL:
            on_scroll(SB_VERT, LOWORD(wparam));
            result = 0;
            return true;
        case WM_DPICHANGED_AFTERPARENT:
            follow_dpi();
            result = 0;
            return true;
        case WM_SETFOCUS:
            pass_focus_on();
            result = 0;
            return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            user_activated();
            return false;
        case WM_PARENTNOTIFY:
            // A click on any window inside the page, the labels and the frame among them.
            if (const WORD event = LOWORD(wparam); event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN) user_activated();
            return false;
        case WM_SETCURSOR:
            // The hourglass stays over the page (and the controls in it) while it is set.
            if (backend_ && backend_->mouse_pointer() == MousePointer::Hourglass) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
                result = TRUE;
                return true;
            }
            return false;
        case WM_NCDESTROY:
            // Destroyed with its parent: the handle is no longer ours to destroy.
            if (window == page_.get()) page_.release();
            return false;
        default:
            return false;
    }
}

PageWindow* page_window(ControlSet& controls) noexcept {
    return dynamic_cast<Win32ControlSet*>(&controls);
}

}  // namespace zn::ui::win
