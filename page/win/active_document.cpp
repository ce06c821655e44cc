// The document object itself: the page's identity as a document, its interfaces answered through
// the page, the OLE object's members and verbs, and the one view it hands out.
#include "page/win/active_document.h"

#include "page/page_class.h"
#include "platform/com/com_error.h"

namespace zn::page::win {
namespace {

constexpr int kHimetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;

}  // namespace

ActiveDocument::ActiveDocument(IUnknown& outer, ui::win::PageWindow* window, const ui::PageLayout& layout)
    : DocumentPart(outer),
      extent_{MulDiv(layout.width, kHimetricPerInch, kTwipsPerInch),
              MulDiv(layout.height, kHimetricPerInch, kTwipsPerInch)},
      persistence_(outer),
      data_(outer, persistence_),
      view_(outer, window, client_site_) {}

void* ActiveDocument::find_interface(REFIID riid) noexcept {
    if (com::same_guid(riid, com::iid_of<IOleObject>())) return static_cast<IOleObject*>(this);
    if (com::same_guid(riid, com::iid_of<IOleDocument>())) return static_cast<IOleDocument*>(this);
    if (com::same_guid(riid, com::iid_of<IOleDocumentView>())) return static_cast<IOleDocumentView*>(&view_);
    if (com::same_guid(riid, com::iid_of<IOleInPlaceObject>()) || com::same_guid(riid, com::iid_of<IOleWindow>()))
        return static_cast<IOleInPlaceObject*>(&view_);
    if (com::same_guid(riid, com::iid_of<IOleInPlaceActiveObject>()))
        return static_cast<IOleInPlaceActiveObject*>(&view_);
    if (com::same_guid(riid, com::iid_of<IPersistStorage>())) return static_cast<IPersistStorage*>(&persistence_);
    if (com::same_guid(riid, com::iid_of<IPersistFile>()) || com::same_guid(riid, com::iid_of<IPersist>()))
        return static_cast<IPersistFile*>(&persistence_);
    if (com::same_guid(riid, com::iid_of<IPersistMoniker>())) return static_cast<IPersistMoniker*>(&persistence_);
    if (com::same_guid(riid, com::iid_of<IOleCommandTarget>())) return static_cast<IOleCommandTarget*>(&data_);
    if (com::same_guid(riid, com::iid_of<IDataObject>())) return static_cast<IDataObject*>(&data_);
    return nullptr;
}

// --- IOleObject -------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::SetClientSite(IOleClientSite* site) {
    client_site_ = com::ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetClientSite(IOleClientSite** site) {
    return hand_out(client_site_, site);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Close(DWORD) {
    // Containers close without deactivating first; whatever is still active goes now, and
    // every interface the document holds is let go.
    const com::ComPtr<IUnknown> alive = kept_alive();
    view_.deactivate_in_place();
    if (advise_holder_) advise_holder_->SendOnClose();
    view_.close();
    client_site_ = nullptr;
    advise_holder_ = nullptr;
    persistence_.forget_moniker();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetMoniker(DWORD, IMoniker*) {
    return S_OK;  // the document is never linked to, so its name is of no use to it
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    if (persistence_.moniker()) return hand_out(persistence_.moniker(), moniker);
    if (!persistence_.file_name().empty()) return CreateFileMoniker(persistence_.file_name().c_str(), moniker);
    return E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::DoVerb(LONG verb, LPMSG, IOleClientSite* active_site, LONG, HWND, LPCRECT) {
    // The site's calls may release the page; it stays alive until this returns.
    const com::ComPtr<IUnknown> alive = kept_alive();
    bool unknown_verb = false;
    const HRESULT hr = com::com_boundary([&] {
        // Containers that skip SetClientSite hand their site here; a second call may pass none.
        if (active_site && !client_site_) client_site_ = com::ComPtr<IOleClientSite>(active_site);
        switch (verb) {
            case OLEIVERB_HIDE:
                view_.deactivate_ui();
                view_.show_window(false);
                return;
            case OLEIVERB_DISCARDUNDOSTATE:
                return;
            case OLEIVERB_OPEN:
                com::throw_error(E_NOTIMPL, u"The document is shown only inside its container.");
            case OLEIVERB_PRIMARY:
            case OLEIVERB_SHOW:
            case OLEIVERB_UIACTIVATE:
            case OLEIVERB_INPLACEACTIVATE:
                break;
            default:
                if (verb < 0) com::throw_error(E_NOTIMPL);
                unknown_verb = true;  // does what the primary one does, then says it was unknown
                break;
        }
        if (!client_site_) com::throw_error(E_UNEXPECTED, u"The document has no site to show it in.");
        if (view_.in_place_active()) {
            // Already showing: a repeated verb only brings it forward.
            view_.show_window(true);
            if (verb != OLEIVERB_INPLACEACTIVATE) view_.activate_ui();
            return;
        }
        if (const auto document_site = client_site_.try_as<IOleDocumentSite>()) {
            // The container creates, places and shows the view; it may ignore the one offered.
            com::check(document_site->ActivateMe(view()));
            return;
        }
        if (verb == OLEIVERB_INPLACEACTIVATE)
            view_.activate_in_place();
        else
            view_.activate_ui();
        view_.show_window(true);
    });
    return SUCCEEDED(hr) && unknown_verb ? OLEOBJ_S_INVALIDVERB : hr;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    *verbs = nullptr;
    // No verbs of its own: the registry's. An in-process server has no default handler in front
    // of it to answer OLE_S_USEREG, so it reads them itself.
    return OleRegEnumVerbs(kDocumentClassId, verbs);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetUserClassID(CLSID* clsid) {
    return persistence_.GetClassID(clsid);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    return OleRegGetUserType(kDocumentClassId, form, type);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    extent_ = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    *size = extent_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    *connection = 0;
    if (!advise_holder_) {
        const HRESULT hr = CreateOleAdviseHolder(advise_holder_.put());
        if (FAILED(hr)) return hr;
    }
    return advise_holder_->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Unadvise(DWORD connection) {
    return advise_holder_ ? advise_holder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumAdvise(IEnumSTATDATA** advises) {
    if (!advises) return E_POINTER;
    *advises = nullptr;
    return advise_holder_ ? advise_holder_->EnumAdvise(advises) : E_FAIL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? kPageMiscStatus : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

// --- IOleDocument -----------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::CreateView(IOleInPlaceSite* site, IStream* state, DWORD,
                                                     IOleDocumentView** created) {
    if (!created) return E_POINTER;
    *created = nullptr;
    // The page has one view; a container that asks again gets it again.
    if (site) {
        const HRESULT hr = view_.SetInPlaceSite(site);
        if (FAILED(hr)) return hr;
    }
    if (state) view_.ApplyViewState(state);
    *created = view();
    view()->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetDocMiscStatus(DWORD* status) {
    if (!status) return E_POINTER;
    *status = DOCMISC_CANTOPENEDIT;  // one view, shown in place only
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumViews(IEnumOleDocumentViews** views, IOleDocumentView** one) {
    if (views) *views = nullptr;  // a document of one view hands it out alone
    if (one) *one = nullptr;
    if (!views || !one) return E_POINTER;
    *one = view();
    view()->AddRef();
    return S_OK;
}

}  // namespace zn::page::win
