#include "platform/com/guid.h"

namespace zn::com {
namespace {

template <class Char>
std::basic_string<Char> format(const GUID& g) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::basic_string<Char> out;
    out.reserve(38);
    auto put = [&](std::uint32_t value, int digits) {
        for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
            out.push_back(static_cast<Char>(kDigits[(value >> shift) & 0xF]));
    };
    out.push_back('{');
    put(g.Data1, 8);
    out.push_back('-');
    put(g.Data2, 4);
    out.push_back('-');
    put(g.Data3, 4);
    out.push_back('-');
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    out.push_back('-');
    for (int i = 2; i < 8; ++i) put(g.Data4[i], 2);
    out.push_back('}');
    return out;
}

}  // namespace

std::optional<GUID> parse_guid(std::u16string_view text) {
    return detail::parse_guid(text);
}

std::u16string format_guid(const GUID& g) {
    return format<char16_t>(g);
}
std::string format_guid_utf8(const GUID& g) {
    return format<char>(g);
}

}  // namespace zn::com
