// A record as its record object holds it between Load and Save, shared with the FieldSets that
// the object hands out: the fields as loaded, and the changes that Save will write.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "refhost/components/host_config.h"
#include "refhost/store/record_store.h"

namespace zn::refhost {

struct RecordState {
    std::shared_ptr<store::RecordStore> store;
    std::string type;  // "Student", "Applicant", "Faculty/Staff" or "Individual"
    std::int32_t id = 0;
    store::RecordHead loaded;
    store::RecordUpdate changes;  // what Save writes; cleared once written

    // "Student record 12"
    std::string describe() const { return type + " record " + std::to_string(id); }
};

// Field identifiers a record answers to.
inline constexpr long kNameFieldId = 1;
inline constexpr long kPhotoFieldId = 61;

// The store that record objects use: the host's database, or one in memory made now.
std::shared_ptr<store::RecordStore> record_store_of(HostConfig& config);

// Runs a use of the store; its failure becomes a ComError with the store's message.
template <class F>
decltype(auto) with_store(F&& use) {
    try {
        return use();
    } catch (const store::StoreError& e) {
        com::throw_error(E_FAIL, text::from_utf8(e.what()));
    }
}

}  // namespace zn::refhost
