// A host whose calls do nothing but answer: what the import run costs by itself.
#pragma once

#include "host/host_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/com_object.h"
#include "platform/com/dispatch_object.h"

namespace zn::bench {

class NullFileUtilities final : public com::DispatchObject<NullFileUtilities, host::FileUtilities> {
public:
    explicit NullFileUtilities(bool photos_exist) : photos_exist_(photos_exist) {}
    HRESULT STDMETHODCALLTYPE ReplaceText(BSTR text, BSTR, BSTR, LONG*, BSTR* result) override {
        *result = SysAllocStringLen(text, SysStringLen(text));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPathPart(BSTR path, LONG, BSTR* part) override {
        *part = SysAllocStringLen(path, SysStringLen(path));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FileExists(BSTR, VARIANT_BOOL* exists) override {
        *exists = photos_exist_ ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

private:
    bool photos_exist_;
};

class NullFieldSet final : public com::DispatchObject<NullFieldSet, host::FieldSet> {
public:
    HRESULT STDMETHODCALLTYPE get_Field(LONG, VARIANT* value) override {
        VariantInit(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Field(LONG, VARIANT) override { return S_OK; }
};

class NullStudent final : public com::DispatchObject<NullStudent, host::StudentRecord, host::DataObject> {
public:
    HRESULT STDMETHODCALLTYPE Init(host::SessionContext**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CloseDown() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Load(LONG, LONG*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Save() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Fields(LONG, host::FieldSet** fields) override {
        *fields = com::make_object<NullFieldSet>().detach();
        return S_OK;
    }
};

class NullStudentFactory final : public com::ComObject<NullStudentFactory, IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** ppv) override {
        return com::make_object<NullStudent>()->QueryInterface(iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace zn::bench
