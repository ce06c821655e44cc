// A photo that another program holds open without sharing it: the reader cannot open it and says
// so, as a failed read, which the run never takes for a missing or an empty photo.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "import_test_support.h"

namespace zn::import {
namespace {

using test::FileNumberTest;
using test::RecordingReaderPort;
using test::TempFolder;

class LockedPhoto : public FileNumberTest {
protected:
    TempFolder folder;
    RecordingReaderPort port;
};

TEST_F(LockedPhoto, IsAReadFailureNotAMissingOrEmptyPhoto) {
    const std::u16string photo = folder.write(u"locked.jpg", "photo");
    const std::wstring name(photo.begin(), photo.end());
    // Share mode 0: no other handle may open the file while this one is open, as an editor that
    // holds the photo does. Sharing is checked per handle, so one of this process counts.
    HANDLE lock = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE) << GetLastError();
    const PhotoReadResult locked = read_photo(
        photo, [](std::u16string_view) { return true; }, port);
    CloseHandle(lock);
    EXPECT_TRUE(locked.failed);
    EXPECT_FALSE(locked.missing);
    EXPECT_TRUE(locked.value.empty());
    EXPECT_EQ(port.failures, std::vector<std::u16string>{u"Permission denied"});
    // Once the other program lets go, the same photo reads.
    EXPECT_TRUE(read_photo(
                    photo, [](std::u16string_view) { return true; }, port)
                    .value.view() == u"photo");
}

}  // namespace
}  // namespace zn::import
