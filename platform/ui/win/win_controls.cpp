#include "platform/ui/win/win_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "platform/com/com_error.h"
#include "platform/ui/win/win_backend.h"

namespace zn::ui::win {
namespace {

constexpr int kListDropItems = 8;  // entries the opened list shows at once

const wchar_t* wide(const std::u16string& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

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

WindowTarget* target_of(HWND window) noexcept {
    return reinterpret_cast<WindowTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Our own windows (the page, the frame, the file field's holder) share one procedure that hands
// each message to the window's target; notifications go to the target of the control that
// sent them.
LRESULT CALLBACK container_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        set_target(window, static_cast<WindowTarget*>(create->lpCreateParams));
    }
    if (message == WM_COMMAND && lparam != 0) {
        const HWND from = reinterpret_cast<HWND>(lparam);
        if (WindowTarget* target = target_of(from)) target->on_command(from, HIWORD(wparam));
        return 0;
    }
    if (WindowTarget* target = target_of(window)) {
        LRESULT result = 0;
        if (target->on_message(window, message, wparam, lparam, result)) return result;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

struct WindowClasses {
    WindowClass page{L"ZNImportPhotosPage", container_procedure, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
    WindowClass frame{L"ZNImportPhotosFrame", container_procedure, CS_HREDRAW | CS_VREDRAW,
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
    WindowClass holder{L"ZNImportPhotosField", container_procedure, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
};

const WindowClasses& window_classes() {
    static const WindowClasses classes;
    return classes;
}

void init_common_controls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    if (!done) com::throw_error(E_FAIL, u"The common controls cannot be initialised.");
}

// A control without a place in the table (possible in a table, never in the page's) sits empty.
Bounds bounds_of(const ControlSpec& definition) noexcept {
    return definition.bounds.value_or(Bounds{});
}

HWND create_child(const wchar_t* window_class, const std::u16string& text, DWORD style, DWORD ex_style, HWND parent,
                  int x, int y, int width, int height, WindowTarget* target = nullptr) {
    const HWND window = CreateWindowExW(ex_style, window_class, wide(text), style | WS_CHILD | WS_CLIPSIBLINGS, x, y,
                                        width, height, parent, nullptr, this_module(), target);
    if (!window) {
        const std::wstring_view name(window_class);
        throw_last_error(u"A control's window (" + std::u16string(name.begin(), name.end()) + u") cannot be created.");
    }
    return window;
}

// Tells the page which control had the keyboard last, for when the page's own window gets it
// back (a container focusing the document, the frame activated again after a dialog).
LRESULT CALLBACK focus_watch(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                             DWORD_PTR page) {
    if (message == WM_SETFOCUS)
        reinterpret_cast<Win32ControlSet*>(page)->remember_focus(window);
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, focus_watch, id);
    return DefSubclassProc(window, message, wparam, lparam);
}

void watch_focus(HWND window, Win32ControlSet& page) {
    if (!SetWindowSubclass(window, focus_watch, 0, reinterpret_cast<DWORD_PTR>(&page)))
        com::throw_error(E_FAIL, u"The page cannot follow a control's focus.");
}

// A control drawn as a window. The window belongs to its container window and goes with the
// page's window.
class DrawnControl : public WindowTarget {
public:
    HWND window() const noexcept { return window_; }
    // The window that takes the input focus for the control.
    virtual HWND focus_window() const noexcept { return window_; }
    // Puts the control's windows at the page's current DPI, with its current font.
    virtual void place() = 0;

protected:
    ~DrawnControl() = default;
    HWND window_ = nullptr;
};

DrawnControl* drawn(Control& control) noexcept {
    return dynamic_cast<DrawnControl*>(&control);
}

template <class Interface>
class Win32Control : public Interface, public DrawnControl {
public:
    Win32Control(Win32ControlSet& owner, const ControlSpec& definition) : owner_(owner), definition_(definition) {}

    const ControlSpec& definition() const noexcept override { return definition_; }
    bool enabled() const override { return IsWindowEnabled(window_) != FALSE; }
    void set_enabled(bool enabled) override { EnableWindow(window_, enabled); }
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
    }

    Win32ControlSet& owner_;
    const ControlSpec& definition_;
};

class Win32DropDownList final : public Win32Control<DropDownList> {
public:
    Win32DropDownList(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(L"COMBOBOX", u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
        fit_height();
    }

    void place() override {
        Win32Control::place();
        fit_height();
    }

    // The closed box's height follows its item height, which the system may round: ask again
    // until the box has the layout's height.
    void fit_height() {
        const int height = owner_.pixels(bounds_of(definition_).height);
        LRESULT asked = SendMessageW(window_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int attempt = 0; asked != CB_ERR && attempt < 6; ++attempt) {
            RECT r{};
            GetWindowRect(window_, &r);
            if (r.bottom - r.top == height) break;
            asked = std::max<LRESULT>(asked + height - (r.bottom - r.top), 1);
            SendMessageW(window_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), asked);
        }
        const LRESULT entry = SendMessageW(window_, CB_GETITEMHEIGHT, 0, 0);
        SetWindowPos(window_, nullptr, 0, 0, owner_.pixels(bounds_of(definition_).width),
                     height + static_cast<int>(std::max<LRESULT>(entry, 1)) * kListDropItems + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void add_item(std::u16string_view text) override {
        const std::u16string copy(text);
        const LRESULT r = SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(copy)));
        if (r == CB_ERR || r == CB_ERRSPACE) com::throw_error(E_OUTOFMEMORY, u"The list cannot take the entry.");
    }
    int list_count() const override { return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0)); }
    std::u16string list(int index) const override {
        if (index < 0 || index >= list_count()) com::throw_error(kInvalidPropertyValue);
        const LRESULT length = SendMessageW(window_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length == CB_ERR) com::throw_error(kInvalidPropertyValue);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        const LRESULT got =
            SendMessageW(window_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
        return text;
    }
    int list_index() const override { return static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0)); }
    void set_list_index(int index) override {
        if (index < -1 || index >= list_count()) com::throw_error(kInvalidPropertyValue);
        SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // The system tells of a user's choice only; a choice by index is one too.
        if (index >= 0) click.raise();
    }
    std::u16string text() const override {
        const int index = list_index();
        return index >= 0 ? list(index) : std::u16string();
    }
    void set_text(std::u16string_view text) override {
        // Exact and case-sensitive, where the system's own search ignores case.
        const int count = list_count();
        for (int i = 0; i < count; ++i) {
            if (list(i) != text) continue;
            SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
        com::throw_error(kTextReadOnly);
    }

    void on_command(HWND, WORD code) override {
        if (code == CBN_SELCHANGE) owner_.user_event(*this, [this] { click.raise(); });
    }
};

class Win32CommandButton final : public Win32Control<CommandButton> {
public:
    Win32CommandButton(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(L"BUTTON", std::u16string(definition.caption), BS_PUSHBUTTON | WS_TABSTOP);
    }
    std::u16string caption() const override { return window_text(window_); }
    void set_caption(std::u16string_view caption) override { set_window_text(window_, caption); }

    void on_command(HWND, WORD code) override {
        if (code == BN_CLICKED)
            owner_.user_event(*this, [this] { click.raise(static_cast<std::int16_t>(std::max(index(), 0))); });
    }
};

class Win32CheckBox final : public Win32Control<CheckBox> {
public:
    Win32CheckBox(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(L"BUTTON", std::u16string(definition.caption), BS_AUTOCHECKBOX | WS_TABSTOP);
        set_value(definition.int_setting(setting_key::kValue, 0));
    }
    std::u16string caption() const override { return window_text(window_); }
    int value() const override { return static_cast<int>(SendMessageW(window_, BM_GETCHECK, 0, 0)); }
    void set_value(int value) override {
        if (value < 0 || value > 2) com::throw_error(kInvalidPropertyValue);
        SendMessageW(window_, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
};

class Win32Label final : public Win32Control<Label> {
public:
    Win32Label(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        // SS_LEFT wraps at word boundaries; an ampersand is shown as it is.
        create(L"STATIC", std::u16string(definition.caption), SS_LEFT | SS_NOPREFIX);
    }
    std::u16string caption() const override { return window_text(window_); }
    void set_caption(std::u16string_view caption) override { set_window_text(window_, caption); }
};

class Win32Frame final : public Win32Control<Frame> {
public:
    Win32Frame(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(window_classes().frame.name(), std::u16string(definition.caption), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
    }
    std::u16string caption() const override { return window_text(window_); }
    void set_caption(std::u16string_view caption) override {
        set_window_text(window_, caption);
        InvalidateRect(window_, nullptr, TRUE);
    }

    bool on_message(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_PAINT) return false;
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        RECT r{};
        GetClientRect(window, &r);
        const std::u16string text = window_text(window);
        if (!text.empty()) {
            const HGDIOBJ old = SelectObject(dc, owner_.font());
            SetBkMode(dc, TRANSPARENT);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            r.top += metrics.tmHeight / 2;
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            TextOutW(dc, owner_.pixels(120), 0, wide(text), static_cast<int>(text.size()));
            SelectObject(dc, old);
        } else {
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        }
        EndPaint(window, &paint);
        result = 0;
        return true;
    }
};

class Win32ProgressBar final : public Win32Control<ProgressBar> {
public:
    Win32ProgressBar(Win32ControlSet& owner, const ControlSpec& definition)
        : Win32Control(owner, definition),
          min_(static_cast<float>(definition.int_setting(setting_key::kMin, 0))),
          max_(static_cast<float>(definition.int_setting(setting_key::kMax, 100))),
          value_(static_cast<float>(definition.int_setting(setting_key::kValue, 0))) {
        create(PROGRESS_CLASSW, u"", 0);
        draw();
    }
    float min() const override { return min_; }
    void set_min(float value) override {
        min_ = value;
        draw();
    }
    float max() const override { return max_; }
    void set_max(float value) override {
        max_ = value;
        draw();
    }
    float value() const override { return value_; }
    void set_value(float value) override {
        value_ = value;
        draw();
    }

private:
    // The system's bar counts in integers: it is given the share filled in thousandths.
    void draw() {
        constexpr int kSteps = 1000;
        double share = 0;
        if (max_ > min_) share = std::clamp((double{value_} - min_) / (double{max_} - min_), 0.0, 1.0);
        SendMessageW(window_, PBM_SETRANGE32, 0, kSteps);
        SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(std::lround(share * kSteps)), 0);
    }

    float min_;
    float max_;
    float value_;
};

class Win32ButtonEdit final : public Win32Control<ButtonEdit> {
public:
    static constexpr std::int16_t kBrowseButton = 1;  // what the browse button's click carries

    Win32ButtonEdit(Win32ControlSet& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(window_classes().holder.name(), u"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        edit_ = create_child(L"EDIT", std::u16string(definition.text_setting(setting_key::kText, u"")),
                             WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, window_, 0, 0, 0, 0);
        set_target(edit_, this);
        const std::int32_t limit = definition.int_setting(setting_key::kMaxLength, 0);
        SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(limit, 0)), 0);  // 0: no limit
        SendMessageW(edit_, EM_SETREADONLY, definition.bool_setting(setting_key::kLocked, false), 0);
        watch_keys(edit_);
        if (definition.bool_setting(u"showeditbutton", true)) {
            // Not a tab stop: the field is one stop, and its keys (F7) work on either part.
            button_ = create_child(L"BUTTON", u"...", WS_VISIBLE | BS_PUSHBUTTON, 0, window_, 0, 0, 0, 0);
            set_target(button_, this);
            watch_keys(button_);
        }
        place_parts();
        last_text_ = window_text(edit_);
    }

    void place() override {
        Win32Control::place();
        place_parts();
    }

    // The edit part and the browse button side by side in the field.
    void place_parts() {
        const int width = owner_.pixels(bounds_of(definition_).width);
        const int height = owner_.pixels(bounds_of(definition_).height);
        // The stored button width counts pixels of the design's 96 DPI; the field scales it.
        constexpr int kDesignDpi = 96;
        const int button =
            button_ ? MulDiv(definition_.int_setting(u"editbuttonwidth", 18), owner_.dpi(), kDesignDpi) : 0;
        const int edit_width = std::max(width - button, 0);
        SetWindowPos(edit_, nullptr, 0, 0, edit_width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font()), TRUE);
        if (!button_) return;
        SetWindowPos(button_, nullptr, edit_width, 0, button, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(owner_.font()), TRUE);
    }

