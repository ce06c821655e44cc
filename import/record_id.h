// The 32-bit record ID that the run loads, from the ID column's numeric value.
#pragma once

#include <cstdint>

namespace zn::import {

// The nearest integer, halves going to the even one (12.5 -> 12, 13.5 -> 14); a value whose
// rounding falls outside the signed 32-bit range (or that is no number) is an overflow error.
std::int32_t to_record_id(double value);

}  // namespace zn::import
