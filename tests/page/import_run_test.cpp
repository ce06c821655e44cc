// The import run against the reference host's record store: what each kind of line does,
// the record's lifecycle, the progress bar, the prompts, and how a run ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "host/host_objects.h"
#include "import/import_run.h"
#include "page/page_layout.h"
#include "page/page_state.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "platform/ui/backend.h"
#include "platform/ui/headless/headless_backend.h"
#include "platform/ui/headless/headless_controls.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace {

using zn::com::ComPtr;
using zn::ui::Answer;

class ImportRun : public ::testing::Test {
protected:
    ImportRun() {
        state_.session = host_.new_session();
        state_.file_utilities = zn::host::create_host_object<zn::host::FileUtilities>(zn::host::CLSID_FileUtilities);
        for (const char* type : {"Student", "Applicant", "Faculty/Staff", "Individual"})
            for (int id : {12, 14, 20, 21}) host_.records().add({type, id, "Person " + std::to_string(id), "old"});
    }
    // A file in the test's folder; its path as the import file names it.
    std::string write(const std::string& name, const std::string& bytes) {
        dir_.write(name, bytes);
        return (dir_ / name).string();
    }
    bool run(const std::string& csv, std::u16string_view type = u"Student") {
        const std::string path = write("import.csv", csv);
        zn::import::ImportRunPage page{state_.session, state_.file_utilities, controls_.progress_bar,
                                       controls_.remove_photos_check};
        return zn::import::ImportPhotos(page, zn::text::from_utf8(path), type);
    }
    std::optional<std::string> photo(const char* type, int id) { return host_.records().photo(type, id); }
    std::vector<std::u16string> prompts() const {
        std::vector<std::u16string> shown;
        for (const auto& box : backend_.transcript()) shown.push_back(box.prompt);
        return shown;
    }
    const std::vector<float>& progress() const {
        return dynamic_cast<zn::ui::headless::HeadlessProgressBar&>(controls_.progress_bar).value_history();
    }

    zn::ui::headless::HeadlessBackend backend_;
    zn::ui::ScopedBackend scope_{backend_};
    std::unique_ptr<zn::ui::ControlSet> control_set_ = backend_.create_controls(zn::page::import_page_layout());
    zn::page::PageControls controls_ = zn::page::PageControls::bind(*control_set_);
    zn::refhost::ReferenceHost host_;
    zn::page::PageState state_;
    zn::test::TempFolder dir_{"zn-run"};
};

TEST_F(ImportRun, StoresEachPhotoByteForByteAndClosesTheRecordAsItsClassNeeds) {
    std::string every_byte;
    for (int b = 0; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
    const std::string p = write("p.jpg", every_byte);
    const std::string csv =
        "12,"
        "Ann," +
        p + "\r\n14,Bob," + p + "\r\n";
    for (const char* type : {"Student", "Applicant", "Individual", "Faculty/Staff"}) {
        host_.clear_journal();
        ASSERT_TRUE(run(csv, zn::text::from_utf8(type))) << type;
        EXPECT_EQ(photo(type, 12), every_byte) << type;
        EXPECT_EQ(photo(type, 14), every_byte) << type;
        const std::string cls =
            std::string(type) == "Faculty/Staff" ? "FacultyStaffRecord" : std::string(type) + "Record";
        EXPECT_EQ(host_.journal().count(cls + ".Save"), 2u) << type;
        // Twice per record for three classes, once for Faculty/Staff.
        EXPECT_EQ(host_.journal().count(cls + ".CloseDown"), std::string(type) == "Faculty/Staff" ? 2u : 4u) << type;
        EXPECT_EQ(host_.journal().contains(cls + ".Load(12,0)"), true) << host_.journal().to_string();
    }
    EXPECT_TRUE(prompts().empty());
    EXPECT_FALSE(zn::files::is_open(1)) << "the import file is closed after the run";
    // Every record object and field set was released; only the test's own session and
    // FileUtilities remain.
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
    EXPECT_EQ(host_.live().of("FieldSet").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, ProgressCountsLinesEveryTenthAndAtTheEnd) {
    std::string csv;
    for (int i = 0; i < 25; ++i) csv += "0,x\r\n";  // invalid records, all answered OK
    backend_.script_answers({Answer::Ok});
    int yields = 0;
    backend_.set_yield_hook([&] { ++yields; });
    EXPECT_TRUE(run(csv));
    EXPECT_EQ(yields, 2) << "the run yields on every tenth line only";
    EXPECT_EQ(controls_.progress_bar.min(), 0.0f);
    EXPECT_EQ(controls_.progress_bar.max(), 25.0f);
    EXPECT_EQ(progress(), (std::vector<float>{0, 10, 20, 25}));
    EXPECT_EQ(prompts().size(), 25u);
}

TEST_F(ImportRun, AnExportsHeadingRowIsPassedOverOnlyOnLineOne) {
    const std::string p = write("p.jpg", "img");
    EXPECT_TRUE(run("System record ID,stsst_studentname,Photo\r\n12,Ann," + p + "\r\n", u"Faculty/Staff"));
    EXPECT_TRUE(prompts().empty());
    EXPECT_EQ(photo("Faculty/Staff", 12), "img");

    EXPECT_TRUE(run("12,Ann," + p + "\r\nSystem record ID,stsst_studentname,Photo\r\n"));
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0], u"Error processing record stsst_studentname");
    EXPECT_EQ(backend_.transcript()[0].title, u"Import Photos");
    EXPECT_EQ(backend_.transcript()[0].style, zn::ui::kOkCancel);
}

