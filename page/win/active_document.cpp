#include "page/win/active_document.h"

#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <string>

#include "page/page_class.h"
#include "platform/com/com_error.h"

namespace zn::page::win {
namespace {

constexpr CLSID kClassId = com::make_guid(kPageClassId);
constexpr wchar_t kObjectName[] = L"docZNImportPhotos";
constexpr int kHimetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;

// A copy of text in task memory, which the caller frees.
HRESULT task_memory_copy(const wchar_t* text, LPOLESTR* out) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*out) return E_OUTOFMEMORY;
    std::memcpy(*out, text, bytes);
    return S_OK;
}

// The longest path the system's file functions take, with the "\\?\\" prefix.
constexpr DWORD kLongestPath = 32768;

// Only a document file of this page may be loaded: another file would show the page under its name.
HRESULT check_document_file(const wchar_t* path) {
    CLSID clsid{};
    const HRESULT hr = GetClassFile(path, &clsid);
    if (FAILED(hr)) return hr;
    return IsEqualCLSID(clsid, kClassId) ? S_OK : E_FAIL;
}

template <class T>
HRESULT hand_out(const com::ComPtr<T>& held, T** out) {
    if (!out) return E_POINTER;
    *out = com::ComPtr<T>(held).detach();
    return S_OK;
}

}  // namespace

ActiveDocument::ActiveDocument(IUnknown& outer, ui::win::PageWindow* window, const ui::PageLayout& layout)
    : outer_(outer),
      window_(window),
      extent_{MulDiv(layout.width, kHimetricPerInch, kTwipsPerInch),
              MulDiv(layout.height, kHimetricPerInch, kTwipsPerInch)} {}

