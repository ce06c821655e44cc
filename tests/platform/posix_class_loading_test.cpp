// Creating classes through the registration store: the loader, its failures, ProgIDs, and the
// one runtime library that a loaded module shares with the program that loaded it.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/registry.h"
#include "platform/text/utf.h"
#include "support/temp_registry.h"

namespace zn::com {
namespace {

constexpr CLSID kPluginClass = make_guid("{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}");
constexpr CLSID kLooseClass = make_guid("{5F0D3C2B-1A29-4E8F-B7C6-0D9E8F7A6B51}");
constexpr GUID kNoSuchInterface = make_guid("{11111111-2222-3333-4444-555555555555}");

std::u16string server_key(const CLSID& clsid) {
    return u"CLSID\\" + format_guid(clsid) + u"\\InprocServer32";
}

void register_server(const CLSID& clsid, const std::string& path) {
    registry::set_value(server_key(clsid), u"", text::from_utf8(path));
}

HRESULT create(const CLSID& clsid) {
    ComPtr<IUnknown> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid_of<IUnknown>(), object.put_void());
    EXPECT_EQ(SUCCEEDED(hr), static_cast<bool>(object));
    return hr;
}

// The component module built beside the tests, registered in a registry of the test's own.
class RegisteredModule : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = ZN_MODULE_PATH;
        if (module_.empty() || !std::filesystem::exists(module_)) GTEST_SKIP() << "the component module is not built";
        register_server(kPluginClass, module_);
        SetErrorInfo(0, nullptr);
    }
    test::TempRegistry registry_;
    std::string module_;
};

TEST_F(RegisteredModule, CreatesTheModulesClassThroughItsFactory) {
    ComPtr<IDispatch> plugin;
    ASSERT_EQ(CoCreateInstance(kPluginClass, nullptr, CLSCTX_INPROC_SERVER, iid_of<IDispatch>(), plugin.put_void()),
              S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(
        CoGetClassObject(kPluginClass, CLSCTX_INPROC_SERVER, nullptr, iid_of<IClassFactory>(), factory.put_void()),
        S_OK);
    ComPtr<IUnknown> second;
    EXPECT_EQ(factory->CreateInstance(nullptr, iid_of<IUnknown>(), second.put_void()), S_OK);
    EXPECT_FALSE(same_object(plugin.get(), second.get()));
}

TEST_F(RegisteredModule, ErrorInfoSetInsideTheModuleReachesTheProgram) {
    // The module and the program must use one runtime: a module with a runtime of its own
    // would leave the error text in a thread slot that the program never reads.
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(kPluginClass, nullptr, CLSCTX_INPROC_SERVER, kNoSuchInterface, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IErrorInfo* raw = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &raw), S_OK);
    auto info = ComPtr<IErrorInfo>::attach(raw);
    Bstr source;
    ASSERT_EQ(info->GetSource(source.receive()), S_OK);
    EXPECT_EQ(source.view(), u"ZNImportPhotos");
}

TEST_F(RegisteredModule, ModuleIsLoadedOnceAndKeptLoaded) {
    ASSERT_EQ(create(kPluginClass), S_OK);
    void* handle = dlopen(module_.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr) << "the module is not loaded";
    dlclose(handle);
    ASSERT_EQ(create(kPluginClass), S_OK);
}

class Loader : public ::testing::Test {
protected:
    test::TempRegistry registry_;
};

TEST_F(Loader, ClassKeyWithoutServerIsNotRegistered) {
    registry::set_value(u"CLSID\\" + format_guid(kLooseClass), u"", u"a class without a server");
    EXPECT_EQ(create(kLooseClass), REGDB_E_CLASSNOTREG);
    registry::create_key(server_key(kLooseClass));  // a server key without a path
    EXPECT_EQ(create(kLooseClass), REGDB_E_CLASSNOTREG);
}

TEST_F(Loader, MissingModuleFileIsDllNotFound) {
    register_server(kLooseClass, "/nonexistent/zn-test/NoSuchModule.so");
    EXPECT_EQ(create(kLooseClass), CO_E_DLLNOTFOUND);
}

TEST_F(Loader, FileThatIsNoModuleIsAnErrorInTheDll) {
    const auto path = std::filesystem::temp_directory_path() / ("zn-not-a-module-" + std::to_string(getpid()) + ".so");
    std::ofstream(path) << "not a shared object\n";
    register_server(kLooseClass, path.string());
    EXPECT_EQ(create(kLooseClass), CO_E_ERRORINDLL);
    std::filesystem::remove(path);
}

TEST_F(Loader, ModuleWithoutTheEntryPointIsAnErrorInTheDll) {
    // The C library is a real shared object that serves no classes.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&::getpid), &info), 0);
    ASSERT_NE(info.dli_fname, nullptr);
    register_server(kLooseClass, info.dli_fname);
    EXPECT_EQ(create(kLooseClass), CO_E_ERRORINDLL);
}

TEST_F(Loader, ProgIdResolvesThroughItsClsidKey) {
    registry::set_value(u"ZNImportPhotos.cImportPhotoPlugin\\CLSID", u"", format_guid(kPluginClass));
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(ole(u"ZNImportPhotos.cImportPhotoPlugin"), &clsid), S_OK);
    EXPECT_TRUE(same_guid(clsid, kPluginClass));
}

TEST_F(Loader, UnknownOrMalformedProgIdsAreInvalidClassStrings) {
    registry::set_value(u"Broken.Class\\CLSID", u"", u"not a guid");
    CLSID clsid = kPluginClass;
    EXPECT_EQ(CLSIDFromProgID(ole(u"Missing.Class"), &clsid), CO_E_CLASSSTRING);
    EXPECT_TRUE(same_guid(clsid, GUID_NULL));
    EXPECT_EQ(CLSIDFromProgID(ole(u"Broken.Class"), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(ole(u""), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(ole(u"CLSID\\x"), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

}  // namespace
}  // namespace zn::com
