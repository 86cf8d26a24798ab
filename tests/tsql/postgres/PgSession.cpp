#include "PgSession.h"

#include "db/ConnectionString.h"
#include "db/postgres/PostgresRuntime.h"
#include "support/PostgresTestDatabase.h"
#include "support/TestSupport.h"

#include <string>

#include <unistd.h>

namespace tsqlpg {

namespace {

std::string quoteValue(const std::string& v) {
    std::string out = "'";
    for (char c : v) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out + "'";
}

std::string withDatabase(const std::string& server, const std::string& db) {
    return server + " dbname=" + quoteValue(db);
}

}  // namespace

std::string serverParameters() {
    const std::string server = testsupport::postgresServer();
    if (server.empty()) return "";
    const db::ConnectionString cs(server);
    std::string out = "host=" + quoteValue(cs.getOr("Host", "")) + " port=" + quoteValue(cs.getOr("Port", "5432")) +
                      " user=" + quoteValue(cs.getOr("User", ""));
    if (const auto password = cs.get("Password")) out += " password=" + quoteValue(*password);
    return out;
}

std::unique_ptr<PGresult, void (*)(PGresult*)> exec(PGconn* c, const std::string& sql,
                                                    const std::vector<const char*>& params) {
    std::unique_ptr<PGresult, void (*)(PGresult*)> r(
        PQexecParams(c, sql.c_str(), static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0),
        PQclear);
    const auto status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const char* primary = PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY);
        throw PgFailure(primary ? primary : PQerrorMessage(c));
    }
    return r;
}

std::vector<std::string> column(PGconn* c, const std::string& sql) {
    auto r = exec(c, sql);
    std::vector<std::string> out;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        out.push_back(PQgetisnull(r.get(), i, 0) ? "NULL" : PQgetvalue(r.get(), i, 0));
    return out;
}

PgDatabase::PgDatabase(const std::string& name) : server_(serverParameters()), name_(name) {
    auto admin = std::unique_ptr<PGconn, void (*)(PGconn*)>(PQconnectdb(withDatabase(server_, "postgres").c_str()), PQfinish);
    if (PQstatus(admin.get()) != CONNECTION_OK) throw PgFailure(PQerrorMessage(admin.get()));
    exec(admin.get(), "SET client_min_messages = warning");
    exec(admin.get(), "DROP DATABASE IF EXISTS \"" + name_ + "\"");
    exec(admin.get(), "CREATE DATABASE \"" + name_ + "\" TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C.UTF-8'");
    auto c = connect();
    for (const std::string& s : db::postgres::postgresRuntimeStatements()) exec(c.get(), s);
}

PgDatabase::~PgDatabase() {
    auto admin = std::unique_ptr<PGconn, void (*)(PGconn*)>(PQconnectdb(withDatabase(server_, "postgres").c_str()), PQfinish);
    if (PQstatus(admin.get()) == CONNECTION_OK)
        PQclear(PQexec(admin.get(), ("DROP DATABASE IF EXISTS \"" + name_ + "\" WITH (FORCE)").c_str()));
}

std::unique_ptr<PGconn, void (*)(PGconn*)> PgDatabase::connect() const {
    std::unique_ptr<PGconn, void (*)(PGconn*)> c(PQconnectdb(withDatabase(server_, name_).c_str()), PQfinish);
    if (PQstatus(c.get()) != CONNECTION_OK) throw PgFailure(PQerrorMessage(c.get()));
    PQclear(PQexec(c.get(), "SET client_min_messages = warning"));
    return c;
}

namespace {

void runStep(PGconn* c, const db::tsql::Step& step, const std::vector<const char*>& params,
             std::vector<std::string>& rows, long long& changes) {
    auto r = exec(c, step.sql, params);
    PGresult* res = r.get();
    const int n = PQntuples(res), columns = PQnfields(res);
    if (!step.failWhenNonZero.empty()) {
        if (n > 0 && std::string(PQgetvalue(res, 0, 0)) != "0") throw PgFailure(step.failWhenNonZero);
        return;
    }
    if (!step.captureInto.empty()) {
        std::string ins = "INSERT INTO \"" + step.captureInto + "\" VALUES (";
        for (int i = 0; i < columns; ++i) ins += (i ? ", $" : "$") + std::to_string(i + 1);
        ins += ")";
        for (int row = 0; row < n; ++row) {
            std::vector<const char*> values;
            for (int i = 0; i < columns; ++i) values.push_back(PQgetisnull(res, row, i) ? nullptr : PQgetvalue(res, row, i));
            exec(c, ins, values);
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

}  // namespace

std::vector<std::string> runTranslation(PGconn* c, const db::tsql::Translation& t, long long& changes,
                                        const std::vector<const char*>& params) {
    std::vector<std::string> rows;
    if (t.atomic) exec(c, "BEGIN");
    try {
        // Every marker of the text is in the one step of a statement with markers.
        for (const auto& step : t.steps)
            runStep(c, step, step.sql.find('$') != std::string::npos ? params : std::vector<const char*>{}, rows,
                    changes);
    } catch (...) {
        if (t.atomic) PQclear(PQexec(c, "ROLLBACK"));
        throw;
    }
    if (t.atomic) exec(c, "COMMIT");
    return rows;
}

const PgDatabase* sharedDatabase() {
    static const std::unique_ptr<PgDatabase> db =
        serverParameters().empty() ? nullptr
                                   : std::make_unique<PgDatabase>("brevanto_tsql_" + std::to_string(getpid()));
    return db.get();
}

}  // namespace tsqlpg
