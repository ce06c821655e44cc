// What a 32-bit host relies on at every call into the module: the entry points and every
// interface member are __stdcall, so the callee takes its arguments off the stack. A member
// compiled with the C convention would leave them there and the host's stack would drift by a
// few bytes at each call. These calls push their arguments by hand, as a host compiled against
// the type library does, and measure the stack pointer around the call. x86 only: x64 Windows
// has one calling convention.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "host/plugin_interfaces.h"
#include "page/page_interfaces.h"
#include "platform/com/bstr.h"
#include "plugin/module_identity.h"
#include "wine/wine_support.h"

#if !defined(__i386__)
#error "the stack-balance probe is written for 32-bit x86"
#endif

namespace zn::wine_test {
namespace {

struct CallOutcome {
    std::uint32_t result = 0;  // EAX: the HRESULT (or count) the callee returned
    std::int32_t drift = 0;    // stack pointer after the call minus before the pushes: 0 when balanced
};

struct CallFrame {
    const void* target;
    const std::uint32_t* words;
    std::uint32_t count;
};

// Pushes the words right to left, calls, notes the stack pointer, then restores it whatever
// the callee did. ESI and EDI survive the call in both conventions.
CallOutcome call_measured(const void* target, std::initializer_list<std::uint32_t> words) {
    const std::vector<std::uint32_t> args(words);
    const CallFrame frame{target, args.data(), static_cast<std::uint32_t>(args.size())};
    std::uint32_t result;
    std::uint32_t before;
    std::uint32_t after;
    asm volatile(
        "movl %%esp, %%esi\n\t"
        "movl 8(%%eax), %%ecx\n\t"
        "movl 4(%%eax), %%edx\n\t"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%edx,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *(%%eax)\n\t"
        "movl %%esp, %%edi\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(result), "=&S"(before), "=&D"(after)
        : "0"(&frame)
        : "ecx", "edx", "memory", "cc");
    return {result, static_cast<std::int32_t>(after - before)};
}

std::uint32_t word(const void* p) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(p));
}

// The member at a raw vtable slot of an interface pointer.
const void* slot(const void* iface, int index) {
    return (*static_cast<void* const* const*>(iface))[index];
}

// Slots of the interfaces' members: IUnknown 0-2, IDispatch 3-6, then each interface's own.
enum : int { kQueryInterface, kAddRef, kRelease, kGetTypeInfoCount, kGetTypeInfo, kGetIDsOfNames, kInvoke };
constexpr int kCreateInstance = 3;
constexpr int kFirstOwn = 7;

std::int32_t __cdecl cdecl_sum(std::int32_t a, std::int32_t b) {
    return a + b;
}
std::int32_t __stdcall stdcall_sum(std::int32_t a, std::int32_t b) {
    return a + b;
}

class ModuleCalls : public ::testing::Test {
protected:
    HMODULE dll = nullptr;

    void SetUp() override {
        dll = LoadLibraryW(module_path().c_str());
        ASSERT_NE(dll, nullptr);
    }
    void TearDown() override {
        if (dll) FreeLibrary(dll);
    }

    const void* entry(const char* name) {
        const void* p = reinterpret_cast<const void*>(GetProcAddress(dll, name));
        EXPECT_NE(p, nullptr) << name << " is not exported under its undecorated name";
        return p;
    }

    // A new object of the class as IUnknown, made by the module's own factory; every call on
    // the way is measured.
    void* create(const GUID& clsid) {
        void* factory = nullptr;
        const CallOutcome got =
            call_measured(entry("DllGetClassObject"), {word(&clsid), word(&IID_IClassFactory), word(&factory)});
        EXPECT_EQ(got.drift, 0) << "DllGetClassObject";
        EXPECT_EQ(static_cast<HRESULT>(got.result), S_OK);
        if (!factory) return nullptr;
        void* object = nullptr;
        const CallOutcome made =
            call_measured(slot(factory, kCreateInstance), {word(factory), 0u, word(&IID_IUnknown), word(&object)});
        EXPECT_EQ(made.drift, 0) << "IClassFactory::CreateInstance";
        EXPECT_EQ(static_cast<HRESULT>(made.result), S_OK);
        expect_balanced(factory, kRelease, {word(factory)}, "IClassFactory::Release");
        return object;
    }

