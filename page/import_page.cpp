#include "page/import_page.h"

#include <memory>
#include <utility>

#include "host/host_objects.h"
#include "import/line_parser.h"
#include "import/photo_reader.h"
#include "page/import_file_field.h"
#include "page/page_layout.h"
#include "page/page_setup.h"
#include "page/run_port.h"
#include "platform/com/bstr.h"
#include "platform/com/dispatch_object.h"
#include "platform/ui/backend.h"

#ifdef _WIN32
#include "page/win/active_document.h"
#else
#include "page/posix/page_dispatch.h"
#endif

namespace zn::page {
namespace {

using com::Bstr;
using com::ComPtr;
// Spelled so because a statement that starts with "import::" reads as a module import to tools.
namespace importing = zn::import;

class ImportPage final : public com::DualObject<ImportPage, _docZNImportPhotos, ImportPageInternal, ISupportErrorInfo> {
public:
    explicit ImportPage(ImportRun run)
        : control_set_(ui::thread_backend().create_controls(import_page_layout())),
          controls_(PageControls::bind(*control_set_)),
          run_(std::move(run))
#ifdef _WIN32
          ,
          document_(*unknown(), ui::win::page_window(*control_set_), import_page_layout())
#endif
    {
        connect_handlers();
    }

    // _docZNImportPhotos
    HRESULT STDMETHODCALLTYPE ParseOutIDAndFileName(BSTR sdata, BSTR* sStudentID, BSTR* sStudentName,
                                                    BSTR* sStudentPhotoFile) override {
        return com::com_boundary([&] {
            if (!sStudentID || !sStudentName || !sStudentPhotoFile) com::throw_error(E_POINTER);
            std::u16string id;
            std::u16string name;
            std::u16string photo;
            importing::ParseOutIDAndFileName(
                com::bstr_view(sdata),
                [this](std::u16string_view text) { return host::remove_quotes(state_.files(), text); }, id, name,
                photo);
            replace_out(sStudentID, id);
            replace_out(sStudentName, name);
            replace_out(sStudentPhotoFile, photo);
        });
    }

    HRESULT STDMETHODCALLTYPE getPicture(BSTR* sFileName, BSTR* result) override {
        if (!result) return E_POINTER;
        *result = nullptr;
        return com::com_boundary([&] {
            if (!sFileName) com::throw_error(E_POINTER);
            RunPort port(state_, controls_);
            importing::PhotoReadResult photo = importing::read_photo(
                com::bstr_view(*sFileName),
                [this](std::u16string_view path) { return host::file_exists(state_.files(), path); }, port);
            *result = photo.value.release();
        });
    }

#ifdef _WIN32
    // The document server's interfaces, which containers ask the page for.
    void* query_extra(REFIID riid) noexcept {
        return document_.find_interface(riid);
    }
#else
    // IDispatch: the two members, late bound, from the table that stands in for the type library.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return page_ids_of_names(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* bad_argument) override {
        return invoke_page_member(*this, member, flags, params, result, exception, bad_argument);
    }
#endif

    // ImportPageInternal
    void InitializePage(ComPtr<host::SessionContext>& session) override {
        initialize_page(state_, controls_, session);
    }
    void ReleasePage() noexcept override {
        release_page(state_);
    }
    std::u16string ClassName() const override {
        return std::u16string(import_page_layout().name);
    }
    std::u16string RecordType() const override {
        return state_.record_type;
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return com::same_guid(riid, com::iid_of<_docZNImportPhotos>()) ? S_OK : S_FALSE;
    }

private:
    // An in/out String gets its new value; the old one is freed.
    static void replace_out(BSTR* out, std::u16string_view value) {
        Bstr fresh(value);
        Bstr old = Bstr::attach(std::exchange(*out, fresh.release()));
    }

    void connect_handlers() {
        PageControls& c = controls_;
        c.record_type_list.click.connect([this] { record_type_chosen(state_, controls_); });
        // The run's yield and the file dialog let the host act, and it may let go of the page
        // meanwhile: the page stays alive until the handler has returned.
        c.process_button.click.connect([this](std::int16_t index) {
            const auto alive = kept_alive();
            process_click(state_, controls_, index, run_);
        });
        c.import_file_field.button_click.connect([this](std::int16_t button) {
            const auto alive = kept_alive();
            import_file_button_click(state_, controls_, button);
        });
        c.import_file_field.got_focus.connect([this] { import_file_got_focus(controls_); });
        c.import_file_field.change.connect([this] { import_file_change(controls_); });
        c.import_file_field.key_down.connect([this](std::int16_t& key, std::int16_t shift) {
            const auto alive = kept_alive();
            import_file_key_down(state_, controls_, key, shift);
        });
    }

    ComPtr<ImportPage> kept_alive() {
        AddRef();
        return ComPtr<ImportPage>::attach(this);
    }

    // Declared in this order so that the host references go first and the controls last.
    std::unique_ptr<ui::ControlSet> control_set_;
    PageControls controls_;
    ImportRun run_;
    PageState state_;
#ifdef _WIN32
    win::ActiveDocument document_;
#endif
};

}  // namespace

ComPtr<IUnknown> create_import_page(ImportRun run) {
    auto page = com::make_object<ImportPage>(std::move(run));
    return ComPtr<IUnknown>(page->unknown());
}

}  // namespace zn::page
