// The Process command: the file check first, then the record type, the progress bar around
// the run, and the messages.
#include <gtest/gtest.h>

#include <set>

#include "host/host_objects.h"
#include "page/page_layout.h"
#include "page_fixture.h"
#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace zn::page::testing {
namespace {

using ui::headless::HeadlessButtonEdit;
using ui::headless::HeadlessProgressBar;

constexpr std::u16string_view kField = u"se_ImportFileName";

class ProcessTest : public PageTest {
protected:
    ProcessTest() { set_up({host::kModuleHM, host::kModuleHV}); }

    HeadlessProgressBar& bar() { return driver.control<HeadlessProgressBar>(u"pbarOverall"); }

    // A page with the run it really has, the Student records with photo "old", the type chosen;
    // returns the path of a photo file holding "new".
    std::string use_real_run(std::initializer_list<int> ids) {
        page = create_import_page();
        internal = page.as<ImportPageInternal>();
        set_up();
        for (int id : ids) host.records().add({"Student", id, "S", "old"});
        driver.choose(u"cboRecordType", u"Student");
        return text::to_utf8(folder.write("p.jpg", "new"));
    }

    test::TempFolder folder;
    std::u16string import_file = folder.write("import.csv", "1,Smith,a.jpg\r\n");
};

TEST_F(ProcessTest, RunsTheImportWithTheBarShownAndReportsSuccess) {
    driver.choose(u"cboRecordType", u"Student");
    driver.type(kField, import_file);
    bool bar_shown_in_run = false;
    on_run = [&](PageState&, PageControls& controls) {
        bar_shown_in_run = controls.progress_bar.visible();
        return true;
    };
    driver.click(u"Command1");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].file_name, import_file);
    EXPECT_EQ(runs[0].record_type, u"Student");
    EXPECT_TRUE(bar_shown_in_run);
    EXPECT_FALSE(driver.visible(u"pbarOverall"));
    ASSERT_EQ(driver.transcript().size(), 1u);
    EXPECT_EQ(driver.transcript()[0].prompt, u"Photos imported successfully");
    EXPECT_EQ(driver.transcript()[0].style, ui::kOkOnly | ui::kInformation);
    EXPECT_EQ(driver.transcript()[0].title, u"Imported Student Photos");
    EXPECT_TRUE(driver.enabled(u"Command1"));
}

TEST_F(ProcessTest, ACancelledRunHidesTheBarAndSaysNothing) {
    driver.type(kField, import_file);
    on_run = [](PageState&, PageControls&) { return false; };
    driver.click(u"Command1");
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_FALSE(driver.visible(u"pbarOverall"));
    EXPECT_TRUE(driver.transcript().empty());
}

TEST_F(ProcessTest, AMissingFileIsReportedFirstAndTheFocusReturnsToTheWholePath) {
    const std::u16string missing = folder.path_of("missing.csv");
    driver.type(kField, missing);
    driver.click(u"Command1");
    EXPECT_TRUE(runs.empty());
    ASSERT_EQ(driver.transcript().size(), 1u);
    EXPECT_EQ(driver.transcript()[0].prompt, u"Invalid Import File");
    EXPECT_EQ(driver.transcript()[0].style, ui::kOkOnly);
    EXPECT_EQ(driver.transcript()[0].title, u"ZNImportPhotos");
    EXPECT_FALSE(driver.transcript()[0].own_title);
    EXPECT_TRUE(bar().visibility_writes().empty());  // never shown
    EXPECT_FALSE(driver.enabled(u"Command1"));       // stays off until the text changes
    EXPECT_EQ(driver.focused(), kField);
    auto& field = driver.control<HeadlessButtonEdit>(kField);
    EXPECT_EQ(field.sel_start(), 0);
    EXPECT_EQ(static_cast<std::size_t>(field.sel_length()), missing.size());
    driver.type(kField, u"x");  // a change turns it back on
    EXPECT_TRUE(driver.enabled(u"Command1"));
}

TEST_F(ProcessTest, ASuccessTitleShowsTheTypeChosenDuringTheRun) {
    driver.type(kField, import_file);
    on_run = [&](PageState&, PageControls&) {
        driver.choose(u"cboRecordType", u"Individual");  // the user, during the run's yield
        return true;
    };
    driver.click(u"Command1");
    EXPECT_EQ(runs[0].record_type, u"Applicant");
    EXPECT_EQ(driver.transcript().back().title, u"Imported Individual Photos");
}

TEST_F(ProcessTest, AClickDuringARunStartsNoSecondRun) {
    driver.type(kField, import_file);
    on_run = [&](PageState&, PageControls&) {
        if (runs.size() == 1) driver.click(u"Command1");
        return true;
    };
    driver.click(u"Command1");
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_EQ(driver.transcript().size(), 1u);  // one success message
    driver.click(u"Command1");                  // once it is over, Process works again
    EXPECT_EQ(runs.size(), 2u);
}

