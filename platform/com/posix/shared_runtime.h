// One COM runtime per process. The component module carries its own copy of this stand-in (it
// is linked statically into every program and module), but thread error info and registered
// class objects must be shared, as one system library shares them on Windows. When a module is
// loaded for a class, the loader hands the module's copy its own entry points; from then on the
// module's copy forwards every call that touches runtime state.
#pragma once

#include <cstdint>

#include "platform/com/posix/com_abi.h"

namespace zn::com::posix {

struct RuntimeTable {
    std::uint32_t size;  // sizeof(RuntimeTable) of the copy that made it; a mismatch is refused
    HRESULT (*set_error_info)(ULONG, IErrorInfo*);
    HRESULT (*get_error_info)(ULONG, IErrorInfo**);
    HRESULT (*create_error_info)(ICreateErrorInfo**);
    HRESULT (*initialize)(void*, DWORD);
    void (*uninitialize)();
    HRESULT (*get_class_object)(REFCLSID, DWORD, void*, REFIID, void**);
    HRESULT (*register_class_object)(REFCLSID, IUnknown*, DWORD, DWORD, DWORD*);
    HRESULT (*revoke_class_object)(DWORD);
};

// The process's runtime when this copy lives in a loaded module, or null in the copy that
// owns the state.
const RuntimeTable* forwarded_runtime() noexcept;

// What this copy passes to a module it loads: its own entry points, or the ones it forwards to.
const RuntimeTable& runtime_for_modules() noexcept;

// This copy's own implementations (each in the file that owns that state).
HRESULT local_set_error_info(ULONG reserved, IErrorInfo* info);
HRESULT local_get_error_info(ULONG reserved, IErrorInfo** info);
HRESULT local_create_error_info(ICreateErrorInfo** info);
HRESULT local_initialize(void* reserved, DWORD flags);
void local_uninitialize();
HRESULT local_get_class_object(REFCLSID clsid, DWORD context, void* reserved, REFIID iid, void** ppv);
HRESULT local_register_class_object(REFCLSID clsid, IUnknown* object, DWORD context, DWORD flags, DWORD* cookie);
HRESULT local_revoke_class_object(DWORD cookie);

// The name under which a module exports its attach function.
inline constexpr const char* kAttachRuntimeSymbol = "zn_com_attach_runtime";

}  // namespace zn::com::posix
