// Apartment entry and exit. Everything here runs in one apartment per thread, so only the
// nesting count is kept; calls made outside an apartment are allowed.
#include "platform/com/posix/shared_runtime.h"

namespace zn::com::posix {
namespace {

thread_local unsigned t_apartment_depth = 0;

}  // namespace

HRESULT local_initialize(void* reserved, DWORD flags) {
    (void)flags;
    if (reserved) return E_INVALIDARG;
    return t_apartment_depth++ == 0 ? S_OK : S_FALSE;
}

void local_uninitialize() {
    if (t_apartment_depth == 0) return;
    // Leaving the apartment drops the thread's error info, as the system does.
    if (--t_apartment_depth == 0) local_set_error_info(0, nullptr);
}

}  // namespace zn::com::posix

using namespace zn::com::posix;

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) {
    if (const auto* runtime = forwarded_runtime()) return runtime->initialize(pvReserved, dwCoInit);
    return local_initialize(pvReserved, dwCoInit);
}

void CoUninitialize() {
    if (const auto* runtime = forwarded_runtime()) return runtime->uninitialize();
    local_uninitialize();
}
