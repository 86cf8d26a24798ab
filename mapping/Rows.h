#pragma once
// Reading whole result sets by column position, and the small text helpers the mapping
// operations share.

#include <string>
#include <string_view>
#include <vector>

#include "db/Connection.h"

namespace mapping::detail {

// The rows of the first result set of `sql` (none when the statement returns no rows).
db::RowTable selectRows(db::Connection& conn, const std::string& sql);

// Text of a value, blanks trimmed; "" for Null or Empty.
std::string textOf(const db::Variant& value);
// An integer value, `fallback` for Null, Empty or a non-number.
int intOf(const db::Variant& value, int fallback);

// Blanks trimmed and letters in upper case, for comparing words the user typed.
std::string folded(std::string_view text);

// A chart or structure code as the statements may write it bare: digits, optionally signed.
bool isCode(std::string_view text);

// "[DB].dbo.TABLE" for a database name, the bare table otherwise; a name holding a bracket
// cannot be written and gives "".
std::string tableIn(const std::string& database, const std::string& table);

}  // namespace mapping::detail
