// The container's side of one embedded document in a host window: its client site, in-place
// site, document site, and the frame it is activated in (which is also its UI window). It keeps
// what activation hands it (the view, the in-place object, the active object) so that the
// host can size the document, give it keys and take it down again.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/win/ole_interfaces.h"

namespace zn::refhost::win {

// The member names of the site calls a server made, in order, and between them the container's
// own calls on the object, marked "container: ".
using SiteJournal = std::vector<std::string>;

class ContainerSite final
    : public com::ComObject<ContainerSite, IOleClientSite, IOleInPlaceSite, IOleDocumentSite, IOleInPlaceFrame> {
    using Base = com::ComObject<ContainerSite, IOleClientSite, IOleInPlaceSite, IOleDocumentSite, IOleInPlaceFrame>;

public:
    // window: the host window whose client area the document fills. Without document_site the
    // site refuses IOleDocumentSite, and the server activates in place through IOleInPlaceSite.
    ContainerSite(HWND window, bool document_site, std::shared_ptr<SiteJournal> journal);

    // The object this site serves; ActivateMe makes its view when the server names none.
    void serve(com::ComPtr<IOleObject> object);
    void release_object() noexcept;

    // Puts the active view (or in-place object) over the window's whole client area.
    void resize();
    // A key message for the active object first; true when it used it.
    bool translate(MSG& message);
    // Takes the document out of the window: the view's UIActivate(FALSE), Show(FALSE),
    // CloseView(0), SetInPlaceSite(NULL); for plain in-place activation UIDeactivate and
    // InPlaceDeactivate. Every step runs; the first that failed is thrown as ComError after.
    void deactivate();

    // Records a call the container makes on the object (see SiteJournal).
    void note_own_call(std::string_view call) noexcept;

    HWND window() const noexcept { return window_; }
    IOleDocumentView* view() const noexcept { return view_.get(); }
    IOleInPlaceActiveObject* active_object() const noexcept { return active_.get(); }

    // IUnknown: IOleDocumentSite only when asked for; IOleWindow and IOleInPlaceUIWindow by
    // the interfaces that derive from them.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    IUnknown* query_extra(REFIID riid) noexcept;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IOleWindow, for the in-place site and the frame alike
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) override;

    // IOleDocumentSite
    HRESULT STDMETHODCALLTYPE ActivateMe(IOleDocumentView* view) override;

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(const BORDERWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(const BORDERWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;

    // IOleInPlaceFrame: the host's window has no menu, status line or accelerators of its own.
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND object_window) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, WORD id) override;

private:
    void note(const char* call) noexcept;
    // Notes the call and gives its answer: the site's many members that only answer.
    HRESULT noted(const char* call, HRESULT answer) noexcept {
        note(call);
        return answer;
    }
    RECT client_rect() const noexcept;

    HWND window_;
    bool document_site_;
    std::shared_ptr<SiteJournal> journal_;
    com::ComPtr<IOleObject> object_;
    com::ComPtr<IOleDocumentView> view_;
    com::ComPtr<IOleInPlaceObject> in_place_;
    com::ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace zn::refhost::win