    // The parts are greyed with the field, not only cut off from input.
    void set_enabled(bool enabled) override {
        EnableWindow(window_, enabled);
        EnableWindow(edit_, enabled);
        if (button_) EnableWindow(button_, enabled);
    }

    std::u16string text() const override { return window_text(edit_); }
    void set_text(std::u16string_view text) override {
        SendMessageW(edit_, EM_SETSEL, 0, 0);
        if (text == last_text_ && text == window_text(edit_)) return;
        {
            Writing writing(writing_);
            set_window_text(edit_, text);
        }
        last_text_ = text;
        SendMessageW(edit_, EM_SETSEL, 0, 0);
        change.raise();
    }
    std::int16_t sel_start() const override {
        DWORD start = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return static_cast<std::int16_t>(std::min<DWORD>(start, 32767));
    }
    void set_sel_start(std::int16_t start) override {
        if (start < 0) com::throw_error(kInvalidPropertyValue);
        const int at = std::min(int{start}, GetWindowTextLengthW(edit_));
        SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(at), at);
    }
    std::int32_t sel_length() const override {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return static_cast<std::int32_t>(end - start);
    }
    void set_sel_length(std::int32_t length) override {
        if (length < 0) com::throw_error(kInvalidPropertyValue);
        DWORD start = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        const auto end = std::min<std::int64_t>(std::int64_t{start} + length, GetWindowTextLengthW(edit_));
        SendMessageW(edit_, EM_SETSEL, start, static_cast<LPARAM>(end));
    }
    void set_focus() override {
        if (!enabled() || !visible()) com::throw_error(kInvalidProcedureCall);
        // The page asked: an error of the focus handler goes back to it, as with any call.
        focus_error_ = nullptr;
        asked_focus_ = true;
        SetFocus(edit_);
        asked_focus_ = false;
        if (focus_error_) std::rethrow_exception(std::exchange(focus_error_, nullptr));
    }

