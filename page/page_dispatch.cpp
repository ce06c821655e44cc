#include "page/page_dispatch.h"

#include <array>
#include <optional>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/com_error.h"
#include "plugin/module_identity.h"

namespace zn::page {
namespace {

using com::Bstr;

constexpr HRESULT kNoNamedArgs = static_cast<HRESULT>(0x80020007);  // DISP_E_NONAMEDARGS

struct Member {
    std::u16string_view name;
    DISPID id;
    UINT arguments;
};

constexpr std::array kMembers{
    Member{u"ParseOutIDAndFileName", plugin::kDispidParseOutIDAndFileName, 4},
    Member{u"getPicture", plugin::kDispidGetPicture, 1},
};

char16_t fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// A name as GetIDsOfNames receives it: a plain NUL-terminated string, not a BSTR.
std::u16string_view name_text(const OLECHAR* s) {
    if (!s) return {};
    std::size_t n = 0;
    while (s[n]) ++n;
    return {reinterpret_cast<const char16_t*>(s), n};
}

// Names are matched without regard to case, as late binding does.
bool same_name(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

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

// Hands a String back through a by-reference argument; one passed by value gets nothing back.
void store_string(VARIANT& arg, Bstr value) {
    if (arg.vt == (VT_BYREF | VT_BSTR)) {
        Bstr old = Bstr::attach(*arg.pbstrVal);
        *arg.pbstrVal = value.release();
    } else if (arg.vt == (VT_BYREF | VT_VARIANT)) {
        VariantClear(arg.pvarVal);
        arg.pvarVal->vt = VT_BSTR;
        arg.pvarVal->bstrVal = value.release();
    }
}

// A failed member's error, handed to the caller as exception info.
HRESULT exception_from(HRESULT hr, EXCEPINFO* exception) {
    if (!exception) return hr;
    *exception = EXCEPINFO{};
    exception->scode = hr;
    exception->bstrSource = com::alloc_bstr(u"ZNImportPhotos");
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        info->GetDescription(&exception->bstrDescription);
        info->Release();
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT page_ids_of_names(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!ids || (count > 0 && !names)) return E_POINTER;
    if (count == 0) return S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // Only the member's name is known; its parameters have no names to look up.
    const std::u16string_view wanted = name_text(names[0]);
    for (const Member& m : kMembers) {
        if (!same_name(m.name, wanted)) continue;
        ids[0] = m.id;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    return DISP_E_UNKNOWNNAME;
}

namespace {

HRESULT invoke(_docZNImportPhotos& page, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* exception, UINT* bad_argument) {
    const Member* found = nullptr;
    for (const Member& m : kMembers)
        if (m.id == member) found = &m;
    if (!found) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD) && !(found->id == plugin::kDispidGetPicture && (flags & DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;
    if (!params) return E_POINTER;
    if (params->cNamedArgs > 0) return kNoNamedArgs;
    if (params->cArgs != found->arguments) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs > 0 && !params->rgvarg) return E_POINTER;

    // Arguments arrive last first.
    VARIANT* args = params->rgvarg;
    const UINT n = params->cArgs;
    auto argument = [&](UINT i) -> VARIANT& { return args[n - 1 - i]; };
    for (UINT i = 0; i < n; ++i) {
        if (!string_of(argument(i))) {
            if (bad_argument) *bad_argument = n - 1 - i;
            return DISP_E_TYPEMISMATCH;
        }
    }

    if (found->id == plugin::kDispidParseOutIDAndFileName) {
        // The outputs are the caller's only once the member has succeeded.
        Bstr id(com::bstr_view(*string_of(argument(1))));
        Bstr name(com::bstr_view(*string_of(argument(2))));
        Bstr photo(com::bstr_view(*string_of(argument(3))));
        const HRESULT hr =
            page.ParseOutIDAndFileName(*string_of(argument(0)), id.addressof(), name.addressof(), photo.addressof());
        if (FAILED(hr)) return exception_from(hr, exception);
        store_string(argument(1), std::move(id));
        store_string(argument(2), std::move(name));
        store_string(argument(3), std::move(photo));
        return S_OK;
    }

    Bstr file_name(com::bstr_view(*string_of(argument(0))));
    Bstr picture;
    const HRESULT hr = page.getPicture(file_name.addressof(), picture.receive());
    if (FAILED(hr)) return exception_from(hr, exception);
    store_string(argument(0), std::move(file_name));
    if (result) {
        VariantClear(result);
        result->vt = VT_BSTR;
        result->bstrVal = picture.release();
    }
    return S_OK;
}

}  // namespace

HRESULT invoke_page_member(_docZNImportPhotos& page, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* bad_argument) noexcept {
    try {
        return invoke(page, member, flags, params, result, exception, bad_argument);
    } catch (...) {
        return com::current_exception_to_hresult();
    }
}

}  // namespace zn::page
