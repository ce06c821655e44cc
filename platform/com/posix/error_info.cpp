// Per-thread error information and the system's error object.
#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "platform/com/posix/com_abi.h"

namespace {

// The object CreateErrorInfo makes: written through ICreateErrorInfo, read through IErrorInfo.
// It belongs to the runtime, not to any module, so it does not count towards DllCanUnloadNow.
class ErrorObject final : public IErrorInfo, public ICreateErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *ppv = static_cast<IErrorInfo*>(this);
        } else if (riid == IID_ICreateErrorInfo) {
            *ppv = static_cast<ICreateErrorInfo*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }

    HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override {
        if (!pGUID) return E_INVALIDARG;
        *pGUID = guid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* out) override { return copy_out(source_, out); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* out) override { return copy_out(description_, out); }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* out) override { return copy_out(help_file_, out); }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* out) override {
        if (!out) return E_INVALIDARG;
        *out = help_context_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) override {
        guid_ = rguid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR text) override { return copy_in(text, source_); }
    HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR text) override { return copy_in(text, description_); }
    HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR text) override { return copy_in(text, help_file_); }
    HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD context) override {
        help_context_ = context;
        return S_OK;
    }

private:
    static HRESULT copy_out(const std::u16string& text, BSTR* out) {
        if (!out) return E_INVALIDARG;
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT copy_in(const OLECHAR* text, std::u16string& field) noexcept {
        try {
            field = text ? std::u16string(text) : std::u16string();
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    std::atomic<ULONG> refs_{1};
    GUID guid_{};
    std::u16string source_;
    std::u16string description_;
    std::u16string help_file_;
    DWORD help_context_ = 0;
};

// The thread's current error object; released when the thread ends.
struct ErrorSlot {
    IErrorInfo* info = nullptr;
    ErrorSlot() = default;
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;
    ~ErrorSlot() {
        if (info) info->Release();
    }
};

thread_local ErrorSlot t_error;

}  // namespace

HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo) {
    if (dwReserved != 0) return E_INVALIDARG;
    if (perrinfo) perrinfo->AddRef();
    IErrorInfo* old = std::exchange(t_error.info, perrinfo);
    if (old) old->Release();
    return S_OK;
}

HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo) {
    if (!pperrinfo) return E_INVALIDARG;
    *pperrinfo = nullptr;
    if (dwReserved != 0) return E_INVALIDARG;
    // Reading the error info hands it over: the thread has none afterwards.
    *pperrinfo = std::exchange(t_error.info, nullptr);
    return *pperrinfo ? S_OK : S_FALSE;
}

HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
    if (!pperrinfo) return E_INVALIDARG;
    auto* object = new (std::nothrow) ErrorObject;
    *pperrinfo = object ? static_cast<ICreateErrorInfo*>(object) : nullptr;
    return object ? S_OK : E_OUTOFMEMORY;
}
