// The module's version resource, as installers and the registration tools read it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

class VersionResource : public ::testing::Test {
protected:
    std::vector<unsigned char> block;
    std::wstring string_table;

    void SetUp() override {
        const std::wstring module = module_path();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(module.c_str(), 0, size, block.data()));
        struct Translation {
            WORD language;
            WORD code_page;
        }* translations = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                                   &length));
        ASSERT_GE(length, sizeof(Translation));
        wchar_t name[64];
        wsprintfW(name, L"\\StringFileInfo\\%04x%04x\\", translations->language, translations->code_page);
        string_table = name;
    }

    std::optional<std::wstring> string(const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), (string_table + name).c_str(), reinterpret_cast<void**>(&value), &length))
            return std::nullopt;
        return std::wstring(value ? value : L"", value ? wcsnlen(value, length) : 0);
    }
};

// The numbers carry the release's three fields, which installers and inventory tools compare; the
// texts stay "1.00", as hosts have always read them.
TEST_F(VersionResource, NumbersAreTheReleasesVersionAndTextsOneDotZeroZero) {
    EXPECT_EQ(string(L"FileVersion"), L"1.00");
    EXPECT_EQ(string(L"ProductVersion"), L"1.00");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD ms = (ZN_VERSION_MAJOR << 16) | ZN_VERSION_MINOR;
    const DWORD ls = ZN_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

// What AppLocker's and WDAC's publisher rules read besides the signature, and the publisher.
TEST_F(VersionResource, NamesThePublisherTheProductAndTheFile) {
    const std::string publisher = ZN_PUBLISHER;
    EXPECT_EQ(string(L"CompanyName"), std::wstring(publisher.begin(), publisher.end()));
    EXPECT_EQ(string(L"ProductName"), L"ZNImportPhotos");
    EXPECT_EQ(string(L"OriginalFilename"), L"ZNImportPhotos.dll");
}

TEST_F(VersionResource, MarksTheModuleAsSelfRegistering) {
    EXPECT_TRUE(string(L"OLESelfRegister").has_value());
    EXPECT_FALSE(string(L"NoSuchValue").has_value());
}

}  // namespace
}  // namespace zn::wine_test
