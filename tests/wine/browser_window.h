// Wine's own WebBrowser control (Shell.Explorer) hosted in a top-level window of ours, through
// the smallest control site that in-place activation needs; and the content-type chain by which
// that browser finds the page's class for a .vbd file. Shared by the WebBrowser test and the
// screenshot's program.
#pragma once

#include "platform/com/com.h"
// com.h first: it sets the SDK's options.
#include <exdisp.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/win/ole_interfaces.h"
#include "platform/ui/win/win_handles.h"

ZN_DECLARE_IID(IWebBrowser2, "{D30C1661-CDAF-11D0-8A3E-00C04FC9E26E}");

namespace zn::wine_test {

// Maps the .vbd extension to a content type and that type to the page's class in the prefix's
// HKEY_CLASSES_ROOT, the only way Wine's WebBrowser finds a document's server, and removes both
// again. Only tests do this: the product registers no extension (other programs own .vbd).
// Throws std::runtime_error when .vbd already names another content type or a key cannot be
// written.
class DocumentContentType {
public:
    static constexpr std::wstring_view kType = L"application/x-znimportphotos-test";

    explicit DocumentContentType(const std::wstring& page_class);
    DocumentContentType(const DocumentContentType&) = delete;
    DocumentContentType& operator=(const DocumentContentType&) = delete;
    ~DocumentContentType();
};

// Pumps this thread's messages until done() holds or timeout_ms pass; whether done() held. A
// WM_QUIT met on the way is put back for the caller's own loop.
bool pump_until(const std::function<bool()>& done, unsigned long timeout_ms);

// The first window below root, at any depth, of that class (case-insensitive) whose text starts
// with text (any text when empty); null when there is none.
HWND find_descendant(HWND root, std::wstring_view window_class, std::wstring_view text = {});

// A shown top-level window whose client area the WebBrowser fills once embedded. Closing the
// window (WM_CLOSE) posts WM_QUIT; it is destroyed with the object.
class BrowserWindow {
public:
    static constexpr const wchar_t* kWindowClass = L"ZNImportPhotosBrowserTest";

    BrowserWindow(const wchar_t* title, int client_width, int client_height);
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;
    ~BrowserWindow();

    // Creates the browser, gives it our site and activates it in place in the window.
    HRESULT embed();
    // Navigates the fresh browser to a file path or URL; the document arrives while messages
    // are pumped.
    HRESULT navigate(const std::wstring& target);
    // Hides the browser, closes it without saving, takes our site back and releases it, as a
    // container does when its form closes; Close's result.
    HRESULT close();
    // Destroys the top-level window (after close()).
    void destroy_window() { window_.reset(); }

    HWND window() const { return window_.get(); }
    // The browser's own in-place window (its IOleWindow), null before embed() or after close().
    HWND browser_window() const;
    IWebBrowser2* browser() const { return browser_.get(); }

private:
    ui::win::UniqueWindow window_;
    com::ComPtr<IOleClientSite> site_;
    com::ComPtr<IOleObject> object_;
    com::ComPtr<IWebBrowser2> browser_;
};

}  // namespace zn::wine_test
