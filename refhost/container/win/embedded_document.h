// One Active Document shown in a host window: bound from its file, activated in the window's
// client area, sized with it, given the keys first, and taken down in the documented order.
//
//   win::EmbeddedDocument document(window, url, {.binding = win::Binding::FileMoniker});
//   host->OnLoad(document.as<IDispatch>().get());
//   ... message loop: if (document.translate(msg)) continue; ...
//   document.close();
#pragma once

#include <memory>
#include <string>

#include "platform/com/com_ptr.h"
#include "refhost/container/win/container_site.h"
#include "refhost/container/win/document_binding.h"

namespace zn::refhost::win {

struct EmbeddingOptions {
    Binding binding = Binding::FileMoniker;
    // False: the site has no IOleDocumentSite, so the object activates plainly in place.
    bool document_site = true;
    // Receives the site calls the server makes; none kept when null.
    std::shared_ptr<SiteJournal> journal;
};

class EmbeddedDocument {
public:
    // Binds the file at path, gives the object its client site and DoVerb(OLEIVERB_SHOW) with
    // the window's client area. Throws ComError when binding or activation fails (what was
    // done is undone first).
    EmbeddedDocument(HWND window, const std::u16string& path, EmbeddingOptions options = {});
    // Closes the document if close() was not called; errors are lost then.
    ~EmbeddedDocument();
    EmbeddedDocument(const EmbeddedDocument&) = delete;
    EmbeddedDocument& operator=(const EmbeddedDocument&) = delete;

    // Another interface of the document object (its IDispatch for the plug-in's OnLoad).
    template <class I>
    com::ComPtr<I> as() const {
        return bound_.object.as<I>();
    }
    bool open() const noexcept { return static_cast<bool>(bound_.object); }
    const ContainerSite& site() const noexcept { return *site_.get(); }

    // Follows the window's client area (on WM_SIZE).
    void resize();
    // Gives the keyboard focus to the active object's window, if there is one.
    void focus() noexcept;
    // A key message goes to the active object's TranslateAccelerator first; true when it used it.
    bool translate(MSG& message);
    // Deactivates the view (UIActivate(FALSE), Show(FALSE), CloseView(0), SetInPlaceSite(NULL)),
    // then Close(OLECLOSE_NOSAVE), SetClientSite(NULL), and lets go of the object. Every step
    // runs; the first failure is thrown as ComError after the last.
    void close();
    // After close: the server holds no reference to the site any more.
    bool site_released() const noexcept;

private:
    void close_quietly() noexcept;

    com::ComPtr<ContainerSite> site_;
    BoundDocument bound_;
};

}  // namespace zn::refhost::win
