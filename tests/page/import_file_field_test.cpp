// The import file field: browsing (button and F7), the focus selecting the whole path, and the
// Process button following the field's text.
#include <gtest/gtest.h>

#include "page/import_file_field.h"
#include "page_fixture.h"
#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "support/temp_folder.h"

namespace zn::page::testing {
namespace {

using ui::headless::DialogShowing;
using ui::headless::HeadlessButtonEdit;

constexpr std::u16string_view kField = u"se_ImportFileName";
constexpr std::u16string_view kCurrentDirectory = u"C:\\Users\\clerk";

class ImportFileFieldTest : public PageTest {
protected:
    ImportFileFieldTest() {
        set_up({host::kModuleHM, host::kModuleHV});
        backend.set_current_directory(std::u16string(kCurrentDirectory));
    }

    // Browses once, answering the dialog with path or (none) cancelling; returns how it opened.
    DialogShowing browse(std::optional<std::u16string> path) {
        if (path)
            driver.choose_file(*path);
        else
            driver.cancel_file_dialog();
        const std::size_t before = driver.dialog_showings().size();
        driver.browse(kField);
        EXPECT_EQ(driver.dialog_showings().size(), before + 1) << "the dialog was not shown";
        return driver.dialog_showings().back();
    }

    HeadlessButtonEdit& field() { return driver.control<HeadlessButtonEdit>(kField); }

