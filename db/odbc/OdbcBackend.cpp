// The ODBC backend: one environment and one connection per backend, one statement per
// command text. Text crosses the narrow API as UTF-8 (the SQLite3 driver has no wide entry
// points; PostgreSQL and FreeTDS with ClientCharset=UTF-8 exchange UTF-8 on it too). Every
// result of a batch is read completely into memory before the statement is freed.

#include <algorithm>
#include <charconv>
#include <memory>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Backend.h"
#include "db/odbc/Odbc.h"
#include "db/odbc/OdbcHandle.h"

namespace db {

namespace odbc {
namespace {

constexpr SQLULEN kLoginTimeoutSeconds = 10;

bool hasState(const std::vector<ErrorItem>& items, std::string_view state) {
    for (const auto& i : items)
        if (i.sqlState == state) return true;
    return false;
}

// unixODBC reports a driver library it cannot load as SQLSTATE 01000 ("Can't open lib …")
// although the connection fails, and an unknown DSN as IM002. Both become one clear IM002
// item in front of the driver manager's own records.
void explainMissingDriver(std::vector<ErrorItem>& items, const ConnectionString& cs) {
    bool cannotLoad = false;
    for (const auto& i : items)
        if (i.sqlState == "01000" && i.description.find("Can't open lib") != std::string::npos) cannotLoad = true;
    if (!cannotLoad && !hasState(items, "IM002")) return;

    auto unbrace = [](std::string v) {
        if (v.size() >= 2 && v.front() == '{' && v.back() == '}') v = v.substr(1, v.size() - 2);
        return v;
    };
    std::string what;
    if (auto driver = cs.get("Driver"); driver && !driver->empty()) {
        what = unbrace(*driver);
        if (what == "SQLite") what += " (il driver per SQLite 3 si chiama SQLite3)";
    } else if (auto dsn = cs.get("DSN"); dsn && !dsn->empty()) {
        what = "DSN " + unbrace(*dsn);
    } else {
        what = "la stringa di connessione non indica Driver né DSN";
    }
    items.insert(items.begin(), ErrorItem{"Driver ODBC non trovato: " + what, 0, "IM002", "ODBC"});
}

// The driver's first record in an Italian sentence, with its state and native code, ahead of
// the driver's own records.
ErrorItem explainedConnectFailure(const ErrorItem& first) {
    return {"Connessione al database ODBC non riuscita: " + first.description, first.nativeError, first.sqlState,
            "ODBC"};
}

// A column's value as UTF-8 text, read in chunks so that a text of any length arrives whole.
std::optional<std::string> readText(const Handle& stmt, SQLUSMALLINT column) {
    std::string out;
    char buffer[8192];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(stmt.get(), column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) break;   // the previous chunk was the last one
        check(rc, stmt, "SQLGetData");
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                         (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer));
        if (truncated) {
            out.append(buffer, sizeof buffer - 1);   // the driver ends every chunk with a NUL
            continue;
        }
        out.append(buffer, static_cast<std::size_t>(indicator < 0 ? 0 : indicator));
        break;
    }
    return out;
}

Variant readValue(const Handle& stmt, SQLUSMALLINT column, ValueKind kind) {
    SQLLEN indicator = 0;
    switch (kind) {
        case ValueKind::Integer: {
            SQLBIGINT v = 0;
            check(SQLGetData(stmt.get(), column, SQL_C_SBIGINT, &v, 0, &indicator), stmt, "SQLGetData");
            return indicator == SQL_NULL_DATA ? Variant::null() : Variant(static_cast<long long>(v));
        }
        case ValueKind::Boolean: {
            unsigned char v = 0;
            check(SQLGetData(stmt.get(), column, SQL_C_BIT, &v, 0, &indicator), stmt, "SQLGetData");
            return indicator == SQL_NULL_DATA ? Variant::null() : Variant(v != 0);
        }
        case ValueKind::Double: {
            double v = 0;
            check(SQLGetData(stmt.get(), column, SQL_C_DOUBLE, &v, 0, &indicator), stmt, "SQLGetData");
            return indicator == SQL_NULL_DATA ? Variant::null() : Variant(v);
        }
        case ValueKind::Decimal: {
            // Exact text from the driver ("12.50"), then the fixed-point variant. A driver
            // that sends something unparsable still gets its value through, as text.
            auto text = readText(stmt, column);
            if (!text) return Variant::null();
            double v = 0;
            const char* first = text->data();
            const char* last = first + text->size();
            if (first != last && *first == '+') ++first;
            auto [end, ec] = std::from_chars(first, last, v);
            if (ec == std::errc() && end == last) return Variant::decimal(v);
            return Variant(std::move(*text));
        }
        case ValueKind::Text:
            break;
    }
    auto text = readText(stmt, column);
    return text ? Variant(std::move(*text)) : Variant::null();
}

std::string columnName(const Handle& stmt, SQLUSMALLINT column, SQLSMALLINT& sqlType, SQLULEN& size,
                       SQLSMALLINT& nullable) {
    std::string name(256, '\0');
    SQLSMALLINT length = 0, digits = 0;
    auto describe = [&] {
        return SQLDescribeCol(stmt.get(), column, reinterpret_cast<SQLCHAR*>(name.data()),
                              static_cast<SQLSMALLINT>(name.size()), &length, &sqlType, &size, &digits, &nullable);
    };
    check(describe(), stmt, "SQLDescribeCol");
    if (length >= static_cast<SQLSMALLINT>(name.size())) {
        name.assign(static_cast<std::size_t>(length) + 1, '\0');
        check(describe(), stmt, "SQLDescribeCol");
    }
    name.resize(std::min<std::size_t>(length < 0 ? 0 : static_cast<std::size_t>(length), name.size() - 1));
    return name;
}

ResultSet readResult(const Handle& stmt, SQLSMALLINT columns) {
    ResultSet result;
    std::vector<ValueKind> kinds;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
        SQLSMALLINT sqlType = 0, nullable = SQL_NULLABLE_UNKNOWN;
        SQLULEN size = 0;
        std::string name = columnName(stmt, c, sqlType, size, nullable);
        result.fields.push_back(fieldInfoFor(std::move(name), sqlType, size, nullable));
        kinds.push_back(valueKindFor(sqlType));
    }
    result.rows = RowTable(kinds.size());
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        check(rc, stmt, "SQLFetch");
        const std::size_t row = result.rows.appendRow();
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c)
            result.rows.set(row, c - 1u, readValue(stmt, c, kinds[c - 1]));
    }
    return result;
}

