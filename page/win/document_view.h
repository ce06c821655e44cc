// The document's one view and its activation in place: the page's window in the in-place site's,
// the container's active object for its keyboard. Inside-out: while it is active in place, a
// click or the keyboard put into the page makes it the active object too.
#pragma once

#include "page/win/document_part.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/win/page_window.h"

namespace zn::page::win {

class DocumentView final : public DocumentPart<IOleDocumentView, IOleInPlaceObject, IOleInPlaceActiveObject> {
public:
    // window is null when the page was built by another backend, which leaves the view unable to
    // activate; client_site is the document's, where the view finds its in-place site when none
    // was given.
    DocumentView(IUnknown& outer, ui::win::PageWindow* window, const com::ComPtr<IOleClientSite>& client_site);
    ~DocumentView();

    // The document's verbs and Close drive these.
    void activate_in_place();
    void activate_ui();
    void deactivate_ui() noexcept;
    // Takes the page's window back (hidden) and lets the site know; keeps the site.
    void deactivate_in_place() noexcept;
    // Closed: inactive, no site, no rectangle.
    void close() noexcept;
    bool in_place_active() const noexcept { return in_place_active_; }
    // Shows or hides the page's window where the view is active in place.
    void show_window(bool show) noexcept;

    // IOleDocumentView
    HRESULT STDMETHODCALLTYPE SetInPlaceSite(IOleInPlaceSite* site) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceSite(IOleInPlaceSite** site) override;
    HRESULT STDMETHODCALLTYPE GetDocument(IUnknown** document) override;
    HRESULT STDMETHODCALLTYPE SetRect(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE GetRect(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE SetRectComplex(LPRECT, LPRECT, LPRECT, LPRECT) override;
    HRESULT STDMETHODCALLTYPE Show(BOOL show) override;
    HRESULT STDMETHODCALLTYPE UIActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE Open() override;
    HRESULT STDMETHODCALLTYPE CloseView(DWORD) override;
    HRESULT STDMETHODCALLTYPE SaveViewState(IStream*) override;
    HRESULT STDMETHODCALLTYPE ApplyViewState(IStream*) override;
    HRESULT STDMETHODCALLTYPE Clone(IOleInPlaceSite*, IOleDocumentView** view) override;

    // IOleWindow, of both in-place interfaces
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;

private:
    IOleInPlaceActiveObject* active_object() noexcept { return this; }
    void place_window() noexcept;
    // The user clicked into the page or put the keyboard there.
    void user_activated() noexcept;

    ui::win::PageWindow* window_;
    const com::ComPtr<IOleClientSite>& client_site_;
    com::ComPtr<IOleInPlaceSite> in_place_site_;
    com::ComPtr<IOleInPlaceFrame> frame_;
    com::ComPtr<IOleInPlaceUIWindow> document_window_;
    RECT view_rect_{};
    bool has_view_rect_ = false;
    bool in_place_active_ = false;
    bool ui_active_ = false;
};

}  // namespace zn::page::win
