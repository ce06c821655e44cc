// Init members of the host's business objects share one behaviour: bind to the context passed
// by reference, and hand back a new session in its place when the configuration says so.
#pragma once

#include <string>

#include "platform/com/com_ptr.h"
#include "refhost/components/host_state.h"

namespace zn::refhost {

// Binds bound to *context for the Init member named init_member (e.g. "SystemInfo.Init");
// returns the outcome text for the journal: the name of the session now in *context.
std::string bind_session(HostState& state, const std::shared_ptr<HostState>& shared, const std::string& init_member,
                         host::SessionContext** context, com::ComPtr<host::SessionContext>& bound);

}  // namespace zn::refhost
