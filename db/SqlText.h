#pragma once
// Writing values into SQL text. The module builds its statements by joining fixed fragments
// with values; every value placed between single quotes goes through sqlQuoted so that a
// quote inside it can never end the literal early.

#include <string>
#include <string_view>

namespace db {

// The inside of a T-SQL string literal: every ' doubled. "O'Brien" -> "O''Brien".
std::string sqlEscape(std::string_view value);
// A complete literal: sqlQuoted("a'b") -> "'a''b'".
std::string sqlQuoted(std::string_view value);
// Every occurrence of `from` in `text` replaced by `to` (case-sensitive), left to right.
std::string replaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace db
