#pragma once
// The SQLite side of the T-SQL translation: the user functions the translated statements call
// (tsql_left, tsql_right, tsql_substring, tsql_len, tsql_upper, tsql_lower, tsql_nvarchar,
// tsql_varchar, tsql_decimal, tsql_int, tsql_plus, tsql_key) and the collation "TSQL", which compares
// text as SQL Server's default collation does: case-insensitive (ASCII and Latin-1 letters),
// accent-sensitive, trailing blanks ignored.

#include <string>
#include <string_view>

struct sqlite3;

namespace db::sqlite {

// Registers every function and the collation on the connection; call it on each new
// connection before running translated text. Throws std::runtime_error when SQLite refuses.
void registerSqliteRuntime(sqlite3* db);

// The TSQL collation's order on two UTF-8 texts: <0, 0 or >0. Case-insensitive and
// accent-sensitive; trailing blanks do not count ("abc " equals "ABC").
int compareTsql(std::string_view a, std::string_view b);

// A text shared by exactly the texts compareTsql finds equal to `text` (what tsql_key returns).
std::string equalityKeyTsql(std::string_view text);

// The same order computed one decoded character at a time, without compareTsql's shortcut for
// ASCII text: the reference the shortcut is tested against.
int compareTsqlByCharacter(std::string_view a, std::string_view b);

}  // namespace db::sqlite
