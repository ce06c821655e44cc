// Every host call (creations and interface queries among them) and file operation of a whole
// import, made to fail one at a time: a clean run counts the calls, then each call site and each
// k runs again with the k-th call failing; each photo read also runs with the photo cut short
// while it is read, and each record call with the host letting go of the page inside it and the
// CloseDown that follows failing. After every run the page
// must have lost nothing, half-written nothing, leaked nothing, left no file open and said exactly
// what happened: the store is the clean run's after as many Saves as succeeded, one message for a
// failure that ends the run, one box naming the failure for a line that failed by itself, success
// only after a run that went through, and nothing once the host has let go of the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "page/import_page.h"
#include "page/page_texts.h"
#include "platform/com/com_error.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_faults.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "refhost/components/reference_host.h"
#include "refhost/driver/driver.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace zn::page::testing {
namespace {

using files::FileOperation;
using Photos = std::map<int, std::optional<std::string>>;

constexpr std::u16string_view kField = u"se_ImportFileName";
constexpr std::u16string_view kInjected = u"injected failure";
// A code of the test's own, so that a failure the run meets anyway is not taken for the injected one;
// for the file layer, an error none of the import's files meets by itself.
constexpr HRESULT kInjectedCode = static_cast<HRESULT>(0x8004FA11);
constexpr HRESULT kInjectedFileError = com::kDeviceIoError;

// How a call fails: it fails, a photo is cut short while it is read, or the host lets go of the
// page inside the call and the CloseDown that follows fails.
enum class How { Fail, CutShort, LetGo };

// One call to fail: a host member ("StudentRecord.Save") or a file operation, and which call.
struct Fault {
    std::string member;
    std::optional<FileOperation> file_operation;
    int k = 0;
    How how = How::Fail;

    std::string name() const {
        return member + " #" + std::to_string(k) +
               (how == How::CutShort ? " cut short"
                : how == How::LetGo  ? " let go"
                                     : "");
    }
};

// What the page says of the fault: the failure's own text; for an interface the host refused, the
// type mismatch it is to the page; for a file, the file error's text.
std::u16string reported_text(const Fault& fault) {
    if (fault.file_operation)
        return std::u16string(
            files::file_error_text(fault.how == How::CutShort ? files::kInputPastEndOfFile : kInjectedFileError));
    if (fault.how == How::Fail && fault.member.ends_with(".QueryInterface"))
        return com::standard_description(com::kTypeMismatch);
    return std::u16string(kInjected);
}

// Calls whose failure the page shows with a prompt the rules give it, not with the failure's text:
// a record that cannot be loaded is the line's error prompt (the run's handler around Load).
const std::set<std::string> kSamePromptOnFailure{"StudentRecord.Load"};

// Counts the file operations of this thread, and fails the k-th of one kind when told to, or cuts
// the photos short before it (the read then finds less than the length said).
struct FileHook {
    std::map<FileOperation, int>& counts;
    std::optional<FileOperation> failing;
    int k = 0;
    std::vector<std::pair<std::filesystem::path, std::string>> photos;  // what cut_short cuts, and their bytes
    bool cut_short = false;

    bool fired = false;
    bool cut = false;

