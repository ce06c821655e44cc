// Every host call and file operation of a whole import, made to fail one at a time: a clean
// run counts the calls, then each call site and each k runs again with the k-th call failing.
// After every run the page must have lost nothing, half-written nothing, leaked nothing, left
// no file open and said exactly what happened: one message for a failure that ends the run,
// one box for a line that failed by itself, success only after a run that went through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
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
// A code of the test's own, so that a failure the run meets anyway is not taken for the injected one.
constexpr HRESULT kInjectedCode = static_cast<HRESULT>(0x8004FA11);

// One call to fail: a host member ("StudentRecord.Save") or a file operation, and which call.
struct Fault {
    std::string member;
    std::optional<FileOperation> file_operation;
    int k = 0;

    std::string name() const { return member + " #" + std::to_string(k); }
};

// Counts the file operations of this thread, and fails the k-th of one kind when told to.
struct FileHook {
    std::map<FileOperation, int>& counts;
    std::optional<FileOperation> failing;
    int k = 0;

    bool fired = false;

    static void hook(FileOperation operation, void* context) {
        auto& self = *static_cast<FileHook*>(context);
        if (++self.counts[operation] != self.k || operation != self.failing) return;
        self.fired = true;
        files::raise_file_error(files::kPathFileAccessError);
    }
};

// What the user and the store saw of one run.
struct Seen {
    bool fired = false;  // the injected failure happened
    bool set_up = true;
    std::vector<std::u16string> boxes;
    Photos photos;
    std::map<std::string, std::size_t> calls;  // host calls by member
    std::map<FileOperation, int> file_operations;
};

