#include "wine/browser_window.h"

#include <algorithm>
#include <stdexcept>

#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/variant.h"

namespace zn::wine_test {
namespace {

constexpr GUID kWebBrowserClass = com::make_guid("{8856F961-340A-11D0-A96B-00C04FD705A2}");

std::wstring content_type_key() {
    return L"MIME\\Database\\Content Type\\" + std::wstring(DocumentContentType::kType);
}

void set_string(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    const LSTATUS rc = RegSetKeyValueW(HKEY_CLASSES_ROOT, key, name, REG_SZ, value.c_str(),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot write a content-type key");
}

std::wstring get_string(const wchar_t* key, const wchar_t* name) {
    wchar_t text[256] = {};
    DWORD bytes = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key, name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) return {};
    return text;
}

// The site of one embedded object: the client site, its in-place site and the frame, all
// answering for one top-level window. The browser needs no more to activate in place.
class Site final : public com::ComObject<Site, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame> {
public:
    explicit Site(HWND window) : window_(window) {}

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the in-place site and the frame alike
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override {
        if (!frame || !document || !position || !clip || !info) return E_POINTER;
        *frame = com::ComPtr<IOleInPlaceFrame>(this).detach();
        *document = nullptr;  // the frame is the only window with borders
        GetClientRect(window_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: no tool space, menus or status bar to share.
    HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

private:
    HWND window_;
};

struct DescendantSearch {
    std::wstring window_class;
    std::wstring_view text;
    HWND found = nullptr;
};

// EnumChildWindows visits every descendant, not only the direct children.
BOOL CALLBACK match_descendant(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<DescendantSearch*>(data);
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    if (lstrcmpiW(name, search.window_class.c_str()) != 0) return TRUE;
    if (!search.text.empty()) {
        std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
        caption.resize(
            static_cast<std::size_t>(GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
        if (!caption.starts_with(search.text)) return TRUE;
    }
    search.found = window;
    return FALSE;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

const ui::win::WindowClass& window_class() {
    static const ui::win::WindowClass c{BrowserWindow::kWindowClass, window_procedure, 0,
                                        reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1)};
    return c;
}

}  // namespace

DocumentContentType::DocumentContentType(const std::wstring& page_class) {
    const std::wstring present = get_string(L".vbd", L"Content Type");
    // A run that was cut short may have left our own mapping; another program's is not ours.
    if (!present.empty() && present != kType) throw std::runtime_error(".vbd already names another content type");
    set_string(L".vbd", L"Content Type", std::wstring(kType));
    set_string(content_type_key().c_str(), L"CLSID", page_class);
}

DocumentContentType::~DocumentContentType() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, content_type_key().c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".vbd");
}

bool pump_until(const std::function<bool()>& done, unsigned long timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return done();
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)),
                                  QS_ALLINPUT);
    }
}

HWND find_descendant(HWND root, std::wstring_view window_class, std::wstring_view text) {
    DescendantSearch search{std::wstring(window_class), text};
    EnumChildWindows(root, match_descendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BrowserWindow::BrowserWindow(const wchar_t* title, int client_width, int client_height) {
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, client_width, client_height};
    AdjustWindowRect(&r, style, FALSE);
    window_.reset(CreateWindowExW(0, window_class().name(), title, style, 0, 0, r.right - r.left, r.bottom - r.top,
                                  nullptr, nullptr, ui::win::this_module(), nullptr));
    if (!window_) throw std::runtime_error("cannot create the browser's window");
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    UpdateWindow(window_.get());
}

BrowserWindow::~BrowserWindow() {
    close();
}

HRESULT BrowserWindow::embed() {
    site_ = com::ComPtr<IOleClientSite>(com::make_object<Site>(window_.get()).get());
    HRESULT hr = CoCreateInstance(kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<IOleObject>(),
                                  object_.put_void());
    if (FAILED(hr)) return hr;
    hr = object_->QueryInterface(com::iid_of<IWebBrowser2>(), browser_.put_void());
    if (FAILED(hr)) return hr;
    // The browser makes its window as a child of the site's window when it gets the site.
    hr = object_->SetClientSite(site_.get());
    if (FAILED(hr)) return hr;
    RECT r{};
    GetClientRect(window_.get(), &r);
    return object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window_.get(), &r);
}

HRESULT BrowserWindow::navigate(const std::wstring& target) {
    if (!browser_) return E_UNEXPECTED;
    const com::Bstr url(std::u16string_view(com::u16(target.c_str()), target.size()));
    com::Variant empty;
    return browser_->Navigate(url.get(), &empty.get(), &empty.get(), &empty.get(), &empty.get());
}

HRESULT BrowserWindow::close() {
    if (!object_) return S_OK;
    object_->DoVerb(OLEIVERB_HIDE, nullptr, site_.get(), 0, window_.get(), nullptr);
    const HRESULT hr = object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    browser_ = nullptr;
    object_ = nullptr;
    site_ = nullptr;
    return hr;
}

HWND BrowserWindow::browser_window() const {
    if (!object_) return nullptr;
    const auto in_place = object_.try_as<IOleInPlaceObject>();
    HWND window = nullptr;
    if (!in_place || FAILED(in_place->GetWindow(&window))) return nullptr;
    return window;
}

}  // namespace zn::wine_test