    static void hook(FileOperation operation, void* context) {
        auto& self = *static_cast<FileHook*>(context);
        // Only the photo being read was cut short: the next one is whole again.
        if (std::exchange(self.cut, false))
            for (const auto& [photo, bytes] : self.photos) std::ofstream(photo, std::ios::binary) << bytes;
        if (++self.counts[operation] != self.k || operation != self.failing) return;
        self.fired = true;
        if (!self.cut_short) files::raise_file_error(kInjectedFileError);
        for (const auto& [photo, bytes] : self.photos) std::filesystem::resize_file(photo, bytes.size() / 2);
        self.cut = true;
    }
};

// What the user and the store saw of one run.
struct Seen {
    bool fired = false;  // the injected failure happened
    bool set_up = true;
    bool let_go = false;    // the host let go of the page during the run
    std::size_t saves = 0;  // record Saves that succeeded
    std::vector<std::u16string> boxes;
    Photos photos;
    std::map<std::string, std::size_t> calls;             // host calls by member
    std::map<std::string, std::vector<HRESULT>> results;  // each call's result, by member
    std::map<FileOperation, int> file_operations;
};

class Sweep {
public:
    Sweep() {
        const std::string a = text::to_utf8(folder_.write("a.jpg", kPhotoA));
        const std::string b = text::to_utf8(folder_.write("b.jpg", kPhotoB));
        std::filesystem::create_directory(folder_ / "folder");
        const std::string unreadable = (folder_ / "folder").string() + "/";
        const std::string missing = (folder_ / "missing.jpg").string();
        // Every kind of line; the box is clear until the tenth line's yield ticks it.
        const std::string csv =
            "ID,STSST_STUDENTNAME,PHOTO\r\n"  // heading row
            "1,Ann," +
            a +
            "\r\n"  // stored
            "\"2\",\"Bob\",\"" +
            b +
            "\"\r\n"       // quoted, stored
            "0,Bad,x\r\n"  // invalid: prompt
            "99,Nobody," +
            a +
            "\r\n"  // cannot be loaded: prompt
            "3,Cy," +
            missing +
            "\r\n"  // missing, box clear: passed over
            "4,Dee," +
            unreadable +
            "\r\n"  // unreadable: the reader's box
            "6,Fay," +
            a +
            "\r\n"  // stored
            "7,Gus," +
            missing +
            "\r\n"  // missing, box clear
            "5,Eve," +
            missing +
            "\r\n"  // the yield ticks the box: cleared
            "8,Hal," +
            b + "\r\n";  // stored
        import_file_ = folder_.write("import.csv", csv);
    }

    // The records' photos before any run, and the order in which a clean run changes them.
    static Photos initial() {
        Photos p;
        for (int id = 1; id <= 8; ++id) p[id] = "old";
        return p;
    }
    static const std::vector<std::pair<int, std::optional<std::string>>>& changes() {
        static const std::vector<std::pair<int, std::optional<std::string>>> c{
            {1, "photo A"}, {2, "photo B"}, {6, "photo A"}, {5, std::nullopt}, {8, "photo B"}};
        return c;
    }

    // One run. The host's shared TextServices is made once per thread and kept for good, so only
    // a thread's first run creates it: its creation fails on a UI thread of its own (where the
    // failed creation leaves nothing behind).
    Seen run(const std::optional<Fault>& fault) {
        if (!fault || fault->member != "TextServices.Create") return run_here(fault);
        Seen seen;
        std::thread([&] {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            seen = run_here(fault);
            CoUninitialize();
        }).join();
        return seen;
    }

private:
    static constexpr std::string_view kPhotoA = "photo A";
    static constexpr std::string_view kPhotoB = "photo B";

