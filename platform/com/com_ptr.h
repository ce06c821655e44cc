// An owning interface pointer: no implicit conversion to T*, no operator& that would leak.
#pragma once

#include <cassert>
#include <utility>

#include "platform/com/com_error.h"
#include "platform/com/guid.h"

namespace zn::com {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& o) noexcept {
        ComPtr(o).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        ComPtr(std::move(o)).swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        reset();
        return *this;
    }

    // Adopts a reference the caller already owns.
    static ComPtr attach(T* p) noexcept {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept {
        assert(p_);
        return p_;
    }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For out-parameters: the pointer must be empty, so nothing is leaked.
    T** put() noexcept {
        assert(!p_);
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    // For in/out parameters that the callee may replace (by-reference object arguments).
    T** addressof() noexcept { return &p_; }

    // Another interface of the same object; a missing one is a type-mismatch error.
    template <class U>
    ComPtr<U> as() const {
        ComPtr<U> r = try_as<U>();
        if (!r) throw ComError(p_ ? kTypeMismatch : kObjectNotSet);
        return r;
    }
    template <class U>
    ComPtr<U> try_as() const noexcept {
        ComPtr<U> r;
        if (p_) {
            void* out = nullptr;
            if (SUCCEEDED(p_->QueryInterface(iid_of<U>(), &out))) return ComPtr<U>::attach(static_cast<U*>(out));
        }
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// Compares object identity through IUnknown, as COM defines it.
inline bool same_object(IUnknown* a, IUnknown* b) noexcept {
    if (!a || !b) return a == b;
    // Only the IUnknown pointers of two objects say whether they are one object.
    auto identity = [](IUnknown* p) {
        void* unknown = nullptr;
        if (FAILED(p->QueryInterface(iid_of<IUnknown>(), &unknown)) || !unknown) return static_cast<void*>(nullptr);
        static_cast<IUnknown*>(unknown)->Release();
        return unknown;
    };
    void* ua = identity(a);
    return ua && ua == identity(b);
}

}  // namespace zn::com
