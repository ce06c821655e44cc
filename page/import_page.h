// The import page docZNImportPhotos: its controls, built by the thread's UI backend when the
// page is created, and its state, set up by InitializePage and let go by ReleasePage.
#pragma once

#include "page/page_interfaces.h"
#include "page/page_state.h"
#include "page/process_command.h"

namespace zn::page {

// A page whose Process runs the given import; create_import_page() uses the import run.
com::ComPtr<IUnknown> create_import_page(ImportRun run);

}  // namespace zn::page
