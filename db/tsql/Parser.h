#pragma once
// Recursive-descent parser of the T-SQL subset into the syntax tree of Ast.h. Statements may
// be separated by ";" or simply follow each other; empty statements are skipped.

#include "db/tsql/Ast.h"
#include "db/tsql/Lexer.h"
#include "db/tsql/Translator.h"

#include <string_view>
#include <vector>

namespace db::tsql {

// Throws ParseError for bad syntax ("Incorrect syntax near 'X'.") and UnsupportedError for
// constructs outside the subset ("T-SQL non supportato: X").
std::vector<Statement> parseBatch(std::string_view sql);


}  // namespace db::tsql
