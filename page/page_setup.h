// Setting the page up for a session, the record-type list and its instructions, and letting
// go of the host's objects.
#pragma once

#include "page/page_state.h"

namespace zn::page {

// Keeps the session, creates FileUtilities, disables Process, asks SystemInfo which system
// modules are installed (six questions), fills the record-type list and shows the
// instructions for the chosen type. An error ends it at the failing step; what was done
// before stays done, and a SystemInfo object already created is dropped without CloseDown.
void initialize_page(PageState& state, PageControls& controls, com::ComPtr<host::SessionContext>& session);

// The record-type list's click: RecordType := the list's text, then the instructions.
void record_type_chosen(PageState& state, PageControls& controls);

// Label2 := the instructions for RecordType, as TextServices prepares them.
void update_instructions(const PageState& state, PageControls& controls);

// Drops the session, then FileUtilities; calls nothing on either.
void release_page(PageState& state) noexcept;

}  // namespace zn::page
