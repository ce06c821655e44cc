// The arguments of a late-bound call, brought to the forms that the member's String parameters
// take when it is bound early. Script engines pass their variables by reference as variants
// (VT_BYREF | VT_VARIANT); a BSTR* parameter takes only a reference to a String, so such an
// argument is lent a String of its own for the call and gets the result back after it.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/com.h"

namespace zn::com {

enum class ArgumentKind {
    Other,              // passed on as it came
    String,             // [in] BSTR
    StringByReference,  // [in, out] BSTR*
};

class LateBoundArguments {
public:
    LateBoundArguments() = default;
    LateBoundArguments(const LateBoundArguments&) = delete;
    LateBoundArguments& operator=(const LateBoundArguments&) = delete;

    // kinds lists the parameters in the order written. A String argument may come as a String
    // by value or by reference, as Empty (a variable never assigned), or as a reference to a
    // variant holding either; anything else is a type mismatch, and *bad_argument then names
    // it as DISPPARAMS counts (from the last). Named arguments are not taken.
    HRESULT prepare(const DISPPARAMS* params, std::span<const ArgumentKind> kinds, UINT* bad_argument);

    // The arguments as the member takes them, last first as in the caller's DISPPARAMS.
    DISPPARAMS* params() noexcept { return &params_; }
    // The i-th argument in the order written, for a String or a String by reference.
    BSTR string(std::size_t i) const noexcept;
    BSTR* string_reference(std::size_t i) noexcept;

    // After the member succeeded: each variant passed by reference gets the String that the
    // member left in the one lent to it. Until then the caller's variants are untouched.
    void hand_back() noexcept;

private:
    VARIANT& prepared(std::size_t i) noexcept { return args_[args_.size() - 1 - i]; }
    const VARIANT& prepared(std::size_t i) const noexcept { return args_[args_.size() - 1 - i]; }

    std::vector<VARIANT> args_;        // shallow: they own nothing
    std::vector<Bstr> lent_;           // the Strings lent for the call, by written position
    std::vector<VARIANT*> give_back_;  // the caller's variant that gets lent_[i] back, if any
    DISPPARAMS params_{};
};

}  // namespace zn::com
