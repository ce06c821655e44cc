#include "platform/files/file_errors.h"

#include "platform/com/com_error.h"

namespace zn::files {
namespace {

struct ErrorText {
    HRESULT code;
    std::u16string_view text;
};

constexpr ErrorText kTexts[] = {
    {com::kOutOfMemory, u"Out of memory"},
    {com::kBadFileNameOrNumber, u"Bad file name or number"},
    {com::kFileNotFound, u"File not found"},
    {com::kBadFileMode, u"Bad file mode"},
    {com::kFileAlreadyOpen, u"File already open"},
    {com::kDeviceIoError, u"Device I/O error"},
    {kInputPastEndOfFile, u"Input past end of file"},
    {kTooManyFiles, u"Too many files"},
    {com::kPermissionDenied, u"Permission denied"},
    {kPathFileAccessError, u"Path/File access error"},
};

}  // namespace

std::u16string_view file_error_text(HRESULT hr) noexcept {
    for (const auto& entry : kTexts) {
        if (entry.code == hr) return entry.text;
    }
    return {};
}

void raise_file_error(HRESULT hr) {
    const std::u16string_view text = file_error_text(hr);
    if (text.empty()) throw com::ComError(hr);
    throw com::ComError(hr, std::u16string(text));
}

}  // namespace zn::files
