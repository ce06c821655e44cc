#include "refhost/znhost/console.h"

#include <cstdio>
#include <string>

#include "platform/text/utf.h"

namespace zn::refhost::console {

void line(std::string_view text) {
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void line(std::u16string_view text) {
    line(text::to_utf8(text));
}

void error(std::string_view text) {
    std::fflush(stdout);
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

void failure(std::string_view what, const com::ComError& e) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(e.code()));
    error(std::string(what) + ": " + code + " " + text::to_utf8(e.description()));
}

}  // namespace zn::refhost::console
