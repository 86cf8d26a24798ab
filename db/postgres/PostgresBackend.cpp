#include "db/postgres/PostgresBackend.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "db/DatabaseSchema.h"
#include "db/postgres/PostgresResult.h"
#include "db/postgres/PostgresText.h"
#include "db/tsql/Translator.h"
#include "text/Text.h"

namespace db {

std::unique_ptr<Backend> openPostgresBackend(const ConnectionString& cs, const std::string& user,
                                             const std::string& password) {
    return postgres::PostgresBackend::open(cs, user, password);
}

namespace postgres {

namespace {

// SQL Server's "Database '%s' does not exist", for a three-part name without its schema.
constexpr long kNoSuchDatabase = 911;
// At most this many parameters per statement (the protocol allows 65535).
constexpr std::size_t kMaxParameters = 60000;

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

bool succeeded(const PGresult* r) {
    const auto status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// The statements whose rows count as affected, as SQL Server counts them: INSERT, UPDATE,
// DELETE and MERGE, whatever WITH precedes them. SELECT … INTO and DDL do not count.
bool changesData(const PGresult* r) {
    const std::string_view tag = PQcmdStatus(const_cast<PGresult*>(r));
    for (std::string_view dml : {"INSERT ", "UPDATE ", "DELETE ", "MERGE "})
        if (tag.substr(0, dml.size()) == dml) return true;
    return false;
}

long long countOf(const PGresult* r) {
    const char* n = PQcmdTuples(const_cast<PGresult*>(r));
    return n && *n ? std::atoll(n) : 0;
}

bool isTransactionControl(const std::string& sql) {
    static const char* const words[] = {"BEGIN", "START", "COMMIT", "END", "ROLLBACK", "ABORT", "SAVEPOINT", "RELEASE"};
    const std::string word = firstKeyword(sql);
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return word == w; });
}

void ignoreNotice(void*, const char*) {}

// A value as a text parameter: nullopt for Null. Numbers in the server's own notation.
std::optional<std::string> parameterText(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null: return std::nullopt;
        case Variant::Type::Boolean: return std::string(v.toBool() ? "1" : "0");
        case Variant::Type::Double: {
            char buf[32];
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.toDouble());
            return ec == std::errc() ? std::string(buf, end) : v.toText();
        }
        default: return v.toText();
    }
}

class PostgresPrepared : public PreparedStatement {
public:
    PostgresPrepared(PostgresBackend& backend, std::string name, int parameters,
                     std::weak_ptr<std::vector<std::string>> released)
        : backend_(backend), name_(std::move(name)), parameters_(parameters), released_(std::move(released)) {}
    ~PostgresPrepared() override {
        if (auto list = released_.lock()) list->push_back(name_);
    }

    long long execute(const std::vector<Variant>& values) override {
        if (static_cast<int>(values.size()) != parameters_)
            throw Error("Il comando preparato ha " + std::to_string(parameters_) + " segnaposto e ha ricevuto " +
                            std::to_string(values.size()) + " valori",
                        0, "07001", kSource);
        return backend_.executePrepared(name_, values);
    }

private:
    PostgresBackend& backend_;
    std::string name_;
    int parameters_;
    std::weak_ptr<std::vector<std::string>> released_;
};

}  // namespace

struct PostgresBackend::Batch {
    explicit Batch(tsql::Translation t) : translation(std::move(t)) {
        statements.reserve(translation.steps.size());
        for (const auto& step : translation.steps) statements.push_back(splitStatements(step.sql));
    }

    tsql::Translation translation;
    std::vector<std::vector<std::string>> statements;   // one list per step, in order
};

PostgresBackend::Statement::~Statement() {
    if (name.empty()) return;
    if (auto list = released.lock()) list->push_back(name);
}

