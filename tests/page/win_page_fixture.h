// The page on screen, for the tests that drive it: the real page with the reference host, its
// controls as Win32 windows in a top-level window under Wine's display, driven by window messages
// as a user's input makes them. Message boxes and the file dialog are found and answered as a
// person would, by their buttons.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "import/import_run.h"
#include "page/import_page.h"
#include "page/page_layout.h"
#include "page/page_texts.h"
#include "platform/text/utf.h"
#include "platform/ui/app.h"
#include "platform/ui/win/win_backend.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace zn::page {

using ui::win::twips_to_pixels;
using ui::win::UniqueWindow;
using ui::win::Win32Backend;
using ui::win::WindowClass;

inline std::u16string text_of(HWND window) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(window, buffer, 4096);
    const std::wstring_view w(buffer);
    return {w.begin(), w.end()};
}

inline std::u16string class_of(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    const std::wstring_view w(buffer);
    return {w.begin(), w.end()};
}

inline std::wstring wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// Direct children of parent, in z-order (front first).
inline std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) found.push_back(c);
    return found;
}

// The direct child of that class whose text starts with text (any text when empty).
inline HWND child(HWND parent, std::u16string_view window_class, std::u16string_view text = {}) {
    for (HWND c : children(parent)) {
        if (lstrcmpiW(wide(class_of(c)).c_str(), wide(window_class).c_str()) != 0) continue;
        if (text.empty() || text_of(c).starts_with(text)) return c;
    }
    return nullptr;
}

// Where a window lies in its parent's client area.
inline RECT rect_in_parent(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A message box or dialog as it was shown.
struct Shown {
    std::u16string title;
    std::u16string text;
    bool ok = false;
    bool cancel = false;
    bool icon = false;
    bool bar_visible = false;
    HWND owner = nullptr;
    std::u16string filter;  // file dialog: the file type shown
    std::u16string folder;  // file dialog: the folder it opened in
};

// Answers the thread's message boxes and dialogs from a timer, which runs inside their modal
// loops: each one found gets the next answer, which reads it and clicks one of its buttons.
class Answerer {
public:
    using Answer = std::function<void(HWND box, Shown& shown)>;

    Answerer() {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, &Answerer::tick);
        EXPECT_NE(timer_, 0u);
    }
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;
    ~Answerer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    void then(Answer answer) { answers_.push_back(std::move(answer)); }
    std::vector<Shown> shown;
    HWND bar = nullptr;  // read at every showing

    static void click(HWND box, int id) {
        const HWND button = GetDlgItem(box, id);
        ASSERT_NE(button, nullptr) << "no button " << id;
        PostMessageW(button, BM_CLICK, 0, 0);
    }
    static Answer press(int id) {
        return [id](HWND box, Shown&) { click(box, id); };
    }

private:
    static BOOL CALLBACK each_window(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && class_of(window) == u"#32770") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        Answerer* self = current_;
        if (!self) return;
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), each_window, reinterpret_cast<LPARAM>(&box));
        if (!box || box == self->last_) return;
        self->last_ = box;
        Shown s;
        s.title = text_of(box);
        s.owner = GetWindow(box, GW_OWNER);
        for (HWND c : children(box)) {
            if (class_of(c) != u"Static" || !IsWindowVisible(c)) continue;
            if ((GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                s.icon = SendMessageW(c, STM_GETICON, 0, 0) != 0;
            else if (!text_of(c).empty())
                s.text = text_of(c);
        }
        const HWND ok = GetDlgItem(box, IDOK);
        const HWND cancel = GetDlgItem(box, IDCANCEL);
        s.ok = ok && IsWindowVisible(ok);
        s.cancel = cancel && IsWindowVisible(cancel);
        s.bar_visible = self->bar && IsWindowVisible(self->bar);
        self->shown.push_back(s);
        if (self->answers_.empty()) {
            ADD_FAILURE() << "unexpected box: " << text::to_utf8(s.title) << " | " << text::to_utf8(s.text);
            click(box, IDCANCEL);
            return;
        }
        const Answer answer = std::move(self->answers_.front());
        self->answers_.pop_front();
        answer(box, self->shown.back());
    }

    static inline Answerer* current_ = nullptr;
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;
    std::deque<Answer> answers_;
};

