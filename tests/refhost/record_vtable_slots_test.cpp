// The record classes as the component reaches them: by raw vtable slot, each record interface
// with Init, CloseDown, Load and Save at its own member numbers, DataObject.Fields at 35 on the
// interface that QueryInterface hands back, and FieldSet's Field at 1 (read) and 2 (set).
#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "refhost/components/reference_host.h"
#include "refhost/store/record_store.h"
#include "support/vtable_call.h"

namespace zn::refhost {
namespace {

using test::call_member;

struct RecordSlots {
    const char* cls;
    const char* type;
    GUID clsid;
    GUID iid;
    int init;  // CloseDown, Load and Save follow it
};

const RecordSlots kRecords[] = {
    {"FacultyStaffRecord", "Faculty/Staff", host::CLSID_FacultyStaffRecord, com::iid_of<host::FacultyStaffRecord>(),
     61},
    {"ApplicantRecord", "Applicant", host::CLSID_ApplicantRecord, com::iid_of<host::ApplicantRecord>(), 67},
    {"StudentRecord", "Student", host::CLSID_StudentRecord, com::iid_of<host::StudentRecord>(), 73},
    {"IndividualRecord", "Individual", host::CLSID_IndividualRecord, com::iid_of<host::IndividualRecord>(), 66},
};

TEST(RecordVtableSlots, EveryRecordMemberSitsWhereTheComponentCallsIt) {
    for (const RecordSlots& r : kRecords) {
        SCOPED_TRACE(r.cls);
        ReferenceHost host;
        host.records().add({r.type, 12, "Pat", std::nullopt});
        com::ComPtr<IUnknown> record;
        ASSERT_EQ(CoCreateInstance(r.clsid, nullptr, CLSCTX_INPROC_SERVER, r.iid, record.put_void()), S_OK);
        auto session = host.new_session();
        host::SessionContext* context = session.get();
        context->AddRef();  // Init may replace the variable's reference
        host.clear_journal();

        IUnknown* iface = record.get();
        ASSERT_EQ(call_member<host::SessionContext**>(iface, r.init, &context), S_OK);
        LONG reserved = 0;
        ASSERT_EQ((call_member<LONG, LONG*>(iface, r.init + 2, 12, &reserved)), S_OK);

        com::ComPtr<IUnknown> data;
        ASSERT_EQ(record->QueryInterface(com::iid_of<host::DataObject>(), data.put_void()), S_OK);
        com::ComPtr<IUnknown> fields;
        ASSERT_EQ((call_member<LONG, IUnknown**>(data.get(), 35, 1, fields.put())), S_OK);
        com::Variant photo(std::u16string_view(u"abc"));
        ASSERT_EQ((call_member<LONG, VARIANT>(fields.get(), 2, host::PHOTO_FIELD_ID, photo.get())), S_OK);
        com::Variant read;
        ASSERT_EQ((call_member<LONG, VARIANT*>(fields.get(), 1, host::PHOTO_FIELD_ID, read.receive())), S_OK);
        EXPECT_EQ(com::bstr_view(read.get().bstrVal), u"abc");

        ASSERT_EQ(call_member(iface, r.init + 3), S_OK);  // Save
        ASSERT_EQ(call_member(iface, r.init + 1), S_OK);  // CloseDown
        com::ComPtr<host::SessionContext>::attach(context).reset();

        const std::string cls = r.cls;
        EXPECT_EQ(host.journal().calls(),
                  (std::vector<std::string>{cls + ".Init(Session#1)", cls + ".Load(12,0)", "DataObject.Fields(1)",
                                            "FieldSet.Field(61,<3 chars>)", "FieldSet.GetField(61)", cls + ".Save()",
                                            cls + ".CloseDown()"}));
        EXPECT_EQ(host.records().photo(r.type, 12), "abc");
        // The slots around the four members are placeholders that nothing answers.
        EXPECT_EQ(call_member(iface, r.init - 1), E_NOTIMPL);
        EXPECT_EQ(call_member(data.get(), 34), E_NOTIMPL);
    }
}

}  // namespace
}  // namespace zn::refhost