void* ActiveDocument::find_interface(REFIID riid) noexcept {
    if (com::same_guid(riid, com::iid_of<IOleObject>())) return static_cast<IOleObject*>(this);
    if (com::same_guid(riid, com::iid_of<IOleDocument>())) return static_cast<IOleDocument*>(this);
    if (com::same_guid(riid, com::iid_of<IOleDocumentView>())) return static_cast<IOleDocumentView*>(this);
    if (com::same_guid(riid, com::iid_of<IOleInPlaceObject>()) || com::same_guid(riid, com::iid_of<IOleWindow>()))
        return static_cast<IOleInPlaceObject*>(this);
    if (com::same_guid(riid, com::iid_of<IOleInPlaceActiveObject>()))
        return static_cast<IOleInPlaceActiveObject*>(this);
    if (com::same_guid(riid, com::iid_of<IPersistStorage>())) return static_cast<IPersistStorage*>(this);
    if (com::same_guid(riid, com::iid_of<IPersistFile>()) || com::same_guid(riid, com::iid_of<IPersist>()))
        return static_cast<IPersistFile*>(this);
    if (com::same_guid(riid, com::iid_of<IPersistMoniker>())) return static_cast<IPersistMoniker*>(this);
    if (com::same_guid(riid, com::iid_of<IOleCommandTarget>())) return static_cast<IOleCommandTarget*>(this);
    if (com::same_guid(riid, com::iid_of<IDataObject>())) return static_cast<IDataObject*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::QueryInterface(REFIID riid, void** ppv) {
    return outer_.QueryInterface(riid, ppv);
}
ULONG STDMETHODCALLTYPE ActiveDocument::AddRef() {
    return outer_.AddRef();
}
ULONG STDMETHODCALLTYPE ActiveDocument::Release() {
    return outer_.Release();
}

// --- activation -------------------------------------------------------------------------------

void ActiveDocument::activate_in_place() {
    if (in_place_active_) return;
    if (!window_) com::throw_error(E_UNEXPECTED, u"The page has no window to show.");
    if (!in_place_site_) {
        if (!client_site_) com::throw_error(E_UNEXPECTED, u"The document has no site to show it in.");
        in_place_site_ = client_site_.try_as<IOleInPlaceSite>();
        if (!in_place_site_) com::throw_error(E_NOINTERFACE, u"The container cannot show the document in place.");
    }
    // The site's calls may release the page; it stays alive until this returns.
    const com::ComPtr<IUnknown> alive(&outer_);
    const com::ComPtr<IOleInPlaceSite> site = in_place_site_;
    if (site->CanInPlaceActivate() != S_OK)
        com::throw_error(E_FAIL, u"The container does not let the document be shown in place.");
    com::check(site->OnInPlaceActivate());
    in_place_active_ = true;
    HWND parent = nullptr;
    if (FAILED(site->GetWindow(&parent)) || !parent) {
        deactivate_in_place();
        com::throw_error(E_UNEXPECTED, u"The container gives no window to show the document in.");
    }
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frame_info{};
    frame_info.cb = sizeof frame_info;
    frame_ = nullptr;
    document_window_ = nullptr;
    // A container that has no frame to offer still shows the document at the rectangle it gives.
    const bool has_position =
        SUCCEEDED(site->GetWindowContext(frame_.put(), document_window_.put(), &position, &clip, &frame_info));
    try {
        window_->attach(parent);
    } catch (...) {
        deactivate_in_place();
        throw;
    }
    // The view's rectangle, once the container set one; the site's position otherwise.
    if (has_view_rect_)
        place_window();
    else if (has_position)
        window_->set_rect(position);
}

void ActiveDocument::activate_ui() {
    const com::ComPtr<IUnknown> alive(&outer_);
    activate_in_place();
    if (ui_active_) return;
    ui_active_ = true;
    // Containers that keep no UI state answer E_NOTIMPL; the document is active all the same.
    if (in_place_site_) in_place_site_->OnUIActivate();
    // The page has no tools: it needs no border space, and the container keeps its own.
    if (frame_) frame_->SetBorderSpace(nullptr);
    if (document_window_) document_window_->SetBorderSpace(nullptr);
    if (frame_) frame_->SetActiveObject(active_object(), kObjectName);
    if (document_window_) document_window_->SetActiveObject(active_object(), kObjectName);
    const HWND focus = GetFocus();
    if (window_ && focus != window_->hwnd() && !IsChild(window_->hwnd(), focus)) SetFocus(window_->hwnd());
}

void ActiveDocument::deactivate_ui() noexcept {
    if (!ui_active_) return;
    const com::ComPtr<IUnknown> alive(&outer_);
    ui_active_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (document_window_) document_window_->SetActiveObject(nullptr, nullptr);
    if (in_place_site_) in_place_site_->OnUIDeactivate(FALSE);
}

void ActiveDocument::deactivate_in_place() noexcept {
    if (!in_place_active_) return;
    const com::ComPtr<IUnknown> alive(&outer_);
    // Marked before the site hears of it: a site that deactivates again from OnUIDeactivate
    // finds nothing left to do, and OnInPlaceDeactivate is sent once.
    in_place_active_ = false;
    deactivate_ui();
    try {
        if (window_) window_->attach(nullptr);
    } catch (...) {
        // The window is already gone; there is nothing left to take back.
    }
    frame_ = nullptr;
    document_window_ = nullptr;
    if (in_place_site_) in_place_site_->OnInPlaceDeactivate();
}

void ActiveDocument::place_window() noexcept {
    if (window_ && in_place_active_ && has_view_rect_) window_->set_rect(view_rect_);
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
    const com::ComPtr<IUnknown> alive(&outer_);
    deactivate_in_place();
    if (advise_holder_) advise_holder_->SendOnClose();
    in_place_site_ = nullptr;
    client_site_ = nullptr;
    advise_holder_ = nullptr;
    moniker_ = nullptr;
    has_view_rect_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetMoniker(DWORD, IMoniker*) {
    return S_OK;  // the document is never linked to, so its name is of no use to it
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    if (moniker_) return hand_out(moniker_, moniker);
    if (!file_name_.empty()) return CreateFileMoniker(file_name_.c_str(), moniker);
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
    const com::ComPtr<IUnknown> alive(&outer_);
    bool unknown_verb = false;
    const HRESULT hr = com::com_boundary([&] {
        // Containers that skip SetClientSite hand their site here; a second call may pass none.
        if (active_site && !client_site_) client_site_ = com::ComPtr<IOleClientSite>(active_site);
        switch (verb) {
            case OLEIVERB_HIDE:
                deactivate_ui();
                if (window_ && in_place_active_) ShowWindow(window_->hwnd(), SW_HIDE);
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
        if (in_place_active_) {
            // Already showing: a repeated verb only brings it forward.
            if (window_) ShowWindow(window_->hwnd(), SW_SHOW);
            if (verb != OLEIVERB_INPLACEACTIVATE) activate_ui();
            return;
        }
        if (const auto document_site = client_site_.try_as<IOleDocumentSite>()) {
            // The container creates, places and shows the view; it may ignore the one offered.
            com::check(document_site->ActivateMe(view()));
            return;
        }
        if (verb == OLEIVERB_INPLACEACTIVATE)
            activate_in_place();
        else
            activate_ui();
        if (window_) ShowWindow(window_->hwnd(), SW_SHOW);
    });
    return SUCCEEDED(hr) && unknown_verb ? OLEOBJ_S_INVALIDVERB : hr;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    *verbs = nullptr;
    return OLE_S_USEREG;  // no verbs of its own: the registry's, through the default handler
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetUserClassID(CLSID* clsid) {
    return GetClassID(clsid);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    return OleRegGetUserType(kClassId, form, type);
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
    // The page has one view, itself; a container that asks again gets it again.
    if (site) {
        const HRESULT hr = SetInPlaceSite(site);
        if (FAILED(hr)) return hr;
    }
    if (state) ApplyViewState(state);
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

// --- IOleDocumentView -------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::SetInPlaceSite(IOleInPlaceSite* site) {
    if (in_place_site_.get() == site) return S_OK;
    const com::ComPtr<IUnknown> alive(&outer_);
    deactivate_in_place();
    in_place_site_ = com::ComPtr<IOleInPlaceSite>(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetInPlaceSite(IOleInPlaceSite** site) {
    return hand_out(in_place_site_, site);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetDocument(IUnknown** document) {
    if (!document) return E_POINTER;
    *document = com::ComPtr<IUnknown>(&outer_).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetRect(LPRECT rect) {
    if (!rect) return E_POINTER;
    view_rect_ = *rect;
    has_view_rect_ = true;
    place_window();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetRect(LPRECT rect) {
    if (!rect) return E_POINTER;
    *rect = view_rect_;
    return has_view_rect_ ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetRectComplex(LPRECT, LPRECT, LPRECT, LPRECT) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Show(BOOL show) {
    const com::ComPtr<IUnknown> alive(&outer_);
    return com::com_boundary([&] {
        if (show) {
            activate_in_place();
            ShowWindow(window_->hwnd(), SW_SHOW);
        } else {
            deactivate_ui();
            if (window_ && in_place_active_) ShowWindow(window_->hwnd(), SW_HIDE);
        }
    });
}

HRESULT STDMETHODCALLTYPE ActiveDocument::UIActivate(BOOL activate) {
    const com::ComPtr<IUnknown> alive(&outer_);
    return com::com_boundary([&] {
        if (activate)
            activate_ui();
        else
            deactivate_ui();
    });
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Open() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::CloseView(DWORD) {
    // Containers close the view without deactivating it first; it lets go of its site here.
    const com::ComPtr<IUnknown> alive(&outer_);
    deactivate_in_place();
    in_place_site_ = nullptr;
    has_view_rect_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SaveViewState(IStream*) {
    return S_OK;  // the view has no state of its own: scroll position and focus start afresh
}

HRESULT STDMETHODCALLTYPE ActiveDocument::ApplyViewState(IStream*) {
    return S_OK;  // nothing was saved, so a null, empty or foreign stream changes nothing
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Clone(IOleInPlaceSite*, IOleDocumentView** copy) {
    if (copy) *copy = nullptr;
    return E_NOTIMPL;
}

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = in_place_active_ && window_ ? window_->hwnd() : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::InPlaceDeactivate() {
    const com::ComPtr<IUnknown> alive(&outer_);
    deactivate_in_place();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::UIDeactivate() {
    const com::ComPtr<IUnknown> alive(&outer_);
    deactivate_ui();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_ && in_place_active_) window_->set_rect(*position);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::ReactivateAndUndo() {
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::TranslateAccelerator(LPMSG message) {
    // Tab, Shift+Tab and Enter move through and press the page's controls; every other key
    // goes back to the container, which dispatches it to the focused control.
    if (!message || !window_ || !in_place_active_) return S_FALSE;
    return window_->translate(*message) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::ResizeBorder(LPCRECT, IOleInPlaceUIWindow* window, BOOL) {
    // Asked again after the container's border changed: still no tools, still no space.
    if (window) window->SetBorderSpace(nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnableModeless(BOOL) {
    return S_OK;
}

// --- IPersist, IPersistStorage, IPersistFile, IPersistMoniker ------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClassId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::InitNew(IStorage* storage) {
    return storage ? S_OK : E_POINTER;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Load(IStorage* storage) {
    return storage ? S_OK : E_POINTER;  // the page's design is built in; the file only names it
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    return WriteClassStg(storage, kClassId);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::HandsOffStorage() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Load(LPCOLESTR file_name, DWORD) {
    if (!file_name) return E_POINTER;
    const HRESULT hr = check_document_file(file_name);
    if (SUCCEEDED(hr)) file_name_ = file_name;
    return hr;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Save(LPCOLESTR file_name, BOOL) {
    // Nothing changes in the document, so saving it where it is has nothing to do.
    if (!file_name || file_name_ == file_name) return S_OK;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SaveCompleted(LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetCurFile(LPOLESTR* file_name) {
    if (!file_name) return E_POINTER;
    *file_name = nullptr;
    if (file_name_.empty()) {
        const HRESULT hr = task_memory_copy(L"*.vbd", file_name);
        return FAILED(hr) ? hr : S_FALSE;
    }
    return task_memory_copy(file_name_.c_str(), file_name);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Load(BOOL, IMoniker* moniker, LPBC context, DWORD) {
    if (!moniker) return E_INVALIDARG;
    LPOLESTR display_name = nullptr;
    HRESULT hr = moniker->GetDisplayName(context, nullptr, &display_name);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> name(display_name, CoTaskMemFree);
    if (FAILED(hr)) return hr;
    if (!name) return E_FAIL;
    // A browser names the file by a file: URL; one on another server cannot be looked into.
    if (UrlIsFileUrlW(name.get())) {
        std::wstring path(kLongestPath, L'\0');
        DWORD length = kLongestPath;
        hr = PathCreateFromUrlW(name.get(), path.data(), &length, 0);
        if (SUCCEEDED(hr)) hr = check_document_file(path.c_str());
    } else if (!PathIsURLW(name.get())) {
        hr = check_document_file(name.get());
    }
    if (FAILED(hr)) return hr;
    moniker_ = com::ComPtr<IMoniker>(moniker);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Save(IMoniker*, LPBC, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SaveCompleted(IMoniker*, LPBC) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetCurMoniker(IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    return moniker_ ? hand_out(moniker_, moniker) : E_UNEXPECTED;
}

// --- IOleCommandTarget ------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ActiveDocument::QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                                      OLECMDTEXT* text) {
    if (!commands && count) return E_POINTER;
    if (group) return OLECMDERR_E_UNKNOWNGROUP;
    for (ULONG i = 0; i < count; ++i) commands[i].cmdf = 0;
    if (text) text->cwActual = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*) {
    return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

// --- IDataObject ------------------------------------------------------------------------------

namespace {

bool is_embed_source(const FORMATETC& format) {
    static const CLIPFORMAT embed_source = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Embed Source"));
    return format.cfFormat == embed_source && (format.tymed & TYMED_ISTORAGE) && format.dwAspect == DVASPECT_CONTENT;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ActiveDocument::GetData(FORMATETC* format, STGMEDIUM* medium) {
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
    hr = Save(storage.get(), FALSE);
    if (FAILED(hr)) return hr;
    medium->tymed = TYMED_ISTORAGE;
    medium->pstg = storage.detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_POINTER;
    if (!is_embed_source(*format) || medium->tymed != TYMED_ISTORAGE || !medium->pstg) return DV_E_FORMATETC;
    return Save(medium->pstg, FALSE);
}

HRESULT STDMETHODCALLTYPE ActiveDocument::QueryGetData(FORMATETC* format) {
    if (!format) return E_POINTER;
    return is_embed_source(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
    if (!in || !out) return E_POINTER;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) {
    if (connection) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE ActiveDocument::EnumDAdvise(IEnumSTATDATA** advises) {
    if (advises) *advises = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace zn::page::win
