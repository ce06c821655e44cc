// The component calls every host member through its vtable slot. These tests call the
// reference host's objects the same way, by raw slot index, and check in the journal that the
// slot reached the member it should: the placeholders before each member are counted right.
#include <gtest/gtest.h>

#include "host/host_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "refhost/components/reference_host.h"
#include "support/vtable_call.h"

namespace zn::refhost {
namespace {

using test::call_member;

template <class I>
com::ComPtr<I> create(const GUID& clsid) {
    com::ComPtr<I> p;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<I>(), p.put_void()), S_OK);
    return p;
}

class VtableSlots : public ::testing::Test {
protected:
    ReferenceHost host;
};

TEST_F(VtableSlots, SystemInfoInitCloseDownAndIsSystemInstalledSitAt20_43_58) {
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    auto session = host.new_session();
    host::SessionContext* context = session.get();
    context->AddRef();  // Init may replace the variable's reference
    host.clear_journal();

    ASSERT_EQ(call_member<host::SessionContext**>(info.get(), 20, &context), S_OK);
    LONG reserved = 0;
    VARIANT_BOOL installed = VARIANT_FALSE;
    ASSERT_EQ(
        (call_member<LONG, LONG, LONG, LONG*, VARIANT_BOOL*>(info.get(), 58, 4096, -1, -1, &reserved, &installed)),
        S_OK);
    ASSERT_EQ(call_member(info.get(), 43), S_OK);
    com::ComPtr<host::SessionContext>::attach(context).reset();

    EXPECT_EQ(host.journal().calls(),
              (std::vector<std::string>{"SystemInfo.Init(Session#1)", "SystemInfo.IsSystemInstalled(4096,-1,-1,0)",
                                        "SystemInfo.CloseDown()"}));
    EXPECT_EQ(installed, VARIANT_TRUE);
}

TEST_F(VtableSlots, TheSlotsNextToSystemInfoMembersAreOnlyPlaceholders) {
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    host.clear_journal();
    for (int member : {19, 21, 42, 44, 57}) EXPECT_EQ(call_member(info.get(), member), E_NOTIMPL) << member;
    EXPECT_TRUE(host.journal().calls().empty());
}

TEST_F(VtableSlots, FileUtilitiesReplaceTextGetPathPartAndFileExistsSitAt6_7_19) {
    auto files = create<host::FileUtilities>(host::CLSID_FileUtilities);
    const com::Bstr text(u"a-b"), search(u"-"), with(u"+"), path(u"C:\\d\\f.csv");
    LONG count = 0;
    com::Bstr replaced, part;
    VARIANT_BOOL exists = VARIANT_TRUE;

    ASSERT_EQ((call_member<BSTR, BSTR, BSTR, LONG*, BSTR*>(files.get(), 6, text.get(), search.get(), with.get(), &count,
                                                           replaced.receive())),
              S_OK);
    ASSERT_EQ((call_member<BSTR, LONG, BSTR*>(files.get(), 7, path.get(), -1, part.receive())), S_OK);
    ASSERT_EQ((call_member<BSTR, VARIANT_BOOL*>(files.get(), 19, path.get(), &exists)), S_OK);

    EXPECT_EQ(host.journal().calls(), (std::vector<std::string>{R"(FileUtilities.ReplaceText("a-b","-","+",0))",
                                                                R"(FileUtilities.GetPathPart("C:\d\f.csv",-1))",
                                                                R"(FileUtilities.FileExists("C:\d\f.csv"))"}));
    EXPECT_EQ(replaced.view(), u"a+b");
    EXPECT_EQ(part.view(), u"C:\\d");
    EXPECT_EQ(exists, VARIANT_FALSE);
    for (int member : {5, 8, 18}) EXPECT_EQ(call_member(files.get(), member), E_NOTIMPL) << member;
}

TEST_F(VtableSlots, TextServicesPrepareTextSitsAt3) {
    auto text = create<host::TextServices>(host::CLSID_TextServices);
    host.clear_journal();
    const com::Bstr input(u"Hello");
    com::SafeArray arguments = com::SafeArray::of_variants(0);
    com::Bstr prepared;
    ASSERT_EQ(
        (call_member<BSTR, SAFEARRAY**, BSTR*>(text.get(), 3, input.get(), arguments.addressof(), prepared.receive())),
        S_OK);
    EXPECT_EQ(host.journal().calls(), (std::vector<std::string>{R"(TextServices.PrepareText("Hello",0))"}));
    EXPECT_EQ(prepared.view(), u"Hello");
    EXPECT_EQ(call_member(text.get(), 2), E_NOTIMPL);
}

TEST_F(VtableSlots, ServicesSitsAt4AndSessionAt3) {
    auto app = host.application();
    host.clear_journal();
    com::ComPtr<host::ServiceProvider> services;
    ASSERT_EQ(call_member<host::ServiceProvider**>(app.get(), 4, services.put()), S_OK);
    com::ComPtr<IDispatch> session;
    ASSERT_EQ(call_member<IDispatch**>(services.get(), 3, session.put()), S_OK);

    EXPECT_EQ(host.journal().calls(),
              (std::vector<std::string>{"HostApplication.Services()", "ServiceProvider.Session()"}));
    EXPECT_TRUE(session.try_as<host::SessionContext>());
    EXPECT_EQ(call_member(app.get(), 3), E_NOTIMPL);
    EXPECT_EQ(call_member(services.get(), 2), E_NOTIMPL);
}

}  // namespace
}  // namespace zn::refhost
