#include "platform/text/utf.h"

#include <cstdint>

namespace zn::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void append_utf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

bool is_high_surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool is_low_surrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes one sequence at s[i]; advances i past it. A malformed sequence yields U+FFFD and
// consumes only its longest valid prefix, so the next character is not swallowed.
char32_t decode_utf8(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        return kReplacement;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || !is_continuation(static_cast<unsigned char>(s[i]))) return kReplacement;
        const char32_t next = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        // Reject overlong forms, surrogates and values beyond U+10FFFF as soon as the
        // second byte shows them, leaving that byte for the next round.
        if (k == 0) {
            const char32_t shift = 6 * static_cast<char32_t>(extra - 1);
            const char32_t lo = next << shift;
            const char32_t hi = lo | ((char32_t{1} << shift) - 1);
            if (hi < min || lo > 0x10FFFF || (lo >= 0xD800 && hi <= 0xDFFF)) return kReplacement;
        }
        cp = next;
        ++i;
    }
    return cp;
}

}  // namespace

std::string to_utf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (is_high_surrogate(c) && i + 1 < s.size() && is_low_surrogate(s[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (is_high_surrogate(c) || is_low_surrogate(c)) {
            c = kReplacement;
        }
        append_utf8(out, c);
    }
    return out;
}

std::u16string from_utf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) append_utf16(out, decode_utf8(s, i));
    return out;
}

}  // namespace zn::text
