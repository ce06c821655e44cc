// Calling an interface member by its raw vtable slot, as an early-bound caller compiled against
// the host's type library does: member n (1-based) follows the seven IUnknown and IDispatch slots.
#pragma once

#include "host/slots.h"

namespace zn::test {

template <class... Args, class I>
HRESULT call_member(I* iface, int member, Args... args) {
    using Slot = void (*)();
    Slot* vtable = *reinterpret_cast<Slot**>(iface);
    using Fn = HRESULT(STDMETHODCALLTYPE*)(I*, Args...);
    return reinterpret_cast<Fn>(vtable[host::vtable_slot(member)])(iface, args...);
}

}  // namespace zn::test
