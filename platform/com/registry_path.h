// Key paths of the class registration store, checked and split the same way on every platform.
#pragma once

#include <string_view>
#include <vector>

namespace zn::com::registry {

// The path's key names, root first; the empty path is the root itself (no names).
// Throws ComError(E_INVALIDARG) for an empty name ("A\\\\B", a leading or trailing separator)
// or a name with a control character or a broken surrogate pair.
std::vector<std::u16string_view> split_key_path(std::u16string_view key_path);

// Key names compare as the system compares them for the names used here: ASCII letters
// without regard to case, everything else exactly.
bool same_key_name(std::u16string_view a, std::u16string_view b) noexcept;

}  // namespace zn::com::registry
