#include "refhost/components/application.h"

#include "refhost/components/call_text.h"

namespace zn::refhost {

Session::Session(std::shared_ptr<HostState> state)
    : HostObject(std::move(state), "Session"), offers_context_(this->state().config.session_offers_context) {}

HRESULT Session::QueryInterface(REFIID riid, void** ppv) {
    if (!offers_context_ && com::same_guid(riid, com::iid_of<host::SessionContext>())) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    return HostObject::QueryInterface(riid, ppv);
}

ServiceProviderObject::ServiceProviderObject(std::shared_ptr<HostState> state)
    : HostObject(std::move(state), "ServiceProvider"), session_(com::make_object<Session>(shared_state())) {}

HRESULT ServiceProviderObject::get_Session(IDispatch** session) {
    return serve("Session", no_args, [&] {
        if (!session) com::throw_error(E_POINTER);
        *session = com::ComPtr<IDispatch>(session_.get()).detach();
        return session_->name();
    });
}

Application::Application(std::shared_ptr<HostState> state)
    : HostObject(std::move(state), "HostApplication"),
      provider_(com::make_object<ServiceProviderObject>(shared_state())) {}

HRESULT Application::get_Services(host::ServiceProvider** services) {
    return serve("Services", no_args, [&] {
        if (!services) com::throw_error(E_POINTER);
        *services = com::ComPtr<host::ServiceProvider>(provider_.get()).detach();
        return provider_->name();
    });
}

}  // namespace zn::refhost
