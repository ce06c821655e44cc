// Errors inside the component are exceptions carrying an HRESULT and a description;
// at every COM boundary com_boundary() turns them back into a code plus error info.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "platform/com/com.h"

namespace zn::com {

class ComError : public std::exception {
public:
    // Without a description of its own, the code's standard text is used.
    explicit ComError(HRESULT hr);
    ComError(HRESULT hr, std::u16string description);

    HRESULT code() const noexcept { return hr_; }
    const std::u16string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    HRESULT hr_;
    std::u16string description_;
    std::string what_;
};

// The description that the system gives a code of its own (classic runtime errors,
// common COM codes); a generic text for any other.
std::u16string standard_description(HRESULT hr);

[[noreturn]] void throw_error(HRESULT hr, std::u16string_view description = {});

// After a call into another object: a failure becomes a ComError that carries the
// callee's own description from its error info.
void check(HRESULT hr);

// The error info of the calling thread, as the component's source, for a failure that
// leaves it. Clears the error info for success.
void set_error_info(HRESULT hr, std::u16string_view description);

// Runs the body of a COM method: S_OK, or the error's code with its error info set.
template <class F>
HRESULT com_boundary(F&& body) noexcept;

HRESULT current_exception_to_hresult() noexcept;

// A failure as the user or the caller is told of it: a failing code and its text. Memory that
// runs out reads "Out of memory", whichever library ran out of it; another exception of the
// standard library gives its own text.
struct ErrorReport {
    HRESULT code = E_FAIL;
    std::u16string description;
};
ErrorReport describe(const std::exception& error) noexcept;
// The same for the exception being handled, of whatever type; only inside a catch block.
ErrorReport describe_current_exception() noexcept;

template <class F>
HRESULT com_boundary(F&& body) noexcept {
    try {
        body();
        SetErrorInfo(0, nullptr);
        return S_OK;
    } catch (...) {
        return current_exception_to_hresult();
    }
}

}  // namespace zn::com
