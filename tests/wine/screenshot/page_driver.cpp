// Drives `znhost gui` from another process as a user's keyboard and mouse would: keys are
// posted to the window that has the focus in znhost's thread, clicks to the middle of the
// control they land on; nothing calls into the page. Each command is one step of a journey,
// waits for its effect, prints what it saw, and exits 1 when the effect does not come.
//   page_driver wait                       the window shows the page; prints its geometry
//   page_driver choose TYPE                Down keys on the record type list until TYPE is chosen
//   page_driver type TEXT                  a click into the file field, then TEXT typed
//   page_driver type-at-once TEXT          TEXT typed where the focus is, which is the file field
//   page_driver browse-cancel              F7 in the field, Cancel clicked in the file dialog; the
//                                          caret is back in the field
//   page_driver tab-round                  Tab from the field: check box, Process, list, field
//   page_driver tick                       a click on the check box
//   page_driver process                    Tab from the check box to Process, then Enter
//   page_driver answer CAPTION TEXT ok|cancel   a message box read; OK by Enter, Cancel by a click
//   page_driver close                      no box is open; the window's Close, and it goes
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

namespace {

constexpr int kWaitMs = 20000;

[[noreturn]] void fail(const std::wstring& what) {
    std::fwprintf(stderr, L"page_driver: %ls\n", what.c_str());
    std::exit(1);
}

bool wait_until(const std::function<bool()>& done, int timeout_ms = kWaitMs) {
    for (int waited = 0; waited < timeout_ms; waited += 50) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

HWND main_window() {
    const HWND w = FindWindowW(L"ZNHostGui", nullptr);
    return w && IsWindowVisible(w) ? w : nullptr;
}

DWORD gui_thread() {
    return GetWindowThreadProcessId(main_window(), nullptr);
}

HWND child(HWND parent, const wchar_t* window_class, const wchar_t* text = nullptr) {
    return parent ? FindWindowExW(parent, nullptr, window_class, text) : nullptr;
}

// Another process's control answers WM_GETTEXT itself (GetWindowText would not ask it).
std::wstring text_of(HWND window) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &copied);
    return buffer;
}

LRESULT ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

HWND focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(gui_thread(), &info) ? info.hwndFocus : nullptr;
}

// A key pressed and released where the focus is, as the keyboard delivers it.
void key(WPARAM code) {
    const HWND target = focus();
    if (!target) fail(L"no window has the focus");
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(code), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, code, scan | 1);
    PostMessageW(target, WM_KEYUP, code, scan | 1 | (1 << 30) | (1u << 31));
}

