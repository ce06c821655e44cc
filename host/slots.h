// Placeholder vtable slots for the members of host interfaces that the component never calls.
// They keep every called member at the slot the host's type library gives it; a host that
// implements only the called members inherits these bodies.
#pragma once

#include "platform/com/com.h"

#define ZN_SLOT(n)                                 \
    virtual HRESULT STDMETHODCALLTYPE slot_##n() { \
        return E_NOTIMPL;                          \
    }
#define ZN_SLOTS_1_TO_9 \
    ZN_SLOT(1) ZN_SLOT(2) ZN_SLOT(3) ZN_SLOT(4) ZN_SLOT(5) ZN_SLOT(6) ZN_SLOT(7) ZN_SLOT(8) ZN_SLOT(9)
// Ten slots d0 to d9.
#define ZN_SLOTS_DECADE(d)                                                                                          \
    ZN_SLOT(d##0)                                                                                                   \
    ZN_SLOT(d##1) ZN_SLOT(d##2) ZN_SLOT(d##3) ZN_SLOT(d##4) ZN_SLOT(d##5) ZN_SLOT(d##6) ZN_SLOT(d##7) ZN_SLOT(d##8) \
        ZN_SLOT(d##9)

namespace zn::host {
// Vtable index of an interface's own member n (1-based): after IUnknown's three and
// IDispatch's four slots.
constexpr int vtable_slot(int member) {
    return 7 + member - 1;
}
}  // namespace zn::host
