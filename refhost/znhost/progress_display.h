// The import's progress as a bar on one line of standard error, redrawn in place; for a
// terminal only (a log would fill with carriage returns).
#pragma once

#include <string>

namespace zn::refhost {

class ProgressDisplay {
public:
    // Draws "[#####.....]  50%  10/20 lines"; value and max as the page's progress bar holds
    // them. An empty or reversed range shows nothing done.
    void update(float value, float max);
    // Wipes the bar's line so that other output starts on a clean line.
    void clear();

    // The bar's text for these values, width characters between the brackets.
    static std::string render(float value, float max, int width = 30);

private:
    bool shown_ = false;
    std::string last_;
};

}  // namespace zn::refhost
