#include "page/win/document_view.h"

#include "platform/com/com_error.h"

namespace zn::page::win {
namespace {

constexpr wchar_t kObjectName[] = L"docZNImportPhotos";

}  // namespace

DocumentView::DocumentView(IUnknown& outer, ui::win::PageWindow* window, const com::ComPtr<IOleClientSite>& client_site)
    : DocumentPart(outer), window_(window), client_site_(client_site) {
    if (window_) window_->set_activation_handler([this] { user_activated(); });
}

DocumentView::~DocumentView() {
    if (window_) window_->set_activation_handler({});
}

// --- activation -------------------------------------------------------------------------------

void DocumentView::activate_in_place() {
    if (in_place_active_) return;
    if (!window_) com::throw_error(E_UNEXPECTED, u"The page has no window to show.");
    if (!in_place_site_) {
        if (!client_site_) com::throw_error(E_UNEXPECTED, u"The document has no site to show it in.");
        in_place_site_ = client_site_.try_as<IOleInPlaceSite>();
        if (!in_place_site_) com::throw_error(E_NOINTERFACE, u"The container cannot show the document in place.");
    }
    // The site's calls may release the page; it stays alive until this returns.
    const com::ComPtr<IUnknown> alive = kept_alive();
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

void DocumentView::activate_ui() {
    const com::ComPtr<IUnknown> alive = kept_alive();
    activate_in_place();
    if (ui_active_) return;
    ui_active_ = true;
    // Containers that keep no UI state answer E_NOTIMPL; the document is active all the same.
    if (in_place_site_) in_place_site_->OnUIActivate();
    // A container may close the document inside that call: then there is nothing to make active.
    if (!ui_active_ || !in_place_active_) return;
    // The page has no tools: it needs no border space, and the container keeps its own.
    if (frame_) frame_->SetBorderSpace(nullptr);
    if (document_window_) document_window_->SetBorderSpace(nullptr);
    if (frame_) frame_->SetActiveObject(active_object(), kObjectName);
    if (document_window_) document_window_->SetActiveObject(active_object(), kObjectName);
    const HWND focus = GetFocus();
    if (window_ && focus != window_->hwnd() && !IsChild(window_->hwnd(), focus)) SetFocus(window_->hwnd());
}

void DocumentView::deactivate_ui() noexcept {
    if (!ui_active_) return;
    const com::ComPtr<IUnknown> alive = kept_alive();
    ui_active_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (document_window_) document_window_->SetActiveObject(nullptr, nullptr);
    if (in_place_site_) in_place_site_->OnUIDeactivate(FALSE);
}

void DocumentView::deactivate_in_place() noexcept {
    if (!in_place_active_) return;
    const com::ComPtr<IUnknown> alive = kept_alive();
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

void DocumentView::place_window() noexcept {
    if (window_ && in_place_active_ && has_view_rect_) window_->set_rect(view_rect_);
}

void DocumentView::close() noexcept {
    deactivate_in_place();
    in_place_site_ = nullptr;
    has_view_rect_ = false;
}

void DocumentView::show_window(bool show) noexcept {
    if (window_ && in_place_active_) ShowWindow(window_->hwnd(), show ? SW_SHOW : SW_HIDE);
}

// Inside-out: a document active in place becomes the container's active object when the user
// turns to it, so that the container hands it Tab and Enter (TranslateAccelerator).
void DocumentView::user_activated() noexcept {
    if (!in_place_active_ || ui_active_) return;
    try {
        activate_ui();
    } catch (...) {  // NOLINT(bugprone-empty-catch): the container refused; the page stays active in place
    }
}

// --- IOleDocumentView -------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE DocumentView::SetInPlaceSite(IOleInPlaceSite* site) {
    if (in_place_site_.get() == site) return S_OK;
    const com::ComPtr<IUnknown> alive = kept_alive();
    deactivate_in_place();
    in_place_site_ = com::ComPtr<IOleInPlaceSite>(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::GetInPlaceSite(IOleInPlaceSite** site) {
    return hand_out(in_place_site_, site);
}

HRESULT STDMETHODCALLTYPE DocumentView::GetDocument(IUnknown** document) {
    if (!document) return E_POINTER;
    *document = com::ComPtr<IUnknown>(&outer_).detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::SetRect(LPRECT rect) {
    if (!rect) return E_POINTER;
    view_rect_ = *rect;
    has_view_rect_ = true;
    place_window();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::GetRect(LPRECT rect) {
    if (!rect) return E_POINTER;
    *rect = view_rect_;
    return has_view_rect_ ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE DocumentView::SetRectComplex(LPRECT, LPRECT, LPRECT, LPRECT) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentView::Show(BOOL show) {
    const com::ComPtr<IUnknown> alive = kept_alive();
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

HRESULT STDMETHODCALLTYPE DocumentView::UIActivate(BOOL activate) {
    const com::ComPtr<IUnknown> alive = kept_alive();
    return com::com_boundary([&] {
        if (activate)
            activate_ui();
        else
            deactivate_ui();
    });
}

HRESULT STDMETHODCALLTYPE DocumentView::Open() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentView::CloseView(DWORD) {
    // Containers close the view without deactivating it first; it lets go of its site here.
    const com::ComPtr<IUnknown> alive = kept_alive();
    close();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::SaveViewState(IStream*) {
    return S_OK;  // the view has no state of its own: scroll position and focus start afresh
}

HRESULT STDMETHODCALLTYPE DocumentView::ApplyViewState(IStream*) {
    return S_OK;  // nothing was saved, so a null, empty or foreign stream changes nothing
}

HRESULT STDMETHODCALLTYPE DocumentView::Clone(IOleInPlaceSite*, IOleDocumentView** copy) {
    if (copy) *copy = nullptr;
    return E_NOTIMPL;
}

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ------------------------------------

HRESULT STDMETHODCALLTYPE DocumentView::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = in_place_active_ && window_ ? window_->hwnd() : nullptr;
    return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE DocumentView::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentView::InPlaceDeactivate() {
    const com::ComPtr<IUnknown> alive = kept_alive();
    deactivate_in_place();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::UIDeactivate() {
    const com::ComPtr<IUnknown> alive = kept_alive();
    deactivate_ui();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_ && in_place_active_) window_->set_rect(*position);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::ReactivateAndUndo() {
    return INPLACE_E_NOTUNDOABLE;
}

HRESULT STDMETHODCALLTYPE DocumentView::TranslateAccelerator(LPMSG message) {
    // Tab, Shift+Tab and Enter move through and press the page's controls; every other key
    // goes back to the container, which dispatches it to the focused control.
    if (!message || !window_ || !in_place_active_) return S_FALSE;
    return window_->translate(*message) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE DocumentView::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::ResizeBorder(LPCRECT, IOleInPlaceUIWindow* window, BOOL) {
    // Asked again after the container's border changed: still no tools, still no space.
    if (window) window->SetBorderSpace(nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentView::EnableModeless(BOOL) {
    return S_OK;
}

}  // namespace zn::page::win
