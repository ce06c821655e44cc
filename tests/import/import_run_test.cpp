// The import run against the reference host's record store, through a page of the test's own:
// what each kind of line does, the record's lifecycle, the progress, the prompts, and how a
// run ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/host_objects.h"
#include "import/import_run.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace {

using zn::com::ComPtr;

// The page as the run sees it: its references, and a record of what the run showed and asked.
class FakePage final : public zn::import::RunPort {
public:
    ComPtr<zn::host::SessionContext> session_;
    ComPtr<zn::host::FileUtilities> files_;
    std::vector<float> progress;  // the values shown, from the start's 0
    float progress_max = -1;
    bool progress_started = false;        // the minimum set, before the lines are counted
    std::vector<std::u16string> prompts;  // the names of the failed lines asked about
    bool answer_go_on = true;
    bool remove_missing = false;
    int remove_missing_reads = 0;
    int yields = 0;
    std::function<void()> on_yield;
    std::function<void()> on_prompt;  // while the user looks at a prompt or a read failure
    std::vector<std::u16string> read_failures;

    // What the host's close-down does to the page.
    void release() {
        session_ = nullptr;
        files_ = nullptr;
    }

    ComPtr<zn::host::SessionContext>& session() override { return session_; }
    zn::host::FileUtilities* file_utilities() override { return files_.get(); }
    void start_progress() override { progress_started = true; }
    void size_progress(float max) override {
        progress_max = max;
        progress = {0};
    }
    void show_progress(float value) override { progress.push_back(value); }
    bool go_on_after_failed_line(std::u16string_view name) override {
        prompts.emplace_back(name);
        if (on_prompt) on_prompt();
        return answer_go_on;
    }
    bool remove_missing_photos() override {
        ++remove_missing_reads;
        return remove_missing;
    }
    bool yield() override {
        ++yields;
        if (on_yield) on_yield();
        return page_held();
    }
    void show_busy(bool) override {}
    void report_read_failure(std::u16string_view description) override {
        read_failures.emplace_back(description);
        if (on_prompt) on_prompt();
    }
};

class ImportRun : public ::testing::Test {
protected:
    ImportRun() {
        page_.session_ = host_.new_session();
        page_.files_ = zn::host::create_host_object<zn::host::FileUtilities>(zn::host::CLSID_FileUtilities);
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
        return zn::import::ImportPhotos(page_, zn::text::from_utf8(path), type);
    }
    std::optional<std::string> photo(const char* type, int id) { return host_.records().photo(type, id); }

