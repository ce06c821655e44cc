// IDispatch of a dual interface answered from the type library of the module that holds this
// code (its TYPELIB resource), as late-bound callers such as script engines need it.
#pragma once

#include "platform/com/com.h"

namespace zn::com {

HRESULT type_info_of(REFIID iid, ITypeInfo** info) noexcept;

HRESULT type_info_ids_of_names(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// Calls the member through the type information. String arguments are first brought to the
// forms the member's parameters take (see LateBoundArguments). A failure of the member comes
// back as DISP_E_EXCEPTION with its code and description in the exception info, or as its own
// code when the caller gave no room for exception info.
HRESULT type_info_invoke(REFIID iid, IDispatch* object, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* bad_argument) noexcept;

}  // namespace zn::com
