// Small COM objects for the COM layer's tests: each counts its references so that tests can
// check who holds what.
#pragma once

#include "platform/com/com_object.h"

namespace zn::test {

struct ITestValue : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG* value) = 0;
};

}  // namespace zn::test

ZN_DECLARE_IID(zn::test::ITestValue, "{6C1F4E2A-3B9D-4F60-9A1B-2D7E5C8F0A11}");

namespace zn::test {

class TestValue final : public com::ComObject<TestValue, ITestValue> {
public:
    explicit TestValue(LONG value) : value_(value) {}
    HRESULT STDMETHODCALLTYPE get_Value(LONG* value) override {
        if (!value) return E_POINTER;
        *value = value_;
        return S_OK;
    }

private:
    LONG value_;
};

// Makes TestValue objects; counts how many it made.
class TestValueFactory final : public com::ComObject<TestValueFactory, IClassFactory> {
public:
    explicit TestValueFactory(LONG value) : value_(value) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ++created_;
        return com::make_object<TestValue>(value_)->QueryInterface(iid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    int created() const { return created_; }

private:
    LONG value_;
    int created_ = 0;
};

}  // namespace zn::test
