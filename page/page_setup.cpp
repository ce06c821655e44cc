#include "page/page_setup.h"

#include "page/host_objects.h"
#include "page/page_texts.h"

namespace zn::page {
namespace {

using com::ComPtr;

bool is_installed(host::SystemInfo& info, LONG module) {
    LONG reserved = 0;
    VARIANT_BOOL installed = VARIANT_FALSE;
    com::check(info.IsSystemInstalled(module, -1, -1, &reserved, &installed));
    return installed != VARIANT_FALSE;
}

// Both modules are asked, HM first, whatever the first answer.
bool either_installed(host::SystemInfo& info) {
    const bool hm = is_installed(info, host::kModuleHM);
    const bool hv = is_installed(info, host::kModuleHV);
    return hm || hv;
}

void add_entry(PageState& state, ui::DropDownList& list, std::u16string_view entry) {
    list.add_item(entry);
    list.set_text(entry);
    state.record_type = list.text();
}

}  // namespace

void initialize_page(PageState& state, PageControls& controls, ComPtr<host::SessionContext>& session) {
    state.session = session;
    state.file_utilities = create_host_object<host::FileUtilities>(host::CLSID_FileUtilities);
    controls.process_button.set_enabled(false);

    ComPtr<host::SystemInfo> info = create_host_object<host::SystemInfo>(host::CLSID_SystemInfo);
    {
        // Init may hand back another session in the variable it is given; the page keeps that one.
        ComPtr<host::SessionContext> context = state.session;
        com::check(info->Init(context.addressof()));
        state.session = std::move(context);
    }

    ui::DropDownList& list = controls.record_type_list;
    if (is_installed(*info.get(), host::kModuleHM)) add_entry(state, list, record_type::kApplicant);
    if (is_installed(*info.get(), host::kModuleHV)) add_entry(state, list, record_type::kStudent);
    if (either_installed(*info.get())) add_entry(state, list, record_type::kFacultyStaff);
    if (either_installed(*info.get())) add_entry(state, list, record_type::kIndividual);

    const int entries = list.list_count();
    if (entries == 1) {
        list.set_enabled(false);
    } else if (entries >= 2) {
        list.set_list_index(0);  // runs the click handler, as a user's choice does
    } else {
        list.set_enabled(false);
        controls.import_file_field.set_enabled(false);
        state.record_type = record_type::kNoValidSystem;
    }

    com::check(info->CloseDown());
    info = nullptr;
    update_instructions(state, controls);
}

void record_type_chosen(PageState& state, PageControls& controls) {
    state.record_type = controls.record_type_list.text();
    update_instructions(state, controls);
}

void update_instructions(const PageState& state, PageControls& controls) {
    controls.instructions_label.set_caption(prepare_text(instructions_for(state.record_type)));
}

void release_page(PageState& state) noexcept {
    state.session = nullptr;
    state.file_utilities = nullptr;
}

}  // namespace zn::page
