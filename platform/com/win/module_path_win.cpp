#include <string>

#include "platform/com/com.h"
#include "platform/com/com_error.h"
#include "platform/com/module_path.h"

namespace zn::com {
namespace {

// An address inside whichever module this file was linked into.
void anchor() {}

[[noreturn]] void last_error() {
    const DWORD code = GetLastError();
    throw ComError(code ? HRESULT_FROM_WIN32(code) : E_FAIL, u"The module's file name is not available");
}

}  // namespace

std::u16string module_file_path() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&anchor), &module))
        last_error();
    // The name may exceed MAX_PATH; grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
        const DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) last_error();
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        if (buffer.size() >= 32768) last_error();
        buffer.resize(buffer.size() * 2);
    }
    return std::u16string(u16(buffer.c_str()), buffer.size());
}

}  // namespace zn::com
