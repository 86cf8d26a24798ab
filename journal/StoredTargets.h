#pragma once
// The correlations a scope holds, read before and after a write that does not say what it
// changed (the CEE run), so that the difference can be journalled.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "journal/Change.h"

namespace db {
class Connection;
}

namespace journal {

// (account, sign) -> reclassified account.
using Targets = std::map<std::pair<std::string, int>, std::string>;

// The scope's stored correlations on `conn` (blanks trimmed). Codes that are not numbers give
// none. db::Error when the database fails.
Targets storedTargets(db::Connection& conn, const Scope& scope);
// The correlations that differ between two readings, in key order.
std::vector<Change> differences(const Targets& before, const Targets& after);

}  // namespace journal
