// Objects that implement the C++ declarations of the dual interfaces and record which member a
// call through the vtable reached, named as the type library names it.
#pragma once

#include <string>
#include <vector>

#include "host/plugin_interfaces.h"
#include "page/page_interfaces.h"

namespace zn::wine_test {

template <class Interface>
class Probe : public Interface {
public:
    std::vector<std::wstring> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return record(L"GetTypeInfoCount"); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return record(L"GetTypeInfo"); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return record(L"GetIDsOfNames");
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return record(L"Invoke");
    }

protected:
    HRESULT record(const wchar_t* name) {
        calls.emplace_back(name);
        return S_OK;
    }
};

class HeaderInfoProbe final : public Probe<host::IQWHeaderInfo> {
public:
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR*) override { return record(L"Caption"); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR*) override { return record(L"Name"); }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR*) override { return record(L"Description"); }
    HRESULT STDMETHODCALLTYPE get_Image(BSTR*) override { return record(L"Image"); }
    HRESULT STDMETHODCALLTYPE get_Group(BSTR*) override { return record(L"Group"); }
};

class HostedPluginProbe final : public Probe<host::IQWHostedPlugin> {
public:
    HRESULT STDMETHODCALLTYPE OnInit(host::HostApplication*) override { return record(L"OnInit"); }
    HRESULT STDMETHODCALLTYPE OnLoad(IDispatch*) override { return record(L"OnLoad"); }
    HRESULT STDMETHODCALLTYPE OnQueryUnload(VARIANT_BOOL*, VARIANT_BOOL) override { return record(L"OnQueryUnload"); }
    HRESULT STDMETHODCALLTYPE OnClosedown() override { return record(L"OnClosedown"); }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR*) override { return record(L"URL"); }
    HRESULT STDMETHODCALLTYPE get_ProgID(BSTR*) override { return record(L"ProgID"); }
};

class HostApplicationProbe final : public Probe<host::HostApplication> {
public:
    HRESULT STDMETHODCALLTYPE slot_1() override { return record(L"slot_1"); }
    HRESULT STDMETHODCALLTYPE slot_2() override { return record(L"slot_2"); }
    HRESULT STDMETHODCALLTYPE slot_3() override { return record(L"slot_3"); }
    HRESULT STDMETHODCALLTYPE get_Services(host::ServiceProvider**) override { return record(L"Services"); }
};

class ServiceProviderProbe final : public Probe<host::ServiceProvider> {
public:
    HRESULT STDMETHODCALLTYPE slot_1() override { return record(L"slot_1"); }
    HRESULT STDMETHODCALLTYPE slot_2() override { return record(L"slot_2"); }
    HRESULT STDMETHODCALLTYPE get_Session(IDispatch**) override { return record(L"Session"); }
};

class PageProbe final : public Probe<page::_docZNImportPhotos> {
public:
    HRESULT STDMETHODCALLTYPE ParseOutIDAndFileName(BSTR, BSTR*, BSTR*, BSTR*) override {
        return record(L"ParseOutIDAndFileName");
    }
    HRESULT STDMETHODCALLTYPE getPicture(BSTR*, BSTR*) override { return record(L"getPicture"); }
};

}  // namespace zn::wine_test
