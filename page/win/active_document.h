// The page as an Active Document: the document server that a container's client and in-place
// sites talk to. It is part of the page object (its IUnknown is the page's), with the page's one
// view, and puts the page's window into the window the in-place site gives.
#pragma once

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/layout.h"
#include "platform/ui/win/page_window.h"

namespace zn::page::win {

class ActiveDocument final : public IOleObject,
                             public IOleDocument,
                             public IOleDocumentView,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IPersistStorage,
                             public IPersistFile,
                             public IPersistMoniker,
                             public IOleCommandTarget,
                             public IDataObject {
public:
    // outer is the page object; window is null when the page was built by another backend,
    // which leaves the document unable to activate.
    ActiveDocument(IUnknown& outer, ui::win::PageWindow* window, const ui::PageLayout& layout);
    ActiveDocument(const ActiveDocument&) = delete;
    ActiveDocument& operator=(const ActiveDocument&) = delete;
    ~ActiveDocument() = default;

    // This part's interface for riid, not yet referenced; null when it has none.
    void* find_interface(REFIID riid) noexcept;

    // IUnknown: the page's.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

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

    // IPersist and IsDirty, of the three persistence interfaces: the page has nothing to save.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

    // IPersistFile
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR file_name, DWORD) override;
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR file_name, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* file_name) override;

    // IPersistMoniker
    HRESULT STDMETHODCALLTYPE Load(BOOL, IMoniker* moniker, LPBC, DWORD) override;
    HRESULT STDMETHODCALLTYPE Save(IMoniker*, LPBC, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IMoniker*, LPBC) override;
    HRESULT STDMETHODCALLTYPE GetCurMoniker(IMoniker** moniker) override;

    // IOleCommandTarget: no command is supported.
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD, DWORD, VARIANT*, VARIANT*) override;

    // IDataObject: the one rendering is the embedded object's own storage ("Embed Source"),
    // which OleCreateFromFile asks of the object it bound from the file.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    // Makes the view active in place: the page's window goes into the in-place site's window.
    void activate_in_place();
    // Makes the view the container's active object, for its keyboard and its frame.
    void activate_ui();
    void deactivate_ui() noexcept;
    // Takes the page's window back (hidden) and lets the site know; keeps the site.
    void deactivate_in_place() noexcept;
    void place_window() noexcept;
    IOleInPlaceActiveObject* active_object() noexcept { return this; }
    IOleDocumentView* view() noexcept { return this; }

    IUnknown& outer_;
    ui::win::PageWindow* window_;
    SIZEL extent_;  // HIMETRIC

    com::ComPtr<IOleClientSite> client_site_;
    com::ComPtr<IOleInPlaceSite> in_place_site_;
    com::ComPtr<IOleInPlaceFrame> frame_;
    com::ComPtr<IOleInPlaceUIWindow> document_window_;
    com::ComPtr<IOleAdviseHolder> advise_holder_;
    com::ComPtr<IMoniker> moniker_;
    std::wstring file_name_;

    RECT view_rect_{};
    bool has_view_rect_ = false;
    bool in_place_active_ = false;
    bool ui_active_ = false;
};

}  // namespace zn::page::win
