#include "host/record_types.h"

#include "platform/text/utf.h"

namespace zn::host {

std::string narrow_name(const RecordType& type) {
    return text::to_utf8(type.name);
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
