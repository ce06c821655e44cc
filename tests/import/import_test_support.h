// Helpers for the import tests: scratch files on disk and a UI backend that records what
// the code under test asks of the user interface.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/files/file_numbers.h"
#include "platform/ui/backend.h"

namespace zn::import::test {

// A fresh folder per test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                // Test programs run side by side: the name must differ between processes too.
                ("zn_import_test_" + std::to_string(std::random_device{}()) + "_" + std::to_string(serial++) + "_" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    // Writes the bytes to a file of that name in the folder; returns its path as component text.
    std::u16string write(std::u16string_view name, std::string_view bytes) const {
        const auto file = path_ / std::filesystem::path(std::u16string(name));
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        EXPECT_TRUE(out) << "could not write " << file;
        return file.u16string();
    }
    std::u16string path_of(std::u16string_view name) const {
        return (path_ / std::filesystem::path(std::u16string(name))).u16string();
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

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
    void SetUp() override { files::close_all(); }
    void TearDown() override {
        EXPECT_EQ(files::free_file(), 1) << "a file was left open";
        files::close_all();
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