// A statement prepared on the driver; each execution binds its values as parameters.
class OdbcPrepared final : public PreparedStatement {
public:
    OdbcPrepared(Handle stmt, std::weak_ptr<void> connectionAlive)
        : stmt_(std::move(stmt)), alive_(std::move(connectionAlive)) {
        SQLSMALLINT count = 0;
        check(SQLNumParams(stmt_.get(), &count), stmt_, "SQLNumParams");
        parameters_ = count;
    }
    ~OdbcPrepared() override {
        if (alive_.expired()) stmt_.abandon();   // the disconnection freed it
    }

    long long execute(const std::vector<Variant>& values) override {
        if (alive_.expired()) throw Error("Connessione ODBC chiusa", 0, "08003", "ODBC");
        if (static_cast<int>(values.size()) != parameters_)
            throw Error("Il comando preparato ha " + std::to_string(parameters_) + " segnaposto e ha ricevuto " +
                            std::to_string(values.size()) + " valori",
                        0, "07001", "ODBC");
        std::vector<std::string> texts(values.size());
        std::vector<SQLBIGINT> numbers(values.size());
        std::vector<SQLLEN> lengths(values.size());
        SQLFreeStmt(stmt_.get(), SQL_RESET_PARAMS);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const Variant& v = values[i];
            const auto n = static_cast<SQLUSMALLINT>(i + 1);
            SQLRETURN rc;
            if (v.isNull() || v.isEmpty()) {
                lengths[i] = SQL_NULL_DATA;
                rc = SQLBindParameter(stmt_.get(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                      &lengths[i]);
            } else if (v.type() == Variant::Type::Integer || v.type() == Variant::Type::Boolean) {
                numbers[i] = v.toInt64();
                rc = SQLBindParameter(stmt_.get(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &numbers[i], 0,
                                      nullptr);
            } else {
                texts[i] = v.toText();
                lengths[i] = static_cast<SQLLEN>(texts[i].size());
                rc = SQLBindParameter(stmt_.get(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                      std::max<SQLULEN>(texts[i].size(), 1), 0, texts[i].data(), lengths[i],
                                      &lengths[i]);
            }
            check(rc, stmt_, "SQLBindParameter");
        }
        SQLRETURN rc = SQLExecute(stmt_.get());
        if (rc != SQL_NO_DATA) check(rc, stmt_, "SQLExecute");
        SQLLEN count = 0;
        if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(SQLRowCount(stmt_.get(), &count)) || count < 0) count = 0;
        while (SQL_SUCCEEDED(SQLMoreResults(stmt_.get()))) {
        }
        SQLFreeStmt(stmt_.get(), SQL_CLOSE);
        return count;
    }

private:
    Handle stmt_;
    std::weak_ptr<void> alive_;
    int parameters_ = 0;
};

class OdbcBackend final : public Backend {
public:
    OdbcBackend(const ConnectionString& cs, const std::string& user, const std::string& password)
        : env_(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
        check(SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              env_, "SQLSetEnvAttr");
        dbc_ = Handle(SQL_HANDLE_DBC, env_.get());
        // Not every driver honours the login timeout; the connection is attempted anyway.
        SQLSetConnectAttr(dbc_.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);

        std::string text = driverConnectionString(cs, user, password);
        if (text.size() > static_cast<std::size_t>(SHRT_MAX))
            throw Error("Stringa di connessione ODBC troppo lunga", 0, "HY090", "ODBC");
        std::vector<SQLCHAR> in(text.begin(), text.end());
        SQLRETURN rc = SQLDriverConnect(dbc_.get(), nullptr, in.data(), static_cast<SQLSMALLINT>(in.size()),
                                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            auto items = diagnostics(SQL_HANDLE_DBC, dbc_.get());
            explainMissingDriver(items, cs);
            if (items.empty())
                items.push_back({"Connessione ODBC non riuscita", 0, "08001", "ODBC"});
            else if (items.front().sqlState != "IM002")
                items.insert(items.begin(), explainedConnectFailure(items.front()));
            throw Error(std::move(items));   // the handles free themselves
        }
        connected_ = true;
    }

