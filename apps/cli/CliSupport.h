#pragma once
// Helpers shared by the subcommands: choosing the connection string, printing result sets as
// aligned tables or JSON, and printing a connection's error collection.

#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/Variant.h"

namespace CLI {
class App;
}

namespace brevanto::cli {

// "Provider=SQLite;database=BREVANTO;Data Source=DIR" for a folder.
std::string sqliteConnectionString(const std::string& dir, const std::string& database = "BREVANTO");

// --conn wins, then --dir, then the environment variable BREVANTO_CONNECTION. Throws
// std::runtime_error with a message for the user when none is given or the folder cannot be
// written into a connection string.
std::string resolveConnectionString(const std::string& conn, const std::string& dir);

// Adds --conn and --dir to a subcommand.
void addConnectionOptions(CLI::App& cmd, std::string& conn, std::string& dir);

// Display width of UTF-8 text (code points; every character counts one column).
std::size_t displayWidth(const std::string& text);

// Aligned columns with a header line and a separator line.
void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows);

// Text of a value in a table cell: NULL for Null.
std::string cellText(const db::Variant& v);
nlohmann::ordered_json toJson(const db::Variant& v);
nlohmann::ordered_json toJson(const db::ResultSet& rs);   // array of objects by field name

// Each item on its own line: description, native code, SQLSTATE.
void printErrors(std::ostream& err, const std::vector<db::ErrorItem>& items);

}  // namespace brevanto::cli
