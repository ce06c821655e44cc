// The numeric value of an import line's ID column.
#pragma once

#include <string_view>

namespace zn::import {

// Spaces, tabs and line feeds are disregarded wherever they stand. Then an optional sign and
// decimal digits with at most one period are read, up to the first character that cannot
// continue the number; a text that does not begin with a number is 0.
//
// Only plain decimals count: an exponent ("1e3" reads as 1) and the &H / &O radix prefixes
// ("&H10" reads as 0) are not honoured. The column holds record IDs, and a reading that
// turns an odd-looking ID into a quite different, much larger number would put the photo on
// an unrelated record.
//
// Digits beyond the range of a double give infinity (of the sign read), which no record ID
// holds.
double id_value(std::u16string_view text);

}  // namespace zn::import
