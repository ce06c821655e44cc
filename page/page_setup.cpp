#include "page/page_setup.h"

#include "host/host_objects.h"
#include "host/record_types.h"
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

// For either module, both are asked, HM first, whatever the first answer.
bool offered(host::SystemInfo& info, host::OfferedBy module) {
    switch (module) {
        case host::OfferedBy::HM:
            return is_installed(info, host::kModuleHM);
        case host::OfferedBy::HV:
            return is_installed(info, host::kModuleHV);
        case host::OfferedBy::Either:
            break;
    }
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
    state.file_utilities = host::create_host_object<host::FileUtilities>(host::CLSID_FileUtilities);
    controls.process_button.set_enabled(false);

    ComPtr<host::SystemInfo> info = host::create_host_object<host::SystemInfo>(host::CLSID_SystemInfo);
    host::init_with_session(state.session, [&](host::SessionContext** context) { return info->Init(context); });

    ui::DropDownList& list = controls.record_type_list;
    for (const host::RecordType& type : host::kRecordTypes) {
        if (offered(*info.get(), type.offered_by)) add_entry(state, list, type.name);
    }

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
    controls.instructions_label.set_caption(host::prepare_text(instructions_for(state.record_type)));
}

void release_page(PageState& state) noexcept {
    state.session = nullptr;
    state.file_utilities = nullptr;
}

}  // namespace zn::page
