// The Process button: checks the file and the record type, runs the import with the progress
// bar shown, and tells the user when it went through.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "page/page_state.h"

namespace zn::page {

// One import of a file for a record type, with the page's state and controls (session,
// FileUtilities, the check box, the progress bar); false when the user cancelled it.
using ImportRun = std::function<bool(PageState& state, PageControls& controls, std::u16string_view file_name,
                                     std::u16string_view record_type)>;

// The click of Command1(index); only index 0 does anything. A click that arrives while a run
// started by an earlier click is still going (through the run's yield) is ignored: that run
// holds the import file open. An error that leaves the command hides the progress bar first.
void process_click(PageState& state, PageControls& controls, std::int16_t index, const ImportRun& run);

}  // namespace zn::page
