// GetClassFile's answers for files that name no class: the same from the COM stand-ins as
// from the system (this test runs against both), with no file extension registered.
#include <gtest/gtest.h>

#include "platform/com/com.h"
#include "support/temp_folder.h"

namespace zn::com {
namespace {

HRESULT class_file(const std::filesystem::path& path) {
    const std::u16string text = path.u16string();
    CLSID clsid{};
    return GetClassFile(ole(text.c_str()), &clsid);
}

TEST(ClassFile, AMissingFileOrOneThatIsNotACompoundFileHasAnInvalidExtension) {
    const test::TempFolder dir("zn-class-file");
    dir.write("text.zn-unregistered", "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n");
    dir.write("empty.zn-unregistered", "");
    EXPECT_EQ(class_file(dir / "missing.zn-unregistered"), MK_E_INVALIDEXTENSION);
    EXPECT_EQ(class_file(dir / "text.zn-unregistered"), MK_E_INVALIDEXTENSION);
    EXPECT_EQ(class_file(dir / "empty.zn-unregistered"), MK_E_INVALIDEXTENSION);
}

}  // namespace
}  // namespace zn::com
