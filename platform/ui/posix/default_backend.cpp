#include "platform/ui/backend.h"
#include "platform/ui/headless/headless_backend.h"

namespace zn::ui {

// Without a screen of our own, a thread that nobody gave a backend runs headless: message
// boxes answer with their first button and are recorded.
std::unique_ptr<Backend> make_default_backend() {
    return std::make_unique<headless::HeadlessBackend>();
}

}  // namespace zn::ui
