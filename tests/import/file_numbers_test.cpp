// Files open under numbers: the table, the errors, the guard, positions and lengths.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "import_test_support.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_numbers.h"

namespace zn::files {
namespace {

using import::test::expect_com_error;
using import::test::FileNumberTest;
using import::test::TempFolder;

class FileNumbers : public FileNumberTest {
protected:
    TempFolder folder;
    std::u16string file = folder.write(u"data.bin", "0123456789");
};

TEST_F(FileNumbers, FreeFileIsTheLowestNumberNotOpen) {
    EXPECT_EQ(free_file(), 1);
    open(1, file, Mode::Input);
    open(2, file, Mode::Binary);
    EXPECT_EQ(free_file(), 3);
    close(1);
    EXPECT_EQ(free_file(), 1);
    EXPECT_FALSE(is_open(1));
    EXPECT_TRUE(is_open(2));
    close(1);  // closing a closed number does nothing
    close_every_number();
    EXPECT_FALSE(is_open(2));
}

TEST_F(FileNumbers, TooManyFilesWhenEveryNumberIsTaken) {
    for (int n = 1; n <= kMaxFileNumber; ++n) open(n, file, Mode::Binary);
    expect_com_error([] { free_file(); }, kTooManyFiles, u"Too many files");
    close(77);
    EXPECT_EQ(free_file(), 77);
    close_every_number();
}

TEST_F(FileNumbers, OpeningANumberInUseFailsAndLeavesTheFirstFileOpen) {
    open(1, file, Mode::Input);
    const std::u16string other = folder.write(u"other.txt", "xyz");
    expect_com_error([&] { open(1, other, Mode::Input); }, com::kFileAlreadyOpen, u"File already open");
    std::uint8_t buffer[16] = {};
    ASSERT_EQ(read(1, buffer, sizeof buffer), 10u);
    EXPECT_EQ(buffer[0], '0');
    close(1);
}

TEST_F(FileNumbers, OpenFailuresCarryTheRuntimeErrors) {
    expect_com_error([&] { open(1, folder.path_of(u"missing.jpg"), Mode::Binary); }, com::kFileNotFound,
                     u"File not found");
    expect_com_error([&] { open(1, folder.path_of(u"no folder/x.jpg"), Mode::Binary); }, com::kFileNotFound);
    // A folder is no file to read.
    expect_com_error([&] { open(1, folder.path().u16string(), Mode::Binary); }, kPathFileAccessError,
                     u"Path/File access error");
    // A zero character must not cut the name short and open another file.
    std::u16string cut = file + u'\0' + u"ignored";
    expect_com_error([&] { open(1, cut, Mode::Binary); }, com::kBadFileNameOrNumber);
    expect_com_error([&] { open(0, file, Mode::Binary); }, com::kBadFileNameOrNumber);
    expect_com_error([&] { open(kMaxFileNumber + 1, file, Mode::Binary); }, com::kBadFileNameOrNumber);
    EXPECT_FALSE(is_open(1));
}

TEST_F(FileNumbers, ReadsNeedAnOpenNumberOfTheRightMode) {
    std::uint8_t buffer[4] = {};
    expect_com_error([&] { read(3, buffer, 4); }, com::kBadFileNameOrNumber);
    open(3, file, Mode::Binary);
    expect_com_error([&] { read(3, buffer, 4); }, com::kBadFileMode, u"Bad file mode");
    open(4, file, Mode::Input);
    expect_com_error([&] { read_at(4, 1, buffer, 4); }, com::kBadFileMode);
    expect_com_error([&] { read_at(3, 0, buffer, 4); }, com::kBadFileNameOrNumber);
    close_every_number();
}

TEST_F(FileNumbers, BinaryReadsCountPositionsFromOne) {
    open(5, file, Mode::Binary);
    std::uint8_t buffer[8] = {};
    ASSERT_EQ(read_at(5, 1, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, buffer + 3), "012");
    ASSERT_EQ(read_at(5, 8, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, buffer + 3), "789");
    // Reads do not depend on one another: the position is absolute.
    ASSERT_EQ(read_at(5, 2, buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, buffer + 2), "12");
    // Past the end: fewer bytes, or none.
    EXPECT_EQ(read_at(5, 9, buffer, 8), 2u);
    EXPECT_EQ(read_at(5, 11, buffer, 8), 0u);
    close(5);
}

TEST_F(FileNumbers, InputReadsGoThroughTheFileOnce) {
    open(1, file, Mode::Input);
    std::uint8_t buffer[4] = {};
    std::string seen;
    for (std::size_t got; (got = read(1, buffer, sizeof buffer)) > 0;) seen.append(buffer, buffer + got);
    EXPECT_EQ(seen, "0123456789");
    EXPECT_EQ(read(1, buffer, sizeof buffer), 0u);
    close(1);
}

TEST_F(FileNumbers, TheGuardClosesOnEveryWayOut) {
    {
        OpenFile guard(1, file, Mode::Input);
        EXPECT_TRUE(is_open(1));
    }
    EXPECT_FALSE(is_open(1));
    try {
        OpenFile guard(file, Mode::Binary);
        EXPECT_EQ(guard.number(), 1);
        throw std::runtime_error("leaving early");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(is_open(1));
}

TEST_F(FileNumbers, AGuardWhoseOpenFailedClosesNothing) {
    open(1, file, Mode::Input);
    expect_com_error([&] { OpenFile guard(1, file, Mode::Input); }, com::kFileAlreadyOpen);
    EXPECT_TRUE(is_open(1));
    close(1);
}

TEST_F(FileNumbers, AGuardLeavesALaterOpeningUnderItsNumberAlone) {
    {
        OpenFile guard(2, file, Mode::Input);
        close(2);  // someone else closes it and opens another file under the same number
        open(2, file, Mode::Binary);
    }
    EXPECT_TRUE(is_open(2));
    close(2);
}

TEST_F(FileNumbers, NumbersBelongToTheirThread) {
    open(1, file, Mode::Input);
    bool open_elsewhere = true;
    int free_elsewhere = 0;
    std::thread([&] {
        open_elsewhere = is_open(1);
        free_elsewhere = free_file();
    }).join();
    EXPECT_FALSE(open_elsewhere);
    EXPECT_EQ(free_elsewhere, 1);
    close(1);
}

TEST_F(FileNumbers, NamesBeyondAsciiOpen) {
    const std::u16string name = folder.write(u"Fot\u00F3 \u20AC \u4E2D.jpg", "abc");
    EXPECT_EQ(file_length(name), 3);
    OpenFile guard(name, Mode::Binary);
    std::uint8_t buffer[3] = {};
    EXPECT_EQ(read_at(guard.number(), 1, buffer, 3), 3u);
}

TEST_F(FileNumbers, BackslashesSeparateFoldersAsOnWindows) {
    std::filesystem::create_directory(folder.path() / "photos");
    folder.write(u"photos/p.jpg", "12345");
    const std::u16string name = folder.path().u16string() + u"\\photos\\p.jpg";
    EXPECT_EQ(file_length(name), 5);
    OpenFile guard(name, Mode::Binary);
    EXPECT_TRUE(is_open(guard.number()));
}

TEST_F(FileNumbers, LengthByName) {
    EXPECT_EQ(file_length(file), 10);
    EXPECT_EQ(file_length(folder.write(u"empty", "")), 0);
    expect_com_error([&] { file_length(folder.path_of(u"missing")); }, com::kFileNotFound, u"File not found");
}

TEST_F(FileNumbers, LengthsOf2GiBAndMoreAreReportedInFull) {
    const std::u16string big = folder.write(u"big.bin", "");
    std::error_code error;
    // Sparse where the file system allows it, so no disk space is used.
    std::filesystem::resize_file(std::filesystem::path(big), (std::uintmax_t{1} << 32) + 5, error);
    if (error) GTEST_SKIP() << "cannot make a 4 GiB file here: " << error.message();
    EXPECT_EQ(file_length(big), (std::int64_t{1} << 32) + 5);
}

}  // namespace
}  // namespace zn::files
