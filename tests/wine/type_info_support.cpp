#include "wine/type_info_support.h"

#include <stdexcept>

#include "platform/com/bstr.h"

namespace zn::wine_test {
namespace {
std::wstring take(com::Bstr& text) {
    return std::wstring(text.view().begin(), text.view().end());
}
}  // namespace

com::ComPtr<ITypeLib> load_type_library(const std::wstring& path) {
    com::ComPtr<ITypeLib> library;
    com::check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
    return library;
}

std::wstring type_name(ITypeInfo* info) {
    return member_name(info, MEMBERID_NIL);
}

std::wstring member_name(ITypeInfo* info, MEMBERID id) {
    com::Bstr name;
    com::check(info->GetDocumentation(id, name.receive(), nullptr, nullptr, nullptr));
    return take(name);
}

std::vector<std::wstring> parameter_names(ITypeInfo* info, MEMBERID id) {
    BSTR names[16] = {};
    UINT count = 0;
    com::check(info->GetNames(id, names, 16, &count));
    std::vector<std::wstring> result;
    for (UINT i = 0; i < count; ++i) {
        auto name = com::Bstr::attach(names[i]);
        if (i > 0) result.push_back(take(name));
    }
    return result;
}

GUID library_of(ITypeInfo* info) {
    com::ComPtr<ITypeLib> library;
    UINT index = 0;
    com::check(info->GetContainingTypeLib(library.put(), &index));
    TLIBATTR* attr = nullptr;
    com::check(library->GetLibAttr(&attr));
    const GUID libid = attr->guid;
    library->ReleaseTLibAttr(attr);
    return libid;
}

com::ComPtr<ITypeInfo> vtable_view(ITypeInfo* info) {
    if (TypeAttr(info)->typekind != TKIND_DISPATCH) return com::ComPtr<ITypeInfo>(info);
    HREFTYPE view = 0;
    com::check(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &view));
    com::ComPtr<ITypeInfo> result;
    com::check(info->GetRefTypeInfo(view, result.put()));
    return result;
}

std::vector<ImplementedInterface> implemented_interfaces(ITypeInfo* coclass) {
    std::vector<ImplementedInterface> result;
    const UINT count = TypeAttr(coclass)->cImplTypes;
    for (UINT i = 0; i < count; ++i) {
        HREFTYPE ref = 0;
        com::check(coclass->GetRefTypeOfImplType(i, &ref));
        ImplementedInterface entry{};
        com::check(coclass->GetRefTypeInfo(ref, entry.info.put()));
        com::check(coclass->GetImplTypeFlags(i, &entry.flags));
        result.push_back(std::move(entry));
    }
    return result;
}

std::vector<std::wstring> call_each_member(ITypeInfo* interface_info, void* object) {
    std::vector<std::wstring> names;
    const UINT count = TypeAttr(interface_info)->cFuncs;
    for (UINT i = 0; i < count; ++i) {
        FuncDesc func(interface_info, i);
        // Every argument goes as a null pointer-sized value: the probes only record the call.
        std::vector<VARIANT> args(static_cast<std::size_t>(func->cParams));
        std::vector<VARIANT*> arg_pointers;
        std::vector<VARTYPE> arg_types;
        for (VARIANT& arg : args) {
            VariantInit(&arg);
            arg.vt = VT_BYREF | VT_UI1;
            arg.byref = nullptr;
            arg_pointers.push_back(&arg);
            arg_types.push_back(arg.vt);
        }
        VARIANT result;
        VariantInit(&result);
        com::check(DispCallFunc(object, static_cast<ULONG_PTR>(func->oVft), CC_STDCALL, VT_ERROR,
                                static_cast<UINT>(args.size()), arg_types.data(), arg_pointers.data(), &result));
        if (result.vt != VT_ERROR || result.scode != S_OK)
            throw std::runtime_error("member " + std::to_string(i) + " did not report success");
        names.push_back(member_name(interface_info, func->memid));
    }
    return names;
}

}  // namespace zn::wine_test
