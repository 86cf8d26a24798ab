// brevanto-cli sql: runs one T-SQL text (a batch) on one connection and prints the rows of the
// last statement that returns rows, the number of rows changed, or the error collection.

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "db/Connection.h"

namespace brevanto::cli {

namespace {

struct SqlOptions {
    std::string text;
    std::string file;
    std::string conn;
    std::string dir;
    bool json = false;
};

int runSql(const SqlOptions& o) {
    std::string text = o.text;
    if (!o.file.empty()) {
        std::ifstream in(o.file, std::ios::binary);
        if (!in) {
            std::cerr << "Errore: impossibile leggere il file " << o.file << '\n';
            return 1;
        }
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (text.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    }
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        std::cerr << "Errore: nessun testo SQL da eseguire\n";
        return 1;
    }

    const auto connectionString = connectionStringOrExplain(o.conn, o.dir);
    if (!connectionString) return 1;

    auto conn = db::Connection::create();
    db::ExecResult result;
    try {
        conn->Open(*connectionString);
        result = conn->ExecuteAll(text);
    } catch (const db::Error& e) {
        const auto& items = conn->Errors().Count() ? conn->Errors().items() : e.items();
        printErrors(std::cerr, items);
        return 1;
    }

    if (!result.resultSets.empty()) {
        const db::ResultSet& rs = result.resultSets.back();
        if (o.json) {
            std::cout << toJson(rs).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        } else {
            std::vector<std::string> headers;
            for (const auto& f : rs.fields) headers.push_back(f.name);
            std::vector<std::vector<std::string>> rows;
            rows.reserve(rs.rows.size());
            for (const auto& row : rs.rows) {
                std::vector<std::string> cells;
                for (const auto& v : row) cells.push_back(cellText(v));
                rows.push_back(std::move(cells));
            }
            printTable(std::cout, headers, rows);
            std::cout << "(" << rs.rows.size() << (rs.rows.size() == 1 ? " riga)" : " righe)") << '\n';
        }
    } else {
        long long n = result.rowsAffected < 0 ? 0 : result.rowsAffected;
        if (o.json)
            std::cout << "{\"righeInteressate\": " << n << "}\n";
        else
            std::cout << n << " righe interessate\n";
    }
    conn->Close();
    return 0;
}

}  // namespace

void setupSqlCommand(CLI::App& app) {
    auto options = std::make_shared<SqlOptions>();
    auto* cmd = app.add_subcommand("sql", "Esegue un testo T-SQL (argomento, --file o standard input)");
    cmd->add_option("text", options->text, "Testo T-SQL");
    auto* file = cmd->add_option("--file", options->file, "File con il testo T-SQL");
    file->excludes(cmd->get_option("text"));
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->add_flag("--json", options->json, "Righe come array JSON di oggetti");
    setCommandBody(*cmd, [options] { return runSql(*options); });
}

}  // namespace brevanto::cli
