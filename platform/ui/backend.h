// A UI backend: builds a page's controls from its layout table and serves the application-wide
// services of app.h. Each thread uses one backend: the one installed on it, else the one the
// hosting program installed on its own copy of this layer, else a default made for the thread.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/app.h"
#include "platform/ui/control_set.h"
#include "platform/ui/layout.h"

namespace zn::ui {

class Backend {
public:
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;
    virtual ~Backend() = default;

    // Every control of the layout with its design-time settings; no event handler connected.
    virtual std::unique_ptr<ControlSet> create_controls(const PageLayout& layout) = 0;

    virtual Answer message_box(const MessageBoxRequest& request) = 0;
    virtual void set_mouse_pointer(MousePointer pointer) = 0;
    virtual void do_events() = 0;
    virtual std::u16string current_directory() = 0;
};

// The calling thread's backend (never null; see above for which one).
Backend& thread_backend();

// Installs a backend on the calling thread for the scope's life; scopes nest.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend& backend) noexcept;
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;
    ~ScopedBackend();

private:
    Backend* previous_;
};

// The backend made for a thread on which nothing was installed.
std::unique_ptr<Backend> make_default_backend();

}  // namespace zn::ui

// The backend installed on the calling thread in this copy of the layer, or null. A module
// loaded into a program that carries its own copy looks this up in the program, so that both
// use the program's backend.
extern "C" zn::ui::Backend* zn_ui_installed_backend() noexcept;
