// The base of every reference-host object: the link to the host state that journals each call
// and counts the object while it lives. The component calls host members early-bound, so the
// IDispatch members offer no type information.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/dispatch_object.h"
#include "refhost/components/host_state.h"

namespace zn::refhost {

template <class Derived, class... Interfaces>
class HostObject : public com::DispatchObject<Derived, Interfaces...> {
    using Base = com::DispatchObject<Derived, Interfaces...>;

public:
    // The instance name in the journal, e.g. "SystemInfo#1".
    const std::string& name() const noexcept { return name_; }

    // With HostConfig::journal_queries, a query for any interface but IUnknown is a member call
    // of its own ("StudentRecord.QueryInterface"), journaled and made to fail as any other.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv || !state_->config.journal_queries || com::same_guid(riid, com::iid_of<IUnknown>()))
            return Base::QueryInterface(riid, ppv);
        *ppv = nullptr;
        return state_->serve(
            name_, cls_, "QueryInterface", [] { return std::string(); },
            [&] {
                com::check(Base::QueryInterface(riid, ppv));
                return std::string("S_OK");
            });
    }

protected:
    HostObject(std::shared_ptr<HostState> state, std::string_view cls) : state_(std::move(state)), cls_(cls) {
        name_ = state_->track(this->unknown(), cls_, [this] { return static_cast<unsigned long>(this->ref_count()); });
    }
    ~HostObject() { state_->untrack(this->unknown()); }

    // Runs a member's body as described at HostState::serve.
    template <class Args, class Body>
    HRESULT serve(std::string_view member, Args&& args, Body&& body) noexcept {
        return state_->serve(name_, cls_, member, std::forward<Args>(args), std::forward<Body>(body));
    }

    HostState& state() noexcept { return *state_; }
    const std::shared_ptr<HostState>& shared_state() const noexcept { return state_; }

private:
    std::shared_ptr<HostState> state_;
    std::string cls_;
    std::string name_;
};

}  // namespace zn::refhost
