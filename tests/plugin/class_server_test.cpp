// The generic server layer: class objects for both classes, unload counting, registration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/registry.h"
#include "plugin/class_server.h"
#include "plugin/import_photo_plugin.h"
#include "plugin/module_identity.h"
#include "support/temp_registry.h"

namespace {

using zn::com::ComPtr;
using zn::com::format_guid;
using zn::plugin::module_classes;
namespace reg = zn::com::registry;

ComPtr<IClassFactory> factory_for(const GUID& clsid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(zn::plugin::server_get_class_object(clsid, zn::com::iid_of<IClassFactory>(), factory.put_void()), S_OK);
    return factory;
}

TEST(ClassServer, HandsOutAFactoryForEachClassAndNoOther) {
    for (const auto& c : module_classes()) {
        auto factory = factory_for(c.clsid);
        ASSERT_TRUE(factory);
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, c.default_iid, object.put_void()), S_OK);
        EXPECT_TRUE(object);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(zn::plugin::server_get_class_object(zn::host::CLSID_SystemInfo, zn::com::iid_of<IClassFactory>(), &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(zn::plugin::server_get_class_object(zn::plugin::plugin_class().clsid, zn::com::iid_of<IClassFactory>(),
                                                  nullptr),
              E_POINTER);
}

TEST(ClassServer, FactoryRefusesAggregationAndUnknownInterfaces) {
    auto factory = factory_for(zn::plugin::plugin_class().clsid);
    ComPtr<IUnknown> object;
    IUnknown* outer = factory.get();
    EXPECT_EQ(factory->CreateInstance(outer, zn::com::iid_of<IUnknown>(), object.put_void()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(object);
    EXPECT_EQ(factory->CreateInstance(nullptr, zn::com::iid_of<IClassFactory>(), object.put_void()), E_NOINTERFACE);
    EXPECT_FALSE(object);
    factory = nullptr;
    EXPECT_EQ(zn::plugin::server_can_unload_now(), S_OK) << "the object that the interface was refused for lives on";
}

TEST(ClassServer, CanUnloadOnlyWithoutObjectsOrLocks) {
    ASSERT_EQ(zn::plugin::server_can_unload_now(), S_OK);
    {
        auto factory = factory_for(zn::plugin::plugin_class().clsid);
        EXPECT_EQ(zn::plugin::server_can_unload_now(), S_FALSE);
        ComPtr<IUnknown> plugin;
        ASSERT_EQ(factory->CreateInstance(nullptr, zn::com::iid_of<IUnknown>(), plugin.put_void()), S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        factory = nullptr;
        plugin = nullptr;
        EXPECT_EQ(zn::plugin::server_can_unload_now(), S_FALSE) << "a server lock keeps the module";
        ComPtr<IClassFactory> again = factory_for(zn::plugin::plugin_class().clsid);
        ASSERT_EQ(again->LockServer(FALSE), S_OK);
    }
    EXPECT_EQ(zn::plugin::server_can_unload_now(), S_OK);
}

TEST(ClassServer, RegistersBothClassesAndUnregistersExactlyThat) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows the real DLL's regsvr32 round trip covers this (tests/wine)";
#endif
    zn::test::TempRegistry registry;
    // Something another program wrote under a key we share.
    reg::set_value(u"CLSID\\" + format_guid(zn::plugin::plugin_class().clsid) + u"\\Implemented Categories", u"",
                   u"theirs");
    const std::u16string path = u"/opt/school/ZNImportPhotos.so";
    ASSERT_EQ(zn::plugin::server_register(path), S_OK);

    for (const auto& c : module_classes()) {
        const std::u16string key = u"CLSID\\" + format_guid(c.clsid);
        EXPECT_EQ(reg::get_value(key + u"\\InprocServer32", u""), path);
        EXPECT_EQ(reg::get_value(key + u"\\InprocServer32", u"ThreadingModel"), u"Apartment");
        EXPECT_EQ(reg::get_value(key + u"\\ProgID", u""), std::u16string(c.prog_id));
        EXPECT_EQ(reg::get_value(key + u"\\TypeLib", u""), format_guid(zn::plugin::module_identity().libid));
        EXPECT_EQ(reg::get_value(std::u16string(c.prog_id) + u"\\CLSID", u""), format_guid(c.clsid));
    }
    EXPECT_EQ(reg::get_value(u"CLSID\\" + format_guid(zn::plugin::page_class().clsid) + u"\\MiscStatus", u""),
              u"131473");
    EXPECT_TRUE(reg::key_exists(u"TypeLib\\" + format_guid(zn::plugin::module_identity().libid) + u"\\1.0"));

    ASSERT_EQ(zn::plugin::server_unregister(path), S_OK);
    for (const auto& c : module_classes()) {
        EXPECT_FALSE(reg::key_exists(std::u16string(c.prog_id)));
        EXPECT_FALSE(reg::key_exists(u"CLSID\\" + format_guid(c.clsid) + u"\\InprocServer32"));
    }
    EXPECT_FALSE(reg::key_exists(u"TypeLib\\" + format_guid(zn::plugin::module_identity().libid)));
    // The key another program wrote stays, and with it its parent.
    EXPECT_EQ(
        reg::get_value(u"CLSID\\" + format_guid(zn::plugin::plugin_class().clsid) + u"\\Implemented Categories", u""),
        u"theirs");
    EXPECT_FALSE(reg::key_exists(u"CLSID\\" + format_guid(zn::plugin::page_class().clsid)));
    // Unregistering again finds nothing to remove and is no failure.
    EXPECT_EQ(zn::plugin::server_unregister(path), S_OK);
}

TEST(ClassServer, FailedRegistrationReportsTheClassErrorAndLeavesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "the system registry cannot be made unwritable from a test";
#endif
    zn::test::TempRegistry registry;
    registry.make_unwritable();
    EXPECT_EQ(zn::plugin::server_register(u"/opt/school/ZNImportPhotos.so"), SELFREG_E_CLASS);
    registry.make_writable();
    for (const auto& c : module_classes()) EXPECT_FALSE(reg::key_exists(std::u16string(c.prog_id)));
}

}  // namespace
