// The script files of tests/tsql/scripts/ run on PostgreSQL: the same T-SQL, translated by
// translateForPostgres, with the same expected rows and counts. Each script runs in a schema of
// its own in one database; skipped when the suite's cluster is not running.

#include "../ScriptFile.h"
#include "PgSession.h"
#include "db/postgres/PostgresRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/PostgresSchema.h"

#include <gtest/gtest.h>

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
        for (const std::string& s : hostdb::postgresTableDdl(statements(sqliteText), schema_)) exec(conn_.get(), s);
        for (const std::string& s : hostdb::postgresTableFunctionStatements(schema_)) {
            try {
                exec(conn_.get(), s);
            } catch (const tsqlpg::PgFailure& e) {   // the fixture has not the function's table
                if (std::string(e.what()).find("does not exist") == std::string::npos) throw;
            }
        }
    }

    std::vector<std::string> run(const std::string& tsql, long long& changes) override {
        changes = 0;
        return tsqlpg::runTranslation(conn_.get(), db::tsql::translateForPostgres(tsql, hostdb::translateOptions()),
                                      changes);
    }

private:
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn_;
    std::string schema_;
};

TEST(TsqlPostgresScripts, EveryScriptRunsAsOnSqlite) {
    const tsqlpg::PgDatabase* db = tsqlpg::sharedDatabase();
    if (!db) GTEST_SKIP() << "nessun server PostgreSQL per i test";
    const auto files = tsqltest::scriptFiles();
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        PgRunner runner(*db, "script_" + file.stem().string());
        tsqltest::runScript(file, runner, 1);
    }
    EXPECT_FALSE(files.empty());
}

}  // namespace
