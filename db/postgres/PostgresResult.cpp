#include "db/postgres/PostgresResult.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>

namespace db::postgres {

namespace {

// Type OIDs of the built-in types (pg_type.dat).
enum : Oid {
    kBool = 16, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26, kFloat4 = 700,
    kFloat8 = 701, kUnknown = 705, kBpchar = 1042, kVarchar = 1043, kDate = 1082, kTime = 1083,
    kTimestamp = 1114, kTimestampTz = 1184, kNumeric = 1700
};

enum class Kind { Integer, Boolean, Double, Decimal, Text };

Kind kindOf(Oid oid) {
    switch (oid) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid: return Kind::Integer;
        case kBool: return Kind::Boolean;
        case kFloat4:
        case kFloat8: return Kind::Double;
        case kNumeric: return Kind::Decimal;
        default: return Kind::Text;
    }
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

void readCell(const PGresult* r, int row, int column, Kind kind, RowTable& table, std::size_t at) {
    const auto c = static_cast<std::size_t>(column);
    if (PQgetisnull(r, row, column)) return;   // cells start as Null
    const char* v = PQgetvalue(r, row, column);
    const std::size_t n = static_cast<std::size_t>(PQgetlength(r, row, column));
    switch (kind) {
        case Kind::Integer: {
            std::int64_t x = 0;
            if (std::from_chars(v, v + n, x).ec == std::errc()) {
                table.setInteger(at, c, x);
                return;
            }
            break;
        }
        case Kind::Boolean: table.set(at, c, Variant(v[0] == 't')); return;
        case Kind::Double:
        case Kind::Decimal: {
            char* end = nullptr;
            const double x = std::strtod(v, &end);   // also "NaN" and "Infinity"
            if (end == v + n) {
                if (kind == Kind::Decimal) table.setDecimal(at, c, x);
                else table.setDouble(at, c, x);
                return;
            }
            break;
        }
        case Kind::Text: break;
    }
    table.setText(at, c, std::string_view(v, n));
}

}  // namespace

long nativeErrorFor(std::string_view sqlState) {
    if (sqlState == "23505") return 2627;
    if (sqlState == "21000") return 8672;
    if (sqlState == "40P01" || sqlState == "40001") return 1205;
    return 0;
}

ErrorItem errorItemFor(const PGresult* result, const PGconn* conn) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    ErrorItem item;
    item.source = kSource;
    if (!primary) {
        // No answer from the server: the connection itself failed.
        const char* message = conn ? PQerrorMessage(conn) : "";
        item.description = "Connessione al server PostgreSQL interrotta: " + trimmed(message ? message : "");
        item.sqlState = state ? state : "08S01";
        item.nativeError = nativeErrorFor(item.sqlState);
        return item;
    }
    item.description = primary;
    if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) item.description += " (" + std::string(detail) + ")";
    if (const char* hint = PQresultErrorField(result, PG_DIAG_MESSAGE_HINT)) item.description += " " + std::string(hint);
    item.sqlState = state ? state : "HY000";
    item.nativeError = nativeErrorFor(item.sqlState);
    return item;
}

Error connectionError(const std::string& libpqMessage, const std::string& host, const std::string& port,
                      const std::string& database, const std::string& user) {
    const std::string where = host + (port.empty() ? "" : " porta " + port);
    const std::string text = trimmed(libpqMessage);
    std::string description, state;
    if (contains(text, "password authentication failed") || contains(text, "no password supplied") ||
        (contains(text, "role \"") && contains(text, "does not exist"))) {
        description = "Accesso negato dal server PostgreSQL " + where + ": utente '" + user + "' o password errati";
        state = "28P01";
    } else if (contains(text, "database \"") && contains(text, "does not exist")) {
        description = "Il database '" + database + "' non esiste sul server PostgreSQL " + where;
        state = "3D000";
    } else if (contains(text, "Connection refused") || contains(text, "No such file or directory") ||
               contains(text, "could not translate host name") || contains(text, "timeout expired") ||
               contains(text, "Network is unreachable") || contains(text, "No route to host")) {
        description = "Server PostgreSQL non raggiungibile (" + where + "): è avviato e accetta connessioni?";
        state = "08001";
    } else {
        description = "Connessione al server PostgreSQL " + where + " non riuscita";
        state = "08001";
    }
    return Error({{description + " [" + text + "]", 0, state, kSource}});
}

FieldInfo fieldInfoFor(unsigned oid, int typmod) {
    FieldInfo f;
    switch (oid) {
        case kInt2: f.type = ado::adSmallInt; f.definedSize = 2; break;
        case kInt4:
        case kOid: f.type = ado::adInteger; f.definedSize = 4; break;
        case kInt8: f.type = ado::adBigInt; f.definedSize = 8; break;
        case kBool: f.type = ado::adBoolean; f.definedSize = 2; break;
        case kFloat4:
        case kFloat8: f.type = ado::adDouble; f.definedSize = 8; break;
        case kNumeric:
            f.type = ado::adDecimal;
            f.definedSize = typmod >= 4 ? ((typmod - 4) >> 16) & 0xffff : 0;
            break;
        case kBpchar:
            f.type = ado::adWChar;
            f.definedSize = typmod >= 4 ? typmod - 4 : 0;
            break;
        case kVarchar:
            f.type = ado::adVarWChar;
            f.definedSize = typmod >= 4 ? typmod - 4 : 0;
            break;
        case kDate:
        case kTime:
        case kTimestamp:
        case kTimestampTz:
            // The value arrives as ISO text ("2025-12-31", "2025-12-31 10:00:00"), as SQLite keeps it.
            f.type = ado::adDate; f.definedSize = 8; break;
        case kText:
        case kName:
        case kUnknown:
        default: f.type = ado::adVarWChar; break;
    }
    return f;
}

ResultSet readResultSet(const PGresult* r) {
    const int columns = PQnfields(r);
    const int rows = PQntuples(r);
    ResultSet rs;
    rs.fields.resize(static_cast<std::size_t>(columns));
    rs.rows = RowTable(static_cast<std::size_t>(columns));
    std::vector<Kind> kinds(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        const auto c = static_cast<std::size_t>(i);
        FieldInfo fi = fieldInfoFor(PQftype(r, i), PQfmod(r, i));
        fi.name = PQfname(r, i);
        rs.fields[c] = std::move(fi);
        kinds[c] = kindOf(PQftype(r, i));
    }
    for (int row = 0; row < rows; ++row) {
        const std::size_t at = rs.rows.appendRow();
        for (int i = 0; i < columns; ++i) readCell(r, row, i, kinds[static_cast<std::size_t>(i)], rs.rows, at);
    }
    return rs;
}

}  // namespace db::postgres
