#include "import/record_id.h"

#include <cmath>

#include "platform/com/com.h"
#include "platform/com/com_error.h"

namespace zn::import {

std::int32_t to_record_id(double value) {
    // Not via the floating-point rounding mode, which other code in the process may change.
    double rounded = std::floor(value);
    const double fraction = value - rounded;  // exact for every finite double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) com::throw_error(com::kOverflow, u"Overflow");
    return static_cast<std::int32_t>(rounded);
}

}  // namespace zn::import