    void on_command(HWND from, WORD code) override {
        if (from == button_ && code == BN_CLICKED) {
            // A click leaves the caret in the field. Only the handles are used afterwards: a host
            // may have let go of the page while the handler's dialog was open.
            const HWND edit = edit_;
            const HWND clicked = button_;
            owner_.user_event(*this, [this] { button_click.raise(kBrowseButton); });
            caret_back(edit, clicked);
        } else if (from == edit_ && code == EN_SETFOCUS) {
            if (!asked_focus_) {
                owner_.user_event(*this, [this] { got_focus.raise(); });
                return;
            }
            try {
                got_focus.raise();
            } catch (...) {
                focus_error_ = std::current_exception();
            }
        } else if (from == edit_ && code == EN_CHANGE && !writing_) {
            // Raised once for each change, whatever the system reports.
            std::u16string now = window_text(edit_);
            if (now == last_text_) return;
            last_text_ = std::move(now);
            owner_.user_event(*this, [this] { change.raise(); });
        }
    }

    HWND focus_window() const noexcept override { return edit_; }

private:
    class Writing {
    public:
        explicit Writing(bool& flag) noexcept : flag_(flag) { flag_ = true; }
        Writing(const Writing&) = delete;
        Writing& operator=(const Writing&) = delete;
        ~Writing() { flag_ = false; }

