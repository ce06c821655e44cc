// GUIDs in their registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", parsed at compile time
// so that interface identities need no compiler extension.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/com.h"

namespace zn::com {

namespace detail {
constexpr int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
template <class Char>
constexpr std::optional<GUID> parse_guid(std::basic_string_view<Char> s) {
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return std::nullopt;
    constexpr int dash_positions[] = {9, 14, 19, 24};
    for (int p : dash_positions)
        if (s[static_cast<std::size_t>(p)] != '-') return std::nullopt;
    std::uint8_t bytes[16] = {};
    int n = 0;
    for (std::size_t i = 1; i + 1 < s.size();) {
        if (s[i] == '-') {
            ++i;
            continue;
        }
        const int hi = s[i] < 128 ? hex_digit(static_cast<char>(s[i])) : -1;
        const int lo = s[i + 1] < 128 ? hex_digit(static_cast<char>(s[i + 1])) : -1;
        if (hi < 0 || lo < 0 || n >= 16) return std::nullopt;
        bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    if (n != 16) return std::nullopt;
    GUID g{};
    g.Data1 = (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
              (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
    g.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
    return g;
}
}  // namespace detail

// A GUID literal; a malformed text fails to compile.
consteval GUID make_guid(std::string_view text) {
    const auto g = detail::parse_guid(text);
    if (!g) throw "malformed GUID literal";
    return *g;
}

std::optional<GUID> parse_guid(std::u16string_view text);
// Upper-case registry form with braces.
std::u16string format_guid(const GUID& g);
std::string format_guid_utf8(const GUID& g);

constexpr bool same_guid(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

// The interface identity of T, declared once per interface with ZN_DECLARE_IID.
template <class T>
struct iid_traits;

template <class T>
inline constexpr const GUID& iid_of() {
    return iid_traits<T>::value;
}

}  // namespace zn::com

#define ZN_DECLARE_IID(Interface, text)                           \
    template <>                                                   \
    struct zn::com::iid_traits<Interface> {                       \
        static constexpr GUID value = ::zn::com::make_guid(text); \
    }

ZN_DECLARE_IID(IUnknown, "{00000000-0000-0000-C000-000000000046}");
ZN_DECLARE_IID(IDispatch, "{00020400-0000-0000-C000-000000000046}");
ZN_DECLARE_IID(IClassFactory, "{00000001-0000-0000-C000-000000000046}");
ZN_DECLARE_IID(IErrorInfo, "{1CF2B120-547D-101B-8E65-08002B2BD119}");
ZN_DECLARE_IID(ICreateErrorInfo, "{22F03340-547D-101B-8E65-08002B2BD119}");
ZN_DECLARE_IID(ISupportErrorInfo, "{DF0B3D60-548F-101B-8E65-08002B2BD119}");
