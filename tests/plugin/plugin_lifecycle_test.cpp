// The plug-in object driven through its lifecycle against the reference host: what it holds,
// what it releases, and what each failure leaves behind.
#include <gtest/gtest.h>

#include "host/plugin_interfaces.h"
#include "page/page_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/ui/backend.h"
#include "plugin/import_photo_plugin.h"
#include "refhost/components/reference_host.h"
#include "refhost/driver/driver.h"

namespace {

using zn::com::Bstr;
using zn::com::ComPtr;
using zn::host::IQWHostedPlugin;

class PluginLifecycle : public ::testing::Test {
protected:
    std::u16string prog_id() {
        Bstr value;
        EXPECT_EQ(plugin->get_ProgID(value.receive()), S_OK);
        return value.str();
    }
    // A page as the host's document container creates it.
    ComPtr<IDispatch> new_page() { return zn::page::create_import_page().as<IDispatch>(); }
    std::vector<std::string> init_sessions() {
        std::vector<std::string> sessions;
        for (const auto& e : host.journal().calls_to("SystemInfo.Init")) sessions.push_back(e.args);
        return sessions;
    }

    zn::ui::headless::HeadlessBackend backend;
    zn::ui::ScopedBackend scope{backend};
    zn::refhost::Driver driver{backend};
    zn::refhost::ReferenceHost host;
    ComPtr<zn::host::HostApplication> app = host.application();
    ComPtr<IQWHostedPlugin> plugin = zn::plugin::create_import_photo_plugin().as<IQWHostedPlugin>();
};

TEST_F(PluginLifecycle, LoadsThePageWithTheSessionAndReleasesEverythingAtClosedown) {
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    EXPECT_EQ(host.journal().count("HostApplication.Services"), 1u);
    EXPECT_EQ(host.journal().count("ServiceProvider.Session"), 1u);
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.Nothing");

    ASSERT_EQ(plugin->OnLoad(new_page().get()), S_OK);
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.docZNImportPhotos");
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.docZNImportPhotos") << "reading ProgID leaves the page as it was";
    EXPECT_EQ(driver.entries(u"cboRecordType").size(), 4u);
    EXPECT_EQ(init_sessions(), std::vector<std::string>{"Session#1"});

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(plugin->OnQueryUnload(&cancel, VARIANT_TRUE), S_OK);
    EXPECT_EQ(plugin->OnClosedown(), S_OK);
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.Nothing");
    EXPECT_EQ(plugin->OnClosedown(), S_OK) << "a second closedown does nothing";

    // What is still alive is only what the test itself holds: the application with its provider
    // and session. ReleasePage called nothing on the FileUtilities it dropped.
    EXPECT_EQ(host.live().of("FileUtilities").objects, 0) << host.live().to_string();
    EXPECT_EQ(host.live().of("SystemInfo").objects, 0) << host.live().to_string();
    EXPECT_EQ(host.journal().count("FileUtilities.CloseDown"), 0u);
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(PluginLifecycle, ClosedownWhileTheHostStillHoldsThePageLeavesItAliveWithoutHostObjects) {
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    const ComPtr<IDispatch> held = new_page();  // the host's document container keeps its page
    ASSERT_EQ(plugin->OnLoad(held.get()), S_OK);
    ASSERT_EQ(plugin->OnClosedown(), S_OK);
    // The page let go of the session and FileUtilities although it lives on, and its own
    // members still answer.
    EXPECT_EQ(host.live().of("FileUtilities").objects, 0) << host.live().to_string();
    EXPECT_EQ(host.journal().count("FileUtilities.CloseDown"), 0u);
    const auto internal = held.as<zn::page::ImportPageInternal>();
    EXPECT_EQ(internal->RecordType(), u"Applicant");
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << "only the page is left, holding nothing of the host: "
                                        << host.live().to_string();
}

TEST_F(PluginLifecycle, ASecondInitReplacesTheFirstContext) {
    auto other_app = host.application();
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    ASSERT_EQ(plugin->OnInit(other_app.get()), S_OK);
    ASSERT_EQ(plugin->OnLoad(new_page().get()), S_OK);
    EXPECT_EQ(init_sessions(), std::vector<std::string>{"Session#2"});
    // The first session is held by nobody but its application now.
    const long held_before = host.live().of("Session").references;
    other_app = nullptr;
    app = nullptr;
    EXPECT_GT(host.live().of("Session").objects, 0) << "the plug-in and page still hold the second session";
    EXPECT_LT(host.live().of("Session").references, held_before);
    ASSERT_EQ(plugin->OnClosedown(), S_OK);
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(PluginLifecycle, AFailedInitStoresNothingAndKeepsTheContextHeldBefore) {
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    auto other_app = host.application();

    host.config().fail("ServiceProvider.Session", E_FAIL, u"session store offline", 0, 1);
    EXPECT_EQ(plugin->OnInit(other_app.get()), E_FAIL);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    Bstr description;
    ASSERT_EQ(info->GetDescription(description.receive()), S_OK);
    EXPECT_EQ(description.str(), u"session store offline") << "the host's own description reaches the host";

    host.config().fail("HostApplication.Services", E_ACCESSDENIED, {}, 0, 1);
    EXPECT_EQ(plugin->OnInit(other_app.get()), E_ACCESSDENIED);

    ASSERT_EQ(plugin->OnLoad(new_page().get()), S_OK);
    EXPECT_EQ(init_sessions(), std::vector<std::string>{"Session#1"});
    ASSERT_EQ(plugin->OnClosedown(), S_OK);
}

TEST_F(PluginLifecycle, ASessionWithoutTheContextInterfaceIsATypeMismatch) {
    host.config().session_offers_context = false;
    auto bare_app = host.application();
    EXPECT_EQ(plugin->OnInit(bare_app.get()), zn::com::kTypeMismatch);
    bare_app = nullptr;
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << "the temporaries of a failed OnInit are released";
}

TEST_F(PluginLifecycle, APageThatFailsItsSetUpIsReturnedToTheHostAndStaysHeld) {
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    host.config().fail("SystemInfo.IsSystemInstalled", E_FAIL, u"modules unreadable", 2);
    EXPECT_EQ(plugin->OnLoad(new_page().get()), E_FAIL);
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.docZNImportPhotos");
    // The page offered what it had added before the failure.
    EXPECT_EQ(driver.entries(u"cboRecordType"), (std::vector<std::u16string>{u"Applicant", u"Student"}));
    ASSERT_EQ(plugin->OnClosedown(), S_OK);
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(PluginLifecycle, LoadWithoutInitHandsThePageAnEmptyContext) {
    const HRESULT hr = plugin->OnLoad(new_page().get());
    // Whatever the host's Init makes of an empty context, the page is held and nothing leaks.
    EXPECT_EQ(prog_id(), u"ZNImportPhotos.docZNImportPhotos");
    EXPECT_EQ(init_sessions(), std::vector<std::string>{"Nothing"}) << "hr " << hr;
    ASSERT_EQ(plugin->OnClosedown(), S_OK);
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

TEST_F(PluginLifecycle, ReleasingThePluginWithoutClosedownReleasesWhatItHolds) {
    ASSERT_EQ(plugin->OnInit(app.get()), S_OK);
    ASSERT_EQ(plugin->OnLoad(new_page().get()), S_OK);
    plugin = nullptr;
    app = nullptr;
    EXPECT_EQ(host.live().objects(), 0) << host.live().to_string();
}

}  // namespace
