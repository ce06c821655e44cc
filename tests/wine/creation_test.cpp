// A client process creates the registered classes the way the host does: by ProgID, through
// the registry and the system's class loader.
#include <gtest/gtest.h>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "plugin/module_identity.h"
#include "support/described_interface.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

using com::ComPtr;

class RegisteredModule : public ::testing::Test {
protected:
    std::wstring module = module_path();

    void SetUp() override { ASSERT_EQ(regsvr32(module, false), 0u); }
    void TearDown() override { regsvr32(module, true); }

    static CLSID class_of(std::u16string_view prog_id) {
        CLSID clsid{};
        com::check(CLSIDFromProgID(wide(prog_id).c_str(), &clsid));
        return clsid;
    }
};

TEST_F(RegisteredModule, ProgIDsLeadToTheClassIDs) {
    for (const plugin::ClassIdentity& c : plugin::module_classes()) {
        SCOPED_TRACE(narrow(wide(c.name)));
        EXPECT_EQ(guid_text(class_of(c.prog_id)), guid_text(c.clsid));
        LPOLESTR prog_id = nullptr;
        com::check(ProgIDFromCLSID(c.clsid, &prog_id));
        EXPECT_EQ(std::wstring(prog_id), wide(c.prog_id));
        CoTaskMemFree(prog_id);
    }
}

TEST_F(RegisteredModule, PluginCreatedByProgIDDescribesItself) {
    ComPtr<host::IQWHeaderInfo> header;
    com::check(CoCreateInstance(class_of(plugin::plugin_class().prog_id), nullptr, CLSCTX_INPROC_SERVER,
                                com::iid_of<host::IQWHeaderInfo>(), header.put_void()));
    com::Bstr caption, name, description, image, group;
    com::check(header->get_Caption(caption.receive()));
    com::check(header->get_Name(name.receive()));
    com::check(header->get_Description(description.receive()));
    com::check(header->get_Image(image.receive()));
    com::check(header->get_Group(group.receive()));
    EXPECT_EQ(caption.view(), u"Import Applicant/Student/Faculty/Individual Photos");
    EXPECT_EQ(name.view(), caption.view());
    EXPECT_EQ(description.view(),
              u"This plug-in allows you to import applicant, student, faculty and individual photos.");
    EXPECT_TRUE(image.view().empty());
    EXPECT_TRUE(group.view().empty());

    auto hosted = header.as<host::IQWHostedPlugin>();
    com::Bstr prog_id, url;
    com::check(hosted->get_ProgID(prog_id.receive()));
    EXPECT_EQ(prog_id.view(), u"ZNImportPhotos.Nothing");
    com::check(hosted->get_URL(url.receive()));
    // The document file lies beside the module that the registry named.
    const std::wstring folder = module.substr(0, module.rfind(L'\\'));
    EXPECT_EQ(std::wstring(url.view().begin(), url.view().end()), folder + L"\\docZNImportPhotos.vbd");
}

TEST_F(RegisteredModule, PluginAnswersForItsDefaultInterfaceAndIDispatch) {
    ComPtr<IUnknown> object;
    com::check(CoCreateInstance(plugin::plugin_class().clsid, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<IUnknown>(),
                                object.put_void()));
    ComPtr<IUnknown> by_default_interface;
    EXPECT_EQ(object->QueryInterface(plugin::plugin_class().default_iid, by_default_interface.put_void()), S_OK);
    ComPtr<IDispatch> by_dispatch;
    ASSERT_EQ(object->QueryInterface(com::iid_of<IDispatch>(), by_dispatch.put_void()), S_OK);
    // Late-bound callers get the default interface's description from the module's own type library.
    EXPECT_EQ(guid_text(test::described_interface(by_dispatch.get())), guid_text(plugin::plugin_class().default_iid));
    std::wstring name(L"NoSuchMember");
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    EXPECT_EQ(by_dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(RegisteredModule, ModuleUnloadsOnceNothingIsAlive) {
    {
        ComPtr<IUnknown> object;
        com::check(CoCreateInstance(plugin::plugin_class().clsid, nullptr, CLSCTX_INPROC_SERVER,
                                    com::iid_of<IUnknown>(), object.put_void()));
        // The type library that late binding loads does not keep the module.
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(object.as<IDispatch>()->GetTypeInfo(0, 0, info.put()), S_OK);
        CoFreeUnusedLibrariesEx(0, 0);
        EXPECT_NE(GetModuleHandleW(L"ZNImportPhotos.dll"), nullptr) << "unloaded while an object was alive";
    }
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(GetModuleHandleW(L"ZNImportPhotos.dll"), nullptr);
}

TEST_F(RegisteredModule, UnknownClassIsRefusedByTheModule) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    HMODULE dll = LoadLibraryW(module.c_str());
    ASSERT_NE(dll, nullptr);
    auto get_class_object =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ASSERT_NE(get_class_object, nullptr);
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(get_class_object(com::iid_of<IUnknown>(), com::iid_of<IClassFactory>(), &factory),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    FreeLibrary(dll);
}

}  // namespace
}  // namespace zn::wine_test
