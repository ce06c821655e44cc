// The class objects through which the component creates the host's objects by CLSID, and
// their registration in this process (as a host registers its classes before it loads plug-ins).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/com/com_object.h"
#include "refhost/components/host_state.h"

namespace zn::refhost {

class HostClassFactory final : public com::ComObject<HostClassFactory, IClassFactory> {
public:
    using Creator = std::function<com::ComPtr<IUnknown>()>;

    // cls names the class in the journal and in failure injection ("SystemInfo.Create").
    HostClassFactory(std::shared_ptr<HostState> state, std::string cls, Creator create);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<HostState> state_;
    std::string cls_;
    Creator create_;
};

// A class object registered for the life of this value.
class ClassRegistration {
public:
    // Throws ComError when the runtime refuses the registration.
    ClassRegistration(const GUID& clsid, IUnknown* class_object);
    ~ClassRegistration();
    ClassRegistration(ClassRegistration&& o) noexcept : cookie_(std::exchange(o.cookie_, 0)) {}
    ClassRegistration& operator=(ClassRegistration&&) = delete;
    ClassRegistration(const ClassRegistration&) = delete;

private:
    DWORD cookie_ = 0;
};

}  // namespace zn::refhost
