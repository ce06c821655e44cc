// The controls of one page, built by a backend from the page's layout table.
#pragma once

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/layout.h"

namespace zn::ui {

// A control that the layout does not hold, or holds with another kind: a programming error.
class MissingControl : public std::logic_error {
public:
    MissingControl(std::u16string_view name, int index, std::string_view why);
};

// The controls that can take the focus now (enabled, visible, with a place in the tab order),
// in tab order: the walk that Tab follows on every backend.
std::vector<Control*> focus_order(std::span<const std::unique_ptr<Control>> controls);

class ControlSet {
public:
    ControlSet() = default;
    ControlSet(const ControlSet&) = delete;
    ControlSet& operator=(const ControlSet&) = delete;
    virtual ~ControlSet() = default;

    // The control named so; index kNoIndex also finds element 0 of a control array. Null when absent.
    virtual Control* find(std::u16string_view name, int index = kNoIndex) noexcept = 0;

    // The control as its kind's interface; throws MissingControl when absent or of another kind.
    template <class T>
    T& get(std::u16string_view name, int index = kNoIndex) {
        Control* c = find(name, index);
        if (!c) throw MissingControl(name, index, "no such control");
        auto* typed = dynamic_cast<T*>(c);
        if (!typed) throw MissingControl(name, index, "control of another kind");
        return *typed;
    }
};

}  // namespace zn::ui
