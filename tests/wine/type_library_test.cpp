// The type libraries read back through the system's own reader: the component's library
// agrees with the C++ identity table, and both libraries agree with the C++ declarations of
// their interfaces slot for slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "page/page_interfaces.h"
#include "platform/com/bstr.h"
#include "plugin/module_identity.h"
#include "wine/type_info_support.h"
#include "wine/vtable_probes.h"
#include "wine/wine_support.h"

namespace zn::wine_test {
namespace {

using com::ComPtr;

std::string text(const GUID& guid) {
    return narrow(guid_text(guid));
}

ComPtr<ITypeInfo> info_of(ITypeLib* library, const GUID& guid) {
    ComPtr<ITypeInfo> info;
    com::check(library->GetTypeInfoOfGuid(guid, info.put()));
    return info;
}

// The host registers its API library; the component's library refers to it by LIBID.
class HostLibraryRegistration {
public:
    HostLibraryRegistration() { register_host_type_library(); }
    HostLibraryRegistration(const HostLibraryRegistration&) = delete;
    HostLibraryRegistration& operator=(const HostLibraryRegistration&) = delete;
    ~HostLibraryRegistration() { unregister_host_type_library(); }
};

class ModuleTypeLibrary : public ::testing::Test {
protected:
    ComPtr<ITypeLib> library = load_type_library(module_path());
};

TEST_F(ModuleTypeLibrary, LibraryAttributesMatchTheIdentityTable) {
    const plugin::ModuleIdentity& module = plugin::module_identity();
    TLIBATTR* attr = nullptr;
    com::check(library->GetLibAttr(&attr));
    EXPECT_EQ(text(attr->guid), text(module.libid));
    EXPECT_EQ(attr->wMajorVerNum, module.version_major);
    EXPECT_EQ(attr->wMinorVerNum, module.version_minor);
    EXPECT_EQ(attr->lcid, module.lcid);
    EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library->ReleaseTLibAttr(attr);

    com::Bstr name;
    com::check(library->GetDocumentation(-1, name.receive(), nullptr, nullptr, nullptr));
    EXPECT_EQ(name.view(), module.library_name);
}

TEST_F(ModuleTypeLibrary, HoldsTheModulesOwnTypesAndNoCopiesOfTheHosts) {
    std::set<std::wstring> expected;
    for (const plugin::ClassIdentity& c : plugin::module_classes()) {
        expected.insert(wide(c.name));
        expected.insert(wide(c.default_interface));
    }
    std::set<std::wstring> found;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info;
        com::check(library->GetTypeInfo(i, info.put()));
        found.insert(type_name(info.get()));
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(library->GetTypeInfoCount(), expected.size());
}

TEST_F(ModuleTypeLibrary, ClassesHaveTheirNamesAndOnlyThePluginIsCreatable) {
    for (const plugin::ClassIdentity& c : plugin::module_classes()) {
        SCOPED_TRACE(narrow(wide(c.name)));
        auto info = info_of(library.get(), c.clsid);
        TypeAttr attr(info.get());
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_EQ(type_name(info.get()), wide(c.name));
        EXPECT_EQ((attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0, c.creatable);
    }
    EXPECT_TRUE(plugin::plugin_class().creatable);
    EXPECT_FALSE(plugin::page_class().creatable);
}

TEST_F(ModuleTypeLibrary, DefaultInterfacesAreTheTablesAndDualAndHidden) {
    for (const plugin::ClassIdentity& c : plugin::module_classes()) {
        SCOPED_TRACE(narrow(wide(c.name)));
        auto interfaces = implemented_interfaces(info_of(library.get(), c.clsid).get());
        auto is_default = [](const ImplementedInterface& i) { return (i.flags & IMPLTYPEFLAG_FDEFAULT) != 0; };
        ASSERT_EQ(std::count_if(interfaces.begin(), interfaces.end(), is_default), 1);
        ITypeInfo* default_interface = std::find_if(interfaces.begin(), interfaces.end(), is_default)->info.get();
        TypeAttr attr(default_interface);
        EXPECT_EQ(text(attr->guid), text(c.default_iid));
        EXPECT_EQ(type_name(default_interface), wide(c.default_interface));
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
        EXPECT_EQ(text(library_of(default_interface)), text(plugin::module_identity().libid));
    }
}

TEST_F(ModuleTypeLibrary, PluginInterfaceHasNoMembersBeyondIDispatch) {
    auto view = vtable_view(info_of(library.get(), plugin::plugin_class().default_iid).get());
    EXPECT_EQ(TypeAttr(view.get())->cFuncs, 0);
}

TEST_F(ModuleTypeLibrary, PageMembersHaveTheirDispidsAndArgumentKinds) {
    auto dispatch = info_of(library.get(), plugin::page_class().default_iid);
    auto view = vtable_view(dispatch.get());
    ASSERT_EQ(TypeAttr(view.get())->cFuncs, 2);

    // Late-bound callers find the members by name at their fixed DISPIDs.
    const wchar_t* names[] = {L"ParseOutIDAndFileName", L"getPicture"};
    const long dispids[] = {page::kDispidParseOutIDAndFileName, page::kDispidGetPicture};
    for (int i = 0; i < 2; ++i) {
        MEMBERID id = 0;
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        com::check(dispatch->GetIDsOfNames(&name, 1, &id));
        EXPECT_EQ(id, dispids[i]) << narrow(names[i]);
    }

    const USHORT in_out = PARAMFLAG_FIN | PARAMFLAG_FOUT;
    {
        FuncDesc parse(view.get(), 0);
        EXPECT_EQ(parse->memid, page::kDispidParseOutIDAndFileName);
        EXPECT_EQ(parse->invkind, INVOKE_FUNC);
        EXPECT_EQ(parse->elemdescFunc.tdesc.vt, VT_HRESULT);
        ASSERT_EQ(parse->cParams, 4);
        EXPECT_EQ(parse->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
        EXPECT_EQ(parse->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN);
        for (int p = 1; p < 4; ++p) {
            SCOPED_TRACE(p);
            const ELEMDESC& arg = parse->lprgelemdescParam[p];
            ASSERT_EQ(arg.tdesc.vt, VT_PTR);
            EXPECT_EQ(arg.tdesc.lptdesc->vt, VT_BSTR);
            EXPECT_EQ(arg.paramdesc.wParamFlags, in_out);
        }
        EXPECT_EQ(parameter_names(view.get(), parse->memid),
                  (std::vector<std::wstring>{L"sdata", L"sStudentID", L"sStudentName", L"sStudentPhotoFile"}));
    }
    {
        FuncDesc picture(view.get(), 1);
        EXPECT_EQ(picture->memid, page::kDispidGetPicture);
        EXPECT_EQ(picture->invkind, INVOKE_FUNC);
        ASSERT_EQ(picture->cParams, 2);
        const ELEMDESC& file = picture->lprgelemdescParam[0];
        ASSERT_EQ(file.tdesc.vt, VT_PTR);
        EXPECT_EQ(file.tdesc.lptdesc->vt, VT_BSTR);
        EXPECT_EQ(file.paramdesc.wParamFlags, in_out);
        const ELEMDESC& result = picture->lprgelemdescParam[1];
        ASSERT_EQ(result.tdesc.vt, VT_PTR);
        EXPECT_EQ(result.tdesc.lptdesc->vt, VT_BSTR);
        EXPECT_EQ(result.paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
        EXPECT_EQ(parameter_names(view.get(), picture->memid), (std::vector<std::wstring>{L"sFileName", L"result"}));
    }
}

TEST_F(ModuleTypeLibrary, PageMembersSitWhereTheCppInterfaceHasThem) {
    auto view = vtable_view(info_of(library.get(), plugin::page_class().default_iid).get());
    PageProbe probe;
    const auto called_by_type_library = call_each_member(view.get(), static_cast<page::_docZNImportPhotos*>(&probe));
    EXPECT_EQ(probe.calls, called_by_type_library);
    EXPECT_EQ(probe.calls, (std::vector<std::wstring>{L"ParseOutIDAndFileName", L"getPicture"}));
}

TEST_F(ModuleTypeLibrary, PluginClassImplementsTheHostInterfacesOfTheHostLibrary) {
    HostLibraryRegistration host;
    auto interfaces = implemented_interfaces(info_of(library.get(), plugin::plugin_class().clsid).get());
    ASSERT_EQ(interfaces.size(), 3u);
    const GUID expected[] = {com::iid_of<host::IQWHeaderInfo>(), com::iid_of<host::IQWHostedPlugin>()};
    for (int i = 0; i < 2; ++i) {
        ITypeInfo* implemented = interfaces[static_cast<std::size_t>(i) + 1].info.get();
        EXPECT_EQ(text(TypeAttr(implemented)->guid), text(expected[i]));
        EXPECT_EQ(text(library_of(implemented)), text(host::LIBID_HostApi));
    }
}

class HostTypeLibrary : public ::testing::Test {
protected:
    ComPtr<ITypeLib> library = load_type_library(host_api_type_library_path());

    // The members of the interface, called through the slots the library gives them.
    template <class Interface, class ProbeType>
    void expect_vtable_agrees(std::vector<std::wstring> members) {
        auto dispatch = info_of(library.get(), com::iid_of<Interface>());
        TypeAttr attr(dispatch.get());
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_EQ(text(attr->guid), text(com::iid_of<Interface>()));
        auto view = vtable_view(dispatch.get());
        ProbeType probe;
        const auto called_by_type_library = call_each_member(view.get(), static_cast<Interface*>(&probe));
        EXPECT_EQ(probe.calls, called_by_type_library);
        EXPECT_EQ(probe.calls, members);
    }
};

TEST_F(HostTypeLibrary, LibraryIdentity) {
    TLIBATTR* attr = nullptr;
    com::check(library->GetLibAttr(&attr));
    EXPECT_EQ(text(attr->guid), text(host::LIBID_HostApi));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attr);
}

#ifdef ZN_HOST_PROGRAM_PATH
TEST(HostProgram, CarriesTheHostLibraryAsItsTypeLibraryResource) {
    auto embedded = load_type_library(windows_path(ZN_HOST_PROGRAM_PATH));
    TLIBATTR* attr = nullptr;
    com::check(embedded->GetLibAttr(&attr));
    EXPECT_EQ(text(attr->guid), text(host::LIBID_HostApi));
    embedded->ReleaseTLibAttr(attr);
    ComPtr<ITypeInfo> hosted_plugin;
    EXPECT_EQ(embedded->GetTypeInfoOfGuid(com::iid_of<host::IQWHostedPlugin>(), hosted_plugin.put()), S_OK);
}
#endif

TEST_F(HostTypeLibrary, PluginInterfacesMatchTheCppDeclarations) {
    expect_vtable_agrees<host::IQWHeaderInfo, HeaderInfoProbe>(
        {L"Caption", L"Name", L"Description", L"Image", L"Group"});
    expect_vtable_agrees<host::IQWHostedPlugin, HostedPluginProbe>(
        {L"OnInit", L"OnLoad", L"OnQueryUnload", L"OnClosedown", L"URL", L"ProgID"});
}

TEST_F(HostTypeLibrary, ApplicationAndServicesMatchTheCppDeclarations) {
    expect_vtable_agrees<host::HostApplication, HostApplicationProbe>({L"slot_1", L"slot_2", L"slot_3", L"Services"});
    expect_vtable_agrees<host::ServiceProvider, ServiceProviderProbe>({L"slot_1", L"slot_2", L"Session"});
}

TEST_F(HostTypeLibrary, HeaderTextsAreReadOnlyProperties) {
    auto view = vtable_view(info_of(library.get(), com::iid_of<host::IQWHeaderInfo>()).get());
    const UINT count = TypeAttr(view.get())->cFuncs;
    ASSERT_EQ(count, 5u);
    for (UINT i = 0; i < count; ++i) {
        FuncDesc func(view.get(), i);
        EXPECT_EQ(func->invkind, INVOKE_PROPERTYGET) << narrow(member_name(view.get(), func->memid));
    }
}

}  // namespace
}  // namespace zn::wine_test
