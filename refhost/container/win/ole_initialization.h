// OLE on the calling thread for the scope's life: in-place activation, OleCreateFromFile and
// the clipboard need OleInitialize on top of the apartment.
#pragma once

#include "platform/com/win/ole_interfaces.h"

namespace zn::refhost::win {

class OleInitialization {
public:
    OleInitialization() noexcept : result_(OleInitialize(nullptr)) {}
    OleInitialization(const OleInitialization&) = delete;
    OleInitialization& operator=(const OleInitialization&) = delete;
    ~OleInitialization() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

}  // namespace zn::refhost::win
