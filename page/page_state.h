// What the page holds: its controls, its host references and the chosen record type.
#pragma once

#include <memory>
#include <string>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/control_set.h"

namespace zn::page {

// The page's controls by what they are for.
struct PageControls {
    ui::DropDownList& record_type_list;  // cboRecordType
    ui::Frame& frame;                    // Frame1
    ui::CommandButton& process_button;   // Command1(0)
    ui::CheckBox& remove_photos_check;   // Check1(0): clear the photo of a line without a photo file
    ui::ButtonEdit& import_file_field;   // se_ImportFileName
    ui::FileDialog& file_dialog;         // dlgPath
    ui::ProgressBar& progress_bar;       // pbarOverall
    ui::Label& report_type_label;        // lblReportType
    ui::Label& instructions_label;       // Label2
    ui::Label& file_name_label;          // Label1(0)

    // Throws MissingControl when the set lacks one of them.
    static PageControls bind(ui::ControlSet& set);
};

struct PageState {
    // Kept from InitializePage to ReleasePage; a host Init may hand back another one, which
    // is then kept instead.
    com::ComPtr<host::SessionContext> session;
    com::ComPtr<host::FileUtilities> file_utilities;
    // Empty until set-up; then one of the record types.
    std::u16string record_type;
    // An import run is in progress (its yield lets page events run meanwhile).
    bool import_running = false;

    // The FileUtilities object; "object not set" once released (or before set-up).
    host::FileUtilities& files() const;
};

}  // namespace zn::page
