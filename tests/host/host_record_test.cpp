// A record type's class that makes objects without that record's interface, as a host of
// another version could register: the record is a type mismatch, and nothing it made lives on.
#include <gtest/gtest.h>

#include "host/host_record.h"
#include "platform/com/com_error.h"
#include "platform/com/com_object.h"
#include "refhost/components/class_factory.h"

namespace zn::host {
namespace {

class NotARecord final : public com::ComObject<NotARecord, IUnknown> {
public:
    NotARecord() { ++alive; }
    ~NotARecord() { --alive; }
    static inline int alive = 0;
};

class NotARecordClass final : public com::ComObject<NotARecordClass, IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        ++created;
        return com::make_object<NotARecord>()->QueryInterface(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    int created = 0;
};

TEST(HostRecord, AnObjectWithoutTheRecordsInterfaceIsATypeMismatch) {
    const RecordType& student = *find_record_type(u"Student");
    const auto factory = com::make_object<NotARecordClass>();
    const refhost::ClassRegistration registration(student.clsid, factory->unknown());
    com::ComPtr<SessionContext> session;
    HRESULT raised = S_OK;
    try {
        HostRecord record(student, session);
    } catch (const com::ComError& e) {
        raised = e.code();
    }
    EXPECT_EQ(raised, com::kTypeMismatch);
    EXPECT_EQ(factory->created, 1);
    EXPECT_EQ(NotARecord::alive, 0) << "the object without the interface was kept";
}

}  // namespace
}  // namespace zn::host