// A left click in the middle of the window.
void click(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

struct Page {
    HWND top = main_window();
    HWND page = child(top, L"ZNImportPhotosPage");
    HWND list = child(page, L"ComboBox");
    HWND frame = child(page, L"ZNImportPhotosFrame");
    HWND field = child(frame, L"ZNImportPhotosField");
    HWND edit = child(field, L"Edit");
    HWND process = child(frame, L"Button", L"Process");
    HWND check = [this] {
        for (HWND c = child(frame, L"Button"); c; c = FindWindowExW(frame, c, L"Button", nullptr))
            if ((GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX ||
                (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_CHECKBOX)
                return c;
        return HWND{};
    }();

    static Page found() {
        Page p;
        if (!p.top || !p.page || !p.list || !p.edit || !p.process || !p.check)
            fail(L"the page's controls were not found");
        return p;
    }
};

struct DialogSearch {
    DWORD thread;
    const wchar_t* caption;  // any when null
    HWND found;
};

BOOL CALLBACK each_top_window(HWND w, LPARAM p) {
    auto& s = *reinterpret_cast<DialogSearch*>(p);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (GetWindowThreadProcessId(w, nullptr) != s.thread || !IsWindowVisible(w) || wcscmp(cls, L"#32770") != 0)
        return TRUE;
    wchar_t title[256] = {};
    GetWindowTextW(w, title, 256);
    if (s.caption && wcscmp(title, s.caption) != 0) return TRUE;
    s.found = w;
    return FALSE;
}

// A visible dialog (message box, file dialog) of znhost's thread, by caption.
HWND dialog(const wchar_t* caption) {
    DialogSearch search{gui_thread(), caption, nullptr};
    EnumWindows(each_top_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring box_text(HWND box) {
    for (HWND c = child(box, L"Static"); c; c = FindWindowExW(box, c, L"Static", nullptr)) {
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        if (std::wstring t = text_of(c); !t.empty()) return t;
    }
    return {};
}

int wait_for_page() {
    if (!wait_until([] { return child(main_window(), L"ZNImportPhotosPage") != nullptr; }))
        fail(L"the znhost window with its page did not appear");
    const Page p = Page::found();
    if (GetParent(p.page) != p.top) fail(L"the page is not a child of the main window");
    RECT r{};
    GetWindowRect(p.top, &r);
    // Where the window lies on the screen, for cropping: WIDTHxHEIGHT+LEFT+TOP.
    std::printf("page_driver: the page is shown in the window\nwindow %ldx%ld+%ld+%ld\n", r.right - r.left,
                r.bottom - r.top, r.left, r.top);
    return 0;
}

int choose(const std::wstring& type) {
    const Page p = Page::found();
    for (int i = 0; i < 8 && text_of(p.list) != type; ++i) {
        PostMessageW(p.list, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(p.list, WM_KEYUP, VK_DOWN, 1 | (1 << 30) | (1u << 31));
        const std::wstring before = text_of(p.list);
        wait_until([&] { return text_of(p.list) != before; }, 2000);
    }
    if (text_of(p.list) != type) fail(L"the list did not come to " + type + L" (it shows " + text_of(p.list) + L")");
    std::printf("page_driver: chose %ls\n", type.c_str());
    return 0;
}

int type_text(const std::wstring& text) {
    const Page p = Page::found();
    click(p.edit);
    if (!wait_until([&] { return focus() == p.edit; })) fail(L"a click did not put the focus into the file field");
    for (wchar_t c : text) PostMessageW(p.edit, WM_CHAR, c, 1);
    if (!wait_until([&] { return text_of(p.edit) == text; }))
        fail(L"the field holds \"" + text_of(p.edit) + L"\" after typing");
    if (!wait_until([&] { return IsWindowEnabled(p.process) != FALSE; })) fail(L"Process stayed disabled");
    std::printf("page_driver: typed into the file field; Process enabled\n");
    return 0;
}

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    if (window) GetClassNameW(window, name, 64);
    return window ? name : L"no window";
}

int type_at_once(const std::wstring& text) {
    const Page p = Page::found();
    if (!wait_until([&] { return focus() == p.edit; }, 5000))
        fail(L"the file field does not have the focus: " + class_of(focus()) + L" has it");
    for (wchar_t c : text) PostMessageW(focus(), WM_CHAR, c, 1);
    if (!wait_until([&] { return text_of(p.edit) == text; }))
        fail(L"the field holds \"" + text_of(p.edit) + L"\" after typing");
    std::printf("page_driver: typed at once; the text is in the file field\n");
    return 0;
}

int tab_round() {
    const Page p = Page::found();
    if (focus() != p.edit) fail(L"the file field does not have the focus");
    const std::pair<HWND, const wchar_t*> stops[] = {
        {p.check, L"the check box"}, {p.process, L"Process"}, {p.list, L"the list"}, {p.edit, L"the file field"}};
    for (const auto& [stop, name] : stops) {
        key(VK_TAB);
        if (!wait_until([&] { return focus() == stop; }, 5000))
            fail(std::wstring(L"Tab did not come to ") + name + L": " + class_of(focus()) + L" has the focus");
    }
    std::printf("page_driver: Tab went round: check box, Process, list, file field\n");
    return 0;
}

int browse_cancel() {
    const Page p = Page::found();
    const std::wstring before = text_of(p.edit);
    if (focus() != p.edit) fail(L"the file field does not have the focus");
    key(VK_F7);
    HWND box = nullptr;
    if (!wait_until([&] { return (box = dialog(L"Select Database")) != nullptr; })) fail(L"F7 opened no file dialog");
    if (GetWindow(box, GW_OWNER) != p.top) fail(L"the file dialog is not owned by the main window");
    const HWND cancel = GetDlgItem(box, IDCANCEL);
    if (!cancel) fail(L"the file dialog has no Cancel");
    click(cancel);
    if (!wait_until([&] { return !IsWindow(box); })) fail(L"the file dialog stayed open after Cancel");
    if (text_of(p.edit) != before) fail(L"the cancelled dialog changed the field to " + text_of(p.edit));
    if (!wait_until([&] { return focus() == p.edit; }, 5000))
        fail(L"the caret did not come back to the field: " + class_of(focus()) + L" has the focus");
    std::printf("page_driver: F7 opened Select Database; cancelled; the field kept its text and the caret\n");
    return 0;
}

int tick() {
    const Page p = Page::found();
    click(p.check);
    if (!wait_until([&] { return ask(p.check, BM_GETCHECK) == BST_CHECKED; })) fail(L"a click did not tick the box");
    std::printf("page_driver: ticked \"%ls\"\n", text_of(p.check).c_str());
    return 0;
}

int process() {
    const Page p = Page::found();
    if (!wait_until([&] { return focus() == p.check; })) fail(L"the check box does not have the focus");
    key(VK_TAB);
    if (!wait_until([&] { return focus() == p.process; })) fail(L"Tab did not move the focus to Process");
    key(VK_RETURN);
    std::printf("page_driver: Tab to Process, Enter\n");
    return 0;
}

int answer(const std::wstring& caption, const std::wstring& text, const std::wstring& button) {
    HWND box = nullptr;
    if (!wait_until([&] { return (box = dialog(caption.c_str())) != nullptr; }))
        fail(L"no message box \"" + caption + L"\" appeared");
    const std::wstring shown = box_text(box);
    if (shown != text) fail(L"the box \"" + caption + L"\" says \"" + shown + L"\"");
    if (GetWindow(box, GW_OWNER) != main_window()) fail(L"the box is not owned by the main window");
    if (button == L"ok") {
        if (!wait_until([&] { return focus() && GetParent(focus()) == box; }))
            fail(L"nothing in the box has the focus");
        key(VK_RETURN);
    } else {
        const HWND cancel = GetDlgItem(box, IDCANCEL);
        if (!cancel || !IsWindowVisible(cancel)) fail(L"the box has no Cancel");
        click(cancel);
    }
    if (!wait_until([&] { return !IsWindow(box); })) fail(L"the box stayed open");
    std::printf("page_driver: box %ls | %ls -> %ls\n", caption.c_str(), shown.c_str(),
                button == L"ok" ? L"OK (Enter)" : L"Cancel (click)");
    return 0;
}

int close_window() {
    const HWND top = main_window();
    if (!top) fail(L"no znhost window to close");
    Sleep(500);  // a box that was still to come has come by now
    if (const HWND box = dialog(nullptr)) {
        wchar_t title[256] = {};
        GetWindowTextW(box, title, 256);
        fail(std::wstring(L"a box is open: ") + title + L" | " + box_text(box));
    }
    PostMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!wait_until([&] { return !IsWindow(top); }, 30000)) fail(L"the window did not close");
    std::printf("page_driver: closed the window\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (argc == 2 && command == L"wait") return wait_for_page();
    if (argc == 3 && command == L"choose") return choose(argv[2]);
    if (argc == 3 && command == L"type") return type_text(argv[2]);
    if (argc == 3 && command == L"type-at-once") return type_at_once(argv[2]);
    if (argc == 2 && command == L"tab-round") return tab_round();
    if (argc == 2 && command == L"browse-cancel") return browse_cancel();
    if (argc == 2 && command == L"tick") return tick();
    if (argc == 2 && command == L"process") return process();
    if (argc == 5 && command == L"answer") return answer(argv[2], argv[3], argv[4]);
    if (argc == 2 && command == L"close") return close_window();
    std::fputs(
        "usage: page_driver wait | choose TYPE | type TEXT | browse-cancel | tick | process |\n"
        "       answer CAPTION TEXT ok|cancel | close\n",
        stderr);
    return 2;
}
