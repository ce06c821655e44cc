// The host's four record types: one row each, read by the page's list, the import run, the
// heading-row check and the reference host.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::host {

// Which installed system module offers a record type.
enum class OfferedBy { HM, HV, Either };

// The members that the four record classes share, called on the object as its class's
// interface (each class has them at other vtable slots).
struct RecordCalls {
    const IID& iid;
    HRESULT (*init)(IDispatch& record, SessionContext** context);
    HRESULT (*close_down)(IDispatch& record);
    HRESULT (*load)(IDispatch& record, LONG id, LONG* reserved);
    HRESULT (*save)(IDispatch& record);
};

template <class Record>
inline constexpr RecordCalls kRecordCallsOf{
    com::iid_of<Record>(),
    [](IDispatch& r, SessionContext** c) { return static_cast<Record&>(r).Init(c); },
    [](IDispatch& r) { return static_cast<Record&>(r).CloseDown(); },
    [](IDispatch& r, LONG id, LONG* reserved) { return static_cast<Record&>(r).Load(id, reserved); },
    [](IDispatch& r) { return static_cast<Record&>(r).Save(); },
};

struct RecordType {
    std::u16string_view name;  // the record-type list's entry, compared exactly
    const CLSID& clsid;
    std::string_view class_name;  // the class's name, as the host's type library gives it
    // Column 2 of the heading row that the host's export writes for this type's name field.
    std::u16string_view heading_identifier;
    // CloseDown calls that a saved record gets in all: the ones right after its Save and the one
    // every record gets at its end. Two, except for Faculty/Staff.
    int close_downs_of_saved_record;
    OfferedBy offered_by;
    const RecordCalls& calls;
};

// In the order the page's list offers them.
inline constexpr std::array<RecordType, 4> kRecordTypes{{
    {u"Applicant", CLSID_ApplicantRecord, "ApplicantRecord", u"APPTSAPPT_APPLICANTNAME", 2, OfferedBy::HM,
     kRecordCallsOf<ApplicantRecord>},
    {u"Student", CLSID_StudentRecord, "StudentRecord", u"STSST_STUDENTNAME", 2, OfferedBy::HV,
     kRecordCallsOf<StudentRecord>},
    {u"Faculty/Staff", CLSID_FacultyStaffRecord, "FacultyStaffRecord", u"FACSTFFAC_FCLTY_STFFMMBRNM", 1,
     OfferedBy::Either, kRecordCallsOf<FacultyStaffRecord>},
    {u"Individual", CLSID_IndividualRecord, "IndividualRecord", u"INDSIND_INDIVIDUALNAME", 2, OfferedBy::Either,
     kRecordCallsOf<IndividualRecord>},
}};

// The type's name in UTF-8, as the reference host stores it.
std::string narrow_name(const RecordType& type);

// The names, in the table's order, joined by ", " (for messages that list them).
std::string narrow_names();

// The type of that name, compared exactly (case included); null for any other text.
constexpr const RecordType* find_record_type(std::u16string_view name) {
    for (const RecordType& type : kRecordTypes) {
        if (type.name == name) return &type;
    }
    return nullptr;
}

}  // namespace zn::host
