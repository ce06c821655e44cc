#include <gtest/gtest.h>

#include "fake_objects.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace zn::com {
namespace {

using test::TestValue;

TEST(Variant, HoldsTextAsAnOwnedString) {
    Variant v(u"photo bytes");
    ASSERT_EQ(v.type(), VT_BSTR);
    EXPECT_EQ(bstr_view(v.get().bstrVal), u"photo bytes");
}

TEST(Variant, HoldsEmptyTextAsAnEmptyStringNotNull) {
    Variant v(std::u16string_view{});
    ASSERT_EQ(v.type(), VT_BSTR);
    EXPECT_NE(v.get().bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(v.get().bstrVal), 0u);
}

TEST(Variant, HoldsALong) {
    Variant v(LONG{-2147483647 - 1});
    ASSERT_EQ(v.type(), VT_I4);
    EXPECT_EQ(v.get().lVal, -2147483647 - 1);
}

TEST(Variant, ClearingReleasesTheInterfaceReference) {
    auto object = make_object<TestValue>(1);
    {
        Variant a;
        a.get().vt = VT_UNKNOWN;
        a.get().punkVal = object->unknown();
        object->AddRef();
        EXPECT_EQ(object->ref_count(), 2u);
    }
    EXPECT_EQ(object->ref_count(), 1u);
}

TEST(Variant, MoveLeavesTheSourceEmpty) {
    Variant a(u"text");
    BSTR raw = a.get().bstrVal;
    Variant b(std::move(a));
    EXPECT_EQ(a.type(), VT_EMPTY);  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    EXPECT_EQ(b.get().bstrVal, raw);
    Variant c(LONG{1});
    c = std::move(b);
    EXPECT_EQ(c.get().bstrVal, raw);
    EXPECT_EQ(b.type(), VT_EMPTY);  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
}

TEST(Variant, TakesOverABstrWithoutCopyingIt) {
    Bstr text(u"photo");
    const BSTR raw = text.get();
    Variant v(std::move(text));
    ASSERT_EQ(v.type(), VT_BSTR);
    EXPECT_EQ(v.get().bstrVal, raw);
    EXPECT_EQ(text.get(), nullptr);  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
}

TEST(VariantAbi, ByReferenceValuesAreNotOwned) {
    LONG target = 7;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = &target;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(target, 7);
}

TEST(SafeArray, OfVariantsHasTheCountAndZeroBasedBounds) {
    SafeArray a = SafeArray::of_variants(3);
    ASSERT_NE(a.get(), nullptr);
    LONG lower = -1;
    LONG upper = -1;
    EXPECT_EQ(SafeArrayGetDim(a.get()), 1u);
    EXPECT_EQ(SafeArrayGetLBound(a.get(), 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(a.get(), 1, &upper), S_OK);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 2);
}

TEST(SafeArray, DestroyingReleasesEveryElement) {
    auto object = make_object<TestValue>(1);
    {
        SafeArray a = SafeArray::of_variants(2);
        auto* data = static_cast<VARIANT*>(a.get()->pvData);
        EXPECT_EQ(data[0].vt, VT_EMPTY);
        data[0].vt = VT_UNKNOWN;
        data[0].punkVal = object->unknown();
        object->AddRef();
        data[1].vt = VT_BSTR;
        data[1].bstrVal = alloc_bstr(u"argument");
        EXPECT_EQ(object->ref_count(), 2u);
    }
    EXPECT_EQ(object->ref_count(), 1u);
}

TEST(SafeArray, MoveAssignmentKeepsOneOwner) {
    SafeArray a = SafeArray::of_variants(1);
    SAFEARRAY* raw = a.get();
    SafeArray b;
    b = std::move(a);
    EXPECT_EQ(b.get(), raw);
    SafeArray c(std::move(b));
    EXPECT_EQ(c.get(), raw);
    EXPECT_EQ(b.get(), nullptr);  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
}

}  // namespace
}  // namespace zn::com
