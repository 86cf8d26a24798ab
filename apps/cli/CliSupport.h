#pragma once
// Helpers shared by the subcommands: choosing the connection string, printing result sets as
// aligned tables or JSON, and printing a connection's error collection.

#include <functional>
#include <iosfwd>
#include <optional>
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
// The same, or nullopt after telling the user on stderr why there is none.
std::optional<std::string> connectionStringOrExplain(const std::string& conn, const std::string& dir);

// Adds --conn and --dir to a subcommand.
void addConnectionOptions(CLI::App& cmd, std::string& conn, std::string& dir);

// What chooses a correlation: its kind, the charts, the structure (CONS) and the company.
struct ChartOptions {
    std::string kind;
    std::string pdc;
    std::string ricl;
    std::string intercompany;
    std::string company = "1";
};

// Why the chart options cannot make an editor header, or "": CONS needs the structure and
// only CONS takes one; the other kinds need the chart to reclassify.
std::string headerOptionsProblem(bool cons, const std::string& pdc, const std::string& intercompany);

// Adds --kind (`kinds` lists the accepted ones), --pdc, --ricl, --intercompany and --ditta.
void addChartOptions(CLI::App& cmd, ChartOptions& options, const std::string& kinds);

// Makes `body` the subcommand's callback: an exception it lets out is written as "Errore: …"
// on standard error, and a result other than 0 becomes the exit code.
void setCommandBody(CLI::App& cmd, std::function<int()> body);

// Display width of UTF-8 text (code points; every character counts one column).
std::size_t displayWidth(const std::string& text);

// Aligned columns with a header line and a separator line.
void printTable(std::ostream& out, const std::vector<std::string>& headers,
                const std::vector<std::vector<std::string>>& rows);
// The same table printed as its rows come, the column widths measured beforehand: the header
// and separator lines, then one line per row.
void printTableHead(std::ostream& out, const std::vector<std::size_t>& widths, const std::vector<std::string>& headers);
void printTableLine(std::ostream& out, const std::vector<std::size_t>& widths, const std::vector<std::string>& cells);

// Text of a value in a table cell: NULL for Null.
std::string cellText(const db::Variant& v);
nlohmann::ordered_json toJson(const db::Variant& v);
nlohmann::ordered_json toJson(const db::ResultSet& rs);   // array of objects by field name

// Each item on its own line: description, native code, SQLSTATE.
void printErrors(std::ostream& err, const std::vector<db::ErrorItem>& items);

}  // namespace brevanto::cli