std::unique_ptr<PostgresBackend> PostgresBackend::open(const ConnectionString& cs, const std::string& user,
                                                       const std::string& password) {
    auto item = [&](std::initializer_list<std::string_view> keys) {
        for (auto key : keys)
            if (auto v = cs.get(key)) return unbraced(*v);
        return std::string();
    };
    const std::string host = item({"Host"});
    const std::string port = item({"Port"});
    const std::string database = item({"database"});
    const std::string dbname = item({"Dbname"}).empty() ? database : item({"Dbname"});
    const std::string login = user.empty() ? item({"User", "User ID", "UID"}) : user;
    const std::string secret = password.empty() ? item({"Password", "PWD"}) : password;
    std::string schema = item({"DefaultSchema"});

    std::vector<std::string> missing;
    if (host.empty()) missing.push_back("Host (il server o la cartella del suo socket)");
    if (database.empty()) missing.push_back("database");
    if (login.empty()) missing.push_back("User");
    if (!missing.empty()) {
        std::string list;
        for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
        throw Error("Stringa di connessione PostgreSQL incompleta: manca " + list +
                        " (per esempio Provider=PostgreSQL;Host=server;Port=5432;database=BREVANTO;User=utente;"
                        "Password=segreta)",
                    0, "08001", kSource);
    }

    // Each value goes to libpq as it is: nothing is parsed out of a text built here.
    std::vector<const char*> keys, values;
    auto add = [&](const char* key, const std::string& value) {
        if (value.empty()) return;
        keys.push_back(key);
        values.push_back(value.c_str());
    };
    const std::string encoding = "UTF8", timeout = "10", application = "brevanto", options = "-c DateStyle=ISO,YMD";
    add("host", host);
    add("port", port);
    add("dbname", dbname);
    add("user", login);
    add("password", secret);
    add("client_encoding", encoding);
    add("connect_timeout", timeout);
    add("application_name", application);
    add("options", options);
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn) throw Error("Connessione al server PostgreSQL non riuscita: memoria esaurita", 0, "08001", kSource);
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = PQerrorMessage(conn);
        PQfinish(conn);
        throw connectionError(message, host, port, dbname, login);
    }
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    std::unique_ptr<PostgresBackend> backend(new PostgresBackend(conn, database, schema));
    // The module reaches an intercompany database by putting its name after database=: with
    // the server's database given by Dbname, that name is the schema of the same name.
    if (schema.empty() && text::toUpperAscii(database) != text::toUpperAscii(dbname) && backend->schemaExists(database)) {
        schema = database;
        backend->defaultSchema_ = schema;
    }
    if (!schema.empty()) {
        backend->requireSchema(schema);
        backend->execSimple("SET search_path TO " + quoteIdentifier(schema) + ", public");
    }
    return backend;
}

PostgresBackend::PostgresBackend(pg_conn* conn, std::string database, std::string defaultSchema)
    : conn_(conn),
      database_(std::move(database)),
      defaultSchema_(std::move(defaultSchema)),
      schema_(databaseSchema()) {}

PostgresBackend::~PostgresBackend() { close(); }

void PostgresBackend::close() {
    if (!conn_) return;
    PQfinish(conn_);
    conn_ = nullptr;
    released_->clear();
}

void PostgresBackend::ensureOpen() const {
    if (!conn_) throw Error("La connessione al database è chiusa", 0, "08003", kSource);
}

