#pragma once
// One thing the user did: a key, a focus move, a click on a grid row, an automation request.
// A value read twice while one action runs (the description of the account just typed, read
// by the key's own handling and again once the row is saved) may be answered from the first
// read: nothing the user did can have changed it in between. A window shown, or a modal
// window's loop, ends the current action, since the user may change anything in it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kit {

class UserAction {
public:
    UserAction();
    ~UserAction();
    UserAction(const UserAction&) = delete;
    UserAction& operator=(const UserAction&) = delete;

    // The action running on this thread; 0 outside any.
    static std::uint64_t current();
    // Ends the running action for the memos: what they hold is read again.
    static void interrupt();

    // A modal window's loop: the actions inside it are the user's own, not part of the one
    // that opened the window.
    class ModalLoop {
    public:
        ModalLoop();
        ~ModalLoop();
        ModalLoop(const ModalLoop&) = delete;
        ModalLoop& operator=(const ModalLoop&) = delete;

    private:
        int savedDepth_;
    };
};

// Values remembered for the running user action only; outside one nothing is remembered.
template <class Value>
class ActionMemo {
public:
    std::optional<Value> find(const std::string& key) {
        if (!fresh()) return std::nullopt;
        auto it = values_.find(key);
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void remember(const std::string& key, Value value) {
        if (!fresh()) {
            values_.clear();
            action_ = UserAction::current();
            if (action_ == 0) return;
        }
        values_.insert_or_assign(key, std::move(value));
    }

private:
    bool fresh() const { return action_ != 0 && action_ == UserAction::current(); }
    std::uint64_t action_ = 0;
    std::map<std::string, Value> values_;
};

}  // namespace kit
