#include "page/import_page.h"

namespace zn::page {

com::ComPtr<IUnknown> create_import_page() {
    return create_import_page([](PageState&, PageControls&, std::u16string_view, std::u16string_view) -> bool {
        com::throw_error(E_NOTIMPL, u"The photo import run is not part of this build yet.");
    });
}

}  // namespace zn::page
