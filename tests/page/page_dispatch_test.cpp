// The page as a COM object: its interfaces, and its two public members called early bound and
// late bound, with String arguments as script engines pass them.
#include <gtest/gtest.h>

#include "page/page_interfaces.h"
#include "page_fixture.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "support/temp_folder.h"

namespace zn::page::testing {
namespace {

using com::Bstr;
using com::ComPtr;
using com::Variant;

constexpr DISPID kParse = page::kDispidParseOutIDAndFileName;
constexpr DISPID kPicture = page::kDispidGetPicture;

VARIANT by_ref(BSTR* s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = s;
    return v;
}

VARIANT by_ref(VARIANT* inner) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = inner;
    return v;
}

class PageDispatchTest : public PageTest {
protected:
    PageDispatchTest() { dispatch = page.as<IDispatch>(); }

    // Calls a member with its arguments in the order written (the call reverses them).
    HRESULT invoke(DISPID member, std::vector<VARIANT> args, VARIANT* result = nullptr, EXCEPINFO* info = nullptr,
                   UINT* bad = nullptr, WORD flags = DISPATCH_METHOD) {
        std::reverse(args.begin(), args.end());
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        return dispatch->Invoke(member, IID_NULL, 0, flags, &params, result, info, bad);
    }

    ComPtr<IDispatch> dispatch;
    test::TempFolder folder;
};

TEST_F(PageDispatchTest, OffersItsInterfacesWithTheDefaultOneAsIDispatch) {
    const auto doc = page.as<_docZNImportPhotos>();
    EXPECT_EQ(static_cast<IDispatch*>(doc.get()), dispatch.get());
    EXPECT_TRUE(page.try_as<ImportPageInternal>());
    const auto support = page.as<ISupportErrorInfo>();
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(com::iid_of<_docZNImportPhotos>()), S_OK);
    EXPECT_FALSE(page.try_as<host::SystemInfo>());
    EXPECT_EQ(internal->ClassName(), u"docZNImportPhotos");
    EXPECT_EQ(internal->RecordType(), u"");  // before set-up
}

TEST_F(PageDispatchTest, NamesAreFoundWhateverTheirCase) {
    // Names come as plain strings, not BSTRs: nothing before them tells their length.
    for (std::u16string name : {u"ParseOutIDAndFileName", u"parseoutidandfilename", u"GETPICTURE"}) {
        LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        EXPECT_EQ(id, name[0] == u'G' ? kPicture : kParse);
    }
    std::u16string unknown(u"Process");
    std::u16string parameter(u"sdata");
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(unknown.data()), reinterpret_cast<LPOLESTR>(parameter.data())};
    DISPID ids[2] = {0, 0};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    // A known member with a parameter name: the member is found, the parameter is not.
    std::u16string member(u"getPicture");
    LPOLESTR with_parameter[] = {reinterpret_cast<LPOLESTR>(member.data()),
                                 reinterpret_cast<LPOLESTR>(parameter.data())};
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, with_parameter, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], kPicture);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(PageDispatchTest, ParseWritesEveryKindOfByReferenceArgument) {
    set_up();
    Variant line(u"\"12\",\"Smith\",\"C:\\p.jpg\"");
    Bstr id(u"old");
    VARIANT name;  // a script variable never assigned
    VariantInit(&name);
    Variant photo(u"old photo");
    ASSERT_EQ(invoke(kParse, {line.get(), by_ref(id.addressof()), by_ref(&name), by_ref(&photo.get())}), S_OK);
    EXPECT_EQ(id.view(), u"12");
    ASSERT_EQ(name.vt, VT_BSTR);
    EXPECT_EQ(com::bstr_view(name.bstrVal), u"Smith");
    EXPECT_EQ(com::bstr_view(photo.get().bstrVal), u"C:\\p.jpg");
    VariantClear(&name);
    // The quotes go through the host's ReplaceText.
    EXPECT_EQ(host.journal().count("FileUtilities.ReplaceText"), 1u);
}

TEST_F(PageDispatchTest, RefusesWrongCountsNamesTypesAndMembers) {
    set_up();
    Bstr out;
    Variant line(u"1,a,b");
    UINT bad = 99;
    EXPECT_EQ(invoke(kParse, {line.get(), by_ref(out.addressof())}), DISP_E_BADPARAMCOUNT);
    Variant number(LONG{5});
    EXPECT_EQ(invoke(kParse, {line.get(), number.get(), by_ref(out.addressof()), by_ref(out.addressof())}, nullptr,
                     nullptr, &bad),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad, 2u);  // the second argument, counted from the last
    EXPECT_EQ(invoke(0x12345, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(kPicture, {by_ref(out.addressof())}, nullptr, nullptr, nullptr, DISPATCH_PROPERTYPUT),
              DISP_E_MEMBERNOTFOUND);
    DISPID named = 0;
    VARIANT arg = line.get();
    DISPPARAMS with_names{&arg, &named, 1, 1};
    EXPECT_EQ(dispatch->Invoke(kPicture, IID_NULL, 0, DISPATCH_METHOD, &with_names, nullptr, nullptr, nullptr),
              static_cast<HRESULT>(0x80020007));
    EXPECT_EQ(host.journal().count("FileUtilities.ReplaceText"), 0u);
}

TEST_F(PageDispatchTest, AFailingMemberComesBackAsAnExceptionAndLeavesTheOutputs) {
    // Not set up: no FileUtilities to remove the quotes with.
    Variant line(u"1,a,b");
    Bstr id(u"keep");
    Bstr name(u"keep");
    Bstr photo(u"keep");
    EXCEPINFO info{};
    EXPECT_EQ(invoke(kParse, {line.get(), by_ref(id.addressof()), by_ref(name.addressof()), by_ref(photo.addressof())},
                     nullptr, &info),
              DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, com::kObjectNotSet);
    EXPECT_EQ(com::bstr_view(info.bstrDescription), u"Object variable or With block variable not set");
    EXPECT_EQ(id.view(), u"keep");
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    // Without room for exception info the member's own code comes back.
    EXPECT_EQ(invoke(kParse, {line.get(), by_ref(id.addressof()), by_ref(name.addressof()), by_ref(photo.addressof())}),
              com::kObjectNotSet);
}

TEST_F(PageDispatchTest, GetPictureReturnsTheFilesBytesLateAndEarlyBound) {
    set_up();
    const std::u16string photo = folder.write("me.jpg", std::string("GIF\x01\x7f", 5));
    Variant file(photo);
    Variant result;
    ASSERT_EQ(invoke(kPicture, {by_ref(&file.get())}, result.receive(), nullptr, nullptr,
                     DISPATCH_METHOD | DISPATCH_PROPERTYGET),
              S_OK);
    ASSERT_EQ(result.type(), VT_BSTR);
    EXPECT_EQ(com::bstr_view(result.get().bstrVal), (std::u16string{u'G', u'I', u'F', 1, 0x7f}));

    const auto doc = page.as<_docZNImportPhotos>();
    Bstr missing(folder.path_of("none.jpg"));
    Bstr picture;
    EXPECT_EQ(doc->getPicture(missing.addressof(), picture.receive()), S_OK);
    EXPECT_EQ(picture.view(), u"");
    EXPECT_EQ(doc->getPicture(missing.addressof(), nullptr), E_POINTER);
    EXPECT_TRUE(driver.transcript().empty());
}

}  // namespace
}  // namespace zn::page::testing
