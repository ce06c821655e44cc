// The page's record types, its instructions and its messages to the user, as data.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zn::page {

// Values of the page's RecordType. The first four are also the entries of the record-type
// list; the fifth is never an entry. Compared exactly, case included.
namespace record_type {
inline constexpr std::u16string_view kApplicant = u"Applicant";
inline constexpr std::u16string_view kStudent = u"Student";
inline constexpr std::u16string_view kFacultyStaff = u"Faculty/Staff";
inline constexpr std::u16string_view kIndividual = u"Individual";
inline constexpr std::u16string_view kNoValidSystem = u"No Valid System";
}  // namespace record_type

// The types an import can run for, in the order the Process command compares them.
inline constexpr std::array<std::u16string_view, 4> kImportableTypes = {
    record_type::kIndividual, record_type::kFacultyStaff, record_type::kApplicant, record_type::kStudent};

// The instructions that tell the user how to prepare the import file for a record type; for
// "No Valid System", which modules are needed. The type is inserted as it is, case and
// slash included.
std::u16string instructions_for(std::u16string_view record_type);

namespace message {
inline constexpr std::u16string_view kInvalidImportFile = u"Invalid Import File";
inline constexpr std::u16string_view kNoValidSystemPrompt =
    u"You do not have a valid system installed to proceed. Must have HM or HV installed.";
inline constexpr std::u16string_view kNoValidSystemTitle = u"No Valid System";
inline constexpr std::u16string_view kInvalidRecordTypePrompt =
    u"Please select a valid record type from the drop down.";
inline constexpr std::u16string_view kInvalidRecordTypeTitle = u"Invalid Record Type";
inline constexpr std::u16string_view kImportedPrompt = u"Photos imported successfully";
// The success title: "Imported " + the record type + " Photos".
std::u16string imported_title(std::u16string_view record_type);
}  // namespace message

}  // namespace zn::page
