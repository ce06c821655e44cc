#include "platform/ui/control_set.h"

#include <algorithm>

#include "platform/text/utf.h"

namespace zn::ui {

namespace {
std::string describe(std::u16string_view name, int index, std::string_view why) {
    std::string s = text::to_utf8(name);
    if (index != kNoIndex) s += "(" + std::to_string(index) + ")";
    s += ": ";
    s += why;
    return s;
}
}  // namespace

MissingControl::MissingControl(std::u16string_view name, int index, std::string_view why)
    : std::logic_error(describe(name, index, why)) {}

std::vector<Control*> focus_order(std::span<const std::unique_ptr<Control>> controls) {
    std::vector<Control*> order;
    for (const auto& c : controls)
        if (takes_focus(c->kind()) && c->enabled() && c->visible() && c->definition().tab_index != kNoTabIndex)
            order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        return a->definition().tab_index < b->definition().tab_index;
    });
    return order;
}

}  // namespace zn::ui
