// The page as the component module serves it: created through its class factory in a program
// that carries its own copy of the UI layer, it builds its controls with the program's backend
// and its message boxes reach the program's transcript.
#include <gtest/gtest.h>

#include <filesystem>

#include "page_fixture.h"
#include "platform/com/registry.h"
#include "platform/text/utf.h"
#include "support/temp_registry.h"

namespace zn::page::testing {
namespace {

constexpr CLSID kPageClass = com::make_guid("{A82C5EAB-C419-49F5-8AD9-5C35F03EE080}");

class ModulePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string module = ZN_MODULE_PATH;
        if (module.empty() || !std::filesystem::exists(module)) GTEST_SKIP() << "the component module is not built";
        com::registry::set_value(u"CLSID\\" + com::format_guid(kPageClass) + u"\\InprocServer32", u"",
                                 text::from_utf8(module));
        host.config().prepared_text_prefix = kPrepared;
    }

    test::TempRegistry registry_;
    refhost::ReferenceHost host;
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    refhost::Driver driver{backend};
};

TEST_F(ModulePageTest, ThePageOfTheModuleIsDrivenThroughTheProgramsBackend) {
    com::ComPtr<IUnknown> page;
    ASSERT_EQ(CoCreateInstance(kPageClass, nullptr, CLSCTX_INPROC_SERVER, com::iid_of<IUnknown>(), page.put_void()),
              S_OK);
    ASSERT_EQ(backend.control_sets().size(), 1u) << "the module built its controls elsewhere";

    auto session = host.new_session();
    const auto internal = page.as<ImportPageInternal>();
    internal->InitializePage(session);
    EXPECT_EQ(driver.entries(u"cboRecordType").size(), 4u);
    driver.choose(u"cboRecordType", u"Student");
    EXPECT_EQ(internal->RecordType(), u"Student");
    EXPECT_EQ(driver.caption(u"Label2"), std::u16string(kPrepared) + instructions_for(u"Student"));

    driver.type(u"se_ImportFileName", u"no such file.csv");
    driver.click(u"Command1");
    ASSERT_EQ(driver.transcript().size(), 1u);
    EXPECT_EQ(driver.transcript()[0].prompt, u"Invalid Import File");

    internal->ReleasePage();
    page = nullptr;
    EXPECT_EQ(backend.control_sets().size(), 1u);  // our reference through internal keeps it
}

}  // namespace
}  // namespace zn::page::testing
