// What the document server's files share: the page's class and how a held interface is handed
// out to a caller.
#pragma once

#include "page/page_class.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::page::win {

inline constexpr CLSID kDocumentClassId = com::make_guid(kPageClassId);

// A new reference to what is held (none when nothing is), for an out parameter.
template <class T>
HRESULT hand_out(const com::ComPtr<T>& held, T** out) {
    if (!out) return E_POINTER;
    *out = com::ComPtr<T>(held).detach();
    return S_OK;
}

}  // namespace zn::page::win
