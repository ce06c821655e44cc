// Objects with IDispatch. DispatchObject answers no late-bound call: its callers bind early
// through the vtable. DualObject is one whose default interface (the first one listed) is dual
// and described in the module's type library: on Windows, late-bound callers are served from
// that library; elsewhere there are no type libraries, and an object with late-bound members
// answers for them itself.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/guid.h"
#ifdef _WIN32
#include "platform/com/win/type_info_dispatch.h"
#endif

namespace zn::com {

template <class Derived, class... Interfaces>
class DispatchObject : public ComObject<Derived, Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        return TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        if (!ids) return E_POINTER;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

#ifdef _WIN32
template <class Derived, class Default, class... Others>
class DualObject : public ComObject<Derived, Default, Others...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return type_info_of(iid_of<Default>(), info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return type_info_ids_of_names(iid_of<Default>(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* bad_argument) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return type_info_invoke(iid_of<Default>(), static_cast<Default*>(this), member, flags, params, result,
                                exception, bad_argument);
    }
};
#else
template <class Derived, class Default, class... Others>
using DualObject = DispatchObject<Derived, Default, Others...>;
#endif

}  // namespace zn::com
