// UTF-8 <-> UTF-16 for the console, file names and tests (component text is UTF-16).
#pragma once

#include <string>
#include <string_view>

namespace zn::text {

std::string to_utf8(std::u16string_view s);
std::u16string from_utf8(std::string_view s);

}  // namespace zn::text
