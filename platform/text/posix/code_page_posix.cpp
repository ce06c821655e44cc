// Windows-1252 stands in for the ANSI code page.
#include <array>

#include "platform/text/code_page.h"

namespace zn::text {
namespace {

// 0x80..0x9F; the rest of the code page is Latin-1 and maps to the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

constexpr std::array<char16_t, 256> make_table() {
    std::array<char16_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) table[b] = static_cast<char16_t>(b);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) table[0x80 + i] = kHighControls[i];
    return table;
}

constexpr std::array<char16_t, 256> kTable = make_table();

char to_byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::size_t ansi_to_utf16(const std::uint8_t* bytes, std::size_t n, char16_t* out) {
    for (std::size_t i = 0; i < n; ++i) out[i] = kTable[bytes[i]];
    return n;
}

std::string utf16_to_ansi(std::u16string_view text) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = to_byte(text[i]);
    return out;
}

}  // namespace zn::text
