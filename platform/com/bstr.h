// An owned BSTR. Move-only; receive() for out-parameters, release() to hand the value on.
#pragma once

#include <cassert>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/com.h"

namespace zn::com {

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::u16string_view text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        Bstr(std::move(o)).swap(*this);
        return *this;
    }
    ~Bstr() { reset(); }

    // A string of n characters whose contents the caller fills in place.
    static Bstr allocate(std::size_t n);
    static Bstr attach(BSTR s) noexcept {
        Bstr b;
        b.s_ = s;
        return b;
    }
    [[nodiscard]] BSTR release() noexcept { return std::exchange(s_, nullptr); }
    void reset() noexcept;
    void swap(Bstr& o) noexcept { std::swap(s_, o.s_); }

    BSTR* receive() noexcept {
        assert(!s_);
        return &s_;
    }
    // For in/out string arguments that the callee may replace.
    BSTR* addressof() noexcept { return &s_; }
    BSTR get() const noexcept { return s_; }
    OLECHAR* data() noexcept { return s_; }

    std::size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }
    std::u16string_view view() const noexcept { return {s_ ? u16(s_) : u"", size()}; }
    std::u16string str() const { return std::u16string(view()); }

private:
    BSTR s_ = nullptr;
};

// The text of a BSTR as a view; a null BSTR is the empty text.
std::u16string_view bstr_view(BSTR s) noexcept;
// A new BSTR for an out-parameter; throws on exhaustion.
BSTR alloc_bstr(std::u16string_view text);

}  // namespace zn::com
