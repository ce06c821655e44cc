#include "platform/com/registry_path.h"

#include "platform/com/com_error.h"
#include "platform/text/ascii_case.h"

namespace zn::com::registry {
namespace {

bool valid_name(std::u16string_view name) {
    if (name.empty()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || c == 0x7F) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<std::u16string_view> split_key_path(std::u16string_view key_path) {
    std::vector<std::u16string_view> names;
    if (key_path.empty()) return names;
    std::size_t start = 0;
    while (true) {
        const auto end = key_path.find(u'\\', start);
        const auto name = key_path.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (!valid_name(name)) throw ComError(E_INVALIDARG, u"Invalid registry key path");
        names.push_back(name);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return names;
}

bool same_key_name(std::u16string_view a, std::u16string_view b) noexcept {
    return text::equal_ignoring_ascii_case(a, b);
}

}  // namespace zn::com::registry
