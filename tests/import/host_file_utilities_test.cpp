// The parser and the photo reader with the reference host's FileUtilities behind them.
#include <gtest/gtest.h>

#include <string>

#include "host/host_interfaces.h"
#include "import/host_file_utilities.h"
#include "import/line_parser.h"
#include "import/photo_reader.h"
#include "import_test_support.h"
#include "platform/com/com_error.h"
#include "refhost/components/reference_host.h"

namespace zn::import {
namespace {

using test::expect_com_error;
using test::FileNumberTest;
using test::RecordingBackend;
using test::TempFolder;

class WithHost : public FileNumberTest {
protected:
    refhost::ReferenceHost host;
    com::ComPtr<host::FileUtilities> utilities = create();
    RecordingBackend backend;
    ui::ScopedBackend installed{backend};
    TempFolder folder;

    static com::ComPtr<host::FileUtilities> create() {
        com::ComPtr<host::FileUtilities> fu;
        com::check(CoCreateInstance(host::CLSID_FileUtilities, nullptr, CLSCTX_INPROC_SERVER,
                                    com::iid_of<host::FileUtilities>(), fu.put_void()));
        return fu;
    }
};

TEST_F(WithHost, TheParserAsksReplaceTextOncePerLine) {
    std::u16string id, name, photo;
    ParseOutIDAndFileName(u"\"12\",\"Doe, Jane\",x.jpg", remove_quotes_with(utilities), id, name, photo);
    EXPECT_TRUE(id == u"12" && name == u"Doe" && photo == u" Jane,x.jpg");
    ASSERT_EQ(host.journal().count("FileUtilities.ReplaceText"), 1u);
    // The line, one double quote, the empty text and a count of 0 (texts quoted as they are).
    EXPECT_TRUE(host.journal().contains(R"(FileUtilities.ReplaceText(""12","Doe, Jane",x.jpg",""","",0))"))
        << host.journal().to_string();
}

TEST_F(WithHost, AReplaceTextFailureReachesTheParsersCaller) {
    host.config().fail("FileUtilities.ReplaceText", E_FAIL, u"text service down");
    std::u16string id = u"kept", name, photo;
    expect_com_error([&] { ParseOutIDAndFileName(u"1,a,b", remove_quotes_with(utilities), id, name, photo); }, E_FAIL,
                     u"text service down");
    EXPECT_TRUE(id == u"kept");
}

TEST_F(WithHost, ThePhotoReaderAsksFileExistsFirst) {
    const std::u16string photo = folder.write(u"p.jpg", "JPEG");
    const PhotoReadResult found = read_photo(photo, file_exists_with(utilities));
    EXPECT_TRUE(found.value.view() == u"JPEG");
    const PhotoReadResult missing = read_photo(folder.path_of(u"none.jpg"), file_exists_with(utilities));
    EXPECT_TRUE(missing.value.empty());
    EXPECT_FALSE(missing.failed);
    EXPECT_EQ(host.journal().count("FileUtilities.FileExists"), 2u);
    EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(WithHost, AFileExistsFailureIsShownWithTheHostsDescription) {
    host.config().fail("FileUtilities.FileExists", E_FAIL, u"disk gone");
    const PhotoReadResult result = read_photo(folder.write(u"p.jpg", "JPEG"), file_exists_with(utilities));
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.value.empty());
    ASSERT_EQ(backend.boxes.size(), 1u);
    EXPECT_TRUE(backend.boxes[0].prompt == u"disk gone");
}

}  // namespace
}  // namespace zn::import
