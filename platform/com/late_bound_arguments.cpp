#include "platform/com/late_bound_arguments.h"

#include <optional>
#include <utility>

namespace zn::com {
namespace {

constexpr HRESULT kNoNamedArgs = static_cast<HRESULT>(0x80020007);  // DISP_E_NONAMEDARGS

// The String an argument holds, or none for an argument of another type. Empty counts as the
// empty String, as it does for a variable never assigned.
std::optional<BSTR> string_of(const VARIANT& arg) {
    switch (arg.vt) {
        case VT_BSTR:
            return arg.bstrVal;
        case VT_EMPTY:
            return nullptr;
        case VT_BYREF | VT_BSTR:
            return arg.pbstrVal ? std::optional<BSTR>(*arg.pbstrVal) : std::nullopt;
        case VT_BYREF | VT_VARIANT:
            if (!arg.pvarVal || (arg.pvarVal->vt & VT_BYREF)) return std::nullopt;
            return string_of(*arg.pvarVal);
        default:
            return std::nullopt;
    }
}

}  // namespace

HRESULT LateBoundArguments::prepare(const DISPPARAMS* params, std::span<const ArgumentKind> kinds, UINT* bad_argument) {
    if (!params) return E_POINTER;
    if (params->cNamedArgs > 0) return kNoNamedArgs;
    if (params->cArgs != kinds.size()) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs > 0 && !params->rgvarg) return E_POINTER;

    const std::size_t n = kinds.size();
    args_.assign(params->rgvarg, params->rgvarg + n);
    lent_.clear();
    lent_.resize(n);  // never resized again: the prepared arguments point into it
    give_back_.assign(n, nullptr);
    for (std::size_t i = 0; i < n; ++i) {
        VARIANT& arg = prepared(i);
        if (kinds[i] == ArgumentKind::Other) continue;
        const std::optional<BSTR> value = string_of(arg);
        if (!value) {
            if (bad_argument) *bad_argument = static_cast<UINT>(n - 1 - i);
            return DISP_E_TYPEMISMATCH;
        }
        if (kinds[i] == ArgumentKind::String) {
            arg.vt = VT_BSTR;
            arg.bstrVal = *value;  // borrowed: an [in] String is not the member's to free
            continue;
        }
        if (arg.vt == (VT_BYREF | VT_BSTR)) continue;  // already what the member takes
        if (arg.vt == (VT_BYREF | VT_VARIANT)) give_back_[i] = arg.pvarVal;
        lent_[i] = Bstr(bstr_view(*value));
        arg.vt = VT_BYREF | VT_BSTR;
        arg.pbstrVal = lent_[i].addressof();
    }
    params_ = DISPPARAMS{args_.data(), nullptr, static_cast<UINT>(n), 0};
    return S_OK;
}

BSTR LateBoundArguments::string(std::size_t i) const noexcept {
    const VARIANT& arg = prepared(i);
    return arg.vt == VT_BSTR ? arg.bstrVal : *arg.pbstrVal;
}

BSTR* LateBoundArguments::string_reference(std::size_t i) noexcept {
    return prepared(i).pbstrVal;
}

void LateBoundArguments::hand_back() noexcept {
    for (std::size_t i = 0; i < give_back_.size(); ++i) {
        VARIANT* target = std::exchange(give_back_[i], nullptr);
        if (!target) continue;
        VariantClear(target);
        target->vt = VT_BSTR;
        target->bstrVal = lent_[i].release();
    }
}

}  // namespace zn::com
