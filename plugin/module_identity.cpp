#include "plugin/module_identity.h"

#include "page/page_class.h"
#include "page/page_interfaces.h"
#include "plugin/import_photo_plugin.h"

namespace zn::plugin {
namespace {

constexpr ModuleIdentity kModule{
    .library_name = u"ZNImportPhotos",
    .libid = com::make_guid("{E788BDEE-6FEB-490A-9FFF-646BDC829163}"),
    .version_major = 1,
    .version_minor = 0,
    .lcid = 0,
    .threading_model = u"Apartment",
    .document_file = u"docZNImportPhotos.vbd",
};

constexpr ClassIdentity kClasses[] = {
    {
        .name = u"cImportPhotoPlugin",
        .clsid = com::make_guid("{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}"),
        .prog_id = u"ZNImportPhotos.cImportPhotoPlugin",
        .default_iid = com::iid_of<_cImportPhotoPlugin>(),
        .default_interface = u"_cImportPhotoPlugin",
        .creatable = true,
        .misc_status = 0,
        .document = false,
        .create = create_import_photo_plugin,
    },
    {
        .name = u"docZNImportPhotos",
        .clsid = com::make_guid(page::kPageClassId),
        .prog_id = u"ZNImportPhotos.docZNImportPhotos",
        .default_iid = com::iid_of<page::_docZNImportPhotos>(),
        .default_interface = u"_docZNImportPhotos",
        .creatable = false,
        .misc_status = page::kPageMiscStatus,
        .document = true,
        .create = page::create_import_page,
    },
};

}  // namespace

const ModuleIdentity& module_identity() {
    return kModule;
}
std::span<const ClassIdentity> module_classes() {
    return kClasses;
}
const ClassIdentity& plugin_class() {
    return kClasses[0];
}
const ClassIdentity& page_class() {
    return kClasses[1];
}

const ClassIdentity* find_class(const GUID& clsid) {
    for (const auto& c : kClasses)
        if (com::same_guid(c.clsid, clsid)) return &c;
    return nullptr;
}

}  // namespace zn::plugin
