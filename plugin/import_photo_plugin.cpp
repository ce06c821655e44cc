#include "plugin/import_photo_plugin.h"

#include "page/page_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch_object.h"
#include "platform/com/module_path.h"
#include "plugin/module_identity.h"

namespace zn::plugin {
namespace {

using com::Bstr;
using com::ComPtr;

// Hands a text back through a String property's out pointer.
HRESULT return_text(BSTR* out, std::u16string_view text) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return com::com_boundary([&] { *out = com::alloc_bstr(text); });
}

class ImportPhotoPlugin final : public com::DualObject<ImportPhotoPlugin, _cImportPhotoPlugin, host::IQWHeaderInfo,
                                                           host::IQWHostedPlugin, ISupportErrorInfo> {
public:
    // IQWHeaderInfo: the same texts in every state.
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override { return return_text(value, kCaption); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) override { return return_text(value, kCaption); }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* value) override { return return_text(value, kDescription); }
    HRESULT STDMETHODCALLTYPE get_Image(BSTR* value) override { return return_text(value, u""); }
    HRESULT STDMETHODCALLTYPE get_Group(BSTR* value) override { return return_text(value, u""); }

    // IQWHostedPlugin
    HRESULT STDMETHODCALLTYPE OnInit(host::HostApplication* oApp) override {
        return com::com_boundary([&] {
            if (!oApp) com::throw_error(com::kObjectNotSet);
            ComPtr<host::ServiceProvider> services;
            com::check(oApp->get_Services(services.put()));
            if (!services) com::throw_error(com::kObjectNotSet);
            ComPtr<IDispatch> session;
            com::check(services->get_Session(session.put()));
            // Stored only once every step has succeeded: a failure keeps the context held before.
            session_ = session.as<host::SessionContext>();
        });
    }

    HRESULT STDMETHODCALLTYPE OnLoad(IDispatch* oDoc) override {
        return com::com_boundary([&] {
            if (!oDoc) com::throw_error(E_POINTER, u"OnLoad needs the page object that the host created.");
            // A page replaced here is not given ReleasePage; a failure inside InitializePage
            // leaves the new page held.
            page_ = ComPtr<IDispatch>(oDoc).as<page::_docZNImportPhotos>();
            page_.as<page::ImportPageInternal>()->InitializePage(session_);
        });
    }

    HRESULT STDMETHODCALLTYPE OnQueryUnload(VARIANT_BOOL*, VARIANT_BOOL) override {
        // Never vetoes: the host's flag is left as the host passed it.
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE OnClosedown() override {
        if (page_) {
            if (auto internal = page_.try_as<page::ImportPageInternal>()) internal->ReleasePage();
            page_ = nullptr;
        }
        session_ = nullptr;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_URL(BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        return com::com_boundary([&] { *value = com::alloc_bstr(document_url(com::module_file_path())); });
    }

    HRESULT STDMETHODCALLTYPE get_ProgID(BSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        return com::com_boundary([&] {
            const std::u16string class_name =
                page_ ? page_.as<page::ImportPageInternal>()->ClassName() : std::u16string(u"Nothing");
            *value = com::alloc_bstr(std::u16string(module_identity().library_name) + u"." + class_name);
        });
    }

    // ISupportErrorInfo: every interface of the object sets error info on failure.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        const bool ours = com::same_guid(riid, com::iid_of<_cImportPhotoPlugin>()) ||
                          com::same_guid(riid, com::iid_of<host::IQWHeaderInfo>()) ||
                          com::same_guid(riid, com::iid_of<host::IQWHostedPlugin>());
        return ours ? S_OK : S_FALSE;
    }

private:
    ComPtr<host::SessionContext> session_;
    ComPtr<page::_docZNImportPhotos> page_;
};

}  // namespace

com::ComPtr<IUnknown> create_import_photo_plugin() {
    auto object = com::make_object<ImportPhotoPlugin>();
    return com::ComPtr<IUnknown>(object->unknown());
}

std::u16string document_url(std::u16string_view module_path) {
    return com::folder_of(module_path) + u"\\" + std::u16string(module_identity().document_file);
}

}  // namespace zn::plugin
