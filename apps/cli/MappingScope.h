#pragma once
// The scope of the mapping commands (check, correlations) from the chart options, and the
// connection they work on.

#include <functional>
#include <memory>
#include <string>

#include "apps/cli/CliSupport.h"
#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace brevanto::cli {

// Throws std::runtime_error with a message for the user for an unknown kind or a CONS scope
// without its structure.
mapping::Scope scopeFromOptions(const ChartOptions& options);

// An open connection on --conn / --dir / BREVANTO_CONNECTION (db::Error, std::runtime_error).
std::shared_ptr<db::Connection> openMappingConnection(const std::string& conn, const std::string& dir);

// Runs `body` on the mapping connection: a scope the editor refuses is written as "Errore: …"
// and a database failure as the connection's errors, both giving 1; otherwise body's result.
int runMapping(db::Connection& conn, const std::function<int()>& body);

}  // namespace brevanto::cli
