// The page as an Active Document: the document server that a container's client and in-place
// sites talk to. It is part of the page object (its IUnknown is the page's): the object and its
// verbs, the document with its one view, and the view, persistence and data as parts of their
// own, each reached through the object; the view puts the page's window into the window the
// in-place site gives.
#pragma once

#include "page/win/document_data.h"
#include "page/win/document_part.h"
#include "page/win/document_persistence.h"
#include "page/win/document_view.h"
#include "platform/com/com_ptr.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/layout.h"
#include "platform/ui/win/page_window.h"

namespace zn::page::win {

class ActiveDocument final : public DocumentPart<IOleObject, IOleDocument> {
public:
    // outer is the page object; window is null when the page was built by another backend,
    // which leaves the document unable to activate.
    ActiveDocument(IUnknown& outer, ui::win::PageWindow* window, const ui::PageLayout& layout);

    // The interface for riid of one of the document's parts, not yet referenced; null when none has it.
    void* find_interface(REFIID riid) noexcept;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD save_option) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* active_site, LONG, HWND, LPCRECT) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override;

    // IOleDocument
    HRESULT STDMETHODCALLTYPE CreateView(IOleInPlaceSite* site, IStream* state, DWORD,
                                         IOleDocumentView** view) override;
    HRESULT STDMETHODCALLTYPE GetDocMiscStatus(DWORD* status) override;
    HRESULT STDMETHODCALLTYPE EnumViews(IEnumOleDocumentViews** views, IOleDocumentView** view) override;

private:
    IOleDocumentView* view() noexcept { return &view_; }

    SIZEL extent_;  // HIMETRIC
    com::ComPtr<IOleClientSite> client_site_;
    com::ComPtr<IOleAdviseHolder> advise_holder_;
    DocumentPersistence persistence_;
    DocumentData data_;
    // Last: it reads the client site above.
    DocumentView view_;
};

}  // namespace zn::page::win
