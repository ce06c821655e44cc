// Every test program runs in a single-threaded apartment, as the host's UI thread does.
#include <gtest/gtest.h>

#include "platform/com/com.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
