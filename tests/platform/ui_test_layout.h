// A small page with one control of every kind, for the UI layer's own tests.
#pragma once

#include <array>

#include "platform/ui/layout.h"

namespace zn::ui::testing {

inline constexpr std::array kFieldSettings{
    Setting{setting_key::kText, std::u16string_view{u"start"}},
};
inline constexpr std::array kShortFieldSettings{
    Setting{setting_key::kMaxLength, std::int32_t{3}},
};
inline constexpr std::array kLockedFieldSettings{
    Setting{setting_key::kText, std::u16string_view{u"fixed"}},
    Setting{setting_key::kLocked, true},
};
inline constexpr std::array kDialogSettings{
    Setting{setting_key::kDialogTitle, std::u16string_view{u"Pick one"}},
};
inline constexpr std::array kBarSettings{
    Setting{setting_key::kMin, std::int32_t{0}},
    Setting{setting_key::kMax, std::int32_t{100}},
};

inline constexpr std::array kControls{
    ControlSpec{.name = u"list", .kind = ControlKind::DropDownList, .bounds = Bounds{0, 0, 100, 20}, .tab_index = 4},
    ControlSpec{.name = u"frame", .kind = ControlKind::Frame, .bounds = Bounds{0, 0, 500, 500}, .tab_index = 0},
    ControlSpec{.name = u"button",
                .index = 0,
                .kind = ControlKind::CommandButton,
                .container = u"frame",
                .tab_index = 3,
                .caption = u"Go"},
    ControlSpec{.name = u"check", .index = 0, .kind = ControlKind::CheckBox, .container = u"frame", .tab_index = 2},
    ControlSpec{.name = u"field",
                .kind = ControlKind::ButtonEdit,
                .container = u"frame",
                .tab_index = 1,
                .settings = kFieldSettings},
    ControlSpec{.name = u"short", .kind = ControlKind::ButtonEdit, .tab_index = 5, .settings = kShortFieldSettings},
    ControlSpec{.name = u"locked", .kind = ControlKind::ButtonEdit, .tab_index = 6, .settings = kLockedFieldSettings},
    ControlSpec{.name = u"dialog", .kind = ControlKind::FileDialog, .settings = kDialogSettings},
    ControlSpec{
        .name = u"bar", .kind = ControlKind::ProgressBar, .tab_index = 7, .visible = false, .settings = kBarSettings},
    ControlSpec{.name = u"label", .kind = ControlKind::Label, .tab_index = 8, .caption = u"Hello"},
};

inline constexpr PageLayout kTestLayout{
    .name = u"testPage", .width = 1000, .height = 800, .scroll_step_x = 10, .scroll_step_y = 10, .controls = kControls};

}  // namespace zn::ui::testing
