// Creating the host's components by CLSID, as the component creates them.
#pragma once

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::host {

// A new object of the host's class; a class that is not registered fails with the runtime's code.
inline com::ComPtr<IUnknown> create_host_unknown(const CLSID& clsid) {
    com::ComPtr<IUnknown> object;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, com::iid_of<IUnknown>(), object.put_void()));
    if (!object) com::throw_error(com::kObjectNotSet);
    return object;
}

// The same, as its interface I; an object without I is a type mismatch.
template <class I>
com::ComPtr<I> create_host_object(const CLSID& clsid) {
    return create_host_unknown(clsid).as<I>();
}

}  // namespace zn::host
