// FileUtilities as the component meets it: Windows path rules on every platform, the
// trailing-separator folder rule of FileExists, and replacement of every occurrence.
#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>

#include "platform/com/bstr.h"
#include "platform/text/utf.h"
#include "refhost/components/path_rules.h"
#include "refhost/components/reference_host.h"
#include "support/temp_folder.h"

namespace zn::refhost {
namespace {

struct PathCase {
    std::u16string_view path;
    std::u16string_view folder;
    std::u16string_view name;
};

class PathParts : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathParts, SplitIntoFolderAndFileName) {
    const PathCase& c = GetParam();
    EXPECT_EQ(folder_part(c.path), c.folder) << text::to_utf8(c.path);
    EXPECT_EQ(file_name_part(c.path), c.name) << text::to_utf8(c.path);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsRules, PathParts,
    ::testing::Values(PathCase{u"C:\\data\\photos.csv", u"C:\\data", u"photos.csv"},
                      PathCase{u"C:/data/photos.csv", u"C:/data", u"photos.csv"},
                      PathCase{u"C:\\data/sub\\photos.csv", u"C:\\data/sub", u"photos.csv"},  // mixed separators
                      PathCase{u"C:\\photos.csv", u"C:\\", u"photos.csv"},                    // drive root kept
                      PathCase{u"C:photos.csv", u"C:", u"photos.csv"},                        // drive-relative
                      PathCase{u"C:\\", u"C:\\", u""},
                      PathCase{u"\\photos.csv", u"\\", u"photos.csv"},  // root of the current drive
                      PathCase{u"/home/u/photos.csv", u"/home/u", u"photos.csv"},
                      PathCase{u"/photos.csv", u"/", u"photos.csv"},
                      PathCase{u"C:\\data\\", u"C:\\data", u""},  // a folder path: no file name
                      PathCase{u"C:\\data\\\\photos.csv", u"C:\\data", u"photos.csv"},
                      PathCase{u"\\\\server\\share\\photos.csv", u"\\\\server\\share", u"photos.csv"},
                      PathCase{u"photos.csv", u"", u"photos.csv"}, PathCase{u"", u"", u""},
                      PathCase{u"1:\\x", u"1:", u"x"}));  // only letters make a drive

class FileUtilitiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "folder");
        dir_.write("photo.jpg", "bytes");
        dir_.write("empty.jpg");
        ASSERT_EQ(CoCreateInstance(host::CLSID_FileUtilities, nullptr, CLSCTX_INPROC_SERVER,
                                   com::iid_of<host::FileUtilities>(), files_.put_void()),
                  S_OK);
    }
    void TearDown() override { files_ = nullptr; }

    // The temporary folder in Windows style: every separator a "\".
    std::u16string windows_path(std::u16string_view relative) const {
        std::u16string p = dir_.path().u16string() + u"\\" + std::u16string(relative);
        for (auto& c : p)
            if (c == u'/') c = u'\\';
        return p;
    }
    std::u16string native_path(std::u16string_view relative) const { return (dir_ / relative).u16string(); }

    bool exists(std::u16string_view path) {
        VARIANT_BOOL r = 7;  // neither True nor False: the member must write it
        const com::Bstr p(path);
        EXPECT_EQ(files_->FileExists(p.get(), &r), S_OK);
        EXPECT_TRUE(r == VARIANT_TRUE || r == VARIANT_FALSE) << r;
        return r == VARIANT_TRUE;
    }

    ReferenceHost host_;
    com::ComPtr<host::FileUtilities> files_;
    test::TempFolder dir_{"zn-refhost-files"};
};

TEST_F(FileUtilitiesTest, FileExistsIsTrueExactlyForAnExistingFile) {
    EXPECT_TRUE(exists(native_path(u"photo.jpg")));
    EXPECT_TRUE(exists(native_path(u"empty.jpg")));  // size plays no part
    EXPECT_TRUE(exists(windows_path(u"photo.jpg")));
    EXPECT_FALSE(exists(native_path(u"missing.jpg")));
    EXPECT_FALSE(exists(native_path(u"folder")));  // a folder is not a file
    EXPECT_FALSE(exists(u""));
}

TEST_F(FileUtilitiesTest, APathEndingInASeparatorAsksForTheFolder) {
    EXPECT_TRUE(exists(windows_path(u"folder\\")));
    EXPECT_TRUE(exists(native_path(u"folder/")));
    EXPECT_FALSE(exists(windows_path(u"missing\\")));
    EXPECT_FALSE(exists(windows_path(u"photo.jpg\\")));  // a file is not a folder
}

TEST_F(FileUtilitiesTest, ANulInThePathNamesNothing) {
    // The system would see only the part before the NUL, which exists.
    const std::u16string cut = native_path(u"photo.jpg") + std::u16string(1, u'\0') + u"x";
    EXPECT_FALSE(exists(cut));
}

TEST_F(FileUtilitiesTest, GetPathPartTakesAnyNonZeroFlagAsTheFolder) {
    const com::Bstr path(u"C:\\data\\photos.csv");
    for (LONG flag : {-1, 1}) {
        com::Bstr part;
        ASSERT_EQ(files_->GetPathPart(path.get(), flag, part.receive()), S_OK);
        EXPECT_EQ(part.view(), u"C:\\data") << flag;
    }
    com::Bstr name;
    ASSERT_EQ(files_->GetPathPart(path.get(), 0, name.receive()), S_OK);
    EXPECT_EQ(name.view(), u"photos.csv");
}

TEST_F(FileUtilitiesTest, ReplaceTextReplacesEveryOccurrenceAndCountsThem) {
    struct Case {
        std::u16string_view text, search, replacement, expected;
        LONG count;
    };
    const Case cases[] = {
        {u"\"a\",\"b\"", u"\"", u"", u"a,b", 4},
        {u"aaaa", u"aa", u"a", u"aa", 2},   // no rescanning of what was replaced
        {u"abc", u"b", u"bb", u"abbc", 1},  // a replacement containing the search text
        {u"abc", u"x", u"y", u"abc", 0},
        {u"abc", u"", u"y", u"abc", 0},  // an empty search replaces nothing
        {u"", u"a", u"b", u"", 0},
        {u"ÄxÄ", u"Ä", u"ae", u"aexae", 2},
    };
    for (const Case& c : cases) {
        const com::Bstr text(c.text), search(c.search), replacement(c.replacement);
        LONG count = 0;
        com::Bstr result;
        ASSERT_EQ(files_->ReplaceText(text.get(), search.get(), replacement.get(), &count, result.receive()), S_OK);
        EXPECT_EQ(result.view(), c.expected) << text::to_utf8(c.text);
        EXPECT_EQ(count, c.count) << text::to_utf8(c.text);
    }
}

TEST_F(FileUtilitiesTest, NullOutPointersAreRefusedAndJournaled) {
    const com::Bstr path(u"x");
    EXPECT_EQ(files_->FileExists(path.get(), nullptr), E_POINTER);
    EXPECT_EQ(files_->GetPathPart(path.get(), 0, nullptr), E_POINTER);
    const auto calls = host_.journal().calls_to("FileUtilities.FileExists");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result, E_POINTER);
    EXPECT_EQ(calls[0].outcome, "failed 0x80004003");
}

}  // namespace
}  // namespace zn::refhost
