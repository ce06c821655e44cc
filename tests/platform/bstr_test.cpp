#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/com/bstr.h"

namespace zn::com {
namespace {

std::uint32_t length_prefix(BSTR s) {
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(s) - sizeof prefix, sizeof prefix);
    return prefix;
}

TEST(BstrLayout, ByteLengthPrecedesTextAndNulFollowsIt) {
    const std::u16string text = u"Photo";
    BSTR s = SysAllocStringLen(ole(text.data()), static_cast<UINT>(text.size()));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(length_prefix(s), text.size() * 2);
    EXPECT_EQ(SysStringLen(s), text.size());
    EXPECT_EQ(s[text.size()], 0);
    SysFreeString(s);
}

TEST(BstrLayout, EmbeddedNulIsPartOfTheLength) {
    const char16_t text[] = {u'a', 0, u'b'};
    BSTR s = SysAllocStringLen(ole(text), 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(bstr_view(s), std::u16string_view(text, 3));
    SysFreeString(s);
}

TEST(BstrLayout, NullStringsAreEmptyAndFreeingNullIsHarmless) {
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_TRUE(bstr_view(nullptr).empty());
    Bstr none;
    EXPECT_EQ(none.get(), nullptr);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.view(), u"");
}

TEST(BstrLayout, LengthWithoutTextGivesThatManyCharactersAndATerminator) {
    BSTR s = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 4u);
    EXPECT_EQ(s[4], 0);
    SysFreeString(s);
}

TEST(Bstr, OwnsACopyOfItsText) {
    std::u16string text = u"C:\\photos\\1.jpg";
    Bstr b(text);
    text[0] = u'D';
    EXPECT_EQ(b.view(), u"C:\\photos\\1.jpg");
    EXPECT_EQ(b.size(), 15u);
    EXPECT_EQ(b.str(), u"C:\\photos\\1.jpg");
}

TEST(Bstr, EmptyTextIsARealStringNotNull) {
    Bstr b(u"");
    EXPECT_NE(b.get(), nullptr);
    EXPECT_TRUE(b.empty());
    BSTR raw = alloc_bstr(u"");
    EXPECT_NE(raw, nullptr);
    EXPECT_EQ(SysStringLen(raw), 0u);
    SysFreeString(raw);
}

TEST(Bstr, MoveTransfersOwnershipAndEmptiesTheSource) {
    Bstr a(u"one");
    BSTR raw = a.get();
    Bstr b(std::move(a));
    EXPECT_EQ(b.get(), raw);
    EXPECT_EQ(a.get(), nullptr);  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    Bstr c(u"two");
    c = std::move(b);
    EXPECT_EQ(c.get(), raw);
    EXPECT_EQ(c.view(), u"one");
}

TEST(Bstr, ReleaseHandsTheStringToTheCaller) {
    Bstr b(u"out");
    BSTR raw = b.release();
    EXPECT_EQ(b.get(), nullptr);
    EXPECT_EQ(bstr_view(raw), u"out");
    Bstr again = Bstr::attach(raw);  // frees it at scope end
    EXPECT_EQ(again.view(), u"out");
}

TEST(Bstr, AddressofLetsACalleeReplaceTheString) {
    Bstr b(u"before");
    BSTR* slot = b.addressof();
    SysFreeString(*slot);
    *slot = SysAllocStringLen(ole(u"after"), 5);
    EXPECT_EQ(b.view(), u"after");
}

TEST(Bstr, AllocateGivesRoomToFillInPlaceWithATerminator) {
    // The characters are undefined until filled, as the system leaves them; the terminator is set.
    for (std::size_t n : {std::size_t{3}, std::size_t{3} << 20}) {
        Bstr b = Bstr::allocate(n);
        ASSERT_EQ(b.size(), n);
        EXPECT_EQ(b.data()[n], u'\0');
        for (std::size_t i = 0; i < n; ++i) b.data()[i] = static_cast<OLECHAR>(u'a' + i % 26);
        EXPECT_EQ(b.view()[0], u'a');
        EXPECT_EQ(b.view()[n - 1], static_cast<char16_t>(u'a' + (n - 1) % 26));
    }
}

}  // namespace
}  // namespace zn::com
