// One-dimensional SAFEARRAYs, as the component passes argument lists. The element type is
// kept in the block that holds the descriptor; the elements live in a block of their own.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/com/posix/com_abi.h"

namespace {

constexpr USHORT FADF_HAVEVARTYPE = 0x80;
constexpr USHORT FADF_BSTR = 0x100;
constexpr USHORT FADF_UNKNOWN = 0x200;
constexpr USHORT FADF_DISPATCH = 0x400;
constexpr USHORT FADF_VARIANT = 0x800;

struct ArrayBlock {
    VARTYPE vt;
    SAFEARRAY array;
};

ArrayBlock* block_of(SAFEARRAY* psa) {
    return reinterpret_cast<ArrayBlock*>(reinterpret_cast<unsigned char*>(psa) - offsetof(ArrayBlock, array));
}

ULONG element_size(VARTYPE vt) {
    switch (vt) {
        case VT_I2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_R8:
        case VT_DATE:
            return 8;
        case VT_UI1:
            return 1;
        case VT_BSTR:
            return sizeof(BSTR);
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

USHORT features_of(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR:
            return FADF_HAVEVARTYPE | FADF_BSTR;
        case VT_UNKNOWN:
            return FADF_HAVEVARTYPE | FADF_UNKNOWN;
        case VT_DISPATCH:
            return FADF_HAVEVARTYPE | FADF_DISPATCH;
        case VT_VARIANT:
            return FADF_HAVEVARTYPE | FADF_VARIANT;
        default:
            return FADF_HAVEVARTYPE;
    }
}

void* element_at(SAFEARRAY* psa, ULONG index) {
    return static_cast<unsigned char*>(psa->pvData) + std::size_t{index} * psa->cbElements;
}

// Releases what the element owns and leaves it zeroed.
void clear_element(VARTYPE vt, void* element) {
    switch (vt) {
        case VT_BSTR:
            SysFreeString(*static_cast<BSTR*>(element));
            *static_cast<BSTR*>(element) = nullptr;
            break;
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (auto* unknown = *static_cast<IUnknown**>(element)) unknown->Release();
            *static_cast<IUnknown**>(element) = nullptr;
            break;
        case VT_VARIANT:
            VariantClear(static_cast<VARIANT*>(element));
            break;
        default:
            break;
    }
}

// Copies src into a zeroed dest as its owner would: strings duplicated, interfaces AddRef'ed.
HRESULT copy_element(VARTYPE vt, void* dest, const void* src, ULONG size) {
    switch (vt) {
        case VT_BSTR: {
            BSTR s = *static_cast<BSTR const*>(src);
            BSTR copy = nullptr;
            if (s) {
                copy = SysAllocStringByteLen(reinterpret_cast<const char*>(s), SysStringByteLen(s));
                if (!copy) return E_OUTOFMEMORY;
            }
            *static_cast<BSTR*>(dest) = copy;
            return S_OK;
        }
        case VT_UNKNOWN:
        case VT_DISPATCH: {
            IUnknown* unknown = *static_cast<IUnknown* const*>(src);
            if (unknown) unknown->AddRef();
            *static_cast<IUnknown**>(dest) = unknown;
            return S_OK;
        }
        case VT_VARIANT:
            VariantInit(static_cast<VARIANT*>(dest));
            return VariantCopy(static_cast<VARIANT*>(dest), static_cast<const VARIANT*>(src));
        default:
            std::memcpy(dest, src, size);
            return S_OK;
    }
}

HRESULT index_of(SAFEARRAY* psa, const LONG* indices, ULONG* index) {
    if (!psa || !indices) return E_INVALIDARG;
    const LONG offset = indices[0] - psa->rgsabound[0].lLbound;
    if (indices[0] < psa->rgsabound[0].lLbound || static_cast<ULONG>(offset) >= psa->rgsabound[0].cElements)
        return DISP_E_BADINDEX;
    *index = static_cast<ULONG>(offset);
    return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    const ULONG size = element_size(vt);
    if (size == 0) return nullptr;
    auto* block = new (std::nothrow) ArrayBlock{};
    if (!block) return nullptr;
    block->vt = vt;
    SAFEARRAY& array = block->array;
    array.cDims = 1;
    array.fFeatures = features_of(vt);
    array.cbElements = size;
    array.cLocks = 0;
    array.rgsabound[0] = {cElements, lLbound};
    // Zeroed elements are empty variants, null strings and null interfaces.
    array.pvData = cElements ? std::calloc(cElements, size) : nullptr;
    if (cElements && !array.pvData) {
        delete block;
        return nullptr;
    }
    return &array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    ArrayBlock* block = block_of(psa);
    for (ULONG i = 0; i < psa->rgsabound[0].cElements; ++i) clear_element(block->vt, element_at(psa, i));
    std::free(psa->pvData);
    delete block;
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

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData) return E_INVALIDARG;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt) return E_INVALIDARG;
    *pvt = block_of(psa)->vt;
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa) return S_OK;
    const VARTYPE vt = block_of(psa)->vt;
    SAFEARRAY* copy = SafeArrayCreateVector(vt, psa->rgsabound[0].lLbound, psa->rgsabound[0].cElements);
    if (!copy) return E_OUTOFMEMORY;
    for (ULONG i = 0; i < psa->rgsabound[0].cElements; ++i) {
        const HRESULT hr = copy_element(vt, element_at(copy, i), element_at(psa, i), psa->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(copy);
            return hr;
        }
    }
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    ULONG index = 0;
    if (const HRESULT hr = index_of(psa, rgIndices, &index); FAILED(hr)) return hr;
    const VARTYPE vt = block_of(psa)->vt;
    // Interfaces and strings are passed as the pointer itself, not its address.
    const void* src = pv;
    if (vt == VT_BSTR || vt == VT_UNKNOWN || vt == VT_DISPATCH)
        src = &pv;
    else if (!pv)
        return E_INVALIDARG;
    alignas(VARIANT) unsigned char fresh[sizeof(VARIANT)] = {};
    const HRESULT hr = copy_element(vt, fresh, src, psa->cbElements);
    if (FAILED(hr)) return hr;
    void* element = element_at(psa, index);
    clear_element(vt, element);
    std::memcpy(element, fresh, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    ULONG index = 0;
    if (const HRESULT hr = index_of(psa, rgIndices, &index); FAILED(hr)) return hr;
    if (!pv) return E_INVALIDARG;
    return copy_element(block_of(psa)->vt, pv, element_at(psa, index), psa->cbElements);
}
