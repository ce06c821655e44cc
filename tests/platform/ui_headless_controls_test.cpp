// The headless controls behave as the platform's controls do where the page relies on them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/ui/headless/headless_backend.h"
#include "ui_test_layout.h"

namespace zn::ui::headless {
namespace {

class HeadlessControlsTest : public ::testing::Test {
protected:
    HeadlessBackend backend;
    std::unique_ptr<ControlSet> set = backend.create_controls(testing::kTestLayout);

    template <class T>
    T& get(std::u16string_view name) {
        return dynamic_cast<T&>(set->get<Control>(name));
    }
};

HRESULT code_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e.code();
    }
    return S_OK;
}

TEST_F(HeadlessControlsTest, BuildsEveryControlOfTheLayoutWithItsDesignSettings) {
    EXPECT_EQ(get<HeadlessButtonEdit>(u"field").text(), u"start");
    EXPECT_EQ(get<HeadlessFileDialog>(u"dialog").dialog_title(), u"Pick one");
    EXPECT_FALSE(get<HeadlessProgressBar>(u"bar").visible());
    EXPECT_EQ(get<HeadlessProgressBar>(u"bar").max(), 100.0f);
    EXPECT_EQ(get<HeadlessLabel>(u"label").caption(), u"Hello");
    EXPECT_EQ(get<HeadlessCommandButton>(u"button").caption(), u"Go");
    // A control array's element 0 is found by its name alone and by its index.
    EXPECT_EQ(set->find(u"button"), set->find(u"button", 0));
    EXPECT_EQ(set->find(u"button", 1), nullptr);
    EXPECT_THROW(set->get<Label>(u"button"), MissingControl);
    EXPECT_THROW(set->get<Label>(u"nothing"), MissingControl);
}

TEST_F(HeadlessControlsTest, ListTextSelectsWithoutClickAndIndexSelectsWithClick) {
    auto& list = get<HeadlessDropDownList>(u"list");
    int clicks = 0;
    std::u16string text_in_click;
    list.click.connect([&] {
        ++clicks;
        text_in_click = list.text();
    });
    list.add_item(u"A");
    list.add_item(u"B");
    EXPECT_EQ(list.list_index(), -1);
    EXPECT_EQ(list.text(), u"");

    list.set_text(u"B");
    EXPECT_EQ(list.list_index(), 1);
    EXPECT_EQ(clicks, 0);

    list.set_list_index(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(text_in_click, u"A");  // the choice is made before the handler runs

    list.set_list_index(-1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.text(), u"");
}

TEST_F(HeadlessControlsTest, ListRefusesTextsAndIndexesItDoesNotHold) {
    auto& list = get<HeadlessDropDownList>(u"list");
    list.add_item(u"Student");
    list.set_text(u"Student");
    EXPECT_EQ(code_of([&] { list.set_text(u"student"); }), kTextReadOnly);  // exact, case included
    EXPECT_EQ(code_of([&] { list.set_list_index(1); }), kInvalidPropertyValue);
    EXPECT_EQ(code_of([&] { (void)list.list(-1); }), kInvalidPropertyValue);
    EXPECT_EQ(list.text(), u"Student");  // a refused write changes nothing
}

TEST_F(HeadlessControlsTest, FieldRaisesChangeOnlyWhenTheTextChanges) {
    auto& field = get<HeadlessButtonEdit>(u"field");
    std::vector<std::u16string> seen;
    field.change.connect([&] { seen.push_back(field.text()); });
    field.set_text(u"start");
    field.set_text(u"next");
    field.set_text(u"");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"next", u""}));
}

TEST_F(HeadlessControlsTest, FieldSelectionIsClampedAndNegativeValuesAreRefused) {
    auto& field = get<HeadlessButtonEdit>(u"field");  // "start"
    field.set_sel_start(2);
    field.set_sel_length(100);
    EXPECT_EQ(field.sel_start(), 2);
    EXPECT_EQ(field.sel_length(), 3);
    field.set_sel_start(40);
    EXPECT_EQ(field.sel_start(), 5);
    EXPECT_EQ(field.sel_length(), 0);
    EXPECT_EQ(code_of([&] { field.set_sel_start(-1); }), kInvalidPropertyValue);
    EXPECT_EQ(code_of([&] { field.set_sel_length(-1); }), kInvalidPropertyValue);
    field.set_sel_start(1);
    field.set_text(u"other");
    EXPECT_EQ(field.sel_start(), 0);  // a written text collapses the selection to the start
}

