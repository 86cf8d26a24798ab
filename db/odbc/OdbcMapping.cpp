// Pure parts of the ODBC backend: error classification, the driver's connection string and
// the column type mapping. No ODBC call happens here.

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <string_view>

#include "db/odbc/Odbc.h"
#include "text/Text.h"

namespace db::odbc {

namespace {

bool icontains(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                          [](char x, char y) { return text::toLowerAscii(x) == text::toLowerAscii(y); });
    return it != text.end();
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// SQL Server (and Sybase) messages for a duplicate key: 2627 violation of a PRIMARY KEY or
// UNIQUE constraint, 2601 duplicate row in a unique index.
constexpr long kSqlServerDuplicateConstraint = 2627;
constexpr long kSqlServerDuplicateIndex = 2601;
constexpr long kSqliteConstraint = 19;
constexpr long kMysqlDuplicateEntry = 1062;

}  // namespace

bool isDuplicateKey(const ErrorItem& item) {
    const std::string& state = item.sqlState;
    if (state == "23505") return true;   // PostgreSQL unique_violation
    if (state == "23000" && (item.nativeError == kSqlServerDuplicateConstraint ||
                             item.nativeError == kSqlServerDuplicateIndex ||
                             item.nativeError == kMysqlDuplicateEntry))
        return true;
    // The SQLite3 driver reports every constraint as HY000 with SQLITE_CONSTRAINT (19): only
    // the message tells a unique key from NOT NULL, CHECK or a foreign key.
    if (item.nativeError == kSqliteConstraint)
        return contains(item.description, "UNIQUE constraint failed") ||
               contains(item.description, "PRIMARY KEY must be unique") ||
               contains(item.description, "is not unique");
    return false;
}

bool isDuplicateKey(const Error& error) {
    const auto& items = error.items();
    return std::any_of(items.begin(), items.end(), [](const ErrorItem& i) { return isDuplicateKey(i); });
}

std::string connectionValue(const std::string& value) {
    // Blanks of any kind at either end would be trimmed by whoever reads the string.
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    bool plain = !value.empty() && !blank(value.front()) && !blank(value.back()) &&
                 value.find_first_of(";{}=") == std::string::npos;
    if (plain || value.empty()) return value;
    std::string out = "{";
    for (char c : value) {
        out += c;
        if (c == '}') out += '}';
    }
    return out + "}";
}

std::string driverConnectionString(const ConnectionString& cs, const std::string& user,
                                   const std::string& password) {
    std::string out;
    bool freeTds = false, charset = false;
    for (const auto& [key, value] : cs.items()) {
        if (text::equalsIgnoreCaseAscii(key, "Provider")) continue;
        std::string name = key;
        if (text::equalsIgnoreCaseAscii(key, "User ID")) name = "UID";
        if (text::equalsIgnoreCaseAscii(key, "Password")) name = "PWD";
        if (text::equalsIgnoreCaseAscii(name, "UID") && !user.empty()) continue;
        if (text::equalsIgnoreCaseAscii(name, "PWD") && !password.empty()) continue;
        if (text::equalsIgnoreCaseAscii(key, "Driver") && (icontains(value, "FreeTDS") || icontains(value, "tdsodbc"))) freeTds = true;
        if (text::equalsIgnoreCaseAscii(key, "ClientCharset")) charset = true;
        out += name + "=" + value + ";";
    }
    if (!user.empty()) out += "UID=" + connectionValue(user) + ";";
    if (!password.empty()) out += "PWD=" + connectionValue(password) + ";";
    if (freeTds && !charset) out += "ClientCharset=UTF-8;";
    return out;
}

ValueKind valueKindFor(int sqlType) {
    switch (sqlType) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            return ValueKind::Integer;
        case SQL_BIT:
            return ValueKind::Boolean;
        case SQL_DOUBLE:
        case SQL_FLOAT:
        case SQL_REAL:
            return ValueKind::Double;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return ValueKind::Decimal;
        default:
            return ValueKind::Text;
    }
}

FieldInfo fieldInfoFor(std::string name, int sqlType, unsigned long long columnSize, int nullable) {
    FieldInfo f;
    f.name = std::move(name);
    f.attributes = nullable == SQL_NO_NULLS ? 0 : (ado::adFldIsNullable | ado::adFldMayBeNull);
    // Drivers report "no limit" as 0 or as a huge number; ADO sizes are longs.
    long size = columnSize > 0x7fffffffULL ? 0x7fffffffL : static_cast<long>(columnSize);
    switch (sqlType) {
        case SQL_VARCHAR:
        case SQL_WVARCHAR:
            f.type = ado::adVarWChar; f.definedSize = size; break;
        case SQL_CHAR:
        case SQL_WCHAR:
            f.type = ado::adWChar; f.definedSize = size; break;
        case SQL_LONGVARCHAR:
        case SQL_WLONGVARCHAR:
            f.type = ado::adLongVarWChar; f.definedSize = size; break;
        case SQL_TINYINT: f.type = ado::adUnsignedTinyInt; f.definedSize = 1; break;
        case SQL_SMALLINT: f.type = ado::adSmallInt; f.definedSize = 2; break;
        case SQL_INTEGER: f.type = ado::adInteger; f.definedSize = 4; break;
        case SQL_BIGINT: f.type = ado::adBigInt; f.definedSize = 8; break;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            f.type = ado::adDecimal; f.definedSize = size; break;
        case SQL_DOUBLE:
        case SQL_FLOAT:
        case SQL_REAL:
            f.type = ado::adDouble; f.definedSize = 8; break;
        case SQL_BIT: f.type = ado::adBoolean; f.definedSize = 2; break;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TYPE_TIMESTAMP:
        case SQL_DATE:
        case SQL_TIMESTAMP:
            // The value itself arrives as text ("2024-01-31 00:00:00.000").
            f.type = ado::adDate; f.definedSize = 8; break;
        default:
            // Binary, GUID and driver-specific types are read as text.
            f.type = ado::adVarWChar; f.definedSize = size; break;
    }
    return f;
}

}  // namespace db::odbc
