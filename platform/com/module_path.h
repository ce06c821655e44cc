// Where the module that holds the calling code lies, as the platform reports it.
#pragma once

#include <string>

namespace zn::com {

// Full path of the module file (DLL or shared object) that contains this code.
// Throws ComError when the platform cannot tell.
std::u16string module_file_path();

// The folder part of a module path, without a trailing separator except at a drive or
// file-system root; both "\" and "/" separate.
std::u16string folder_of(std::u16string_view module_path);

}  // namespace zn::com