    Seen run_here(const std::optional<Fault>& fault) {
        Seen seen;
        // A run that cut them short leaves the photos so: each run starts with them whole.
        folder_.write("a.jpg", std::string(kPhotoA));
        folder_.write("b.jpg", std::string(kPhotoB));
        {
            refhost::ReferenceHost host;
            host.config().journal_queries = true;
            for (const auto& [id, photo] : initial()) host.records().add({"Student", id, "S", photo});
            com::ComPtr<IUnknown> page;
            com::ComPtr<ImportPageInternal> internal;
            if (fault && !fault->file_operation && fault->how == How::Fail)
                host.config().fail(fault->member, kInjectedCode, std::u16string(kInjected), fault->k - 1, 1);
            if (fault && fault->how == How::LetGo) {
                // Inside the k-th call of the member the host lets go of the page; the record in
                // hand is then closed, and that CloseDown fails.
                auto calls = std::make_shared<int>(0);
                host.config().before_call = [&, calls](const std::string& member) {
                    if (member != fault->member || ++*calls != fault->k || !internal) return;
                    seen.let_go = true;
                    internal->ReleasePage();
                    internal = nullptr;
                    page = nullptr;
                    host.config().fail("StudentRecord.CloseDown", kInjectedCode, std::u16string(kInjected), 0, 1);
                };
            }
            ui::headless::HeadlessBackend backend;
            ui::ScopedBackend scope{backend};
            refhost::Driver driver{backend};
            driver.on_yield([&] { driver.tick(u"Check1", true); });

            FileHook file_hook{seen.file_operations};
            if (fault && fault->file_operation) {
                file_hook.failing = fault->file_operation;
                file_hook.k = fault->k;
                file_hook.cut_short = fault->how == How::CutShort;
                file_hook.photos = {{folder_ / "a.jpg", std::string(kPhotoA)},
                                    {folder_ / "b.jpg", std::string(kPhotoB)}};
            }
            files::set_file_fault_hook(&FileHook::hook, &file_hook);

            com::ComPtr<host::SessionContext> session = host.new_session();
            page = create_import_page();
            internal = page.as<ImportPageInternal>();
            try {
                internal->InitializePage(session);
            } catch (const com::ComError& e) {
                seen.set_up = false;
                EXPECT_EQ(text::to_utf8(e.description()), text::to_utf8(reported_text(*fault)))
                    << "set-up reports the failure it met";
            }
            if (seen.set_up) {
                driver.choose(u"cboRecordType", u"Student");
                driver.type(kField, import_file_);
                driver.click(u"Command1");
                // A page the host let go of has gone, and its controls with it.
                if (!seen.let_go) {
                    EXPECT_FALSE(driver.visible(u"pbarOverall")) << "the bar is hidden after the run";
                }
                if (!driver.pointer_history().empty()) {
                    EXPECT_EQ(driver.pointer_history().back(), ui::MousePointer::Default) << "the hourglass was left";
                }
            }
            files::set_file_fault_hook(nullptr, nullptr);
            if (file_hook.failing) seen.fired = file_hook.fired;
            for (int n = 1; n <= files::kMaxFileNumber; ++n) {
                EXPECT_FALSE(files::is_open(n)) << "file number " << n << " was left open";
                files::close(n);
            }
            for (const auto& box : driver.transcript()) seen.boxes.push_back(box.prompt);
            for (const auto& [id, old] : initial()) seen.photos[id] = host.records().photo("Student", id);
            // A creation through a class factory is a call that can fail too ("Class.Create").
            static const std::set<std::string> by_factory{"SystemInfo", "FileUtilities", "StudentRecord",
                                                          "TextServices"};
            for (const auto& entry : host.journal().entries()) {
                if (entry.kind == refhost::JournalEntry::Kind::Call) {
                    ++seen.calls[entry.member];
                    seen.results[entry.member].push_back(entry.result);
                }
                seen.fired = seen.fired || entry.result == kInjectedCode;
                if (entry.kind == refhost::JournalEntry::Kind::Call && entry.member == "StudentRecord.Save" &&
                    SUCCEEDED(entry.result))
                    ++seen.saves;
                const std::string cls = entry.object.substr(0, entry.object.find('#'));
                if (entry.kind == refhost::JournalEntry::Kind::Created && by_factory.contains(cls))
                    ++seen.calls[cls + ".Create"];
            }

            host.config().before_call = nullptr;
            if (internal) internal->ReleasePage();
            internal = nullptr;
            page = nullptr;
            session = nullptr;
            EXPECT_EQ(host.live().objects(), 0) << "host objects left alive:\n" << host.live().to_string();
        }
        return seen;
    }

