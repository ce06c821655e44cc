// The application services reach the thread's backend; the headless backend answers message
// boxes from its script and records everything shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "platform/ui/app.h"
#include "platform/ui/headless/headless_backend.h"

namespace zn::ui::headless {
namespace {

TEST(UiBackendTest, MessageBoxWithoutTitleShowsTheDefaultCaption) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    message_box(u"Invalid Import File");
    message_box(u"Photos imported successfully", kOkOnly | kInformation, u"Imported Student Photos");
    message_box(u"empty title", kOkOnly, u"");

    const auto& shown = backend.transcript();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].prompt, u"Invalid Import File");
    EXPECT_EQ(shown[0].title, u"ZNImportPhotos");
    EXPECT_FALSE(shown[0].own_title);
    EXPECT_EQ(shown[0].style, kOkOnly);
    EXPECT_EQ(shown[1].title, u"Imported Student Photos");
    EXPECT_EQ(shown[1].style, 64);
    EXPECT_TRUE(shown[1].own_title);
    // An empty title of its own is still a title of its own.
    EXPECT_EQ(shown[2].title, u"");
    EXPECT_TRUE(shown[2].own_title);
}

TEST(UiBackendTest, AnswersComeFromTheScriptThenTheHandlerThenTheFirstButton) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    backend.script_answers({Answer::Cancel, Answer::Ok});
    EXPECT_EQ(message_box(u"1", kOkCancel), Answer::Cancel);
    EXPECT_EQ(message_box(u"2", kOkCancel), Answer::Ok);
    EXPECT_EQ(message_box(u"3", kOkCancel), Answer::Ok);  // unscripted
    std::u16string asked;
    backend.set_message_box_handler([&](const MessageBoxRecord& shown) {
        asked = shown.prompt + u"|" + shown.title;
        return Answer::Cancel;
    });
    EXPECT_EQ(message_box(u"4", kOkCancel, u"Import Photos"), Answer::Cancel);
    EXPECT_EQ(asked, u"4|Import Photos");

    const auto& shown = backend.transcript();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(shown[0].scripted);
    EXPECT_FALSE(shown[2].scripted);
    EXPECT_TRUE(shown[3].scripted);
    EXPECT_EQ(shown[3].answer, Answer::Cancel);
    EXPECT_EQ(backend.pending_answers(), 0u);
}

TEST(UiBackendTest, CancelOnABoxWithOkAloneIsTakenAsOk) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    backend.script_answers({Answer::Cancel});
    EXPECT_EQ(message_box(u"only OK"), Answer::Ok);
    EXPECT_EQ(backend.transcript().back().answer, Answer::Ok);
}

TEST(UiBackendTest, ScopedBackendsNestAndStayOnTheirThread) {
    HeadlessBackend outer;
    HeadlessBackend inner;
    {
        ScopedBackend a(outer);
        EXPECT_EQ(&thread_backend(), &outer);
        {
            ScopedBackend b(inner);
            EXPECT_EQ(&thread_backend(), &inner);
            // Another thread has its own default backend.
            Backend* other = nullptr;
            std::thread([&] { other = &thread_backend(); }).join();
            EXPECT_NE(other, &inner);
            EXPECT_NE(other, &outer);
        }
        EXPECT_EQ(&thread_backend(), &outer);
    }
    EXPECT_NE(&thread_backend(), &outer);
    EXPECT_EQ(zn_ui_installed_backend(), nullptr);
}

#ifdef _WIN32
// On Windows the thread's own backend shows the system's box: OK is pressed on it, as a person would.
BOOL CALLBACK press_ok_on_box(HWND window, LPARAM) {
    wchar_t window_class[16] = {};
    GetClassNameW(window, window_class, 16);
    if (!IsWindowVisible(window) || lstrcmpW(window_class, L"#32770") != 0) return TRUE;
    PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    return FALSE;
}
void CALLBACK answer_boxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), press_ok_on_box, 0);
}
#endif

TEST(UiBackendTest, WithoutAnInstalledBackendTheThreadStillAnswers) {
    ASSERT_EQ(zn_ui_installed_backend(), nullptr);
#ifdef _WIN32
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, answer_boxes);
    ASSERT_NE(timer, 0u);
#endif
    EXPECT_EQ(message_box(u"nobody is watching", kOkCancel), Answer::Ok);
#ifdef _WIN32
    KillTimer(nullptr, timer);
#endif
    EXPECT_EQ(&thread_backend(), &thread_backend());
}

TEST(UiBackendTest, DoEventsRunsTheYieldHookEveryTime) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    int runs = 0;
    do_events();
    backend.set_yield_hook([&] {
        ++runs;
        if (runs == 1) do_events();  // a hook may yield again
    });
    do_events();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(backend.yield_count(), 3u);
}

TEST(UiBackendTest, MousePointerKeepsItsHistory) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    set_mouse_pointer(MousePointer::Hourglass);
    set_mouse_pointer(MousePointer::Default);
    EXPECT_EQ(backend.pointer_history(), (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
}

TEST(UiBackendTest, CurrentDirectoryIsTheProcessesUnlessOverridden) {
    HeadlessBackend backend;
    ScopedBackend scope(backend);
    EXPECT_EQ(std::filesystem::path(text::to_utf8(current_directory())), std::filesystem::current_path());
    backend.set_current_directory(u"C:\\work");
    EXPECT_EQ(current_directory(), u"C:\\work");
    backend.set_current_directory(std::nullopt);
    EXPECT_EQ(std::filesystem::path(text::to_utf8(current_directory())), std::filesystem::current_path());
}

TEST(UiBackendTest, EventErrorsAreShownAndRecordedWithTheirCode) {
    HeadlessBackend backend;
    backend.report_event_error(u"Command1", com::ComError(E_ACCESSDENIED, u"no access"));
    backend.report_event_error(u"Check1", std::runtime_error("plain"));
    ASSERT_EQ(backend.event_errors().size(), 2u);
    EXPECT_EQ(backend.event_errors()[0].code, E_ACCESSDENIED);
    EXPECT_EQ(backend.event_errors()[0].control, u"Command1");
    EXPECT_EQ(backend.event_errors()[1].code, E_FAIL);
    EXPECT_EQ(backend.event_errors()[1].description, u"plain");
    ASSERT_EQ(backend.transcript().size(), 2u);
    EXPECT_EQ(backend.transcript()[0].prompt, u"no access");
    EXPECT_EQ(backend.transcript()[0].title, u"ZNImportPhotos");
}

}  // namespace
}  // namespace zn::ui::headless
