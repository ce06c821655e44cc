// The host's path and text helpers, with Windows path rules on every platform: "\" and "/"
// both separate, "X:" starts a drive.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zn::refhost {

// The folder part of path: the text before the last separator, without trailing separators
// except at a root ("C:\x" -> "C:\", "\x" -> "\", "C:x" -> "C:"); "" when there is none.
std::u16string folder_part(std::u16string_view path);
// The file-name part: the text after the last separator or drive ("C:\d\x.csv" -> "x.csv",
// "C:\d\" -> "").
std::u16string file_name_part(std::u16string_view path);

// Whether path names an existing regular file; a path that ends in a separator instead asks
// whether that folder exists. The empty path exists as neither. "\" is read as "/" so that
// Windows-style paths work on every platform.
bool path_exists(std::u16string_view path);

// path for the file system, "\" read as "/" (which Windows accepts as well).
std::filesystem::path to_file_system_path(std::u16string_view path);

// text with every occurrence of search replaced, scanning left to right without rescanning
// replacements; an empty search replaces nothing. count receives the number of replacements.
std::u16string replace_all(std::u16string_view text, std::u16string_view search, std::u16string_view replacement,
                           std::size_t& count);

}  // namespace zn::refhost
