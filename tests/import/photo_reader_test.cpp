// Reading photo files into the photo field's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <string>

#include "import/photo_reader.h"
#include "import_test_support.h"
#include "platform/files/file_numbers.h"
#include "platform/text/code_page.h"

namespace zn::import {
namespace {

using test::every_byte_value;
using test::FileNumberTest;
using test::RecordingReaderPort;
using test::TempFolder;

class PhotoReading : public FileNumberTest {
protected:
    TempFolder folder;
    RecordingReaderPort port;
    int exists_calls = 0;
    bool busy_while_checking = false;

    // The file system's answer, as the host's FileExists gives it.
    FileExistsCheck exists_on_disk() {
        return [this](std::u16string_view path) {
            ++exists_calls;
            busy_while_checking = port.busy;
            std::error_code error;
            return std::filesystem::is_regular_file(std::filesystem::path(std::u16string(path)), error);
        };
    }
    static FileExistsCheck says_yes() {
        return [](std::u16string_view) { return true; };
    }

    void expect_busy_then_not() {
        EXPECT_EQ(port.busy_changes, (std::vector<bool>{true, false}));
        port.busy_changes.clear();
    }
};

// Bytes whose value depends on their position, so that a piece read from the wrong place shows.
std::string patterned(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 5000 * 3 + i / 251) & 0xFF);
    return s;
}

TEST_F(PhotoReading, EveryLengthAroundThePieceSizeComesBackByteForByte) {
    for (std::size_t size : {1u, 4999u, 5000u, 5001u, 10000u, 12345u, 100003u}) {
        SCOPED_TRACE(size);
        const std::string bytes = patterned(size);
        const PhotoReadResult result = read_photo(folder.write(u"photo.jpg", bytes), exists_on_disk(), port);
        EXPECT_FALSE(result.failed);
        ASSERT_EQ(result.value.size(), size);
        EXPECT_TRUE(result.value.view() == text::ansi_to_utf16(bytes));
        EXPECT_EQ(text::utf16_to_ansi(result.value.view()), bytes);
        expect_busy_then_not();
    }
    EXPECT_TRUE(port.failures.empty());
}

TEST_F(PhotoReading, EveryByteValueIsCarried) {
    const std::string bytes = every_byte_value();
    const PhotoReadResult result = read_photo(folder.write(u"all.bin", bytes), exists_on_disk(), port);
    ASSERT_EQ(result.value.size(), 256u);
    EXPECT_EQ(result.value.view()[0], u'\0');
    EXPECT_EQ(text::utf16_to_ansi(result.value.view()), bytes);
}

TEST_F(PhotoReading, AMissingFileIsTheEmptyValueWithoutAMessage) {
    for (std::u16string name : {folder.path_of(u"missing.jpg"), std::u16string()}) {
        const PhotoReadResult result = read_photo(name, exists_on_disk(), port);
        EXPECT_TRUE(result.value.empty());
        EXPECT_FALSE(result.failed);
        expect_busy_then_not();
    }
    EXPECT_EQ(exists_calls, 2);
    EXPECT_TRUE(busy_while_checking);
    EXPECT_TRUE(port.failures.empty());
}

TEST_F(PhotoReading, AnEmptyFileIsTheEmptyValueWithoutAMessage) {
    const PhotoReadResult result = read_photo(folder.write(u"empty.jpg", ""), exists_on_disk(), port);
    EXPECT_TRUE(result.value.empty());
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(port.failures.empty());
    expect_busy_then_not();
}

