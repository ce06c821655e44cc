#include "platform/com/win/type_info_dispatch.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/com/com_ptr.h"
#include "platform/com/late_bound_arguments.h"
#include "platform/com/module_path.h"

namespace zn::com {
namespace {

// Loaded on first use and kept while the module is loaded, as the objects that answer from it
// may be created and released many times. The reference is never released: releasing it while
// the module unloads would call into the system under the loader lock.
ComPtr<ITypeLib> module_type_library() {
    static std::mutex mutex;
    static ComPtr<ITypeLib>* kept = nullptr;  // never destroyed: released objects may outlive statics
    std::lock_guard<std::mutex> lock(mutex);
    if (!kept) {
        const std::u16string path = module_file_path();
        ComPtr<ITypeLib> library;
        const HRESULT hr = LoadTypeLibEx(reinterpret_cast<LPCOLESTR>(path.c_str()), REGKIND_NONE, library.put());
        if (FAILED(hr)) throw ComError(hr, u"The type library of " + path + u" cannot be loaded");
        kept = new ComPtr<ITypeLib>(std::move(library));
    }
    return *kept;
}

ComPtr<ITypeInfo> interface_type_info(REFIID iid) {
    ComPtr<ITypeInfo> info;
    check(module_type_library()->GetTypeInfoOfGuid(iid, info.put()));
    return info;
}

class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) { check(info->GetTypeAttr(&attr_)); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() { info_->ReleaseTypeAttr(attr_); }
    const TYPEATTR* operator->() const noexcept { return attr_; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

class FuncDesc {
public:
    FuncDesc(ITypeInfo* info, UINT index) : info_(info) { check(info->GetFuncDesc(index, &desc_)); }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() { info_->ReleaseFuncDesc(desc_); }
    const FUNCDESC* operator->() const noexcept { return desc_; }

private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
};

ArgumentKind kind_of(const TYPEDESC& type) {
    if (type.vt == VT_BSTR) return ArgumentKind::String;
    if (type.vt == VT_PTR && type.lptdesc && type.lptdesc->vt == VT_BSTR) return ArgumentKind::StringByReference;
    return ArgumentKind::Other;
}

// The kinds of the member's parameters that a caller passes (the return value is not one).
std::optional<std::vector<ArgumentKind>> parameter_kinds(ITypeInfo* info, DISPID member) {
    const TypeAttr attr(info);
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        const FuncDesc func(info, i);
        if (func->memid != member) continue;
        std::vector<ArgumentKind> kinds;
        for (SHORT p = 0; p < func->cParams; ++p) {
            const ELEMDESC& param = func->lprgelemdescParam[p];
            if (param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) continue;
            kinds.push_back(kind_of(param.tdesc));
        }
        return kinds;
    }
    return std::nullopt;
}

void clear(EXCEPINFO& info) noexcept {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
}

HRESULT invoke(REFIID iid, IDispatch* object, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* exception, UINT* bad_argument) {
    const ComPtr<ITypeInfo> info = interface_type_info(iid);
    const auto kinds = parameter_kinds(info.get(), member);
    if (!kinds) return DISP_E_MEMBERNOTFOUND;
    LateBoundArguments args;
    HRESULT hr = args.prepare(params, *kinds, bad_argument);
    if (FAILED(hr)) return hr;
    EXCEPINFO failure{};
    hr = info->Invoke(object, member, flags, args.params(), result, &failure, bad_argument);
    if (SUCCEEDED(hr)) {
        args.hand_back();
        return hr;
    }
    if (hr != DISP_E_EXCEPTION) {
        clear(failure);
        return hr;
    }
    if (failure.pfnDeferredFillIn) {
        failure.pfnDeferredFillIn(&failure);
        failure.pfnDeferredFillIn = nullptr;
    }
    if (exception) {
        *exception = failure;
        return hr;
    }
    const HRESULT code = failure.scode ? failure.scode : hr;
    clear(failure);
    return code;
}

}  // namespace

HRESULT type_info_of(REFIID iid, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    return com_boundary([&] { *info = interface_type_info(iid).detach(); });
}

HRESULT type_info_ids_of_names(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!ids || (count > 0 && !names)) return E_POINTER;
    try {
        const ComPtr<ITypeInfo> info = interface_type_info(iid);
        return DispGetIDsOfNames(info.get(), names, count, ids);
    } catch (...) {
        return current_exception_to_hresult();
    }
}

HRESULT type_info_invoke(REFIID iid, IDispatch* object, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* exception, UINT* bad_argument) noexcept {
    try {
        return invoke(iid, object, member, flags, params, result, exception, bad_argument);
    } catch (...) {
        return current_exception_to_hresult();
    }
}

}  // namespace zn::com
