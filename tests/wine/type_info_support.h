// Reading type information through the system's own type library reader, and calling an
// object through the vtable slot that the type information gives a member.
#pragma once

#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/com/com_ptr.h"

namespace zn::wine_test {

com::ComPtr<ITypeLib> load_type_library(const std::wstring& path);

class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) { com::check(info->GetTypeAttr(&attr_)); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() { info_->ReleaseTypeAttr(attr_); }
    const TYPEATTR* operator->() const { return attr_; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

class FuncDesc {
public:
    FuncDesc(ITypeInfo* info, UINT index) : info_(info) { com::check(info->GetFuncDesc(index, &desc_)); }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() { info_->ReleaseFuncDesc(desc_); }
    const FUNCDESC* operator->() const { return desc_; }

private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
};

std::wstring type_name(ITypeInfo* info);
std::wstring member_name(ITypeInfo* info, MEMBERID id);
// Parameter names of a member, without the member's own name.
std::vector<std::wstring> parameter_names(ITypeInfo* info, MEMBERID id);
GUID library_of(ITypeInfo* info);

// The vtable view of a dual interface's type information (itself for a plain interface).
com::ComPtr<ITypeInfo> vtable_view(ITypeInfo* info);

// Type information of a coclass's implemented interfaces, in order, with their flags.
struct ImplementedInterface {
    com::ComPtr<ITypeInfo> info;
    int flags;
};
std::vector<ImplementedInterface> implemented_interfaces(ITypeInfo* coclass);

// Calls each member of the interface's vtable view on object through the slot the type
// information gives it, with null arguments, and returns the member names in order. The
// object's methods must not touch their arguments.
std::vector<std::wstring> call_each_member(ITypeInfo* interface_info, void* object);

}  // namespace zn::wine_test