TEST_F(PhotoReading, AFileThatCannotBeOpenedShowsOneMessageAndTheNextCallWorks) {
    // A folder that the existence check takes for a file: opening it fails.
    const PhotoReadResult failed = read_photo(folder.path().u16string(), says_yes(), port);
    EXPECT_TRUE(failed.failed);
    EXPECT_TRUE(failed.value.empty());
    ASSERT_EQ(port.failures.size(), 1u);
    EXPECT_TRUE(port.failures[0] == u"Path/File access error");
    expect_busy_then_not();

    const PhotoReadResult next = read_photo(folder.write(u"ok.jpg", "JFIF"), exists_on_disk(), port);
    EXPECT_FALSE(next.failed);
    EXPECT_TRUE(next.value.view() == u"JFIF");
    EXPECT_EQ(port.failures.size(), 1u);
}

TEST_F(PhotoReading, AFailingExistenceCheckShowsItsOwnDescription) {
    const FileExistsCheck host_fails = [](std::u16string_view) -> bool {
        throw com::ComError(E_FAIL, u"The host could not look at the file");
    };
    const FileExistsCheck memory_runs_out = [](std::u16string_view) -> bool { throw std::bad_alloc(); };
    const std::u16string photo = folder.write(u"p.jpg", "x");
    for (const auto& check : {host_fails, memory_runs_out}) {
        const PhotoReadResult result = read_photo(photo, check, port);
        EXPECT_TRUE(result.failed);
        EXPECT_TRUE(result.value.empty());
        expect_busy_then_not();
    }
    ASSERT_EQ(port.failures.size(), 2u);
    EXPECT_TRUE(port.failures[0] == u"The host could not look at the file");
    EXPECT_TRUE(port.failures[1] == u"Out of memory");
}

TEST_F(PhotoReading, AFileGoneAfterTheCheckIsAFailureNotAMissingPhoto) {
    const PhotoReadResult result = read_photo(folder.path_of(u"vanished.jpg"), says_yes(), port);
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(port.failures.size(), 1u);
    EXPECT_TRUE(port.failures[0] == u"File not found");
}

TEST_F(PhotoReading, AFileOf2GiBOrMoreIsAFailureThatSaysSo) {
    const std::u16string big = folder.write(u"huge.jpg", "");
    std::error_code error;
    std::filesystem::resize_file(std::filesystem::path(big), std::uintmax_t{1} << 31, error);
    if (error) GTEST_SKIP() << "cannot make a 2 GiB file here: " << error.message();
    const PhotoReadResult result = read_photo(big, exists_on_disk(), port);
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.value.empty());
    ASSERT_EQ(port.failures.size(), 1u);
    const std::u16string& prompt = port.failures[0];
    EXPECT_NE(prompt.find(big), std::u16string::npos);
    EXPECT_NE(prompt.find(u"2 GB"), std::u16string::npos);
    expect_busy_then_not();
}

TEST_F(PhotoReading, TheImportFileStaysOpenAndThePhotoFileIsClosed) {
    const std::u16string import_file = folder.write(u"import.csv", "1,a,p.jpg\r\n");
    files::OpenFile run(1, import_file, files::Mode::Input);
    files::OpenFile other(3, import_file, files::Mode::Input);
    const PhotoReadResult result = read_photo(folder.write(u"p.jpg", "photo"), exists_on_disk(), port);
    EXPECT_TRUE(result.value.view() == u"photo");
    EXPECT_TRUE(files::is_open(1));
    EXPECT_TRUE(files::is_open(3));
    EXPECT_EQ(files::free_file(), 2);
    // After a failure, too.
    EXPECT_TRUE(read_photo(folder.path().u16string(), says_yes(), port).failed);
    EXPECT_EQ(files::free_file(), 2);
}

TEST_F(PhotoReading, NoFreeNumberIsAFailureLikeAnyOther) {
    const std::u16string photo = folder.write(u"p.jpg", "photo");
    for (int n = 1; n <= files::kMaxFileNumber; ++n) files::open(n, photo, files::Mode::Binary);
    const PhotoReadResult result = read_photo(photo, exists_on_disk(), port);
    close_every_number();
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(port.failures.size(), 1u);
    EXPECT_TRUE(port.failures[0] == u"Too many files");
}

}  // namespace
}  // namespace zn::import
