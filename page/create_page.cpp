#include "import/import_run.h"
#include "page/import_page.h"
#include "page/run_port.h"
#include "platform/com/com_error.h"
#include "platform/ui/app.h"

namespace zn::page {
namespace {

// The import as the Process button runs it. A failure of the host or of the import file ends
// the run: what was saved before stays saved, the user is told once, and no success follows.
bool run_import(PageState& state, PageControls& controls, std::u16string_view file_name,
                std::u16string_view record_type) {
    RunPort port(state, controls);
    try {
        return import::ImportPhotos(port, file_name, record_type);
    } catch (const std::exception& e) {
        ui::message_box(com::describe(e).description, ui::kOkOnly);
    }
    return false;
}

}  // namespace

com::ComPtr<IUnknown> create_import_page() {
    return create_import_page(run_import);
}

}  // namespace zn::page
