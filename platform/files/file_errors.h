// The file errors of the classic runtime, with the texts that it gives them.
#pragma once

#include <string_view>

#include "platform/com/com.h"

namespace zn::files {

inline constexpr HRESULT kInputPastEndOfFile = static_cast<HRESULT>(0x800A003E);   // 62
inline constexpr HRESULT kTooManyFiles = static_cast<HRESULT>(0x800A0043);         // 67
inline constexpr HRESULT kPathFileAccessError = static_cast<HRESULT>(0x800A004B);  // 75

// The runtime's text for a file error or out of memory; empty for any other code.
std::u16string_view file_error_text(HRESULT hr) noexcept;

// Throws com::ComError with the code's own text (the file errors and out of memory).
[[noreturn]] void raise_file_error(HRESULT hr);

}  // namespace zn::files
