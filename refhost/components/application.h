// The host's application object, its service provider and the session object: the chain
// through which the plug-in obtains its session context in OnInit.
#pragma once

#include "refhost/components/host_object.h"

namespace zn::refhost {

// The session object; offers SessionContext unless the configuration says otherwise when it
// is created. Nothing is called on it: the component only hands it to Init members.
class Session final : public HostObject<Session, host::SessionContext> {
public:
    explicit Session(std::shared_ptr<HostState> state);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;

private:
    bool offers_context_;
};

// Hands out one session, the same on every call.
class ServiceProviderObject final : public HostObject<ServiceProviderObject, host::ServiceProvider> {
public:
    explicit ServiceProviderObject(std::shared_ptr<HostState> state);

    HRESULT STDMETHODCALLTYPE get_Session(IDispatch** session) override;

private:
    com::ComPtr<Session> session_;
};

// Hands out one service provider, the same on every call.
class Application final : public HostObject<Application, host::HostApplication> {
public:
    explicit Application(std::shared_ptr<HostState> state);

    HRESULT STDMETHODCALLTYPE get_Services(host::ServiceProvider** services) override;

private:
    com::ComPtr<ServiceProviderObject> provider_;
};

}  // namespace zn::refhost