TEST_F(ProcessTest, AnErrorFromTheRunHidesTheBarAndIsReported) {
    driver.type(kField, import_file);
    on_run = [](PageState&, PageControls&) -> bool { com::throw_error(com::kFileAlreadyOpen, u"File already open"); };
    driver.click(u"Command1");
    EXPECT_FALSE(driver.visible(u"pbarOverall"));
    ASSERT_EQ(driver.event_errors().size(), 1u);
    EXPECT_EQ(driver.event_errors()[0].code, com::kFileAlreadyOpen);
    EXPECT_EQ(driver.transcript().back().prompt, u"File already open");
}

TEST_F(ProcessTest, ThePageMayBeLetGoDuringTheRun) {
    driver.type(kField, import_file);
    on_run = [&](PageState&, PageControls&) {
        internal->ReleasePage();  // what the host's close-down does, from inside the yield
        internal = nullptr;
        page = nullptr;
        return true;
    };
    driver.click(u"Command1");
    EXPECT_EQ(driver.transcript().back().prompt, u"Photos imported successfully");
    EXPECT_TRUE(backend.control_sets().empty());  // gone once its handler returned
    session = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(ProcessTest, TheRealRunStopsAtAFailingSaveAndMemoryRunningOutReadsOutOfMemory) {
    const std::string p = use_real_run({1, 2, 3});
    std::string csv;
    for (int id = 1; id <= 12; ++id) csv += std::to_string(id <= 3 ? id : 1) + ",S," + p + "\r\n";
    driver.type(kField, folder.write("run.csv", csv));

    // What was saved before the failing Save stays; the user is told once and no success follows.
    host.config().fail("StudentRecord.Save", E_FAIL, u"disk full", 1, 1);
    driver.click(u"Command1");
    EXPECT_EQ(host.records().photo("Student", 1), "new");
    EXPECT_EQ(host.records().photo("Student", 2), "old");
    EXPECT_EQ(host.records().photo("Student", 3), "old");
    ASSERT_EQ(driver.transcript().size(), 1u);
    EXPECT_EQ(driver.transcript()[0].prompt, u"disk full");
    EXPECT_FALSE(driver.visible(u"pbarOverall"));

    // Memory running out in the run itself (here at its yield on the tenth line).
    backend.set_yield_hook([] { throw std::bad_alloc(); });
    driver.click(u"Command1");
    ASSERT_EQ(driver.transcript().size(), 2u);
    EXPECT_EQ(driver.transcript()[1].prompt, u"Out of memory");
    EXPECT_EQ(host.records().photo("Student", 3), "new") << "the lines before the yield were imported";
}

TEST_F(ProcessTest, TheRealRunAsksShowsAndReportsInThePagesWords) {
    const std::string p = use_real_run({1, 2});
    driver.type(kField, folder.write("run.csv", "0,Bad,x\r\n1,S," + p + "\r\n2,S," + p + "\r\n"));
    // The reader's own existence check for the first record fails.
    bool armed = false;
    host.config().before_call = [&](const std::string& member) {
        if (member != "StudentRecord.Load" || armed) return;
        armed = true;
        host.config().fail("FileUtilities.FileExists", E_ACCESSDENIED, u"The photo share is offline", 0, 1);
    };
    const std::size_t pointers_before = backend.pointer_history().size();
    driver.click(u"Command1");

    ASSERT_EQ(driver.transcript().size(), 3u);
    EXPECT_EQ(driver.transcript()[0].prompt, u"Error processing record Bad");
    EXPECT_EQ(driver.transcript()[0].title, u"Import Photos");
    EXPECT_EQ(driver.transcript()[0].style, ui::kOkCancel);
    EXPECT_EQ(driver.transcript()[1].prompt, u"The photo share is offline");
    EXPECT_EQ(driver.transcript()[1].style, ui::kOkOnly);
    EXPECT_FALSE(driver.transcript()[1].own_title);
    EXPECT_EQ(driver.transcript()[2].prompt, u"Photos imported successfully");
    EXPECT_EQ(host.records().photo("Student", 1), "old");
    EXPECT_EQ(host.records().photo("Student", 2), "new");
    EXPECT_EQ(bar().min(), 0.0f);
    EXPECT_EQ(bar().max(), 3.0f);
    EXPECT_EQ(bar().value_history(), (std::vector<float>{0, 3}));
    // The hourglass while each of the two photos was read.
    using ui::MousePointer;
    const std::vector<MousePointer> pointers(backend.pointer_history().begin() + pointers_before,
                                             backend.pointer_history().end());
    EXPECT_EQ(pointers, (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default,
                                                   MousePointer::Hourglass, MousePointer::Default}));
}

