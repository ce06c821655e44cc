// The page's texts, as data: its record type when no system is installed, the instructions
// and the messages to the user.
#pragma once

#include <string>
#include <string_view>

namespace zn::page {

// The page's RecordType when no system module is installed; besides it, RecordType is one of
// the host's record types, and it is never an entry of the list.
namespace record_type {
inline constexpr std::u16string_view kNoValidSystem = u"No Valid System";
}  // namespace record_type

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
// Asked by the run for a line that cannot be used or a record that cannot be loaded: the
// prefix, then the line's name.
inline constexpr std::u16string_view kLineErrorPrefix = u"Error processing record ";
inline constexpr std::u16string_view kLineErrorTitle = u"Import Photos";
// The success title: "Imported " + the record type + " Photos".
std::u16string imported_title(std::u16string_view record_type);
}  // namespace message

}  // namespace zn::page
