// GUID comparison, the system interface identities, and GUID text conversion.
#include <cstring>

#include "platform/com/guid.h"

bool operator==(const GUID& a, const GUID& b) noexcept {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

extern "C" {
const IID IID_IUnknown = zn::com::make_guid("{00000000-0000-0000-C000-000000000046}");
const IID IID_IDispatch = zn::com::make_guid("{00020400-0000-0000-C000-000000000046}");
const IID IID_IClassFactory = zn::com::make_guid("{00000001-0000-0000-C000-000000000046}");
const IID IID_IErrorInfo = zn::com::make_guid("{1CF2B120-547D-101B-8E65-08002B2BD119}");
const IID IID_ICreateErrorInfo = zn::com::make_guid("{22F03340-547D-101B-8E65-08002B2BD119}");
const IID IID_ISupportErrorInfo = zn::com::make_guid("{DF0B3D60-548F-101B-8E65-08002B2BD119}");
const IID IID_ITypeInfo = zn::com::make_guid("{00020401-0000-0000-C000-000000000046}");
const IID IID_NULL = {};
const GUID GUID_NULL = {};
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    const std::u16string text = zn::com::format_guid(rguid);
    const auto needed = static_cast<int>(text.size() + 1);
    if (!lpsz || cchMax < needed) return 0;
    std::memcpy(lpsz, text.c_str(), static_cast<std::size_t>(needed) * sizeof(OLECHAR));
    return needed;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, CLSID* pclsid) {
    if (!pclsid) return E_INVALIDARG;
    if (!lpsz) {
        *pclsid = GUID_NULL;
        return S_OK;
    }
    const std::u16string_view text(lpsz);
    if (!text.empty() && text.front() == u'{') {
        const auto guid = zn::com::parse_guid(text);
        if (!guid) return CO_E_CLASSSTRING;
        *pclsid = *guid;
        return S_OK;
    }
    // Like the system, a text without braces is taken as a ProgID.
    return CLSIDFromProgID(lpsz, pclsid);
}
