// The reference host as tests use it: creation by CLSID, what SystemInfo answers, session
// replacement at Init, the shared TextServices, failure injection through error info, the
// journal and the live counts.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "refhost/components/reference_host.h"

namespace zn::refhost {
namespace {

template <class I>
com::ComPtr<I> create(const GUID& clsid) {
    com::ComPtr<I> p;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<I>(), p.put_void()));
    return p;
}

// The description of the calling thread's error info, or none.
std::u16string error_description() {
    com::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return u"(no error info)";
    com::Bstr d;
    info->GetDescription(d.receive());
    return d.str();
}

class ReferenceHostTest : public ::testing::Test {
protected:
    // A SystemInfo bound to a session of its own, as the page binds one.
    com::ComPtr<host::SystemInfo> bound_system_info() {
        auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
        session_ = host.new_session();
        com::check(info->Init(session_.addressof()));
        return info;
    }
    bool ask(host::SystemInfo& info, LONG module) {
        LONG reserved = 0;
        VARIANT_BOOL installed = 1;
        com::check(info.IsSystemInstalled(module, -1, -1, &reserved, &installed));
        EXPECT_EQ(reserved, 0);
        return installed == VARIANT_TRUE;
    }

    ReferenceHost host;
    com::ComPtr<host::SessionContext> session_;
};

TEST_F(ReferenceHostTest, SystemInfoAnswersFromTheInstalledModules) {
    struct Case {
        std::set<LONG> modules;
        bool hm, hv;
    };
    for (const Case& c : {Case{{4096, 8192}, true, true}, Case{{4096}, true, false}, Case{{8192}, false, true},
                          Case{{}, false, false}}) {
        host.config().install_modules(c.modules);
        auto info = bound_system_info();
        EXPECT_EQ(ask(*info.get(), host::kModuleHM), c.hm);
        EXPECT_EQ(ask(*info.get(), host::kModuleHV), c.hv);
        EXPECT_FALSE(ask(*info.get(), 1));  // an unknown module is never installed
    }
}

TEST_F(ReferenceHostTest, ScriptedAnswersComeFirstOneQuestionEach) {
    host.config().install_modules({});
    host.config().script_answers({true, false, true});
    auto info = bound_system_info();
    EXPECT_TRUE(ask(*info.get(), 4096));
    EXPECT_FALSE(ask(*info.get(), 8192));
    EXPECT_TRUE(ask(*info.get(), 8192));
    EXPECT_FALSE(ask(*info.get(), 4096));  // the script is used up: the installed set answers
    const auto asked = host.journal().calls_to("SystemInfo.IsSystemInstalled");
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[1].args, "8192,-1,-1,0");
    EXPECT_EQ(asked[1].outcome, "False");
    EXPECT_EQ(asked[2].outcome, "True");
}

TEST_F(ReferenceHostTest, SystemInfoRefusesQuestionsOutsideInitAndCloseDown) {
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    LONG reserved = 0;
    VARIANT_BOOL installed = VARIANT_FALSE;
    EXPECT_EQ(info->IsSystemInstalled(4096, -1, -1, &reserved, &installed), E_UNEXPECTED);

    com::ComPtr<host::SessionContext> none;
    EXPECT_EQ(info->Init(none.addressof()), com::kObjectNotSet);
    EXPECT_EQ(error_description(), u"Init needs a session context; none was given");
    EXPECT_EQ(info->Init(nullptr), E_POINTER);

    auto session = host.new_session();
    ASSERT_EQ(info->Init(session.addressof()), S_OK);
    EXPECT_EQ(info->IsSystemInstalled(4096, -1, -1, &reserved, &installed), S_OK);
    ASSERT_EQ(info->CloseDown(), S_OK);
    EXPECT_EQ(info->CloseDown(), S_OK);  // a second CloseDown is harmless
    EXPECT_EQ(info->IsSystemInstalled(4096, -1, -1, &reserved, &installed), E_UNEXPECTED);
}

