// The module's fixed identities: the host and every stored registration refer to them.
#pragma once

#include <span>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::plugin {

struct ClassIdentity {
    std::u16string_view name;  // class name, as the type library names it
    GUID clsid;
    std::u16string_view prog_id;
    GUID default_iid;
    std::u16string_view default_interface;
    bool creatable;                     // marked creatable in the type library
    unsigned long misc_status;          // OLE misc status; 0 for none
    bool document;                      // an ActiveX document object
    com::ComPtr<IUnknown> (*create)();  // a new object of the class
};

struct ModuleIdentity {
    std::u16string_view library_name;
    GUID libid;
    unsigned short version_major;
    unsigned short version_minor;
    unsigned long lcid;
    std::u16string_view threading_model;
    std::u16string_view document_file;  // beside the module; named by URL
};

const ModuleIdentity& module_identity();
std::span<const ClassIdentity> module_classes();
const ClassIdentity& plugin_class();
const ClassIdentity& page_class();
// The entry for clsid, or null.
const ClassIdentity* find_class(const GUID& clsid);

}  // namespace zn::plugin
