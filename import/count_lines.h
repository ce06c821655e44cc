// Counting the lines of an import file before a run, by the same rules as the run reads them.
#pragma once

#include <cstdint>
#include <string_view>

namespace zn::import {

// The file number under which both the count and the run open the import file.
inline constexpr int kImportFileNumber = 1;

// The number of lines in the file (0 for an empty file). Opens it for input under
// kImportFileNumber and closes it again on every way out; open and read failures pass on,
// and more lines than a 32-bit count holds is an overflow.
std::int32_t CountLines(std::u16string_view file_name);

// count + 1, or an overflow error past the 32-bit range (the run counts its lines with it too).
std::int32_t next_line_count(std::int32_t count);

}  // namespace zn::import
