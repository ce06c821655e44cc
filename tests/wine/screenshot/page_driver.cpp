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
//   page_driver colours                    every pixel of the page is one of the system's colours,
//                                          and each label shows its text (button text on button
//                                          face, both present, nothing else)
//   page_driver hear TYPE                  what a screen reader reads of each control (name, role,
//                                          value, description, shortcut, state), printed as a
//                                          table and checked, with TYPE the chosen record type
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// IAccessible by its identity, not through the import library (which defines it as code).
constexpr IID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Heard {
    std::wstring name, value, description, shortcut;
    LONG role = 0;
    LONG state = 0;
};

// What a screen reader reads of the window's client area, through the system, from this process.
Heard hear(HWND window) {
    Heard h;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        fail(L"no accessible object for a window of the page");
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*member)(VARIANT, BSTR*)) {
        BSTR out = nullptr;
        std::wstring result;
        if (SUCCEEDED((object->*member)(self, &out)) && out) result = out;
        SysFreeString(out);
        return result;
    };
    h.name = text(&IAccessible::get_accName);
    h.value = text(&IAccessible::get_accValue);
    h.description = text(&IAccessible::get_accDescription);
    h.shortcut = text(&IAccessible::get_accKeyboardShortcut);
    VARIANT v{};
    if (SUCCEEDED(object->get_accRole(self, &v)) && v.vt == VT_I4) h.role = v.lVal;
    VariantClear(&v);
    if (SUCCEEDED(object->get_accState(self, &v)) && v.vt == VT_I4) h.state = v.lVal;
    VariantClear(&v);
    object->Release();
    return h;
}

std::wstring role_name(LONG role) {
    wchar_t name[128] = {};
    if (role == 0 || !GetRoleTextW(static_cast<DWORD>(role), name, 128)) return L"-";
    return name;
}

std::wstring state_names(LONG state) {
    std::wstring names;
    for (LONG bit = 1; bit != 0 && bit <= state; bit <<= 1) {
        if (!(state & bit)) continue;
        wchar_t name[128] = {};
        GetStateTextW(static_cast<DWORD>(bit), name, 128);
        names += (names.empty() ? L"" : L", ") + std::wstring(name);
    }
    return names.empty() ? L"normal" : names;
}

std::wstring shown(const std::wstring& text) {
    if (text.empty()) return L"-";
    return text.size() > 48 ? L"\"" + text.substr(0, 45) + L"...\"" : L"\"" + text + L"\"";
}

int hear_page(const std::wstring& type) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const Page p = Page::found();
    const HWND browse = child(p.field, L"Button");
    const HWND bar = child(p.frame, L"msctls_progress32");
    const std::pair<const wchar_t*, HWND> windows[] = {
        {L"page", p.page},         {L"cboRecordType", p.list}, {L"Frame1", p.frame}, {L"field (holder)", p.field},
        {L"field (edit)", p.edit}, {L"browse button", browse}, {L"Check1", p.check}, {L"Command1", p.process},
        {L"pbarOverall", bar},
    };
    std::wstring failures;
    for (const auto& [what, window] : windows) {
        if (!window) fail(std::wstring(L"the page has no ") + what);
        const Heard h = hear(window);
        std::printf(
            "page_driver: %-15ls | name %ls | role %ls | value %ls | description %ls | shortcut %ls | state %ls\n",
            what, shown(h.name).c_str(), role_name(h.role).c_str(), shown(h.value).c_str(),
            shown(h.description).c_str(), shown(h.shortcut).c_str(), state_names(h.state).c_str());
        const auto expect = [&](bool ok, const wchar_t* said) {
            if (!ok) failures += std::wstring(L"; ") + what + L": " + said;
        };
        const std::wstring control(what);
        if (control == L"page") expect(h.name == L"Import Applicant/Student/Faculty/Individual Photos", L"page's name");
        if (control == L"cboRecordType") {
            expect(h.name == L"Select the type of record for photo importing", L"name");
            expect(h.value == type, L"value");
            expect(h.role == ROLE_SYSTEM_COMBOBOX, L"role");
        }
        if (control == L"Frame1") expect(h.role == ROLE_SYSTEM_GROUPING, L"role");
        if (control == L"field (edit)") {
            expect(h.name == L"Import file name", L"name");
            expect(h.description.starts_with(L"This plug-in will import " + type + L" photos"), L"description");
            expect(h.shortcut == L"F7", L"shortcut");
        }
        if (control == L"browse button") {
            expect(h.name == L"Browse for the import file", L"name");
            expect(h.shortcut == L"F7", L"shortcut");
            expect(h.role == ROLE_SYSTEM_PUSHBUTTON, L"role");
        }
        if (control == L"pbarOverall") expect(h.name == L"Import progress", L"name");
    }
    if (!failures.empty()) fail(L"a screen reader does not hear" + failures);
    std::printf("page_driver: a screen reader hears every control's name from another process\n");
    return 0;
}