    test::TempFolder folder;
};

// The dialog lets the host act: a host that lets go of the page meanwhile (ReleasePage, then
// its last reference) leaves a handler that writes nothing back and frees nothing under it.
TEST_F(ImportFileFieldTest, ThePageMayBeLetGoWhileTheDialogIsOpen) {
    const std::u16string chosen = folder.write("photos.csv");
    driver.type(kField, u"typed.csv");
    backend.set_dialog_handler([&](const DialogShowing&) -> std::optional<std::u16string> {
        internal->ReleasePage();
        return chosen;
    });
    driver.browse(kField);
    EXPECT_EQ(driver.text(kField), u"typed.csv") << "a released page took the chosen path";

    for (const bool by_key : {false, true}) {
        page = create_import_page();
        internal = page.as<ImportPageInternal>();
        set_up();
        backend.set_dialog_handler([&](const DialogShowing&) -> std::optional<std::u16string> {
            internal->ReleasePage();
            internal = nullptr;
            page = nullptr;
            return chosen;
        });
        if (by_key)
            driver.press_key(kField, kKeyF7);
        else
            driver.browse(kField);
        EXPECT_EQ(backend.dialog_showings().size(), by_key ? 3u : 2u);
        EXPECT_TRUE(backend.control_sets().empty()) << "the page is gone once its handler returned";
    }
    session = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(ImportFileFieldTest, EmptyFieldOpensInTheCurrentDirectoryAndTakesTheChosenPath) {
    const std::u16string chosen = folder.write("photos.csv");
    const DialogShowing shown = browse(chosen);
    EXPECT_EQ(shown.title, u"Select Database");
    EXPECT_TRUE(shown.cancel_error);
    EXPECT_EQ(shown.flags, 6144);
    EXPECT_EQ(shown.filter, u"*.csv");
    EXPECT_EQ(shown.init_dir, kCurrentDirectory);
    EXPECT_EQ(shown.file_name, u"");
    EXPECT_EQ(driver.text(kField), chosen);
    EXPECT_TRUE(driver.enabled(u"Command1"));
    EXPECT_TRUE(driver.transcript().empty());
}

TEST_F(ImportFileFieldTest, ExistingFileOpensInItsFolderWithItsName) {
    const std::u16string file = folder.write("list.csv");
    driver.type(kField, file);
    const DialogShowing shown = browse(std::nullopt);
    EXPECT_EQ(shown.init_dir, folder.path().u16string());
    EXPECT_EQ(shown.file_name, u"list.csv");
}

TEST_F(ImportFileFieldTest, CancellingLeavesTheFieldAsItWasWithoutAMessage) {
    const std::u16string file = folder.write("list.csv");
    driver.type(kField, file);
    host.clear_journal();
    browse(std::nullopt);
    EXPECT_EQ(driver.text(kField), file);  // not cut down to the name the dialog opened with
    EXPECT_TRUE(driver.transcript().empty());
    EXPECT_TRUE(driver.event_errors().empty());
}

TEST_F(ImportFileFieldTest, ExistingFolderOpensInItWithTheSeparatorAddedAndNoName) {
    driver.type(kField, folder.path().u16string());
    const DialogShowing shown = browse(std::nullopt);
    EXPECT_EQ(shown.init_dir, folder.path().u16string() + u"\\");
    EXPECT_EQ(shown.file_name, u"");
    // Asked as typed first, then with the separator.
    const auto asked = host.journal().calls_to("FileUtilities.FileExists");
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked[asked.size() - 2].args, "\"" + text::to_utf8(folder.path().u16string()) + "\"");
    EXPECT_EQ(asked.back().args, "\"" + text::to_utf8(folder.path().u16string()) + "\\\"");
}

TEST_F(ImportFileFieldTest, AnythingElseOpensInTheCurrentDirectoryWithTheNameLeftFromBefore) {
    const std::u16string file = folder.write("first.csv");
    driver.type(kField, file);
    browse(std::nullopt);  // leaves "first.csv" in the dialog
    driver.type_over(kField, u"no such thing");
    const DialogShowing shown = browse(std::nullopt);
    EXPECT_EQ(shown.init_dir, kCurrentDirectory);
    EXPECT_EQ(shown.file_name, u"first.csv");
}

TEST_F(ImportFileFieldTest, AFailedExistenceCheckCountsAsPassed) {
    host.config().fail("FileUtilities.FileExists", E_FAIL);
    const std::u16string missing = folder.path_of("missing.csv");
    driver.type(kField, missing);
    const DialogShowing shown = browse(std::nullopt);
    EXPECT_EQ(shown.init_dir, folder.path().u16string());
    EXPECT_EQ(shown.file_name, u"missing.csv");
    EXPECT_TRUE(driver.event_errors().empty());
}

TEST_F(ImportFileFieldTest, EveryFailingStepIsPassedOverAndTheDialogStillOpens) {
    host.config().fail("FileUtilities.FileExists", E_FAIL);
    host.config().fail("FileUtilities.GetPathPart", E_FAIL);
    driver.type(kField, u"C:\\x\\y.csv");
    const std::u16string chosen = folder.write("y.csv");
    const DialogShowing shown = browse(chosen);
    EXPECT_EQ(shown.init_dir, u"");  // never set
    EXPECT_EQ(shown.file_name, u"");
    EXPECT_EQ(driver.text(kField), chosen);
    EXPECT_TRUE(driver.transcript().empty());
    EXPECT_TRUE(driver.event_errors().empty());
}

TEST_F(ImportFileFieldTest, F7OpensTheDialogWhateverTheShiftStateAndKeepsItsKeyCode) {
    for (std::int16_t shift : {0, 1, 2, 4, 7}) {
        driver.cancel_file_dialog();
        EXPECT_EQ(driver.press_key(kField, 118, shift), 118);
    }
    EXPECT_EQ(driver.dialog_showings().size(), 5u);
    driver.press_key(kField, 117);  // F6
    driver.press_key(kField, 13);   // Enter
    EXPECT_EQ(driver.dialog_showings().size(), 5u);
    // F7 fills the field as the button does.
    const std::u16string chosen = folder.write("f7.csv");
    driver.choose_file(chosen);
    driver.press_key(kField, 118);
    EXPECT_EQ(driver.text(kField), chosen);
}

TEST_F(ImportFileFieldTest, ProcessFollowsWhetherTheFieldHoldsText) {
    EXPECT_FALSE(driver.enabled(u"Command1"));
    driver.type(kField, u"a");
    EXPECT_TRUE(driver.enabled(u"Command1"));
    driver.type(kField, u"b");
    driver.press_key(kField, HeadlessButtonEdit::kKeyBack);
    EXPECT_TRUE(driver.enabled(u"Command1"));
    driver.press_key(kField, HeadlessButtonEdit::kKeyBack);
    EXPECT_EQ(driver.text(kField), u"");
    EXPECT_FALSE(driver.enabled(u"Command1"));
    // Any text counts, spaces included: it is not examined.
    driver.type(kField, u" ");
    EXPECT_TRUE(driver.enabled(u"Command1"));
}

TEST_F(ImportFileFieldTest, GainingTheFocusSelectsTheWholeText) {
    driver.type(kField, u"C:\\a.csv");
    driver.tick(u"Check1", true);  // the focus leaves the field
    driver.give_focus(kField);
    EXPECT_EQ(field().sel_start(), 0);
    EXPECT_EQ(field().sel_length(), 8);
    driver.type(kField, u"x");  // replaces the whole path
    EXPECT_EQ(driver.text(kField), u"x");
}

TEST_F(ImportFileFieldTest, TheFocusOrderRunsFieldCheckBoxProcessList) {
    driver.type(kField, u"x");  // Process is enabled only once the field holds text
    std::vector<std::u16string> order;
    for (int i = 0; i < 5; ++i) order.push_back(driver.tab());
    EXPECT_EQ(order,
              (std::vector<std::u16string>{u"Check1", u"Command1", u"cboRecordType", u"se_ImportFileName", u"Check1"}));
}

}  // namespace
}  // namespace zn::page::testing
