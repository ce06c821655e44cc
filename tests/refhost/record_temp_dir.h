// A folder of the test's own for database files, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#define ZN_TEST_PID _getpid()
#else
#include <unistd.h>
#define ZN_TEST_PID ::getpid()
#endif

namespace zn::test {

class RecordTempDir {
public:
    RecordTempDir() {
        static std::atomic<int> counter{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("zn-records-" + std::to_string(ZN_TEST_PID) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~RecordTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    RecordTempDir(const RecordTempDir&) = delete;
    RecordTempDir& operator=(const RecordTempDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

private:
    std::filesystem::path dir_;
};

}  // namespace zn::test
