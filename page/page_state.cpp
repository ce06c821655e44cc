#include "page/page_state.h"

#include "page/page_layout.h"

namespace zn::page {

PageControls PageControls::bind(ui::ControlSet& set) {
    namespace name = control_name;
    return PageControls{
        .record_type_list = set.get<ui::DropDownList>(name::kRecordTypeList),
        .frame = set.get<ui::Frame>(name::kFrame),
        .process_button = set.get<ui::CommandButton>(name::kProcessButton, 0),
        .remove_photos_check = set.get<ui::CheckBox>(name::kRemovePhotosCheck, 0),
        .import_file_field = set.get<ui::ButtonEdit>(name::kImportFileField),
        .file_dialog = set.get<ui::FileDialog>(name::kFileDialog),
        .progress_bar = set.get<ui::ProgressBar>(name::kProgressBar),
        .report_type_label = set.get<ui::Label>(name::kReportTypeLabel),
        .instructions_label = set.get<ui::Label>(name::kInstructionsLabel),
        .file_name_label = set.get<ui::Label>(name::kFileNameLabel, 0),
    };
}

host::FileUtilities& PageState::files() const {
    if (!file_utilities) com::throw_error(com::kObjectNotSet);
    return *file_utilities.get();
}

}  // namespace zn::page