// The page as the screen shows it, one COLORREF per pixel, row by row from the top.
struct Capture {
    RECT at{};
    std::vector<COLORREF> pixels;

    COLORREF pixel(int x, int y) const {
        return pixels[static_cast<std::size_t>(y - at.top) * static_cast<std::size_t>(at.right - at.left) +
                      static_cast<std::size_t>(x - at.left)];
    }
};

Capture capture(HWND window) {
    Capture c;
    GetClientRect(window, &c.at);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&c.at), 2);
    const int width = c.at.right - c.at.left;
    const int height = c.at.bottom - c.at.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, c.at.left, c.at.top, SRCCOPY);
    GdiFlush();
    const auto* bgrx = static_cast<const BYTE*>(bits);
    c.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < c.pixels.size(); ++i) c.pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return c;
}

std::wstring rgb(COLORREF c) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"%u %u %u", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

int check_colours() {
    const Page p = Page::found();
    Sleep(500);  // the caret and anything still to be drawn settle
    const Capture shot = capture(p.page);
    std::vector<COLORREF> scheme;
    for (int i = COLOR_SCROLLBAR; i <= COLOR_MENUBAR; ++i) scheme.push_back(GetSysColor(i));
    const auto in_scheme = [&](COLORREF c) { return std::find(scheme.begin(), scheme.end(), c) != scheme.end(); };
    std::size_t outside = 0;
    COLORREF first_outside = 0;
    for (COLORREF c : shot.pixels)
        if (!in_scheme(c) && outside++ == 0) first_outside = c;
    std::printf("page_driver: %zu pixels, %zu outside the system's colours; face %ls, text %ls\n", shot.pixels.size(),
                outside, rgb(GetSysColor(COLOR_BTNFACE)).c_str(), rgb(GetSysColor(COLOR_BTNTEXT)).c_str());
    if (outside)
        fail(L"the page draws " + std::to_wstring(outside) + L" pixels in colours outside the scheme, such as " +
             rgb(first_outside));
    // The list lies in front of the frame, over the end of the label before it.
    RECT in_front{};
    GetWindowRect(p.list, &in_front);
    int labels = 0;
    for (HWND c = child(p.frame, L"Static"); c; c = FindWindowExW(p.frame, c, L"Static", nullptr)) {
        if (!IsWindowVisible(c) || text_of(c).empty()) continue;
        RECT r{};
        GetWindowRect(c, &r);
        std::size_t face = 0, text = 0, other = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                if (PtInRect(&in_front, POINT{x, y})) continue;
                const COLORREF pixel = shot.pixel(x, y);
                pixel == GetSysColor(COLOR_BTNFACE) ? ++face : pixel == GetSysColor(COLOR_BTNTEXT) ? ++text : ++other;
            }
        if (!face || !text || other)
            fail(L"the label \"" + text_of(c).substr(0, 24) + L"\" does not show button text on button face (" +
                 std::to_wstring(text) + L" text, " + std::to_wstring(face) + L" face, " + std::to_wstring(other) +
                 L" other pixels)");
        ++labels;
    }
    if (labels != 3) fail(L"expected three labels with text, found " + std::to_wstring(labels));
    std::printf("page_driver: the page draws in the system's colours; its three labels show their text\n");
    return 0;
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
    if (focus() != p.edit) fail(L"the file field does not have the focus: " + class_of(focus()) + L" has it");
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
    if (focus() != p.edit) fail(L"the file field does not have the focus: " + class_of(focus()) + L" has it");
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
    if (argc == 3 && command == L"hear") return hear_page(argv[2]);
    if (argc == 2 && command == L"colours") return check_colours();
    std::fputs(
        "usage: page_driver wait | choose TYPE | type TEXT | browse-cancel | tick | process |\n"
        "       answer CAPTION TEXT ok|cancel | close | hear TYPE | colours\n",
        stderr);
    return 2;
}
