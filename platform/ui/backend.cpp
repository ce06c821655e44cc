#include "platform/ui/backend.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zn::ui {
namespace {

thread_local Backend* t_installed = nullptr;

// The backend installed in the hosting program's copy of this layer, when the program exports
// its lookup. In a program that exports none, a module finds no lookup or its own copy, which
// answers with what is installed in that copy: here, nothing.
Backend* program_backend() noexcept {
    using Lookup = Backend* (*)() noexcept;
#ifdef _WIN32
    // A program exports it by name from its executable (see zn_export_program_lookups).
    const auto lookup = reinterpret_cast<Lookup>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "zn_ui_installed_backend")));
#else
    const auto lookup = reinterpret_cast<Lookup>(dlsym(RTLD_DEFAULT, "zn_ui_installed_backend"));
#endif
    return lookup ? lookup() : nullptr;
}

// The backend of a thread on which nothing was installed, made on first use.
struct DefaultBackend {
    std::unique_ptr<Backend> backend = make_default_backend();
};

}  // namespace

Backend& thread_backend() {
    if (t_installed) return *t_installed;
    if (Backend* program = program_backend()) return *program;
    thread_local const DefaultBackend fallback;
    return *fallback.backend;
}

ScopedBackend::ScopedBackend(Backend& backend) noexcept : previous_(t_installed) {
    t_installed = &backend;
}

ScopedBackend::~ScopedBackend() {
    t_installed = previous_;
}

}  // namespace zn::ui

extern "C" zn::ui::Backend* zn_ui_installed_backend() noexcept {
    return zn::ui::t_installed;
}
