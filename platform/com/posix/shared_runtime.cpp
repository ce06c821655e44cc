#include "platform/com/posix/shared_runtime.h"

#include <atomic>

namespace zn::com::posix {
namespace {

constexpr RuntimeTable kLocalRuntime{
    sizeof(RuntimeTable),      local_set_error_info, local_get_error_info,   local_create_error_info,
    local_initialize,          local_uninitialize,   local_get_class_object, local_register_class_object,
    local_revoke_class_object,
};

// Internal linkage on purpose: a program that exports its own copy must not make this
// module's pointer resolve to the program's.
std::atomic<const RuntimeTable*> g_forwarded{nullptr};

}  // namespace

const RuntimeTable* forwarded_runtime() noexcept {
    return g_forwarded.load(std::memory_order_acquire);
}

const RuntimeTable& runtime_for_modules() noexcept {
    const RuntimeTable* forwarded = forwarded_runtime();
    return forwarded ? *forwarded : kLocalRuntime;
}

}  // namespace zn::com::posix

// Called by the loader right after it loads this module. A table that is this copy's own
// (the module was linked into the program after all) is ignored, so nothing forwards to itself.
extern "C" __attribute__((visibility("default"))) void zn_com_attach_runtime(
    const zn::com::posix::RuntimeTable* runtime) {
    using zn::com::posix::RuntimeTable;
    if (!runtime || runtime->size != sizeof(RuntimeTable)) return;
    if (runtime->set_error_info == zn::com::posix::local_set_error_info) return;
    const RuntimeTable* expected = nullptr;
    zn::com::posix::g_forwarded.compare_exchange_strong(expected, runtime, std::memory_order_acq_rel);
}
