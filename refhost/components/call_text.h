// Arguments and results as the journal writes them: numbers in decimal, strings quoted in
// UTF-8, Booleans as True/False, by-reference values as the value they held, or "null".
#pragma once

#include <string>
#include <string_view>

#include "platform/com/com.h"

namespace zn::refhost {

std::string quoted_text(std::u16string_view text);
std::string quoted_text(BSTR text);
std::string number(long value);
std::string number_at(const LONG* value);  // the value held, or "null"
std::string boolean(bool value);

// For members without arguments.
inline std::string no_args() {
    return {};
}

// The pieces joined with ",".
template <class... Pieces>
std::string join_args(const Pieces&... pieces) {
    std::string r;
    bool first = true;
    ((r += (first ? "" : ","), r += pieces, first = false), ...);
    return r;
}

}  // namespace zn::refhost
