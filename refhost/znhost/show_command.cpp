// znhost show: the page on screen in a window of the host's own, with the plug-in's lifecycle
// around it as the host drives it. Windows only: elsewhere there is no screen to show it on.
#ifdef _WIN32
#include <windows.h>

#include <string>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/text/utf.h"
#include "platform/ui/win/win_backend.h"
#include "refhost/components/reference_host.h"
#include "refhost/container/document_container.h"
#include "refhost/store/record_store.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"

namespace zn::refhost {
namespace {

constexpr std::u16string_view kPluginProgId = u"ZNImportPhotos.cImportPhotoPlugin";
constexpr int kWindowTwipsWidth = 6225 + 600;  // the page with a margin for the frame's edge
constexpr int kWindowTwipsHeight = 4035 + 300;

// The window's page follows the window's size; closing the window ends the message loop.
LRESULT CALLBACK host_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* page = reinterpret_cast<ui::win::PageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_SIZE:
            if (page) page->set_rect(RECT{0, 0, LOWORD(lparam), HIWORD(lparam)});
            return 0;
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void step(const char* name, HRESULT hr) {
    if (FAILED(hr)) {
        try {
            com::check(hr);
        } catch (const com::ComError& e) {
            throw com::ComError(e.code(), text::from_utf8(name) + u": " + e.description());
        }
    }
}

int show(ReferenceHost& host, ui::win::Win32Backend& backend) {
    com::ComPtr<host::IQWHostedPlugin> plugin;
    CLSID clsid{};
    step("find the plug-in", CLSIDFromProgID(com::ole(kPluginProgId.data()), &clsid));
    step("create the plug-in", CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                                com::iid_of<host::IQWHostedPlugin>(), plugin.put_void()));
    step("OnInit", plugin->OnInit(host.application().get()));
    com::Bstr url;
    step("read URL", plugin->get_URL(url.receive()));
    // The window is made before the page so that it goes after it.
    const ui::win::WindowClass window_class(L"ZNHostShow", host_window_procedure, CS_HREDRAW | CS_VREDRAW,
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    ui::win::UniqueWindow window;
    com::ComPtr<IDispatch> page = open_document(url.view());
    step("OnLoad", plugin->OnLoad(page.get()));
    if (backend.pages().empty()) com::throw_error(E_UNEXPECTED, u"The page built no window.");
    ui::win::PageWindow& page_window = *backend.pages().back();

    RECT frame{0, 0, ui::win::twips_to_pixels(kWindowTwipsWidth, page_window.dpi()),
               ui::win::twips_to_pixels(kWindowTwipsHeight, page_window.dpi())};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    window.reset(CreateWindowExW(0, window_class.name(), L"ZNImportPhotos - znhost", WS_OVERLAPPEDWINDOW, 40, 40,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
    if (!window) com::throw_error(HRESULT_FROM_WIN32(GetLastError()), u"The window cannot be created.");
    page_window.attach(window.get());
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&page_window));
    RECT client{};
    GetClientRect(window.get(), &client);
    page_window.set_rect(client);
    ShowWindow(window.get(), SW_SHOW);
    UpdateWindow(window.get());
    console::line("Showing the page; close the window to end.");

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (backend.translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
    ShowWindow(window.get(), SW_HIDE);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    step("OnQueryUnload", plugin->OnQueryUnload(&cancel, VARIANT_TRUE));
    step("OnClosedown", plugin->OnClosedown());
    page = nullptr;
    plugin = nullptr;
    console::line("Closed down");
    return kExitOk;
}

}  // namespace

int run_show(std::span<const std::string_view> args) {
    if (args.size() != 1) {
        console::error("usage: znhost show DB");
        return kExitUsage;
    }
    // Declared first so that it outlives the page, whose controls it holds.
    ui::win::Win32Backend backend;
    ui::ScopedBackend use_backend(backend);
    ReferenceHost host;
    try {
        host.open_database(path_from_utf8(args[0]));
    } catch (const store::StoreError& e) {
        console::error("znhost: " + std::string(e.what()));
        return kExitFailure;
    }
    try {
        return show(host, backend);
    } catch (const com::ComError& e) {
        console::failure("show", e);
        return kExitFailure;
    }
}

}  // namespace zn::refhost
#endif