    private:
        bool& flag_;
    };

    // After a handler of the field (its file dialog) the keyboard is back in the field: also where
    // the frame that owned the dialog kept it for itself, and off the clicked button (part).
    static void caret_back(HWND edit, HWND part) {
        if (!IsWindow(edit)) return;
        const HWND now = GetFocus();
        if (now != edit && ((part && now == part) || now == GetAncestor(edit, GA_ROOT))) SetFocus(edit);
    }

    void watch_keys(HWND part) {
        if (!SetWindowSubclass(part, key_procedure, 1, reinterpret_cast<DWORD_PTR>(this)))
            com::throw_error(E_FAIL, u"The file field cannot watch its keys.");
    }

    // The field's key-down event sees every key, F7 with Alt too (a system key), on either part.
    static LRESULT CALLBACK key_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR data) {
        auto* self = reinterpret_cast<Win32ButtonEdit*>(data);
        if (message == WM_SETFOCUS) {
            // The page gives the keyboard back to the edit part, whichever part had it.
            self->owner_.remember_focus(self->edit_);
        } else if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            auto key = static_cast<std::int16_t>(wparam);
            const bool alt = message == WM_SYSKEYDOWN ? (lparam & (1 << 29)) != 0 : GetKeyState(VK_MENU) < 0;
            const auto shift = static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                                         (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) | (alt ? 4 : 0));
            const HWND edit = self->edit_;
            self->owner_.user_event(*self, [&] { self->key_down.raise(key, shift); });
            caret_back(edit, nullptr);
            // The handler took the key, or let the page go with the field's windows.
            if (key == 0 || !IsWindow(window)) return 0;
            wparam = static_cast<WPARAM>(static_cast<std::uint16_t>(key));
        } else if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(window, key_procedure, 1);
        }
        return DefSubclassProc(window, message, wparam, lparam);
    }

    HWND edit_ = nullptr;
    HWND button_ = nullptr;
    std::u16string last_text_;
    bool writing_ = false;
    bool asked_focus_ = false;
    std::exception_ptr focus_error_;
};

