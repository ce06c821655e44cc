#include "refhost/components/record_object.h"

#include "platform/text/utf.h"
#include "refhost/components/call_text.h"
#include "refhost/components/field_set.h"
#include "refhost/components/session_binding.h"

namespace zn::refhost {
namespace {

std::u16string u16(const std::string& utf8) {
    return text::from_utf8(utf8);
}

// What a Save wrote, for the journal.
std::string changes_text(const store::RecordUpdate& changes) {
    if (changes.empty()) return "nothing changed";
    std::string r;
    if (changes.name) r = "name " + quoted_text(text::from_utf8(*changes.name));
    if (changes.photo_changed) {
        if (!r.empty()) r += ", ";
        r += changes.photo ? "photo " + std::to_string(changes.photo->size()) + " bytes" : std::string("photo cleared");
    }
    return r;
}

// The class's name, as the journal and the descriptions give it.
template <class Interface>
std::string class_name() {
    constexpr std::string_view name = record_type_of<Interface>().class_name;
    return std::string(name);
}

}  // namespace

template <class Interface>
RecordObject<Interface>::RecordObject(std::shared_ptr<HostState> state)
    : HostObject<RecordObject<Interface>, Interface, host::DataObject>(std::move(state), class_name<Interface>()) {}

template <class Interface>
HRESULT RecordObject<Interface>::Init(host::SessionContext** context) {
    return this->serve(
        "Init", [&] { return context ? this->state().name_of(*context) : std::string("null"); },
        [&] {
            return bind_session(this->state(), this->shared_state(), class_name<Interface>() + ".Init", context,
                                session_);
        });
}

template <class Interface>
HRESULT RecordObject<Interface>::CloseDown() {
    return this->serve("CloseDown", no_args, [&] {
        record_.reset();
        session_ = nullptr;
        return std::string();
    });
}

template <class Interface>
HRESULT RecordObject<Interface>::Load(LONG id, LONG* reserved) {
    return this->serve(
        "Load", [&] { return join_args(number(id), number_at(reserved)); },
        [&] {
            if (!session_)
                com::throw_error(E_UNEXPECTED,
                                 u16(class_name<Interface>()) + u" is not bound to a session (Init first)");
            // A failed Load leaves nothing loaded, not the record loaded before.
            record_.reset();
            auto record = std::make_shared<RecordState>();
            record->store = record_store_of(this->state().config);
            record->type = host::narrow_name(record_type_of<Interface>());
            record->id = id;
            auto head = with_store([&] { return record->store->head(record->type, id); });
            if (!head) com::throw_error(E_FAIL, u16(record->describe()) + u" not found");
            record->loaded = std::move(*head);
            record_ = std::move(record);
            return quoted_text(u16(record_->loaded.name));
        });
}

template <class Interface>
HRESULT RecordObject<Interface>::Save() {
    return this->serve("Save", no_args, [&] {
        RecordState& record = loaded();
        const bool found = with_store([&] { return record.store->update(record.type, record.id, record.changes); });
        if (!found) com::throw_error(E_FAIL, u16(record.describe()) + u" no longer exists; nothing was saved");
        CallOutcome written{changes_text(record.changes)};
        if (record.changes.name) record.loaded.name = *record.changes.name;
        if (record.changes.photo_changed) {
            written.photo = record.changes.photo ? PhotoChange::Stored : PhotoChange::Cleared;
            record.loaded.has_photo = record.changes.photo.has_value();
            record.loaded.photo_bytes =
                record.changes.photo ? static_cast<std::int64_t>(record.changes.photo->size()) : 0;
        }
        record.changes = {};
        return written;
    });
}

template <class Interface>
HRESULT RecordObject<Interface>::Fields(LONG which, host::FieldSet** fields) {
    return this->state().serve(
        this->name(), "DataObject", "Fields", [&] { return number(which); },
        [&] {
            if (!fields) com::throw_error(E_POINTER);
            *fields = nullptr;
            if (which != 1) com::throw_error(E_INVALIDARG, u"Fields takes 1, the record's own fields");
            loaded();
            const auto set = com::make_object<FieldSetObject>(this->shared_state(), record_);
            *fields = com::ComPtr<host::FieldSet>(set.get()).detach();
            return set->name();
        });
}

template <class Interface>
RecordState& RecordObject<Interface>::loaded() {
    if (!record_) com::throw_error(E_UNEXPECTED, u16(class_name<Interface>()) + u" has no record loaded (Load first)");
    return *record_;
}

template class RecordObject<host::FacultyStaffRecord>;
template class RecordObject<host::ApplicantRecord>;
template class RecordObject<host::StudentRecord>;
template class RecordObject<host::IndividualRecord>;

}  // namespace zn::refhost