TEST_F(ReferenceHostTest, InitKeepsTheSessionUntilCloseDown) {
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    auto session = host.new_session();
    ASSERT_EQ(info->Init(session.addressof()), S_OK);
    EXPECT_EQ(host.live().of("Session"), (ClassCount{1, 2}));  // ours and SystemInfo's
    ASSERT_EQ(info->CloseDown(), S_OK);
    EXPECT_EQ(host.live().of("Session"), (ClassCount{1, 1}));
}

TEST_F(ReferenceHostTest, InitCanHandBackAnotherSessionAndReleasesTheOneGiven) {
    host.config().replace_context("SystemInfo.Init");
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    auto original = host.new_session();
    com::ComPtr<host::SessionContext> variable = original;  // the caller's variable, which Init may replace
    ASSERT_EQ(info->Init(variable.addressof()), S_OK);

    EXPECT_NE(variable.get(), original.get());
    EXPECT_EQ(host.name_of(original.get()), "Session#1");
    EXPECT_EQ(host.name_of(variable.get()), "Session#2");
    EXPECT_EQ(host.live().of("Session"), (ClassCount{2, 3}));  // #1: ours; #2: the variable and SystemInfo
    EXPECT_TRUE(host.journal().contains("SystemInfo.Init(Session#1)"));
    EXPECT_EQ(host.journal().calls_to("SystemInfo.Init")[0].outcome, "Session#2");

    info = nullptr;
    variable = nullptr;
    original = nullptr;
    EXPECT_EQ(host.live().objects(), 0);
}

TEST_F(ReferenceHostTest, TheApplicationHandsOutOneProviderAndOneSession) {
    auto app = host.application();
    com::ComPtr<host::ServiceProvider> p1, p2;
    ASSERT_EQ(app->get_Services(p1.put()), S_OK);
    ASSERT_EQ(app->get_Services(p2.put()), S_OK);
    EXPECT_EQ(p1.get(), p2.get());
    com::ComPtr<IDispatch> s1, s2;
    ASSERT_EQ(p1->get_Session(s1.put()), S_OK);
    ASSERT_EQ(p1->get_Session(s2.put()), S_OK);
    EXPECT_TRUE(com::same_object(s1.get(), s2.get()));
    EXPECT_TRUE(s1.try_as<host::SessionContext>());
    EXPECT_EQ(app->get_Services(nullptr), E_POINTER);
}

TEST_F(ReferenceHostTest, ASessionCanBeMadeToLackSessionContext) {
    host.config().session_offers_context = false;
    auto app = host.application();
    com::ComPtr<host::ServiceProvider> provider;
    ASSERT_EQ(app->get_Services(provider.put()), S_OK);
    com::ComPtr<IDispatch> session;
    ASSERT_EQ(provider->get_Session(session.put()), S_OK);
    EXPECT_FALSE(session.try_as<host::SessionContext>());
    EXPECT_TRUE(session.try_as<IDispatch>());
}

TEST_F(ReferenceHostTest, TextServicesIsOneInstancePerThread) {
    auto first = create<host::TextServices>(host::CLSID_TextServices);
    auto second = create<host::TextServices>(host::CLSID_TextServices);
    EXPECT_EQ(first.get(), second.get());

    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(host::CLSID_TextServices, CLSCTX_INPROC_SERVER, nullptr, com::iid_of<IClassFactory>(),
                               factory.put_void()),
              S_OK);
    com::ComPtr<host::TextServices> other_thread;
    std::thread([&] {
        factory->CreateInstance(nullptr, com::iid_of<host::TextServices>(), other_thread.put_void());
    }).join();
    ASSERT_TRUE(other_thread);
    EXPECT_NE(other_thread.get(), first.get());
}

TEST_F(ReferenceHostTest, TextServicesReturnsTheTextAndRecordsTheArgumentCount) {
    auto text = create<host::TextServices>(host::CLSID_TextServices);
    const com::Bstr input(u"Line one");
    {
        com::SafeArray empty = com::SafeArray::of_variants(0);
        com::Bstr out;
        ASSERT_EQ(text->PrepareText(input.get(), empty.addressof(), out.receive()), S_OK);
        EXPECT_EQ(out.view(), u"Line one");
    }
    host.config().prepared_text_prefix = u"> ";
    {
        com::SafeArray two = com::SafeArray::of_variants(2);
        com::Bstr out;
        ASSERT_EQ(text->PrepareText(input.get(), two.addressof(), out.receive()), S_OK);
        EXPECT_EQ(out.view(), u"> Line one");
    }
    EXPECT_EQ(host.journal().calls(), (std::vector<std::string>{R"(TextServices.PrepareText("Line one",0))",
                                                                R"(TextServices.PrepareText("Line one",2))"}));
}