// The file dialog: its file type, its folder, and the file name to choose (none: Cancel).
inline Answerer::Answer file_dialog(std::optional<std::u16string> choose) {
    return [choose](HWND dialog, Shown& shown) {
        const HWND types = GetDlgItem(dialog, cmb1);
        const auto chosen = SendMessageW(types, CB_GETCURSEL, 0, 0);
        wchar_t buffer[MAX_PATH] = {};
        if (chosen >= 0)
            SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(buffer));
        shown.filter = std::u16string(buffer, buffer + wcslen(buffer));
        wchar_t folder[MAX_PATH] = {};
        SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
        shown.folder = std::u16string(folder, folder + wcslen(folder));
        if (!choose) {
            Answerer::click(dialog, IDCANCEL);
            return;
        }
        SetDlgItemTextW(dialog, cmb13, wide(*choose).c_str());
        Answerer::click(dialog, IDOK);
    };
}

inline LRESULT CALLBACK top_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

class PageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        top_.reset(CreateWindowExW(0, top_class_.name(), L"Page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 520,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(top_) << "no window (is there a display?) " << GetLastError();
        SetForegroundWindow(top_.get());
    }

    // A page set up for a host with these modules, shown in the window's client area.
    void open(std::set<LONG> modules, int dpi = 0) {
        page_ = nullptr;
        host_.config().install_modules(std::move(modules));
        backend_.set_dpi_override(dpi);
        page_ = create_import_page();
        const auto internal = page_.as<ImportPageInternal>();
        internal->InitializePage(session_);
        ASSERT_FALSE(backend_.pages().empty());
        window_ = backend_.pages().back();
        window_->attach(top_.get());
        RECT client{};
        GetClientRect(top_.get(), &client);
        window_->set_rect(client);
        pump();
        frame_ = child(page(), u"ZNImportPhotosFrame");
        list_ = child(page(), u"ComboBox");
        field_ = child(frame_, u"ZNImportPhotosField");
        edit_ = child(field_, u"Edit");
        browse_ = child(field_, u"Button");
        process_ = child(frame_, u"Button", u"Process");
        check_ = child(frame_, u"Button", u"Remove existing photos");
        bar_ = child(frame_, u"msctls_progress32");
        for (HWND c : children(frame_))
            if (class_of(c) == u"Static" && !text_of(c).starts_with(u"Select the type") &&
                !text_of(c).starts_with(u"Import file name:"))
                label2_ = c;
        for (HWND w : {frame_, list_, field_, edit_, browse_, process_, check_, bar_, label2_}) ASSERT_NE(w, nullptr);
    }

    HWND page() const { return window_->hwnd(); }
    void pump() { backend_.do_events(); }
    // A key as the keyboard sends it to the window with the focus, run through the loop.
    void key(WPARAM code, bool shift = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), WM_KEYDOWN, code, 1);
        PostMessageW(GetFocus(), WM_KEYUP, code, 1 | (1u << 30) | (1u << 31));
        pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    void type(std::u16string_view text) {
        for (char16_t c : text) PostMessageW(GetFocus(), WM_CHAR, c, 1);
        pump();
    }
    std::u16string list_entry(int i) const {
        wchar_t buffer[256] = {};
        SendMessageW(list_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        return std::u16string(buffer, buffer + wcslen(buffer));
    }

    WindowClass top_class_{L"ZNPageTestTop", top_procedure, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)};
    refhost::ReferenceHost host_;
    Win32Backend backend_;
    ui::ScopedBackend scope_{backend_};
    com::ComPtr<host::SessionContext> session_ = host_.new_session();
    UniqueWindow top_;
    com::ComPtr<IUnknown> page_;
    ui::win::PageWindow* window_ = nullptr;
    HWND frame_ = nullptr, list_ = nullptr, field_ = nullptr, edit_ = nullptr, browse_ = nullptr, process_ = nullptr,
         check_ = nullptr, bar_ = nullptr, label2_ = nullptr;
};

}  // namespace zn::page
