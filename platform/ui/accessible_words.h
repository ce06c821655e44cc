// The words a screen reader is given for a control, read from the page's table of accessible texts
// and from the captions of the labels it names, as they stand when asked.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/control_set.h"
#include "platform/ui/layout.h"

namespace zn::ui {

struct AccessibleWords {
    std::optional<std::u16string> name;
    std::optional<std::u16string> description;
    std::optional<std::u16string> shortcut;
};

// The entry's words now. A name taken from a label drops the caption's trailing colon ("Import
// file name:" is read as "Import file name"). Throws MissingControl for a label the set lacks.
AccessibleWords accessible_words(const AccessibleText& text, ControlSet& set);

// What a new caption of the label changes in the entry's words.
struct CaptionUse {
    bool name = false;
    bool description = false;
};
constexpr CaptionUse caption_use(const AccessibleText& text, std::u16string_view label) noexcept {
    return {!label.empty() && text.name_from == label, !label.empty() && text.description_from == label};
}

}  // namespace zn::ui
