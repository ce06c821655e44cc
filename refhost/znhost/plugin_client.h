// The plug-in as the host reaches it: by its ProgID, through the registry.
#pragma once

#include <string_view>

#include "host/plugin_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::refhost {

inline constexpr std::u16string_view kPluginProgId = u"ZNImportPhotos.cImportPhotoPlugin";

// A new plug-in object of the class the ProgID names (its class id in found, when given).
// Throws ComError with the runtime's code when the ProgID or the class is not registered.
com::ComPtr<host::IQWHostedPlugin> create_plugin(CLSID* found = nullptr);

}  // namespace zn::refhost