    zn::test::TempFolder folder_{"zn-sweep"};
    std::u16string import_file_;
};

// The store after the first n changes of a clean run.
Photos after_changes(std::size_t n) {
    Photos p = Sweep::initial();
    for (std::size_t i = 0; i < n; ++i) p[Sweep::changes()[i].first] = Sweep::changes()[i].second;
    return p;
}

std::string describe(const Seen& seen) {
    std::string s = "boxes:";
    for (const auto& box : seen.boxes) s += " [" + text::to_utf8(box) + "]";
    s += "\nphotos:";
    for (const auto& [id, photo] : seen.photos) s += " " + std::to_string(id) + "=" + photo.value_or("(none)");
    return s;
}

// Whether a is b with one entry left out of a, or one entry of b replaced: the box of the line
// that failed by itself.
bool one_box_apart(const std::vector<std::u16string>& a, const std::vector<std::u16string>& b) {
    if (a.size() == b.size() + 1) {
        for (std::size_t skip = 0; skip < a.size(); ++skip) {
            std::vector<std::u16string> rest = a;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(skip));
            if (rest == b) return true;
        }
        return false;
    }
    if (a.size() != b.size()) return false;
    std::size_t different = 0;
    for (std::size_t i = 0; i < a.size(); ++i) different += a[i] != b[i];
    return different <= 1;
}

// The store after the Saves that succeeded: a clean run's changes but for the records whose Save a
// failure kept from happening (at most the failed line's, for a run that went through).
void check_store(const Seen& clean, const Seen& seen, bool ended) {
    if (ended) {
        EXPECT_EQ(seen.photos, after_changes(seen.saves))
            << "not the clean run's store after " << seen.saves << " Saves";
        return;
    }
    std::size_t differ = 0;
    for (const auto& [id, photo] : seen.photos) {
        if (photo == clean.photos.at(id)) continue;
        ++differ;
        EXPECT_EQ(photo, "old") << "record " << id << " half-written";
    }
    EXPECT_EQ(seen.saves + differ, Sweep::changes().size()) << "a record changed without its Save, or saved unchanged";
}

void check_faulted_run(const Fault& fault, const Seen& clean, const Seen& seen) {
    const std::u16string success(message::kImportedPrompt);
    if (!seen.set_up) {
        EXPECT_TRUE(seen.boxes.empty());
        EXPECT_EQ(seen.photos, Sweep::initial());
        return;
    }
    if (seen.let_go) {
        // Nobody is left to tell: the boxes the run showed before, not one more.
        EXPECT_LE(seen.boxes.size(), clean.boxes.size());
        EXPECT_TRUE(std::equal(seen.boxes.begin(), seen.boxes.end(), clean.boxes.begin())) << "a box after the let-go";
        check_store(clean, seen, true);
        return;
    }
    ASSERT_FALSE(seen.boxes.empty()) << "a failure said nothing";
    for (std::size_t i = 0; i + 1 < seen.boxes.size(); ++i)
        EXPECT_NE(seen.boxes[i], success) << "success was not the last word";
    const std::u16string reported = reported_text(fault);

    if (seen.boxes.back() == success) {
        // Went through: the failed line's own box says what failed (or the rules' prompt for it),
        // and that line's record alone may have kept the photo it had.
        check_store(clean, seen, false);
        if (kSamePromptOnFailure.contains(fault.member)) {
            const std::vector<HRESULT>& results = clean.results.at(fault.member);
            if (FAILED(results.at(static_cast<std::size_t>(fault.k - 1)))) {
                EXPECT_EQ(seen.boxes, clean.boxes) << "a call that fails anyway shows the prompt it shows anyway";
                return;
            }
        }
        ASSERT_NE(seen.boxes, clean.boxes) << "a failure that went through without a word";
        ASSERT_TRUE(one_box_apart(seen.boxes, clean.boxes)) << "more than one box for one failure";
        std::size_t extra = 0;
        while (extra < clean.boxes.size() && seen.boxes[extra] == clean.boxes[extra]) ++extra;
        const std::u16string& box = seen.boxes[extra];
        if (kSamePromptOnFailure.contains(fault.member)) {
            EXPECT_TRUE(box.starts_with(message::kLineErrorPrefix)) << text::to_utf8(box);
        } else {
            EXPECT_NE(box.find(reported), std::u16string::npos)
                << "the box does not say what failed: " << text::to_utf8(box);
        }
        return;
    }
    // Ended by the failure: the boxes of the lines before it, then exactly one message; the
    // records changed before it as a clean run changes them, none after, none half-written.
    EXPECT_EQ(text::to_utf8(seen.boxes.back()), text::to_utf8(reported)) << "another failure reported";
    const std::size_t before = seen.boxes.size() - 1;
    ASSERT_LT(before, clean.boxes.size());
    EXPECT_TRUE(
        std::equal(seen.boxes.begin(), seen.boxes.begin() + static_cast<std::ptrdiff_t>(before), clean.boxes.begin()))
        << "boxes other than the lines' before the failure";
    check_store(clean, seen, true);
}

