// One event of a control. A control event has at most one handler, the page's; the backend
// raises it when the user acts, and some property writes raise it too.
#pragma once

#include <functional>
#include <utility>

namespace zn::ui {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    // Replaces the handler; an empty one disconnects it.
    void connect(Handler handler) { handler_ = std::move(handler); }

    // Runs the handler, if any. It runs on a copy so that a handler may replace itself.
    // Errors from the handler travel to whoever raised the event.
    template <class... A>
    void raise(A&&... args) const {
        if (!handler_) return;
        const Handler handler = handler_;
        handler(std::forward<A>(args)...);
    }

private:
    Handler handler_;
};

}  // namespace zn::ui