    zn::refhost::ReferenceHost host_;
    FakePage page_;
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
    EXPECT_TRUE(page_.prompts.empty());
    EXPECT_FALSE(zn::files::is_open(1)) << "the import file is closed after the run";
    // Every record object and field set was released; only the test's own session and
    // FileUtilities remain.
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
    EXPECT_EQ(host_.live().of("FieldSet").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, ProgressCountsLinesEveryTenthAndAtTheEnd) {
    std::string csv;
    for (int i = 0; i < 25; ++i) csv += "0,x\r\n";  // invalid records, all answered OK
    EXPECT_TRUE(run(csv));
    EXPECT_EQ(page_.yields, 2) << "the run yields on every tenth line only";
    EXPECT_EQ(page_.progress_max, 25.0f);
    EXPECT_EQ(page_.progress, (std::vector<float>{0, 10, 20, 25}));
    EXPECT_EQ(page_.prompts.size(), 25u);
}

TEST_F(ImportRun, AnExportsHeadingRowIsPassedOverOnlyOnLineOne) {
    const std::string p = write("p.jpg", "img");
    EXPECT_TRUE(run("System record ID,stsst_studentname,Photo\r\n12,Ann," + p + "\r\n", u"Faculty/Staff"));
    EXPECT_TRUE(page_.prompts.empty());
    EXPECT_EQ(photo("Faculty/Staff", 12), "img");

    EXPECT_TRUE(run("12,Ann," + p + "\r\nSystem record ID,stsst_studentname,Photo\r\n"));
    EXPECT_EQ(page_.prompts, std::vector<std::u16string>{u"stsst_studentname"});
}

TEST_F(ImportRun, LinesThatNameNoRecordBringUpThePromptAndOkGoesOn) {
    const std::string p = write("p.jpg", "new");
    EXPECT_TRUE(run("12,Ann," + p + "\r\n\r\n0,Zero,p\r\nabc,Letters,p\r\n-5,Minus,p\r\n14,,p\r\n20,Cy," + p + "\r\n"));
    EXPECT_EQ(page_.prompts, (std::vector<std::u16string>{u"", u"Zero", u"Letters", u"Minus", u""}));
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(photo("Student", 20), "new") << "OK went on to the last line";
}

TEST_F(ImportRun, IdsRoundHalfToEvenAndAnIdBeyond32BitsFailsBeforeLoad) {
    const std::string p = write("p.jpg", "new");
    EXPECT_TRUE(run("12.5,Half," + p + "\r\n13.5,Half," + p + "\r\n3000000000,Big," + p + "\r\n"));
    EXPECT_TRUE(host_.journal().contains("StudentRecord.Load(12,0)"));
    EXPECT_TRUE(host_.journal().contains("StudentRecord.Load(14,0)"));
    EXPECT_EQ(host_.journal().count("StudentRecord.Load"), 2u) << "the overflow fails before Load";
    EXPECT_EQ(page_.prompts, std::vector<std::u16string>{u"Big"});
    // The record object of the failed line was closed down and released.
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, ARecordThatCannotBeLoadedIsClosedAndOfferedToSkip) {
    const std::string p = write("p.jpg", "new");
    EXPECT_TRUE(run("99,Nobody," + p + "\r\n12,Ann," + p + "\r\n"));
    EXPECT_EQ(page_.prompts, std::vector<std::u16string>{u"Nobody"});
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(host_.journal().count("StudentRecord.CloseDown"), 1u + 2u);
}

TEST_F(ImportRun, CancelEndsTheRunFalseAndKeepsWhatWasSaved) {
    const std::string p = write("p.jpg", "new");
    page_.answer_go_on = false;
    EXPECT_FALSE(run("12,Ann," + p + "\r\n0,Bad,x\r\n14,Bob," + p + "\r\n"));
    EXPECT_EQ(photo("Student", 12), "new");
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(page_.progress.back(), 2.0f) << "the lines read so far";
    EXPECT_FALSE(zn::files::is_open(1));

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

    page_.remove_missing = true;
    EXPECT_TRUE(run("12,Ann," + missing + "\r\n14,Bob\r\n20,Cy,\r\n"));
    EXPECT_EQ(photo("Student", 12), std::nullopt);
    EXPECT_EQ(photo("Student", 14), std::nullopt);
    EXPECT_EQ(photo("Student", 20), std::nullopt);
    EXPECT_TRUE(page_.prompts.empty());
}

TEST_F(ImportRun, TheBoxIsReadForEveryDataRowAndFollowedFromTheNextRowOn) {
    const std::string missing = (dir_ / "missing.jpg").string();
    const std::string p = write("p.jpg", "new");
    std::string csv = "ID,APPTSAPPT_APPLICANTNAME,Photo\r\n";  // line 1: a heading row, not a data row
    for (int line = 2; line <= 9; ++line) csv += "12,Ann," + missing + "\r\n";
    csv += "14,Bob," + missing + "\r\n20,Cy," + missing + "\r\n21,Di," + p + "\r\n";
    page_.on_yield = [&] { page_.remove_missing = true; };  // ticked while the run yields at line 10
    EXPECT_TRUE(run(csv));
    EXPECT_EQ(photo("Student", 12), "old") << "unticked for lines 2 to 9";
    EXPECT_EQ(photo("Student", 14), std::nullopt);
    EXPECT_EQ(photo("Student", 20), std::nullopt);
    EXPECT_EQ(photo("Student", 21), "new");
    EXPECT_EQ(page_.remove_missing_reads, 11) << "once for every data row, its photo found or not";
}

// A photo file of 0 bytes exists: its record is saved with the empty photo whether or not the box
// is ticked, unlike a missing file's with the box clear.
TEST_F(ImportRun, AZeroBytePhotoEmptiesTheStoredOneUnlikeAMissingFile) {
    const std::string empty = write("empty.jpg", "");
    EXPECT_TRUE(run("12,Ann," + empty + "\r\n14,Bob," + (dir_ / "missing.jpg").string() + "\r\n"));
    EXPECT_EQ(photo("Student", 12), std::nullopt);
    EXPECT_EQ(photo("Student", 14), "old");
    EXPECT_EQ(host_.journal().count("StudentRecord.Save"), 1u);
}

TEST_F(ImportRun, APhotoThatCannotBeReadLeavesTheStoredOneAlone) {
    const std::string p = write("p.jpg", "new");
    page_.remove_missing = true;
    // The run's own existence check passes; the reader's check fails.
    host_.config().fail("FileUtilities.FileExists", E_ACCESSDENIED, u"The photo share is offline", 1, 1);
    EXPECT_TRUE(run("12,Ann," + p + "\r\n14,Bob," + p + "\r\n"));
    EXPECT_EQ(page_.read_failures, std::vector<std::u16string>{u"The photo share is offline"});
    EXPECT_EQ(photo("Student", 12), "old") << "a failed read must not clear the photo";
    EXPECT_EQ(photo("Student", 14), "new");
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
}

TEST_F(ImportRun, TheBarsMinimumIsSetBeforeTheLinesAreCounted) {
    const std::u16string missing = zn::text::from_utf8((dir_ / "none.csv").string());
    EXPECT_THROW(zn::import::ImportPhotos(page_, missing, u"Student"), zn::com::ComError);
    EXPECT_TRUE(page_.progress_started) << "the minimum comes first";
    EXPECT_EQ(page_.progress_max, -1) << "no maximum without a count";
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
    EXPECT_EQ(host_.name_of(page_.session_.get()), "Session#3");
}

TEST_F(ImportRun, AnEmptyFileReadsNothingAndGoesThrough) {
    EXPECT_TRUE(run(""));
    EXPECT_EQ(page_.progress_max, 0.0f);
    EXPECT_EQ(page_.progress, (std::vector<float>{0, 0}));
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
    page_.on_yield = [&] {
        // The host closes the page down while the run yields.
        page_.release();
        calls_at_release = host_.journal().entries().size();
    };
    EXPECT_FALSE(run(csv));
    EXPECT_EQ(host_.journal().entries().size(), calls_at_release) << "nothing called after the release";
    EXPECT_FALSE(zn::files::is_open(1));
    EXPECT_TRUE(page_.prompts.empty());
}

TEST_F(ImportRun, APhotoThatVanishesAfterTheRunFoundItLeavesTheStoredOneAlone) {
    const std::string p = write("p.jpg", "new");
    // The file goes between the run's existence check and the reader's, while the record loads.
    host_.config().before_call = [&](const std::string& member) {
        if (member == "StudentRecord.Load") std::filesystem::remove(p);
    };
    for (const bool box : {false, true}) {
        page_.remove_missing = box;
        write("p.jpg", "new");
        EXPECT_TRUE(run("12,Ann," + p + "\r\n"));
        EXPECT_EQ(photo("Student", 12), "old") << "the box was " << box;
    }
    EXPECT_EQ(host_.journal().count("StudentRecord.Save"), 0u);
    EXPECT_TRUE(page_.prompts.empty());
}

TEST_F(ImportRun, APageLetGoOfDuringAnyMessageBoxEndsTheRunAtItsNextStep) {
    const std::string p = write("p.jpg", "new");
    struct Case {
        const char* box;
        std::string first_line;
        const char* fail;  // the member failing once, for the reader's box
    };
    for (const Case& c : {Case{"the invalid line's prompt", "0,Bad,x", nullptr},
                          Case{"a failed load's prompt", "99,Nobody," + p, nullptr},
                          Case{"the reader's failure box", "14,Bob," + p, "FileUtilities.FileExists"}}) {
        SCOPED_TRACE(c.box);
        page_.session_ = host_.new_session();
        page_.files_ = zn::host::create_host_object<zn::host::FileUtilities>(zn::host::CLSID_FileUtilities);
        page_.prompts.clear();
        page_.read_failures.clear();
        host_.config().clear_failures();
        if (c.fail) host_.config().fail(c.fail, E_ACCESSDENIED, u"offline", 1, 1);
        host_.clear_journal();
        std::size_t calls_at_release = 0;
        page_.on_prompt = [&] {
            page_.release();  // the host closes the page while the user looks
            calls_at_release = host_.journal().calls().size();
        };
        EXPECT_FALSE(run(c.first_line + "\r\n12,Ann," + p + "\r\n"));
        EXPECT_EQ(page_.prompts.size() + page_.read_failures.size(), 1u);
        // Only the record in hand is closed after the release.
        const auto calls = host_.journal().calls();
        for (std::size_t i = calls_at_release; i < calls.size(); ++i) EXPECT_EQ(calls[i], "StudentRecord.CloseDown()");
        EXPECT_EQ(photo("Student", 12), "old");
        EXPECT_FALSE(zn::files::is_open(1));
    }
}

TEST_F(ImportRun, APageLetGoOfInsideAHostCallEndsTheRunQuietlyWithNothingWrittenBack) {
    const std::string p = write("p.jpg", "new");
    host_.config().replace_context("StudentRecord.Init");
    // The n-th call of each member lets go of the page: FileExists is the run's check, then the
    // reader's.
    const std::vector<std::pair<std::string, std::size_t>> releases{{"FileUtilities.ReplaceText", 1},
                                                                    {"FileUtilities.FileExists", 1},
                                                                    {"FileUtilities.FileExists", 2},
                                                                    {"StudentRecord.Init", 1},
                                                                    {"StudentRecord.Load", 1},
                                                                    {"DataObject.Fields", 1},
                                                                    {"FieldSet.Field", 1},
                                                                    {"StudentRecord.CloseDown", 1},
                                                                    {"StudentRecord.Save", 1}};
    for (const auto& [member, nth] : releases) {
        SCOPED_TRACE(member + " #" + std::to_string(nth));
        page_.session_ = host_.new_session();
        page_.files_ = zn::host::create_host_object<zn::host::FileUtilities>(zn::host::CLSID_FileUtilities);
        page_.prompts.clear();
        page_.read_failures.clear();
        write("p.jpg", "new");
        for (int id : {12, 14}) host_.records().update("Student", id, {std::nullopt, true, "old"});
        host_.clear_journal();
        std::size_t seen = 0;
        int files_alive_in_call = -1;
        host_.config().before_call = [&](const std::string& called) {
            if (called != member || ++seen != nth) return;
            page_.release();
            files_alive_in_call = host_.live().of("FileUtilities").objects;
        };
        EXPECT_FALSE(run("12,Ann," + p + "\r\n14,Bob," + p + "\r\n"));
        host_.config().before_call = nullptr;
        if (member.starts_with("FileUtilities.")) {
            EXPECT_EQ(files_alive_in_call, 1) << "the object was freed inside its own call";
        }
        EXPECT_FALSE(page_.session_) << "a session written back into the page let go of";
        EXPECT_TRUE(page_.prompts.empty() && page_.read_failures.empty()) << "a box after the page was let go of";
        EXPECT_EQ(photo("Student", 14), "old") << "a line after the release";
        EXPECT_FALSE(zn::files::is_open(1));
        EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
        EXPECT_GE(host_.journal().count("StudentRecord.CloseDown"), host_.journal().count("StudentRecord.Init"))
            << "a record left without its CloseDown";
    }
    EXPECT_EQ(photo("Student", 12), "new") << "a record whose Save let go of the page is finished";
}

}  // namespace
