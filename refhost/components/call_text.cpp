#include "refhost/components/call_text.h"

#include "platform/com/bstr.h"
#include "platform/text/utf.h"

namespace zn::refhost {

std::string quoted_text(std::u16string_view text) {
    return "\"" + text::to_utf8(text) + "\"";
}
std::string quoted_text(BSTR text) {
    return quoted_text(com::bstr_view(text));
}
std::string number(long value) {
    return std::to_string(value);
}
std::string number_at(const LONG* value) {
    return value ? number(*value) : "null";
}
std::string boolean(bool value) {
    return value ? "True" : "False";
}

}  // namespace zn::refhost
