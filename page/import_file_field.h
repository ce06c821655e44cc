// The import file field: browsing for the file (button or F7), selecting the whole path when
// the field gets the focus, following its text with the Process button, and the check that
// the named file exists.
#pragma once

#include <cstdint>

#include "page/page_state.h"

namespace zn::page {

// Filter and flags the dialog is shown with: only an existing file in an existing folder.
inline constexpr std::u16string_view kImportFileFilter = u"*.csv";
inline constexpr std::int32_t kImportDialogFlags = ui::FileDialog::kFileMustExist | ui::FileDialog::kPathMustExist;
inline constexpr std::int16_t kKeyF7 = 118;

// Opens the dialog in the folder (and with the file name) that the field's text suggests and
// puts the chosen path into the field. Every error is dropped and the next step runs; a
// failed existence check counts as passed. A cancelled dialog leaves the field as it was.
void import_file_button_click(const PageState& state, PageControls& controls, std::int16_t button) noexcept;

// Selects the field's whole text.
void import_file_got_focus(PageControls& controls);

// Process is enabled exactly when the field holds some text.
void import_file_change(PageControls& controls);

// F7, whatever the shift state, does what the browse button does; the key code is left as it is.
void import_file_key_down(const PageState& state, PageControls& controls, std::int16_t& key, std::int16_t shift);

// Whether the field names an existing file; with a non-empty field, Process is enabled
// exactly when it does.
bool validate_import_file(const PageState& state, PageControls& controls);

}  // namespace zn::page
