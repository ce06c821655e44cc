#include "platform/com/com_error.h"

#include <cstdint>
#include <new>
#include <stdexcept>

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/text/utf.h"

namespace zn::com {
namespace {

constexpr std::u16string_view kErrorSource = u"ZNImportPhotos";

struct KnownError {
    HRESULT hr;
    std::u16string_view text;
};

// The texts the classic runtime and the system show for the codes the component meets.
constexpr KnownError kKnownErrors[] = {
    {kTypeMismatch, u"Type mismatch"},
    {kOverflow, u"Overflow"},
    {kOutOfMemory, u"Out of memory"},
    {kBadFileNameOrNumber, u"Bad file name or number"},
    {kFileNotFound, u"File not found"},
    {kBadFileMode, u"Bad file mode"},
    {kFileAlreadyOpen, u"File already open"},
    {kDeviceIoError, u"Device I/O error"},
    {kPermissionDenied, u"Permission denied"},
    {kObjectNotSet, u"Object variable or With block variable not set"},
    {kCancelled, u"Cancel was selected."},
    {E_NOTIMPL, u"Not implemented"},
    {E_NOINTERFACE, u"No such interface supported"},
    {E_POINTER, u"Invalid pointer"},
    {E_ABORT, u"Operation aborted"},
    {E_FAIL, u"Unspecified error"},
    {E_UNEXPECTED, u"Catastrophic failure"},
    {E_ACCESSDENIED, u"Access is denied."},
    {E_HANDLE, u"The handle is invalid."},
    {E_OUTOFMEMORY, u"Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, u"The parameter is incorrect."},
    {CLASS_E_NOAGGREGATION, u"Class does not support aggregation (or class object is remote)"},
    {CLASS_E_CLASSNOTAVAILABLE, u"ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, u"Class not registered"},
    {REGDB_E_READREGDB, u"Could not read key from registry"},
    {REGDB_E_WRITEREGDB, u"Could not write key to registry"},
    {CO_E_CLASSSTRING, u"Invalid class string"},
    {CO_E_DLLNOTFOUND, u"DLL for class not found"},
    {CO_E_ERRORINDLL, u"Error in the DLL"},
    {CO_E_NOTINITIALIZED, u"CoInitialize has not been called."},
    {DISP_E_MEMBERNOTFOUND, u"Member not found."},
    {DISP_E_UNKNOWNNAME, u"Unknown name."},
    {DISP_E_TYPEMISMATCH, u"Type mismatch."},
    {DISP_E_BADPARAMCOUNT, u"Invalid number of parameters."},
    {DISP_E_PARAMNOTFOUND, u"Parameter not found."},
    {DISP_E_OVERFLOW, u"Out of present range."},
};

std::u16string hex_code(HRESULT hr) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const auto value = static_cast<std::uint32_t>(hr);
    std::u16string out = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
    return out;
}

std::u16string description_of(HRESULT hr, std::u16string description) {
    return description.empty() ? standard_description(hr) : std::move(description);
}

// The description the last failing object left in the thread's error info, if any.
std::u16string take_error_description() {
    IErrorInfo* raw = nullptr;
    if (GetErrorInfo(0, &raw) != S_OK || !raw) return {};
    const auto info = ComPtr<IErrorInfo>::attach(raw);
    Bstr description;
    if (FAILED(info->GetDescription(description.receive()))) return {};
    return description.str();
}

}  // namespace

ComError::ComError(HRESULT hr) : ComError(hr, std::u16string()) {}

ComError::ComError(HRESULT hr, std::u16string description)
    : hr_(hr), description_(description_of(hr, std::move(description))), what_(text::to_utf8(description_)) {}

std::u16string standard_description(HRESULT hr) {
    for (const auto& known : kKnownErrors)
        if (known.hr == hr) return std::u16string(known.text);
    // Any other classic runtime error carries no text of its own.
    if ((static_cast<std::uint32_t>(hr) & 0xFFFF0000u) == 0x800A0000u)
        return u"Application-defined or object-defined error";
    return u"Automation error " + hex_code(hr);
}

void throw_error(HRESULT hr, std::u16string_view description) {
    throw ComError(hr, std::u16string(description));
}

void check(HRESULT hr) {
    if (SUCCEEDED(hr)) return;
    throw ComError(hr, take_error_description());
}

void set_error_info(HRESULT hr, std::u16string_view description) {
    if (SUCCEEDED(hr)) {
        SetErrorInfo(0, nullptr);
        return;
    }
    try {
        ICreateErrorInfo* raw = nullptr;
        if (FAILED(CreateErrorInfo(&raw)) || !raw) {
            SetErrorInfo(0, nullptr);
            return;
        }
        const auto create = ComPtr<ICreateErrorInfo>::attach(raw);
        std::u16string source(kErrorSource);
        std::u16string text(description.empty() ? standard_description(hr) : std::u16string(description));
        create->SetGUID(GUID_NULL);
        create->SetSource(ole(source.data()));
        create->SetDescription(ole(text.data()));
        const auto info = create.try_as<IErrorInfo>();
        SetErrorInfo(0, info.get());
    } catch (...) {
        // Out of memory while describing the error: the caller still gets the code,
        // and no stale description from an earlier failure.
        SetErrorInfo(0, nullptr);
    }
}

ErrorReport describe(const std::exception& error) noexcept {
    try {
        if (const auto* e = dynamic_cast<const ComError*>(&error)) {
            // A success code in an error would report the failure as success.
            const HRESULT hr = FAILED(e->code()) ? e->code() : E_FAIL;
            if (hr == E_OUTOFMEMORY || hr == kOutOfMemory) return {hr, standard_description(kOutOfMemory)};
            return {hr, e->description()};  // never empty: a ComError has its code's text at least
        }
        if (dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error))
            return {E_OUTOFMEMORY, standard_description(kOutOfMemory)};
        return {E_FAIL, text::from_utf8(error.what())};
    } catch (...) {
        return {E_OUTOFMEMORY, {}};  // no memory left even for the text
    }
}

ErrorReport describe_current_exception() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        return describe(e);
    } catch (...) {
        try {
            return {E_UNEXPECTED, standard_description(E_UNEXPECTED)};
        } catch (...) {
            return {E_UNEXPECTED, {}};
        }
    }
}

HRESULT current_exception_to_hresult() noexcept {
    const ErrorReport report = describe_current_exception();
    set_error_info(report.code, report.description);
    return report.code;
}

}  // namespace zn::com
