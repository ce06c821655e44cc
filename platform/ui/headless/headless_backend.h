// A backend without a screen: controls keep their state in memory, message boxes and the file
// dialog are answered from a script (or a handler), and everything shown is recorded, so that
// tests and the console host can drive a page and see what it did.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/headless/headless_controls.h"

namespace zn::ui::headless {

class HeadlessControlSet final : public ControlSet {
public:
    HeadlessControlSet(HeadlessBackend& backend, const PageLayout& layout);
    ~HeadlessControlSet() override;

    Control* find(std::u16string_view name, int index = kNoIndex) noexcept override;

    // The control holding the input focus, or null.
    Control* focused() const noexcept { return focused_; }
    // Gives the focus to a control that can take it; a field that gains it raises got_focus.
    // Refused (kInvalidProcedureCall) for a control that is disabled, hidden or never takes focus.
    void move_focus(Control& control);
    // The controls that can take the focus now, in tab order.
    std::vector<Control*> tab_order() const;

    // Null once the backend is gone.
    HeadlessBackend* backend() const noexcept { return backend_; }
    void detach_backend() noexcept { backend_ = nullptr; }

private:
    HeadlessBackend* backend_;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* focused_ = nullptr;
};

// One message box as it was shown.
struct MessageBoxRecord {
    std::u16string prompt;
    int style = kOkOnly;
    std::u16string title;  // as shown: the default caption for a box without a title of its own
    bool own_title = false;
    Answer answer = Answer::Ok;
    bool scripted = false;  // answered from the script or the handler, not by default
};

// An error that left an event handler which a user's action had raised.
struct EventError {
    std::u16string control;
    HRESULT code = S_OK;  // E_FAIL for an error that carried no code
    std::u16string description;
};

class HeadlessBackend final : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    std::unique_ptr<ControlSet> create_controls(const PageLayout& layout) override;
    Answer message_box(const MessageBoxRequest& request) override;
    void set_mouse_pointer(MousePointer pointer) override;
    void do_events() override;
    std::u16string current_directory() override;

    // Control sets alive, oldest first.
    const std::vector<HeadlessControlSet*>& control_sets() const noexcept { return sets_; }

    // Message boxes. Answers are taken from the script in order; with the script used up the
    // handler answers, and without one the first button does (OK). An answer that the box
    // has no button for is taken as Escape would be: OK on a box with OK alone.
    void script_answers(std::initializer_list<Answer> answers);
    std::size_t pending_answers() const noexcept { return answers_.size(); }
    using MessageBoxHandler = std::function<Answer(const MessageBoxRecord& shown)>;
    void set_message_box_handler(MessageBoxHandler handler) { message_handler_ = std::move(handler); }
    const std::vector<MessageBoxRecord>& transcript() const noexcept { return transcript_; }

    // The file dialog. Answers are taken from the script in order, then from the handler;
    // with neither the dialog is cancelled.
    void script_file_choice(std::u16string path) { dialog_answers_.emplace_back(std::move(path)); }
    void script_dialog_cancel() { dialog_answers_.emplace_back(std::nullopt); }
    // Returns the chosen path, or none to cancel.
    using DialogHandler = std::function<std::optional<std::u16string>(const DialogShowing& shown)>;
    void set_dialog_handler(DialogHandler handler) { dialog_handler_ = std::move(handler); }
    const std::vector<DialogShowing>& dialog_showings() const noexcept { return showings_; }
    // Used by the dialog control: records the showing and decides its answer.
    const DialogShowing& show_dialog(DialogShowing showing);

    // The yield: every do_events call runs the hook, if any.
    void set_yield_hook(std::function<void()> hook) { yield_hook_ = std::move(hook); }
    std::size_t yield_count() const noexcept { return yields_; }

    // Every pointer set, in order.
    const std::vector<MousePointer>& pointer_history() const noexcept { return pointers_; }

    // The process's current directory unless a test has set one; none restores the real one.
    void set_current_directory(std::optional<std::u16string> folder) { cwd_ = std::move(folder); }

    // An error that left a handler of a user's action is shown as an OK message box with
    // the error's description under the default caption, and recorded.
    void report_event_error(std::u16string_view control, const std::exception& error);
    const std::vector<EventError>& event_errors() const noexcept { return event_errors_; }

    // Used by a control set that goes away.
    void forget(HeadlessControlSet* set) noexcept;

private:
    std::vector<HeadlessControlSet*> sets_;
    std::deque<Answer> answers_;
    MessageBoxHandler message_handler_;
    std::vector<MessageBoxRecord> transcript_;
    std::deque<std::optional<std::u16string>> dialog_answers_;
    DialogHandler dialog_handler_;
    std::vector<DialogShowing> showings_;
    std::function<void()> yield_hook_;
    std::size_t yields_ = 0;
    std::vector<MousePointer> pointers_;
    std::optional<std::u16string> cwd_;
    std::vector<EventError> event_errors_;
};

}  // namespace zn::ui::headless
