#include "platform/ui/layout.h"

namespace zn::ui {

const SettingValue* ControlSpec::setting(std::u16string_view key) const noexcept {
    for (const Setting& s : settings)
        if (s.key == key) return &s.value;
    return nullptr;
}

std::int32_t ControlSpec::int_setting(std::u16string_view key, std::int32_t fallback) const noexcept {
    const SettingValue* v = setting(key);
    const auto* i = v ? std::get_if<std::int32_t>(v) : nullptr;
    return i ? *i : fallback;
}

bool ControlSpec::bool_setting(std::u16string_view key, bool fallback) const noexcept {
    const SettingValue* v = setting(key);
    const auto* b = v ? std::get_if<bool>(v) : nullptr;
    return b ? *b : fallback;
}

std::u16string_view ControlSpec::text_setting(std::u16string_view key, std::u16string_view fallback) const noexcept {
    const SettingValue* v = setting(key);
    const auto* t = v ? std::get_if<std::u16string_view>(v) : nullptr;
    return t ? *t : fallback;
}

const ControlSpec* PageLayout::find(std::u16string_view control, int index) const noexcept {
    for (const ControlSpec& c : controls) {
        if (c.name != control) continue;
        if (c.index == index || (index == kNoIndex && c.index == 0)) return &c;
    }
    return nullptr;
}

const AccessibleText* PageLayout::accessible_text(std::u16string_view control, AccessiblePart part) const noexcept {
    for (const AccessibleText& t : accessible_texts)
        if (t.control == control && t.part == part) return &t;
    return nullptr;
}

}  // namespace zn::ui
