// Bytes of files <-> component text through the system's ANSI code page. On Windows that is
// the code page of programs that are not Unicode-aware; elsewhere Windows-1252, with its five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) carried as the control characters of the
// same number, so that every byte value maps to one character and back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zn::text {

// Converts n bytes into out, which has room for n characters (no code page gives more
// characters than bytes); returns the number of characters written.
std::size_t ansi_to_utf16(const std::uint8_t* bytes, std::size_t n, char16_t* out);

std::u16string ansi_to_utf16(std::string_view bytes);

// A character that the code page cannot express becomes '?' (one per UTF-16 unit); no
// look-alike is substituted.
std::string utf16_to_ansi(std::u16string_view text);

}  // namespace zn::text
