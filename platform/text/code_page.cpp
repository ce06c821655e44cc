#include "platform/text/code_page.h"

namespace zn::text {

std::u16string ansi_to_utf16(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    const std::size_t n = ansi_to_utf16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out.data());
    out.resize(n);
    return out;
}

}  // namespace zn::text
