// The document's persistence: the page has nothing to save; a file or moniker is taken only when
// it names this page's document.
#pragma once

#include <string>

#include "page/win/document_part.h"
#include "platform/com/win/ole_interfaces.h"

namespace zn::page::win {

class DocumentPersistence final : public DocumentPart<IPersistStorage, IPersistFile, IPersistMoniker> {
public:
    explicit DocumentPersistence(IUnknown& outer) noexcept : DocumentPart(outer) {}

    // The file or moniker the document was loaded from, for the object's GetMoniker.
    const std::wstring& file_name() const noexcept { return file_name_; }
    const com::ComPtr<IMoniker>& moniker() const noexcept { return moniker_; }
    // Closed: the moniker is let go of.
    void forget_moniker() noexcept { moniker_ = nullptr; }

    // IPersist and IsDirty, of the three persistence interfaces.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;

    // IPersistStorage
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override;
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

    // IPersistFile
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR file_name, DWORD) override;
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR file_name, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override;
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* file_name) override;

    // IPersistMoniker
    HRESULT STDMETHODCALLTYPE Load(BOOL, IMoniker* moniker, LPBC, DWORD) override;
    HRESULT STDMETHODCALLTYPE Save(IMoniker*, LPBC, BOOL) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IMoniker*, LPBC) override;
    HRESULT STDMETHODCALLTYPE GetCurMoniker(IMoniker** moniker) override;

private:
    com::ComPtr<IMoniker> moniker_;
    std::wstring file_name_;
};

}  // namespace zn::page::win