TEST_F(HeadlessControlsTest, TypingReplacesTheSelectionAndKeysEdit) {
    auto& field = get<HeadlessButtonEdit>(u"field");  // "start"
    int changes = 0;
    field.change.connect([&] { ++changes; });
    field.set_sel_start(0);
    field.set_sel_length(5);
    field.type_char(u'x');
    EXPECT_EQ(field.text(), u"x");
    field.type_char(u'y');
    EXPECT_EQ(field.text(), u"xy");
    field.press_key(HeadlessButtonEdit::kKeyBack, 0);
    EXPECT_EQ(field.text(), u"x");
    field.set_sel_start(0);
    field.press_key(HeadlessButtonEdit::kKeyDelete, 0);
    EXPECT_EQ(field.text(), u"");
    field.press_key(HeadlessButtonEdit::kKeyBack, 0);  // nothing left to erase
    EXPECT_EQ(changes, 4);
}

TEST_F(HeadlessControlsTest, KeyDownHandlerSeesTheKeyAndCanSwallowIt) {
    auto& field = get<HeadlessButtonEdit>(u"field");  // "start"
    field.set_sel_start(5);
    std::int16_t seen_shift = -1;
    field.key_down.connect([&](std::int16_t& key, std::int16_t shift) {
        seen_shift = shift;
        if (key == HeadlessButtonEdit::kKeyBack) key = 0;
    });
    EXPECT_EQ(field.press_key(HeadlessButtonEdit::kKeyBack, 2), 0);
    EXPECT_EQ(seen_shift, 2);
    EXPECT_EQ(field.text(), u"start");
    EXPECT_EQ(field.press_key(118, 0), 118);
}

TEST_F(HeadlessControlsTest, MaximumLengthAndLockLimitTypingButNotTheProgram) {
    auto& limited = get<HeadlessButtonEdit>(u"short");
    for (char16_t c : std::u16string(u"abcdef")) limited.type_char(c);
    EXPECT_EQ(limited.text(), u"abc");
    limited.set_text(u"abcdef");
    EXPECT_EQ(limited.text(), u"abcdef");

    auto& locked = get<HeadlessButtonEdit>(u"locked");
    locked.set_sel_start(5);
    locked.type_char(u'!');
    locked.press_key(HeadlessButtonEdit::kKeyBack, 0);
    EXPECT_EQ(locked.text(), u"fixed");
}

TEST_F(HeadlessControlsTest, FocusGoesOnlyToEnabledVisibleControlsAndRaisesGotFocusOnce) {
    auto& headless = dynamic_cast<HeadlessControlSet&>(*set);
    auto& field = get<HeadlessButtonEdit>(u"field");
    int got = 0;
    field.got_focus.connect([&] { ++got; });
    field.set_focus();
    field.set_focus();
    EXPECT_EQ(got, 1);
    EXPECT_EQ(headless.focused(), &field);

    EXPECT_EQ(code_of([&] { headless.move_focus(get<HeadlessLabel>(u"label")); }), kInvalidProcedureCall);
    auto& other = get<HeadlessButtonEdit>(u"short");
    other.set_enabled(false);
    EXPECT_EQ(code_of([&] { other.set_focus(); }), kInvalidProcedureCall);
    EXPECT_EQ(headless.focused(), &field);

    headless.move_focus(get<HeadlessCheckBox>(u"check"));
    field.set_focus();
    EXPECT_EQ(got, 2);  // the focus came back
}

TEST_F(HeadlessControlsTest, TabOrderFollowsTabIndexAndSkipsWhatCannotTakeTheFocus) {
    auto& headless = dynamic_cast<HeadlessControlSet&>(*set);
    get<HeadlessButtonEdit>(u"short").set_enabled(false);
    std::vector<std::u16string> names;
    for (Control* c : headless.tab_order()) names.emplace_back(c->name());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"field", u"check", u"button", u"list", u"locked"}));
}

