// What an import line is: a data row, the heading row of an export, or an invalid record.
#pragma once

#include <cstdint>
#include <string_view>

namespace zn::import {

enum class LineKind { DataRow, HeadingRow, InvalidRecord };

// The ID reads as a number above 0 and the name has at least one character.
bool is_data_row(std::u16string_view id_text, std::u16string_view name);

// The name, upper-cased, is exactly one of the heading identifiers that the host's export
// writes for the record types' name fields, whatever record type is being imported.
bool is_heading_name(std::u16string_view name);

// line_number counts from 1; only line 1 can be the heading row, and only when it is not a
// data row.
LineKind classify_line(std::int32_t line_number, std::u16string_view id_text, std::u16string_view name);

}  // namespace zn::import
