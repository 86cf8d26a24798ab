#include "db/sqlite/SqliteBackend.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>

#include "db/DatabaseSchema.h"
#include "db/SqlIdentifier.h"
#include "db/sqlite/DatabaseFile.h"
#include "db/sqlite/PreparedStep.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "text/Text.h"

namespace db {

std::unique_ptr<Backend> openSqliteBackend(const ConnectionString& cs) { return sqlite::SqliteBackend::open(cs); }

namespace sqlite {

namespace {

constexpr const char* kSource = "SQLite";
constexpr int kBusyTimeoutMs = 5000;
// SQL Server's "Database '%s' does not exist": kept as the native code of our own message.
constexpr long kNoSuchDatabase = 911;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// A database name becomes a file name: refuse anything that would leave the folder.
bool isPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == '\0'; });
}

std::filesystem::path databaseFile(const std::string& folder, const std::string& name) {
    return std::filesystem::path(folder) / (name + ".db");
}

bool truthy(std::string_view v) {
    std::string u = text::toUpperAscii(v);
    return u == "1" || u == "TRUE" || u == "YES" || u == "SI";
}

[[noreturn]] void openError(const std::string& description, long native = SQLITE_CANTOPEN) {
    throw Error(description, native, "08001", kSource);
}

// Why SQLite could not open a database file, for the user; SQLite's own text for the rare
// codes.
std::string openFailureReason(int rc, const std::string& sqliteText) {
    switch (rc & 0xff) {
    case SQLITE_CANTOPEN: return "il file non si può aprire (percorso o permessi)";
    case SQLITE_NOTADB: return "il file non è un database SQLite";
    case SQLITE_CORRUPT: return "il file del database è danneggiato";
    case SQLITE_PERM:
    case SQLITE_READONLY: return "permessi insufficienti per scrivere nel database";
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "il database è bloccato da un altro programma";
    case SQLITE_FULL: return "spazio esaurito sul disco";
    case SQLITE_IOERR: return "errore di lettura o scrittura sul disco";
    default: return sqliteText;
    }
}

// The first keyword of a statement, past blanks and comments.
std::string firstKeyword(const char* sql) {
    const char* p = sql;
    for (;;) {
        while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
        if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n') ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char* end = std::strstr(p + 2, "*/");
            p = end ? end + 2 : p + std::strlen(p);
        } else {
            break;
        }
    }
    const char* b = p;
    while (*p && (std::isalpha(static_cast<unsigned char>(*p)) || *p == '_')) ++p;
    return text::toUpperAscii(std::string_view(b, static_cast<std::size_t>(p - b)));
}

// INSERT/UPDATE/DELETE/REPLACE, also behind a WITH: the statements whose changed rows count.
// CREATE TABLE … AS SELECT and other DDL do not.
bool changesData(sqlite3_stmt* stmt) {
    std::string kw = firstKeyword(sqlite3_sql(stmt));
    if (kw == "INSERT" || kw == "UPDATE" || kw == "DELETE" || kw == "REPLACE") return true;
    return kw == "WITH" && !sqlite3_stmt_readonly(stmt);
}

// Column i of the statement's current row, written into `row` of the table (whose cells
// start as Null).
void readValue(sqlite3_stmt* stmt, int i, bool asDecimal, RowTable& table, std::size_t row) {
    const auto column = static_cast<std::size_t>(i);
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: {
        const auto v = static_cast<std::int64_t>(sqlite3_column_int64(stmt, i));
        if (asDecimal)
            table.setDecimal(row, column, static_cast<double>(v));
        else
            table.setInteger(row, column, v);
        return;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(stmt, i);
        if (asDecimal)
            table.setDecimal(row, column, v);
        else
            table.setDouble(row, column, v);
        return;
    }
    case SQLITE_NULL:
        return;
    default: {   // TEXT and BLOB: the bytes as UTF-8 text
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
        int n = sqlite3_column_bytes(stmt, i);
        table.setText(row, column, std::string_view(bytes ? bytes : "", static_cast<std::size_t>(n)));
        return;
    }
    }
}