    void* query(void* object, const IID& iid) {
        void* found = nullptr;
        const CallOutcome got = call_measured(slot(object, kQueryInterface), {word(object), word(&iid), word(&found)});
        EXPECT_EQ(got.drift, 0) << "QueryInterface";
        EXPECT_EQ(static_cast<HRESULT>(got.result), S_OK);
        return found;
    }

    static CallOutcome expect_balanced(void* iface, int index, std::initializer_list<std::uint32_t> words,
                                       const char* what) {
        const CallOutcome got = call_measured(slot(iface, index), words);
        EXPECT_EQ(got.drift, 0) << what << " left the stack " << got.drift << " bytes off";
        return got;
    }

    // The IUnknown and IDispatch members every dual interface carries.
    static void expect_dispatch_balanced(void* iface, const char* what) {
        SCOPED_TRACE(what);
        expect_balanced(iface, kAddRef, {word(iface)}, "AddRef");
        expect_balanced(iface, kRelease, {word(iface)}, "Release");
        UINT count = 7;
        expect_balanced(iface, kGetTypeInfoCount, {word(iface), word(&count)}, "GetTypeInfoCount");
        EXPECT_EQ(count, 1u);
        ITypeInfo* info = nullptr;
        expect_balanced(iface, kGetTypeInfo, {word(iface), 0u, 0u, word(&info)}, "GetTypeInfo");
        ASSERT_NE(info, nullptr);
        info->Release();
        wchar_t name[] = L"NoSuchMember";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        const CallOutcome ids = expect_balanced(
            iface, kGetIDsOfNames, {word(iface), word(&IID_NULL), word(names), 1u, 0u, word(&id)}, "GetIDsOfNames");
        EXPECT_EQ(static_cast<HRESULT>(ids.result), DISP_E_UNKNOWNNAME);
        DISPPARAMS none{};
        const CallOutcome invoked = expect_balanced(
            iface, kInvoke, {word(iface), 0x12345u, word(&IID_NULL), 0u, DISPATCH_METHOD, word(&none), 0u, 0u, 0u},
            "Invoke");
        EXPECT_EQ(static_cast<HRESULT>(invoked.result), DISP_E_MEMBERNOTFOUND);
    }
};

TEST(StackProbe, TellsTheCallersConventionFromTheCallees) {
    const CallOutcome by_c = call_measured(reinterpret_cast<const void*>(&cdecl_sum), {2u, 3u});
    EXPECT_EQ(by_c.result, 5u);
    EXPECT_EQ(by_c.drift, -8) << "a C-convention callee leaves its two arguments behind";
    const CallOutcome by_std = call_measured(reinterpret_cast<const void*>(&stdcall_sum), {2u, 3u});
    EXPECT_EQ(by_std.result, 5u);
    EXPECT_EQ(by_std.drift, 0);
}

