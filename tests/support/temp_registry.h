// A registry of the test's own for the time of a test, so tests never share registrations.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/com/registry.h"
#include "support/temp_folder.h"

namespace zn::test {

#ifdef _WIN32
// On Windows the registry is the system's: there is no registry of the test's own.
class TempRegistry {
public:
    TempRegistry() {}
    ~TempRegistry() {}
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;
    void make_unwritable() {}
    void make_writable() {}
};
#else
}  // namespace zn::test
#include <unistd.h>
namespace zn::test {
class TempRegistry {
public:
    TempRegistry() {
        const char* old = std::getenv("ZN_REGISTRY");
        if (old) previous_ = old;
        ::setenv("ZN_REGISTRY", (dir_ / "registry").c_str(), 1);
    }
    ~TempRegistry() {
        make_writable();
        if (previous_.empty())
            ::unsetenv("ZN_REGISTRY");
        else
            ::setenv("ZN_REGISTRY", previous_.c_str(), 1);
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    // Points the registry below a plain file, where nothing can be written.
    void make_unwritable() {
        std::filesystem::path blocker = dir_ / "blocker";
        {
            std::FILE* f = std::fopen(blocker.c_str(), "w");
            if (f) std::fclose(f);
        }
        ::setenv("ZN_REGISTRY", (blocker / "registry").c_str(), 1);
    }
    void make_writable() { ::setenv("ZN_REGISTRY", (dir_ / "registry").c_str(), 1); }

private:
    TempFolder dir_{"zn-registry"};
    std::string previous_;
};
#endif

}  // namespace zn::test
