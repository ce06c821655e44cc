// The two interfaces of the host's API type library that a plug-in implements. The host
// calls them through the vtable, so their member order is fixed.
#pragma once

#include "host/host_interfaces.h"

namespace zn::host {

// The plug-in's header texts; each a newly allocated String that the caller owns.
struct IQWHeaderInfo : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Image(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Group(BSTR* value) = 0;
};

// The plug-in's lifecycle, driven by the host.
struct IQWHostedPlugin : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnInit(HostApplication* oApp) = 0;
    // oDoc: the page object that the host's document container created.
    virtual HRESULT STDMETHODCALLTYPE OnLoad(IDispatch* oDoc) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnQueryUnload(VARIANT_BOOL* bCancel, VARIANT_BOOL bHostIsUnloading) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnClosedown() = 0;
    // Path of the page's document file.
    virtual HRESULT STDMETHODCALLTYPE get_URL(BSTR* value) = 0;
    // ProgID of the held page's class.
    virtual HRESULT STDMETHODCALLTYPE get_ProgID(BSTR* value) = 0;
};

inline constexpr GUID LIBID_HostApi = com::make_guid("{C46246F1-F397-11D3-906A-00C04F44F100}");

}  // namespace zn::host

ZN_DECLARE_IID(zn::host::IQWHeaderInfo, "{41079A2C-791C-11D4-A6C1-00B0D0273C9F}");
ZN_DECLARE_IID(zn::host::IQWHostedPlugin, "{41079A32-791C-11D4-A6C1-00B0D0273C9F}");
