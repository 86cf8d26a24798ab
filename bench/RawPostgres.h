#pragma once
// A plain libpq connection for the PostgreSQL baselines: statements written by hand for
// PostgreSQL, run one at a time (each its own commit outside a transaction), every returned row
// fetched into memory and every value of it read.

#include <benchmark/benchmark.h>

#include <libpq-fe.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace benchdb {

class RawPostgres {
public:
    explicit RawPostgres(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(conn_);
            PQfinish(conn_);
            throw std::runtime_error("libpq: " + why);
        }
    }
    ~RawPostgres() { PQfinish(conn_); }
    RawPostgres(const RawPostgres&) = delete;
    RawPostgres& operator=(const RawPostgres&) = delete;

    // Runs one statement; the rows it returned. `failureAllowed` lets a statement fail (the
    // first DROP of a temporary table, a duplicate key) and returns -1 then.
    long run(const std::string& sql, bool failureAllowed = false) { return take(PQexec(conn_, sql.c_str()), sql, failureAllowed); }

    // Runs one statement with text parameters for $1, $2, ….
    long run(const std::string& sql, const std::vector<std::string>& values, bool failureAllowed = false) {
        std::vector<const char*> pointers;
        for (const auto& v : values) pointers.push_back(v.c_str());
        return take(PQexecParams(conn_, sql.c_str(), static_cast<int>(pointers.size()), nullptr, pointers.data(), nullptr,
                                 nullptr, 0),
                    sql, failureAllowed);
    }

    // The first value of the first row of a query, "" when none.
    std::string value(const std::string& sql) {
        PGresult* r = PQexec(conn_, sql.c_str());
        std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        return out;
    }

    PGconn* handle() { return conn_; }

private:
    long take(PGresult* r, const std::string& sql, bool failureAllowed) {
        const auto status = PQresultStatus(r);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            const std::string why = PQresultErrorMessage(r);
            PQclear(r);
            if (failureAllowed) return -1;
            throw std::runtime_error("libpq: " + why + " in: " + sql.substr(0, 200));
        }
        const int rows = PQntuples(r), columns = PQnfields(r);
        for (int i = 0; i < rows; ++i)
            for (int c = 0; c < columns; ++c) {
                benchmark::DoNotOptimize(PQgetvalue(r, i, c));
                benchmark::DoNotOptimize(PQgetisnull(r, i, c));
            }
        PQclear(r);
        return rows;
    }

    PGconn* conn_;
};

}  // namespace benchdb
