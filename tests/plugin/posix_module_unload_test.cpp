// The module's own DllCanUnloadNow, as the runtime asks it before freeing the module: it answers
// for the objects of that module, which the program's copy of the server layer never sees.
// (Under Wine the tests of the real DLL ask it through the system's loader.)
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "plugin/class_server.h"
#include "plugin/module_identity.h"

namespace {

using zn::com::ComPtr;
using zn::com::iid_of;

TEST(ModuleUnload, TheModulesOwnAnswerFollowsItsObjects) {
    void* module = dlopen(ZN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    using GetClassObject = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDMETHODCALLTYPE*)();
    const auto get_class_object = reinterpret_cast<GetClassObject>(dlsym(module, "DllGetClassObject"));
    const auto can_unload = reinterpret_cast<CanUnloadNow>(dlsym(module, "DllCanUnloadNow"));
    ASSERT_NE(get_class_object, nullptr);
    ASSERT_NE(can_unload, nullptr);

    EXPECT_EQ(can_unload(), S_OK);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(get_class_object(zn::plugin::plugin_class().clsid, iid_of<IClassFactory>(), factory.put_void()),
                  S_OK);
        EXPECT_EQ(can_unload(), S_FALSE) << "its class object is alive";
        EXPECT_EQ(zn::plugin::server_can_unload_now(), S_OK) << "the program counted the module's object as its own";
        ComPtr<IUnknown> plugin;
        ASSERT_EQ(factory->CreateInstance(nullptr, iid_of<IUnknown>(), plugin.put_void()), S_OK);
        factory = nullptr;
        EXPECT_EQ(can_unload(), S_FALSE) << "the plug-in object it made is alive";
    }
    EXPECT_EQ(can_unload(), S_OK);
    EXPECT_EQ(dlclose(module), 0);
}

}  // namespace
