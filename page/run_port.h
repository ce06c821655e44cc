// The page as the import run and the photo reader see it: its host references, its progress
// bar and check box, and its message boxes.
#pragma once

#include "import/import_run.h"
#include "page/page_state.h"

namespace zn::page {

class RunPort final : public import::RunPort {
public:
    RunPort(PageState& state, PageControls& controls) : state_(state), controls_(controls) {}

    com::ComPtr<host::SessionContext>& session() override { return state_.session; }
    host::FileUtilities* file_utilities() override { return state_.file_utilities.get(); }
    void start_progress() override;
    void size_progress(float max) override;
    void show_progress(float value) override;
    bool go_on_after_failed_line(std::u16string_view name) override;
    bool remove_missing_photos() override;
    bool yield() override;
    void show_busy(bool busy) override;
    void report_read_failure(std::u16string_view description) override;

private:
    PageState& state_;
    PageControls& controls_;
};

}  // namespace zn::page