TEST_F(ImportRun, LinesThatNameNoRecordBringUpThePromptAndOkGoesOn) {
    const std::string p = write("p.jpg", "new");
    backend_.script_answers({Answer::Ok});
    EXPECT_TRUE(run("12,Ann," + p + "\r\n\r\n0,Zero,p\r\nabc,Letters,p\r\n-5,Minus,p\r\n14,,p\r\n20,Cy," + p + "\r\n"));
    EXPECT_EQ(prompts(), (std::vector<std::u16string>{u"Error processing record ", u"Error processing record Zero",
                                                      u"Error processing record Letters",
                                                      u"Error processing record Minus", u"Error processing record "}));
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(photo("Student", 20), "new") << "OK went on to the last line";
}

TEST_F(ImportRun, IdsRoundHalfToEvenAndAnIdBeyond32BitsFailsBeforeLoad) {
    const std::string p = write("p.jpg", "new");
    backend_.script_answers({Answer::Ok});
    EXPECT_TRUE(run("12.5,Half," + p + "\r\n13.5,Half," + p + "\r\n3000000000,Big," + p + "\r\n"));
    EXPECT_TRUE(host_.journal().contains("StudentRecord.Load(12,0)"));
    EXPECT_TRUE(host_.journal().contains("StudentRecord.Load(14,0)"));
    EXPECT_EQ(host_.journal().count("StudentRecord.Load"), 2u) << "the overflow fails before Load";
    EXPECT_EQ(prompts(), std::vector<std::u16string>{u"Error processing record Big"});
    // The record object of the failed line was closed down and released.
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, ARecordThatCannotBeLoadedIsClosedAndOfferedToSkip) {
    const std::string p = write("p.jpg", "new");
    backend_.script_answers({Answer::Ok});
    EXPECT_TRUE(run("99,Nobody," + p + "\r\n12,Ann," + p + "\r\n"));
    EXPECT_EQ(prompts(), std::vector<std::u16string>{u"Error processing record Nobody"});
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(host_.journal().count("StudentRecord.CloseDown"), 1u + 2u);
}

TEST_F(ImportRun, CancelEndsTheRunFalseAndKeepsWhatWasSaved) {
    const std::string p = write("p.jpg", "new");
    backend_.script_answers({Answer::Cancel});
    EXPECT_FALSE(run("12,Ann," + p + "\r\n0,Bad,x\r\n14,Bob," + p + "\r\n"));
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(progress().back(), 2.0f) << "the lines read so far";
    EXPECT_FALSE(zn::files::is_open(1));

    backend_.script_answers({Answer::Cancel});
    EXPECT_FALSE(run("99,Nobody," + p + "\r\n20,Cy," + p + "\r\n"));
    EXPECT_EQ(photo("Student", 20), "old");
    EXPECT_FALSE(zn::files::is_open(1));
}

TEST_F(ImportRun, AMissingPhotoClearsTheStoredOneOnlyWhenTheBoxIsTicked) {
    const std::string missing = (dir_ / "missing.jpg").string();
    EXPECT_TRUE(run("12,Ann," + missing + "\r\n14,Bob\r\n20,Cy,\r\n"));
    EXPECT_EQ(photo("Student", 12), "old");
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(host_.journal().count("StudentRecord.Load"), 0u);

    controls_.remove_photos_check.set_value(1);
    EXPECT_TRUE(run("12,Ann," + missing + "\r\n14,Bob\r\n20,Cy,\r\n"));
    EXPECT_EQ(photo("Student", 12), std::nullopt);
    EXPECT_EQ(photo("Student", 14), std::nullopt);
    EXPECT_EQ(photo("Student", 20), std::nullopt);
    EXPECT_TRUE(prompts().empty());
}