class Sweep {
public:
    Sweep() {
        const std::string a = text::to_utf8(folder_.write("a.jpg", "photo A"));
        const std::string b = text::to_utf8(folder_.write("b.jpg", "photo B"));
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

    Seen run(const std::optional<Fault>& fault) {
        Seen seen;
        {
            refhost::ReferenceHost host;
            for (const auto& [id, photo] : initial()) host.records().add({"Student", id, "S", photo});
            if (fault && !fault->file_operation)
                host.config().fail(fault->member, kInjectedCode, std::u16string(kInjected), fault->k - 1, 1);
            ui::headless::HeadlessBackend backend;
            ui::ScopedBackend scope{backend};
            refhost::Driver driver{backend};
            driver.on_yield([&] { driver.tick(u"Check1", true); });

            FileHook file_hook{seen.file_operations};
            if (fault && fault->file_operation) {
                file_hook.failing = fault->file_operation;
                file_hook.k = fault->k;
            }
            files::set_file_fault_hook(&FileHook::hook, &file_hook);

            com::ComPtr<host::SessionContext> session = host.new_session();
            com::ComPtr<IUnknown> page = create_import_page();
            auto internal = page.as<ImportPageInternal>();
            try {
                internal->InitializePage(session);
            } catch (const com::ComError& e) {
                seen.set_up = false;
                EXPECT_EQ(e.description(), kInjected) << "set-up reports the failure it met";
            }
            if (seen.set_up) {
                driver.choose(u"cboRecordType", u"Student");
                driver.type(kField, import_file_);
                driver.click(u"Command1");
                EXPECT_FALSE(driver.visible(u"pbarOverall")) << "the bar is hidden after the run";
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
            static const std::set<std::string> by_factory{"SystemInfo", "FileUtilities", "StudentRecord"};
            for (const auto& entry : host.journal().entries()) {
                if (entry.kind == refhost::JournalEntry::Kind::Call) ++seen.calls[entry.member];
                seen.fired = seen.fired || entry.result == kInjectedCode;
                const std::string cls = entry.object.substr(0, entry.object.find('#'));
                if (entry.kind == refhost::JournalEntry::Kind::Created && by_factory.contains(cls))
                    ++seen.calls[cls + ".Create"];
            }

            internal->ReleasePage();
            internal = nullptr;
            page = nullptr;
            session = nullptr;
            EXPECT_EQ(host.live().objects(), 0) << "host objects left alive:\n" << host.live().to_string();
        }
        return seen;
    }

private:
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

void check_faulted_run(const Fault& fault, const Seen& clean, const Seen& seen) {
    const std::u16string success(message::kImportedPrompt);
    if (!seen.set_up) {
        EXPECT_TRUE(seen.boxes.empty());
        EXPECT_EQ(seen.photos, Sweep::initial());
        return;
    }
    ASSERT_FALSE(seen.boxes.empty()) << "a failure said nothing";
    for (std::size_t i = 0; i + 1 < seen.boxes.size(); ++i)
        EXPECT_NE(seen.boxes[i], success) << "success was not the last word";

    if (seen.boxes.back() == success) {
        // Went through: at most one line failed by itself, with a box of its own, and only its
        // record may have kept the photo it had.
        std::size_t differ = 0;
        for (const auto& [id, photo] : seen.photos) {
            if (photo == clean.photos.at(id)) continue;
            ++differ;
            EXPECT_EQ(photo, "old") << "record " << id << " half-written";
        }
        EXPECT_LE(differ, 1u) << "more than the failed line's record was skipped";
        if (differ) {
            EXPECT_EQ(seen.boxes.size(), clean.boxes.size() + 1) << "a skipped record without a word";
        }
        EXPECT_TRUE(seen.boxes == clean.boxes || one_box_apart(seen.boxes, clean.boxes))
            << "more than one box for one failure";
        return;
    }
    // Ended by the failure: the boxes of the lines before it, then exactly one message; the
    // records changed before it as a clean run changes them, none after, none half-written.
    const std::u16string reported = fault.file_operation
                                        ? std::u16string(files::file_error_text(files::kPathFileAccessError))
                                        : std::u16string(kInjected);
    EXPECT_EQ(text::to_utf8(seen.boxes.back()), text::to_utf8(reported)) << "another failure reported";
    const std::size_t before = seen.boxes.size() - 1;
    ASSERT_LT(before, clean.boxes.size());
    EXPECT_TRUE(
        std::equal(seen.boxes.begin(), seen.boxes.begin() + static_cast<std::ptrdiff_t>(before), clean.boxes.begin()))
        << "boxes other than the lines' before the failure";
    bool a_prefix = false;
    for (std::size_t n = 0; n <= Sweep::changes().size(); ++n) a_prefix = a_prefix || seen.photos == after_changes(n);
    EXPECT_TRUE(a_prefix) << "the store is not a clean run's up to some record";
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
    for (const FileOperation operation : {FileOperation::Open, FileOperation::Read, FileOperation::Length})
        EXPECT_GT(clean.file_operations.count(operation), 0u) << "a file operation was never made";

    std::vector<Fault> faults;
    for (const auto& [member, count] : clean.calls)
        for (int k = 1; k <= static_cast<int>(count); ++k) faults.push_back({member, std::nullopt, k});
    const std::map<FileOperation, const char*> file_names{
        {FileOperation::Open, "file open"}, {FileOperation::Read, "file read"}, {FileOperation::Length, "file length"}};
    for (const auto& [operation, count] : clean.file_operations)
        for (int k = 1; k <= count; ++k) faults.push_back({file_names.at(operation), operation, k});

    int ended = 0;
    int went_through = 0;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name());
        const Seen seen = sweep.run(fault);
        EXPECT_TRUE(seen.fired) << "the failure was never injected";
        check_faulted_run(fault, clean, seen);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << describe(seen);
            break;
        }
        (seen.set_up && !seen.boxes.empty() && seen.boxes.back() == message::kImportedPrompt ? went_through : ended)++;
    }
    std::printf(
        "[report] fault sweep: %zu runs over %zu call sites (%zu host members, %zu file operations); "
        "%d ended by the failure, %d went through it\n",
        faults.size(), clean.calls.size() + clean.file_operations.size(), clean.calls.size(),
        clean.file_operations.size(), ended, went_through);
}

}  // namespace
}  // namespace zn::page::testing
