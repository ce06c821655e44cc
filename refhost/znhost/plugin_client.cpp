#include "refhost/znhost/plugin_client.h"

namespace zn::refhost {

com::ComPtr<host::IQWHostedPlugin> create_plugin(CLSID* found) {
    CLSID clsid{};
    com::check(CLSIDFromProgID(com::ole(kPluginProgId.data()), &clsid));
    com::ComPtr<host::IQWHostedPlugin> plugin;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<host::IQWHostedPlugin>(),
                                plugin.put_void()));
    if (found) *found = clsid;
    return plugin;
}

}  // namespace zn::refhost
