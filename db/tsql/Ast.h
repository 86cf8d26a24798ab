#pragma once
// The small syntax tree of the T-SQL subset: expressions, queries and the statements the
// module issues. Names keep their spelling as written; markers of the dialect (#temp names,
// table hints, TOP) are parsed into fields and left for the generator to decide.

#include <memory>
#include <string>
#include <vector>

namespace db::tsql {

struct Name {
    std::string text;
    bool quoted = false;   // written as [x] or "x"
    bool empty() const { return text.empty(); }
};
using NameParts = std::vector<Name>;   // db.schema.table, table.column, ...

struct Query;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct TypeSpec {
    std::string name;      // upper case: NVARCHAR, DECIMAL, TINYINT, ...
    std::string written;   // as written, for declarations: "nvarchar(10)"
    int length = -1;       // -1 when not given; for DECIMAL the precision
    int scale = -1;        // -1 when not given
    bool max = false;      // NVARCHAR(MAX)
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
};

struct Expr {
    enum class Kind {
        Number, String, Null, Column, Star, Variable, Unary, Binary, Function, Cast,
        Case, Subquery, Exists, InList, InQuery, Between, Like, IsNull, Paren,
        Parameter,   // a ? marker; text holds its number, 1 for the first in the text
    };
    Kind kind;
    std::size_t offset = 0;
    std::string text;       // literal text, operator, function name, variable name
    NameParts parts;        // Column: qualifier parts then the column; Star: qualifier parts
    std::vector<ExprPtr> args;
    std::unique_ptr<Query> query;   // Subquery, Exists, InQuery
    TypeSpec type;                  // Cast
    bool negated = false;           // NOT IN, NOT BETWEEN, NOT LIKE, IS NOT NULL, NOT EXISTS
    bool distinct = false;          // COUNT(DISTINCT x)
    bool starArg = false;           // COUNT(*)
    bool hasOperand = false;        // simple CASE x WHEN ...
    bool hasElse = false;
    bool hasOver = false;           // window function
    std::vector<ExprPtr> partitionBy;
    std::vector<OrderItem> overOrder;

    Expr(Kind k, std::size_t off) : kind(k), offset(off) {}
};

struct TableRef {
    enum class Kind { Table, Variable, Function, Derived };
    Kind kind = Kind::Table;
    std::size_t offset = 0;
    NameParts parts;                 // Table / Function name, Variable: one part "@t"
    std::vector<ExprPtr> args;       // Function arguments
    std::unique_ptr<Query> derived;  // Derived table
    Name alias;
};

struct Join {
    enum class Type { Inner, Left, Right, Full, Cross, CrossApply, OuterApply };
    Type type = Type::Inner;
    TableRef table;
    ExprPtr on;
};

struct FromItem {
    TableRef first;
    std::vector<Join> joins;
};

struct SelectItem {
    ExprPtr expr;
    Name alias;
};

struct SelectCore {
    std::size_t offset = 0;
    bool distinct = false;
    ExprPtr top;
    std::vector<SelectItem> items;
    NameParts into;   // SELECT ... INTO name
    std::vector<FromItem> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

struct Cte {
    Name name;
    std::vector<Name> columns;
    std::unique_ptr<Query> query;
};

struct Query {
    std::vector<Cte> ctes;
    std::vector<SelectCore> cores;
    std::vector<std::string> setOps;   // between cores: UNION, UNION ALL, EXCEPT, INTERSECT
    std::vector<OrderItem> orderBy;
};

struct VarDecl {
    std::string name;   // with the @
    TypeSpec type;
    ExprPtr value;      // literal or null
    std::size_t offset = 0;
};

struct ColumnDef {
    Name name;
    TypeSpec type;
    bool notNull = false;
    bool primaryKey = false;
};

struct Assignment {
    NameParts column;
    ExprPtr value;
};

struct Statement {
    enum class Kind {
        Select, Insert, Update, Delete, DropTable, CreateTable, DeclareVars, DeclareTable, SetOption,
        IfExists, Merge,
    };
    Kind kind;
    std::size_t offset = 0;

    std::unique_ptr<Query> query;   // Select; Insert ... SELECT; IfExists condition
    NameParts table;                // Insert/Update/Delete/Merge target, DeclareTable name
    bool tableIsVariable = false;
    Name alias;                     // Merge target alias
    std::vector<Name> columns;      // Insert column list; CreateTable: PRIMARY KEY (...) columns
    std::vector<std::vector<ExprPtr>> values;   // Insert VALUES rows
    std::vector<Assignment> sets;   // Update SET, Merge WHEN MATCHED UPDATE SET
    ExprPtr where;
    std::vector<NameParts> dropNames;
    bool ifExists = false;          // DROP TABLE IF EXISTS
    std::vector<VarDecl> vars;
    std::vector<ColumnDef> columnDefs;
    bool negated = false;           // IF NOT EXISTS
    std::vector<Statement> body;    // IfExists: the statements between BEGIN and END

    // MERGE
    std::vector<Cte> ctes;
    TableRef source;
    ExprPtr on;
    bool hasMatched = false;
    ExprPtr matchedCondition;
    bool hasNotMatched = false;
    ExprPtr notMatchedCondition;
    std::vector<Name> insertColumns;
    std::vector<ExprPtr> insertValues;
    std::vector<ExprPtr> output;
    NameParts outputInto;
    bool outputIntoVariable = false;

    explicit Statement(Kind k, std::size_t off = 0) : kind(k), offset(off) {}
};

}  // namespace db::tsql
