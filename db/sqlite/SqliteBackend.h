#pragma once
// The embedded database engine: one SQLite connection per backend instance, which is one
// database session. Session temporary tables ("#CORRPDCRICL", "@MyVarTable") live in the
// connection's temp schema, so they are private to it and end when it closes.
//
// Connection string (ADO style, keys case-insensitive):
//   Provider=SQLite     chooses this engine (openBackend)
//   database=NAME       the host database: the file DIR/NAME.db (required)
//   Data Source=DIR     the folder holding the database files (required; no default folder)
//   Create=1            create DIR/NAME.db when it does not exist yet (used by
//                       `brevanto-cli db init`); without it a missing file is an error and
//                       nothing is ever created silently
//   Schema=any          accept an SQLite database with any tables (tools and tests); without
//                       it a file is refused unless it holds one of the program's tables
//                       (DatabaseSchema::tables)
//
// An existing file is checked before anything is written to it: an empty file, one that is not
// SQLite or a database without the program's tables is refused and left exactly as it was.
// Before each statement that writes (and after a batch that wrote) the session checks that
// its database files are still the files at their paths: a file deleted, renamed or replaced
// while open fails the write instead of losing it unseen.
//
// A three-part name [GRP].dbo.T in a command attaches DIR/GRP.db as GRP on first use (the
// same session keeps it attached). The file is opened in WAL mode with a 5 s busy timeout,
// so a second process reading or writing does not make a save fail at once, and with
// synchronous=FULL, so a commit that returned survives a power cut.
//
// The session keeps the DatabaseSchema set when it opened (db/DatabaseSchema.h): its tables
// for the check above, its text columns and unique keys for the translation, its functions
// registered on the connection beside the translation's runtime (SqliteRuntime.h).
//
// Every command text goes through the T-SQL translator; the steps it produces run in order,
// and the first failing one stops the batch (earlier steps stay applied: no transaction),
// except the steps of one statement marked atomic (MERGE), which roll back together.
// The session keeps the translations and the prepared statements of the texts it ran last,
// so a text sent again is neither translated nor prepared again; a text the translator
// refuses is not kept and is refused again, with the same error, each time.

#include <memory>
#include <map>
#include <string>
#include <string_view>

#include "db/Backend.h"
#include "db/Error.h"
#include "db/ResultSet.h"
#include "db/LruMap.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {
struct DatabaseSchema;
}

namespace db::tsql {
struct Step;
struct Translation;
}

namespace db::sqlite {

struct PreparedStep;

class SqliteBackend : public Backend {
public:
    // Opens per the connection string above. Throws db::Error (SQLSTATE 08001) on a missing
    // key, a missing database file or a file SQLite cannot open.
    static std::unique_ptr<SqliteBackend> open(const ConnectionString& cs);

    ~SqliteBackend() override;
    SqliteBackend(const SqliteBackend&) = delete;
    SqliteBackend& operator=(const SqliteBackend&) = delete;

    ExecResult execute(const std::string& commandText) override;
    // Runs an already translated batch: attaches the databases it names, then its steps in
    // order (each step's text may hold several statements, split as SQLite parses them).
    ExecResult run(const tsql::Translation& translation);
    void close() override;
    std::string name() const override { return "SQLite"; }
    // BEGIN IMMEDIATE: the write lock is taken at the start, so a transaction never fails
    // half-way for a writer that came later.
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    // One statement translated and prepared once; each execution binds its values.
    std::unique_ptr<PreparedStatement> prepare(const std::string& commandText) override;

    bool isOpen() const { return db_ != nullptr; }
    const std::string& databaseName() const { return database_; }
    const std::string& folder() const { return folder_; }

private:
    SqliteBackend(sqlite3* db, std::string database, std::string folder, bool anySchema,
                  std::shared_ptr<const DatabaseSchema> schema);
    void attachIfNeeded(const std::string& database);
    // The translation of a command text, from the session's cache when it ran before.
    std::shared_ptr<const tsql::Translation> translated(const std::string& commandText);
    // db::Error when a file of the session is no longer the one at its path.
    void ensureFilesInPlace() const;
    void runStep(const tsql::Step& step, ExecResult& out, long long& changed, bool& anyDml);
    void runStatement(sqlite3_stmt* stmt, const tsql::Step& step, ExecResult& out,
                      long long& changed, bool& anyDml);
    void execSimple(const char* sql);
    [[noreturn]] void fail(int rc) const;

    sqlite3* db_ = nullptr;
    std::string database_;               // as written after database=
    std::string folder_;                 // as written after Data Source=
    bool anySchema_ = false;             // Schema=any
    std::shared_ptr<const DatabaseSchema> schema_;
    std::map<std::string, std::string> attached_;   // upper-cased name -> name as attached
    // Texts longer than kMaxCachedText are translated and prepared for one run only.
    static constexpr std::size_t kMaxCachedText = 64 * 1024;
    LruMap<std::shared_ptr<const tsql::Translation>> translations_{256};
    LruMap<std::shared_ptr<PreparedStep>> statements_{256};   // by the step's SQLite text
};

// The SQLSTATE that stands for an SQLite (extended) result code and its message, in the
// manner of an ADO provider: constraint 23000, syntax 42000, no such table 42S02, no such
// column 42S22, busy/locked HYT00, cannot open 08001, anything else HY000.
std::string sqlStateFor(int extendedCode, std::string_view message);

// The error item for the connection's last failure (description = sqlite3_errmsg,
// nativeError = extended result code, source "SQLite").
ErrorItem errorItemFor(sqlite3* db, int rc);

// The ADO type and defined size for an SQLite declared column type ("NVARCHAR(15)",
// "tinyint", "DECIMAL(18,2)", "INT"…). Returns adVariant for an empty declared type.
FieldInfo fieldInfoForDeclType(std::string_view declType);

}  // namespace db::sqlite