ResultSet readResultSet(sqlite3_stmt* stmt, int rcFirst, int& rcLast) {
    const int n = sqlite3_column_count(stmt);
    ResultSet rs;
    rs.fields.resize(static_cast<std::size_t>(n));
    rs.rows = RowTable(static_cast<std::size_t>(n));
    std::vector<bool> decimal(static_cast<std::size_t>(n), false);
    for (int i = 0; i < n; ++i) {
        const char* decl = sqlite3_column_decltype(stmt, i);
        FieldInfo fi = fieldInfoForDeclType(decl ? decl : "");
        const char* name = sqlite3_column_name(stmt, i);
        fi.name = name ? name : "";
        decimal[static_cast<std::size_t>(i)] = fi.type == ado::adDecimal;
        rs.fields[static_cast<std::size_t>(i)] = std::move(fi);
    }
    int rc = rcFirst;
    while (rc == SQLITE_ROW) {
        const std::size_t row = rs.rows.appendRow();
        for (int i = 0; i < n; ++i) readValue(stmt, i, decimal[static_cast<std::size_t>(i)], rs.rows, row);
        rc = sqlite3_step(stmt);
    }
    rcLast = rc;
    // Columns without a declared type (expressions) take the type of their first value.
    for (std::size_t i = 0; i < rs.fields.size(); ++i) {
        auto& fi = rs.fields[i];
        if (fi.type != ado::adVariant) continue;
        for (std::size_t r = 0; r < rs.rows.size(); ++r) {
            const Variant::Type t = rs.rows.type(r, i);
            if (t == Variant::Type::Null) continue;
            if (t == Variant::Type::Integer) {
                bool wide = false;
                for (std::size_t k = 0; k < rs.rows.size() && !wide; ++k) {
                    if (rs.rows.type(k, i) != Variant::Type::Integer) continue;
                    const std::int64_t x = rs.rows.value(k, i).toInt64();
                    wide = x > std::numeric_limits<std::int32_t>::max() || x < std::numeric_limits<std::int32_t>::min();
                }
                fi.type = wide ? ado::adBigInt : ado::adInteger;
            } else if (t == Variant::Type::Double) {
                fi.type = ado::adDouble;
            } else {
                fi.type = ado::adVarWChar;
            }
            break;
        }
    }
    return rs;
}

}  // namespace

std::string sqlStateFor(int extendedCode, std::string_view message) {
    switch (extendedCode & 0xff) {
    case SQLITE_CONSTRAINT:
        return "23000";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "HYT00";
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
        return "08001";
    case SQLITE_ERROR:
        if (startsWith(message, "no such table")) return "42S02";
        if (startsWith(message, "no such column")) return "42S22";
        if (message.find("syntax error") != std::string_view::npos || startsWith(message, "near \"") ||
            startsWith(message, "incomplete input") || startsWith(message, "unrecognized token"))
            return "42000";
        if (message.find("already exists") != std::string_view::npos) return "42S01";
        return "HY000";
    default:
        return "HY000";
    }
}

ErrorItem errorItemFor(sqlite3* db, int rc) {
    int ext = db ? sqlite3_extended_errcode(db) : rc;
    if ((ext & 0xff) != (rc & 0xff)) ext = rc;   // the connection's code belongs to another call
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    std::string state = sqlStateFor(ext, message);
    return ErrorItem{std::move(message), ext, std::move(state), kSource};
}

