// What the document server's parts share: the page's class, how a held interface is handed out to
// a caller, and the IUnknown of a part, which is the page's (the page object answers for every
// interface of every part).
#pragma once

#include "page/page_class.h"
#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::page::win {

inline constexpr CLSID kDocumentClassId = com::make_guid(kPageClassId);

// A new reference to what is held (none when nothing is), for an out parameter.
template <class T>
HRESULT hand_out(const com::ComPtr<T>& held, T** out) {
    if (!out) return E_POINTER;
    *out = com::ComPtr<T>(held).detach();
    return S_OK;
}

// A part of the document server: interfaces of its own, whose IUnknown is the page object's (the
// page answers for every interface of every part, and keeps them all alive).
template <class... Interfaces>
class DocumentPart : public Interfaces... {
public:
    DocumentPart(const DocumentPart&) = delete;
    DocumentPart& operator=(const DocumentPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return outer_.QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }

protected:
    explicit DocumentPart(IUnknown& outer) noexcept : outer_(outer) {}
    ~DocumentPart() = default;

    // The page stays alive while a member that calls out runs: a caller may let go of it meanwhile.
    com::ComPtr<IUnknown> kept_alive() const noexcept { return com::ComPtr<IUnknown>(&outer_); }

    IUnknown& outer_;
};

}  // namespace zn::page::win
