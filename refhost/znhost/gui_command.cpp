// znhost gui: the host's main window as an Active Document container. The plug-in is created
// and initialised as the host does, the document file that its URL names is bound through a
// file moniker and activated in the window's client area, and closing the window closes it all
// down again. Windows only: elsewhere there is no screen and no OLE to show it with.
#ifdef _WIN32
#include <windows.h>

#include <optional>
#include <string>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/text/utf.h"
#include "platform/ui/win/win_handles.h"
#include "refhost/components/reference_host.h"
#include "refhost/container/win/embedded_document.h"
#include "refhost/container/win/module_unload.h"
#include "refhost/container/win/ole_initialization.h"
#include "refhost/store/record_store.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/plugin_client.h"

namespace zn::refhost {
namespace {

constexpr wchar_t kPluginModule[] = L"ZNImportPhotos.dll";
// The main window's size when the document tells none, in pixels at 96 DPI.
constexpr SIZE kDefaultClientSize{455, 290};

// What the main window's procedure works on while the document is open.
struct GuiSession {
    host::IQWHostedPlugin* plugin = nullptr;
    win::EmbeddedDocument* document = nullptr;
    std::optional<com::ComError> error;  // the first failure inside the procedure
};

void keep_first(GuiSession& session, const com::ComError& e) {
    if (!session.error) session.error = e;
}

com::ComError named(const char* step, HRESULT hr) {
    try {
        com::check(hr);
    } catch (const com::ComError& e) {
        return com::ComError(e.code(), text::from_utf8(step) + u": " + e.description());
    }
    return com::ComError(hr);
}

void step(const char* name, HRESULT hr) {
    if (FAILED(hr)) throw named(name, hr);
}

LRESULT CALLBACK main_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* session = reinterpret_cast<GuiSession*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_SIZE:
            if (session && session->document) {
                try {
                    session->document->resize();
                } catch (const com::ComError& e) {
                    keep_first(*session, e);
                }
            }
            return 0;
        case WM_SETFOCUS:
            // The keyboard belongs to the active document, also when the window is activated again.
            if (session && session->document) session->document->focus();
            return 0;
        case WM_CLOSE:
            // The plug-in may keep the window open; a plug-in that fails to answer does not.
            if (session && session->plugin) {
                VARIANT_BOOL cancel = VARIANT_FALSE;
                if (const HRESULT hr = session->plugin->OnQueryUnload(&cancel, VARIANT_TRUE); FAILED(hr)) {
                    keep_first(*session, named("OnQueryUnload", hr));
                } else if (cancel) {
                    console::line("OnQueryUnload: cancel = True; the window stays open");
                    return 0;
                } else {
                    console::line("OnQueryUnload: cancel = False");
                }
            }
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

std::u16string hresult_text(HRESULT hr) {
    wchar_t buffer[16] = {};
    wsprintfW(buffer, L"0x%08lX", static_cast<unsigned long>(hr));
    return std::u16string(buffer, buffer + lstrlenW(buffer));
}

// The main window's outer size for a client area as large as the document's extent.
SIZE window_size_for(IOleObject& object) {
    SIZE client = kDefaultClientSize;
    const ui::win::WindowDc screen(nullptr);
    SIZEL extent{};  // HIMETRIC
    if (SUCCEEDED(object.GetExtent(DVASPECT_CONTENT, &extent)) && extent.cx > 0 && extent.cy > 0) {
        client.cx = MulDiv(extent.cx, GetDeviceCaps(screen.get(), LOGPIXELSX), 2540);
        client.cy = MulDiv(extent.cy, GetDeviceCaps(screen.get(), LOGPIXELSY), 2540);
    } else {
        client.cx = MulDiv(client.cx, GetDeviceCaps(screen.get(), LOGPIXELSX), 96);
        client.cy = MulDiv(client.cy, GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
    }
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// Every reference the plug-in and its page took is given back: the site's, the module's
// objects, the host's objects. Prints each and answers whether all were.
bool report_releases(const win::EmbeddedDocument& document, const ReferenceHost& host) {
    bool all = true;
    if (document.site_released()) {
        console::line("The page released the container's site");
    } else {
        console::line("The page still holds the container's site");
        all = false;
    }
    const std::optional<HRESULT> can_unload = win::loaded_module_can_unload(kPluginModule);
    if (can_unload == S_OK) {
        console::line("ZNImportPhotos.dll can unload: DllCanUnloadNow = S_OK");
    } else {
        console::line(u"ZNImportPhotos.dll cannot unload: " +
                      (can_unload ? u"DllCanUnloadNow = " + hresult_text(*can_unload) : u"it is not loaded"));
        all = false;
    }
    const LiveCounts live = host.live();
    if (live.objects() == 0) {
        console::line("Every host object was released");
    } else {
        console::line("Host objects still alive: " + live.to_string());
        all = false;
    }
    return all;
}

int gui(ReferenceHost& host) {
    com::ComPtr<host::IQWHostedPlugin> plugin;
    try {
        plugin = create_plugin();
    } catch (const com::ComError& e) {
        throw com::ComError(e.code(), u"create the plug-in: " + e.description());
    }
    step("OnInit", plugin->OnInit(host.application().get()));
    com::Bstr url;
    step("read URL", plugin->get_URL(url.receive()));

    GuiSession session;
    const ui::win::WindowClass window_class(L"ZNHostGui", main_window_procedure, CS_HREDRAW | CS_VREDRAW,
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    ui::win::UniqueWindow window(CreateWindowExW(
        0, window_class.name(), L"ZNImportPhotos - znhost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
        kDefaultClientSize.cx, kDefaultClientSize.cy, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window) com::throw_error(HRESULT_FROM_WIN32(GetLastError()), u"The window cannot be created.");
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&session));

    // Activated while the window is hidden, which then takes the document's size and shows.
    win::EmbeddedDocument document(window.get(), url.str(), {.binding = win::Binding::FileMoniker});
    session.document = &document;
    const SIZE size = window_size_for(*document.as<IOleObject>().get());
    SetWindowPos(window.get(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    com::ComPtr<IDispatch> page = document.as<IDispatch>();
    step("OnLoad", plugin->OnLoad(page.get()));
    session.plugin = plugin.get();
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    console::line(u"Showing the page of " + url.str() + u"; close the window to end.");

    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) {
            // No error info comes with a failed GetMessage: the code's own text describes it.
            const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
            keep_first(session, com::ComError(hr, u"GetMessage: " + com::standard_description(hr)));
            break;
        }
        if (document.translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    session.plugin = nullptr;
    session.document = nullptr;

    // A failure on the way still leaves the document to be taken down and the plug-in closed down.
    try {
        document.close();
    } catch (const com::ComError& e) {
        keep_first(session, e);
    }
    if (const HRESULT hr = plugin->OnClosedown(); FAILED(hr)) keep_first(session, named("OnClosedown", hr));
    page = nullptr;
    plugin = nullptr;
    window.reset();
    console::line("Closed down");
    if (session.error) console::failure("gui", *session.error);
    return report_releases(document, host) && !session.error ? kExitOk : kExitFailure;
}

}  // namespace

int run_gui(std::span<const std::string_view> args) {
    if (args.size() != 1) {
        console::error("usage: znhost gui DB");
        return kExitUsage;
    }
    const win::OleInitialization ole;
    if (FAILED(ole.result())) {
        console::failure("OleInitialize", com::ComError(ole.result()));
        return kExitFailure;
    }
    ReferenceHost host;
    try {
        host.open_database(path_from_utf8(args[0]));
    } catch (const store::StoreError& e) {
        console::error("znhost: " + std::string(e.what()));
        return kExitFailure;
    }
    try {
        return gui(host);
    } catch (const com::ComError& e) {
        console::failure("gui", e);
        return kExitFailure;
    }
}

}  // namespace zn::refhost
#endif
