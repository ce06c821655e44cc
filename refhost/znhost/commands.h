// znhost's commands. Each returns the process exit code: 0 success, 1 failure, 2 wrong usage.
#pragma once

#include <span>
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

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace zn::refhost
