#include "refhost/container/win/embedded_document.h"

#include <exception>

#include "platform/com/com_error.h"

namespace zn::refhost::win {

EmbeddedDocument::EmbeddedDocument(HWND window, const std::u16string& path, EmbeddingOptions options)
    : site_(com::make_object<ContainerSite>(window, options.document_site, std::move(options.journal))) {
    IOleClientSite* const client_site = site_.get();
    try {
        bound_ = bind_document(path, options.binding, client_site);
        site_->serve(bound_.object);
        // OleCreateFromFile gave the object its site already; a bound object has none yet.
        if (options.binding == Binding::FileMoniker) {
            site_->note_own_call("SetClientSite");
            com::check(bound_.object->SetClientSite(client_site));
        }
        RECT client{};
        GetClientRect(window, &client);
        site_->note_own_call("DoVerb(OLEIVERB_SHOW)");
        com::check(bound_.object->DoVerb(OLEIVERB_SHOW, nullptr, client_site, 0, window, &client));
    } catch (...) {
        close_quietly();
        throw;
    }
}

EmbeddedDocument::~EmbeddedDocument() {
    close_quietly();
}

void EmbeddedDocument::resize() {
    if (open()) site_->resize();
}

void EmbeddedDocument::focus() noexcept {
    HWND active = nullptr;
    if (open() && site_->active_object() && SUCCEEDED(site_->active_object()->GetWindow(&active)) && active)
        SetFocus(active);
}

bool EmbeddedDocument::translate(MSG& message) {
    return open() && site_->translate(message);
}

void EmbeddedDocument::close() {
    if (!open()) return;
    std::exception_ptr first;
    try {
        site_->deactivate();
    } catch (...) {
        first = std::current_exception();
    }
    site_->note_own_call("Close(OLECLOSE_NOSAVE)");
    const HRESULT closed = bound_.object->Close(OLECLOSE_NOSAVE);
    site_->note_own_call("SetClientSite(NULL)");
    const HRESULT unsited = bound_.object->SetClientSite(nullptr);
    site_->release_object();
    bound_ = BoundDocument{};
    if (first) std::rethrow_exception(first);
    if (FAILED(closed)) com::throw_error(closed, u"The document failed Close: " + com::standard_description(closed));
    if (FAILED(unsited))
        com::throw_error(unsited, u"The document failed SetClientSite(NULL): " + com::standard_description(unsited));
}

void EmbeddedDocument::close_quietly() noexcept {
    try {
        close();
    } catch (...) {
        // The document is gone either way; a caller that cares calls close() itself.
    }
}

bool EmbeddedDocument::site_released() const noexcept {
    return !open() && site_->ref_count() == 1;
}

}  // namespace zn::refhost::win
