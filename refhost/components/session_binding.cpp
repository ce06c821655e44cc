#include "refhost/components/session_binding.h"

#include "refhost/components/application.h"

namespace zn::refhost {

std::string bind_session(HostState& state, const std::shared_ptr<HostState>& shared, const std::string& init_member,
                         host::SessionContext** context, com::ComPtr<host::SessionContext>& bound) {
    if (!context) com::throw_error(E_POINTER);
    if (!*context) com::throw_error(com::kObjectNotSet, u"Init needs a session context; none was given");
    if (state.config.replace_context_on.contains(init_member)) {
        const auto session = com::make_object<Session>(shared);
        com::ComPtr<host::SessionContext> replacement(session.get());
        // The caller's reference is ours to replace: release it and hand back the new one.
        com::ComPtr<host::SessionContext>::attach(*context).reset();
        *context = com::ComPtr<host::SessionContext>(replacement).detach();
        bound = std::move(replacement);
    } else {
        bound = com::ComPtr<host::SessionContext>(*context);
    }
    return state.name_of(bound.get());
}

}  // namespace zn::refhost
