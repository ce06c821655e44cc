#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/com/com_error.h"
#include "platform/com/module_path.h"
#include "platform/text/utf.h"

namespace zn::com {
namespace {

// An address inside whichever module this file was linked into.
void anchor() {}

std::string program_path() {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
}

}  // namespace

std::u16string module_file_path() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&anchor), &info) == 0 || !info.dli_fname || !*info.dli_fname)
        throw ComError(E_FAIL, u"The module's file name is not available");
    std::string path = info.dli_fname;
    // For the program itself the loader reports argv[0], which may be a bare or relative name.
    if (path.find('/') == std::string::npos) {
        path = program_path();
    } else if (path.front() != '/') {
        // A relative name is relative to the directory current at load time; resolve it now.
        char* resolved = ::realpath(path.c_str(), nullptr);
        path = resolved ? resolved : "";
        std::free(resolved);
    }
    if (path.empty() || path.front() != '/') throw ComError(E_FAIL, u"The module's file name is not available");
    return text::from_utf8(path);
}

}  // namespace zn::com
