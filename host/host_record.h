// One record object of the host, of any of the four types, through the members they share.
#pragma once

#include <cstdint>

#include "host/record_types.h"
#include "platform/com/com_ptr.h"

namespace zn::host {

class HostRecord {
public:
    // A new object of the type's class, bound to the session (Init; the caller keeps what Init
    // hands back). An object without the class's interface is a type mismatch.
    HostRecord(const RecordType& type, com::ComPtr<SessionContext>& session);

    // Load(id, a reserved value by reference preset to 0).
    void load(std::int32_t id);
    // DataObject.Fields(1) of the loaded record; none is "object not set".
    com::ComPtr<FieldSet> fields();
    void save();
    void close_down();

private:
    const RecordType& type_;
    com::ComPtr<IDispatch> object_;
};

}  // namespace zn::host
