#pragma once
// The journal of this session: every correlation write the program makes is recorded here as
// a step, kept for undo and redo and written to the history table of the database it went to.
// Undo and redo run per scope: an editor's window undoes its own list's steps, newest first.
//
// The history table is best effort: when it cannot be created or written (a host database
// where the user may not create tables) the session keeps its steps and historyProblem() says
// why the history is not kept.

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "journal/Change.h"

namespace db {
class Connection;
}

namespace journal {

// What a recorded write was: a new change, or the undo or redo of a step of this session.
enum class Role { New, Undo, Redo };

class Journal {
public:
    // Makes sure the history table of `conn`'s database is there (once per database and
    // session). Call it before a transaction that will record.
    void prepare(db::Connection& conn);

    // Records a write just made on `conn` (inside its transaction, if any): the step gets its
    // number, user and time here. A New step becomes the scope's next undo and ends the
    // scope's redos; an Undo (Redo) moves step `refersTo` to the redos (undos). A step without
    // changes is not recorded (0). Never throws for the history table: see historyProblem().
    long record(db::Connection& conn, Step step, Role role = Role::New, long refersTo = 0);
    // record in two halves, for a transaction: write() puts the step in the history table
    // (before the commit) and returns it numbered; remember() takes it into the session (after).
    Step write(db::Connection& conn, Step step, long refersTo = 0);
    void remember(const Step& step, Role role);

    // The step undo (redo) would revert (reapply) in the scope, nothing when none.
    std::optional<Step> nextUndo(const Scope& scope) const;
    std::optional<Step> nextRedo(const Scope& scope) const;
    // Every step of the scope undo can still revert, newest first.
    std::vector<Step> undoable(const Scope& scope) const;

    // Why the history table is not kept ("" when it is, or nothing was written yet).
    std::string historyProblem() const;

    // Called after every record (from the thread that recorded). Returns a token.
    int addListener(std::function<void()> listener);
    void removeListener(int token);

    // Forgets the session's steps (tests; a new session).
    void clear();

private:
    void persist(db::Connection& conn, const Step& step, long refersTo);

    mutable std::recursive_mutex mutex_;
    long nextId_ = 1;
    std::vector<Step> done_;     // oldest first
    std::vector<Step> undone_;   // oldest first: the last one is the next redo
    std::map<std::string, std::string> tables_;   // connection string -> "" kept, or the problem
    std::map<long, long> numbers_;                 // step id -> number in the history table
    std::string problem_;
    std::map<int, std::function<void()>> listeners_;
    int nextListener_ = 1;
};

// The process-wide journal.
Journal& session();

}  // namespace journal