TEST_F(ReferenceHostTest, SharedTextServicesOutlivesAHostAndJournalsIntoTheNextOne) {
    auto text = create<host::TextServices>(host::CLSID_TextServices);
    const com::Bstr input(u"x");
    com::SafeArray none = com::SafeArray::of_variants(0);
    com::Bstr out;
    ASSERT_EQ(text->PrepareText(input.get(), none.addressof(), out.receive()), S_OK);
    EXPECT_EQ(host.journal().count("TextServices.PrepareText"), 1u);
    EXPECT_GE(host.live().of("TextServices").references, 1);
    EXPECT_EQ(host.live().objects(), 0);  // the shared instance is not counted as left over
}

TEST_F(ReferenceHostTest, AnInjectedFailureCarriesItsDescriptionThroughErrorInfo) {
    host.config().fail("FileUtilities.FileExists", E_ACCESSDENIED, u"The share is offline");
    auto files = create<host::FileUtilities>(host::CLSID_FileUtilities);
    const com::Bstr path(u"C:\\x");
    VARIANT_BOOL exists = 5;
    EXPECT_EQ(files->FileExists(path.get(), &exists), E_ACCESSDENIED);
    EXPECT_EQ(exists, 5);  // the out value is left alone on failure
    EXPECT_EQ(error_description(), u"The share is offline");

    // As the component sees it: check() raises the host's code with the host's description.
    try {
        com::check(files->FileExists(path.get(), &exists));
        FAIL() << "no error raised";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.code(), E_ACCESSDENIED);
        EXPECT_EQ(e.description(), u"The share is offline");
    }
    const auto calls = host.journal().calls_to("FileUtilities.FileExists");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text(), R"(FileUtilities.FileExists("C:\x"))");
    EXPECT_EQ(calls[0].outcome, "failed 0x80070005");
}

TEST_F(ReferenceHostTest, AFailureCanSkipCallsAndStopAfterSomeTimes) {
    host.config().install_modules({4096});
    host.config().fail("SystemInfo.IsSystemInstalled", E_FAIL, u"lost", /*skip=*/2, /*times=*/1);
    auto info = bound_system_info();
    LONG reserved = 0;
    VARIANT_BOOL installed = VARIANT_FALSE;
    std::vector<HRESULT> results;
    for (int i = 0; i < 4; ++i) results.push_back(info->IsSystemInstalled(4096, -1, -1, &reserved, &installed));
    EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, S_OK, E_FAIL, S_OK}));
}

TEST_F(ReferenceHostTest, CreationCanBeMadeToFail) {
    host.config().fail("FileUtilities.Create", com::kPermissionDenied, u"No licence for FileUtilities");
    com::ComPtr<host::FileUtilities> files;
    EXPECT_EQ(CoCreateInstance(host::CLSID_FileUtilities, nullptr, CLSCTX_INPROC_SERVER,
                               com::iid_of<host::FileUtilities>(), files.put_void()),
              com::kPermissionDenied);
    EXPECT_FALSE(files);
    EXPECT_EQ(error_description(), u"No licence for FileUtilities");
    EXPECT_TRUE(host.journal().contains("FileUtilities.Create()"));
    EXPECT_EQ(host.journal().created("FileUtilities"), 0u);
    EXPECT_EQ(host.live().objects(), 0);
}

TEST_F(ReferenceHostTest, AFailureInTheApplicationChainReachesTheCaller) {
    host.config().fail("ServiceProvider.Session", E_UNEXPECTED, u"Not logged in");
    auto app = host.application();
    com::ComPtr<host::ServiceProvider> provider;
    ASSERT_EQ(app->get_Services(provider.put()), S_OK);
    com::ComPtr<IDispatch> session;
    EXPECT_EQ(provider->get_Session(session.put()), E_UNEXPECTED);
    EXPECT_FALSE(session);
    EXPECT_EQ(error_description(), u"Not logged in");
    host.config().clear_failures();
    EXPECT_EQ(provider->get_Session(session.put()), S_OK);
}

