#include "import/count_lines.h"

#include <limits>

#include "import/line_reader.h"
#include "platform/com/com_error.h"
#include "platform/files/file_numbers.h"

namespace zn::import {

std::int32_t next_line_count(std::int32_t count) {
    if (count == std::numeric_limits<std::int32_t>::max()) com::throw_error(com::kOverflow, u"Overflow");
    return count + 1;
}

std::int32_t CountLines(std::u16string_view file_name) {
    files::OpenFile file(kImportFileNumber, file_name, files::Mode::Input);
    LineReader reader(file.number());
    std::int32_t count = 0;
    while (!reader.at_end()) {
        reader.skip_line();
        count = next_line_count(count);
    }
    return count;
}

}  // namespace zn::import
