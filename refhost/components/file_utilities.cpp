#include "refhost/components/file_utilities.h"

#include <limits>

#include "platform/com/bstr.h"
#include "refhost/components/call_text.h"
#include "refhost/components/path_rules.h"

namespace zn::refhost {

FileUtilitiesObject::FileUtilitiesObject(std::shared_ptr<HostState> state)
    : HostObject(std::move(state), "FileUtilities") {}

HRESULT FileUtilitiesObject::ReplaceText(BSTR text, BSTR search, BSTR replacement, LONG* count, BSTR* result) {
    return serve(
        "ReplaceText",
        [&] { return join_args(quoted_text(text), quoted_text(search), quoted_text(replacement), number_at(count)); },
        [&] {
            if (!result) com::throw_error(E_POINTER);
            std::size_t n = 0;
            const std::u16string r =
                replace_all(com::bstr_view(text), com::bstr_view(search), com::bstr_view(replacement), n);
            *result = com::alloc_bstr(r);
            if (count) *count = static_cast<LONG>(std::min<std::size_t>(n, std::numeric_limits<LONG>::max()));
            return quoted_text(r);
        });
}

HRESULT FileUtilitiesObject::GetPathPart(BSTR path, LONG folder, BSTR* part) {
    return serve(
        "GetPathPart", [&] { return join_args(quoted_text(path), number(folder)); },
        [&] {
            if (!part) com::throw_error(E_POINTER);
            const std::u16string r = folder ? folder_part(com::bstr_view(path)) : file_name_part(com::bstr_view(path));
            *part = com::alloc_bstr(r);
            return quoted_text(r);
        });
}

HRESULT FileUtilitiesObject::FileExists(BSTR path, VARIANT_BOOL* exists) {
    return serve(
        "FileExists", [&] { return quoted_text(path); },
        [&] {
            if (!exists) com::throw_error(E_POINTER);
            const bool r = path_exists(com::bstr_view(path));
            *exists = com::to_variant_bool(r);
            return boolean(r);
        });
}

}  // namespace zn::refhost
