// The plug-in object that the host creates, describes in its list of plug-ins and drives
// through its lifecycle.
#pragma once

#include <string>
#include <string_view>

#include "host/plugin_interfaces.h"
#include "page/page_texts.h"
#include "platform/com/com_ptr.h"

namespace zn::plugin {

// The plug-in class's default interface: dual, hidden, no members of its own.
struct _cImportPhotoPlugin : IDispatch {};

// A new plug-in object, as its class factory hands it out.
com::ComPtr<IUnknown> create_import_photo_plugin();

// The document file's path for a module at module_path: the module's folder and
// "\docZNImportPhotos.vbd" joined as they are, so a drive root gives a doubled separator.
std::u16string document_url(std::u16string_view module_path);

// Header texts.
inline constexpr std::u16string_view kCaption = page::kPageCaption;
inline constexpr std::u16string_view kDescription =
    u"This plug-in allows you to import applicant, student, faculty and individual photos.";

}  // namespace zn::plugin

ZN_DECLARE_IID(zn::plugin::_cImportPhotoPlugin, "{9C0F01A3-2183-4421-A663-11388514B011}");
