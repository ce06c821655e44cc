#include "platform/ui/backend.h"
#include "platform/ui/win/win_backend.h"

namespace zn::ui {

// On Windows a thread that nobody gave a backend shows the page's controls as real windows.
std::unique_ptr<Backend> make_default_backend() {
    return std::make_unique<win::Win32Backend>();
}

}  // namespace zn::ui
