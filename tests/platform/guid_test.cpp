#include <gtest/gtest.h>

#include "platform/com/guid.h"

namespace zn::com {
namespace {

constexpr GUID kPlugin = make_guid("{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}");

TEST(Guid, ParsesFieldsInRegistryByteOrder) {
    EXPECT_EQ(kPlugin.Data1, 0x0EABADACu);
    EXPECT_EQ(kPlugin.Data2, 0x9AD6u);
    EXPECT_EQ(kPlugin.Data3, 0x49CDu);
    const std::uint8_t tail[8] = {0xBC, 0x00, 0xB6, 0x7B, 0x19, 0x8B, 0x80, 0xF0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(kPlugin.Data4[i], tail[i]) << i;
}

TEST(Guid, FormatsUpperCaseWithBracesAndRoundTrips) {
    EXPECT_EQ(format_guid(kPlugin), u"{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}");
    EXPECT_EQ(format_guid_utf8(kPlugin), "{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}");
    const auto back = parse_guid(format_guid(kPlugin));
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(same_guid(*back, kPlugin));
}

TEST(Guid, AcceptsLowerCaseDigits) {
    const auto g = parse_guid(std::u16string_view(u"{0eabadac-9ad6-49cd-bc00-b67b198b80f0}"));
    ASSERT_TRUE(g.has_value());
    EXPECT_TRUE(same_guid(*g, kPlugin));
}

TEST(Guid, RejectsMalformedText) {
    const char16_t* const bad[] = {
        u"",
        u"0EABADAC-9AD6-49CD-BC00-B67B198B80F0",         // no braces
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80F0",        // no closing brace
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80F}",        // a digit short
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80F00}",      // a digit over
        u"{0EABADAC09AD6-49CD-BC00-B67B198B80F0}",       // separator replaced
        u"{0EABADA-C9AD6-49CD-BC00-B67B198B80F0}",       // separator moved
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80FG}",       // not a hex digit
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80F\u0660}",  // a non-ASCII digit
        u"{0EABADAC-9AD6-49CD-BC00-B67B198B80\u01300}",  // a character whose low byte is a digit
    };
    for (const char16_t* text : bad) EXPECT_FALSE(parse_guid(std::u16string_view(text)).has_value());
}

TEST(Guid, SystemInterfaceIdentitiesMatchTheDeclaredOnes) {
    EXPECT_TRUE(same_guid(IID_IUnknown, iid_of<IUnknown>()));
    EXPECT_TRUE(same_guid(IID_IClassFactory, iid_of<IClassFactory>()));
    EXPECT_TRUE(same_guid(IID_IErrorInfo, iid_of<IErrorInfo>()));
    EXPECT_TRUE(same_guid(IID_ICreateErrorInfo, iid_of<ICreateErrorInfo>()));
    EXPECT_EQ(format_guid(IID_IUnknown), u"{00000000-0000-0000-C000-000000000046}");
}

TEST(Guid, EqualityComparesEveryByte) {
    GUID other = kPlugin;
    EXPECT_TRUE(other == kPlugin);
    other.Data4[7] ^= 1;
    EXPECT_FALSE(other == kPlugin);
    EXPECT_FALSE(same_guid(other, kPlugin));
}

}  // namespace
}  // namespace zn::com
