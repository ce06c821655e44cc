#include "import/host_file_utilities.h"

#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/com_error.h"

namespace zn::import {

RemoveQuotes remove_quotes_with(com::ComPtr<host::FileUtilities> utilities) {
    return [utilities = std::move(utilities)](std::u16string_view text) {
        if (!utilities) com::throw_error(com::kObjectNotSet);
        const com::Bstr line(text);
        const com::Bstr quote(u"\"");
        const com::Bstr nothing(u"");
        LONG count = 0;
        com::Bstr result;
        com::check(utilities->ReplaceText(line.get(), quote.get(), nothing.get(), &count, result.receive()));
        return result.str();
    };
}

FileExistsCheck file_exists_with(com::ComPtr<host::FileUtilities> utilities) {
    return [utilities = std::move(utilities)](std::u16string_view path) {
        if (!utilities) com::throw_error(com::kObjectNotSet);
        const com::Bstr name(path);
        VARIANT_BOOL exists = VARIANT_FALSE;
        com::check(utilities->FileExists(name.get(), &exists));
        return exists != VARIANT_FALSE;
    };
}

}  // namespace zn::import
