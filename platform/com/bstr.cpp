#include "platform/com/bstr.h"

#include <limits>

#include "platform/com/com_error.h"

namespace zn::com {
namespace {

BSTR allocate_or_throw(const OLECHAR* text, std::size_t n) {
    // A BSTR records its length in bytes in 32 bits.
    if (n > std::numeric_limits<std::uint32_t>::max() / sizeof(OLECHAR) - 1) throw ComError(E_OUTOFMEMORY);
    BSTR s = SysAllocStringLen(text, static_cast<UINT>(n));
    if (!s) throw ComError(E_OUTOFMEMORY);
    return s;
}

}  // namespace

Bstr::Bstr(std::u16string_view text) : s_(alloc_bstr(text)) {}

Bstr Bstr::allocate(std::size_t n) {
    // The characters are undefined until the caller fills them; touching them here would
    // double the cost of filling a large photo.
    return attach(allocate_or_throw(nullptr, n));
}

void Bstr::reset() noexcept {
    if (BSTR s = std::exchange(s_, nullptr)) SysFreeString(s);
}

std::size_t Bstr::size() const noexcept {
    return s_ ? SysStringLen(s_) : 0;
}

std::u16string_view bstr_view(BSTR s) noexcept {
    if (!s) return {};
    return {u16(s), SysStringLen(s)};
}

BSTR alloc_bstr(std::u16string_view text) {
    // Never a null BSTR, even for the empty text: callers hand it out as a real string.
    return allocate_or_throw(text.empty() ? ole(u"") : ole(text.data()), text.size());
}

}  // namespace zn::com
