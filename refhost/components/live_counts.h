// How many of the reference host's objects are alive, per class, and how many references to
// them are outstanding: proof that the component released every reference it took.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zn::refhost {

struct ClassCount {
    int objects = 0;
    long references = 0;
    friend bool operator==(const ClassCount&, const ClassCount&) = default;
};

// The class whose one instance per thread is kept for the program's life; left out of the totals.
inline constexpr std::string_view kSharedClass = "TextServices";

struct LiveCounts {
    // Every class with at least one live object. For TextServices: the calling thread's
    // shared instance, its references counting only those held beyond the host's own.
    std::map<std::string, ClassCount, std::less<>> by_class;

    ClassCount of(std::string_view cls) const;
    // Live objects and their references over all classes except the shared TextServices.
    int objects() const;
    long references() const;
    // "SystemInfo 1 object, 2 references; ..." or "none".
    std::string to_string() const;
};

}  // namespace zn::refhost
