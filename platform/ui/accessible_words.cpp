#include "platform/ui/accessible_words.h"

namespace zn::ui {
namespace {

std::u16string caption_of(ControlSet& set, std::u16string_view label) {
    return set.get<Label>(label).caption();
}

// A label introduces the control with a colon that a screen reader need not say.
std::u16string without_colon(std::u16string caption) {
    while (!caption.empty() && caption.back() == u' ') caption.pop_back();
    if (!caption.empty() && caption.back() == u':') caption.pop_back();
    while (!caption.empty() && caption.back() == u' ') caption.pop_back();
    return caption;
}

}  // namespace

AccessibleWords accessible_words(const AccessibleText& text, ControlSet& set) {
    AccessibleWords words;
    if (!text.name_from.empty())
        words.name = without_colon(caption_of(set, text.name_from));
    else if (!text.name.empty())
        words.name = std::u16string(text.name);
    if (!text.description_from.empty()) words.description = caption_of(set, text.description_from);
    if (!text.shortcut.empty()) words.shortcut = std::u16string(text.shortcut);
    return words;
}

}  // namespace zn::ui
