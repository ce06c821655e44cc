// Controls that keep their state in memory and raise their events when told to: what the page
// sees in tests and in the console host. Each also offers what a user can do to it, which the
// driver calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control_set.h"
#include "platform/ui/controls.h"

namespace zn::ui::headless {

class HeadlessBackend;
class HeadlessControlSet;

// State that every control has.
template <class Interface>
class HeadlessControl : public Interface {
public:
    HeadlessControl(HeadlessControlSet& owner, const ControlSpec& definition)
        : owner_(owner), definition_(definition), enabled_(definition.enabled), visible_(definition.visible) {}

    const ControlSpec& definition() const noexcept override { return definition_; }
    bool enabled() const override { return enabled_; }
    void set_enabled(bool enabled) override { enabled_ = enabled; }
    bool visible() const override { return visible_; }
    void set_visible(bool visible) override {
        visible_ = visible;
        visibility_writes_.push_back(visible);
    }

    HeadlessControlSet& owner() const noexcept { return owner_; }
    // Every visibility written since the control was built, in order.
    const std::vector<bool>& visibility_writes() const noexcept { return visibility_writes_; }

private:
    HeadlessControlSet& owner_;
    const ControlSpec& definition_;
    bool enabled_;
    bool visible_;
    std::vector<bool> visibility_writes_;
};

class HeadlessDropDownList final : public HeadlessControl<DropDownList> {
public:
    using HeadlessControl::HeadlessControl;

    void add_item(std::u16string_view text) override;
    int list_count() const override;
    std::u16string list(int index) const override;
    int list_index() const override { return index_; }
    void set_list_index(int index) override;
    std::u16string text() const override;
    void set_text(std::u16string_view text) override;

    const std::vector<std::u16string>& entries() const noexcept { return entries_; }
    // The entry with this text, or -1.
    int find_entry(std::u16string_view text) const noexcept;

private:
    std::vector<std::u16string> entries_;
    int index_ = -1;
};

class HeadlessCommandButton final : public HeadlessControl<CommandButton> {
public:
    HeadlessCommandButton(HeadlessControlSet& owner, const ControlSpec& definition)
        : HeadlessControl(owner, definition), caption_(definition.caption) {}

    std::u16string caption() const override { return caption_; }
    void set_caption(std::u16string_view caption) override { caption_ = caption; }

    // A press of the button: raises click with the element's index.
    void press();

private:
    std::u16string caption_;
};

class HeadlessCheckBox final : public HeadlessControl<CheckBox> {
public:
    HeadlessCheckBox(HeadlessControlSet& owner, const ControlSpec& definition);

    std::u16string caption() const override { return std::u16string(definition().caption); }
    int value() const override { return value_; }
    void set_value(int value) override;

private:
    int value_;
};

class HeadlessLabel final : public HeadlessControl<Label> {
public:
    HeadlessLabel(HeadlessControlSet& owner, const ControlSpec& definition)
        : HeadlessControl(owner, definition), caption_(definition.caption) {}

    std::u16string caption() const override { return caption_; }
    void set_caption(std::u16string_view caption) override { caption_ = caption; }

private:
    std::u16string caption_;
};

class HeadlessFrame final : public HeadlessControl<Frame> {
public:
    HeadlessFrame(HeadlessControlSet& owner, const ControlSpec& definition)
        : HeadlessControl(owner, definition), caption_(definition.caption) {}

    std::u16string caption() const override { return caption_; }
    void set_caption(std::u16string_view caption) override { caption_ = caption; }

private:
    std::u16string caption_;
};

class HeadlessButtonEdit final : public HeadlessControl<ButtonEdit> {
public:
    // The code the field's browse button passes with its click.
    static constexpr std::int16_t kBrowseButton = 1;
    static constexpr std::int16_t kKeyBack = 8;
    static constexpr std::int16_t kKeyDelete = 46;

    HeadlessButtonEdit(HeadlessControlSet& owner, const ControlSpec& definition);

    std::u16string text() const override { return text_; }
    void set_text(std::u16string_view text) override;
    std::int16_t sel_start() const override;
    void set_sel_start(std::int16_t start) override;
    std::int32_t sel_length() const override;
    void set_sel_length(std::int32_t length) override;
    void set_focus() override;

    // What a user does in the field. Each edit that changes the text raises change.
    // Typing replaces the selection with the character (refused by a locked field or at the
    // maximum length).
    void type_char(char16_t c);
    // A key going down: raises key_down; a Back or Delete key that the handler left alone then
    // erases the selection or the character before/after the caret. Returns the key code as
    // the handler left it.
    std::int16_t press_key(std::int16_t key, std::int16_t shift);
    void press_browse_button() { button_click.raise(kBrowseButton); }

private:
    void user_edit(std::u16string text, std::size_t caret);

    std::u16string text_;
    std::size_t start_ = 0;
    std::size_t length_ = 0;
    bool locked_;
    std::size_t max_length_;  // 0: no limit
};

// What the dialog looked like when it was shown, and how it was answered.
struct DialogShowing {
    std::u16string title;
    std::int32_t flags = 0;
    std::u16string filter;
    std::u16string init_dir;
    std::u16string file_name;  // as the dialog opened with it
    bool cancel_error = false;
    bool cancelled = false;
    std::u16string chosen;  // the chosen path when not cancelled
};

class HeadlessFileDialog final : public HeadlessControl<FileDialog> {
public:
    HeadlessFileDialog(HeadlessControlSet& owner, const ControlSpec& definition);

    // Asks the backend's script or handler; with neither, the dialog is cancelled.
    void show_open() override;
};

class HeadlessProgressBar final : public HeadlessControl<ProgressBar> {
public:
    HeadlessProgressBar(HeadlessControlSet& owner, const ControlSpec& definition);

    float min() const override { return min_; }
    void set_min(float value) override { min_ = value; }
    float max() const override { return max_; }
    void set_max(float value) override { max_ = value; }
    float value() const override { return value_; }
    void set_value(float value) override;

    // Every value written, in order.
    const std::vector<float>& value_history() const noexcept { return history_; }
    // The share of the bar drawn filled, 0 to 1; an empty range draws empty.
    double fill() const noexcept;

private:
    float min_;
    float max_;
    float value_;
    std::vector<float> history_;
};

}  // namespace zn::ui::headless
