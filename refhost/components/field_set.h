// The fields of a loaded record, as DataObject.Fields hands them out: field 1 is the record's
// name, field 61 its photo. Setting a field changes the record object's pending changes; the
// record's Save writes them.
#pragma once

#include "refhost/components/host_object.h"
#include "refhost/components/record_state.h"

namespace zn::refhost {

class FieldSetObject final : public HostObject<FieldSetObject, host::FieldSet> {
public:
    FieldSetObject(std::shared_ptr<HostState> state, std::shared_ptr<RecordState> record);

    // The photo as text, one character per byte through the code page (the empty text for no
    // photo); the name as text. Journalled as FieldSet.GetField.
    HRESULT STDMETHODCALLTYPE get_Field(LONG id, VARIANT* value) override;
    // The photo takes a String (the empty String, Empty or Null clear it); a character that the
    // code page cannot hold is refused rather than stored as something else. The name takes a
    // String that is not empty. Journalled as FieldSet.Field, a photo by its length only.
    HRESULT STDMETHODCALLTYPE put_Field(LONG id, VARIANT value) override;

private:
    std::shared_ptr<RecordState> record_;
};

}  // namespace zn::refhost
