#include "page/posix/page_dispatch.h"

#include <array>
#include <span>
#include <string_view>

#include "page/page_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/com_error.h"
#include "platform/com/late_bound_arguments.h"
#include "platform/text/ascii_case.h"

namespace zn::page {
namespace {

using com::Bstr;

using Kind = com::ArgumentKind;
constexpr std::array kParseParameters{Kind::String, Kind::StringByReference, Kind::StringByReference,
                                      Kind::StringByReference};
constexpr std::array kPictureParameters{Kind::StringByReference};

struct Member {
    std::u16string_view name;
    DISPID id;
    std::span<const Kind> parameters;
};

constexpr std::array kMembers{
    Member{u"ParseOutIDAndFileName", page::kDispidParseOutIDAndFileName, kParseParameters},
    Member{u"getPicture", page::kDispidGetPicture, kPictureParameters},
};

// A name as GetIDsOfNames receives it: a plain NUL-terminated string, not a BSTR.
std::u16string_view name_text(const OLECHAR* s) {
    if (!s) return {};
    std::size_t n = 0;
    while (s[n]) ++n;
    return {reinterpret_cast<const char16_t*>(s), n};
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
        // Names are matched without regard to case, as late binding does.
        if (!text::equal_ignoring_ascii_case(m.name, wanted)) continue;
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
    if (!(flags & DISPATCH_METHOD) && !(found->id == page::kDispidGetPicture && (flags & DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;
    com::LateBoundArguments args;
    const HRESULT prepared = args.prepare(params, found->parameters, bad_argument);
    if (FAILED(prepared)) return prepared;

    if (found->id == page::kDispidParseOutIDAndFileName) {
        const HRESULT hr = page.ParseOutIDAndFileName(args.string(0), args.string_reference(1),
                                                      args.string_reference(2), args.string_reference(3));
        if (FAILED(hr)) return exception_from(hr, exception);
        args.hand_back();
        return S_OK;
    }

    Bstr picture;
    const HRESULT hr = page.getPicture(args.string_reference(0), picture.receive());
    if (FAILED(hr)) return exception_from(hr, exception);
    args.hand_back();
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