FieldInfo fieldInfoForDeclType(std::string_view declType) {
    FieldInfo fi;
    std::string d = text::toUpperAscii(declType);
    std::size_t open = d.find('(');
    std::string base = d.substr(0, open);
    while (!base.empty() && std::isspace(static_cast<unsigned char>(base.back()))) base.pop_back();
    while (!base.empty() && std::isspace(static_cast<unsigned char>(base.front()))) base.erase(base.begin());
    // Keep only the type words: "NVARCHAR COLLATE TSQL" names the type NVARCHAR.
    if (auto sp = base.find(' '); sp != std::string::npos && base.compare(0, 6, "DOUBLE") != 0) base.resize(sp);
    long size = 0;
    if (open != std::string::npos) {
        const char* b = d.data() + open + 1;
        while (*b == ' ') ++b;
        std::from_chars(b, d.data() + d.size(), size);
    }
    if (base.empty()) return fi;
    if (base == "NVARCHAR" || base == "VARCHAR" || base == "NCHAR" || base == "CHAR" || base == "TEXT" ||
        base == "NTEXT" || base == "CLOB" || base == "CHARACTER") {
        fi.type = ado::adVarWChar;
        fi.definedSize = size;
    } else if (base == "TINYINT") {
        fi.type = ado::adUnsignedTinyInt;
        fi.definedSize = 1;
    } else if (base == "SMALLINT") {
        fi.type = ado::adSmallInt;
        fi.definedSize = 2;
    } else if (base == "INT" || base == "INTEGER") {
        fi.type = ado::adInteger;
        fi.definedSize = 4;
    } else if (base == "BIGINT") {
        fi.type = ado::adBigInt;
        fi.definedSize = 8;
    } else if (base == "DECIMAL" || base == "NUMERIC" || base == "NUM" || base == "MONEY") {
        fi.type = ado::adDecimal;
        fi.definedSize = size ? size : 18;
    } else if (base == "REAL" || base == "FLOAT" || base.compare(0, 6, "DOUBLE") == 0) {
        fi.type = ado::adDouble;
        fi.definedSize = 8;
    } else if (base.find("INT") != std::string::npos) {   // SQLite's own affinity rules
        fi.type = ado::adBigInt;
        fi.definedSize = 8;
    } else if (base.find("CHAR") != std::string::npos || base.find("TEXT") != std::string::npos) {
        fi.type = ado::adVarWChar;
        fi.definedSize = size;
    }
    return fi;
}

std::unique_ptr<SqliteBackend> SqliteBackend::open(const ConnectionString& cs) {
    std::string database = cs.getOr("database", "");
    if (database.empty()) database = cs.getOr("Initial Catalog", "");
    if (database.empty())
        openError("Stringa di connessione SQLite senza 'database=': indicare il nome del database", 0);
    if (!isPlainName(database))
        openError("Nome di database non valido: '" + database + "' (solo un nome, senza cartelle)", 0);
    std::string folder = cs.getOr("Data Source", "");
    if (folder.empty())
        openError("Stringa di connessione SQLite senza 'Data Source=': indicare la cartella dei database", 0);
    const bool create = truthy(cs.getOr("Create", ""));
    const bool anySchema = text::toUpperAscii(cs.getOr("Schema", "")) == "ANY";

    std::error_code ec;
    auto file = databaseFile(folder, database);
    if (!std::filesystem::is_directory(folder, ec))
        openError("La cartella dei database '" + folder + "' non esiste");
    const bool existed = std::filesystem::exists(file, ec);
    if (!create && !existed)
        openError("Il database '" + database + "' non esiste in " + folder + ": crearlo con brevanto-cli db init");
    auto refuse = [&](const std::string& why, long native) {
        openError("Impossibile aprire il database '" + database + "' (" + file.string() + "): " + why, native);
    };
    // An existing file is looked at before SQLite may write to it: an empty file would
    // become a new database, and switching to WAL rewrites any file it takes for one.
    if (existed)
        if (auto why = whyNotADatabaseFile(file)) refuse(*why, SQLITE_NOTADB);

    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = openFailureReason(rc, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        refuse(msg, rc);
    }
    std::unique_ptr<SqliteBackend> backend(new SqliteBackend(db, database, folder, anySchema, databaseSchema()));
    const DatabaseSchema& schema = *backend->schema_;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (existed) {
        // The first read of the file: a damaged one fails here, still untouched.
        std::vector<std::string> tables;
        rc = readTableNames(db, "main", tables);
        if (rc != SQLITE_OK) refuse(openFailureReason(rc, sqlite3_errmsg(db)), rc);
        if (!anySchema && !holdsAnyTable(tables, schema.tables))
            refuse("il file non è un database Brevanto (non contiene le sue tabelle)", SQLITE_NOTADB);
    }
    // WAL with synchronous=FULL: a commit is on the disk when it returns, so a confirmed save
    // survives a power cut (NORMAL, the usual WAL pairing, may lose the last commits).
    rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        int ext = sqlite3_extended_errcode(db);
        refuse(openFailureReason(ext, sqlite3_errmsg(db)), ext);
    }
    try {
        registerSqliteRuntime(db);
    } catch (const std::exception& e) {
        openError(std::string("Impossibile preparare la connessione SQLite: ") + e.what(), 0);
    }
    if (schema.registerSqliteFunctions) schema.registerSqliteFunctions(db);
    return backend;
}

