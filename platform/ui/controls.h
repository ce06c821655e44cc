// What the page uses of each control, whatever backend draws it. Property writes that the
// platform's controls refuse raise ComError with the platform's code, as the real controls do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/com.h"
#include "platform/ui/event.h"
#include "platform/ui/layout.h"

namespace zn::ui {

// Codes the platform's controls raise.
inline constexpr HRESULT kInvalidProcedureCall = static_cast<HRESULT>(0x800A0005);  // e.g. focus to a disabled control
inline constexpr HRESULT kInvalidPropertyValue = static_cast<HRESULT>(0x800A017C);
inline constexpr HRESULT kTextReadOnly = static_cast<HRESULT>(0x800A017F);  // a list's text that is no entry

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    // The control's entry in the layout table it was built from.
    virtual const ControlSpec& definition() const noexcept = 0;
    std::u16string_view name() const noexcept { return definition().name; }
    int index() const noexcept { return definition().index; }
    ControlKind kind() const noexcept { return definition().kind; }

    virtual bool enabled() const = 0;
    virtual void set_enabled(bool enabled) = 0;
    virtual bool visible() const = 0;
    virtual void set_visible(bool visible) = 0;
};

class DropDownList : public Control {
public:
    virtual void add_item(std::u16string_view text) = 0;
    virtual int list_count() const = 0;
    // The entry at index; an index outside the list is an invalid property value.
    virtual std::u16string list(int index) const = 0;
    // The chosen entry, or -1.
    virtual int list_index() const = 0;
    // Chooses an entry and raises click, as a user's choice does; -1 clears the choice
    // without raising it.
    virtual void set_list_index(int index) = 0;
    // The chosen entry's text, or the empty text.
    virtual std::u16string text() const = 0;
    // Chooses the entry with exactly this text (the first one, if several), without raising
    // click; a text that is no entry is refused.
    virtual void set_text(std::u16string_view text) = 0;

    Event<> click;
};

class CommandButton : public Control {
public:
    virtual std::u16string caption() const = 0;
    virtual void set_caption(std::u16string_view caption) = 0;

    // Carries the element's index within its control array (0 for a single button).
    Event<std::int16_t> click;
};

class CheckBox : public Control {
public:
    virtual std::u16string caption() const = 0;
    // 0 cleared, 1 ticked, 2 greyed; any other value is refused.
    virtual int value() const = 0;
    virtual void set_value(int value) = 0;
};

class Label : public Control {
public:
    virtual std::u16string caption() const = 0;
    virtual void set_caption(std::u16string_view caption) = 0;
};

class Frame : public Control {
public:
    virtual std::u16string caption() const = 0;
    virtual void set_caption(std::u16string_view caption) = 0;
};

// A one-line text field with a browse button.
class ButtonEdit : public Control {
public:
    virtual std::u16string text() const = 0;
    // Raises change when the text differs from what the field held, also when the page writes it.
    // The selection collapses to the start.
    virtual void set_text(std::u16string_view text) = 0;
    virtual std::int16_t sel_start() const = 0;
    // Negative is refused; past the end puts the caret at the end.
    virtual void set_sel_start(std::int16_t start) = 0;
    virtual std::int32_t sel_length() const = 0;
    // Negative is refused; the selection stops at the end of the text.
    virtual void set_sel_length(std::int32_t length) = 0;
    // Moves the input focus into the field; refused for a disabled or hidden field.
    virtual void set_focus() = 0;

    Event<std::int16_t> button_click;  // the browse button; the argument names the button
    Event<> got_focus;
    Event<> change;
    Event<std::int16_t&, std::int16_t> key_down;  // key code (the handler may change it), shift state
};

// The platform's file-open dialog (MSComDlg.CommonDialog). Its properties are settings that
// the dialog reads when it is shown; each backend only shows it.
class FileDialog : public Control {
public:
    static constexpr std::int32_t kFileMustExist = 4096;
    static constexpr std::int32_t kPathMustExist = 2048;

    std::u16string dialog_title() const { return title_; }
    void set_dialog_title(std::u16string_view title) { title_ = title; }
    bool cancel_error() const noexcept { return cancel_error_; }
    void set_cancel_error(bool raise) noexcept { cancel_error_ = raise; }
    std::int32_t flags() const noexcept { return flags_; }
    void set_flags(std::int32_t flags) noexcept { flags_ = flags; }
    std::u16string filter() const { return filter_; }
    void set_filter(std::u16string_view filter) { filter_ = filter; }
    std::u16string init_dir() const { return init_dir_; }
    void set_init_dir(std::u16string_view folder) { init_dir_ = folder; }
    std::u16string file_name() const { return file_name_; }
    void set_file_name(std::u16string_view name) { file_name_ = name; }
    // Modal. A confirmed dialog leaves the chosen file's full path in file_name; a cancelled
    // one leaves file_name as it was and, with cancel_error set, raises ComError(kCancelled).
    virtual void show_open() = 0;

private:
    std::u16string title_;
    bool cancel_error_ = false;
    std::int32_t flags_ = 0;
    std::u16string filter_;
    std::u16string init_dir_;
    std::u16string file_name_;
};

class ProgressBar : public Control {
public:
    virtual float min() const = 0;
    virtual void set_min(float value) = 0;
    virtual float max() const = 0;
    virtual void set_max(float value) = 0;
    // The value as last written. An empty range (max equal to min) and values outside the
    // range are accepted: the bar draws the value clamped into the range.
    virtual float value() const = 0;
    virtual void set_value(float value) = 0;
};

}  // namespace zn::ui
