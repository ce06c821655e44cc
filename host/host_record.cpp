#include "host/host_record.h"

#include "host/host_objects.h"

namespace zn::host {

HostRecord::HostRecord(const RecordType& type, com::ComPtr<SessionContext>& session) : type_(type) {
    const com::ComPtr<IUnknown> unknown = create_host_unknown(type.clsid);
    if (FAILED(unknown->QueryInterface(type.calls.iid, object_.put_void())) || !object_) {
        object_ = nullptr;
        com::throw_error(com::kTypeMismatch);
    }
    init_with_session(session, [&](SessionContext** context) { return type.calls.init(*object_.get(), context); });
}

void HostRecord::load(std::int32_t id) {
    LONG reserved = 0;
    com::check(type_.calls.load(*object_.get(), id, &reserved));
}

com::ComPtr<FieldSet> HostRecord::fields() {
    com::ComPtr<FieldSet> fields;
    com::check(object_.as<DataObject>()->Fields(1, fields.put()));
    if (!fields) com::throw_error(com::kObjectNotSet);
    return fields;
}

void HostRecord::save() {
    com::check(type_.calls.save(*object_.get()));
}

void HostRecord::close_down() {
    com::check(type_.calls.close_down(*object_.get()));
}

}  // namespace zn::host
