#include "refhost/components/system_info.h"

#include "refhost/components/call_text.h"
#include "refhost/components/session_binding.h"

namespace zn::refhost {

SystemInfoObject::SystemInfoObject(std::shared_ptr<HostState> state) : HostObject(std::move(state), "SystemInfo") {}

HRESULT SystemInfoObject::Init(host::SessionContext** context) {
    return serve(
        "Init", [&] { return context ? state().name_of(*context) : std::string("null"); },
        [&] { return bind_session(state(), shared_state(), "SystemInfo.Init", context, session_); });
}

HRESULT SystemInfoObject::CloseDown() {
    return serve("CloseDown", no_args, [&] {
        session_ = nullptr;
        return std::string();
    });
}

HRESULT SystemInfoObject::IsSystemInstalled(LONG module, LONG option1, LONG option2, LONG* reserved,
                                            VARIANT_BOOL* installed) {
    return serve(
        "IsSystemInstalled",
        [&] { return join_args(number(module), number(option1), number(option2), number_at(reserved)); },
        [&] {
            if (!installed) com::throw_error(E_POINTER);
            if (!session_) com::throw_error(E_UNEXPECTED, u"SystemInfo is not bound to a session (Init first)");
            const bool answer = state().config.answer_installed(module);
            *installed = com::to_variant_bool(answer);
            return boolean(answer);
        });
}

}  // namespace zn::refhost
