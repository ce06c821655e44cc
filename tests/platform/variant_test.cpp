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

TEST(Variant, CopyDuplicatesTheStringIncludingEmbeddedNul) {
    const std::u16string text(u"a\0b", 3);
    Variant a(text);
    Variant b;
    ASSERT_EQ(VariantCopy(b.receive(), &a.get()), S_OK);
    ASSERT_EQ(b.type(), VT_BSTR);
    EXPECT_NE(b.get().bstrVal, a.get().bstrVal);
    EXPECT_EQ(bstr_view(b.get().bstrVal), text);
    Variant c(LONG{5});
    ASSERT_EQ(VariantCopy(&c.get(), &a.get()), S_OK);  // clears what it held first
    EXPECT_NE(c.get().bstrVal, a.get().bstrVal);
    EXPECT_EQ(bstr_view(c.get().bstrVal), text);
}

TEST(Variant, CopyAndClearKeepInterfaceReferencesBalanced) {
    auto object = make_object<TestValue>(1);
    {
        Variant a;
        a.get().vt = VT_UNKNOWN;
        a.get().punkVal = object->unknown();
        object->AddRef();
        EXPECT_EQ(object->ref_count(), 2u);
        Variant b;
        ASSERT_EQ(VariantCopy(b.receive(), &a.get()), S_OK);
        EXPECT_EQ(b.get().punkVal, object->unknown());
        EXPECT_EQ(object->ref_count(), 3u);
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
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(copy.plVal, &target);
    EXPECT_EQ(VariantClear(&copy), S_OK);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(target, 7);
}

TEST(VariantAbi, CopyIntoAHeldValueReleasesTheOldOne) {
    auto object = make_object<TestValue>(1);
    VARIANT dest;
    VariantInit(&dest);
    dest.vt = VT_UNKNOWN;
    dest.punkVal = object->unknown();
    object->AddRef();
    Variant src(u"replacement");
    ASSERT_EQ(VariantCopy(&dest, &src.get()), S_OK);
    EXPECT_EQ(object->ref_count(), 1u);
    EXPECT_EQ(bstr_view(dest.bstrVal), u"replacement");
    VariantClear(&dest);
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
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(a.get(), &vt), S_OK);
    EXPECT_EQ(vt, VT_VARIANT);
}

TEST(SafeArray, DestroyingReleasesEveryElement) {
    auto object = make_object<TestValue>(1);
    {
        SafeArray a = SafeArray::of_variants(2);
        VARIANT* data = nullptr;
        ASSERT_EQ(SafeArrayAccessData(a.get(), reinterpret_cast<void**>(&data)), S_OK);
        EXPECT_EQ(data[0].vt, VT_EMPTY);
        data[0].vt = VT_UNKNOWN;
        data[0].punkVal = object->unknown();
        object->AddRef();
        data[1].vt = VT_BSTR;
        data[1].bstrVal = alloc_bstr(u"argument");
        ASSERT_EQ(SafeArrayUnaccessData(a.get()), S_OK);
        EXPECT_EQ(object->ref_count(), 2u);
    }
    EXPECT_EQ(object->ref_count(), 1u);
}

TEST(SafeArray, LockedArrayIsNotDestroyed) {
    SAFEARRAY* raw = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    ASSERT_NE(raw, nullptr);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(raw, &data), S_OK);
    EXPECT_EQ(SafeArrayDestroy(raw), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(raw), S_OK);
    EXPECT_EQ(SafeArrayDestroy(raw), S_OK);
}

TEST(SafeArray, VariantHoldingAnArrayCopiesItDeeply) {
    SafeArray a = SafeArray::of_variants(1);
    LONG index = 0;
    Variant element(u"deep");
    ASSERT_EQ(SafeArrayPutElement(a.get(), &index, &element.get()), S_OK);

    Variant holder;
    holder.get().vt = VT_ARRAY | VT_VARIANT;
    holder.get().parray = a.get();
    Variant copy;
    ASSERT_EQ(VariantCopy(copy.receive(), &holder.get()), S_OK);
    holder.release();  // the array stays owned by `a`

    ASSERT_EQ(copy.type(), VT_ARRAY | VT_VARIANT);
    ASSERT_NE(copy.get().parray, a.get());
    Variant read;
    ASSERT_EQ(SafeArrayGetElement(copy.get().parray, &index, read.receive()), S_OK);
    EXPECT_EQ(bstr_view(read.get().bstrVal), u"deep");

    VARIANT* original = nullptr;
    ASSERT_EQ(SafeArrayAccessData(a.get(), reinterpret_cast<void**>(&original)), S_OK);
    EXPECT_NE(original[0].bstrVal, read.get().bstrVal);
    SafeArrayUnaccessData(a.get());
}

TEST(SafeArray, ElementIndexOutsideTheBoundsIsRefused) {
    SafeArray a = SafeArray::of_variants(2);
    Variant value(LONG{1});
    LONG index = 2;
    EXPECT_EQ(SafeArrayPutElement(a.get(), &index, &value.get()), DISP_E_BADINDEX);
    index = -1;
    EXPECT_EQ(SafeArrayPutElement(a.get(), &index, &value.get()), DISP_E_BADINDEX);
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
