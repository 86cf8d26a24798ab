#pragma once
// The engine behind a Connection. The Connection owns parsing of the connection string,
// the error collection and tracing; a backend only executes command texts.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/ConnectionString.h"
#include "db/ResultSet.h"
#include "db/Variant.h"

namespace db {

// One statement prepared once and executed many times with the values of its ? markers.
class PreparedStatement {
public:
    virtual ~PreparedStatement() = default;
    // Runs the statement with `values` for its markers, in order; the rows it changed.
    // Throws db::Error when the engine refuses.
    virtual long long execute(const std::vector<Variant>& values) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // Executes one command text (a T-SQL batch as the module wrote it). Throws db::Error with
    // one or more items when the engine refuses it.
    virtual ExecResult execute(const std::string& commandText) = 0;
    virtual void close() = 0;
    // Runs a text in the engine's own dialect, untranslated (schema scripts, database
    // administration). An engine that only takes T-SQL refuses (db::Error, HYC00).
    virtual ExecResult executeNative(const std::string& sql);
    // "SQLite", "ODBC" or "PostgreSQL": used for messages and for the source of error items.
    virtual std::string name() const = 0;
    // A transaction on the engine's session: the statements run until commit or rollback
    // apply whole or not at all. An engine without transactions refuses (db::Error, HYC00).
    virtual void beginTransaction();
    virtual void commitTransaction();
    virtual void rollbackTransaction();
    // Prepares one statement with ? markers. An engine without prepared statements refuses
    // (db::Error, HYC00). The statement must not outlive the engine.
    virtual std::unique_ptr<PreparedStatement> prepare(const std::string& commandText);
};

// Creates an engine for a connection string, given the user and password of Open.
using BackendFactory = std::function<std::unique_ptr<Backend>(
    const ConnectionString& cs, const std::string& user, const std::string& password)>;

// Makes an extra engine available under a provider name (compared case-insensitively), for
// example a scripted engine in tests. A registered name is looked up before the built-in
// ones; an empty factory removes the registration.
void registerBackend(const std::string& provider, BackendFactory factory);

// Opens the backend that the connection string's Provider names: "SQLite" (the embedded
// default), "ODBC" (any unixODBC driver; SQL Server through FreeTDS gets the T-SQL as is) or
// "PostgreSQL" (libpq; the T-SQL is translated).
// Throws db::Error with a clear description on an unknown provider, a missing database or a
// driver failure.
std::unique_ptr<Backend> openBackend(const ConnectionString& cs, const std::string& user,
                                     const std::string& password);

// The engines; openBackend dispatches on Provider.
std::unique_ptr<Backend> openSqliteBackend(const ConnectionString& cs);
std::unique_ptr<Backend> openOdbcBackend(const ConnectionString& cs, const std::string& user,
                                         const std::string& password);
std::unique_ptr<Backend> openPostgresBackend(const ConnectionString& cs, const std::string& user,
                                             const std::string& password);

}  // namespace db
