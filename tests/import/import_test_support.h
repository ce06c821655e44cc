// Helpers for the import tests: scratch files on disk and a reader port that records what
// the reader shows the user.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import/photo_reader.h"
#include "platform/com/com_error.h"
#include "platform/files/file_numbers.h"
#include "support/temp_folder.h"

namespace zn::import::test {

using zn::test::TempFolder;

inline std::string bytes_of(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

inline std::string every_byte_value() {
    std::string s;
    for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
    return s;
}

// Expects the call to throw a ComError with that code and, when given, that description.
template <class F>
void expect_com_error(F&& call, HRESULT code, std::u16string_view description = {}) {
    try {
        call();
        ADD_FAILURE() << "no error raised";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.code(), code);
        if (!description.empty()) {
            EXPECT_TRUE(e.description() == description);
        }
    }
}

// Every test starts and ends with no file open under a number on its thread.
class FileNumberTest : public ::testing::Test {
protected:
    void SetUp() override { close_every_number(); }
    void TearDown() override {
        EXPECT_EQ(files::free_file(), 1) << "a file was left open";
        close_every_number();
    }
    static void close_every_number() noexcept {
        for (int n = 1; n <= files::kMaxFileNumber; ++n) files::close(n);
    }
};

// Records what the reader shows: the busy pointer's changes and each failure's description.
struct RecordingReaderPort : PhotoReaderPort {
    bool busy = false;
    std::vector<bool> busy_changes;
    std::vector<std::u16string> failures;

    void show_busy(bool now) override {
        busy = now;
        busy_changes.push_back(now);
    }
    void report_read_failure(std::u16string_view description) override { failures.emplace_back(description); }
};

}  // namespace zn::import::test