// The system's open-file dialog; nothing of it is drawn on the page.
class Win32FileDialog final : public FileDialog {
public:
    Win32FileDialog(Win32ControlSet& owner, const ControlSpec& definition)
        : owner_(owner), definition_(definition), enabled_(definition.enabled), visible_(definition.visible) {
        set_dialog_title(definition.text_setting(setting_key::kDialogTitle, u""));
    }

    const ControlSpec& definition() const noexcept override { return definition_; }
    bool enabled() const override { return enabled_; }
    void set_enabled(bool enabled) override { enabled_ = enabled; }
    bool visible() const override { return visible_; }
    void set_visible(bool visible) override { visible_ = visible; }

    void show_open() override {
        constexpr std::size_t kPathRoom = 32768;
        std::u16string file(kPathRoom, u'\0');
        const std::u16string start = file_name();
        std::copy_n(start.begin(), std::min(start.size(), kPathRoom - 1), file.begin());
        const std::u16string filter = system_filter(this->filter());
        const std::u16string title = dialog_title();
        const std::u16string folder = init_dir();

        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner_.owner_window();
        dialog.lpstrFilter = filter.empty() ? nullptr : wide(filter);
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = reinterpret_cast<wchar_t*>(file.data());
        dialog.nMaxFile = static_cast<DWORD>(kPathRoom);
        dialog.lpstrInitialDir = folder.empty() ? nullptr : wide(folder);
        dialog.lpstrTitle = title.empty() ? nullptr : wide(title);
        // The stored flags are the system's own numbers (4096 file must exist, 2048 path must exist).
        dialog.Flags = static_cast<DWORD>(flags()) | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (GetOpenFileNameW(&dialog)) {
            set_file_name(file.c_str());
            return;
        }
        if (const DWORD failure = CommDlgExtendedError()) {
            com::throw_error(E_FAIL, u"The file dialog failed with code " + decimal(failure) + u".");
        }
        if (cancel_error()) com::throw_error(com::kCancelled);
    }

    // "Text|pattern|..." pairs as the system takes them: each part ended by a null, the list by a
    // second. A pattern alone describes itself.
    static std::u16string system_filter(std::u16string_view filter) {
        if (filter.empty()) return {};
        std::u16string parts(filter);
        if (parts.find(u'|') == std::u16string::npos) parts += u'|' + std::u16string(filter);
        std::replace(parts.begin(), parts.end(), u'|', u'\0');
        parts.push_back(u'\0');
        return parts;  // c_str() adds the closing null
    }

private:
    Win32ControlSet& owner_;
    const ControlSpec& definition_;
    bool enabled_;
    bool visible_;
};

