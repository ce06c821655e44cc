#include "platform/ui/headless/headless_backend.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include "platform/com/com_error.h"
#include "platform/text/utf.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

namespace zn::ui::headless {
namespace {

std::unique_ptr<Control> make_control(HeadlessControlSet& owner, const ControlSpec& definition) {
    switch (definition.kind) {
        case ControlKind::DropDownList:
            return std::make_unique<HeadlessDropDownList>(owner, definition);
        case ControlKind::CommandButton:
            return std::make_unique<HeadlessCommandButton>(owner, definition);
        case ControlKind::CheckBox:
            return std::make_unique<HeadlessCheckBox>(owner, definition);
        case ControlKind::Label:
            return std::make_unique<HeadlessLabel>(owner, definition);
        case ControlKind::Frame:
            return std::make_unique<HeadlessFrame>(owner, definition);
        case ControlKind::ButtonEdit:
            return std::make_unique<HeadlessButtonEdit>(owner, definition);
        case ControlKind::FileDialog:
            return std::make_unique<HeadlessFileDialog>(owner, definition);
        case ControlKind::ProgressBar:
            return std::make_unique<HeadlessProgressBar>(owner, definition);
    }
    throw MissingControl(definition.name, definition.index, "unknown kind in the layout");
}

bool has_cancel_button(int style) {
    const int buttons = style & 0xF;
    return buttons != kOkOnly;
}

std::u16string process_directory() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    while (!_wgetcwd(buffer.data(), static_cast<int>(buffer.size()))) {
        if (errno != ERANGE) com::throw_error(E_FAIL, u"The current directory cannot be read.");
        buffer.resize(buffer.size() * 2);
    }
    const std::wstring_view w(buffer.data());
    return std::u16string(w.begin(), w.end());
#else
    std::vector<char> buffer(PATH_MAX + 1);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) com::throw_error(E_FAIL, u"The current directory cannot be read.");
        buffer.resize(buffer.size() * 2);
    }
    return text::from_utf8(buffer.data());
#endif
}

}  // namespace

// ---- control set ----

HeadlessControlSet::HeadlessControlSet(HeadlessBackend& backend, const PageLayout& layout) : backend_(&backend) {
    controls_.reserve(layout.controls.size());
    for (const ControlSpec& definition : layout.controls) controls_.push_back(make_control(*this, definition));
}

HeadlessControlSet::~HeadlessControlSet() {
    if (backend_) backend_->forget(this);
}

Control* HeadlessControlSet::find(std::u16string_view name, int index) noexcept {
    for (const auto& c : controls_) {
        if (c->name() != name) continue;
        if (c->index() == index || (index == kNoIndex && c->index() == 0)) return c.get();
    }
    return nullptr;
}

void HeadlessControlSet::move_focus(Control& control) {
    if (!takes_focus(control.kind()) || !control.enabled() || !control.visible())
        com::throw_error(kInvalidProcedureCall);
    if (focused_ == &control) return;
    focused_ = &control;
    if (auto* field = dynamic_cast<ButtonEdit*>(&control)) field->got_focus.raise();
}

std::vector<Control*> HeadlessControlSet::tab_order() const {
    return focus_order(controls_);
}

// ---- backend ----

HeadlessBackend::HeadlessBackend() = default;

HeadlessBackend::~HeadlessBackend() {
    for (HeadlessControlSet* set : sets_) set->detach_backend();
}

std::unique_ptr<ControlSet> HeadlessBackend::create_controls(const PageLayout& layout) {
    auto set = std::make_unique<HeadlessControlSet>(*this, layout);
    sets_.push_back(set.get());
    return set;
}

void HeadlessBackend::forget(HeadlessControlSet* set) noexcept {
    std::erase(sets_, set);
}

Answer HeadlessBackend::message_box(const MessageBoxRequest& request) {
    MessageBoxRecord shown;
    shown.prompt = request.prompt;
    shown.style = request.style;
    shown.own_title = request.title.has_value();
    shown.title = request.title ? *request.title : std::u16string(kDefaultCaption);
    if (!answers_.empty()) {
        shown.answer = answers_.front();
        answers_.pop_front();
        shown.scripted = true;
    } else if (message_handler_) {
        shown.answer = message_handler_(shown);
        shown.scripted = true;
    }
    // Escape on a box with OK alone answers OK.
    if (shown.answer == Answer::Cancel && !has_cancel_button(shown.style)) shown.answer = Answer::Ok;
    transcript_.push_back(shown);
    return shown.answer;
}

void HeadlessBackend::set_mouse_pointer(MousePointer pointer) {
    pointers_.push_back(pointer);
}

void HeadlessBackend::do_events() {
    ++yields_;
    if (yield_hook_) {
        const auto hook = yield_hook_;
        hook();
    }
}

std::u16string HeadlessBackend::current_directory() {
    return cwd_ ? *cwd_ : process_directory();
}

void HeadlessBackend::script_answers(std::initializer_list<Answer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

const DialogShowing& HeadlessBackend::show_dialog(DialogShowing showing) {
    std::optional<std::u16string> answer;
    if (!dialog_answers_.empty()) {
        answer = std::move(dialog_answers_.front());
        dialog_answers_.pop_front();
    } else if (dialog_handler_) {
        answer = dialog_handler_(showing);
    }
    showing.cancelled = !answer.has_value();
    if (answer) showing.chosen = std::move(*answer);
    showings_.push_back(std::move(showing));
    return showings_.back();
}

void HeadlessBackend::report_event_error(std::u16string_view control, const std::exception& error) {
    EventError recorded;
    recorded.control = control;
    com::ErrorReport report = com::describe(error);
    recorded.code = report.code;
    recorded.description = std::move(report.description);
    event_errors_.push_back(recorded);
    message_box(MessageBoxRequest{recorded.description, kOkOnly, std::nullopt});
}

}  // namespace zn::ui::headless
