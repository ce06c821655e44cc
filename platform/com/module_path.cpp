#include "platform/com/module_path.h"

namespace zn::com {

std::u16string folder_of(std::u16string_view module_path) {
    const auto last = module_path.find_last_of(u"\\/");
    if (last == std::u16string_view::npos) return {};
    // At a root the separator is the folder: "/" for "/x.so", "C:\" for "C:\x.dll".
    const bool at_root = last == 0 || (last == 2 && module_path[1] == u':');
    return std::u16string(module_path.substr(0, at_root ? last + 1 : last));
}

}  // namespace zn::com
