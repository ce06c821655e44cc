// Apartment entry and exit. Everything here runs in one apartment per thread, so only the
// nesting count is kept; calls made outside an apartment are allowed.
#include "platform/com/posix/com_abi.h"

namespace {

thread_local unsigned t_apartment_depth = 0;

}  // namespace

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) {
    (void)dwCoInit;
    if (pvReserved) return E_INVALIDARG;
    return t_apartment_depth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_apartment_depth == 0) return;
    // Leaving the apartment drops the thread's error info, as the system does.
    if (--t_apartment_depth == 0) SetErrorInfo(0, nullptr);
}
