#include <gtest/gtest.h>

#include "fake_objects.h"
#include "platform/com/com_ptr.h"

namespace zn::com {
namespace {

using test::ITestValue;
using test::TestValue;
using test::TestValueFactory;

constexpr CLSID kTestClass = make_guid("{2B7C0E51-8F3A-4D6B-9C21-5E0F7A3D9B42}");
constexpr CLSID kUnknownClass = make_guid("{D4E5F6A7-0000-4000-8000-00000000DEAD}");

LONG value_of(const ComPtr<ITestValue>& object) {
    LONG value = 0;
    EXPECT_EQ(object->get_Value(&value), S_OK);
    return value;
}

// Registers a class object for the test and revokes it afterwards.
class Registered {
public:
    Registered(IUnknown* object, DWORD flags = REGCLS_MULTIPLEUSE) {
        EXPECT_EQ(CoRegisterClassObject(kTestClass, object, CLSCTX_INPROC_SERVER, flags, &cookie_), S_OK);
    }
    ~Registered() {
        if (cookie_) CoRevokeClassObject(cookie_);
    }
    Registered(const Registered&) = delete;
    Registered& operator=(const Registered&) = delete;
    DWORD cookie() const { return cookie_; }
    void revoked() { cookie_ = 0; }

private:
    DWORD cookie_ = 0;
};

TEST(ClassCreation, RegisteredClassObjectCreatesInstances) {
    auto factory = make_object<TestValueFactory>(42);
    Registered registration(factory->unknown());
    ComPtr<ITestValue> object;
    ASSERT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, iid_of<ITestValue>(), object.put_void()),
              S_OK);
    EXPECT_EQ(value_of(object), 42);
    EXPECT_EQ(factory->created(), 1);
}

TEST(ClassCreation, RegistrationHoldsAReferenceUntilRevoked) {
    auto factory = make_object<TestValueFactory>(1);
    const ULONG before = factory->ref_count();
    Registered registration(factory->unknown());
    EXPECT_GT(factory->ref_count(), before);
    ASSERT_EQ(CoRevokeClassObject(registration.cookie()), S_OK);
    registration.revoked();
    EXPECT_EQ(factory->ref_count(), before);
}

TEST(ClassCreation, RevokedClassIsNoLongerFound) {
    auto factory = make_object<TestValueFactory>(1);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kTestClass, factory->unknown(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ASSERT_EQ(CoRevokeClassObject(cookie), S_OK);
    ComPtr<ITestValue> object;
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, iid_of<ITestValue>(), object.put_void()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(object);
    EXPECT_NE(CoRevokeClassObject(cookie), S_OK);
}

TEST(ClassCreation, UnknownClassIsNotRegistered) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER, iid_of<IUnknown>(), object.put_void()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(object);
}

TEST(ClassCreation, MissingInterfaceFailsAndHandsOutNothing) {
    auto factory = make_object<TestValueFactory>(1);
    Registered registration(factory->unknown());
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, iid_of<IErrorInfo>(), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(ClassCreation, AggregationIsRefused) {
    auto factory = make_object<TestValueFactory>(1);
    Registered registration(factory->unknown());
    auto outer = make_object<TestValue>(0);
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(kTestClass, outer->unknown(), CLSCTX_INPROC_SERVER, iid_of<IUnknown>(), &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->created(), 0);
}

TEST(ComObjectModel, ModuleCountFollowsLiveObjects) {
    const long before = ModuleCount::value();
    {
        auto object = make_object<TestValue>(3);
        EXPECT_EQ(ModuleCount::value(), before + 1);
        auto copy = object;
        EXPECT_EQ(ModuleCount::value(), before + 1);
        EXPECT_EQ(object->ref_count(), 2u);
    }
    EXPECT_EQ(ModuleCount::value(), before);
}

TEST(ComObjectModel, QueryInterfaceFollowsTheRules) {
    auto object = make_object<TestValue>(3);
    EXPECT_EQ(object->QueryInterface(iid_of<IUnknown>(), nullptr), E_POINTER);
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(object->QueryInterface(iid_of<IDispatch>(), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(object->ref_count(), 1u);
    ComPtr<ITestValue> value = ComPtr<IUnknown>(object->unknown()).as<ITestValue>();
    EXPECT_EQ(object->ref_count(), 2u);
}

TEST(ComObjectModel, SameObjectComparesIdentity) {
    auto a = make_object<TestValue>(1);
    auto b = make_object<TestValue>(1);
    ComPtr<ITestValue> a_value = ComPtr<IUnknown>(a->unknown()).as<ITestValue>();
    EXPECT_TRUE(same_object(a->unknown(), a_value.get()));
    EXPECT_FALSE(same_object(a->unknown(), b->unknown()));
    EXPECT_FALSE(same_object(a->unknown(), nullptr));
    EXPECT_TRUE(same_object(nullptr, nullptr));
}

}  // namespace
}  // namespace zn::com