TEST(FaultSweep, NoHostCallOrFileOperationFailingLosesHalfWritesLeaksOrMisreports) {
    Sweep sweep;
    const Seen clean = sweep.run(std::nullopt);
    ASSERT_TRUE(clean.set_up);
    ASSERT_EQ(clean.photos, after_changes(Sweep::changes().size())) << describe(clean);
    ASSERT_EQ(clean.boxes.size(), 4u) << describe(clean);
    ASSERT_EQ(clean.boxes.back(), message::kImportedPrompt);

    // Every kind of call the run makes must be reached, so that none is swept by accident only.
    for (const char* member :
         {"SystemInfo.Create", "SystemInfo.Init", "SystemInfo.IsSystemInstalled", "SystemInfo.CloseDown",
          "TextServices.PrepareText", "FileUtilities.Create", "FileUtilities.FileExists", "FileUtilities.ReplaceText",
          "StudentRecord.Create", "StudentRecord.Init", "StudentRecord.Load", "DataObject.Fields", "FieldSet.Field",
          "StudentRecord.Save", "StudentRecord.CloseDown"}) {
        EXPECT_GT(clean.calls.count(member), 0u) << member << " was never called";
    }
    for (const char* member : {"TextServices.Create", "StudentRecord.QueryInterface"})
        EXPECT_GT(clean.calls.count(member), 0u) << member << " was never called";
    for (const FileOperation operation :
         {FileOperation::Open, FileOperation::Read, FileOperation::ReadAt, FileOperation::Length})
        EXPECT_GT(clean.file_operations.count(operation), 0u) << "a file operation was never made";

    std::vector<Fault> faults;
    for (const auto& [member, count] : clean.calls)
        for (int k = 1; k <= static_cast<int>(count); ++k) faults.push_back({member, std::nullopt, k});
    const std::map<FileOperation, const char*> file_names{{FileOperation::Open, "file open"},
                                                          {FileOperation::Read, "file read"},
                                                          {FileOperation::ReadAt, "photo read"},
                                                          {FileOperation::Length, "file length"}};
    for (const auto& [operation, count] : clean.file_operations)
        for (int k = 1; k <= count; ++k) {
            faults.push_back({file_names.at(operation), operation, k});
            if (operation == FileOperation::ReadAt) faults.push_back({"photo read", operation, k, How::CutShort});
        }
    // The host lets go of the page inside each call on a record in hand; its CloseDown then fails.
    for (const char* member : {"StudentRecord.Init", "StudentRecord.Load", "DataObject.Fields"})
        for (int k = 1; k <= static_cast<int>(clean.calls.at(member)); ++k)
            faults.push_back({member, std::nullopt, k, How::LetGo});

    int ended = 0;
    int went_through = 0;
    int let_go = 0;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name());
        const Seen seen = sweep.run(fault);
        EXPECT_TRUE(seen.fired) << "the failure was never injected";
        if (fault.how == How::LetGo) {
            EXPECT_TRUE(seen.let_go) << "the host never let go";
        }
        check_faulted_run(fault, clean, seen);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << describe(seen);
            break;
        }
        if (seen.let_go)
            ++let_go;
        else
            (seen.set_up && !seen.boxes.empty() && seen.boxes.back() == message::kImportedPrompt ? went_through
                                                                                                 : ended)++;
    }
    std::printf(
        "[report] fault sweep: %zu runs over %zu call sites (%zu host members, %zu file operations); "
        "%d ended by the failure, %d went through it, %d let go of by the host\n",
        faults.size(), clean.calls.size() + clean.file_operations.size(), clean.calls.size(),
        clean.file_operations.size(), ended, went_through, let_go);
}

}  // namespace
}  // namespace zn::page::testing
