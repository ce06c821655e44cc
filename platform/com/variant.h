// An owned VARIANT, cleared on destruction. Move-only, as Bstr: receive() for out-parameters,
// release() to hand the value on.
#pragma once

#include <cassert>
#include <string_view>
#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/com.h"

namespace zn::com {

class Variant {
public:
    Variant() noexcept { VariantInit(&v_); }
    explicit Variant(std::u16string_view text);
    explicit Variant(LONG value) noexcept;
    // Takes the string over as it is, without copying it.
    explicit Variant(Bstr&& text) noexcept {
        VariantInit(&v_);
        v_.vt = VT_BSTR;
        v_.bstrVal = text.release();
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) {
            reset();
            v_ = o.v_;
            VariantInit(&o.v_);
        }
        return *this;
    }
    ~Variant() { reset(); }

    void reset() noexcept { VariantClear(&v_); }
    // For out-parameters: the variant must be empty, so nothing is leaked.
    VARIANT* receive() noexcept {
        assert(v_.vt == VT_EMPTY);
        return &v_;
    }
    const VARIANT& get() const noexcept { return v_; }
    VARIANT& get() noexcept { return v_; }
    VARIANT release() noexcept {
        VARIANT r = v_;
        VariantInit(&v_);
        return r;
    }
    VARTYPE type() const noexcept { return v_.vt; }

private:
    VARIANT v_;
};

// A one-dimensional SAFEARRAY of VARIANT, destroyed with its elements.
class SafeArray {
public:
    SafeArray() noexcept = default;
    static SafeArray of_variants(ULONG count);
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& o) noexcept : a_(std::exchange(o.a_, nullptr)) {}
    SafeArray& operator=(SafeArray&& o) noexcept {
        std::swap(a_, o.a_);
        return *this;
    }
    ~SafeArray();
    SAFEARRAY* get() const noexcept { return a_; }
    // For by-reference array arguments that the callee may replace.
    SAFEARRAY** addressof() noexcept { return &a_; }

private:
    SAFEARRAY* a_ = nullptr;
};

}  // namespace zn::com
