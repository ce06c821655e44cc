#include "platform/com/variant.h"

#include "platform/com/bstr.h"
#include "platform/com/com_error.h"

namespace zn::com {

Variant::Variant(std::u16string_view text) {
    VariantInit(&v_);
    v_.bstrVal = alloc_bstr(text);
    v_.vt = VT_BSTR;
}

Variant::Variant(LONG value) noexcept {
    VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = value;
}

SafeArray SafeArray::of_variants(ULONG count) {
    SafeArray a;
    a.a_ = SafeArrayCreateVector(VT_VARIANT, 0, count);
    if (!a.a_) throw ComError(E_OUTOFMEMORY);
    return a;
}

SafeArray::~SafeArray() {
    if (a_) SafeArrayDestroy(a_);
}

}  // namespace zn::com
