#include "refhost/components/field_set.h"

#include <algorithm>

#include "platform/com/bstr.h"
#include "platform/text/code_page.h"
#include "platform/text/utf.h"
#include "refhost/components/call_text.h"

namespace zn::refhost {
namespace {

std::u16string field_name(LONG id) {
    return text::from_utf8(std::to_string(id));
}

[[noreturn]] void no_such_field(LONG id) {
    com::throw_error(E_INVALIDARG, u"A record has no field " + field_name(id) + u" (1 is the name, 61 the photo)");
}

// A photo is journalled by its length: it may be megabytes of bytes that read as nonsense.
std::string value_text(LONG id, const VARIANT& value) {
    switch (value.vt) {
        case VT_BSTR:
            if (id == kPhotoFieldId) return "<" + std::to_string(com::bstr_view(value.bstrVal).size()) + " chars>";
            return quoted_text(value.bstrVal);
        case VT_EMPTY:
            return "Empty";
        case VT_NULL:
            return "Null";
        default:
            return "<VT " + std::to_string(value.vt) + ">";
    }
}

// The text a field is set to; Empty and Null count as the empty text.
std::u16string_view text_of(const VARIANT& value) {
    if (value.vt == VT_BSTR) return com::bstr_view(value.bstrVal);
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) return {};
    com::throw_error(com::kTypeMismatch, u"A record's fields take text");
}

// The photo's bytes. The conversion writes '?' for a character that the code page lacks; such a
// photo would be stored as other bytes than the ones it stands for, so it is refused instead.
std::string photo_bytes(std::u16string_view text) {
    std::string bytes = text::utf16_to_ansi(text);
    if (std::count(bytes.begin(), bytes.end(), '?') != std::count(text.begin(), text.end(), u'?'))
        com::throw_error(com::kTypeMismatch,
                         u"The photo text holds characters that are not bytes of the code page; nothing was set");
    return bytes;
}

}  // namespace

FieldSetObject::FieldSetObject(std::shared_ptr<HostState> state, std::shared_ptr<RecordState> record)
    : HostObject(std::move(state), "FieldSet"), record_(std::move(record)) {}

HRESULT FieldSetObject::get_Field(LONG id, VARIANT* value) {
    return serve(
        "GetField", [&] { return number(id); },
        [&] {
            if (!value) com::throw_error(E_POINTER);
            com::Bstr text;
            if (id == kPhotoFieldId) {
                const store::RecordUpdate& changes = record_->changes;
                std::optional<std::string> bytes;
                if (changes.photo_changed)
                    bytes = changes.photo;
                else if (record_->loaded.has_photo)
                    bytes = with_store([&] { return record_->store->photo(record_->type, record_->id); });
                const std::string_view b = bytes ? std::string_view(*bytes) : std::string_view();
                text = com::Bstr::allocate(b.size());
                const std::size_t n = text::ansi_to_utf16(reinterpret_cast<const std::uint8_t*>(b.data()), b.size(),
                                                          com::u16(text.data()));
                if (n != b.size()) text = com::Bstr(text.view().substr(0, n));
            } else if (id == kNameFieldId) {
                text =
                    com::Bstr(text::from_utf8(record_->changes.name ? *record_->changes.name : record_->loaded.name));
            } else {
                no_such_field(id);
            }
            VariantInit(value);
            value->vt = VT_BSTR;
            value->bstrVal = text.release();
            return value_text(id, *value);
        });
}

HRESULT FieldSetObject::put_Field(LONG id, VARIANT value) {
    return serve(
        "Field", [&] { return join_args(number(id), value_text(id, value)); },
        [&] {
            if (id != kPhotoFieldId && id != kNameFieldId) no_such_field(id);
            const std::u16string_view text = text_of(value);
            store::RecordUpdate& changes = record_->changes;
            if (id == kPhotoFieldId) {
                // The empty text is no photo: stored as NULL, not as zero bytes.
                std::optional<std::string> bytes;
                if (!text.empty()) bytes = photo_bytes(text);
                changes.photo = std::move(bytes);
                changes.photo_changed = true;
            } else {
                if (text.empty()) com::throw_error(E_INVALIDARG, u"A record's name cannot be empty");
                changes.name = text::to_utf8(text);
            }
            return std::string();
        });
}

}  // namespace zn::refhost
