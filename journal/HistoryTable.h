#pragma once
// Brevanto's own table BRV_STORICO, in the database whose correlations were written: one row
// per changed correlation, the rows of a step sharing its number (BRV_PASSO).

#include <optional>
#include <string>
#include <vector>

#include "journal/Change.h"

namespace db {
class Connection;
}

namespace journal {

inline constexpr const char* kHistoryTable = "BRV_STORICO";

// Creates the table when it is missing. "" when it is there afterwards, otherwise why not
// (for the user). Run it outside a transaction: a failed probe may spoil one.
std::string ensureHistoryTable(db::Connection& conn);
// Whether the table exists (a probe; false on any failure).
bool historyTableExists(db::Connection& conn);

// Writes the step's rows under a new number and returns it. `refersTo`: the number of the
// step an undo or redo refers to (0 none). db::Error when the database refuses.
long writeHistory(db::Connection& conn, const Step& step, long refersTo);

struct HistoryFilter {
    std::optional<int> kind;
    std::string since;   // "AAAA-MM-GG": steps from that day on ("" all)
};

// The stored steps, oldest first; a step's id and refersTo are its numbers in the table.
// db::Error when the table cannot be read (see historyTableExists).
std::vector<Step> readHistory(db::Connection& conn, const HistoryFilter& filter = {});

}  // namespace journal
