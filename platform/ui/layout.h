// A page's controls as a table: what every backend builds from. Positions and sizes are in
// twips (1/1440 inch), measured from the top-left corner of the control's container.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

namespace zn::ui {

enum class ControlKind {
    DropDownList,  // a combo box whose text can only be one of its entries
    CommandButton,
    CheckBox,
    Label,
    Frame,
    ButtonEdit,  // one-line text field with an attached browse button
    FileDialog,  // the platform's file-open dialog; not drawn on the page
    ProgressBar,
};

// Labels, frames, progress bars and dialogs never take the focus.
constexpr bool takes_focus(ControlKind kind) noexcept {
    return kind == ControlKind::DropDownList || kind == ControlKind::CommandButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::ButtonEdit;
}

struct FontSpec {
    std::u16string_view name;
    double size_points = 0;
    int weight = 400;

    friend constexpr bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A stored design-time setting, keyed as the control stores it.
using SettingValue = std::variant<std::int32_t, bool, std::u16string_view, FontSpec>;

struct Setting {
    std::u16string_view key;
    SettingValue value;
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const Bounds&, const Bounds&) = default;
};

inline constexpr int kNoIndex = -1;     // not an element of a control array
inline constexpr int kNoTabIndex = -1;  // has no place in the tab order

struct ControlSpec {
    std::u16string_view name;
    int index = kNoIndex;
    ControlKind kind = ControlKind::Label;
    std::u16string_view container;  // empty: the page itself
    std::optional<Bounds> bounds;   // none for a control that is not drawn on the page
    int tab_index = kNoTabIndex;
    std::u16string_view caption;
    bool enabled = true;
    bool visible = true;
    std::span<const Setting> settings;

    // The stored setting under key (compared exactly), or null.
    const SettingValue* setting(std::u16string_view key) const noexcept;
    // Typed reads of a stored setting, with a fallback when the key is absent or of another type.
    std::int32_t int_setting(std::u16string_view key, std::int32_t fallback) const noexcept;
    bool bool_setting(std::u16string_view key, bool fallback) const noexcept;
    std::u16string_view text_setting(std::u16string_view key, std::u16string_view fallback) const noexcept;
};

// The part of a control that a screen reader's words are for: the control itself, or the button
// attached to it (the file field's browse button).
enum class AccessiblePart { Control, Button };

// What a screen reader is told of a control besides what the system's own accessible object says
// of it: a name (a fixed text, or a label's caption without its trailing colon), a description
// (a label's caption) and a keyboard shortcut. Captions are read when asked, so the words follow
// a caption that changes.
struct AccessibleText {
    std::u16string_view control;  // empty: the page itself
    AccessiblePart part = AccessiblePart::Control;
    std::u16string_view name;
    std::u16string_view name_from;         // a label
    std::u16string_view description_from;  // a label
    std::u16string_view shortcut;
};

struct PageLayout {
    std::u16string_view name;
    int width = 0;  // twips
    int height = 0;
    int scroll_step_x = 0;  // twips per scroll step when the window is smaller than the page
    int scroll_step_y = 0;
    FontSpec font;  // the font of every control's text
    std::span<const ControlSpec> controls;
    std::span<const AccessibleText> accessible_texts;

    // The words for a control's part (the page's with an empty name), or null.
    const AccessibleText* accessible_text(std::u16string_view control, AccessiblePart part) const noexcept;
    // The control's entry; index kNoIndex matches a control that is not an array, or element 0
    // of one. Null when there is none.
    const ControlSpec* find(std::u16string_view control, int index = kNoIndex) const noexcept;
};

// Settings that the controls read from their stored table, named after the properties they set.
namespace setting_key {
inline constexpr std::u16string_view kDialogTitle = u"DialogTitle";
inline constexpr std::u16string_view kMin = u"Min";
inline constexpr std::u16string_view kMax = u"Max";
inline constexpr std::u16string_view kValue = u"Value";
inline constexpr std::u16string_view kStyle = u"Style";
inline constexpr std::u16string_view kText = u"text";
inline constexpr std::u16string_view kMaxLength = u"maxlength";
inline constexpr std::u16string_view kLocked = u"locked";
}  // namespace setting_key

}  // namespace zn::ui
