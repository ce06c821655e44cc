// The file field: an edit part and a browse button in a holder window, one stop for the
// keyboard, its keys (F7) seen on either part.
#include "platform/ui/win/win_control_base.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "platform/com/com_error.h"

namespace zn::ui::win::parts {
namespace {

class Win32ButtonEdit final : public Win32Control<ButtonEdit> {
public:
    static constexpr std::int16_t kBrowseButton = 1;  // what the browse button's click carries

    Win32ButtonEdit(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
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
        // The edit takes the keyboard, so a screen reader says the field's words there; the
        // holder around the parts is a group of the same name.
        edit_words_.serve(edit_, {.words = words_for(AccessiblePart::Control), .role = ROLE_SYSTEM_TEXT});
        if (button_)
            button_words_.serve(button_, {.words = words_for(AccessiblePart::Button), .role = ROLE_SYSTEM_PUSHBUTTON});
    }

    HWND accessible_window(AccessiblePart part) const noexcept override {
        return part == AccessiblePart::Button ? button_ : edit_;
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
        for (HWND part : {edit_, button_}) {
            // EnableWindow answers whether the window was disabled before.
            if (part && (EnableWindow(part, enabled) != FALSE) == enabled)
                announce_change(part, SystemChange::Enabled, EVENT_OBJECT_STATECHANGE);
        }
    }

    std::u16string text() const override { return window_text(edit_); }
    void set_text(std::u16string_view text) override {
        SendMessageW(edit_, EM_SETSEL, 0, 0);
        if (text == last_text_ && text == window_text(edit_)) return;
        {
            Writing writing(writing_);
            set_window_text(edit_, text);
        }
        announce_change(edit_, SystemChange::FieldText, EVENT_OBJECT_VALUECHANGE);
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
    // the frame that owned the dialog kept it for itself, and off the clicked button (part). Not
    // into a field that went meanwhile, or that the container hid or disabled while the dialog was up.
    static void caret_back(HWND edit, HWND part) {
        if (!IsWindow(edit) || !IsWindowVisible(edit) || !IsWindowEnabled(edit)) return;
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
    AccessibleServer edit_words_;
    AccessibleServer button_words_;
    std::u16string last_text_;
    bool writing_ = false;
    bool asked_focus_ = false;
    std::exception_ptr focus_error_;
};

}  // namespace

std::unique_ptr<Control> make_button_edit(ControlOwner& owner, const ControlSpec& definition) {
    return std::make_unique<Win32ButtonEdit>(owner, definition);
}

}  // namespace zn::ui::win::parts
