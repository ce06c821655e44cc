#include "page/process_command.h"

#include <string>

#include "host/record_types.h"
#include "page/import_file_field.h"
#include "page/page_texts.h"
#include "platform/ui/app.h"

namespace zn::page {
namespace {

// Hides the progress bar when the command is left, by an error too.
class BarShown {
public:
    explicit BarShown(ui::ProgressBar& bar) : bar_(bar) { bar_.set_visible(true); }
    BarShown(const BarShown&) = delete;
    BarShown& operator=(const BarShown&) = delete;
    ~BarShown() {
        try {
            bar_.set_visible(false);
        } catch (...) {  // NOLINT(bugprone-empty-catch): an error already on its way wins
        }
    }

private:
    ui::ProgressBar& bar_;
};

class RunFlag {
public:
    explicit RunFlag(bool& flag) : flag_(flag) { flag_ = true; }
    RunFlag(const RunFlag&) = delete;
    RunFlag& operator=(const RunFlag&) = delete;
    ~RunFlag() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

void process_click(PageState& state, PageControls& controls, std::int16_t index, const ImportRun& run) {
    if (index != 0 || state.import_running) return;

    if (!validate_import_file(state, controls)) {
        ui::message_box(message::kInvalidImportFile, ui::kOkOnly);
        controls.import_file_field.set_focus();
        return;
    }

    bool imported = false;
    {
        BarShown bar(controls.progress_bar);
        if (host::find_record_type(controls.record_type_list.text())) {
            const std::u16string file_name = controls.import_file_field.text();
            const std::u16string type = controls.record_type_list.text();
            RunFlag running(state.import_running);
            imported = run(state, controls, file_name, type);
        } else if (state.record_type == record_type::kNoValidSystem) {
            ui::message_box(message::kNoValidSystemPrompt, ui::kOkOnly, message::kNoValidSystemTitle);
        } else {
            ui::message_box(message::kInvalidRecordTypePrompt, ui::kOkOnly, message::kInvalidRecordTypeTitle);
        }
    }

    if (imported) {
        // Read afresh: a change of the list during the run shows in the title.
        ui::message_box(message::kImportedPrompt, ui::kOkOnly | ui::kInformation,
                        message::imported_title(controls.record_type_list.text()));
    }
}

}  // namespace zn::page
