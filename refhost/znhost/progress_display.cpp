#include "refhost/znhost/progress_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zn::refhost {

std::string ProgressDisplay::render(float value, float max, int width) {
    const double fraction = max > 0 && std::isfinite(value) ? std::clamp(double(value) / double(max), 0.0, 1.0) : 0.0;
    const int done = static_cast<int>(std::floor(fraction * width));
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "] %3d%%  %.0f/%.0f lines", static_cast<int>(std::floor(fraction * 100)),
                  std::isfinite(value) ? double(value) : 0.0, std::isfinite(max) ? double(max) : 0.0);
    return "[" + std::string(static_cast<std::size_t>(done), '#') +
           std::string(static_cast<std::size_t>(width - done), '.') + numbers;
}

void ProgressDisplay::update(float value, float max) {
    const std::string text = render(value, max);
    if (shown_ && text == last_) return;
    std::fprintf(stderr, "\r%s", text.c_str());
    std::fflush(stderr);
    last_ = text;
    shown_ = true;
}

void ProgressDisplay::clear() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%s\r", std::string(last_.size(), ' ').c_str());
    std::fflush(stderr);
    shown_ = false;
    last_.clear();
}

}  // namespace zn::refhost
