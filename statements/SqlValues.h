#pragma once
// How the editor writes values into its statements. Texts go between single quotes with
// every quote doubled. Codes and numbers are written bare, as the statements expect; a value
// that is not a plain number is written as a quoted literal instead, so that it can never
// change the statement (the database then refuses or matches nothing).

#include <string>
#include <string_view>

namespace editor {

// "O'Brien" -> "O''Brien" (for use between the statement's own quotes).
std::string textValue(std::string_view value);
// "80" -> "80"; "" -> the fallback (e.g. "0" or "-1"); "8'0" -> "'8''0'".
std::string bareValue(std::string_view value, std::string_view fallbackWhenEmpty = "");
// True for an optionally signed run of digits with an optional decimal part.
bool isPlainNumber(std::string_view value);

}  // namespace editor
