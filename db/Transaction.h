#pragma once
// All or nothing: the statements `work` executes on `conn` are committed when it returns and
// rolled back when it throws (the exception goes on to the caller).

#include <exception>

#include "db/Connection.h"

namespace db {

template <class Work>
void inTransaction(Connection& conn, Work&& work) {
    conn.BeginTrans();
    try {
        work();
        conn.CommitTrans();
    } catch (...) {
        try {
            conn.RollbackTrans();
        } catch (const std::exception&) {
            // the engine already gave the transaction up
        }
        throw;
    }
}

}  // namespace db