std::unique_ptr<Control> make_control(Win32ControlSet& owner, const ControlSpec& definition) {
    switch (definition.kind) {
        case ControlKind::DropDownList:
            return std::make_unique<Win32DropDownList>(owner, definition);
        case ControlKind::CommandButton:
            return std::make_unique<Win32CommandButton>(owner, definition);
        case ControlKind::CheckBox:
            return std::make_unique<Win32CheckBox>(owner, definition);
        case ControlKind::Label:
            return std::make_unique<Win32Label>(owner, definition);
        case ControlKind::Frame:
            return std::make_unique<Win32Frame>(owner, definition);
        case ControlKind::ButtonEdit:
            return std::make_unique<Win32ButtonEdit>(owner, definition);
        case ControlKind::FileDialog:
            return std::make_unique<Win32FileDialog>(owner, definition);
        case ControlKind::ProgressBar:
            return std::make_unique<Win32ProgressBar>(owner, definition);
    }
    throw MissingControl(definition.name, definition.index, "unknown kind in the layout");
}

HWND focus_window(Control& control) noexcept {
    const DrawnControl* d = drawn(control);
    return d ? d->focus_window() : nullptr;
}

}  // namespace

bool WindowTarget::on_message(HWND, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

// ---- the page ----

Win32ControlSet::Win32ControlSet(Win32Backend& backend, const PageLayout& layout)
    : backend_(&backend), layout_(layout) {
    init_common_controls();
    page_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, window_classes().page.name(), L"",
                                WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                                backend.parking_window(), nullptr, this_module(), static_cast<WindowTarget*>(this)));
    if (!page_) throw_last_error(u"The page's window cannot be created.");
    dpi_ = window_dpi();
    SetWindowPos(page_.get(), nullptr, 0, 0, pixels(layout.width), pixels(layout.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_ = make_font();

    controls_.reserve(layout.controls.size());
    for (const ControlSpec& definition : layout.controls) controls_.push_back(make_control(*this, definition));

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
        if (c->name() == container)
            if (auto* frame = dynamic_cast<Win32Frame*>(c.get())) return frame->window();
    throw MissingControl(container, kNoIndex, "the container is not built before its controls");
}

void Win32ControlSet::attach(HWND parent) {
    if (!page_) com::throw_error(E_UNEXPECTED, u"The page's window is gone.");
    const HWND target = parent ? parent : (backend_ ? backend_->parking_window() : nullptr);
    if (!target) com::throw_error(E_UNEXPECTED, u"The page has no window to go into.");
    if (!SetParent(page_.get(), target)) throw_last_error(u"The page cannot be put into the window.");
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
        return user ? reinterpret_cast<DpiForWindow>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
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

UniqueFont Win32ControlSet::make_font() const {
    const FontSpec& f = layout_.font;
    const std::u16string face(f.name);
    UniqueFont font(CreateFontW(-static_cast<int>(std::lround(f.size_points * dpi_ / 72.0)), 0, 0, 0, f.weight, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, wide(face)));
    if (!font) com::throw_error(E_FAIL, u"The page's font cannot be created.");
    return font;
}

// The page laid out again when the DPI of the window it lives in has changed: every control's
// place, the font and the scroll steps (which follow pixels()).
void Win32ControlSet::follow_dpi() {
    const int dpi = window_dpi();
    if (dpi == dpi_) return;
    UniqueFont old = std::exchange(font_, UniqueFont{});
    dpi_ = dpi;
    font_ = make_font();
    for (const auto& control : controls_)
        if (DrawnControl* d = drawn(*control)) d->place();
    if (!GetParent(page_.get()) || GetParent(page_.get()) == (backend_ ? backend_->parking_window() : nullptr))
        SetWindowPos(page_.get(), nullptr, 0, 0, pixels(layout_.width), pixels(layout_.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    update_scroll_bars();
    InvalidateRect(page_.get(), nullptr, TRUE);
}

void Win32ControlSet::set_rect(const RECT& rect) {
    if (!page_) return;
    SetWindowPos(page_.get(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    update_scroll_bars();
}

std::vector<Control*> Win32ControlSet::focus_order() const {
    return ui::focus_order(controls_);
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
// else to the first in the tab order that can take it.
void Win32ControlSet::pass_focus_on() {
    // Shown within the page, whether or not the page's own window is shown yet (a container may
    // focus the document before it shows its frame).
    const auto can_take = [this](HWND w) {
        if (!w || !IsChild(page_.get(), w) || !IsWindowEnabled(w)) return false;
        for (HWND part = w; part && part != page_.get(); part = GetParent(part))
            if (!(GetWindowLongPtrW(part, GWL_STYLE) & WS_VISIBLE)) return false;
        return true;
    };
    if (can_take(last_focus_)) {
        SetFocus(last_focus_);
        return;
    }
    for (Control* c : focus_order())
        if (const HWND w = focus_window(*c); can_take(w)) {
            SetFocus(w);
            return;
        }
}

void Win32ControlSet::on_command(HWND, WORD) {}

void Win32ControlSet::user_event(const Control& control, const std::function<void()>& raise) noexcept {
    if (destroying_) return;
    try {
        raise();
    } catch (const std::exception& e) {
        if (backend_) backend_->report_event_error(control.name(), e);
    } catch (...) {
        if (backend_) backend_->report_event_error(control.name(), com::ComError(E_FAIL));
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

void Win32ControlSet::update_scroll_bars() {
    if (!page_) return;
    RECT client{};
    GetClientRect(page_.get(), &client);
    // With both bars showing the client area is smaller; ask for the whole window's size.
    RECT outer{};
    GetWindowRect(page_.get(), &outer);
    const int page_w = pixels(layout_.width);
    const int page_h = pixels(layout_.height);
    const int full_w = outer.right - outer.left;
    const int full_h = outer.bottom - outer.top;
    const bool need_h = full_w < page_w || (full_h < page_h && full_w - GetSystemMetrics(SM_CXVSCROLL) < page_w);
    const bool need_v = full_h < page_h || (need_h && full_h - GetSystemMetrics(SM_CYHSCROLL) < page_h);
    const int view_w = full_w - (need_v ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    const int view_h = full_h - (need_h ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    ShowScrollBar(page_.get(), SB_HORZ, need_h);
    ShowScrollBar(page_.get(), SB_VERT, need_v);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    info.nMax = page_w - 1;
    info.nPage = static_cast<UINT>(std::max(view_w, 0));
    info.nPos = need_h ? std::min(scroll_x_, std::max(page_w - view_w, 0)) : 0;
    SetScrollInfo(page_.get(), SB_HORZ, &info, TRUE);
    info.nMax = page_h - 1;
    info.nPage = static_cast<UINT>(std::max(view_h, 0));
    info.nPos = need_v ? std::min(scroll_y_, std::max(page_h - view_h, 0)) : 0;
    SetScrollInfo(page_.get(), SB_VERT, &info, TRUE);
    scroll_to(need_h ? std::min(scroll_x_, std::max(page_w - view_w, 0)) : 0,
              need_v ? std::min(scroll_y_, std::max(page_h - view_h, 0)) : 0);
}

void Win32ControlSet::scroll_to(int x, int y) {
    const int dx = scroll_x_ - x;
    const int dy = scroll_y_ - y;
    if (dx == 0 && dy == 0) return;
    scroll_x_ = x;
    scroll_y_ = y;
    ScrollWindowEx(page_.get(), dx, dy, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SetScrollPos(page_.get(), SB_HORZ, scroll_x_, TRUE);
    SetScrollPos(page_.get(), SB_VERT, scroll_y_, TRUE);
}

void Win32ControlSet::on_scroll(int bar, WORD request) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(page_.get(), bar, &info)) return;
    const int step = pixels(bar == SB_HORZ ? layout_.scroll_step_x : layout_.scroll_step_y);
    const int last = std::max(info.nMax + 1 - static_cast<int>(info.nPage), 0);
    int pos = info.nPos;
    switch (request) {
        case SB_LINEUP:
            pos -= step;
            break;
        case SB_LINEDOWN:
            pos += step;
            break;
        case SB_PAGEUP:
            pos -= std::max(static_cast<int>(info.nPage) / step, 1) * step;
            break;
        case SB_PAGEDOWN:
            pos += std::max(static_cast<int>(info.nPage) / step, 1) * step;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos / step * step;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = last;
            break;
        default:
            return;
    }
    pos = std::clamp(pos, 0, last);
    if (bar == SB_HORZ)
        scroll_to(pos, scroll_y_);
    else
        scroll_to(scroll_x_, pos);
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
