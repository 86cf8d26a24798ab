#pragma once
// The window system of the automation driver. It keeps the windows that are open, in the
// order they opened, hands modal windows to a nested loop that the driver supplies (the
// driver keeps serving requests until the window closes) and answers lookup windows from a
// queue of picks, keeping a copy of the rows each lookup offered.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/Dialogs.h"
#include "kit/Form.h"
#include "kit/WindowSystem.h"

namespace standalone {

class HostEventLog;

// What the next lookup window answers: a row of its view, the row whose first column has a
// given text, or cancel.
struct LookupChoice {
    std::variant<std::monostate, long, std::string> choice;   // monostate = cancel

    static LookupChoice cancel() { return {}; }
    static LookupChoice row(long r) { return {r}; }
    static LookupChoice code(std::string c) { return {std::move(c)}; }
};

// One lookup window as it was shown: caption, columns, the rows offered (every field of the
// recordset) and the answer given (-1 when cancelled).
struct LookupSnapshot {
    std::string caption;
    std::string idLookup;
    std::string currentText;
    std::vector<std::string> fieldNames;   // the recordset's fields, in order
    kit::LookupFields columns;             // the columns the window shows (empty = all)
    std::vector<nlohmann::json> rows;      // one JSON array per row, in field order
    long rowCount = 0;                     // rows in the view (rows may hold fewer)
    long picked = -1;
};

class AutomationLookupPresenter : public kit::LookupPresenter {
public:
    // At most this many rows are copied into a snapshot.
    explicit AutomationLookupPresenter(std::size_t maxRows = 1000) : maxRows_(maxRows) {}

    void push(LookupChoice choice) { choices_.push_back(std::move(choice)); }
    // The answer of a lookup opened right now, ahead of those queued for later ones.
    void pushFront(LookupChoice choice) { choices_.push_front(std::move(choice)); }
    // Removes the first queued choice (one given for a lookup that was never shown).
    void dropFront() {
        if (!choices_.empty()) choices_.pop_front();
    }
    void clear() { choices_.clear(); }
    std::size_t pending() const { return choices_.size(); }

    std::optional<long> pick(const kit::LookupRequest& request) override;

    // The lookups shown so far (last = the most recent).
    const std::vector<LookupSnapshot>& shown() const { return shown_; }
    std::size_t shownCount() const { return shown_.size(); }

private:
    std::size_t maxRows_;
    std::deque<LookupChoice> choices_;
    std::vector<LookupSnapshot> shown_;
};

class AutomationWindowSystem : public kit::WindowSystem {
public:
    // Serves requests until `form` is closed (or decides the program must end).
    using ModalLoop = std::function<void(kit::Form&)>;

    explicit AutomationWindowSystem(std::shared_ptr<HostEventLog> log = nullptr) : log_(std::move(log)) {}

    void setModalLoop(ModalLoop loop) { modalLoop_ = std::move(loop); }

    void showModal(kit::Form& form) override;
    void showModeless(kit::Form& form) override;
    void formClosed(kit::Form& form) override;
    kit::LookupPresenter& lookups() override { return lookups_; }
    AutomationLookupPresenter& lookupPresenter() { return lookups_; }
    // Plain message boxes go to the driver's dialogs (answered from its queue and recorded);
    // without them a box answers 1 (OK).
    void setDialogs(std::shared_ptr<host::Dialogs> dialogs) { dialogs_ = std::move(dialogs); }
    int messageBox(const std::string& text, int style, const std::string& title) override;

    struct Window {
        kit::Form* form;
        bool modal;
        // A control of the form: when it is gone, so is the form (a program released a
        // window without closing it); such windows are dropped instead of being touched.
        std::weak_ptr<kit::Control> sentinel;
        bool hasSentinel = false;
    };
    // The windows open now, in the order they opened.
    const std::vector<Window>& windows() const;
    bool isOpen(const kit::Form* form) const;
    // By name (case-insensitive; the most recently opened of that name) or nullptr.
    kit::Form* findByName(const std::string& name) const;
    kit::Form* findByHandle(long hwnd) const;
    // The most recently opened window still open, or nullptr.
    kit::Form* top() const;

    // Names of the windows opened and closed so far, in order; requests compare the counts
    // before and after to report what they opened and closed.
    const std::vector<std::string>& openedLog() const { return opened_; }
    const std::vector<std::string>& closedLog() const { return closed_; }

private:
    void add(kit::Form& form, bool modal);
    void takeSentinel(kit::Form& form);
    void focusFirstStop(kit::Form& form);
    void prune() const;

    std::shared_ptr<HostEventLog> log_;
    std::shared_ptr<host::Dialogs> dialogs_;
    ModalLoop modalLoop_;
    AutomationLookupPresenter lookups_;
    mutable std::vector<Window> windows_;
    std::vector<std::string> opened_, closed_;
};

}  // namespace standalone
