#include "journal/Journal.h"

#include <algorithm>

#include "db/Connection.h"
#include "db/Trace.h"
#include "journal/HistoryTable.h"

namespace journal {

namespace {

template <class List>
auto lastOfScope(List& steps, const Scope& scope) {
    return std::find_if(steps.rbegin(), steps.rend(), [&](const Step& s) { return s.scope == scope; });
}

std::string notKept(const std::string& why) { return "Lo storico delle modifiche non viene conservato: " + why + "."; }

}  // namespace

Journal& session() {
    static Journal journal;
    return journal;
}

void Journal::prepare(db::Connection& conn) {
    std::lock_guard lock(mutex_);
    const std::string& key = conn.ConnectionString();
    if (tables_.count(key)) return;
    db::Untraced untraced;
    const std::string why = ensureHistoryTable(conn);
    tables_[key] = why;
    if (!why.empty()) problem_ = notKept(why);
}

long Journal::record(db::Connection& conn, Step step, Role role, long refersTo) {
    if (step.changes.empty()) return 0;
    Step written = write(conn, std::move(step), refersTo);
    remember(written, role);
    return written.id;
}

Step Journal::write(db::Connection& conn, Step step, long refersTo) {
    std::lock_guard lock(mutex_);
    if (step.changes.empty()) return step;
    step.id = nextId_++;
    step.user = currentUser();
    step.time = now();
    step.refersTo = refersTo;
    persist(conn, step, refersTo);
    return step;
}

void Journal::remember(const Step& step, Role role) {
    if (step.changes.empty()) return;
    std::vector<std::function<void()>> toCall;
    {
        std::lock_guard lock(mutex_);
        if (role == Role::New) {
            std::erase_if(undone_, [&](const Step& s) { return s.scope == step.scope; });
            done_.push_back(step);
        } else {
            auto& from = role == Role::Undo ? done_ : undone_;
            auto& to = role == Role::Undo ? undone_ : done_;
            auto it = std::find_if(from.begin(), from.end(), [&](const Step& s) { return s.id == step.refersTo; });
            if (it != from.end()) {
                to.push_back(std::move(*it));
                from.erase(it);
            }
        }
        for (auto& [token, listener] : listeners_) toCall.push_back(listener);
    }
    for (auto& listener : toCall) listener();
}

void Journal::persist(db::Connection& conn, const Step& step, long refersTo) {
    db::Untraced untraced;
    const std::string& key = conn.ConnectionString();
    if (!tables_.count(key)) {
        // The first write on this database outside a prepared transaction.
        if (conn.inTransaction())
            tables_[key] = historyTableExists(conn) ? "" : std::string("la tabella ") + kHistoryTable + " non esiste";
        else
            tables_[key] = ensureHistoryTable(conn);
    }
    if (const std::string& why = tables_[key]; !why.empty()) {
        problem_ = notKept(why);
        return;
    }
    try {
        auto ref = numbers_.find(refersTo);
        numbers_[step.id] = writeHistory(conn, step, ref == numbers_.end() ? 0 : ref->second);
    } catch (const std::exception& e) {
        conn.Errors().Clear();
        problem_ = notKept(std::string("scrittura nella tabella ") + kHistoryTable + " non riuscita (" + e.what() + ")");
    }
}

std::optional<Step> Journal::nextUndo(const Scope& scope) const {
    std::lock_guard lock(mutex_);
    auto it = lastOfScope(done_, scope);
    if (it == done_.rend()) return std::nullopt;
    return *it;
}

std::optional<Step> Journal::nextRedo(const Scope& scope) const {
    std::lock_guard lock(mutex_);
    auto it = lastOfScope(undone_, scope);
    if (it == undone_.rend()) return std::nullopt;
    return *it;
}

std::vector<Step> Journal::undoable(const Scope& scope) const {
    std::lock_guard lock(mutex_);
    std::vector<Step> out;
    for (auto it = done_.rbegin(); it != done_.rend(); ++it)
        if (it->scope == scope) out.push_back(*it);
    return out;
}

std::string Journal::historyProblem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

int Journal::addListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    listeners_[nextListener_] = std::move(listener);
    return nextListener_++;
}

void Journal::removeListener(int token) {
    std::lock_guard lock(mutex_);
    listeners_.erase(token);
}

void Journal::clear() {
    std::lock_guard lock(mutex_);
    done_.clear();
    undone_.clear();
    tables_.clear();
    numbers_.clear();
    problem_.clear();
}

}  // namespace journal
