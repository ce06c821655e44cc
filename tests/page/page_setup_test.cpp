// Setting the page up: which record types the list offers for the installed modules, the six
// questions, the instructions, the state of the controls, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/page_layout.h"
#include "page_fixture.h"
#include "platform/com/com_error.h"
#include "platform/text/utf.h"

namespace zn::page::testing {
namespace {

using Entries = std::vector<std::u16string>;

struct InstallCase {
    const char* name;
    std::set<LONG> modules;
    Entries entries;
};

void PrintTo(const InstallCase& c, std::ostream* os) {
    *os << c.name;
}

class PageSetupByModules : public PageTest, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(PageSetupByModules, AsksSixQuestionsInOrderAndLeavesProcessDisabled) {
    set_up(GetParam().modules);
    const auto questions = host.journal().calls_to("SystemInfo.IsSystemInstalled");
    std::vector<std::string> args;
    for (const auto& q : questions) args.push_back(q.args);
    EXPECT_EQ(args, (std::vector<std::string>{"4096,-1,-1,0", "8192,-1,-1,0", "4096,-1,-1,0", "8192,-1,-1,0",
                                              "4096,-1,-1,0", "8192,-1,-1,0"}));
    EXPECT_FALSE(driver.enabled(u"Command1"));
    EXPECT_EQ(driver.entries(u"cboRecordType"), GetParam().entries);
}

TEST_P(PageSetupByModules, ChoosesTheFirstEntryAndShowsItsInstructions) {
    set_up(GetParam().modules);
    const Entries& expected = GetParam().entries;
    EXPECT_TRUE(driver.enabled(u"cboRecordType"));
    EXPECT_EQ(driver.text(u"cboRecordType"), expected.front());
    EXPECT_EQ(internal->RecordType(), expected.front());
    EXPECT_EQ(instructions(), prepared(instructions_for(expected.front())));
    EXPECT_TRUE(driver.enabled(u"se_ImportFileName"));
}

INSTANTIATE_TEST_SUITE_P(
    Modules, PageSetupByModules,
    ::testing::Values(InstallCase{"Both",
                                  {host::kModuleHM, host::kModuleHV},
                                  {u"Applicant", u"Student", u"Faculty/Staff", u"Individual"}},
                      InstallCase{"OnlyHM", {host::kModuleHM}, {u"Applicant", u"Faculty/Staff", u"Individual"}},
                      InstallCase{"OnlyHV", {host::kModuleHV}, {u"Student", u"Faculty/Staff", u"Individual"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageTest, WithoutEitherModuleSixQuestionsAreAskedAndNoEntryIsAdded) {
    set_up({});
    EXPECT_EQ(host.journal().count("SystemInfo.IsSystemInstalled"), 6u);
    EXPECT_TRUE(driver.entries(u"cboRecordType").empty());
    EXPECT_EQ(driver.text(u"cboRecordType"), u"");
    EXPECT_EQ(host.journal().count("SystemInfo.CloseDown"), 1u);
    EXPECT_FALSE(driver.enabled(u"Command1"));
}

TEST_F(PageTest, WithoutEitherModuleTheListAndFieldAreDisabledAndTheNeedIsExplained) {
    set_up({});
    EXPECT_FALSE(driver.enabled(u"cboRecordType"));
    EXPECT_FALSE(driver.enabled(u"se_ImportFileName"));
    EXPECT_FALSE(driver.enabled(u"Command1"));
    EXPECT_EQ(internal->RecordType(), u"No Valid System");
    EXPECT_EQ(instructions(), prepared(u"You do not have a valid system installed to use this plugin. You will need HM "
                                       u"in order to import photos using applicants and HV in order to import photos "
                                       u"using students."));
    EXPECT_TRUE(driver.transcript().empty());  // not an error: no message
    EXPECT_THROW(driver.type(u"se_ImportFileName", u"x"), refhost::DriverError);
}

TEST_F(PageTest, AnswersThatChangeBetweenQuestionsCanLeaveOneEntryWhichDisablesTheList) {
    // Only the third question (HM, for Faculty/Staff) is answered yes.
    host.config().script_answers({false, false, true, false, false, false});
    set_up();
    EXPECT_EQ(driver.entries(u"cboRecordType"), Entries{u"Faculty/Staff"});
    EXPECT_FALSE(driver.enabled(u"cboRecordType"));
    EXPECT_EQ(driver.text(u"cboRecordType"), u"Faculty/Staff");
    EXPECT_EQ(internal->RecordType(), u"Faculty/Staff");
    EXPECT_EQ(instructions(), prepared(instructions_for(u"Faculty/Staff")));
    EXPECT_TRUE(driver.enabled(u"se_ImportFileName"));
    // Only the set-up's own call prepared the text: no click ran for a single entry.
    EXPECT_EQ(host.journal().count("TextServices.PrepareText"), 1u);
}

TEST_F(PageTest, FacultyStaffOrIndividualIsOfferedWhenEitherOfItsTwoQuestionsSaysYes) {
    // HV answers yes for Faculty/Staff only, HM yes for Individual only.
    host.config().script_answers({false, false, false, true, true, false});
    set_up();
    EXPECT_EQ(driver.entries(u"cboRecordType"), (Entries{u"Faculty/Staff", u"Individual"}));
    EXPECT_EQ(internal->RecordType(), u"Faculty/Staff");
}

TEST_F(PageTest, SetUpCallsTheHostInItsOrder) {
    set_up({host::kModuleHM, host::kModuleHV});
    std::vector<std::string> seen;
    for (const auto& e : host.journal().entries()) {
        if (e.kind == refhost::JournalEntry::Kind::Call)
            seen.push_back(e.member);
        else if (e.object.rfind("SystemInfo", 0) == 0 || e.object.rfind("FileUtilities", 0) == 0)
            seen.push_back(e.text().substr(0, e.text().find('#')));
    }
    const std::string q = "SystemInfo.IsSystemInstalled";
    EXPECT_EQ(seen, (std::vector<std::string>{"created FileUtilities", "created SystemInfo", "SystemInfo.Init", q, q, q,
                                              q, q, q,
                                              // the page's own choice of the first entry runs the click
                                              "TextServices.PrepareText", "SystemInfo.CloseDown", "released SystemInfo",
                                              "TextServices.PrepareText"}));
    // PrepareText is given an empty list of values.
    for (const auto& call : host.journal().calls_to("TextServices.PrepareText"))
        EXPECT_EQ(call.args.substr(call.args.rfind(',') + 1), "0");
}

TEST_F(PageTest, KeepsTheSessionThatInitHandsBack) {
    host.config().replace_context("SystemInfo.Init");
    set_up();
    const std::string given = host.name_of(session.get());
    // The caller's variable is left as it was; the page holds the replacement instead of it.
    EXPECT_EQ(host.journal().calls_to("SystemInfo.Init").front().args, given);
    const auto sessions = host.live().of("Session");
    EXPECT_EQ(sessions.objects, 2);
    EXPECT_EQ(sessions.references, 2);  // ours on the original, the page's on the replacement
    internal->ReleasePage();
    EXPECT_EQ(host.live().of("Session").objects, 1);
}

TEST_F(PageTest, ChoosingAnEntryChangesOnlyTheRecordTypeAndTheInstructions) {
    set_up({host::kModuleHM, host::kModuleHV});
    driver.type(u"se_ImportFileName", u"C:\\photos.csv");
    driver.tick(u"Check1", true);
    const bool process_enabled = driver.enabled(u"Command1");
    host.clear_journal();

    driver.choose(u"cboRecordType", u"Student");
    EXPECT_EQ(internal->RecordType(), u"Student");
    EXPECT_EQ(instructions(), prepared(instructions_for(u"Student")));
    EXPECT_EQ(driver.text(u"se_ImportFileName"), u"C:\\photos.csv");
    EXPECT_EQ(driver.value(u"Check1"), 1);
    EXPECT_EQ(driver.enabled(u"Command1"), process_enabled);
    EXPECT_FALSE(driver.visible(u"pbarOverall"));
    EXPECT_EQ(host.journal().calls(), std::vector<std::string>{"TextServices.PrepareText(\"" +
                                                               text::to_utf8(instructions_for(u"Student")) + "\",0)"});
    EXPECT_TRUE(driver.event_errors().empty());
}

TEST_F(PageTest, FacultyStaffAppearsUnchangedAtEveryPlaceOfTheInstructions) {
    set_up({host::kModuleHM});
    driver.choose(u"cboRecordType", u"Faculty/Staff");
    EXPECT_EQ(instructions(),
              prepared(u"This plug-in will import Faculty/Staff photos from a file based on a CSV layout.  This file "
                       u"can be generated from Export by selecting the proper Faculty/Staff records and exporting the "
                       u"following fields: 'System record ID', 'Faculty/Staff name'.  Once the export file has been "
                       u"created, you will need to append an additional column which will contain the name of the "
                       u"photo file for each Faculty/Staff."));
}

TEST_F(PageTest, AFailedQuestionKeepsTheEntriesAddedAndDropsSystemInfoWithoutCloseDown) {
    host.config().fail("SystemInfo.IsSystemInstalled", E_FAIL, u"lost the server", 3);
    try {
        set_up({host::kModuleHM, host::kModuleHV});
        ADD_FAILURE() << "the failure did not reach the caller";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.code(), E_FAIL);
        EXPECT_EQ(e.description(), u"lost the server");
    }
    EXPECT_EQ(driver.entries(u"cboRecordType"), (Entries{u"Applicant", u"Student"}));
    EXPECT_EQ(driver.text(u"cboRecordType"), u"Student");
    EXPECT_EQ(internal->RecordType(), u"Student");
    EXPECT_FALSE(driver.enabled(u"Command1"));
    // The instructions were never updated.
    EXPECT_EQ(instructions(), std::u16string(import_page_layout().find(u"Label2")->caption));
    EXPECT_EQ(host.journal().count("SystemInfo.CloseDown"), 0u);
    EXPECT_EQ(host.live().of("SystemInfo").objects, 0);
    EXPECT_EQ(host.live().of("FileUtilities").objects, 1);  // kept: it was made before the failure
}

TEST_F(PageTest, AFailedInitEndsSetUpBeforeAnyQuestion) {
    host.config().fail("SystemInfo.Init", E_ACCESSDENIED);
    EXPECT_THROW(set_up(), com::ComError);
    EXPECT_EQ(host.journal().count("SystemInfo.IsSystemInstalled"), 0u);
    EXPECT_EQ(host.journal().count("SystemInfo.CloseDown"), 0u);
    EXPECT_EQ(host.live().of("SystemInfo").objects, 0);
    EXPECT_EQ(host.live().of("Session").references, 2);  // ours and the page's, on the one session
    EXPECT_FALSE(driver.enabled(u"Command1"));
}

TEST_F(PageTest, AFailedFileUtilitiesCreationLeavesProcessAsDesigned) {
    host.config().fail("FileUtilities.Create", REGDB_E_CLASSNOTREG);
    EXPECT_THROW(set_up(), com::ComError);
    EXPECT_TRUE(driver.enabled(u"Command1"));
    EXPECT_EQ(host.journal().created("SystemInfo"), 0u);
}

TEST_F(PageTest, AFailedPrepareTextInTheClickEndsSetUpBeforeCloseDown) {
    host.config().fail("TextServices.PrepareText", E_OUTOFMEMORY);
    EXPECT_THROW(set_up({host::kModuleHM, host::kModuleHV}), com::ComError);
    EXPECT_EQ(driver.text(u"cboRecordType"), u"Applicant");
    EXPECT_EQ(host.journal().count("SystemInfo.CloseDown"), 0u);
    EXPECT_EQ(host.live().of("SystemInfo").objects, 0);
}

TEST_F(PageTest, AFailedPrepareTextOnAUsersChoiceIsReportedAndTheTypeStaysChanged) {
    set_up({host::kModuleHM, host::kModuleHV});
    host.config().fail("TextServices.PrepareText", E_FAIL, u"no text service");
    driver.choose(u"cboRecordType", u"Individual");
    EXPECT_EQ(internal->RecordType(), u"Individual");
    ASSERT_EQ(driver.event_errors().size(), 1u);
    EXPECT_EQ(driver.transcript().back().prompt, u"no text service");
    EXPECT_EQ(driver.transcript().back().title, u"ZNImportPhotos");
}

TEST_F(PageTest, ReleasePageDropsTheHostObjectsAndCallsNothing) {
    set_up({host::kModuleHM});
    host.clear_journal();
    internal->ReleasePage();
    EXPECT_TRUE(host.journal().calls().empty());
    EXPECT_EQ(host.live().of("FileUtilities").objects, 0);
    EXPECT_EQ(host.live().of("Session").references, 1);  // ours alone
    // The controls and the record type stay as they were.
    EXPECT_EQ(internal->RecordType(), u"Applicant");
    EXPECT_EQ(driver.entries(u"cboRecordType").size(), 3u);
    internal->ReleasePage();  // a second time does nothing either
    EXPECT_TRUE(host.journal().calls().empty());
}

TEST_F(PageTest, EveryHostReferenceIsReleasedWhenThePageGoes) {
    set_up({host::kModuleHM, host::kModuleHV});
    driver.choose(u"cboRecordType", u"Student");
    session = nullptr;
    EXPECT_GT(host.live().objects(), 0);  // the page still holds the session and FileUtilities
    internal = nullptr;
    page = nullptr;  // without ReleasePage: destruction lets go as well
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
    EXPECT_TRUE(backend.control_sets().empty());
}

TEST_F(PageTest, TheSharedTextServicesIsCreatedOnceAndKept) {
    set_up({host::kModuleHM, host::kModuleHV});
    driver.choose(u"cboRecordType", u"Student");
    driver.choose(u"cboRecordType", u"Applicant");
    EXPECT_LE(host.journal().created("TextServices"), 1u);
    EXPECT_EQ(host.journal().released("TextServices"), 0u);
    EXPECT_EQ(host.live().of("TextServices").objects, 1);
}

}  // namespace
}  // namespace zn::page::testing
