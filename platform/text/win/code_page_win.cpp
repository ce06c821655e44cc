// The system's ANSI code page (CP_ACP).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/text/code_page.h"

namespace zn::text {
namespace {

// The conversion functions count in int; larger texts go through in slices. A slice may end
// inside a two-byte character only for texts of a gigabyte or more.
constexpr std::size_t kSlice = std::size_t{1} << 30;

}  // namespace

std::size_t ansi_to_utf16(const std::uint8_t* bytes, std::size_t n, char16_t* out) {
    std::size_t written = 0;
    for (std::size_t done = 0; done < n;) {
        const int len = static_cast<int>(std::min(n - done, kSlice));
        const int got = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes + done), len,
                                            reinterpret_cast<wchar_t*>(out + written), len);
        written += static_cast<std::size_t>(std::max(got, 0));
        done += static_cast<std::size_t>(len);
    }
    return written;
}

std::string utf16_to_ansi(std::u16string_view text) {
    // No best fit: a character without a byte becomes '?', never a look-alike letter. A system
    // whose ANSI code page is UTF-8 takes neither the flag nor a substitute of our choosing.
    const bool utf8 = GetACP() == CP_UTF8;
    const char* substitute = utf8 ? nullptr : "?";
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    std::string out;
    for (std::size_t done = 0; done < text.size();) {
        const int len = static_cast<int>(std::min(text.size() - done, kSlice));
        const auto* src = reinterpret_cast<const wchar_t*>(text.data() + done);
        const int need = WideCharToMultiByte(CP_ACP, flags, src, len, nullptr, 0, substitute, nullptr);
        if (need > 0) {
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(need));
            WideCharToMultiByte(CP_ACP, flags, src, len, out.data() + at, need, substitute, nullptr);
        }
        done += static_cast<std::size_t>(len);
    }
    return out;
}

}  // namespace zn::text
