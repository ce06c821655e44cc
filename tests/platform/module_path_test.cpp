#include <gtest/gtest.h>

#include "platform/com/module_path.h"

namespace zn::com {
namespace {

TEST(ModulePath, NamesTheFileThatHoldsThisCode) {
    const std::u16string path = module_file_path();
    ASSERT_FALSE(path.empty());
    // This code is linked into the test program itself.
    EXPECT_NE(path.find(u"platform_tests"), std::u16string::npos);
    const std::u16string folder = folder_of(path);
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
}

TEST(FolderOf, DropsTheFileNameAndItsSeparator) {
    EXPECT_EQ(folder_of(u"C:\\Program Files\\ZN\\ZNImportPhotos.dll"), u"C:\\Program Files\\ZN");
    EXPECT_EQ(folder_of(u"/opt/zn/lib/ZNImportPhotos.so"), u"/opt/zn/lib");
    EXPECT_EQ(folder_of(u"C:\\mixed/seps\\x.dll"), u"C:\\mixed/seps");
}

TEST(FolderOf, KeepsTheSeparatorAtARoot) {
    EXPECT_EQ(folder_of(u"C:\\ZNImportPhotos.dll"), u"C:\\");
    EXPECT_EQ(folder_of(u"D:/x.dll"), u"D:/");
    EXPECT_EQ(folder_of(u"/ZNImportPhotos.so"), u"/");
}

TEST(FolderOf, NetworkShareKeepsItsShareName) {
    EXPECT_EQ(folder_of(u"\\\\server\\share\\x.dll"), u"\\\\server\\share");
}

TEST(FolderOf, BareFileNameHasNoFolder) {
    EXPECT_EQ(folder_of(u"x.dll"), u"");
}

}  // namespace
}  // namespace zn::com
