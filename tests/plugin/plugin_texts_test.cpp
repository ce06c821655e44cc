// The plug-in object's header texts, location and class name, which the host reads in any state.
#include <gtest/gtest.h>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/module_path.h"
#include "plugin/import_photo_plugin.h"

namespace {

using zn::com::Bstr;
using zn::com::ComPtr;
using zn::host::IQWHeaderInfo;
using zn::host::IQWHostedPlugin;

ComPtr<IQWHostedPlugin> new_plugin() {
    return zn::plugin::create_import_photo_plugin().as<IQWHostedPlugin>();
}

template <class Getter>
std::u16string read(Getter getter) {
    Bstr value;
    EXPECT_EQ(getter(value.receive()), S_OK);
    EXPECT_NE(value.get(), nullptr) << "a String property never hands back a null string";
    return value.str();
}

TEST(PluginHeaderTexts, AreTheFixedTextsAndNeverNull) {
    auto info = new_plugin().as<IQWHeaderInfo>();
    const std::u16string caption = u"Import Applicant/Student/Faculty/Individual Photos";
    EXPECT_EQ(read([&](BSTR* v) { return info->get_Caption(v); }), caption);
    EXPECT_EQ(read([&](BSTR* v) { return info->get_Name(v); }), caption);
    EXPECT_EQ(read([&](BSTR* v) { return info->get_Description(v); }),
              u"This plug-in allows you to import applicant, student, faculty and individual photos.");
    EXPECT_EQ(read([&](BSTR* v) { return info->get_Image(v); }), u"");
    EXPECT_EQ(read([&](BSTR* v) { return info->get_Group(v); }), u"");
    EXPECT_EQ(info->get_Caption(nullptr), E_POINTER);
}

TEST(PluginInterfaces, AnswerTheirIdentitiesAndRefuseOthers) {
    auto plugin = zn::plugin::create_import_photo_plugin();
    EXPECT_TRUE(plugin.try_as<zn::plugin::_cImportPhotoPlugin>());
    EXPECT_TRUE(plugin.try_as<IDispatch>());
    EXPECT_TRUE(plugin.try_as<IQWHeaderInfo>());
    EXPECT_TRUE(plugin.try_as<IQWHostedPlugin>());
    EXPECT_FALSE(plugin.try_as<zn::host::SystemInfo>());
    // Every interface of one object leads back to the same IUnknown.
    auto unknown_from_info = plugin.as<IQWHeaderInfo>().as<IUnknown>();
    auto unknown_from_plugin = plugin.as<IQWHostedPlugin>().as<IUnknown>();
    EXPECT_EQ(unknown_from_info.get(), unknown_from_plugin.get());
    auto support = plugin.as<ISupportErrorInfo>();
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(zn::com::iid_of<IQWHostedPlugin>()), S_OK);
}

TEST(PluginUrl, IsTheModuleFolderJoinedWithTheDocumentFile) {
    EXPECT_EQ(zn::plugin::document_url(u"C:\\Program Files\\School\\ZNImportPhotos.dll"),
              u"C:\\Program Files\\School\\docZNImportPhotos.vbd");
    // At a drive root the folder keeps its separator, so the join doubles it.
    EXPECT_EQ(zn::plugin::document_url(u"C:\\ZNImportPhotos.dll"), u"C:\\\\docZNImportPhotos.vbd");
    EXPECT_EQ(zn::plugin::document_url(u"/opt/school/ZNImportPhotos.so"), u"/opt/school\\docZNImportPhotos.vbd");

    auto plugin = new_plugin();
    Bstr url;
    ASSERT_EQ(plugin->get_URL(url.receive()), S_OK);
    EXPECT_EQ(url.str(), zn::plugin::document_url(zn::com::module_file_path()));
}

TEST(PluginProgId, NamesNothingWithoutAPage) {
    auto plugin = new_plugin();
    EXPECT_EQ(read([&](BSTR* v) { return plugin->get_ProgID(v); }), u"ZNImportPhotos.Nothing");
    EXPECT_EQ(plugin->OnClosedown(), S_OK);
    EXPECT_EQ(read([&](BSTR* v) { return plugin->get_ProgID(v); }), u"ZNImportPhotos.Nothing");
}

TEST(PluginQueryUnload, NeverVetoes) {
    auto plugin = new_plugin();
    for (VARIANT_BOOL cancel : {VARIANT_FALSE, VARIANT_TRUE})
        for (VARIANT_BOOL unloading : {VARIANT_FALSE, VARIANT_TRUE}) {
            VARIANT_BOOL flag = cancel;
            EXPECT_EQ(plugin->OnQueryUnload(&flag, unloading), S_OK);
            EXPECT_EQ(flag, cancel);
        }
}

TEST(PluginLoad, RefusesAnEmptyOrForeignDocumentAndStoresNothing) {
    auto plugin = new_plugin();
    EXPECT_EQ(plugin->OnLoad(nullptr), E_POINTER);
    // An object without the page's interface is a type mismatch.
    auto foreign = new_plugin().as<IDispatch>();
    EXPECT_EQ(plugin->OnLoad(foreign.get()), zn::com::kTypeMismatch);
    EXPECT_EQ(read([&](BSTR* v) { return plugin->get_ProgID(v); }), u"ZNImportPhotos.Nothing");
}

TEST(PluginInit, WithoutAnApplicationFailsAndStoresNothing) {
    auto plugin = new_plugin();
    EXPECT_EQ(plugin->OnInit(nullptr), zn::com::kObjectNotSet);
}

}  // namespace
