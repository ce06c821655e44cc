#include "refhost/components/record_state.h"

namespace zn::refhost {

std::shared_ptr<store::RecordStore> record_store_of(HostConfig& config) {
    if (!config.records) config.records = store::RecordStore::in_memory();
    return config.records;
}

}  // namespace zn::refhost
