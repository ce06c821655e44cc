#include "platform/ui/app.h"

#include "platform/ui/backend.h"

namespace zn::ui {

Answer message_box(std::u16string_view prompt, int style, std::optional<std::u16string_view> title) {
    MessageBoxRequest request;
    request.prompt = std::u16string(prompt);
    request.style = style;
    if (title) request.title = std::u16string(*title);
    return thread_backend().message_box(request);
}

void set_mouse_pointer(MousePointer pointer) {
    thread_backend().set_mouse_pointer(pointer);
}

void do_events() {
    thread_backend().do_events();
}

std::u16string current_directory() {
    return thread_backend().current_directory();
}

}  // namespace zn::ui
