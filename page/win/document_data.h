// The document's data (its own storage, "Embed Source", which OleCreateFromFile asks of the object
// it bound from the file) and commands (none).
#pragma once

#include "page/win/document_part.h"
#include "page/win/document_persistence.h"
#include "platform/com/win/ole_interfaces.h"

namespace zn::page::win {

class DocumentData final : public DocumentPart<IDataObject, IOleCommandTarget> {
public:
    // The storage it renders is what persistence saves.
    DocumentData(IUnknown& outer, DocumentPersistence& persistence) noexcept
        : DocumentPart(outer), persistence_(persistence) {}

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

    // IOleCommandTarget: no command is supported.
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*) override;

private:
    DocumentPersistence& persistence_;
};

}  // namespace zn::page::win