bool PostgresBackend::inTransaction() const {
    const auto status = PQtransactionStatus(conn_);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

void PostgresBackend::fail(pg_result* result) const {
    ErrorItem item = errorItemFor(result, conn_);
    PQclear(result);
    throw Error({std::move(item)});
}

void PostgresBackend::execSimple(const std::string& sql) {
    PGresult* r = PQexec(conn_, sql.c_str());
    if (!succeeded(r)) fail(r);
    PQclear(r);
}

void PostgresBackend::dropReleased() {
    if (released_->empty() || inTransaction()) return;
    std::string sql;
    for (const auto& name : *released_) sql += "DEALLOCATE " + quoteIdentifier(name) + ";";
    released_->clear();
    PQclear(PQexec(conn_, sql.c_str()));
}

void PostgresBackend::ensureSchema(const std::string& name) {
    const std::string key = text::toUpperAscii(name);
    if (key == text::toUpperAscii(defaultSchema_.empty() ? database_ : defaultSchema_) || schemas_.count(name)) return;
    requireSchema(name);
}

bool PostgresBackend::schemaExists(const std::string& name) {
    const char* values[] = {name.c_str()};
    Result r(PQexecParams(conn_, "SELECT 1 FROM pg_namespace WHERE nspname = $1", 1, nullptr, values, nullptr,
                          nullptr, 0));
    if (!succeeded(r.get())) fail(r.release());
    return PQntuples(r.get()) > 0;
}

void PostgresBackend::requireSchema(const std::string& name) {
    if (!schemaExists(name))
        throw Error("Il database '" + name + "' non esiste (il database " + database_ + " non ha lo schema \"" + name +
                        "\")",
                    kNoSuchDatabase, "42S02", kSource);
    schemas_.insert(name);
}

std::shared_ptr<const PostgresBackend::Batch> PostgresBackend::translated(const std::string& commandText) {
    ensureOpen();
    if (auto* kept = translations_.find(commandText)) return *kept;
    std::shared_ptr<const Batch> batch;
    try {
        tsql::TranslateOptions options;
        options.mainDatabase = defaultSchema_.empty() ? database_ : defaultSchema_;
        options.schema = &schema_->translation;
        batch = std::make_shared<const Batch>(tsql::translateForPostgres(commandText, options));
    } catch (const tsql::TranslateError& e) {
        throw Error(std::string(e.what()) + " (posizione " + std::to_string(e.offset()) + ")", 0, "42000",
                    "T-SQL translator");
    }
    if (commandText.size() <= kMaxCachedText) translations_.put(commandText, batch);
    return batch;
}

ExecResult PostgresBackend::execute(const std::string& commandText) {
    const auto batch = translated(commandText);
    if (batch->translation.parameters > 0)
        throw Error("Il comando contiene segnaposto ? senza valori: va preparato ed eseguito con i suoi valori", 0,
                    "07002", kSource);
    return runBatch(*batch);
}

ExecResult PostgresBackend::run(const tsql::Translation& translation) { return runBatch(Batch(translation)); }

ExecResult PostgresBackend::runBatch(const Batch& batch) {
    const tsql::Translation& translation = batch.translation;
    ensureOpen();
    dropReleased();
    for (const auto& name : translation.attachedDatabases) ensureSchema(name);

    ExecResult out;
    long long changed = 0;
    bool anyDml = false;
    const bool controls = std::any_of(translation.steps.begin(), translation.steps.end(),
                                      [](const tsql::Step& s) { return isTransactionControl(s.sql); });
    if (inTransaction() && !controls) {
        // A failure inside a transaction undoes this batch only; the transaction goes on.
        execSimple("SAVEPOINT brevanto_batch");
        try {
            runSteps(batch, out, changed, anyDml);
        } catch (...) {
            PQclear(PQexec(conn_, "ROLLBACK TO SAVEPOINT brevanto_batch; RELEASE SAVEPOINT brevanto_batch"));
            throw;
        }
        execSimple("RELEASE SAVEPOINT brevanto_batch");
    } else if (translation.atomic && !inTransaction()) {
        // One statement made of several steps (MERGE) applies whole or not at all.
        execSimple("BEGIN");
        try {
            runSteps(batch, out, changed, anyDml);
        } catch (...) {
            PQclear(PQexec(conn_, "ROLLBACK"));
            throw;
        }
        execSimple("COMMIT");
    } else {
        runSteps(batch, out, changed, anyDml);
    }
    out.rowsAffected = anyDml ? changed : -1;
    return out;
}

void PostgresBackend::runSteps(const Batch& batch, ExecResult& out, long long& changed, bool& anyDml) {
    for (std::size_t i = 0; i < batch.translation.steps.size(); ++i)
        for (const auto& sql : batch.statements[i]) runStatement(sql, batch.translation.steps[i], out, changed, anyDml);
}

pg_result* PostgresBackend::send(const std::string& sql) {
    auto once = [&] { return PQexecParams(conn_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0); };
    if (sql.size() > kMaxCachedText) return once();
    // Held for the call: a statement run in between may push it out of the cache.
    std::shared_ptr<Statement> kept;
    if (auto* found = statements_.find(sql)) kept = *found;
    else kept = statements_.put(sql, std::make_shared<Statement>());
    // A text seen once runs unprepared: only a text that comes back is worth a prepared plan.
    if (kept->name.empty()) {
        if (++kept->runs < 2) return once();
        std::string name = "brevanto_" + std::to_string(++nextStatement_);
        PGresult* p = PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr);
        if (!succeeded(p)) return p;
        PQclear(p);
        kept->name = std::move(name);
        kept->released = released_;
    }
    PGresult* r = PQexecPrepared(conn_, kept->name.c_str(), 0, nullptr, nullptr, nullptr, 0);
    const char* state = succeeded(r) ? nullptr : PQresultErrorField(r, PG_DIAG_SQLSTATE);
    if (state && std::string_view(state) == "0A000" && !inTransaction()) {
        // The kept plan no longer fits (a session table made again with other columns).
        PQclear(r);
        kept.reset();
        statements_.put(sql, std::make_shared<Statement>());
        return once();
    }
    return r;
}

