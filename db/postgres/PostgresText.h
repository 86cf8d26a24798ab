#pragma once
// Text helpers of the PostgreSQL backend: a step's text cut into its statements (each one is
// prepared on its own), the first keyword of a statement.

#include <string>
#include <string_view>
#include <vector>

#include "db/SqlIdentifier.h"

namespace db::postgres {

// The statements of a text separated by ';', without the ';' and without the parts that hold
// only blanks or comments. Quoted literals and identifiers, E'' escapes, dollar-quoted bodies
// and comments are kept whole, whatever ';' they contain.
std::vector<std::string> splitStatements(std::string_view sql);

// The first word of a statement, upper-cased, past blanks and comments ("" when none).
std::string firstKeyword(std::string_view sql);

// A value of a connection string as meant: "{a;b}}c}" read as a;b}c, anything else as is.
std::string unbraced(std::string_view value);

}  // namespace db::postgres
