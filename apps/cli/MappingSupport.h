#pragma once
// What the subcommands that run mapping operations share: the scope named by the chart
// options, and running the operation on a connection of its own with its refusals and the
// database's errors written as the other subcommands write them.

#include <functional>
#include <optional>
#include <string>

#include "apps/cli/CliSupport.h"
#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace brevanto::cli {

// The scope of --kind, --pdc, --ricl, --intercompany and --ditta; nothing (after writing why
// on standard error) for an unknown kind.
std::optional<mapping::Scope> scopeOfOptions(const ChartOptions& options);

// Opens the connection --conn/--dir name and runs `body` on it. A scope the editor refuses
// (mapping::ScopeRefused) is written as its message, a database failure as the connection's
// errors; both give 1. Otherwise the result of `body`.
int runOnConnection(const std::string& conn, const std::string& dir, const std::function<int(db::Connection&)>& body);

}  // namespace brevanto::cli