void PostgresBackend::runStatement(const std::string& sql, const tsql::Step& step, ExecResult& out,
                                   long long& changed, bool& anyDml) {
    Result r(send(sql));
    if (!succeeded(r.get())) fail(r.release());
    const bool rows = PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQnfields(r.get()) > 0;
    const bool dml = changesData(r.get());

    if (!step.failWhenNonZero.empty() && rows) {
        const bool nonZero = PQntuples(r.get()) > 0 && !PQgetisnull(r.get(), 0, 0) &&
                             std::atoll(PQgetvalue(r.get(), 0, 0)) != 0;
        if (nonZero) throw Error(step.failWhenNonZero, nativeErrorFor("21000"), "21000", kSource);
        return;
    }
    if (!step.captureInto.empty() && rows) {
        // OUTPUT … INTO: every returned row goes into the session table, none to the caller.
        capture(r.get(), step.captureInto);
        if (dml) {
            changed += PQntuples(r.get());
            anyDml = true;
        }
        return;
    }
    if (step.returnsRows && rows) out.resultSets.push_back(readResultSet(r.get()));
    if (dml) {
        changed += countOf(r.get());
        anyDml = true;
    }
}

void PostgresBackend::capture(const pg_result* rows, const std::string& table) {
    const int columns = PQnfields(rows);
    const int count = PQntuples(rows);
    const std::string target = !table.empty() && table.front() == '"' ? table : quoteIdentifier(table);
    const int perInsert = std::max(1, static_cast<int>(kMaxParameters) / std::max(1, columns));
    for (int first = 0; first < count; first += perInsert) {
        const int last = std::min(count, first + perInsert);
        std::string sql = "INSERT INTO " + target + " VALUES ";
        std::vector<const char*> values;
        int marker = 0;
        for (int row = first; row < last; ++row) {
            sql += row == first ? "(" : ", (";
            for (int c = 0; c < columns; ++c) {
                sql += (c ? ", $" : "$") + std::to_string(++marker);
                values.push_back(PQgetisnull(rows, row, c) ? nullptr : PQgetvalue(rows, row, c));
            }
            sql += ")";
        }
        Result r(PQexecParams(conn_, sql.c_str(), marker, nullptr, values.data(), nullptr, nullptr, 0));
        if (!succeeded(r.get())) fail(r.release());
    }
}

