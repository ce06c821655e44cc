// znhost's output: UTF-8 text on standard output, errors on standard error.
#pragma once

#include <string_view>

#include "platform/com/com_error.h"

namespace zn::refhost::console {

void line(std::string_view text = {});
void line(std::u16string_view text);
void error(std::string_view text);
// "what: 0x80004005 description"
void failure(std::string_view what, const com::ComError& e);

}  // namespace zn::refhost::console
