#include "refhost/container/document_container.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/com/com_error.h"
#include "refhost/components/path_rules.h"

namespace zn::refhost {

GUID read_document_class(std::u16string_view url) {
    const std::filesystem::path path = to_file_system_path(url);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        com::throw_error(com::kFileNotFound, u"Document file not found: " + std::u16string(url));
    // The system answers alike for a file it cannot read and for one that is not a document.
    if (!std::ifstream(path, std::ios::binary))
        com::throw_error(com::kPermissionDenied, u"Document file cannot be read: " + std::u16string(url));
    const std::u16string system_path = path.u16string();
    CLSID clsid{};
    const HRESULT hr = GetClassFile(com::ole(system_path.c_str()), &clsid);
    if (FAILED(hr))
        com::throw_error(kMalformedDocument, u"Not a document file: " + std::u16string(url) +
                                                 u" (the system finds no class in it: " +
                                                 com::standard_description(hr) + u")");
    if (com::same_guid(clsid, GUID{}))
        com::throw_error(kMalformedDocument,
                         u"Not a document file: " + std::u16string(url) + u" (its root storage names no class)");
    return clsid;
}

com::ComPtr<IDispatch> open_document(std::u16string_view url) {
    const GUID clsid = read_document_class(url);
    com::ComPtr<IDispatch> page;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<IDispatch>(), page.put_void());
    if (FAILED(hr)) {
        std::u16string cause;
        try {
            com::check(hr);
        } catch (const com::ComError& e) {
            cause = e.description();
        }
        com::throw_error(hr, u"Cannot create the page " + com::format_guid(clsid) + u" named by " +
                                 std::u16string(url) + u": " + cause);
    }
    return page;
}

}  // namespace zn::refhost