TEST_F(HeadlessControlsTest, CheckBoxTakesItsThreeValuesOnly) {
    auto& box = get<HeadlessCheckBox>(u"check");
    EXPECT_EQ(box.value(), 0);
    box.set_value(1);
    EXPECT_EQ(code_of([&] { box.set_value(3); }), kInvalidPropertyValue);
    EXPECT_EQ(box.value(), 1);
}

TEST_F(HeadlessControlsTest, ProgressBarAcceptsAnEmptyRangeAndValuesOutsideIt) {
    auto& bar = get<HeadlessProgressBar>(u"bar");
    bar.set_min(0);
    bar.set_max(0);
    EXPECT_NO_THROW(bar.set_value(0));
    EXPECT_EQ(bar.fill(), 0.0);
    bar.set_max(20);
    bar.set_value(10);
    EXPECT_DOUBLE_EQ(bar.fill(), 0.5);
    bar.set_value(25);  // past the end: drawn full
    EXPECT_DOUBLE_EQ(bar.fill(), 1.0);
    EXPECT_EQ(bar.value(), 25.0f);
    EXPECT_EQ(bar.value_history(), (std::vector<float>{0, 10, 25}));
}

TEST_F(HeadlessControlsTest, CancelledDialogKeepsItsFileNameAndRaisesOnlyWithCancelError) {
    auto& dialog = get<HeadlessFileDialog>(u"dialog");
    dialog.set_file_name(u"before.csv");
    backend.script_dialog_cancel();
    EXPECT_NO_THROW(dialog.show_open());
    EXPECT_EQ(dialog.file_name(), u"before.csv");

    dialog.set_cancel_error(true);
    backend.script_dialog_cancel();
    EXPECT_EQ(code_of([&] { dialog.show_open(); }), com::kCancelled);
    EXPECT_EQ(dialog.file_name(), u"before.csv");

    // Nothing scripted and no handler: the user closed the dialog.
    EXPECT_EQ(code_of([&] { dialog.show_open(); }), com::kCancelled);
}

TEST_F(HeadlessControlsTest, ConfirmedDialogHandsBackThePathAndRecordsHowItOpened) {
    auto& dialog = get<HeadlessFileDialog>(u"dialog");
    dialog.set_cancel_error(true);
    dialog.set_flags(6144);
    dialog.set_filter(u"*.csv");
    dialog.set_init_dir(u"C:\\data");
    dialog.set_file_name(u"old.csv");
    backend.script_file_choice(u"C:\\data\\new.csv");
    dialog.show_open();
    EXPECT_EQ(dialog.file_name(), u"C:\\data\\new.csv");

    backend.set_dialog_handler([](const DialogShowing& shown) { return shown.init_dir + u"\\handled.csv"; });
    dialog.set_init_dir(u"D:");
    dialog.show_open();
    EXPECT_EQ(dialog.file_name(), u"D:\\handled.csv");

    ASSERT_EQ(backend.dialog_showings().size(), 2u);
    const DialogShowing& first = backend.dialog_showings()[0];
    EXPECT_EQ(first.title, u"Pick one");
    EXPECT_EQ(first.flags, 6144);
    EXPECT_EQ(first.filter, u"*.csv");
    EXPECT_EQ(first.init_dir, u"C:\\data");
    EXPECT_EQ(first.file_name, u"old.csv");
    EXPECT_TRUE(first.cancel_error);
    EXPECT_FALSE(first.cancelled);
    EXPECT_EQ(first.chosen, u"C:\\data\\new.csv");
}

TEST_F(HeadlessControlsTest, ControlSetLeavesItsBackendWhenDestroyedAndOutlivesIt) {
    EXPECT_EQ(backend.control_sets().size(), 1u);
    auto second = std::make_unique<HeadlessBackend>();
    auto orphan = second->create_controls(testing::kTestLayout);
    second.reset();
    // The dialog of a set whose backend is gone can only be cancelled.
    auto& dialog = orphan->get<FileDialog>(u"dialog");
    dialog.set_cancel_error(true);
    EXPECT_EQ(code_of([&] { dialog.show_open(); }), com::kCancelled);
    set.reset();
    EXPECT_TRUE(backend.control_sets().empty());
}

}  // namespace
}  // namespace zn::ui::headless
