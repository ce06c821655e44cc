// The import page's controls as data: names, kinds, containers, positions, tab order and
// design-time settings, from which every backend builds the page.
#pragma once

#include <string_view>

#include "platform/ui/layout.h"

namespace zn::page {

// The page's layout: 6225 x 4035 twips, scrolling in steps of 225 twips.
const ui::PageLayout& import_page_layout();

// The controls' names. Command1, Check1 and Label1 are control arrays with the one element 0.
namespace control_name {
inline constexpr std::u16string_view kRecordTypeList = u"cboRecordType";
inline constexpr std::u16string_view kFrame = u"Frame1";
inline constexpr std::u16string_view kProcessButton = u"Command1";
inline constexpr std::u16string_view kRemovePhotosCheck = u"Check1";
inline constexpr std::u16string_view kImportFileField = u"se_ImportFileName";
inline constexpr std::u16string_view kFileDialog = u"dlgPath";
inline constexpr std::u16string_view kProgressBar = u"pbarOverall";
inline constexpr std::u16string_view kReportTypeLabel = u"lblReportType";
inline constexpr std::u16string_view kInstructionsLabel = u"Label2";
inline constexpr std::u16string_view kFileNameLabel = u"Label1";
}  // namespace control_name

}  // namespace zn::page
