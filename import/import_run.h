// One import: every line of the import file applied to the host's records of one type.
#pragma once

#include <functional>
#include <string_view>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/controls.h"

namespace zn::import {

// What the run uses of the page.
struct ImportRunPage {
    // The page's session: every record's Init receives a copy by reference, and the page keeps
    // what Init hands back.
    com::ComPtr<host::SessionContext>& session;
    // The page's FileUtilities.
    com::ComPtr<host::FileUtilities>& file_utilities;
    ui::ProgressBar& progress_bar;
    // Ticked (1): a line without an existing photo file clears the record's photo.
    ui::CheckBox& remove_photos_check;
};

// The texts of the run's error prompt, asked for a line that cannot be used or a record that
// cannot be loaded.
inline constexpr std::u16string_view kErrorPromptPrefix = u"Error processing record ";
inline constexpr std::u16string_view kErrorPromptTitle = u"Import Photos";

// Reads the file line by line and writes the photo of every data row into the record of the
// given type. True unless the user cancelled at an error prompt. The import file is open under
// file number 1 for the run and closed on every way out. A failure of the host outside loading
// a record, or of counting or opening the file, leaves the run as an error (records saved
// before stay saved). If the host lets go of the page while the run yields, the run stops
// there without touching the page's references again, and returns false.
bool ImportPhotos(ImportRunPage& page, std::u16string_view file_name, std::u16string_view record_type);

}  // namespace zn::import
