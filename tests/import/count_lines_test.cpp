// Counting an import file's lines before a run: file number 1, closed on every way out.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "import/count_lines.h"
#include "import_test_support.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_numbers.h"

namespace zn::import {
namespace {

using test::expect_com_error;
using test::FileNumberTest;
using test::TempFolder;

class Counting : public FileNumberTest {
protected:
    TempFolder folder;
};

TEST_F(Counting, CountsAndClosesFileNumberOne) {
    const std::u16string name = folder.write(u"import.csv", "h\r\n1,a,b\r\n2,c,d\r\n");
    EXPECT_EQ(CountLines(name), 3);
    EXPECT_FALSE(files::is_open(kImportFileNumber));
    // The run opens the same file under the same number right after.
    files::OpenFile run(kImportFileNumber, name, files::Mode::Input);
    EXPECT_EQ(run.number(), 1);
}

TEST_F(Counting, AnEmptyFileHasNoLines) {
    EXPECT_EQ(CountLines(folder.write(u"empty.csv", "")), 0);
}

TEST_F(Counting, AMissingFileFailsAndLeavesNumberOneFree) {
    expect_com_error([&] { CountLines(folder.path_of(u"missing.csv")); }, com::kFileNotFound, u"File not found");
    expect_com_error([&] { CountLines(folder.path().u16string()); }, files::kPathFileAccessError);
    EXPECT_FALSE(files::is_open(1));
}

TEST_F(Counting, AReadFailureClosesTheFile) {
    // Linux gives an I/O error when reading the unmapped start of the process's memory.
    const std::u16string unreadable = u"/proc/self/mem";
    if (!std::filesystem::exists(std::filesystem::path(unreadable))) GTEST_SKIP() << "no file that fails to read";
    expect_com_error([&] { CountLines(unreadable); }, com::kDeviceIoError, u"Device I/O error");
    EXPECT_FALSE(files::is_open(1));
    EXPECT_EQ(CountLines(folder.write(u"next.csv", "x")), 1);
}

TEST_F(Counting, NumberOneInUseFailsWithoutClosingItsFile) {
    const std::u16string name = folder.write(u"import.csv", "1,a,b");
    // A run still holds the import file open (a second Process during its yield).
    files::OpenFile running(kImportFileNumber, name, files::Mode::Input);
    expect_com_error([&] { CountLines(name); }, com::kFileAlreadyOpen, u"File already open");
    EXPECT_TRUE(files::is_open(kImportFileNumber));
}

TEST(LineCount, OverflowsPastTheSigned32BitRange) {
    EXPECT_EQ(next_line_count(0), 1);
    const std::int32_t last = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(next_line_count(last - 1), last);
    expect_com_error([&] { next_line_count(last); }, com::kOverflow);
}

}  // namespace
}  // namespace zn::import
