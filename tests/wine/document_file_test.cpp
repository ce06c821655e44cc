// The document file beside the module, read by the system's own reader of compound files.
#include <gtest/gtest.h>

#include "plugin/module_identity.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

TEST(DocumentFile, TheSystemFindsThePageClassInIt) {
    std::wstring path = module_path();
    path.resize(path.find_last_of(L"\\/") + 1);
    path += L"docZNImportPhotos.vbd";
    EXPECT_EQ(StgIsStorageFile(path.c_str()), S_OK);
    CLSID clsid{};
    ASSERT_EQ(GetClassFile(path.c_str(), &clsid), S_OK);
    EXPECT_EQ(guid_text(clsid), guid_text(plugin::page_class().clsid));
}

}  // namespace
}  // namespace zn::wine_test
