#include "platform/ui/control_set.h"

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

}  // namespace zn::ui
