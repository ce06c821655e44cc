// What an import line is: a data row, the heading row of an export, or an invalid record.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zn::import {

enum class LineKind { DataRow, HeadingRow, InvalidRecord };

// Column 2 of the heading row that the host's export writes, for each record type's name
// field. Any of them marks a heading, whatever record type is being imported.
inline constexpr std::array<std::u16string_view, 4> kHeadingIdentifiers = {
    u"FACSTFFAC_FCLTY_STFFMMBRNM",  // Faculty/Staff name
    u"STSST_STUDENTNAME",           // Student name
    u"APPTSAPPT_APPLICANTNAME",     // Applicant name
    u"INDSIND_INDIVIDUALNAME",      // Individual name
};

// The ID reads as a number above 0 and the name has at least one character.
bool is_data_row(std::u16string_view id_text, std::u16string_view name);

// The name, upper-cased, is one of the heading identifiers exactly.
bool is_heading_name(std::u16string_view name);

// line_number counts from 1; only line 1 can be the heading row, and only when it is not a
// data row.
LineKind classify_line(std::int32_t line_number, std::u16string_view id_text, std::u16string_view name);

}  // namespace zn::import