TEST_F(ProcessTest, TheRealPageKeepsTheSessionEachInitHandsBackAcrossRuns) {
    const std::string p = use_real_run({1, 2});
    host.config().replace_context("StudentRecord.Init");
    driver.type(kField, folder.write("run.csv", "1,S," + p + "\r\n2,S," + p + "\r\n"));
    driver.click(u"Command1");
    driver.click(u"Command1");
    const auto inits = host.journal().calls_to("StudentRecord.Init");
    ASSERT_EQ(inits.size(), 4u);
    const std::set<std::string> sessions{inits[0].args, inits[1].args, inits[2].args, inits[3].args};
    EXPECT_EQ(sessions.size(), 4u) << "an Init was given a session that an earlier one had replaced";
    EXPECT_EQ(host.records().photo("Student", 2), "new");
}

// The cases a user cannot reach through the page's controls, driven on the command itself.
class ProcessCommandTest : public ::testing::Test {
protected:
    ProcessCommandTest() {
        state.file_utilities = host::create_host_object<host::FileUtilities>(host::CLSID_FileUtilities);
    }

    void click(std::int16_t index = 0) {
        process_click(state, controls, index, [&](PageState&, PageControls&, std::u16string_view, std::u16string_view) {
            ++runs;
            return true;
        });
    }

    refhost::ReferenceHost host;
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    std::unique_ptr<ui::ControlSet> set = backend.create_controls(import_page_layout());
    PageControls controls = PageControls::bind(*set);
    PageState state;
    int runs = 0;
    test::TempFolder folder;
    std::u16string import_file = folder.write("import.csv", "x");
};

TEST_F(ProcessCommandTest, AnIndexOtherThanZeroDoesNothing) {
    controls.import_file_field.set_text(u"C:\\missing.csv");
    click(1);
    click(-1);
    EXPECT_TRUE(backend.transcript().empty());
    EXPECT_EQ(host.journal().count("FileUtilities.FileExists"), 0u);
    EXPECT_EQ(runs, 0);
}

TEST_F(ProcessCommandTest, WithoutAValidSystemTheBarStaysUpWhileTheMessageShows) {
    controls.import_file_field.set_text(import_file);
    state.record_type = record_type::kNoValidSystem;
    bool bar_up = false;
    backend.set_message_box_handler([&](const ui::headless::MessageBoxRecord&) {
        bar_up = controls.progress_bar.visible();
        return ui::Answer::Ok;
    });
    click();
    ASSERT_EQ(backend.transcript().size(), 1u);
    EXPECT_EQ(backend.transcript()[0].prompt,
              u"You do not have a valid system installed to proceed. Must have HM or HV installed.");
    EXPECT_EQ(backend.transcript()[0].title, u"No Valid System");
    EXPECT_EQ(backend.transcript()[0].style, ui::kOkOnly);
    EXPECT_TRUE(bar_up);
    EXPECT_FALSE(controls.progress_bar.visible());
    EXPECT_EQ(runs, 0);
}

TEST_F(ProcessCommandTest, AnyOtherTypeOutsideTheFourAsksForAValidOne) {
    controls.import_file_field.set_text(import_file);
    controls.record_type_list.add_item(u"student");  // case counts
    controls.record_type_list.set_text(u"student");
    state.record_type = u"student";
    click();
    ASSERT_EQ(backend.transcript().size(), 1u);
    EXPECT_EQ(backend.transcript()[0].prompt, u"Please select a valid record type from the drop down.");
    EXPECT_EQ(backend.transcript()[0].title, u"Invalid Record Type");
    EXPECT_EQ(runs, 0);
}

TEST_F(ProcessCommandTest, ABadFileAndABadTypeShowOnlyTheFileMessage) {
    controls.import_file_field.set_text(folder.path_of("nothing.csv"));
    state.record_type = record_type::kNoValidSystem;
    click();
    ASSERT_EQ(backend.transcript().size(), 1u);
    EXPECT_EQ(backend.transcript()[0].prompt, u"Invalid Import File");
    EXPECT_FALSE(controls.progress_bar.visible());
}

TEST_F(ProcessCommandTest, AnEmptyFieldLeavesProcessAsItWas) {
    controls.process_button.set_enabled(true);
    click();
    EXPECT_EQ(backend.transcript().at(0).prompt, u"Invalid Import File");
    EXPECT_TRUE(controls.process_button.enabled());
}

TEST_F(ProcessCommandTest, ARunWithoutFileUtilitiesFailsAsObjectNotSet) {
    state.file_utilities = nullptr;  // after ReleasePage
    controls.import_file_field.set_text(import_file);
    try {
        click();
        ADD_FAILURE() << "no error";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.code(), com::kObjectNotSet);
    }
    EXPECT_FALSE(controls.progress_bar.visible());
}

}  // namespace
}  // namespace zn::page::testing
