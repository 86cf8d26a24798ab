#pragma once
// A typed event in the manner of the control kit: handlers are connected in order and all
// run when the event is raised. Arguments passed by reference (Cancel flags, output texts)
// let a handler answer the control that raised the event.

#include <functional>
#include <utility>
#include <vector>

namespace kit {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    // Returns an id for disconnect.
    int connect(Handler h) {
        handlers_.push_back({nextId_, std::move(h)});
        return nextId_++;
    }
    void disconnect(int id) {
        std::erase_if(handlers_, [id](const auto& e) { return e.first == id; });
    }
    void disconnectAll() { handlers_.clear(); }
    bool connected() const { return !handlers_.empty(); }

    // Runs every handler in connection order. A copy is taken first so that a handler may
    // connect or disconnect while the event runs.
    template <class... A>
    void raise(A&&... args) const {
        auto copy = handlers_;
        for (auto& [id, h] : copy) h(std::forward<A>(args)...);
    }

private:
    std::vector<std::pair<int, Handler>> handlers_;
    int nextId_ = 1;
};

}  // namespace kit
