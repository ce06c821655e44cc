// Drives the page that `znhost show` puts on screen, from another process, as a user's input
// would reach it: `page_driver prepare FILE` waits for the window, chooses the second record
// type with the Down key and types FILE into the file field; `page_driver close` closes the
// window. Used by ./run screenshot.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HWND find_child(HWND parent, const wchar_t* window_class) {
    return FindWindowExW(parent, nullptr, window_class, nullptr);
}

HWND wait_for_window() {
    for (int i = 0; i < 300; ++i) {
        if (const HWND w = FindWindowW(L"ZNHostShow", nullptr); w && IsWindowVisible(w)) return w;
        Sleep(100);
    }
    return nullptr;
}

// Waits until the window's thread has handled everything sent before.
void settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

int prepare(const wchar_t* file) {
    const HWND top = wait_for_window();
    if (!top) {
        std::fputs("page_driver: the znhost window did not appear\n", stderr);
        return 1;
    }
    const HWND page = find_child(top, L"ZNImportPhotosPage");
    const HWND list = page ? find_child(page, L"ComboBox") : nullptr;
    const HWND frame = page ? find_child(page, L"ZNImportPhotosFrame") : nullptr;
    const HWND field = frame ? find_child(frame, L"ZNImportPhotosField") : nullptr;
    const HWND edit = field ? find_child(field, L"Edit") : nullptr;
    if (!list || !edit) {
        std::fputs("page_driver: the page's controls were not found\n", stderr);
        return 1;
    }
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(list, WM_KEYUP, VK_DOWN, 1 | (1u << 30) | (1u << 31));
    settle(list);
    for (const wchar_t* c = file; *c; ++c) PostMessageW(edit, WM_CHAR, *c, 1);
    settle(edit);
    const HWND process = FindWindowExW(frame, nullptr, L"Button", L"Process");
    RECT r{};
    GetWindowRect(top, &r);
    wchar_t chosen[64] = {};
    // Asked of the list itself: another process's GetWindowText does not ask a control.
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(list, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(chosen), SMTO_NORMAL, 5000, &copied);
    std::printf("page_driver: chose %ls; typed; Process %s\n", chosen,
                process && IsWindowEnabled(process) ? "enabled" : "disabled");
    // Where the window lies on the screen, for cropping: WIDTHxHEIGHT+LEFT+TOP.
    std::printf("window %ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}

int close_window() {
    const HWND top = FindWindowW(L"ZNHostShow", nullptr);
    if (!top) return 1;
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"prepare") == 0) return prepare(argv[2]);
    if (argc == 2 && std::wcscmp(argv[1], L"close") == 0) return close_window();
    std::fputs("usage: page_driver prepare FILE | page_driver close\n", stderr);
    return 2;
}
