// The Win32 controls raise their events as the headless ones do, whoever makes the change: the
// page's code or a user's input, which arrives here as the window messages the keyboard makes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/ui/win/win_backend.h"
#include "platform/ui/win/win_control_set.h"
#include "ui_test_layout.h"

namespace zn::ui::win {
namespace {

HWND child_of_class(HWND parent, const wchar_t* window_class) {
    return FindWindowExW(parent, nullptr, window_class, nullptr);
}

HRESULT code_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const com::ComError& e) {
        return e.code();
    }
    return S_OK;
}

class Win32ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(backend.pages().size(), 0u);
        page = backend.pages().back()->hwnd();
        const HWND frame = child_of_class(page, L"ZNImportPhotosFrame");
        ASSERT_NE(frame, nullptr);
        edit = child_of_class(child_of_class(frame, L"ZNImportPhotosField"), L"Edit");
        combo = child_of_class(page, L"ComboBox");
        ASSERT_TRUE(edit && combo);
    }
    void pump() { backend.do_events(); }

    Win32Backend backend;
    std::unique_ptr<ControlSet> controls = backend.create_controls(testing::kTestLayout);
    ButtonEdit& field = controls->get<ButtonEdit>(u"field");
    DropDownList& list = controls->get<DropDownList>(u"list");
    HWND page = nullptr;
    HWND edit = nullptr;
    HWND combo = nullptr;
};

TEST_F(Win32ControlsTest, TheFieldRaisesChangeOncePerChangeAndSeesEveryKey) {
    int changes = 0;
    std::vector<std::pair<int, int>> keys;
    field.change.connect([&] { ++changes; });
    field.key_down.connect([&](std::int16_t& key, std::int16_t shift) {
        keys.emplace_back(key, shift);
        if (key == VK_F2) key = 0;  // taken by the handler: the field never sees it
    });
    EXPECT_EQ(field.text(), u"start");

    field.set_text(u"start");
    EXPECT_EQ(changes, 0) << "the same text is no change";
    field.set_text(u"other");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(field.sel_start(), 0);

    SendMessageW(edit, EM_SETSEL, 5, 5);
    for (wchar_t c : {L'1', L'2'}) PostMessageW(edit, WM_CHAR, c, 1);
    pump();
    EXPECT_EQ(field.text(), u"other12");
    EXPECT_EQ(changes, 3) << "one change per typed character";

    field.set_sel_start(0);
    field.set_sel_length(100);
    EXPECT_EQ(field.sel_length(), 7) << "the selection stops at the end";
    EXPECT_EQ(code_of([&] { field.set_sel_length(-1); }), kInvalidPropertyValue);

    PostMessageW(edit, WM_SYSKEYDOWN, VK_F7, 1 | (1 << 29));
    PostMessageW(edit, WM_KEYDOWN, VK_F2, 1);
    PostMessageW(edit, WM_KEYDOWN, VK_DELETE, 1);
    pump();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], std::make_pair(118, 4)) << "F7 with Alt";
    EXPECT_EQ(keys[1].first, VK_F2);
    EXPECT_EQ(keys[2].first, 46);
    EXPECT_EQ(field.text(), u"") << "Delete erased the selection";
    EXPECT_EQ(changes, 4);

    field.set_enabled(false);
    EXPECT_EQ(code_of([&] { field.set_focus(); }), kInvalidProcedureCall);
}

TEST_F(Win32ControlsTest, TheListRaisesClickForAChoiceOnly) {
    int clicks = 0;
    list.click.connect([&] { ++clicks; });
    list.add_item(u"Student");
    list.add_item(u"Applicant");
    EXPECT_EQ(list.list_count(), 2);

    list.set_text(u"Applicant");
    EXPECT_EQ(list.text(), u"Applicant");
    EXPECT_EQ(clicks, 0) << "setting the text is no choice";
    EXPECT_EQ(code_of([&] { list.set_text(u"student"); }), kTextReadOnly) << "entries compare with case";
    EXPECT_EQ(list.text(), u"Applicant");

    list.set_list_index(0);
    EXPECT_EQ(clicks, 1);
    list.set_list_index(-1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.text(), u"");
    EXPECT_EQ(code_of([&] { list.set_list_index(2); }), kInvalidPropertyValue);

    PostMessageW(combo, WM_KEYDOWN, VK_DOWN, 1);
    pump();
    EXPECT_EQ(list.list_index(), 0);
    EXPECT_EQ(clicks, 2) << "a choice by the keyboard";
}

TEST_F(Win32ControlsTest, TheYieldRunsWhatIsPendingAndLeavesTheQuitToTheLoopThatWaitsForIt) {
    list.add_item(u"Student");
    PostMessageW(combo, WM_KEYDOWN, VK_DOWN, 1);
    PostQuitMessage(7);
    backend.do_events();
    EXPECT_EQ(list.list_index(), 0) << "the key before the quit was handled";
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
}  // namespace zn::ui::win
