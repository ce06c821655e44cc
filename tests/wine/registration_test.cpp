// regsvr32 on the built module: what registration writes, read back key by key, and that
// unregistration removes exactly that while keys of others stay.
#include <gtest/gtest.h>

#include <cwctype>

#include "host/plugin_interfaces.h"
#include "plugin/module_identity.h"
#include "wine/type_info_support.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

const wchar_t* const kAutomationProxy = L"{00020424-0000-0000-C000-000000000046}";

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring clsid_key(const plugin::ClassIdentity& c) {
    return L"CLSID\\" + guid_text(c.clsid);
}
std::wstring typelib_key() {
    const auto& m = plugin::module_identity();
    return L"TypeLib\\" + guid_text(m.libid) + L"\\" + std::to_wstring(m.version_major) + L"." +
           std::to_wstring(m.version_minor);
}
std::wstring interface_key(const GUID& iid) {
    return L"Interface\\" + guid_text(iid);
}

class Registration : public ::testing::Test {
protected:
    std::wstring module = module_path();

    void SetUp() override {
        // A run that stopped half-way may have left a registration behind.
        regsvr32(module, true);
        ASSERT_FALSE(key_exists(clsid_key(plugin::plugin_class())));
    }
    void TearDown() override { regsvr32(module, true); }

    void expect_registered() {
        const auto& m = plugin::module_identity();
        const std::wstring libid = guid_text(m.libid);
        for (const plugin::ClassIdentity& c : plugin::module_classes()) {
            SCOPED_TRACE(narrow(wide(c.name)));
            const std::wstring key = clsid_key(c);
            EXPECT_TRUE(key_exists(key));
            const auto server = string_value(key + L"\\InprocServer32");
            ASSERT_TRUE(server.has_value());
            EXPECT_EQ(lower(*server), lower(module));
            EXPECT_EQ(string_value(key + L"\\InprocServer32", L"ThreadingModel"), wide(m.threading_model));
            EXPECT_EQ(string_value(key + L"\\ProgID"), wide(c.prog_id));
            EXPECT_EQ(string_value(key + L"\\TypeLib"), libid);
            EXPECT_EQ(string_value(wide(c.prog_id) + L"\\CLSID"), guid_text(c.clsid));
            if (c.misc_status) {
                EXPECT_EQ(string_value(key + L"\\MiscStatus"), std::to_wstring(c.misc_status));
            }
            // What a document container looks for before it binds a file to the class.
            EXPECT_EQ(key_exists(key + L"\\DocObject"), c.document) << wide(c.name);
            const auto library_interface = string_value(interface_key(c.default_iid) + L"\\TypeLib");
            EXPECT_EQ(library_interface, libid);
            EXPECT_EQ(string_value(interface_key(c.default_iid) + L"\\ProxyStubClsid32"), kAutomationProxy);
        }
        const auto library_file = string_value(typelib_key() + L"\\" + std::to_wstring(m.lcid) +
                                               (sizeof(void*) == 8 ? L"\\win64" : L"\\win32"));
        ASSERT_TRUE(library_file.has_value());
        EXPECT_EQ(lower(*library_file), lower(module));
        EXPECT_TRUE(key_exists(typelib_key() + L"\\FLAGS"));
    }

    void expect_unregistered() {
        for (const plugin::ClassIdentity& c : plugin::module_classes()) {
            SCOPED_TRACE(narrow(wide(c.name)));
            EXPECT_FALSE(key_exists(clsid_key(c)));
            EXPECT_FALSE(key_exists(wide(c.prog_id)));
            EXPECT_FALSE(key_exists(interface_key(c.default_iid)));
        }
        EXPECT_FALSE(key_exists(L"TypeLib\\" + guid_text(plugin::module_identity().libid)));
    }
};

TEST_F(Registration, RegisterWritesEveryKeyAndUnregisterRemovesThemAll) {
    ASSERT_EQ(regsvr32(module, false), 0u);
    expect_registered();
    ASSERT_EQ(regsvr32(module, true), 0u);
    expect_unregistered();
}

TEST_F(Registration, RegisteringTwiceIsHarmlessAndOneUnregisterClearsIt) {
    ASSERT_EQ(regsvr32(module, false), 0u);
    ASSERT_EQ(regsvr32(module, false), 0u);
    expect_registered();
    ASSERT_EQ(regsvr32(module, true), 0u);
    expect_unregistered();
}

TEST_F(Registration, UnregisteringWhatIsNotRegisteredSucceeds) {
    EXPECT_EQ(regsvr32(module, true), 0u);
    expect_unregistered();
}

TEST_F(Registration, UnregisterLeavesWhatOthersWroteUnderTheClassKeys) {
    ASSERT_EQ(regsvr32(module, false), 0u);
    const std::wstring foreign = clsid_key(plugin::plugin_class()) + L"\\Implemented Categories";
    write_key(foreign, L"written by another program");
    ASSERT_EQ(regsvr32(module, true), 0u);
    EXPECT_EQ(string_value(foreign), L"written by another program");
    EXPECT_FALSE(key_exists(clsid_key(plugin::plugin_class()) + L"\\InprocServer32"));
    EXPECT_FALSE(key_exists(clsid_key(plugin::plugin_class()) + L"\\ProgID"));
    delete_tree(clsid_key(plugin::plugin_class()));
}

TEST_F(Registration, TheHostsInterfaceKeysSurviveTheComponentsRegistrationRoundTrip) {
    // The host registered its API library first; the component's library only refers to it.
    register_host_type_library();
    const std::wstring host_libid = guid_text(host::LIBID_HostApi);
    const std::wstring header_info = interface_key(com::iid_of<host::IQWHeaderInfo>()) + L"\\TypeLib";
    const std::wstring hosted_plugin = interface_key(com::iid_of<host::IQWHostedPlugin>()) + L"\\TypeLib";
    ASSERT_EQ(string_value(header_info), host_libid);

    ASSERT_EQ(regsvr32(module, false), 0u);
    EXPECT_EQ(string_value(header_info), host_libid);
    EXPECT_EQ(string_value(hosted_plugin), host_libid);
    ASSERT_EQ(regsvr32(module, true), 0u);
    EXPECT_EQ(string_value(header_info), host_libid);
    EXPECT_EQ(string_value(hosted_plugin), host_libid);

    unregister_host_type_library();
}

}  // namespace
}  // namespace zn::wine_test
