// The reference host's user: drives a page built by a headless backend as a user would: choose, type, click, tick, move
// the focus, press keys; and scripts the answers to the message boxes and the file dialog.
// Every action goes through the same checks a user meets: a control that is disabled or
// hidden cannot be acted on (DriverError).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/headless/headless_backend.h"

namespace zn::refhost {

// A user's action that the page does not allow (or a control that does not exist).
class DriverError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

class Driver {
public:
    explicit Driver(ui::headless::HeadlessBackend& backend) noexcept : backend_(backend) {}

    ui::headless::HeadlessBackend& backend() const noexcept { return backend_; }

    // The control set acted on: the one chosen with use(), else the latest one built.
    ui::headless::HeadlessControlSet& page() const;
    void use(ui::headless::HeadlessControlSet* set) noexcept { chosen_ = set; }

    // The control as its headless kind; DriverError when absent or of another kind.
    template <class T>
    T& control(std::u16string_view name, int index = ui::kNoIndex) const {
        ui::Control* c = page().find(name, index);
        auto* typed = dynamic_cast<T*>(c);
        if (!typed) fail(name, c ? "is of another kind" : "does not exist");
        return *typed;
    }

    // ---- what a user does ----
    // Picks the entry with this text in a drop-down list (raises its click).
    void choose(std::u16string_view list, std::u16string_view entry);
    void choose_index(std::u16string_view list, int index);
    // Presses a command button; it takes the focus first.
    void click(std::u16string_view button, int index = ui::kNoIndex);
    // Ticks or clears a check box.
    void tick(std::u16string_view check_box, bool ticked);
    // Moves the focus to the control (a field raises got_focus when it gains it).
    void give_focus(std::u16string_view name, int index = ui::kNoIndex);
    // Moves the focus to the next control in tab order; returns its name.
    std::u16string tab();
    // Gives the field the focus, then types one character at a time (each a change).
    void type(std::u16string_view field, std::u16string_view text);
    // Gives the field the focus, selects all of it and types the text over it.
    void type_over(std::u16string_view field, std::u16string_view text);
    // Presses a key in the field (F7 is 118, Back 8, Delete 46); shift: 1 Shift, 2 Ctrl, 4 Alt.
    // Returns the key code as the handlers left it.
    std::int16_t press_key(std::u16string_view field, std::int16_t key, std::int16_t shift = 0);
    // Clicks the field's browse button.
    void browse(std::u16string_view field);

    // ---- what the page shows ----
    std::u16string text(std::u16string_view name) const;  // a list's chosen entry or a field's text
    std::u16string caption(std::u16string_view name, int index = ui::kNoIndex) const;
    bool enabled(std::u16string_view name, int index = ui::kNoIndex) const;
    bool visible(std::u16string_view name, int index = ui::kNoIndex) const;
    std::vector<std::u16string> entries(std::u16string_view list) const;
    int value(std::u16string_view check_box) const;
    // Name of the control holding the focus, or the empty text.
    std::u16string focused() const;

    // ---- answers and records ----
    void answer(std::initializer_list<ui::Answer> answers) { backend_.script_answers(answers); }
    const std::vector<ui::headless::MessageBoxRecord>& transcript() const noexcept { return backend_.transcript(); }
    void choose_file(std::u16string path) { backend_.script_file_choice(std::move(path)); }
    void cancel_file_dialog() { backend_.script_dialog_cancel(); }
    const std::vector<ui::headless::DialogShowing>& dialog_showings() const noexcept {
        return backend_.dialog_showings();
    }
    void on_yield(std::function<void()> hook) { backend_.set_yield_hook(std::move(hook)); }
    const std::vector<ui::MousePointer>& pointer_history() const noexcept { return backend_.pointer_history(); }

    // An error that leaves a handler of an action is reported as the backend reports it (a
    // message box, recorded in event_errors); with rethrow set it leaves the action instead.
    void set_rethrow_event_errors(bool rethrow) noexcept { rethrow_ = rethrow; }
    const std::vector<ui::headless::EventError>& event_errors() const noexcept { return backend_.event_errors(); }

private:
    [[noreturn]] static void fail(std::u16string_view name, std::string_view why);
    // Checks that a user can reach the control now.
    void require_usable(const ui::Control& control) const;
    // Runs the events an action raises, reporting an error that leaves them.
    template <class F>
    void act(const ui::Control& control, F&& body);
    void focus_for_user(ui::Control& control);

    ui::headless::HeadlessBackend& backend_;
    ui::headless::HeadlessControlSet* chosen_ = nullptr;
    bool rethrow_ = false;
};

}  // namespace zn::refhost
