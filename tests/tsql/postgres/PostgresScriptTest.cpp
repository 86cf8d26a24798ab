// The script files of tests/tsql/scripts/ run on PostgreSQL: the same T-SQL, translated by
// translateForPostgres, with the same expected rows and counts. Each script runs in a schema of
// its own in one database; skipped when the suite's cluster is not running.

#include "../ScriptFile.h"
#include "PgSession.h"
#include "db/tsql/PostgresRuntime.h"
#include "db/tsql/Translator.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using tsqlpg::exec;

// The fixture's statements, split at the ';' outside literals.
std::vector<std::string> statements(const std::string& text) {
    std::vector<std::string> out;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-' && !quoted && i + 1 < text.size() && text[i + 1] == '-') {
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (c == '\'') quoted = !quoted;
        if (c == ';' && !quoted) {
            out.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    if (current.find_first_not_of(" \n\r\t") != std::string::npos) out.push_back(current);
    return out;
}

class PgRunner final : public tsqltest::ScriptRunner {
public:
    PgRunner(const tsqlpg::PgDatabase& db, std::string schema) : conn_(db.connect()), schema_(std::move(schema)) {
        exec(conn_.get(), "CREATE SCHEMA \"" + schema_ + "\"");
        exec(conn_.get(), "SET search_path = \"" + schema_ + "\", public");
    }

    // The SQLite fixture with the host DDL's type mapping; then the table functions, over the
    // fixture's tables where it has them.
    void fixture(const std::string& sqliteText) override {
        for (const std::string& s : db::tsql::postgresTableDdl(statements(sqliteText), schema_)) exec(conn_.get(), s);
        for (const std::string& s : db::tsql::postgresTableFunctionStatements(schema_)) {
            try {
                exec(conn_.get(), s);
            } catch (const tsqlpg::PgFailure& e) {   // the fixture has not the function's table
                if (std::string(e.what()).find("does not exist") == std::string::npos) throw;
            }
        }
    }

    std::vector<std::string> run(const std::string& tsql, long long& changes) override {
        const db::tsql::Translation t = db::tsql::translateForPostgres(tsql, db::tsql::TranslateOptions{});
        std::vector<std::string> rows;
        changes = 0;
        if (t.atomic) exec(conn_.get(), "BEGIN");
        try {
            for (const auto& step : t.steps) runStep(step, rows, changes);
        } catch (...) {
            if (t.atomic) PQclear(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
        if (t.atomic) exec(conn_.get(), "COMMIT");
        return rows;
    }

private:
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn_;
    std::string schema_;

    void runStep(const db::tsql::Step& step, std::vector<std::string>& rows, long long& changes) {
        auto r = exec(conn_.get(), step.sql);
        PGresult* res = r.get();
        const int n = PQntuples(res), columns = PQnfields(res);
        if (!step.failWhenNonZero.empty()) {
            if (n > 0 && std::string(PQgetvalue(res, 0, 0)) != "0") throw tsqlpg::PgFailure(step.failWhenNonZero);
            return;
        }
        if (!step.captureInto.empty()) {
            std::string ins = "INSERT INTO \"" + step.captureInto + "\" VALUES (";
            for (int i = 0; i < columns; ++i) ins += (i ? ", $" : "$") + std::to_string(i + 1);
            ins += ")";
            for (int row = 0; row < n; ++row) {
                std::vector<const char*> values;
                for (int i = 0; i < columns; ++i)
                    values.push_back(PQgetisnull(res, row, i) ? nullptr : PQgetvalue(res, row, i));
                exec(conn_.get(), ins, values);
            }
            changes += n;
            return;
        }
        if (step.returnsRows) {
            for (int row = 0; row < n; ++row) {
                std::string line;
                for (int i = 0; i < columns; ++i) {
                    if (i) line += " | ";
                    line += PQgetisnull(res, row, i) ? "NULL" : PQgetvalue(res, row, i);
                }
                rows.push_back(line);
            }
        }
        const std::string& s = step.sql;
        if (s.rfind("INSERT", 0) == 0 || s.rfind("UPDATE", 0) == 0 || s.rfind("DELETE", 0) == 0)
            changes += std::atoll(PQcmdTuples(res));
    }
};

TEST(TsqlPostgresScripts, EveryScriptRunsAsOnSqlite) {
    if (tsqlpg::serverParameters().empty()) GTEST_SKIP() << "nessun server PostgreSQL per i test";
    const tsqlpg::PgDatabase db("brevanto_tsql_scripts_" + std::to_string(getpid()));
    const auto files = tsqltest::scriptFiles();
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        PgRunner runner(db, file.stem().string());
        tsqltest::runScript(file, runner, 1);
    }
    EXPECT_FALSE(files.empty());
}

}  // namespace
