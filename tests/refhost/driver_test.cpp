// The driver acts as a user can: only on controls that are there, visible and enabled, with
// the focus moving as it would, and with a handler's error reported rather than lost.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/ui_test_layout.h"
#include "refhost/driver/driver.h"

namespace zn::refhost {
namespace {

using namespace ui;
using namespace ui::headless;

class DriverTest : public ::testing::Test {
protected:
    HeadlessBackend backend;
    ScopedBackend scope{backend};
    std::unique_ptr<ControlSet> set = backend.create_controls(ui::testing::kTestLayout);
    Driver driver{backend};
};

TEST_F(DriverTest, FindsTheLatestPageUnlessOneIsChosen) {
    auto second = backend.create_controls(ui::testing::kTestLayout);
    EXPECT_EQ(&driver.page(), second.get());
    driver.use(dynamic_cast<HeadlessControlSet*>(set.get()));
    EXPECT_EQ(&driver.page(), set.get());
    set.reset();  // the chosen page went away: back to the latest
    EXPECT_EQ(&driver.page(), second.get());
    second.reset();
    EXPECT_THROW(driver.page(), DriverError);
}

TEST_F(DriverTest, RefusesControlsAUserCannotReach) {
    EXPECT_THROW(driver.click(u"missing"), DriverError);
    EXPECT_THROW(driver.click(u"label"), DriverError);  // not a button
    set->get<CommandButton>(u"button").set_enabled(false);
    EXPECT_THROW(driver.click(u"button"), DriverError);
    EXPECT_THROW(driver.type(u"bar", u"x"), DriverError);
    set->get<ButtonEdit>(u"field").set_visible(false);
    EXPECT_THROW(driver.type(u"field", u"x"), DriverError);
    EXPECT_THROW(driver.give_focus(u"label"), DriverError);
    EXPECT_THROW(driver.choose(u"list", u"not there"), DriverError);
}

TEST_F(DriverTest, ClickGivesTheButtonTheFocusAndPassesItsIndex) {
    std::vector<std::int16_t> indexes;
    set->get<CommandButton>(u"button").click.connect([&](std::int16_t i) { indexes.push_back(i); });
    driver.click(u"button");
    driver.click(u"button", 0);
    EXPECT_EQ(indexes, (std::vector<std::int16_t>{0, 0}));
    EXPECT_EQ(driver.focused(), u"button");
}

TEST_F(DriverTest, TypingGivesTheFocusFirstThenChangesOncePerCharacter) {
    auto& field = set->get<ButtonEdit>(u"field");
    std::vector<std::u16string> events;
    field.got_focus.connect([&] {
        events.push_back(u"focus");
        field.set_sel_start(0);
        field.set_sel_length(static_cast<std::int32_t>(field.text().size()));
    });
    field.change.connect([&] { events.push_back(field.text()); });
    driver.type(u"field", u"ab");
    // The handler selected everything, so the first character replaced "start".
    EXPECT_EQ(events, (std::vector<std::u16string>{u"focus", u"a", u"ab"}));
    driver.type(u"field", u"c");  // already focused: no second got_focus
    EXPECT_EQ(driver.text(u"field"), u"abc");
    EXPECT_EQ(events.back(), u"abc");
    EXPECT_EQ(events.size(), 4u);
}

TEST_F(DriverTest, TypeOverReplacesTheWholeTextAndCanEmptyIt) {
    int changes = 0;
    set->get<ButtonEdit>(u"field").change.connect([&] { ++changes; });
    driver.type_over(u"field", u"new");
    EXPECT_EQ(driver.text(u"field"), u"new");
    driver.type_over(u"field", u"");
    EXPECT_EQ(driver.text(u"field"), u"");
    EXPECT_EQ(changes, 4);  // n, ne, new, then the erase
}

TEST_F(DriverTest, ChoosingAnEntryRaisesClickAndTickingSetsTheValue) {
    auto& list = set->get<DropDownList>(u"list");
    list.add_item(u"One");
    list.add_item(u"Two");
    std::u16string clicked;
    list.click.connect([&] { clicked = list.text(); });
    driver.choose(u"list", u"Two");
    EXPECT_EQ(clicked, u"Two");
    EXPECT_EQ(driver.entries(u"list"), (std::vector<std::u16string>{u"One", u"Two"}));
    driver.tick(u"check", true);
    EXPECT_EQ(driver.value(u"check"), 1);
    driver.tick(u"check", false);
    EXPECT_EQ(driver.value(u"check"), 0);
}

TEST_F(DriverTest, TabWalksTheTabOrderAndWrapsAround) {
    std::vector<std::u16string> visited;
    for (int i = 0; i < 7; ++i) visited.push_back(driver.tab());
    EXPECT_EQ(visited,
              (std::vector<std::u16string>{u"field", u"check", u"button", u"list", u"short", u"locked", u"field"}));
}

TEST_F(DriverTest, PressKeyReportsWhatTheHandlerLeft) {
    set->get<ButtonEdit>(u"field").key_down.connect([](std::int16_t& key, std::int16_t shift) {
        if (shift == 1) key = 0;
    });
    EXPECT_EQ(driver.press_key(u"field", 118), 118);
    EXPECT_EQ(driver.press_key(u"field", 118, 1), 0);
}

TEST_F(DriverTest, HandlerErrorsAreReportedUnlessRethrowIsAsked) {
    set->get<CommandButton>(u"button").click.connect(
        [](std::int16_t) { com::throw_error(E_ACCESSDENIED, u"refused"); });
    EXPECT_NO_THROW(driver.click(u"button"));
    ASSERT_EQ(driver.event_errors().size(), 1u);
    EXPECT_EQ(driver.event_errors()[0].control, u"button");
    EXPECT_EQ(driver.transcript().back().prompt, u"refused");

    driver.set_rethrow_event_errors(true);
    try {
        driver.click(u"button");
        ADD_FAILURE() << "the handler's error was not rethrown";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.code(), E_ACCESSDENIED);
    }
    EXPECT_EQ(driver.event_errors().size(), 1u);
}

TEST_F(DriverTest, ScriptedFileChoiceReachesTheBrowseHandler) {
    auto& field = set->get<ButtonEdit>(u"field");
    auto& dialog = set->get<FileDialog>(u"dialog");
    std::vector<std::int16_t> buttons;
    field.button_click.connect([&](std::int16_t b) {
        buttons.push_back(b);
        dialog.show_open();
        field.set_text(dialog.file_name());
    });
    driver.choose_file(u"/tmp/x.csv");
    driver.browse(u"field");
    EXPECT_EQ(driver.text(u"field"), u"/tmp/x.csv");
    EXPECT_EQ(buttons.size(), 1u);
    EXPECT_EQ(driver.dialog_showings().size(), 1u);
}

}  // namespace
}  // namespace zn::refhost
