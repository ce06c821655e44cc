#include "refhost/container/win/container_site.h"

#include <utility>

#include "platform/com/com_error.h"

namespace zn::refhost::win {

ContainerSite::ContainerSite(HWND window, bool document_site, std::shared_ptr<SiteJournal> journal)
    : window_(window), document_site_(document_site), journal_(std::move(journal)) {}

void ContainerSite::serve(com::ComPtr<IOleObject> object) {
    object_ = std::move(object);
}

void ContainerSite::release_object() noexcept {
    view_ = nullptr;
    in_place_ = nullptr;
    active_ = nullptr;
    object_ = nullptr;
}

// The journal is a witness only: a note that cannot be kept (memory running out) is dropped
// rather than let a site call fail or a take-down step be skipped.
void ContainerSite::note(const char* call) noexcept {
    try {
        if (journal_) journal_->emplace_back(call);
    } catch (...) {  // NOLINT(bugprone-empty-catch)
    }
}

void ContainerSite::note_own_call(std::string_view call) noexcept {
    try {
        if (journal_) journal_->push_back("container: " + std::string(call));
    } catch (...) {  // NOLINT(bugprone-empty-catch)
    }
}

namespace {

// The host's window has no toolbars: only a request for no border space at all can be met.
bool asks_for_space(const BORDERWIDTHS* widths) noexcept {
    return widths && (widths->left || widths->top || widths->right || widths->bottom);
}

}  // namespace

RECT ContainerSite::client_rect() const noexcept {
    RECT r{};
    GetClientRect(window_, &r);
    return r;
}

void ContainerSite::resize() {
    RECT r = client_rect();
    if (view_)
        com::check(view_->SetRect(&r));
    else if (in_place_)
        com::check(in_place_->SetObjectRects(&r, &r));
}

bool ContainerSite::translate(MSG& message) {
    if (!active_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    return active_->TranslateAccelerator(&message) == S_OK;
}

void ContainerSite::deactivate() {
    HRESULT first_failure = S_OK;
    const char* failed_step = nullptr;
    const auto step = [&](const char* name, auto&& call) {
        note_own_call(name);
        const HRESULT hr = call();
        if (FAILED(hr) && !failed_step) {
            first_failure = hr;
            failed_step = name;
        }
    };
    if (const com::ComPtr<IOleDocumentView> view = std::exchange(view_, nullptr)) {
        // Hidden first, then deactivated, as the view's documentation asks of its callers.
        step("Show(FALSE)", [&] { return view->Show(FALSE); });
        step("UIActivate(FALSE)", [&] { return view->UIActivate(FALSE); });
        step("CloseView(0)", [&] { return view->CloseView(0); });
        step("SetInPlaceSite(NULL)", [&] { return view->SetInPlaceSite(nullptr); });
    } else if (const com::ComPtr<IOleInPlaceObject> in_place = in_place_) {
        // The object answers with OnUIDeactivate and OnInPlaceDeactivate on this site.
        step("UIDeactivate", [&] { return in_place->UIDeactivate(); });
        step("InPlaceDeactivate", [&] { return in_place->InPlaceDeactivate(); });
    }
    in_place_ = nullptr;
    active_ = nullptr;
    if (failed_step) {
        std::u16string name(failed_step, failed_step + std::char_traits<char>::length(failed_step));
        com::throw_error(first_failure,
                         u"The document failed " + name + u": " + com::standard_description(first_failure));
    }
}

// IUnknown

HRESULT STDMETHODCALLTYPE ContainerSite::QueryInterface(REFIID riid, void** ppv) {
    if (com::same_guid(riid, com::iid_of<IOleDocumentSite>())) {
        note("QueryInterface(IOleDocumentSite)");
        if (!document_site_) {
            if (ppv) *ppv = nullptr;
            return ppv ? E_NOINTERFACE : E_POINTER;
        }
    }
    return Base::QueryInterface(riid, ppv);
}

IUnknown* ContainerSite::query_extra(REFIID riid) noexcept {
    if (com::same_guid(riid, com::iid_of<IOleWindow>())) return static_cast<IOleInPlaceSite*>(this);
    if (com::same_guid(riid, com::iid_of<IOleInPlaceUIWindow>())) return static_cast<IOleInPlaceFrame*>(this);
    return nullptr;
}

// IOleClientSite

HRESULT STDMETHODCALLTYPE ContainerSite::SaveObject() {
    return noted("SaveObject", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    note("GetMoniker");
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ContainerSite::GetContainer(IOleContainer** container) {
    note("GetContainer");
    if (!container) return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ContainerSite::ShowObject() {
    return noted("ShowObject", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnShowWindow(BOOL) {
    return noted("OnShowWindow", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::RequestNewObjectLayout() {
    return noted("RequestNewObjectLayout", E_NOTIMPL);
}

// IOleWindow

HRESULT STDMETHODCALLTYPE ContainerSite::GetWindow(HWND* window) {
    note("GetWindow");
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::ContextSensitiveHelp(BOOL) {
    return noted("ContextSensitiveHelp", E_NOTIMPL);
}

// IOleInPlaceSite

HRESULT STDMETHODCALLTYPE ContainerSite::CanInPlaceActivate() {
    return noted("CanInPlaceActivate", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnInPlaceActivate() {
    note("OnInPlaceActivate");
    // Kept for sizing and for taking a plainly in-place active object down again.
    in_place_ = object_.try_as<IOleInPlaceObject>();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnUIActivate() {
    return noted("OnUIActivate", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                          RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    note("GetWindowContext");
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    // The host's window is the frame and has no document window of its own, which the object
    // is told by a null one.
    *frame = com::ComPtr<IOleInPlaceFrame>(this).detach();
    *position = client_rect();
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(window_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::Scroll(SIZE) {
    return noted("Scroll", E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnUIDeactivate(BOOL) {
    return noted("OnUIDeactivate", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnInPlaceDeactivate() {
    note("OnInPlaceDeactivate");
    in_place_ = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::DiscardUndoState() {
    return noted("DiscardUndoState", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::DeactivateAndUndo() {
    note("DeactivateAndUndo");
    return in_place_ ? in_place_->UIDeactivate() : S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::OnPosRectChange(const RECT* position) {
    note("OnPosRectChange");
    if (!position) return E_POINTER;
    // The host's window decides the size: the document gets the whole client area again.
    RECT r = client_rect();
    return in_place_ ? in_place_->SetObjectRects(&r, &r) : S_OK;
}

// IOleDocumentSite

HRESULT STDMETHODCALLTYPE ContainerSite::ActivateMe(IOleDocumentView* view) {
    note("ActivateMe");
    // Each of the container's own calls is journalled before it is made.
    const auto step = [&](const char* name, auto&& call) {
        note_own_call(name);
        com::check(call());
    };
    return com::com_boundary([&] {
        com::ComPtr<IOleDocumentView> activated(view);
        if (!activated) {
            if (!object_) com::throw_error(E_UNEXPECTED, u"The site serves no document.");
            const auto document = object_.as<IOleDocument>();
            step("CreateView", [&] {
                return document->CreateView(static_cast<IOleInPlaceSite*>(this), nullptr, 0, activated.put());
            });
        }
        view_ = activated;
        step("SetInPlaceSite", [&] { return activated->SetInPlaceSite(static_cast<IOleInPlaceSite*>(this)); });
        step("UIActivate(TRUE)", [&] { return activated->UIActivate(TRUE); });
        RECT r = client_rect();
        step("SetRect", [&] { return activated->SetRect(&r); });
        step("Show(TRUE)", [&] { return activated->Show(TRUE); });
    });
}

// IOleInPlaceUIWindow

HRESULT STDMETHODCALLTYPE ContainerSite::GetBorder(RECT* border) {
    note("GetBorder");
    if (!border) return E_POINTER;
    *border = client_rect();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::RequestBorderSpace(const BORDERWIDTHS* widths) {
    note("RequestBorderSpace");
    return asks_for_space(widths) ? INPLACE_E_NOTOOLSPACE : S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::SetBorderSpace(const BORDERWIDTHS* widths) {
    note("SetBorderSpace");
    return asks_for_space(widths) ? OLE_E_INVALIDRECT : S_OK;
}

HRESULT STDMETHODCALLTYPE ContainerSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    note(object ? "SetActiveObject" : "SetActiveObject(NULL)");
    active_ = com::ComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
}

// IOleInPlaceFrame

HRESULT STDMETHODCALLTYPE ContainerSite::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) {
    return noted("InsertMenus", E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE ContainerSite::SetMenu(HMENU, HOLEMENU, HWND) {
    return noted("SetMenu", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::RemoveMenus(HMENU) {
    return noted("RemoveMenus", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::SetStatusText(LPCOLESTR) {
    return noted("SetStatusText", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::EnableModeless(BOOL) {
    return noted("EnableModeless", S_OK);
}

HRESULT STDMETHODCALLTYPE ContainerSite::TranslateAccelerator(MSG*, WORD) {
    return noted("TranslateAccelerator", S_FALSE);
}

}  // namespace zn::refhost::win
