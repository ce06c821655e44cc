#include "platform/ui/headless/headless_controls.h"

#include <algorithm>
#include <limits>

#include "platform/com/com_error.h"
#include "platform/ui/headless/headless_backend.h"

namespace zn::ui::headless {

// ---- drop-down list ----

void HeadlessDropDownList::add_item(std::u16string_view text) {
    entries_.emplace_back(text);
}

int HeadlessDropDownList::list_count() const {
    return static_cast<int>(entries_.size());
}

std::u16string HeadlessDropDownList::list(int index) const {
    if (index < 0 || index >= list_count()) com::throw_error(kInvalidPropertyValue);
    return entries_[static_cast<std::size_t>(index)];
}

void HeadlessDropDownList::set_list_index(int index) {
    if (index < -1 || index >= list_count()) com::throw_error(kInvalidPropertyValue);
    index_ = index;
    if (index >= 0) click.raise();
}

std::u16string HeadlessDropDownList::text() const {
    return index_ >= 0 ? entries_[static_cast<std::size_t>(index_)] : std::u16string();
}

void HeadlessDropDownList::set_text(std::u16string_view text) {
    const int found = find_entry(text);
    if (found < 0) com::throw_error(kTextReadOnly);
    index_ = found;
}

int HeadlessDropDownList::find_entry(std::u16string_view text) const noexcept {
    const auto it = std::find(entries_.begin(), entries_.end(), text);
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

// ---- command button ----

void HeadlessCommandButton::press() {
    click.raise(static_cast<std::int16_t>(std::max(index(), 0)));
}

// ---- check box ----

HeadlessCheckBox::HeadlessCheckBox(HeadlessControlSet& owner, const ControlSpec& definition)
    : HeadlessControl(owner, definition), value_(definition.int_setting(setting_key::kValue, 0)) {}

void HeadlessCheckBox::set_value(int value) {
    if (value < 0 || value > 2) com::throw_error(kInvalidPropertyValue);
    value_ = value;
}

// ---- button edit ----

HeadlessButtonEdit::HeadlessButtonEdit(HeadlessControlSet& owner, const ControlSpec& definition)
    : HeadlessControl(owner, definition),
      text_(definition.text_setting(setting_key::kText, u"")),
      locked_(definition.bool_setting(setting_key::kLocked, false)),
      max_length_(static_cast<std::size_t>(std::max(definition.int_setting(setting_key::kMaxLength, 0), 0))) {}

void HeadlessButtonEdit::set_text(std::u16string_view text) {
    start_ = 0;
    length_ = 0;
    if (text == text_) return;
    text_ = text;
    change.raise();
}

std::int16_t HeadlessButtonEdit::sel_start() const {
    return static_cast<std::int16_t>(std::min<std::size_t>(start_, std::numeric_limits<std::int16_t>::max()));
}

void HeadlessButtonEdit::set_sel_start(std::int16_t start) {
    if (start < 0) com::throw_error(kInvalidPropertyValue);
    start_ = std::min<std::size_t>(static_cast<std::size_t>(start), text_.size());
    length_ = 0;
}

std::int32_t HeadlessButtonEdit::sel_length() const {
    return static_cast<std::int32_t>(std::min<std::size_t>(length_, std::numeric_limits<std::int32_t>::max()));
}

void HeadlessButtonEdit::set_sel_length(std::int32_t length) {
    if (length < 0) com::throw_error(kInvalidPropertyValue);
    length_ = std::min<std::size_t>(static_cast<std::size_t>(length), text_.size() - start_);
}

void HeadlessButtonEdit::set_focus() {
    owner().move_focus(*this);
}

void HeadlessButtonEdit::user_edit(std::u16string text, std::size_t caret) {
    start_ = caret;
    length_ = 0;
    if (text == text_) return;
    text_ = std::move(text);
    change.raise();
}

void HeadlessButtonEdit::type_char(char16_t c) {
    if (locked_) return;
    if (max_length_ != 0 && text_.size() - length_ >= max_length_) return;
    std::u16string next = text_;
    next.replace(start_, length_, 1, c);
    user_edit(std::move(next), start_ + 1);
}

std::int16_t HeadlessButtonEdit::press_key(std::int16_t key, std::int16_t shift) {
    key_down.raise(key, shift);
    // The handler may have let the page go (its file dialog lets the host act): only a key that
    // edits touches the field again.
    if ((key != kKeyBack && key != kKeyDelete) || locked_) return key;
    std::u16string next = text_;
    std::size_t caret = start_;
    if (length_ > 0) {
        next.erase(start_, length_);
    } else if (key == kKeyBack && start_ > 0) {
        next.erase(start_ - 1, 1);
        caret = start_ - 1;
    } else if (key == kKeyDelete && start_ < next.size()) {
        next.erase(start_, 1);
    }
    user_edit(std::move(next), caret);
    return key;
}

// ---- file dialog ----

HeadlessFileDialog::HeadlessFileDialog(HeadlessControlSet& owner, const ControlSpec& definition)
    : HeadlessControl(owner, definition) {
    set_dialog_title(definition.text_setting(setting_key::kDialogTitle, u""));
}

void HeadlessFileDialog::show_open() {
    DialogShowing showing;
    showing.title = dialog_title();
    showing.flags = flags();
    showing.filter = filter();
    showing.init_dir = init_dir();
    showing.file_name = file_name();
    showing.cancel_error = cancel_error();
    HeadlessBackend* backend = owner().backend();
    if (backend) {
        const DialogShowing& answered = backend->show_dialog(std::move(showing));
        if (!answered.cancelled) {
            set_file_name(answered.chosen);
            return;
        }
    }
    if (cancel_error()) com::throw_error(com::kCancelled);
}

// ---- progress bar ----

HeadlessProgressBar::HeadlessProgressBar(HeadlessControlSet& owner, const ControlSpec& definition)
    : HeadlessControl(owner, definition),
      min_(static_cast<float>(definition.int_setting(setting_key::kMin, 0))),
      max_(static_cast<float>(definition.int_setting(setting_key::kMax, 100))),
      value_(static_cast<float>(definition.int_setting(setting_key::kValue, 0))) {}

void HeadlessProgressBar::set_value(float value) {
    value_ = value;
    history_.push_back(value);
}

double HeadlessProgressBar::fill() const noexcept {
    if (!(max_ > min_)) return 0.0;
    const double share = (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_);
    return std::clamp(share, 0.0, 1.0);
}

}  // namespace zn::ui::headless
