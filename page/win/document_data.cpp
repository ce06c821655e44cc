#include "page/win/document_data.h"

namespace zn::page::win {

// --- IOleCommandTarget ------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE DocumentData::QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                                    OLECMDTEXT* text) {
    if (!commands && count) return E_POINTER;
    if (group) return OLECMDERR_E_UNKNOWNGROUP;
    for (ULONG i = 0; i < count; ++i) commands[i].cmdf = 0;
    if (text) text->cwActual = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentData::Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*) {
    return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

// --- IDataObject ------------------------------------------------------------------------------

namespace {

bool is_embed_source(const FORMATETC& format) {
    static const CLIPFORMAT embed_source = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embed Source"));
    return format.cfFormat == embed_source && (format.tymed & TYMED_ISTORAGE) && format.dwAspect == DVASPECT_CONTENT;
}

}  // namespace

HRESULT STDMETHODCALLTYPE DocumentData::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_POINTER;
    *medium = {};
    if (!is_embed_source(*format)) return DV_E_FORMATETC;
    // What QueryGetData offers: the object's storage, in memory, which the caller releases.
    com::ComPtr<ILockBytes> bytes;
    HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put());
    if (FAILED(hr)) return hr;
    com::ComPtr<IStorage> storage;
    hr = StgCreateDocfileOnILockBytes(bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                      storage.put());
    if (FAILED(hr)) return hr;
    hr = persistence_.Save(storage.get(), FALSE);
    if (FAILED(hr)) return hr;
    medium->tymed = TYMED_ISTORAGE;
    medium->pstg = storage.detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentData::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_POINTER;
    if (!is_embed_source(*format) || medium->tymed != TYMED_ISTORAGE || !medium->pstg) return DV_E_FORMATETC;
    return persistence_.Save(medium->pstg, FALSE);
}

HRESULT STDMETHODCALLTYPE DocumentData::QueryGetData(FORMATETC* format) {
    if (!format) return E_POINTER;
    return is_embed_source(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE DocumentData::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
    if (!in || !out) return E_POINTER;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE DocumentData::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentData::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentData::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) {
    if (connection) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DocumentData::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE DocumentData::EnumDAdvise(IEnumSTATDATA** advises) {
    if (advises) *advises = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace zn::page::win
