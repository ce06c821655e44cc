// The page's texts, as data: its caption, its record type when no system is installed, the
// instructions, the messages to the user and what a screen reader is told of its controls.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "page/page_layout.h"
#include "platform/ui/layout.h"

namespace zn::page {

// The page's caption: the plug-in shows it in the host's list of plug-ins, and a screen reader
// names the page by it.
inline constexpr std::u16string_view kPageCaption = u"Import Applicant/Student/Faculty/Individual Photos";

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

// What a screen reader hears of the page's controls beyond what the system says of them: the
// list and the file field are named by the labels beside them, the field is described by the
// instructions (which change with the record type) and F7 opens its dialog.
inline constexpr std::array kAccessibleTexts{
    ui::AccessibleText{.control = u"", .name = kPageCaption},
    ui::AccessibleText{.control = control_name::kRecordTypeList, .name_from = control_name::kReportTypeLabel},
    ui::AccessibleText{.control = control_name::kImportFileField,
                       .name_from = control_name::kFileNameLabel,
                       .description_from = control_name::kInstructionsLabel,
                       .shortcut = u"F7"},
    ui::AccessibleText{.control = control_name::kImportFileField,
                       .part = ui::AccessiblePart::Button,
                       .name = u"Browse for the import file",
                       .shortcut = u"F7"},
    ui::AccessibleText{.control = control_name::kProgressBar, .name = u"Import progress"},
};

}  // namespace zn::page