TEST_F(ModuleCalls, EntryPointsAreStdcall) {
    const CallOutcome unload = call_measured(entry("DllCanUnloadNow"), {});
    EXPECT_EQ(unload.drift, 0);
    EXPECT_EQ(static_cast<HRESULT>(unload.result), S_OK);
    // Registering and removing again: both write the prefix's registry (the suite's lock holds).
    const CallOutcome registered = call_measured(entry("DllRegisterServer"), {});
    EXPECT_EQ(registered.drift, 0);
    EXPECT_EQ(static_cast<HRESULT>(registered.result), S_OK);
    const CallOutcome removed = call_measured(entry("DllUnregisterServer"), {});
    EXPECT_EQ(removed.drift, 0);
    EXPECT_EQ(static_cast<HRESULT>(removed.result), S_OK);
    void* factory = reinterpret_cast<void*>(1);
    const CallOutcome refused =
        call_measured(entry("DllGetClassObject"), {word(&IID_IUnknown), word(&IID_IClassFactory), word(&factory)});
    EXPECT_EQ(refused.drift, 0);
    EXPECT_EQ(static_cast<HRESULT>(refused.result), CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(ModuleCalls, PluginMembersAreStdcall) {
    void* object = create(plugin::plugin_class().clsid);
    ASSERT_NE(object, nullptr);
    void* header = query(object, com::iid_of<host::IQWHeaderInfo>());
    void* hosted = query(object, com::iid_of<host::IQWHostedPlugin>());
    ASSERT_NE(header, nullptr);
    ASSERT_NE(hosted, nullptr);
    expect_dispatch_balanced(header, "IQWHeaderInfo");
    expect_dispatch_balanced(hosted, "IQWHostedPlugin");

    const char* const header_members[] = {"Caption", "Name", "Description", "Image", "Group"};
    for (int i = 0; i < 5; ++i) {
        com::Bstr text;
        const CallOutcome got =
            expect_balanced(header, kFirstOwn + i, {word(header), word(text.receive())}, header_members[i]);
        EXPECT_EQ(static_cast<HRESULT>(got.result), S_OK) << header_members[i];
        if (i == 0) {
            EXPECT_EQ(text.view(), u"Import Applicant/Student/Faculty/Individual Photos");
        }
    }

    // The lifecycle members, with what a host passes when it has nothing to give: refused, but
    // refused with the arguments taken off the stack.
    expect_balanced(hosted, kFirstOwn + 0, {word(hosted), 0u}, "OnInit");
    expect_balanced(hosted, kFirstOwn + 1, {word(hosted), 0u}, "OnLoad");
    VARIANT_BOOL cancel = VARIANT_TRUE;
    const CallOutcome query_unload =
        expect_balanced(hosted, kFirstOwn + 2, {word(hosted), word(&cancel), static_cast<std::uint16_t>(VARIANT_TRUE)},
                        "OnQueryUnload");
    EXPECT_EQ(static_cast<HRESULT>(query_unload.result), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE) << "the flag stays as the host passed it";
    expect_balanced(hosted, kFirstOwn + 3, {word(hosted)}, "OnClosedown");
    com::Bstr url;
    com::Bstr prog_id;
    expect_balanced(hosted, kFirstOwn + 4, {word(hosted), word(url.receive())}, "URL");
    EXPECT_FALSE(url.view().empty());
    expect_balanced(hosted, kFirstOwn + 5, {word(hosted), word(prog_id.receive())}, "ProgID");
    EXPECT_EQ(prog_id.view(), u"ZNImportPhotos.Nothing");

    for (void* iface : {header, hosted, object}) {
        expect_balanced(iface, kRelease, {word(iface)}, "Release");
    }
}

TEST_F(ModuleCalls, PageMembersAreStdcall) {
    void* object = create(plugin::page_class().clsid);
    ASSERT_NE(object, nullptr);
    void* page = query(object, com::iid_of<page::_docZNImportPhotos>());
    ASSERT_NE(page, nullptr);
    expect_dispatch_balanced(page, "_docZNImportPhotos");

    // Refused before the host has set the page up, but with the arguments taken off the stack.
    com::Bstr line(u"12,Ann Lee,ann.jpg");
    BSTR id = nullptr;
    BSTR name = nullptr;
    BSTR photo = nullptr;
    expect_balanced(page, kFirstOwn + 0, {word(page), word(line.get()), word(&id), word(&name), word(&photo)},
                    "ParseOutIDAndFileName");
    for (BSTR out : {id, name, photo}) {
        const auto owned = com::Bstr::attach(out);
    }
    BSTR picture = nullptr;
    const CallOutcome read = expect_balanced(page, kFirstOwn + 1, {word(page), 0u, word(&picture)}, "getPicture");
    EXPECT_EQ(static_cast<HRESULT>(read.result), E_POINTER);

    // Late bound, as a script host calls it: eight arguments through Invoke.
    wchar_t member[] = L"getPicture";
    LPOLESTR names[] = {member};
    DISPID id_of_picture = 0;
    expect_balanced(page, kGetIDsOfNames, {word(page), word(&IID_NULL), word(names), 1u, 0u, word(&id_of_picture)},
                    "GetIDsOfNames");
    EXPECT_EQ(id_of_picture, 0x60030007);

    for (void* iface : {page, object}) {
        expect_balanced(iface, kRelease, {word(iface)}, "Release");
    }
}

}  // namespace
}  // namespace zn::wine_test
