// The page inside Wine's WebBrowser control, for ./run screenshot.
//   browser_shot show    maps .vbd to the page's class for its own run, opens
//                        docZNImportPhotos.vbd (beside this program) in the browser in a window
//                        of its own, and keeps it until that window is closed;
//   browser_shot wait    waits until the page shows inside that window and prints where the
//                        window lies: "window WIDTHxHEIGHT+LEFT+TOP";
//   browser_shot close   closes the window.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "page/page_class.h"
#include "wine/browser_window.h"

namespace {

using zn::wine_test::BrowserWindow;
using zn::wine_test::find_descendant;

constexpr const wchar_t* kPageWindowClass = L"ZNImportPhotosPage";

std::wstring beside_this_program(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

int show() {
    const HRESULT ole = OleInitialize(nullptr);
    if (FAILED(ole)) return 1;
    int rc = 0;
    try {
        const std::string text(zn::page::kPageClassId);
        const zn::wine_test::DocumentContentType content_type(std::wstring(text.begin(), text.end()));
        BrowserWindow host(L"docZNImportPhotos.vbd in Wine's WebBrowser control", 440, 290);
        if (host.embed() != S_OK || host.navigate(beside_this_program(L"docZNImportPhotos.vbd")) != S_OK) {
            std::fputs("browser_shot: the browser could not be embedded or navigated\n", stderr);
            rc = 1;
        } else {
            // Runs until the window is closed; the page arrives while messages are handled.
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        host.close();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "browser_shot: %s\n", e.what());
        rc = 1;
    }
    OleUninitialize();
    return rc;
}

int wait_for_page() {
    for (int i = 0; i < 300; ++i) {
        const HWND top = FindWindowW(BrowserWindow::kWindowClass, nullptr);
        const HWND page = top ? find_descendant(top, kPageWindowClass) : nullptr;
        if (page && IsWindowVisible(page)) {
            RECT r{};
            GetWindowRect(top, &r);
            std::printf("window %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
            return 0;
        }
        Sleep(100);
    }
    std::fputs("browser_shot: the page did not appear inside the browser\n", stderr);
    return 1;
}

int close_window() {
    const HWND top = FindWindowW(BrowserWindow::kWindowClass, nullptr);
    if (!top) return 1;
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"show") == 0) return show();
    if (argc == 2 && std::wcscmp(argv[1], L"wait") == 0) return wait_for_page();
    if (argc == 2 && std::wcscmp(argv[1], L"close") == 0) return close_window();
    std::fputs("usage: browser_shot show | browser_shot wait | browser_shot close\n", stderr);
    return 2;
}