TEST_F(ReferenceHostTest, LiveCountsFollowEveryReference) {
    EXPECT_EQ(host.live().objects(), 0);
    auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
    auto files = create<host::FileUtilities>(host::CLSID_FileUtilities);
    com::ComPtr<host::FileUtilities> files_again = files;
    LiveCounts live = host.live();
    EXPECT_EQ(live.of("SystemInfo"), (ClassCount{1, 1}));
    EXPECT_EQ(live.of("FileUtilities"), (ClassCount{1, 2}));
    EXPECT_EQ(live.objects(), 2);
    EXPECT_EQ(live.references(), 3);

    files = nullptr;
    EXPECT_EQ(host.live().of("FileUtilities"), (ClassCount{1, 1}));
    files_again = nullptr;
    info = nullptr;
    EXPECT_EQ(host.live().objects(), 0);
    EXPECT_EQ(host.live().references(), 0);
    EXPECT_EQ(host.journal().released("FileUtilities"), 1u);
    EXPECT_EQ(host.journal().released("SystemInfo"), 1u);
}

TEST_F(ReferenceHostTest, TheApplicationChainIsReleasedWithTheApplication) {
    auto app = host.application();
    EXPECT_EQ(host.live().objects(), 3);  // application, service provider, session
    com::ComPtr<host::ServiceProvider> provider;
    ASSERT_EQ(app->get_Services(provider.put()), S_OK);
    app = nullptr;
    EXPECT_EQ(host.live().of("ServiceProvider"), (ClassCount{1, 1}));  // only ours now
    provider = nullptr;
    EXPECT_EQ(host.live().objects(), 0);
    EXPECT_EQ(host.journal().released("Session"), 1u);
}

TEST_F(ReferenceHostTest, TheJournalRecordsCreationCallsAndReleaseInOrder) {
    {
        auto info = create<host::SystemInfo>(host::CLSID_SystemInfo);
        auto session = host.new_session();
        com::check(info->Init(session.addressof()));
        com::check(info->CloseDown());
    }
    std::vector<std::string> texts;
    for (const auto& e : host.journal().entries()) texts.push_back(e.text());
    EXPECT_EQ(texts,
              (std::vector<std::string>{"created SystemInfo#1", "created Session#1", "SystemInfo.Init(Session#1)",
                                        "SystemInfo.CloseDown()", "released Session#1", "released SystemInfo#1"}));
    host.clear_journal();
    EXPECT_TRUE(host.journal().entries().empty());
    auto again = create<host::SystemInfo>(host::CLSID_SystemInfo);
    EXPECT_TRUE(host.journal().contains("created SystemInfo#2"));  // numbering goes on after a clear
}

TEST(ReferenceHostLife, OnlyOneHostAtATimeAndItsClassesGoWithIt) {
    {
        ReferenceHost host;
        EXPECT_THROW(ReferenceHost(), std::logic_error);
    }
    com::ComPtr<host::SystemInfo> info;
    EXPECT_TRUE(FAILED(CoCreateInstance(host::CLSID_SystemInfo, nullptr, CLSCTX_INPROC_SERVER,
                                        com::iid_of<host::SystemInfo>(), info.put_void())));
    ReferenceHost next;  // a new host can start once the last one is gone
    EXPECT_NO_THROW(info = create<host::SystemInfo>(host::CLSID_SystemInfo));
}

TEST(ReferenceHostLife, AnObjectThatOutlivesItsHostStillWorks) {
    com::ComPtr<host::FileUtilities> files;
    {
        ReferenceHost host;
        files = create<host::FileUtilities>(host::CLSID_FileUtilities);
    }
    const com::Bstr path(u"a\\b");
    com::Bstr part;
    ASSERT_EQ(files->GetPathPart(path.get(), 0, part.receive()), S_OK);
    EXPECT_EQ(part.view(), u"b");
}

}  // namespace
}  // namespace zn::refhost
