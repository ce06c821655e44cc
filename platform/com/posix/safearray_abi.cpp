// One-dimensional SAFEARRAYs of VARIANT: the page's argument lists, which the host reads.
#include <cstdlib>
#include <new>

#include "platform/com/posix/com_abi.h"

namespace {

constexpr USHORT FADF_HAVEVARTYPE = 0x80;
constexpr USHORT FADF_VARIANT = 0x800;

}  // namespace

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    if (vt != VT_VARIANT) return nullptr;
    auto* array = new (std::nothrow) SAFEARRAY{};
    if (!array) return nullptr;
    array->cDims = 1;
    array->fFeatures = FADF_HAVEVARTYPE | FADF_VARIANT;
    array->cbElements = sizeof(VARIANT);
    array->rgsabound[0] = {cElements, lLbound};
    // Zeroed elements are empty variants.
    array->pvData = cElements ? std::calloc(cElements, sizeof(VARIANT)) : nullptr;
    if (cElements && !array->pvData) {
        delete array;
        return nullptr;
    }
    return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    auto* elements = static_cast<VARIANT*>(psa->pvData);
    for (ULONG i = 0; i < psa->rgsabound[0].cElements; ++i) VariantClear(&elements[i]);
    std::free(psa->pvData);
    delete psa;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) {
    return psa ? psa->cDims : 0;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    // An empty array has an upper bound one below its lower bound.
    *plUbound = static_cast<LONG>(static_cast<std::int64_t>(psa->rgsabound[0].lLbound) +
                                  static_cast<std::int64_t>(psa->rgsabound[0].cElements) - 1);
    return S_OK;
}
