#pragma once
// A libpq session on the test suite's PostgreSQL cluster, for the translator's tests: a fresh
// database of its own (dropped at the end), the translator's runtime created in it.

#include "db/tsql/Translator.h"

#include <libpq-fe.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tsqlpg {

struct PgFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// libpq connection parameters of the suite's server ("host=… port=… user=…"), or "" when none
// runs: the server the other tests use (testsupport::postgresServer: BREVANTO_TEST_PG, a
// Brevanto connection string, or the cluster fixture's file).
std::string serverParameters();

class PgDatabase {
public:
    // Creates the database `name` (dropped first if a failed run left it) with the runtime.
    explicit PgDatabase(const std::string& name);
    ~PgDatabase();
    PgDatabase(const PgDatabase&) = delete;
    PgDatabase& operator=(const PgDatabase&) = delete;

    // A new session on the database.
    std::unique_ptr<PGconn, void (*)(PGconn*)> connect() const;

private:
    std::string server_;
    std::string name_;
};

// Runs `sql` (one statement, optional text parameters, nullptr = NULL); throws PgFailure with
// the server's primary message.
std::unique_ptr<PGresult, void (*)(PGresult*)> exec(PGconn* c, const std::string& sql,
                                                    const std::vector<const char*>& params = {});

// Runs a translation's steps as the backend does (one transaction when atomic, OUTPUT INTO
// captured, failWhenNonZero checked) with the values of its $n markers; returns the rows of the
// result sets, columns joined with " | ", and adds the rows changed to `changes`.
std::vector<std::string> runTranslation(PGconn* c, const db::tsql::Translation& t, long long& changes,
                                        const std::vector<const char*>& params = {});

// The database shared by the tests of this binary (dropped at exit), or nullptr without a server.
const PgDatabase* sharedDatabase();

// The first column of every row, NULL as "NULL".
std::vector<std::string> column(PGconn* c, const std::string& sql);

}  // namespace tsqlpg
