// Late-bound calls of the page's two public members where the platform has no type libraries:
// names, DISPIDs and parameter kinds from a table that stands in for the page's type
// information, the arguments taken as the Windows build takes them.
#pragma once

#include "page/page_interfaces.h"

namespace zn::page {

HRESULT page_ids_of_names(LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// Calls the member through the page's own vtable. A failure of the member comes back as
// DISP_E_EXCEPTION with its code and description in the exception info (when given).
HRESULT invoke_page_member(_docZNImportPhotos& page, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* bad_argument) noexcept;

}  // namespace zn::page