ExecResult PostgresBackend::executeNative(const std::string& sql) {
    ensureOpen();
    dropReleased();
    if (!PQsendQuery(conn_, sql.c_str())) fail(nullptr);
    ExecResult out;
    long long changed = 0;
    bool anyDml = false;
    PGresult* failed = nullptr;
    while (PGresult* r = PQgetResult(conn_)) {
        if (!succeeded(r)) {
            if (!failed) failed = r;
            else PQclear(r);
            continue;
        }
        if (!failed && PQresultStatus(r) == PGRES_TUPLES_OK) out.resultSets.push_back(readResultSet(r));
        if (changesData(r)) {
            changed += countOf(r);
            anyDml = true;
        }
        PQclear(r);
    }
    if (failed) fail(failed);
    out.rowsAffected = anyDml ? changed : -1;
    return out;
}

void PostgresBackend::beginTransaction() {
    ensureOpen();
    dropReleased();
    execSimple("BEGIN");
}

void PostgresBackend::commitTransaction() {
    ensureOpen();
    Result r(PQexec(conn_, "COMMIT"));
    if (!succeeded(r.get())) fail(r.release());
    // A transaction the server had already aborted ends with ROLLBACK, not with an error.
    if (std::string_view(PQcmdStatus(r.get())) == "ROLLBACK")
        throw Error("La transazione era stata annullata da un errore: nessuna modifica salvata", 0, "40000", kSource);
}

void PostgresBackend::rollbackTransaction() {
    if (!conn_ || PQtransactionStatus(conn_) == PQTRANS_IDLE) return;
    execSimple("ROLLBACK");
}

std::unique_ptr<PreparedStatement> PostgresBackend::prepare(const std::string& commandText) {
    const auto kept = translated(commandText);
    const tsql::Translation& translation = kept->translation;
    static const std::vector<std::string> kNone;
    const auto& statements = translation.steps.size() == 1 ? kept->statements[0] : kNone;
    if (statements.size() != 1 || translation.atomic || !translation.steps[0].captureInto.empty() ||
        !translation.steps[0].failWhenNonZero.empty())
        throw Error("Un comando preparato deve essere una sola istruzione semplice", 0, "42000", kSource);
    for (const auto& name : translation.attachedDatabases) ensureSchema(name);
    dropReleased();
    std::string name = "brevanto_p" + std::to_string(++nextStatement_);
    Result r(PQprepare(conn_, name.c_str(), statements[0].c_str(), translation.parameters, nullptr));
    if (!succeeded(r.get())) fail(r.release());
    return std::make_unique<PostgresPrepared>(*this, std::move(name), translation.parameters, released_);
}

long long PostgresBackend::executePrepared(const std::string& name, const std::vector<Variant>& values) {
    ensureOpen();
    std::vector<std::optional<std::string>> texts;
    texts.reserve(values.size());
    for (const auto& v : values) {
        texts.push_back(parameterText(v));
        if (texts.back() && texts.back()->find('\0') != std::string::npos)
            throw Error("Un valore contiene un carattere NUL: PostgreSQL non lo accetta in un testo", 0, "22021", kSource);
    }
    std::vector<const char*> pointers;
    for (const auto& t : texts) pointers.push_back(t ? t->c_str() : nullptr);
    const bool guard = inTransaction();
    if (guard) execSimple("SAVEPOINT brevanto_batch");
    Result r(PQexecPrepared(conn_, name.c_str(), static_cast<int>(pointers.size()), pointers.data(), nullptr,
                            nullptr, 0));
    if (!succeeded(r.get())) {
        ErrorItem item = errorItemFor(r.get(), conn_);
        if (guard) PQclear(PQexec(conn_, "ROLLBACK TO SAVEPOINT brevanto_batch; RELEASE SAVEPOINT brevanto_batch"));
        throw Error({std::move(item)});
    }
    if (guard) execSimple("RELEASE SAVEPOINT brevanto_batch");
    return changesData(r.get()) ? countOf(r.get()) : 0;
}

}  // namespace postgres
}  // namespace db
