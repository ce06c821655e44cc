#include "page/run_port.h"

#include <string>

#include "page/page_texts.h"
#include "platform/ui/app.h"

namespace zn::page {

void RunPort::start_progress() {
    controls_.progress_bar.set_min(0);
}

void RunPort::size_progress(float max) {
    controls_.progress_bar.set_max(max);
    controls_.progress_bar.set_value(0);
}

void RunPort::show_progress(float value) {
    controls_.progress_bar.set_value(value);
}

bool RunPort::go_on_after_failed_line(std::u16string_view name) {
    std::u16string prompt(message::kLineErrorPrefix);
    prompt += name;
    const ui::Answer answer = ui::message_box(prompt, ui::kOkCancel, message::kLineErrorTitle);
    return answer != ui::Answer::Cancel;
}

bool RunPort::remove_missing_photos() {
    return controls_.remove_photos_check.value() == 1;
}

bool RunPort::yield() {
    ui::do_events();
    return page_held();
}

void RunPort::show_busy(bool busy) {
    ui::set_mouse_pointer(busy ? ui::MousePointer::Hourglass : ui::MousePointer::Default);
}

void RunPort::report_read_failure(std::u16string_view description) {
    ui::message_box(description, ui::kOkOnly);
}

}  // namespace zn::page
