#include "page/win/document_persistence.h"

#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <string>

namespace zn::page::win {
namespace {

// A copy of text in task memory, which the caller frees.
HRESULT task_memory_copy(const wchar_t* text, LPOLESTR* out) {
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*out) return E_OUTOFMEMORY;
    std::memcpy(*out, text, bytes);
    return S_OK;
}

// The longest path the system's file functions take, with the "\\?\\" prefix.
constexpr DWORD kLongestPath = 32768;

// Only a document file of this page may be loaded: another file would show the page under its name.
HRESULT check_document_file(const wchar_t* path) {
    CLSID clsid{};
    const HRESULT hr = GetClassFile(path, &clsid);
    if (FAILED(hr)) return hr;
    return IsEqualCLSID(clsid, kDocumentClassId) ? S_OK : E_FAIL;
}

}  // namespace

HRESULT STDMETHODCALLTYPE DocumentPersistence::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kDocumentClassId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::InitNew(IStorage* storage) {
    return storage ? S_OK : E_POINTER;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Load(IStorage* storage) {
    return storage ? S_OK : E_POINTER;  // the page's design is built in; the file only names it
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    return WriteClassStg(storage, kDocumentClassId);
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::SaveCompleted(IStorage*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::HandsOffStorage() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Load(LPCOLESTR file_name, DWORD) {
    if (!file_name) return E_POINTER;
    const HRESULT hr = check_document_file(file_name);
    if (SUCCEEDED(hr)) file_name_ = file_name;
    return hr;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Save(LPCOLESTR file_name, BOOL) {
    // Nothing changes in the document, so saving it where it is has nothing to do.
    if (!file_name || file_name_ == file_name) return S_OK;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::SaveCompleted(LPCOLESTR) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::GetCurFile(LPOLESTR* file_name) {
    if (!file_name) return E_POINTER;
    *file_name = nullptr;
    if (file_name_.empty()) {
        const HRESULT hr = task_memory_copy(L"*.vbd", file_name);
        return FAILED(hr) ? hr : S_FALSE;
    }
    return task_memory_copy(file_name_.c_str(), file_name);
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Load(BOOL, IMoniker* moniker, LPBC context, DWORD) {
    if (!moniker) return E_INVALIDARG;
    LPOLESTR display_name = nullptr;
    HRESULT hr = moniker->GetDisplayName(context, nullptr, &display_name);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> name(display_name, CoTaskMemFree);
    if (FAILED(hr)) return hr;
    if (!name) return E_FAIL;
    // A browser names the file by a file: URL; one on another server cannot be looked into.
    if (UrlIsFileUrlW(name.get())) {
        std::wstring path(kLongestPath, L'\0');
        DWORD length = kLongestPath;
        hr = PathCreateFromUrlW(name.get(), path.data(), &length, 0);
        if (SUCCEEDED(hr)) hr = check_document_file(path.c_str());
    } else if (!PathIsURLW(name.get())) {
        hr = check_document_file(name.get());
    }
    if (FAILED(hr)) return hr;
    moniker_ = com::ComPtr<IMoniker>(moniker);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::Save(IMoniker*, LPBC, BOOL) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::SaveCompleted(IMoniker*, LPBC) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DocumentPersistence::GetCurMoniker(IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    return moniker_ ? hand_out(moniker_, moniker) : E_UNEXPECTED;
}

}  // namespace zn::page::win
