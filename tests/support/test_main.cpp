// Every test program runs in a single-threaded apartment, as the host's UI thread does.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/com/com.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    // CTest runs each test through a filter: one that selects nothing must not pass as a success.
    if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "no test matches the filter: nothing ran\n");
        rc = 1;
    }
    return rc;
}
