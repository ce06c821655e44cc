#include "refhost/container/document_container.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "platform/com/com_error.h"
#include "platform/text/utf.h"
#include "refhost/components/path_rules.h"

namespace zn::refhost {
namespace {

constexpr std::string_view kClassKey = "CLSID=";

[[noreturn]] void malformed(std::u16string_view why) {
    com::throw_error(kMalformedDocument, u"Malformed document file: " + std::u16string(why));
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

GUID parse_document_class(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::optional<GUID> found;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.starts_with(kClassKey)) continue;
        if (found) malformed(u"it names more than one class");
        const std::string_view value = trim(line.substr(kClassKey.size()));
        found = com::parse_guid(value);
        if (!found) malformed(u"\"" + text::from_utf8(value) + u"\" is not a class identifier");
    }
    if (!found) malformed(u"it has no CLSID line");
    return *found;
}

GUID read_document_class(std::u16string_view url) {
    const std::filesystem::path path = to_file_system_path(url);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        com::throw_error(com::kFileNotFound, u"Document file not found: " + std::u16string(url));
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) com::throw_error(com::kPermissionDenied, u"Document file cannot be read: " + std::u16string(url));
    if (size > kMaxDocumentSize) malformed(u"it is larger than a document file can be: " + std::u16string(url));
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof())
        com::throw_error(com::kPermissionDenied, u"Document file cannot be read: " + std::u16string(url));
    try {
        return parse_document_class(text);
    } catch (const com::ComError& e) {
        com::throw_error(e.code(), e.description() + u" (" + std::u16string(url) + u")");
    }
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
