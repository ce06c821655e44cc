// Timing for the benchmarks: the best of several runs, so that a busy machine disturbs the
// ratio as little as it can.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace zn::bench {

// Seconds taken by the fastest of `runs` calls of f.
template <class F>
double best_seconds(int runs, F&& f) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

// A folder of the benchmark's own, removed at the end.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A file of n pseudo-random bytes (every byte value occurs).
inline void write_random_file(const std::filesystem::path& path, std::size_t n, unsigned seed = 1) {
    std::vector<char> bytes(n);
    std::mt19937 rng(seed);
    for (auto& b : bytes) b = static_cast<char>(rng() & 0xFF);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(n));
}

// A line "name: value unit (ratio x against baseline)"; exits non-zero when a target is missed.
inline void report_ratio(const char* what, double ratio, double target, bool higher_is_better) {
    const bool met = higher_is_better ? ratio >= target : ratio <= target;
    std::printf("%-58s ratio %.2f (target %s %.2f) %s\n", what, ratio, higher_is_better ? ">=" : "<=", target,
                met ? "met" : "MISSED");
}

}  // namespace zn::bench