    ~OdbcBackend() override { close(); }

    ExecResult execute(const std::string& commandText) override {
        if (!connected_) throw Error("Connessione ODBC chiusa", 0, "08003", "ODBC");
        if (commandText.size() > static_cast<std::size_t>(INT_MAX))
            throw Error("Testo del comando troppo lungo per ODBC", 0, "HY090", "ODBC");

        Handle stmt(SQL_HANDLE_STMT, dbc_.get());
        std::vector<SQLCHAR> text(commandText.begin(), commandText.end());
        SQLRETURN rc = SQLExecDirect(stmt.get(), text.data(), static_cast<SQLINTEGER>(text.size()));
        if (rc != SQL_NO_DATA) check(rc, stmt, "SQLExecDirect");

        ExecResult out;
        for (;;) {
            SQLSMALLINT columns = 0;
            if (rc != SQL_NO_DATA) check(SQLNumResultCols(stmt.get(), &columns), stmt, "SQLNumResultCols");
            if (columns > 0) {
                out.resultSets.push_back(readResult(stmt, columns));
            } else {
                // A statement that changed rows (SQL_NO_DATA: one that changed none).
                SQLLEN count = 0;
                if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(SQLRowCount(stmt.get(), &count))) count = -1;
                if (count >= 0) out.rowsAffected = (out.rowsAffected < 0 ? 0 : out.rowsAffected) + count;
            }
            SQLRETURN more = SQLMoreResults(stmt.get());
            if (more == SQL_NO_DATA) break;
            if (!SQL_SUCCEEDED(more)) {
                auto items = diagnostics(SQL_HANDLE_STMT, stmt.get());
                // Some drivers refuse SQLMoreResults after an execution that had no result at
                // all (function sequence error): that simply means there is nothing more.
                if (rc == SQL_NO_DATA && hasState(items, "HY010") && items.size() == 1) break;
                if (items.empty()) items.push_back({"Errore ODBC senza diagnostica in SQLMoreResults", 0, "HY000", "ODBC"});
                throw Error(std::move(items));
            }
            rc = more;
        }
        return out;
    }

    void close() override {
        alive_.reset();   // prepared statements go with the connection
        if (connected_) {
            // A transaction left open makes SQLDisconnect refuse (25000); roll it back so
            // the connection is really released.
            if (!SQL_SUCCEEDED(SQLDisconnect(dbc_.get()))) {
                SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
                SQLDisconnect(dbc_.get());
            }
            connected_ = false;
        }
        dbc_.reset();
        env_.reset();
    }

    std::string name() const override { return "ODBC"; }

    void beginTransaction() override {
        check(SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                                SQL_IS_UINTEGER),
              dbc_, "SQLSetConnectAttr(SQL_ATTR_AUTOCOMMIT)");
    }
    void commitTransaction() override { endTransaction(SQL_COMMIT); }

    std::unique_ptr<PreparedStatement> prepare(const std::string& commandText) override {
        if (!connected_) throw Error("Connessione ODBC chiusa", 0, "08003", "ODBC");
        if (commandText.size() > static_cast<std::size_t>(INT_MAX))
            throw Error("Testo del comando troppo lungo per ODBC", 0, "HY090", "ODBC");
        Handle stmt(SQL_HANDLE_STMT, dbc_.get());
        std::vector<SQLCHAR> text(commandText.begin(), commandText.end());
        check(SQLPrepare(stmt.get(), text.data(), static_cast<SQLINTEGER>(text.size())), stmt, "SQLPrepare");
        return std::make_unique<OdbcPrepared>(std::move(stmt), alive_);
    }
    void rollbackTransaction() override { endTransaction(SQL_ROLLBACK); }

private:
    void endTransaction(SQLSMALLINT completion) {
        check(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), completion), dbc_, "SQLEndTran");
        check(SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                                SQL_IS_UINTEGER),
              dbc_, "SQLSetConnectAttr(SQL_ATTR_AUTOCOMMIT)");
    }

    std::shared_ptr<void> alive_ = std::make_shared<int>(0);
    Handle env_;   // declared first: freed last
    Handle dbc_;
    bool connected_ = false;
};

}  // namespace
}  // namespace odbc

std::unique_ptr<Backend> openOdbcBackend(const ConnectionString& cs, const std::string& user,
                                         const std::string& password) {
    return std::make_unique<odbc::OdbcBackend>(cs, user, password);
}

}  // namespace db
