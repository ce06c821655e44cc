#include "host/record_types.h"

namespace zn::host {

std::string narrow(std::u16string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::string narrow_names() {
    std::string names;
    for (const RecordType& type : kRecordTypes) {
        if (!names.empty()) names += ", ";
        names += narrow_name(type);
    }
    return names;
}

}  // namespace zn::host
