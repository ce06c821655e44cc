#include "platform/ui/win/win_backend.h"

#include <algorithm>
#include <optional>

#include "platform/com/com_error.h"
#include "platform/ui/win/win_control_set.h"
#include "platform/ui/win/win_text.h"

namespace zn::ui::win {
namespace {

const WindowClass& parking_class() {
    static const WindowClass parking{L"ZNImportPhotosParking", DefWindowProcW, 0, nullptr};
    return parking;
}

}  // namespace

Win32Backend::Win32Backend() = default;

Win32Backend::~Win32Backend() {
    for (Win32ControlSet* set : sets_) set->detach_backend();
}

HWND Win32Backend::parking_window() {
    if (!parking_) {
        parking_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, parking_class().name(), L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, this_module(), nullptr));
        if (!parking_)
            com::throw_error(HRESULT_FROM_WIN32(GetLastError()),
                             u"The page's windows cannot be created (is there a display?).");
    }
    return parking_.get();
}

std::unique_ptr<ControlSet> Win32Backend::create_controls(const PageLayout& layout) {
    auto set = std::make_unique<Win32ControlSet>(*this, layout);
    sets_.push_back(set.get());
    return set;
}

void Win32Backend::forget(Win32ControlSet* set) noexcept {
    std::erase(sets_, set);
}

std::vector<PageWindow*> Win32Backend::pages() const {
    return {sets_.begin(), sets_.end()};
}

bool Win32Backend::translate(const MSG& message) {
    // A page may go away while it handles the message: look at a copy of the list.
    const std::vector<Win32ControlSet*> sets = sets_;
    return std::any_of(sets.begin(), sets.end(), [&](Win32ControlSet* set) { return set->translate(message); });
}

HWND Win32Backend::owner_window() const {
    for (auto it = sets_.rbegin(); it != sets_.rend(); ++it)
        if (const HWND root = (*it)->shown_root()) return root;
    return GetActiveWindow();
}

Answer Win32Backend::message_box(const MessageBoxRequest& request) {
    const std::u16string title = request.title ? *request.title : std::u16string(kDefaultCaption);
    // The page's styles are the system's own numbers: OK 0, OK and Cancel 1, information 64.
    const int answer = MessageBoxW(owner_window(), wide(request.prompt), wide(title), static_cast<UINT>(request.style));
    if (answer == IDOK) return Answer::Ok;
    if (answer == IDCANCEL) return Answer::Cancel;
    const DWORD error = GetLastError();
    com::throw_error(error ? HRESULT_FROM_WIN32(error) : E_FAIL, u"The message box cannot be shown: " + request.prompt);
}

void Win32Backend::set_mouse_pointer(MousePointer pointer) {
    const bool changed = pointer != pointer_;
    pointer_ = pointer;
    // The pages are busy while the hourglass shows, and say so to screen readers.
    if (changed) {
        const std::vector<Win32ControlSet*> sets = sets_;
        for (Win32ControlSet* set : sets) set->busy_changed();
    }
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(pointer == MousePointer::Hourglass ? 32514 : 32512)));
}

void Win32Backend::do_events() {
    MSG message{};
    std::optional<WPARAM> quit;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = message.wParam;
            break;
        }
        if (translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The loop that waits for the quit is the caller's: give it back.
    if (quit) PostQuitMessage(static_cast<int>(*quit));
}

std::u16string Win32Backend::current_directory() {
    std::u16string folder(MAX_PATH, u'\0');
    for (;;) {
        const DWORD length =
            GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), reinterpret_cast<wchar_t*>(folder.data()));
        if (length == 0) com::throw_error(HRESULT_FROM_WIN32(GetLastError()), u"The current directory cannot be read.");
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

void Win32Backend::report_event_error(std::u16string_view, const std::exception& error) noexcept {
    try {
        message_box(MessageBoxRequest{com::describe(error).description, kOkOnly, std::nullopt});
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing may leave a window procedure
    }
}

}  // namespace zn::ui::win
