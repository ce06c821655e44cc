// znhost's commands. Each returns the process exit code: 0 success, 1 failure, 2 wrong usage;
// import and photo have codes of their own (below).
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace zn::refhost {

struct Command {
    std::string_view name;
    std::string_view usage;  // arguments after the name
    std::string_view help;   // what it does, one paragraph
    int (*run)(std::span<const std::string_view> args);
};

std::span<const Command> commands();

int run_register(std::span<const std::string_view> args);
int run_unregister(std::span<const std::string_view> args);
int run_lifecycle(std::span<const std::string_view> args);
int run_init(std::span<const std::string_view> args);
int run_add(std::span<const std::string_view> args);
int run_list(std::span<const std::string_view> args);
int run_photo(std::span<const std::string_view> args);
int run_import(std::span<const std::string_view> args);
int run_demo(std::span<const std::string_view> args);
#ifdef _WIN32
int run_gui(std::span<const std::string_view> args);
#endif

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// import: 0 when the page reported success, 1 when a prompt was cancelled, 2 for any other end.
inline constexpr int kExitImportCancelled = 1;
inline constexpr int kExitImportFailed = 2;
// photo: the record has no stored photo.
inline constexpr int kExitNoPhoto = 3;

// A path given on the command line (UTF-8).
inline std::filesystem::path path_from_utf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace zn::refhost
