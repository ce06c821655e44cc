#include "refhost/components/class_factory.h"

namespace zn::refhost {

HostClassFactory::HostClassFactory(std::shared_ptr<HostState> state, std::string cls, Creator create)
    : state_(std::move(state)), cls_(std::move(cls)), create_(std::move(create)) {}

HRESULT HostClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return com::com_boundary([&] {
        const std::string member = cls_ + ".Create";
        try {
            state_->before_member_call(member);
        } catch (const com::ComError& e) {
            // Only a refused creation is a call of its own in the journal; a successful one
            // shows as the new object's "created" entry.
            state_->journal_outcome(state_->journal_call(cls_, member, ""), CallOutcome{failure_text(e.code())},
                                    e.code());
            throw;
        }
        const com::ComPtr<IUnknown> object = create_();
        if (const HRESULT hr = object->QueryInterface(riid, ppv); FAILED(hr)) com::throw_error(hr);
    });
}

ClassRegistration::ClassRegistration(const GUID& clsid, IUnknown* class_object) {
    com::check(CoRegisterClassObject(clsid, class_object, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
}

ClassRegistration::~ClassRegistration() {
    if (cookie_) CoRevokeClassObject(cookie_);
}

}  // namespace zn::refhost
