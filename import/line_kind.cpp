#include "import/line_kind.h"

#include "host/record_types.h"
#include "import/id_value.h"

namespace zn::import {
namespace {

// Upper case for the letters whose capital can take part in the comparison with the
// identifiers, plus the rest of Latin-1: ASCII, Latin-1 (ÿ and µ have capitals beyond it),
// and the dotless i and long s, whose capitals are the ASCII I and S.
char16_t upper_case(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0xB5) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    switch (c) {
        case 0xB5:
            return 0x039C;  // micro sign -> Greek capital mu
        case 0xFF:
            return 0x0178;  // y with diaeresis
        case 0x0131:
            return u'I';  // dotless i
        case 0x017F:
            return u'S';  // long s
        default:
            return c;
    }
}

bool equals_upper_cased(std::u16string_view text, std::u16string_view identifier) {
    if (text.size() != identifier.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (upper_case(text[i]) != identifier[i]) return false;
    }
    return true;
}

}  // namespace

bool is_data_row(std::u16string_view id_text, std::u16string_view name) {
    return !name.empty() && id_value(id_text) > 0.0;
}

bool is_heading_name(std::u16string_view name) {
    for (const host::RecordType& type : host::kRecordTypes) {
        if (equals_upper_cased(name, type.heading_identifier)) return true;
    }
    return false;
}

LineKind classify_line(std::int32_t line_number, std::u16string_view id_text, std::u16string_view name) {
    if (is_data_row(id_text, name)) return LineKind::DataRow;
    if (line_number == 1 && is_heading_name(name)) return LineKind::HeadingRow;
    return LineKind::InvalidRecord;
}

}  // namespace zn::import
