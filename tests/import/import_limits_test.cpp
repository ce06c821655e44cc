// The import at its limits: a million lines, a huge line, zero bytes in lines and paths, a
// photo of 2 GiB or more, an import file that goes away or shrinks while the run yields, and a
// record store that is full.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/resource.h>
#endif

#include "host/host_objects.h"
#include "import/import_run.h"
#include "import/photo_reader.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch_object.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_faults.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "refhost/components/path_rules.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/temp_folder.h"

namespace {

using zn::com::ComPtr;
using namespace std::string_literals;

// The page as the run sees it, counting rather than keeping what a long run shows.
class LimitsPage final : public zn::import::RunPort {
public:
    ComPtr<zn::host::SessionContext> session_;
    ComPtr<zn::host::FileUtilities> files_;
    float progress_max = -1;
    float progress_last = -1;
    std::size_t prompts = 0;
    std::u16string last_prompt;
    std::vector<std::u16string> read_failures;
    bool remove_missing = false;
    std::function<void()> on_yield;

    ComPtr<zn::host::SessionContext>& session() override { return session_; }
    zn::host::FileUtilities* file_utilities() override { return files_.get(); }
    void start_progress() override {}
    void size_progress(float max) override { progress_max = max; }
    void show_progress(float value) override { progress_last = value; }
    bool go_on_after_failed_line(std::u16string_view name) override {
        ++prompts;
        last_prompt = name;
        return true;
    }
    bool remove_missing_photos() override { return remove_missing; }
    bool yield() override {
        if (on_yield) on_yield();
        return page_held();
    }
    void show_busy(bool) override {}
    void report_read_failure(std::u16string_view description) override { read_failures.emplace_back(description); }
};

// The reference host's FileUtilities without its journal, which keeps every call's arguments as
// text: for runs whose lines are too many or too long to keep.
class QuietFileUtilities final : public zn::com::DispatchObject<QuietFileUtilities, zn::host::FileUtilities> {
public:
    HRESULT STDMETHODCALLTYPE ReplaceText(BSTR text, BSTR search, BSTR replacement, LONG* count,
                                          BSTR* result) override {
        std::size_t n = 0;
        *result = zn::com::alloc_bstr(zn::refhost::replace_all(zn::com::bstr_view(text), zn::com::bstr_view(search),
                                                               zn::com::bstr_view(replacement), n));
        if (count) *count = static_cast<LONG>(n);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPathPart(BSTR, LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FileExists(BSTR path, VARIANT_BOOL* exists) override {
        *exists = zn::com::to_variant_bool(zn::refhost::path_exists(zn::com::bstr_view(path)));
        return S_OK;
    }
};

// The process's peak resident memory in MiB, where the system tells it.
std::optional<double> peak_memory_mib() {
#ifdef _WIN32
    return std::nullopt;
#else
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return std::nullopt;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
#endif
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class ImportLimits : public ::testing::Test {
protected:
    ImportLimits() {
        page_.session_ = host_.new_session();
        page_.files_ = zn::host::create_host_object<zn::host::FileUtilities>(zn::host::CLSID_FileUtilities);
        for (int id : {12, 14, 20}) host_.records().add({"Student", id, "Person " + std::to_string(id), "old"});
    }
    ~ImportLimits() override {
        zn::files::set_file_fault_hook(nullptr, nullptr);
        EXPECT_FALSE(zn::files::is_open(1)) << "the import file was left open";
    }
    std::string write(const std::string& name, const std::string& bytes) {
        dir_.write(name, bytes);
        return (dir_ / name).string();
    }
    std::string import_path() const { return (dir_ / "import.csv").string(); }
    bool run_file() { return zn::import::ImportPhotos(page_, zn::text::from_utf8(import_path()), u"Student"); }
    bool run(const std::string& csv) {
        write("import.csv", csv);
        return run_file();
    }
    std::optional<std::string> photo(int id) { return host_.records().photo("Student", id); }

    zn::refhost::ReferenceHost host_;
    LimitsPage page_;
    zn::test::TempFolder dir_{"zn-limits"};
};

TEST_F(ImportLimits, AMillionLinesAreCountedAndRunThroughToTheLast) {
    constexpr int kLines = 1'000'000;
    const std::string p = write("p.jpg", "new");
    {
        // Invalid lines, each answered OK, then a row that stores a photo.
        std::string lines;
        for (int i = 1; i < kLines; ++i) lines += "0,\r\n";
        write("import.csv", lines + "12,Ann," + p);  // the last line, without a line end
    }
    page_.files_ = ComPtr<zn::host::FileUtilities>(zn::com::make_object<QuietFileUtilities>().get());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(run_file());
    std::printf("[ measured ] %d lines counted and run in %.2f s\n", kLines, seconds_since(start));
    EXPECT_EQ(page_.progress_max, static_cast<float>(kLines));
    EXPECT_EQ(page_.progress_last, static_cast<float>(kLines));
    EXPECT_EQ(host_.journal().count("StudentRecord.Load"), 1u) << "only the last line names a photo that exists";
    EXPECT_EQ(photo(12), "new");
    EXPECT_EQ(page_.prompts, static_cast<std::size_t>(kLines - 1));
}

TEST_F(ImportLimits, AHugeLineIsOneLineReadInLinearMemory) {
    // 256 of the reader's buffers; at 100 MB the same run takes half a minute under the
    // sanitizers, with the same outcome.
    constexpr std::size_t kBig = 16u << 20;
    const std::string p = write("p.jpg", "new");
    // A data row whose photo path is the huge part, then an ordinary row.
    write("import.csv", "12,Ann," + std::string(kBig, 'a') + "\r\n14,Bob," + p + "\r\n");
    page_.files_ = ComPtr<zn::host::FileUtilities>(zn::com::make_object<QuietFileUtilities>().get());
    page_.remove_missing = true;
    const std::optional<double> before = peak_memory_mib();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(run_file());
    const double took = seconds_since(start);
    const std::optional<double> after = peak_memory_mib();
    EXPECT_EQ(page_.progress_max, 2.0f);
    EXPECT_EQ(page_.prompts, 0u);
    EXPECT_TRUE(page_.read_failures.empty());
    // The huge path names no file: with the box ticked the photo is cleared, as for any photo
    // that is not there.
    EXPECT_EQ(photo(12), std::nullopt);
    EXPECT_EQ(photo(14), "new");
    std::printf("[ measured ] a line of %zu MiB counted and run in %.2f s", kBig >> 20, took);
    if (before && after) std::printf(", peak memory %.0f MiB (%.0f MiB before)", *after, *before);
    std::printf("\n");
    // The copies of the line alive at once (its bytes, its text, the host's copies) come to a few
    // times its size, plus what the address sanitizer holds back from reuse (256 MiB); a copy
    // kept per buffer refill would need gigabytes.
    if (before && after) {
        EXPECT_LT(*after, *before + 256.0 + 16.0 * (kBig >> 20));
    }
}

TEST_F(ImportLimits, AZeroCharacterInAPathNeverOpensTheNameBeforeIt) {
    const std::string p = write("p.jpg", "new");
    const std::u16string cut = zn::text::from_utf8(p) + u'\0' + u"x";
    // The file layer refuses the name outright instead of opening p.
    for (const auto& use : std::vector<std::function<void()>>{
             [&] { zn::files::file_length(cut); },
             [&] { zn::files::OpenFile f(cut, zn::files::Mode::Binary); },
         }) {
        try {
            use();
            ADD_FAILURE() << "a name with a zero character was used";
        } catch (const zn::com::ComError& e) {
            EXPECT_EQ(e.code(), zn::com::kBadFileNameOrNumber);
        }
    }
    // A reader whose existence check says yes still reads nothing, and says why.
    struct Port : zn::import::PhotoReaderPort {
        std::vector<std::u16string> failures;
        void show_busy(bool) override {}
        void report_read_failure(std::u16string_view d) override { failures.emplace_back(d); }
    } port;
    const zn::import::PhotoReadResult read = zn::import::read_photo(
        cut, [](std::u16string_view) { return true; }, port);
    EXPECT_TRUE(read.failed);
    EXPECT_TRUE(read.value.empty());
    EXPECT_EQ(port.failures, std::vector<std::u16string>{u"Bad file name or number"});

    // Through the run: the host finds no such file, so the photo is not stored; zero bytes in the
    // name are only text.
    const std::string line_with_zeros = "12,Ann,"s + p + "\0x\r\n14,B\0b,"s + p + "\r\n";
    for (const bool box : {false, true}) {
        SCOPED_TRACE(box ? "box ticked" : "box clear");
        page_.remove_missing = box;
        host_.records().update("Student", 14, {std::nullopt, true, "old"});
        EXPECT_TRUE(run(line_with_zeros));
        EXPECT_EQ(photo(12), box ? std::nullopt : std::optional<std::string>("old"));
        EXPECT_EQ(photo(14), "new");
        EXPECT_EQ(page_.prompts, 0u);
        EXPECT_TRUE(page_.read_failures.empty());
    }
}

// Counts the file layer's opens, so a test can tell that a file was never opened.
void count_opens(zn::files::FileOperation operation, void* opens) {
    if (operation == zn::files::FileOperation::Open) ++*static_cast<int*>(opens);
}

// A file of that length that uses no disk: Windows allocates a plain file's length (MinGW's
// runtime even refuses one larger than the free space), so it is marked sparse first there.
void make_sparse_file(const std::string& path, std::uintmax_t size) {
#ifdef _WIN32
    const std::unique_ptr<void, decltype(&CloseHandle)> file(
        CreateFileW(std::filesystem::path(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
        &CloseHandle);
    ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
#else
    std::filesystem::resize_file(path, size);
#endif
}

TEST_F(ImportLimits, APhotoOf2GiBOrMoreIsRefusedUnreadAndTheStoredOneStays) {
    for (const std::uintmax_t size : {std::uintmax_t{1} << 31, (std::uintmax_t{5} << 30) + 7}) {
        SCOPED_TRACE(size);
        const std::string big = write("big.jpg", "");
        make_sparse_file(big, size);
        page_.remove_missing = true;
        page_.read_failures.clear();
        int opens = 0;
        zn::files::set_file_fault_hook(count_opens, &opens);
        EXPECT_TRUE(run("12,Ann," + big + "\r\n"));
        zn::files::set_file_fault_hook(nullptr, nullptr);
        EXPECT_EQ(opens, 2) << "the import file, counted and run; never the photo";
        ASSERT_EQ(page_.read_failures.size(), 1u);
        EXPECT_EQ(page_.read_failures[0],
                  u"The photo file " + zn::text::from_utf8(big) + u" is 2 GB or larger, too large to import.");
        EXPECT_EQ(photo(12), "old");
        EXPECT_EQ(host_.journal().count("StudentRecord.Save"), 0u);
    }
    if (const auto peak = peak_memory_mib()) {
        std::printf("[ measured ] peak memory %.0f MiB\n", *peak);
        EXPECT_LT(*peak, 1024.0) << "a 2 GiB photo was read into memory";
    }
}

TEST_F(ImportLimits, AnImportFileDeletedDuringTheRunIsReadToItsEnd) {
    const std::string p = write("p.jpg", "new");
    std::string csv;
    // Past the reader's first buffer, so that the rest is read after the deletion.
    while (csv.size() < 100'000) csv += "0,bad\r\n";
    const std::size_t invalid = csv.size() / 7;
    csv += "12,Ann," + p + "\r\n";
    // Linux keeps a deleted file readable while it is open; Windows refuses to delete it, as the
    // run does not share deletion. Either way the run reads on to the end.
    bool removed = false;
    page_.on_yield = [&] {
        std::error_code ignored;
        removed = removed || std::filesystem::remove(import_path(), ignored);
    };
    EXPECT_TRUE(run(csv));
#ifdef _WIN32
    EXPECT_FALSE(removed);
#else
    EXPECT_TRUE(removed);
#endif
    EXPECT_EQ(page_.prompts, invalid);
    EXPECT_EQ(photo(12), "new");
}

TEST_F(ImportLimits, AnImportFileCutShortDuringTheRunEndsItWithAnErrorNotACutLine) {
    const std::string p = write("p.jpg", "new");
    std::string csv;
    // Invalid lines well past the reader's first buffer, then a row whose photo path gets cut.
    while (csv.size() < 100'000) csv += "0,bad\r\n";
    const std::size_t last_line = csv.size();
    csv += "12,Ann," + p + "\r\n";
    page_.remove_missing = true;  // a cut path naming no file would clear the photo
    bool cut = false;
    page_.on_yield = [&] {
        if (!std::exchange(cut, true)) std::filesystem::resize_file(import_path(), last_line + 10);  // inside the path
    };
    try {
        run(csv);
        ADD_FAILURE() << "the run went through a file cut short";
    } catch (const zn::com::ComError& e) {
        EXPECT_EQ(e.code(), zn::files::kInputPastEndOfFile);
        EXPECT_EQ(e.description(), u"Input past end of file: the file was cut short while it was read");
    }
    EXPECT_EQ(photo(12), "old");
    EXPECT_EQ(host_.journal().count("StudentRecord.Load"), 0u) << "the cut line was used";
    EXPECT_GT(page_.prompts, 10u) << "the lines before the cut were read";

    // A file small enough to have been read whole before it was cut goes through as it was.
    page_.prompts = 0;
    page_.on_yield = [&] { std::filesystem::resize_file(import_path(), 0); };
    std::string small;
    for (int i = 0; i < 10; ++i) small += "0,bad\r\n";
    EXPECT_TRUE(run(small + "12,Ann," + p + "\r\n"));
    EXPECT_EQ(page_.prompts, 10u);
    EXPECT_EQ(photo(12), "new");
}

TEST_F(ImportLimits, AFullStoreFailsTheSaveWithItsMessageAndKeepsTheOldPhoto) {
    zn::refhost::store::Connection& db = host_.records().connection();
    zn::refhost::store::Statement pages = db.prepare("PRAGMA page_count");
    ASSERT_TRUE(pages.step());
    // Room for a few small photos, not for one of a megabyte.
    db.exec("PRAGMA max_page_count = " + std::to_string(pages.column_int(0) + 8));
    const std::string small = write("small.jpg", "new");
    const std::string big = write("big.jpg", std::string(1u << 20, '\x7f'));
    try {
        run("12,Ann," + small + "\r\n14,Bob," + big + "\r\n20,Cy," + small + "\r\n");
        ADD_FAILURE() << "the run went on past a full store";
    } catch (const zn::com::ComError& e) {
        EXPECT_EQ(e.code(), E_FAIL);
        EXPECT_NE(e.description().find(u"database or disk is full"), std::u16string::npos)
            << zn::text::to_utf8(e.description());
    }
    EXPECT_EQ(photo(12), "new") << "saved before the store was full";
    EXPECT_EQ(photo(14), "old") << "the failed update was rolled back";
    EXPECT_EQ(photo(20), "old") << "the run stopped at the failure";
    EXPECT_EQ(host_.live().of("StudentRecord").objects, 0) << host_.live().to_string();
    // No transaction was left open: the next save goes through.
    EXPECT_TRUE(run("14,Bob," + small + "\r\n"));
    EXPECT_EQ(photo(14), "new");
}

}  // namespace
