// The page's interfaces: its public dual interface, and the private one through which the
// plug-in object sets it up and releases it.
#pragma once

#include <string>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::page {

// The page's default interface, with its members' DISPIDs as the type library gives them.
inline constexpr long kDispidParseOutIDAndFileName = 0x60030006;
inline constexpr long kDispidGetPicture = 0x60030007;

struct _docZNImportPhotos : IDispatch {
    // Splits one import line into its three columns; every output is assigned.
    virtual HRESULT STDMETHODCALLTYPE ParseOutIDAndFileName(BSTR sdata, BSTR* sStudentID, BSTR* sStudentName,
                                                            BSTR* sStudentPhotoFile) = 0;
    // The photo file's bytes as text, or the empty text; always completes normally.
    virtual HRESULT STDMETHODCALLTYPE getPicture(BSTR* sFileName, BSTR* result) = 0;
};

// Not part of the page's COM surface: only this module's plug-in object calls it.
struct ImportPageInternal : IUnknown {
    // Keeps its own reference to the session (which host Init calls may replace in the
    // caller's variable too), creates FileUtilities, builds the record-type list.
    virtual void InitializePage(com::ComPtr<host::SessionContext>& session) = 0;
    // Drops the session and FileUtilities; calls nothing on them.
    virtual void ReleasePage() noexcept = 0;
    // The class name that the page's type information reports.
    virtual std::u16string ClassName() const = 0;
    // The chosen record type: empty before set-up, then an entry of the list or "No Valid System".
    virtual std::u16string RecordType() const = 0;
};

}  // namespace zn::page

ZN_DECLARE_IID(zn::page::_docZNImportPhotos, "{73D59F94-1B5D-42A7-85E1-0CBD2AF0964F}");
ZN_DECLARE_IID(zn::page::ImportPageInternal, "{88D36EC9-27EE-4DBA-8B90-D36B795EC12A}");

namespace zn::page {
// A new page object with its design-time settings, as the document container creates it.
com::ComPtr<IUnknown> create_import_page();
}  // namespace zn::page
