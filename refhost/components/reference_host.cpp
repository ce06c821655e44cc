#include "refhost/components/reference_host.h"

#include <stdexcept>

#include "refhost/components/application.h"
#include "refhost/components/file_utilities.h"
#include "refhost/components/record_object.h"
#include "refhost/components/system_info.h"
#include "refhost/components/text_services.h"
#include "refhost/store/record_store.h"

namespace zn::refhost {
namespace {

template <class Impl>
HostClassFactory::Creator creator_of(const std::shared_ptr<HostState>& state) {
    return [weak = std::weak_ptr<HostState>(state)]() -> com::ComPtr<IUnknown> {
        const auto s = weak.lock();
        if (!s) com::throw_error(CLASS_E_CLASSNOTAVAILABLE);
        return com::ComPtr<IUnknown>(com::make_object<Impl>(s)->unknown());
    };
}

// One record class, served under its CLSID and class name from the record-type table.
template <class Record, class Serve>
void serve_record(Serve& serve, const std::shared_ptr<HostState>& state) {
    constexpr const host::RecordType& type = record_type_of<Record>();
    serve(type.clsid, std::string(type.class_name), creator_of<RecordObject<Record>>(state));
}

}  // namespace

ReferenceHost::ReferenceHost() : state_(std::make_shared<HostState>()) {
    if (active_host_state()) throw std::logic_error("another ReferenceHost is alive");

    const auto serve = [&](const GUID& clsid, std::string cls, HostClassFactory::Creator create) {
        const auto factory = com::make_object<HostClassFactory>(state_, std::move(cls), std::move(create));
        registrations_.emplace_back(clsid, factory->unknown());
    };
    serve(host::CLSID_SystemInfo, "SystemInfo", creator_of<SystemInfoObject>(state_));
    serve(host::CLSID_FileUtilities, "FileUtilities", creator_of<FileUtilitiesObject>(state_));
    serve_record<host::FacultyStaffRecord>(serve, state_);
    serve_record<host::ApplicantRecord>(serve, state_);
    serve_record<host::StudentRecord>(serve, state_);
    serve_record<host::IndividualRecord>(serve, state_);
    serve(host::CLSID_TextServices, std::string(kSharedClass),
          [] { return com::ComPtr<IUnknown>(text_services_for_this_thread()->unknown()); });
    set_active_host_state(state_);
}

ReferenceHost::~ReferenceHost() {
    set_active_host_state({});
    registrations_.clear();
}

HostConfig& ReferenceHost::config() {
    return state_->config;
}
void ReferenceHost::open_database(const std::filesystem::path& path) {
    state_->config.records = store::RecordStore::open(path);
    state_->config.modules_from_records = true;
}

store::RecordStore& ReferenceHost::records() {
    return *record_store_of(state_->config);
}

const Journal& ReferenceHost::journal() const {
    return state_->journal();
}
void ReferenceHost::clear_journal() {
    state_->clear_journal();
}

com::ComPtr<host::HostApplication> ReferenceHost::application() {
    const auto app = com::make_object<Application>(state_);
    return com::ComPtr<host::HostApplication>(app.get());
}

com::ComPtr<host::SessionContext> ReferenceHost::new_session() {
    // Upcast, not a query: a session made to lack SessionContext is still handed over.
    const auto session = com::make_object<Session>(state_);
    return com::ComPtr<host::SessionContext>(session.get());
}

LiveCounts ReferenceHost::live() const {
    LiveCounts counts = state_->live();
    if (const ClassCount shared = text_services_count_for_this_thread(); shared.objects > 0)
        counts.by_class[std::string(kSharedClass)] = shared;
    return counts;
}

std::string ReferenceHost::name_of(IUnknown* object) const {
    if (!object) return "Nothing";
    const com::ComPtr<IUnknown> identity = com::ComPtr<IUnknown>(object).try_as<IUnknown>();
    return state_->name_of(identity.get());
}

}  // namespace zn::refhost
