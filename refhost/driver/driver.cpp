#include "refhost/driver/driver.h"

#include <algorithm>

#include "platform/text/utf.h"

namespace zn::refhost {

using namespace ui;
using namespace ui::headless;

HeadlessControlSet& Driver::page() const {
    const auto& sets = backend_.control_sets();
    if (chosen_ && std::find(sets.begin(), sets.end(), chosen_) != sets.end()) return *chosen_;
    if (sets.empty()) throw DriverError("no page has been built by this backend");
    return *sets.back();
}

void Driver::fail(std::u16string_view name, std::string_view why) {
    throw DriverError(text::to_utf8(name) + " " + std::string(why));
}

void Driver::require_usable(const Control& control) const {
    if (!control.visible()) fail(control.name(), "is hidden");
    if (!control.enabled()) fail(control.name(), "is disabled");
}

template <class F>
void Driver::act(const Control& control, F&& body) {
    const std::u16string name(control.name());  // the control may go away with its page
    try {
        body();
    } catch (const DriverError&) {
        throw;
    } catch (const std::exception& error) {
        if (rethrow_) throw;
        backend_.report_event_error(name, error);
    }
}

void Driver::focus_for_user(Control& control) {
    page().move_focus(control);
}

void Driver::choose(std::u16string_view list, std::u16string_view entry) {
    auto& combo = control<HeadlessDropDownList>(list);
    const int index = combo.find_entry(entry);
    if (index < 0) fail(list, "has no entry " + text::to_utf8(entry));
    choose_index(list, index);
}

void Driver::choose_index(std::u16string_view list, int index) {
    auto& combo = control<HeadlessDropDownList>(list);
    require_usable(combo);
    if (index < 0 || index >= combo.list_count()) fail(list, "has no entry at " + std::to_string(index));
    act(combo, [&] {
        focus_for_user(combo);
        combo.set_list_index(index);
    });
}

void Driver::click(std::u16string_view button, int index) {
    auto& b = control<HeadlessCommandButton>(button, index);
    require_usable(b);
    act(b, [&] {
        focus_for_user(b);
        b.press();
    });
}

void Driver::tick(std::u16string_view check_box, bool ticked) {
    auto& box = control<HeadlessCheckBox>(check_box);
    require_usable(box);
    act(box, [&] {
        focus_for_user(box);
        box.set_value(ticked ? 1 : 0);
    });
}

void Driver::give_focus(std::u16string_view name, int index) {
    Control* c = page().find(name, index);
    if (!c) fail(name, "does not exist");
    require_usable(*c);
    if (!takes_focus(c->kind())) fail(name, "never takes the focus");
    act(*c, [&] { focus_for_user(*c); });
}

std::u16string Driver::tab() {
    const std::vector<Control*> order = page().tab_order();
    if (order.empty()) throw DriverError("no control can take the focus");
    auto at = std::find(order.begin(), order.end(), page().focused());
    Control* next = (at == order.end() || std::next(at) == order.end()) ? order.front() : *std::next(at);
    act(*next, [&] { focus_for_user(*next); });
    return std::u16string(next->name());
}

void Driver::type(std::u16string_view field, std::u16string_view text) {
    auto& edit = control<HeadlessButtonEdit>(field);
    require_usable(edit);
    act(edit, [&] {
        focus_for_user(edit);
        for (char16_t c : text) edit.type_char(c);
    });
}

void Driver::type_over(std::u16string_view field, std::u16string_view text) {
    auto& edit = control<HeadlessButtonEdit>(field);
    require_usable(edit);
    act(edit, [&] {
        focus_for_user(edit);
        edit.set_sel_start(0);
        edit.set_sel_length(static_cast<std::int32_t>(edit.text().size()));
        if (text.empty()) {
            edit.press_key(HeadlessButtonEdit::kKeyDelete, 0);
        } else {
            for (char16_t c : text) edit.type_char(c);
        }
    });
}

std::int16_t Driver::press_key(std::u16string_view field, std::int16_t key, std::int16_t shift) {
    auto& edit = control<HeadlessButtonEdit>(field);
    require_usable(edit);
    std::int16_t left = key;
    act(edit, [&] {
        focus_for_user(edit);
        left = edit.press_key(key, shift);
    });
    return left;
}

void Driver::browse(std::u16string_view field) {
    auto& edit = control<HeadlessButtonEdit>(field);
    require_usable(edit);
    act(edit, [&] { edit.press_browse_button(); });
}

std::u16string Driver::text(std::u16string_view name) const {
    Control* c = page().find(name);
    if (auto* list = dynamic_cast<DropDownList*>(c)) return list->text();
    if (auto* field = dynamic_cast<ButtonEdit*>(c)) return field->text();
    fail(name, c ? "has no text" : "does not exist");
}

std::u16string Driver::caption(std::u16string_view name, int index) const {
    Control* c = page().find(name, index);
    if (auto* label = dynamic_cast<Label*>(c)) return label->caption();
    if (auto* button = dynamic_cast<CommandButton*>(c)) return button->caption();
    if (auto* box = dynamic_cast<CheckBox*>(c)) return box->caption();
    if (auto* frame = dynamic_cast<Frame*>(c)) return frame->caption();
    fail(name, c ? "has no caption" : "does not exist");
}

bool Driver::enabled(std::u16string_view name, int index) const {
    Control* c = page().find(name, index);
    if (!c) fail(name, "does not exist");
    return c->enabled();
}

bool Driver::visible(std::u16string_view name, int index) const {
    Control* c = page().find(name, index);
    if (!c) fail(name, "does not exist");
    return c->visible();
}

std::vector<std::u16string> Driver::entries(std::u16string_view list) const {
    return control<HeadlessDropDownList>(list).entries();
}

int Driver::value(std::u16string_view check_box) const {
    return control<HeadlessCheckBox>(check_box).value();
}

std::u16string Driver::focused() const {
    const Control* c = page().focused();
    return c ? std::u16string(c->name()) : std::u16string();
}

}  // namespace zn::refhost
