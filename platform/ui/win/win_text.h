// The page's text as the system's wide-character functions take it: UTF-16 either way, so a view,
// not a copy.
#pragma once

#include <string>

namespace zn::ui::win {

inline const wchar_t* wide(const std::u16string& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace zn::ui::win
