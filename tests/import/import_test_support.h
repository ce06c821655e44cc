// Helpers for the import tests: scratch files on disk and a UI backend that records what
// the code under test asks of the user interface.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/files/file_numbers.h"
#include "platform/ui/backend.h"
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

// Records message boxes and mouse-pointer changes; answers every box with OK.
class RecordingBackend final : public ui::Backend {
public:
    std::vector<ui::MessageBoxRequest> boxes;
    std::vector<ui::MousePointer> pointer_changes;

    std::unique_ptr<ui::ControlSet> create_controls(const ui::PageLayout&) override { return nullptr; }
    ui::Answer message_box(const ui::MessageBoxRequest& request) override {
        boxes.push_back(request);
        return ui::Answer::Ok;
    }
    void set_mouse_pointer(ui::MousePointer pointer) override {
        pointer_ = pointer;
        pointer_changes.push_back(pointer);
    }
    ui::MousePointer mouse_pointer() const override { return pointer_; }
    void do_events() override {}
    std::u16string current_directory() override { return {}; }

private:
    ui::MousePointer pointer_ = ui::MousePointer::Default;
};

}  // namespace zn::import::test
