#pragma once
// A PostgreSQL server through libpq: one server session per backend instance. Session
// temporary tables ("#CORRPDCRICL", "@MyVarTable") are the session's temporary tables.
//
// Connection string (ADO style, keys case-insensitive; a value holding ';' is braced,
// "Password={a;b}}c}"):
//   Provider=PostgreSQL   chooses this engine (openBackend)
//   Host=H                server name or address, or the folder of its Unix socket ("/…")
//   Port=P                default 5432
//   database=DB           the database holding Brevanto's tables (schema public)
//   Dbname=D              the server's database when it is not DB: then database=DB names
//                         Brevanto's database, and one that is a schema of D (an
//                         intercompany database, as the module names it) opens on that schema
//   User=U, Password=W    also "User ID"/UID and PWD; the user and password of Open win
//   DefaultSchema=S       unqualified names resolve in schema S (then public): the tables of
//                         an intercompany database, kept as a schema of DB
//
// Every command text goes through the T-SQL translator for PostgreSQL; its steps run in
// order, each statement of a step on its own, and the first failing one stops the batch
// (earlier ones stay applied), except the steps of one statement marked atomic (MERGE),
// which apply whole. Inside a transaction a failing batch is rolled back to a savepoint
// taken before it, so the transaction goes on as on SQL Server instead of refusing every
// later statement. A three-part name [GRP].dbo.T names the schema "GRP" of the same
// database; a schema that does not exist fails the batch with native error 911.
// The translation knows the text columns and unique keys of the DatabaseSchema set when the
// session opened (db/DatabaseSchema.h).
// The session keeps the translations of the texts it ran last, each step already split into
// its statements, and prepares on the server
// the statements it runs more than once.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/Backend.h"
#include "db/LruMap.h"

struct pg_conn;
struct pg_result;

namespace db {
struct DatabaseSchema;
}

namespace db::tsql {
struct Step;
struct Translation;
}

namespace db::postgres {

class PostgresBackend : public Backend {
public:
    // Connects per the connection string above. Throws db::Error with an Italian description
    // on a missing key, an unreachable server, a refused login or a missing database.
    static std::unique_ptr<PostgresBackend> open(const ConnectionString& cs, const std::string& user,
                                                 const std::string& password);

    ~PostgresBackend() override;
    PostgresBackend(const PostgresBackend&) = delete;
    PostgresBackend& operator=(const PostgresBackend&) = delete;

    ExecResult execute(const std::string& commandText) override;
    ExecResult run(const tsql::Translation& translation);
    ExecResult executeNative(const std::string& sql) override;
    void close() override;
    std::string name() const override { return "PostgreSQL"; }
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    // One statement translated and prepared on the server; each execution sends its values
    // as parameters ($1, $2 …), never inside the text.
    std::unique_ptr<PreparedStatement> prepare(const std::string& commandText) override;

    const std::string& databaseName() const { return database_; }
    // Runs a statement prepared by prepare() with its values; the rows it changed.
    long long executePrepared(const std::string& name, const std::vector<Variant>& values);

    // A statement prepared on the server, kept by the session (name empty until it is).
    struct Statement {
        std::string name;
        int runs = 0;
        std::weak_ptr<std::vector<std::string>> released;   // where the name goes when dropped
        ~Statement();
    };

private:
    // A translation as the session runs it: each step's text split into its statements once.
    struct Batch;

    PostgresBackend(pg_conn* conn, std::string database, std::string defaultSchema);
    // The batch of a command text, from the session's cache when it ran before.
    std::shared_ptr<const Batch> translated(const std::string& commandText);
    ExecResult runBatch(const Batch& batch);
    // db::Error (native 911) unless the schema of a three-part name exists; the connection's
    // own database is never looked up.
    void ensureSchema(const std::string& name);
    void requireSchema(const std::string& name);
    bool schemaExists(const std::string& name);
    void runSteps(const Batch& batch, ExecResult& out, long long& changed, bool& anyDml);
    void runStatement(const std::string& sql, const tsql::Step& step, ExecResult& out, long long& changed,
                      bool& anyDml);
    // Runs one statement without parameters, prepared when it ran before; the result is the
    // caller's (PQclear).
    pg_result* send(const std::string& sql);
    void capture(const pg_result* rows, const std::string& table);
    void execSimple(const std::string& sql);
    void dropReleased();
    bool inTransaction() const;
    [[noreturn]] void fail(pg_result* result) const;
    void ensureOpen() const;

    pg_conn* conn_ = nullptr;
    std::string database_;        // as written after database= (Brevanto's name for it)
    std::string defaultSchema_;   // DefaultSchema=, or "" for public
    std::set<std::string> schemas_;   // the schemas three-part names found so far
    std::shared_ptr<const DatabaseSchema> schema_;
    long nextStatement_ = 0;
    // Prepared statements dropped by the cache or by their owner, deallocated on the next run.
    std::shared_ptr<std::vector<std::string>> released_ = std::make_shared<std::vector<std::string>>();
    static constexpr std::size_t kMaxCachedText = 64 * 1024;
    LruMap<std::shared_ptr<const Batch>> translations_{256};
    LruMap<std::shared_ptr<Statement>> statements_{256};   // by the statement's PostgreSQL text
};

}  // namespace db::postgres
