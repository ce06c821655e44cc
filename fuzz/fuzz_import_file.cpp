// Any bytes as an import file: the line counter and the reader agree, every line splits into
// columns that give the line back, and nothing outside the ID rules escapes as a crash.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "import/count_lines.h"
#include "import/id_value.h"
#include "import/line_kind.h"
#include "import/line_parser.h"
#include "import/line_reader.h"
#include "import/record_id.h"
#include "platform/com/com_error.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"

namespace {

using zn::fuzz::fail;

std::u16string without_quotes(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text)
        if (c != u'"') out.push_back(c);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& path = zn::fuzz::scratch_path();
    if (std::FILE* f = std::fopen(path.string().c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const std::u16string name = zn::text::from_utf8(path.string());

    const std::int32_t count = zn::import::CountLines(name);
    zn::files::OpenFile file(zn::import::kImportFileNumber, name, zn::files::Mode::Input);
    zn::import::LineReader reader(zn::import::kImportFileNumber, 7);
    std::u16string line, id, person, photo;
    std::int32_t lines = 0;
    while (!reader.at_end()) {
        reader.read_line(line);
        ++lines;
        if (line.find(u'\r') != std::u16string::npos) fail("a carriage return inside a line");
        zn::import::ParseOutIDAndFileName(line, without_quotes, id, person, photo);
        const std::u16string plain = without_quotes(line);
        if (plain.find(u',') == std::u16string::npos) {
            if (!id.empty() || !person.empty() || !photo.empty()) fail("a line without a comma has columns");
        } else {
            std::u16string joined = id + u"," + person;
            if (plain.find(u',', id.size() + 1) != std::u16string::npos) joined += u"," + photo;
            if (joined != plain) fail("the columns do not give the line back");
        }
        const auto kind = zn::import::classify_line(lines, id, person);
        if (kind == zn::import::LineKind::DataRow) {
            try {
                (void)zn::import::to_record_id(zn::import::id_value(id));
            } catch (const zn::com::ComError& e) {
                if (e.code() != zn::com::kOverflow) fail("an ID failed other than by overflow");
            }
        }
    }
    if (lines != count) fail("the counter and the reader disagree");
    return 0;
}
