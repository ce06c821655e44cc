// VARIANT ownership: a variant owns its BSTR, its interface reference and its array;
// by-reference variants point at storage they do not own.
#include "platform/com/posix/com_abi.h"

namespace {

bool is_known_type(VARTYPE vt) {
    switch (vt & VT_TYPEMASK) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_UI1:
            return true;
        case VT_VARIANT:
            // A variant holds another variant only by reference or in an array.
            return (vt & (VT_BYREF | VT_ARRAY)) != 0;
        default:
            return false;
    }
}

bool is_valid(VARTYPE vt) {
    if ((vt & ~(VT_TYPEMASK | VT_BYREF | VT_ARRAY)) != 0) return false;
    if ((vt & VT_ARRAY) && (vt & VT_TYPEMASK) <= VT_NULL) return false;
    if ((vt & VT_BYREF) && (vt & VT_TYPEMASK) <= VT_NULL) return false;
    return is_known_type(vt);
}

}  // namespace

void VariantInit(VARIANT* pvarg) {
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT VariantClear(VARIANT* pvarg) {
    if (!pvarg) return E_INVALIDARG;
    const VARTYPE vt = pvarg->vt;
    if (!is_valid(vt)) return DISP_E_BADVARTYPE;
    if (!(vt & VT_BYREF)) {
        if (vt & VT_ARRAY) {
            const HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr)) return hr;
        } else if (vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
            if (pvarg->punkVal) pvarg->punkVal->Release();
        }
    }
    VariantInit(pvarg);
    pvarg->byref = nullptr;
    return S_OK;
}