TEST_F(ImportRun, APhotoThatCannotBeReadLeavesTheStoredOneAlone) {
    const std::string p = write("p.jpg", "new");
    controls_.remove_photos_check.set_value(1);
    // The run's own existence check passes; the reader's check fails.
    host_.config().fail("FileUtilities.FileExists", E_ACCESSDENIED, u"The photo share is offline", 1, 1);
    EXPECT_TRUE(run("12,Ann," + p + "\r\n14,Bob," + p + "\r\n"));
    EXPECT_EQ(prompts(), std::vector<std::u16string>{u"The photo share is offline"});
    EXPECT_EQ(photo("Student", 12), "old") << "a failed read must not clear the photo";
    EXPECT_EQ(photo("Student", 14), "new");
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, AHostFailureOutsideLoadEndsTheRunWithTheFileClosed) {
    const std::string p = write("p.jpg", "new");
    host_.config().fail("StudentRecord.Save", E_FAIL, u"disk full", 1, 1);
    try {
        run("12,Ann," + p + "\r\n14,Bob," + p + "\r\n20,Cy," + p + "\r\n");
        FAIL() << "the run went on past a failed Save";
    } catch (const zn::com::ComError& e) {
        EXPECT_EQ(e.description(), u"disk full");
    }
    EXPECT_FALSE(zn::files::is_open(1)) << "a later run can open the file";
    EXPECT_EQ(photo("Student", 12), "new") << "what was saved before stays saved";
    EXPECT_EQ(photo("Student", 20), "old");
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
    EXPECT_TRUE(run("20,Cy," + p + "\r\n"));
    EXPECT_EQ(photo("Student", 20), "new");
}

TEST_F(ImportRun, EachInitMayHandBackAnotherSessionWhichThePageKeeps) {
    const std::string p = write("p.jpg", "new");
    host_.config().replace_context("StudentRecord.Init");
    ASSERT_TRUE(run("12,Ann," + p + "\r\n14,Bob," + p + "\r\n"));
    const auto inits = host_.journal().calls_to("StudentRecord.Init");
    ASSERT_EQ(inits.size(), 2u);
    EXPECT_NE(inits[0].args, inits[1].args) << "the second record got the session the first Init handed back";
    EXPECT_EQ(host_.name_of(state_.session.get()), "Session#3");
}

TEST_F(ImportRun, AnEmptyFileReadsNothingAndGoesThrough) {
    EXPECT_TRUE(run(""));
    EXPECT_EQ(controls_.progress_bar.max(), 0.0f);
    EXPECT_EQ(progress(), (std::vector<float>{0, 0}));
}

TEST_F(ImportRun, AnUnknownRecordTypeReadsAndTestsButWritesNothing) {
    const std::string p = write("p.jpg", "new");
    EXPECT_TRUE(run("12,Ann," + p + "\r\n", u"student"));
    EXPECT_EQ(host_.journal().count("FileUtilities.FileExists"), 1u);
    EXPECT_EQ(photo("Student", 12), "old");
}

TEST_F(ImportRun, StopsAtTheYieldWhenThePageWasReleasedMeanwhile) {
    const std::string p = write("p.jpg", "new");
    std::string csv;
    for (int i = 0; i < 25; ++i) csv += "12,Ann," + p + "\r\n";
    std::size_t calls_at_release = 0;
    backend_.set_yield_hook([&] {
        // The host closes the page down while the run yields.
        state_.session = nullptr;
        state_.file_utilities = nullptr;
        calls_at_release = host_.journal().entries().size();
    });
    EXPECT_FALSE(run(csv));
    EXPECT_EQ(host_.journal().entries().size(), calls_at_release) << "nothing called after the release";
    EXPECT_FALSE(zn::files::is_open(1));
    EXPECT_TRUE(prompts().empty());
}

TEST_F(ImportRun, APhotoThatVanishesAfterTheRunFoundItLeavesTheStoredOneAlone) {
    const std::string p = write("p.jpg", "new");
    // The file goes between the run's existence check and the reader's, while the record loads.
    host_.config().before_call = [&](const std::string& member) {
        if (member == "StudentRecord.Load") std::filesystem::remove(p);
    };
    for (const int box : {0, 1}) {
        controls_.remove_photos_check.set_value(box);
        write("p.jpg", "new");
        EXPECT_TRUE(run("12,Ann," + p + "\r\n"));
        EXPECT_EQ(photo("Student", 12), "old") << "the box was " << box;
    }
    EXPECT_EQ(host_.journal().count("StudentRecord.Save"), 0u);
    EXPECT_TRUE(prompts().empty());
}

TEST_F(ImportRun, APageLetGoOfDuringAMessageBoxEndsTheRunAtItsNextStep) {
    const std::string p = write("p.jpg", "new");
    std::size_t calls_at_release = 0;
    backend_.set_message_box_handler([&](const zn::ui::headless::MessageBoxRecord&) {
        // The host closes the page down while the user looks at the box.
        state_.session = nullptr;
        state_.file_utilities = nullptr;
        calls_at_release = host_.journal().entries().size();
        return Answer::Ok;
    });
    EXPECT_FALSE(run("99,Nobody," + p + "\r\n12,Ann," + p + "\r\n"));
    EXPECT_EQ(host_.journal().entries().size(), calls_at_release) << "nothing called after the release";
    EXPECT_EQ(photo("Student", 12), "old");
    EXPECT_FALSE(zn::files::is_open(1));
}

}  // namespace
