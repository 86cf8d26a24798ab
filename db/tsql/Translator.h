#pragma once
// T-SQL -> SQLite or PostgreSQL translation of the statements the module writes. A batch is
// tokenized, parsed into statements of a known subset, and each statement is generated as
// text of the target.
// A text that is not valid T-SQL raises ParseError, valid T-SQL outside the subset raises
// UnsupportedError naming the construct: never quietly different SQL.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace db::tsql {

struct SchemaInfo;

class TranslateError : public std::runtime_error {
public:
    TranslateError(const std::string& message, std::size_t offset)
        : std::runtime_error(message), offset_(offset) {}
    std::size_t offset() const { return offset_; }   // byte offset in the T-SQL text

private:
    std::size_t offset_;
};

// The text is not a batch SQL Server would run: a syntax error, an undeclared or twice declared
// variable, a function given the wrong number of arguments, a constant out of its type's range.
// The message is SQL Server's own. Raised by the lexer and the parser, and by the generators
// for what only the whole batch shows.
class ParseError : public TranslateError {
public:
    using TranslateError::TranslateError;
};

inline constexpr std::string_view kUnsupported = "T-SQL non supportato: ";

// The text is valid T-SQL but uses a construct the translation does not cover (PIVOT, UPDATE
// ... FROM, an unknown function, a LIKE character class ...): the message is kUnsupported
// followed by the construct.
class UnsupportedError : public TranslateError {
public:
    UnsupportedError(const std::string& construct, std::size_t offset)
        : TranslateError(std::string(kUnsupported) + construct, offset) {}
};

// One statement of the target to run, in order.
struct Step {
    std::string sql;
    // When not empty: every row the statement returns (RETURNING) is inserted into this
    // temporary table instead of being handed to the caller (OUTPUT ... INTO @table). The
    // name is given unquoted, as declared ("@MyVarTable"): quote it with double quotes; the
    // returned columns are in the table's column order.
    std::string captureInto;
    // When true the rows the statement returns are a result set for the caller.
    bool returnsRows = false;
    // When not empty: the statement returns one integer; non-zero raises an error with this
    // text (used for checks SQLite does not make itself, e.g. MERGE's duplicate source rows).
    std::string failWhenNonZero;
};

struct Translation {
    std::vector<Step> steps;
    // Databases named by three-part names ([GRP].dbo.T): on SQLite the backend attaches each
    // before running the steps, under the same name; on PostgreSQL each is a schema of that
    // name (as written) in the connection's database.
    std::vector<std::string> attachedDatabases;
    // When true the steps form one statement of the T-SQL text (MERGE): run them inside one
    // savepoint and roll all of them back when one fails, as SQL Server applies it whole.
    bool atomic = false;
    // The ? markers of the text (values bound by a prepared statement).
    int parameters = 0;
};

struct TranslateOptions {
    // The database the connection opened (SQLite "main", PostgreSQL's default schema): a
    // three-part name in it is written main.T (PostgreSQL: T) and not attached. Compared
    // case-insensitively; empty means none.
    std::string mainDatabase;
    // What the translation knows of the tables (text columns, unique keys); none when null.
    // Must outlive the call.
    const SchemaInfo* schema = nullptr;
};

Translation translate(std::string_view tsql);
Translation translate(std::string_view tsql, const TranslateOptions& options);

// The same batch for PostgreSQL 15: ? markers as $1, $2, ...; the functions and the collation
// tsql it calls are created by postgresRuntimeStatements (db/postgres/PostgresRuntime.h).
Translation translateForPostgres(std::string_view tsql, const TranslateOptions& options);

// Convenience for golden tests: the steps' SQL joined with ";\n".
std::string translateToText(std::string_view tsql, const TranslateOptions& options = {});

}  // namespace db::tsql
