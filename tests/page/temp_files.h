// A folder of the test's own with files in it, removed afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace zn::page::testing {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("zn-page-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    // Writes a file with these bytes; returns its full path.
    std::u16string write(std::string_view name, std::string_view bytes = "") const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.u16string();
    }
    std::u16string path() const { return path_.u16string(); }
    std::u16string path_of(std::string_view name) const { return (path_ / name).u16string(); }

private:
    std::filesystem::path path_;
};

}  // namespace zn::page::testing
