#include "refhost/components/live_counts.h"

namespace zn::refhost {

ClassCount LiveCounts::of(std::string_view cls) const {
    const auto it = by_class.find(cls);
    return it == by_class.end() ? ClassCount{} : it->second;
}

int LiveCounts::objects() const {
    int n = 0;
    for (const auto& [cls, c] : by_class)
        if (cls != kSharedClass) n += c.objects;
    return n;
}

long LiveCounts::references() const {
    long n = 0;
    for (const auto& [cls, c] : by_class)
        if (cls != kSharedClass) n += c.references;
    return n;
}

std::string LiveCounts::to_string() const {
    std::string r;
    for (const auto& [cls, c] : by_class) {
        if (!r.empty()) r += "; ";
        r += cls + " " + std::to_string(c.objects) + (c.objects == 1 ? " object, " : " objects, ") +
             std::to_string(c.references) + (c.references == 1 ? " reference" : " references");
    }
    return r.empty() ? "none" : r;
}

}  // namespace zn::refhost
