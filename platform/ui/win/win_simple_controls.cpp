// The page's controls that are one system control each (the list, the buttons, the check box,
// the labels, the frame, the progress bar), the file dialog, and the kind-to-class table.
#include "platform/ui/win/win_control_base.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "platform/com/com_error.h"

namespace zn::ui::win::parts {
namespace {

constexpr int kListDropItems = 8;  // entries the opened list shows at once

class Win32DropDownList final : public Win32Control<DropDownList> {
public:
    Win32DropDownList(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
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
        choose(index);
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
            choose(i);
            return;
        }
        com::throw_error(kTextReadOnly);
    }

    void on_command(HWND, WORD code) override {
        if (code == CBN_SELCHANGE) owner_.user_event(*this, [this] { click.raise(); });
    }

private:
    // A choice the page makes is heard as a user's is.
    void choose(int index) {
        const int before = list_index();
        SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        if (list_index() != before) announce_change(window_, SystemChange::ListChosen, EVENT_OBJECT_VALUECHANGE);
    }

    // Its value is the chosen entry.
    AccessibleFacts accessible_facts() override {
        AccessibleFacts facts = Win32Control::accessible_facts();
        facts.value = [this]() -> std::optional<std::u16string> { return text(); };
        return facts;
    }
};

class Win32CommandButton final : public Win32Control<CommandButton> {
public:
    Win32CommandButton(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
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
    Win32CheckBox(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        create(L"BUTTON", std::u16string(definition.caption), BS_AUTOCHECKBOX | WS_TABSTOP);
        set_value(definition.int_setting(setting_key::kValue, 0));
    }

    // A proxy that knows no check box still tells whether it is ticked.
    AccessibleFacts accessible_facts() override {
        AccessibleFacts facts = Win32Control::accessible_facts();
        facts.state = [this] {
            const int ticked = value();
            return ticked == 1 ? LONG{STATE_SYSTEM_CHECKED} : ticked == 2 ? LONG{STATE_SYSTEM_MIXED} : LONG{0};
        };
        return facts;
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
    Win32Label(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
        // SS_LEFT wraps at word boundaries; an ampersand is shown as it is.
        create(L"STATIC", std::u16string(definition.caption), SS_LEFT | SS_NOPREFIX);
    }
    std::u16string caption() const override { return window_text(window_); }
    // The controls that take their name or description from the label are heard to change too.
    void set_caption(std::u16string_view caption) override {
        if (caption == window_text(window_)) return;
        set_window_text(window_, caption);
        announce_change(window_, SystemChange::LabelText, EVENT_OBJECT_NAMECHANGE);
        owner_.caption_changed(name());
    }
};

class Win32Frame final : public Win32Control<Frame> {
public:
    Win32Frame(ControlOwner& owner, const ControlSpec& definition) : Win32Control(owner, definition) {
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
            SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
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
    Win32ProgressBar(ControlOwner& owner, const ControlSpec& definition)
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
    double share() const {
        return max_ > min_ ? std::clamp((double{value_} - min_) / (double{max_} - min_), 0.0, 1.0) : 0.0;
    }

    // Its value is the share filled, in percent, as Windows' own bar says it.
    AccessibleFacts accessible_facts() override {
        AccessibleFacts facts = Win32Control::accessible_facts();
        facts.value = [this]() -> std::optional<std::u16string> {
            return decimal(static_cast<DWORD>(std::lround(share() * 100))) + u"%";
        };
        return facts;
    }

    // The system's bar counts in integers: it is given the share filled in thousandths.
    void draw() {
        constexpr int kSteps = 1000;
        SendMessageW(window_, PBM_SETRANGE32, 0, kSteps);
        const auto position = static_cast<WPARAM>(std::lround(share() * kSteps));
        if (static_cast<WPARAM>(SendMessageW(window_, PBM_SETPOS, position, 0)) != position)
            announce_change(window_, SystemChange::BarMoved, EVENT_OBJECT_VALUECHANGE);
    }

    float min_;
    float max_;
    float value_;
};

class Win32FileDialog final : public FileDialog {
public:
    Win32FileDialog(ControlOwner& owner, const ControlSpec& definition)
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
    ControlOwner& owner_;
    const ControlSpec& definition_;
    bool enabled_;
    bool visible_;
};

}  // namespace

std::unique_ptr<Control> make_control(ControlOwner& owner, const ControlSpec& definition) {
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
            return make_button_edit(owner, definition);
        case ControlKind::FileDialog:
            return std::make_unique<Win32FileDialog>(owner, definition);
        case ControlKind::ProgressBar:
            return std::make_unique<Win32ProgressBar>(owner, definition);
    }
    throw MissingControl(definition.name, definition.index, "unknown kind in the layout");
}

}  // namespace zn::ui::win::parts
