// The host's four record classes (FacultyStaffRecord, ApplicantRecord, StudentRecord,
// IndividualRecord) over the record database: each is bound to a session by Init, loads one
// record of its type by ID, hands out its fields through DataObject.Fields, writes the changed
// fields at Save, and lets go of everything at CloseDown.
#pragma once

#include <stdexcept>

#include "host/record_types.h"
#include "refhost/components/host_object.h"
#include "refhost/components/record_state.h"

namespace zn::refhost {

// What tells the four classes apart: the host's record-type table's row for the interface.
// Found at compile time: an interface that is none of the four fails to compile.
template <class Interface>
constexpr const host::RecordType& record_type_of() {
    for (const host::RecordType& type : host::kRecordTypes) {
        if (com::same_guid(type.calls.iid, com::iid_of<Interface>())) return type;
    }
    throw std::logic_error("not one of the record interfaces");
}

// Members are journalled as Class.Member (StudentRecord.Load); Fields as DataObject.Fields.
template <class Interface>
class RecordObject final : public HostObject<RecordObject<Interface>, Interface, host::DataObject> {
public:
    explicit RecordObject(std::shared_ptr<HostState> state);

    // As SystemInfo.Init: binds to *context, which may come back replaced when configured
    // ("StudentRecord.Init" in replace_context_on).
    HRESULT STDMETHODCALLTYPE Init(host::SessionContext** context) override;
    // Drops the session and the loaded record; a second call does nothing more.
    HRESULT STDMETHODCALLTYPE CloseDown() override;
    // Loads the record of this class's type with that ID; "Student record 12 not found" when
    // there is none. Refused before Init. The by-reference value is left as given.
    HRESULT STDMETHODCALLTYPE Load(LONG id, LONG* reserved) override;
    // Writes the changed fields in one transaction of its own (nothing to write: no
    // transaction). Refused without a loaded record; fails, writing nothing, when the record
    // has gone from the database since Load.
    HRESULT STDMETHODCALLTYPE Save() override;
    // which must be 1: a new FieldSet over the loaded record.
    HRESULT STDMETHODCALLTYPE Fields(LONG which, host::FieldSet** fields) override;

private:
    RecordState& loaded();

    com::ComPtr<host::SessionContext> session_;
    std::shared_ptr<RecordState> record_;
};

extern template class RecordObject<host::FacultyStaffRecord>;
extern template class RecordObject<host::ApplicantRecord>;
extern template class RecordObject<host::StudentRecord>;
extern template class RecordObject<host::IndividualRecord>;

}  // namespace zn::refhost
