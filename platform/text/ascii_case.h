// Names compared as the system compares registry keys and late-bound member names: ASCII
// letters without regard to case, every other character exactly.
#pragma once

#include <string_view>

namespace zn::text {

constexpr bool equal_ignoring_ascii_case(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    const auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

}  // namespace zn::text
