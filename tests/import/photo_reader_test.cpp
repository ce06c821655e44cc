// Reading photo files into the photo field's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <string>

#include "import/photo_reader.h"
#include "import_test_support.h"
#include "platform/files/file_numbers.h"
#include "platform/text/code_page.h"
#include "platform/ui/app.h"

namespace zn::import {
namespace {

using test::every_byte_value;
using test::FileNumberTest;
using test::RecordingBackend;
using test::TempFolder;
using ui::MousePointer;

class PhotoReading : public FileNumberTest {
protected:
    TempFolder folder;
    RecordingBackend backend;
    ui::ScopedBackend installed{backend};
    int exists_calls = 0;
    MousePointer pointer_while_checking = MousePointer::Default;

    // The file system's answer, as the host's FileExists gives it.
    FileExistsCheck exists_on_disk() {
        return [this](std::u16string_view path) {
            ++exists_calls;
            pointer_while_checking = ui::mouse_pointer();
            std::error_code error;
            return std::filesystem::is_regular_file(std::filesystem::path(std::u16string(path)), error);
        };
    }
    static FileExistsCheck says_yes() {
        return [](std::u16string_view) { return true; };
    }

    void expect_hourglass_then_default() {
        EXPECT_EQ(backend.pointer_changes, (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
        backend.pointer_changes.clear();
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
        const PhotoReadResult result = read_photo(folder.write(u"photo.jpg", bytes), exists_on_disk());
        EXPECT_FALSE(result.failed);
        ASSERT_EQ(result.value.size(), size);
        EXPECT_TRUE(result.value.view() == text::ansi_to_utf16(bytes));
        EXPECT_EQ(text::utf16_to_ansi(result.value.view()), bytes);
        expect_hourglass_then_default();
    }
    EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(PhotoReading, EveryByteValueIsCarried) {
    const std::string bytes = every_byte_value();
    const PhotoReadResult result = read_photo(folder.write(u"all.bin", bytes), exists_on_disk());
    ASSERT_EQ(result.value.size(), 256u);
    EXPECT_EQ(result.value.view()[0], u'\0');
    EXPECT_EQ(text::utf16_to_ansi(result.value.view()), bytes);
}

TEST_F(PhotoReading, AMissingFileIsTheEmptyValueWithoutAMessage) {
    for (std::u16string name : {folder.path_of(u"missing.jpg"), std::u16string()}) {
        const PhotoReadResult result = read_photo(name, exists_on_disk());
        EXPECT_TRUE(result.value.empty());
        EXPECT_FALSE(result.failed);
        expect_hourglass_then_default();
    }
    EXPECT_EQ(exists_calls, 2);
    EXPECT_EQ(pointer_while_checking, MousePointer::Hourglass);
    EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(PhotoReading, AnEmptyFileIsTheEmptyValueWithoutAMessage) {
    const PhotoReadResult result = read_photo(folder.write(u"empty.jpg", ""), exists_on_disk());
    EXPECT_TRUE(result.value.empty());
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(backend.boxes.empty());
    expect_hourglass_then_default();
}

TEST_F(PhotoReading, AFileThatCannotBeOpenedShowsOneMessageAndTheNextCallWorks) {
    // A folder that the existence check takes for a file: opening it fails.
    const PhotoReadResult failed = read_photo(folder.path().u16string(), says_yes());
    EXPECT_TRUE(failed.failed);
    EXPECT_TRUE(failed.value.empty());
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_TRUE(backend.boxes[0].prompt == u"Path/File access error");
    EXPECT_EQ(backend.boxes[0].style, ui::kOkOnly);
    EXPECT_FALSE(backend.boxes[0].title.has_value());
    expect_hourglass_then_default();

    const PhotoReadResult next = read_photo(folder.write(u"ok.jpg", "JFIF"), exists_on_disk());
    EXPECT_FALSE(next.failed);
    EXPECT_TRUE(next.value.view() == u"JFIF");
    EXPECT_EQ(backend.boxes.size(), 1u);
}

TEST_F(PhotoReading, AFailingExistenceCheckShowsItsOwnDescription) {
    const FileExistsCheck host_fails = [](std::u16string_view) -> bool {
        throw com::ComError(E_FAIL, u"The host could not look at the file");
    };
    const FileExistsCheck memory_runs_out = [](std::u16string_view) -> bool { throw std::bad_alloc(); };
    const std::u16string photo = folder.write(u"p.jpg", "x");
    for (const auto& check : {host_fails, memory_runs_out}) {
        const PhotoReadResult result = read_photo(photo, check);
        EXPECT_TRUE(result.failed);
        EXPECT_TRUE(result.value.empty());
        expect_hourglass_then_default();
    }
    ASSERT_EQ(backend.boxes.size(), 2u);
    EXPECT_TRUE(backend.boxes[0].prompt == u"The host could not look at the file");
    EXPECT_TRUE(backend.boxes[1].prompt == u"Out of memory");
}

TEST_F(PhotoReading, AFileGoneAfterTheCheckIsAFailureNotAMissingPhoto) {
    const PhotoReadResult result = read_photo(folder.path_of(u"vanished.jpg"), says_yes());
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_TRUE(backend.boxes[0].prompt == u"File not found");
}

TEST_F(PhotoReading, AFileOf2GiBOrMoreIsAFailureThatSaysSo) {
    const std::u16string big = folder.write(u"huge.jpg", "");
    std::error_code error;
    std::filesystem::resize_file(std::filesystem::path(big), std::uintmax_t{1} << 31, error);
    if (error) GTEST_SKIP() << "cannot make a 2 GiB file here: " << error.message();
    const PhotoReadResult result = read_photo(big, exists_on_disk());
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.value.empty());
    ASSERT_EQ(backend.boxes.size(), 1u);
    const std::u16string& prompt = backend.boxes[0].prompt;
    EXPECT_NE(prompt.find(big), std::u16string::npos);
    EXPECT_NE(prompt.find(u"2 GB"), std::u16string::npos);
    expect_hourglass_then_default();
}

TEST_F(PhotoReading, TheImportFileStaysOpenAndThePhotoFileIsClosed) {
    const std::u16string import_file = folder.write(u"import.csv", "1,a,p.jpg\r\n");
    files::OpenFile run(1, import_file, files::Mode::Input);
    files::OpenFile other(3, import_file, files::Mode::Input);
    const PhotoReadResult result = read_photo(folder.write(u"p.jpg", "photo"), exists_on_disk());
    EXPECT_TRUE(result.value.view() == u"photo");
    EXPECT_TRUE(files::is_open(1));
    EXPECT_TRUE(files::is_open(3));
    EXPECT_EQ(files::free_file(), 2);
    // After a failure, too.
    EXPECT_TRUE(read_photo(folder.path().u16string(), says_yes()).failed);
    EXPECT_EQ(files::free_file(), 2);
}

TEST_F(PhotoReading, NoFreeNumberIsAFailureLikeAnyOther) {
    const std::u16string photo = folder.write(u"p.jpg", "photo");
    for (int n = 1; n <= files::kMaxFileNumber; ++n) files::open(n, photo, files::Mode::Binary);
    const PhotoReadResult result = read_photo(photo, exists_on_disk());
    close_every_number();
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_TRUE(backend.boxes[0].prompt == u"Too many files");
}

}  // namespace
}  // namespace zn::import
