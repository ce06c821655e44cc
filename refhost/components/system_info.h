// The host's SystemInfo: bound to a session by Init, answers which system modules are
// installed, gives up its session at CloseDown.
#pragma once

#include "refhost/components/host_object.h"

namespace zn::refhost {

class SystemInfoObject final : public HostObject<SystemInfoObject, host::SystemInfo> {
public:
    explicit SystemInfoObject(std::shared_ptr<HostState> state);

    // Binds to *context. An empty context is refused (object not set). When configured
    // ("SystemInfo.Init" in replace_context_on), a new session is bound and handed back in
    // *context, the one given being released.
    HRESULT STDMETHODCALLTYPE Init(host::SessionContext** context) override;
    // Drops the session; a second call does nothing more.
    HRESULT STDMETHODCALLTYPE CloseDown() override;
    // Answers from the configuration; refused when the object is not bound to a session
    // (before Init or after CloseDown). The by-reference value is left as given.
    HRESULT STDMETHODCALLTYPE IsSystemInstalled(LONG module, LONG option1, LONG option2, LONG* reserved,
                                                VARIANT_BOOL* installed) override;

private:
    com::ComPtr<host::SessionContext> session_;
};

}  // namespace zn::refhost
