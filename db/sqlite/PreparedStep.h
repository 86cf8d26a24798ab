#pragma once
// The SQLite statements of one translated step, prepared the first time the step runs and
// kept by the connection for the next time the same text comes: SQLite prepares a kept
// statement again by itself when the schema has changed since (a session table dropped and
// created again), so a reused statement sees the same tables a fresh one would.

#include <sqlite3.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace db::sqlite {

struct StmtDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

struct PreparedStep {
    struct Part {
        StmtPtr stmt;          // null for a part holding only blanks or a comment
        std::size_t end = 0;   // byte offset in the step's text just past this statement
    };
    // The statements prepared so far, in order: a step whose later statement could not be
    // prepared yet (its table is made by an earlier one) is completed on its next run.
    std::vector<Part> parts;
};

// Leaves a statement reset, ready for its next run, whichever way its run ends.
class ResetOnExit {
public:
    explicit ResetOnExit(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~ResetOnExit() { sqlite3_reset(stmt_); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    sqlite3_stmt* stmt_;
};

}  // namespace db::sqlite