SqliteBackend::SqliteBackend(sqlite3* db, std::string database, std::string folder, bool anySchema,
                             std::shared_ptr<const DatabaseSchema> schema)
    : db_(db),
      database_(std::move(database)),
      folder_(std::move(folder)),
      anySchema_(anySchema),
      schema_(std::move(schema)) {}

SqliteBackend::~SqliteBackend() { close(); }

void SqliteBackend::close() {
    if (!db_) return;
    statements_.clear();
    translations_.clear();
    // Every other statement is finalized where it runs (the table functions' lookups with
    // their cursors); close_v2 still defers the close safely should one be left.
    sqlite3_close_v2(db_);
    db_ = nullptr;
    attached_.clear();
}

void SqliteBackend::fail(int rc) const { throw Error({errorItemFor(db_, rc)}); }

void SqliteBackend::attachIfNeeded(const std::string& database) {
    std::string key = text::toUpperAscii(database);
    if (key == text::toUpperAscii(database_) || attached_.count(key)) return;
    auto file = databaseFile(folder_, database);
    std::error_code ec;
    if (!isPlainName(database) || !std::filesystem::exists(file, ec))
        throw Error("Il database '" + database + "' non esiste (" + file.string() + ")", kNoSuchDatabase, "42S02",
                    kSource);
    auto refuse = [&](const std::string& why, long native) {
        throw Error("Impossibile usare il database '" + database + "' (" + file.string() + "): " + why, native,
                    "08001", kSource);
    };
    if (auto why = whyNotADatabaseFile(file)) refuse(*why, SQLITE_NOTADB);
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db_, "ATTACH DATABASE ?1 AS ?2", -1, &raw, nullptr);
    StmtPtr stmt(raw);
    if (rc != SQLITE_OK) fail(rc);
    std::string path = file.string();
    sqlite3_bind_text(raw, 1, path.c_str(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(raw, 2, database.c_str(), static_cast<int>(database.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(raw);
    if (rc != SQLITE_DONE) fail(rc);
    std::vector<std::string> tables;
    rc = readTableNames(db_, database, tables);
    if (rc != SQLITE_OK || (!anySchema_ && !holdsAnyTable(tables, schema_->tables))) {
        std::string why = rc != SQLITE_OK ? openFailureReason(rc, sqlite3_errmsg(db_))
                                          : "il file non è un database Brevanto (non contiene le sue tabelle)";
        execSimple(("DETACH DATABASE " + quoteIdentifier(database)).c_str());
        refuse(why, rc != SQLITE_OK ? rc : SQLITE_NOTADB);
    }
    // The setting is per database file: an attached one syncs its commits as the main one does.
    execSimple(("PRAGMA " + quoteIdentifier(database) + ".synchronous=FULL").c_str());
    attached_.emplace(key, database);
}

void SqliteBackend::ensureFilesInPlace() const {
    auto check = [&](const std::string& schema, const std::string& name) {
        if (!fileHasMoved(db_, schema)) return;
        throw Error("Il file del database '" + name + "' (" + databaseFile(folder_, name).string() +
                        ") è stato cancellato, spostato o sostituito dopo l'apertura: modifica non salvata",
                    SQLITE_READONLY_DBMOVED, "08S01", kSource);
    };
    check("main", database_);
    for (const auto& [key, name] : attached_) check(name, name);
}

std::shared_ptr<const tsql::Translation> SqliteBackend::translated(const std::string& commandText) {
    if (!db_) throw Error("La connessione al database è chiusa", 0, "08003", kSource);
    if (auto* kept = translations_.find(commandText)) return *kept;
    std::shared_ptr<const tsql::Translation> translation;
    try {
        const tsql::TranslateOptions options{.mainDatabase = database_, .schema = &schema_->translation};
        translation = std::make_shared<const tsql::Translation>(tsql::translate(commandText, options));
    } catch (const tsql::TranslateError& e) {
        throw Error(std::string(e.what()) + " (posizione " + std::to_string(e.offset()) + ")", 0, "42000",
                    "T-SQL translator");
    }
    if (commandText.size() <= kMaxCachedText) translations_.put(commandText, translation);
    return translation;
}

ExecResult SqliteBackend::execute(const std::string& commandText) {
    const auto translation = translated(commandText);
    if (translation->parameters > 0)
        throw Error("Il comando contiene segnaposto ? senza valori: va preparato ed eseguito con i suoi valori", 0,
                    "07002", kSource);
    return run(*translation);
}

namespace {

class SqlitePrepared : public PreparedStatement {
public:
    // `checkFiles` runs before a write made outside a transaction (a commit checks for the
    // statements of a transaction).
    SqlitePrepared(sqlite3* db, StmtPtr stmt, std::function<void()> checkFiles)
        : db_(db), stmt_(std::move(stmt)), checkFiles_(std::move(checkFiles)) {}

    long long execute(const std::vector<Variant>& values) override {
        sqlite3_stmt* st = stmt_.get();
        const int expected = sqlite3_bind_parameter_count(st);
        if (static_cast<int>(values.size()) != expected)
            throw Error("Il comando preparato ha " + std::to_string(expected) + " segnaposto e ha ricevuto " +
                            std::to_string(values.size()) + " valori",
                        0, "07001", kSource);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        for (int i = 0; i < expected; ++i) bind(i + 1, values[static_cast<std::size_t>(i)]);
        if (!sqlite3_stmt_readonly(st) && sqlite3_get_autocommit(db_)) checkFiles_();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            Error error({errorItemFor(db_, rc)});
            sqlite3_reset(st);
            throw error;
        }
        return changesData(st) ? sqlite3_changes64(db_) : 0;
    }

private:
    void bind(int index, const Variant& v) {
        sqlite3_stmt* st = stmt_.get();
        int rc = SQLITE_OK;
        switch (v.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null: rc = sqlite3_bind_null(st, index); break;
        case Variant::Type::Integer:
        case Variant::Type::Boolean: rc = sqlite3_bind_int64(st, index, v.toInt64()); break;
        case Variant::Type::Double: rc = sqlite3_bind_double(st, index, v.toDouble()); break;
        default: {
            const std::string text = v.toText();
            rc = sqlite3_bind_text64(st, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
        if (rc != SQLITE_OK) throw Error({errorItemFor(db_, rc)});
    }

    sqlite3* db_;
    StmtPtr stmt_;
    std::function<void()> checkFiles_;
};

}  // namespace

std::unique_ptr<PreparedStatement> SqliteBackend::prepare(const std::string& commandText) {
    const auto kept = translated(commandText);
    const tsql::Translation& translation = *kept;
    if (translation.steps.size() != 1 || translation.atomic || !translation.steps[0].captureInto.empty() ||
        !translation.steps[0].failWhenNonZero.empty())
        throw Error("Un comando preparato deve essere una sola istruzione semplice", 0, "42000", kSource);
    for (const auto& name : translation.attachedDatabases) attachIfNeeded(name);
    const std::string& sql = translation.steps[0].sql;
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw, &tail);
    StmtPtr stmt(raw);
    if (rc != SQLITE_OK) fail(rc);
    if (!raw || (tail && *tail)) throw Error("Un comando preparato deve essere una sola istruzione", 0, "42000", kSource);
    return std::make_unique<SqlitePrepared>(db_, std::move(stmt), [this] { ensureFilesInPlace(); });
}

ExecResult SqliteBackend::run(const tsql::Translation& translation) {
    if (!db_) throw Error("La connessione al database è chiusa", 0, "08003", kSource);
    for (const auto& name : translation.attachedDatabases) attachIfNeeded(name);

    ExecResult out;
    long long changed = 0;
    bool anyDml = false;
    if (!translation.atomic) {
        for (const auto& step : translation.steps) runStep(step, out, changed, anyDml);
    } else {
        // One T-SQL statement made of several steps (MERGE) applies whole or not at all. A
        // savepoint nests inside a transaction the caller may have begun.
        execSimple("SAVEPOINT brevanto_statement");
        try {
            for (const auto& step : translation.steps) runStep(step, out, changed, anyDml);
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK TO brevanto_statement; RELEASE brevanto_statement", nullptr, nullptr,
                         nullptr);
            throw;
        }
        execSimple("RELEASE brevanto_statement");
    }
    // A file deleted while the statements wrote: what they wrote is gone with it.
    if (anyDml) ensureFilesInPlace();
    out.rowsAffected = anyDml ? changed : -1;
    return out;
}

void SqliteBackend::beginTransaction() {
    if (!db_) throw Error("La connessione al database è chiusa", 0, "08003", kSource);
    ensureFilesInPlace();
    execSimple("BEGIN IMMEDIATE");
}

void SqliteBackend::commitTransaction() {
    if (!db_) throw Error("La connessione al database è chiusa", 0, "08003", kSource);
    execSimple("COMMIT");
    ensureFilesInPlace();
}

void SqliteBackend::rollbackTransaction() {
    // SQLite may have rolled back by itself (a full disk): then there is nothing left to undo.
    if (!db_ || sqlite3_get_autocommit(db_)) return;
    execSimple("ROLLBACK");
}

void SqliteBackend::execSimple(const char* sql) {
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc);
}

void SqliteBackend::runStep(const tsql::Step& step, ExecResult& out, long long& changed, bool& anyDml) {
    // Held for the whole run: a statement run in between may push this step out of the cache.
    std::shared_ptr<PreparedStep> plan;
    if (auto* kept = statements_.find(step.sql)) plan = *kept;
    else if (step.sql.size() <= kMaxCachedText) plan = statements_.put(step.sql, std::make_shared<PreparedStep>());
    else plan = std::make_shared<PreparedStep>();

    const char* begin = step.sql.c_str();
    const char* end = begin + step.sql.size();
    std::size_t offset = 0;
    for (std::size_t k = 0; begin + offset < end; ++k) {
        if (k == plan->parts.size()) {
            // Prepared when the run reaches it, after the statements before it have run.
            const char* sql = begin + offset;
            sqlite3_stmt* raw = nullptr;
            const char* tail = nullptr;
            int rc = sqlite3_prepare_v3(db_, sql, static_cast<int>(end - sql), SQLITE_PREPARE_PERSISTENT, &raw,
                                        &tail);
            StmtPtr stmt(raw);
            if (rc != SQLITE_OK) fail(rc);
            if (!tail || tail <= sql) break;
            plan->parts.push_back({std::move(stmt), static_cast<std::size_t>(tail - begin)});
        }
        const PreparedStep::Part& part = plan->parts[k];
        offset = part.end;
        if (!part.stmt) continue;   // blanks or a comment only
        ResetOnExit reset(part.stmt.get());
        runStatement(part.stmt.get(), step, out, changed, anyDml);
    }
}

void SqliteBackend::runStatement(sqlite3_stmt* stmt, const tsql::Step& step, ExecResult& out, long long& changed,
                                 bool& anyDml) {
    const bool dml = changesData(stmt);
    if (!sqlite3_stmt_readonly(stmt)) ensureFilesInPlace();
    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(rc);
    // Read after the first step: a kept statement may have been prepared again in it.
    const int columns = sqlite3_column_count(stmt);

    if (!step.failWhenNonZero.empty() && columns > 0) {
        long long value = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
        while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE) fail(rc);
        if (value != 0) throw Error(step.failWhenNonZero, 0, "HY000", kSource);
        return;
    }

    if (!step.captureInto.empty() && columns > 0) {
        // OUTPUT … INTO: every returned row goes into the session table, none to the caller.
        const std::string& t = step.captureInto;
        std::string insert = "INSERT INTO " + (startsWith(t, "\"") ? t : quoteIdentifier(t)) + " VALUES (";
        for (int i = 1; i <= columns; ++i) insert += "?" + std::to_string(i) + (i < columns ? ", " : ")");
        sqlite3_stmt* rawIns = nullptr;
        int prc = sqlite3_prepare_v2(db_, insert.c_str(), -1, &rawIns, nullptr);
        StmtPtr ins(rawIns);
        if (prc != SQLITE_OK) fail(prc);
        long long rows = 0;
        while (rc == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) sqlite3_bind_value(rawIns, i + 1, sqlite3_column_value(stmt, i));
            int irc = sqlite3_step(rawIns);
            if (irc != SQLITE_DONE) fail(irc);
            sqlite3_reset(rawIns);
            ++rows;
            rc = sqlite3_step(stmt);
        }
        if (rc != SQLITE_DONE) fail(rc);
        if (dml) {
            changed += rows;
            anyDml = true;
        }
        return;
    }

    if (step.returnsRows && columns > 0) {
        int last = rc;
        ResultSet rs = readResultSet(stmt, rc, last);
        if (last != SQLITE_DONE) fail(last);
        out.resultSets.push_back(std::move(rs));
    } else {
        while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE) fail(rc);
    }
    if (dml) {
        changed += sqlite3_changes64(db_);
        anyDml = true;
    }
}

}  // namespace sqlite
}  // namespace db
