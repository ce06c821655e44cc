#include "page/import_file_field.h"

#include <exception>
#include <string>

#include "host/host_objects.h"
#include "platform/ui/app.h"

namespace zn::page {
namespace {

// Runs one step of the browse handler; an error in it is dropped. Returns whether the step
// completed.
template <class F>
bool step(F&& body) noexcept {
    try {
        body();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// An existence test of the browse handler: a test that fails counts as passed.
bool exists_or_failed(const PageState& state, const std::u16string& path) noexcept {
    bool exists = true;
    step([&] { exists = host::file_exists(state.files(), path); });
    return exists;
}

}  // namespace

void import_file_button_click(const PageState& state, PageControls& controls, std::int16_t /*button*/) noexcept {
    ui::FileDialog& dialog = controls.file_dialog;
    step([&] { dialog.set_cancel_error(true); });
    step([&] { dialog.set_flags(kImportDialogFlags); });
    step([&] { dialog.set_filter(kImportFileFilter); });

    std::u16string typed;
    step([&] { typed = controls.import_file_field.text(); });

    if (typed.empty()) {
        step([&] { dialog.set_init_dir(ui::current_directory()); });
    } else {
        const std::u16string as_folder = typed.back() == u'\\' ? typed : typed + u'\\';
        if (exists_or_failed(state, typed)) {
            step([&] { dialog.set_init_dir(host::path_part(state.files(), typed, true)); });
            step([&] { dialog.set_file_name(host::path_part(state.files(), typed, false)); });
        } else if (exists_or_failed(state, as_folder)) {
            step([&] { dialog.set_init_dir(as_folder); });
            step([&] { dialog.set_file_name(u""); });
        } else {
            step([&] { dialog.set_init_dir(ui::current_directory()); });
        }
    }

    // After a cancel the dialog still holds the name it opened with (for an existing file
    // only its name part), which would cost the field its folder: only a confirmed choice is
    // written. The dialog lets the host act, as the run's yield does: a page that the host let
    // go of meanwhile is not written to.
    const bool held = state.file_utilities != nullptr;
    if (!step([&] { dialog.show_open(); })) return;
    if (held && !state.file_utilities) return;
    step([&] {
        const std::u16string chosen = dialog.file_name();
        if (!chosen.empty()) controls.import_file_field.set_text(chosen);
    });
}

void import_file_got_focus(PageControls& controls) {
    ui::ButtonEdit& field = controls.import_file_field;
    field.set_sel_start(0);
    field.set_sel_length(static_cast<std::int32_t>(field.text().size()));
}

void import_file_change(PageControls& controls) {
    controls.process_button.set_enabled(!controls.import_file_field.text().empty());
}

void import_file_key_down(const PageState& state, PageControls& controls, std::int16_t& key, std::int16_t /*shift*/) {
    if (key == kKeyF7) import_file_button_click(state, controls, 1);
}

bool validate_import_file(const PageState& state, PageControls& controls) {
    const bool exists = host::file_exists(state.files(), controls.import_file_field.text());
    if (!controls.import_file_field.text().empty()) controls.process_button.set_enabled(exists);
    return exists;
}

}  // namespace zn::page
