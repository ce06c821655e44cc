// What every fuzz target needs: a broken invariant ends the process with its name, and each
// process has a scratch path of its own.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace zn::fuzz {

[[noreturn]] inline void fail(std::string_view what) {
    std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

inline int process_id() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

const std::filesystem::path& scratch_path();

inline void remove_scratch_path() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_path(), ignored);
}

// "zn-fuzz-<pid>" below the temporary folder (runs go side by side), a file or a folder as the
// target makes it, removed at exit: the removal is registered after the path exists, so it runs
// before the path is destroyed.
inline const std::filesystem::path& scratch_path() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("zn-fuzz-" + std::to_string(process_id()));
    [[maybe_unused]] static const int registered = std::atexit(remove_scratch_path);
    return path;
}

}  // namespace zn::fuzz
