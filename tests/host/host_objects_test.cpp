// The calls of the host's FileUtilities that the component makes, against the reference host.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "host/host_objects.h"
#include "platform/com/com_error.h"
#include "refhost/components/reference_host.h"
#include "support/temp_folder.h"

namespace zn::host {
namespace {

class FileUtilitiesCalls : public ::testing::Test {
protected:
    refhost::ReferenceHost host;
    com::ComPtr<FileUtilities> utilities = create_host_object<FileUtilities>(CLSID_FileUtilities);
    zn::test::TempFolder folder{"zn-host"};
};

TEST_F(FileUtilitiesCalls, RemoveQuotesAndFileExistsPassWhatTheHostExpects) {
    EXPECT_TRUE(remove_quotes(*utilities.get(), u"\"12\",\"Doe, Jane\",x.jpg") == u"12,Doe, Jane,x.jpg");
    // The line, one double quote, the empty text and a count of 0 (texts quoted as they are).
    EXPECT_TRUE(host.journal().contains(R"(FileUtilities.ReplaceText(""12","Doe, Jane",x.jpg",""","",0))"))
        << host.journal().to_string();

    folder.write(u"p.jpg", "JPEG");
    EXPECT_TRUE(file_exists(*utilities.get(), folder.path_of(u"p.jpg")));
    EXPECT_FALSE(file_exists(*utilities.get(), folder.path_of(u"none.jpg")));
    EXPECT_EQ(host.journal().count("FileUtilities.FileExists"), 2u);
}

// The code and description that the call raised, or nothing when it raised none.
template <class Call>
std::pair<HRESULT, std::u16string> raised_by(Call&& call) {
    try {
        call();
    } catch (const com::ComError& e) {
        return {e.code(), e.description()};
    }
    return {S_OK, u""};
}

TEST_F(FileUtilitiesCalls, AFailureCarriesTheHostsCodeAndDescription) {
    host.config().fail("FileUtilities.ReplaceText", E_FAIL, u"text service down");
    host.config().fail("FileUtilities.FileExists", E_ACCESSDENIED, u"disk gone");
    EXPECT_TRUE(raised_by([&] { remove_quotes(*utilities.get(), u"1,a,b"); }) ==
                std::make_pair(E_FAIL, std::u16string(u"text service down")));
    EXPECT_TRUE(raised_by([&] { file_exists(*utilities.get(), u"p.jpg"); }) ==
                std::make_pair(E_ACCESSDENIED, std::u16string(u"disk gone")));
}

}  // namespace
}  // namespace zn::host
