#include "platform/com/com_object.h"

namespace zn::com {

std::atomic<long>& ModuleCount::count() noexcept {
    static std::atomic<long> count{0};
    return count;
}

}  // namespace zn::com
