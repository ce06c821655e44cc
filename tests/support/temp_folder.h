// A fresh folder of a test's own below the system's temporary folder, removed with everything
// in it afterwards. Test programs run side by side, so the name holds the process and a serial.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace zn::test {

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "zn-test") {
        static std::atomic<int> serial{0};
#ifdef _WIN32
        const int process = _getpid();
#else
        const int process = static_cast<int>(::getpid());
#endif
        path_ = std::filesystem::temp_directory_path() /
                (std::string(prefix) + "-" + std::to_string(process) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const {
        return path_;
    }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }
    // A file's full path as component text.
    std::u16string path_of(const std::filesystem::path& name) const {
        return (path_ / name).u16string();
    }

    // Writes the bytes to a file of that name in the folder; returns its full path.
    std::u16string write(const std::filesystem::path& name, std::string_view bytes = "") const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        EXPECT_TRUE(out) << "could not write " << file;
        return file.u16string();
    }

private:
    std::filesystem::path path_;
};

}  // namespace zn::test
