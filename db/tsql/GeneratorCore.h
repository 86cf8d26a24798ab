#pragma once
// What the T-SQL translation's two targets (SQLite, PostgreSQL) share: the dialect data, the
// static typing of expressions and one generator walking the syntax tree (the walk itself is
// in GeneratorCore.cpp). Each target derives from GeneratorCore and writes the few things its
// dialect spells its own way (names, collation, LIKE, APPLY, column types, MERGE's $action).

#include "db/tsql/Ast.h"
#include "db/tsql/Lexer.h"
#include "db/tsql/Parser.h"
#include "db/tsql/SchemaInfo.h"
#include "db/tsql/Translator.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db::tsql {

// Static type of an expression, as far as the text alone tells.
enum class StaticType { Unknown, Text, Number };

// Where the target would read something else than the one statement meant: the offset of a
// comment mark or a ';' outside literals and quoted names, or npos.
std::size_t unsafeMark(std::string_view sql);

namespace core {

// ---- dialect data -----------------------------------------------------------------------

enum class FnKind { Plain, Aggregate, Window };
struct FunctionInfo {
    const char* tsql;        // upper-case T-SQL name
    const char* sqlite;      // name in SQLite's output
    const char* postgres;    // name in PostgreSQL's output
    int minArgs, maxArgs;
    FnKind kind;
    StaticType result;       // Unknown: the type of the first argument
};
constexpr std::array kFunctions = {
    FunctionInfo{"LEFT", "tsql_left", "tsql_left", 2, 2, FnKind::Plain, StaticType::Text},
    FunctionInfo{"RIGHT", "tsql_right", "tsql_right", 2, 2, FnKind::Plain, StaticType::Text},
    FunctionInfo{"SUBSTRING", "tsql_substring", "tsql_substring", 3, 3, FnKind::Plain, StaticType::Text},
    FunctionInfo{"LEN", "tsql_len", "tsql_len", 1, 1, FnKind::Plain, StaticType::Number},
    FunctionInfo{"RTRIM", "rtrim", "rtrim", 1, 1, FnKind::Plain, StaticType::Text},
    FunctionInfo{"LTRIM", "ltrim", "ltrim", 1, 1, FnKind::Plain, StaticType::Text},
    FunctionInfo{"UPPER", "tsql_upper", "upper", 1, 1, FnKind::Plain, StaticType::Text},
    FunctionInfo{"LOWER", "tsql_lower", "lower", 1, 1, FnKind::Plain, StaticType::Text},
    FunctionInfo{"ISNULL", "ifnull", "coalesce", 2, 2, FnKind::Plain, StaticType::Unknown},
    FunctionInfo{"COALESCE", "coalesce", "coalesce", 2, 64, FnKind::Plain, StaticType::Unknown},
    FunctionInfo{"ABS", "abs", "abs", 1, 1, FnKind::Plain, StaticType::Number},
    FunctionInfo{"COUNT", "COUNT", "COUNT", 1, 1, FnKind::Aggregate, StaticType::Number},
    FunctionInfo{"MIN", "MIN", "MIN", 1, 1, FnKind::Aggregate, StaticType::Unknown},
    FunctionInfo{"MAX", "MAX", "MAX", 1, 1, FnKind::Aggregate, StaticType::Unknown},
    FunctionInfo{"SUM", "SUM", "SUM", 1, 1, FnKind::Aggregate, StaticType::Number},
    FunctionInfo{"ROW_NUMBER", "ROW_NUMBER", "ROW_NUMBER", 0, 0, FnKind::Window, StaticType::Number},
    FunctionInfo{"RANK", "RANK", "RANK", 0, 0, FnKind::Window, StaticType::Number},
    FunctionInfo{"DENSE_RANK", "DENSE_RANK", "DENSE_RANK", 0, 0, FnKind::Window, StaticType::Number},
};

inline const FunctionInfo* findFunction(std::string_view name) {
    for (const auto& f : kFunctions)
        if (text::equalsIgnoreCaseAscii(name, f.tsql)) return &f;
    return nullptr;
}

inline bool isTextType(const TypeSpec& t) {
    return t.name == "NVARCHAR" || t.name == "VARCHAR" || t.name == "NCHAR" || t.name == "CHAR" ||
           t.name == "NTEXT" || t.name == "TEXT" || t.name == "SYSNAME";
}
inline bool isIntegerType(const TypeSpec& t) {
    return t.name == "TINYINT" || t.name == "SMALLINT" || t.name == "INT" || t.name == "INTEGER" ||
           t.name == "BIGINT" || t.name == "BIT";
}
inline bool isNumericType(const TypeSpec& t) {
    return isIntegerType(t) || t.name == "DECIMAL" || t.name == "NUMERIC" || t.name == "FLOAT" ||
           t.name == "REAL" || t.name == "MONEY" || t.name == "SMALLMONEY";
}

inline bool isDateType(const TypeSpec& t) {
    return t.name == "DATE" || t.name == "DATETIME" || t.name == "DATETIME2" || t.name == "SMALLDATETIME" ||
           t.name == "TIME";
}

// Precedence of the SQLite output, low to high; a child binding looser than its parent is
// parenthesised.
enum Prec : int {
    kOr = 1, kAnd, kNot, kEquality, kRelational, kAdditive = 7, kMultiplicative, kConcat,
    kUnary, kPrimary,
};

struct Out {
    std::string sql;
    int prec = kPrimary;
};

inline std::string quoteIdent(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
    return out;
}

inline std::string quoteString(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// Letters, digits and '_', not starting with a digit: a name that needs no quotes unless the
// target reads it as a keyword.
inline bool hasIdentifierShape(std::string_view s) {
    if (s.empty()) return false;
    auto c0 = static_cast<unsigned char>(s[0]);
    if (!((c0 >= 'A' && c0 <= 'Z') || (c0 >= 'a' && c0 <= 'z') || c0 == '_')) return false;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

[[noreturn]] inline void unsupported(const std::string& what, std::size_t offset) {
    throw UnsupportedError(what, offset);
}

constexpr std::string_view kMergeSource = "~merge_source";
constexpr std::string_view kMergeDuplicates = "~merge_duplicates";
constexpr std::string_view kMergeMark = "~merge_mark";

constexpr std::string_view kMergeDuplicateMessage =
    "The MERGE statement attempted to UPDATE or DELETE the same row more than once. This happens "
    "when a target row matches more than one source row. A MERGE statement cannot UPDATE/DELETE "
    "the same row of the target table multiple times. Refine the ON clause to ensure a target row "
    "matches at most one source row, or use the GROUP BY clause to group the source rows.";

// ---- the generator ------------------------------------------------------------------------

class GeneratorCore {
public:
    GeneratorCore(const TranslateOptions& options, Translation& out) : options_(options), out_(out) {}
    virtual ~GeneratorCore() = default;
    GeneratorCore(const GeneratorCore&) = delete;
    GeneratorCore& operator=(const GeneratorCore&) = delete;
    void statement(const Statement& s);
protected:
    // ---- what each dialect writes its own way ----

    // A name as an identifier of the output.
    virtual std::string ident(std::string_view name) const = 0;
    // An object of the connection's own database, named with three parts.
    virtual std::string mainQualified(const std::string& object) const = 0;
    // An object of another database (`db` as written, already listed in attachedDatabases).
    virtual std::string databaseQualified(const std::string& db, const std::string& object) const = 0;
    // The spelling of a #temp table's name in the output, before quoting.
    virtual std::string tempTableName(const std::string& name) const { return name; }
    // The schema prefix of the connection's temporary tables ("temp.").
    virtual std::string tempSchema() const = 0;
    virtual std::string parameter(const std::string& number) const = 0;
    virtual const char* functionName(const FunctionInfo& f) const = 0;
    // A call the target can write with its own function, meaning exactly the same; none by default.
    virtual std::optional<Out> nativeCall(const FunctionInfo&, const Expr&) { return std::nullopt; }
    // The operands of a text comparison made under SQL Server's default collation.
    virtual std::string collated(const Expr& e) = 0;
    virtual std::string comparedRight(const Expr& e, int minPrec) = 0;
    // An ORDER BY term, and a GROUP BY / PARTITION BY one.
    virtual std::string orderTerm(const Expr& e) = 0;
    virtual std::string groupTerm(const Expr& e) = 0;
    // `value [NOT] LIKE pattern [ESCAPE escape]` with the operands already written.
    virtual Out likeOperation(const std::string& value, const std::string& pattern, const std::string* escape,
                              bool negated) = 0;
    // CROSS APPLY (outer false) / OUTER APPLY of `table` (written with its alias).
    virtual std::string applyJoin(bool outer, const std::string& table) const = 0;
    // The declared type of the column `column` (already an identifier), with its collation for text.
    virtual std::string columnType(const TypeSpec& t, const std::string& column, std::size_t offset) const = 0;
    // What follows a derived MERGE source in SELECT * FROM (...): "" or an alias the target needs.
    virtual std::string derivedSourceAlias() const { return ""; }
    // The column that tells a target row from another when the ON names no target column.
    virtual std::string rowIdentity() const = 0;
    // How MERGE's UPDATE step names the target's columns in RETURNING ("" or "alias.").
    virtual std::string returningQualifier(const std::string& targetAlias) const = 0;
    // The MERGE upsert: a source key column compared, and grouped, as the target key's column.
    virtual std::string upsertKeyCompared(const std::string& column, bool text) const = 0;
    virtual std::string upsertKeyGrouped(const std::string& column, bool text) const = 0;
    // The SQL of $action in the upsert's RETURNING (may add steps before it), and the steps after.
    virtual std::string upsertAction(const std::string& target) = 0;
    virtual void upsertFinished() {}

    struct Variable {
        std::string sql;
        StaticType type = StaticType::Unknown;
    };

    const TranslateOptions& options_;
    Translation& out_;
    std::map<std::string, Variable> vars_;          // by upper-case name
    std::map<std::string, std::string> tableVars_;  // upper-case name -> name as declared
    // MERGE OUTPUT: "$action" and inserted.X are valid only there.
    const char* mergeAction_ = nullptr;

    void addStep(std::string sql, bool returnsRows = false);

    // ---- names ----

    std::string tableVariable(std::string_view name, std::size_t offset);
    void attach(const std::string& db);

    // db.schema.object -> SQLite's schema.object; the T-SQL schema must be dbo.
    std::string objectName(const NameParts& parts, std::size_t offset);
    std::string tableRefName(const NameParts& parts, bool isVariable, std::size_t offset);
    std::string columnRef(const Expr& e);

    // The first `count` parts of a column or star reference: a table, alias, #temp or @table.
    std::string qualifier(const NameParts& p, std::size_t count, std::size_t offset);

    // ---- static types ----

    // A column the schema of the options declares as text.
    bool isTextColumn(std::string_view column) const;
    StaticType typeOf(const Expr& e);
    StaticType mergedType(const std::vector<ExprPtr>& args, std::size_t from, std::size_t step);

    // ---- expressions ----

    static std::string wrap(const Out& o, int minPrec);
    std::string sql(const Expr& e, int minPrec);

    // The operand of a sign: "- -1" must not become "--1", which SQLite reads as a comment.
    std::string signOperand(const Expr& e);

    std::string exprList(const std::vector<ExprPtr>& list, std::size_t from = 0);
    Out expr(const Expr& e);
    Out binary(const Expr& e);
    Out function(const Expr& e);
    Out cast(const Expr& e);
    Out caseExpr(const Expr& e);
    std::string orderList(const std::vector<OrderItem>& items);

    // ---- queries ----

    std::string tableRef(const TableRef& r);
    std::string fromItem(const FromItem& f);
    std::string core(const SelectCore& c, bool& hasTop, std::string& limit);
    std::string ctes(const std::vector<Cte>& list);
    std::string query(const Query& q);
    [[noreturn]] static void syntaxErrorInto(std::size_t offset);

    // ---- statements ----

    void selectStatement(const Statement& s);
    std::string insertHead(const Statement& s);
    std::string insertSql(const Statement& s);
    std::string assignments(const std::vector<Assignment>& sets);
    std::string updateSql(const Statement& s);
    std::string deleteSql(const Statement& s);
    void dropStatement(const Statement& s);

    // T-SQL variables of a batch hold constants here: their literal is put in their place.
    void declareVars(const Statement& s);
    std::string constantValue(const VarDecl& v, const Expr& value);

    std::string columnDecl(const ColumnDef& c, std::size_t offset);
    void createTable(const Statement& s);
    void declareTable(const Statement& s);
    void ifExists(const Statement& s);

    // ---- MERGE ----
    // Run as: materialise the source once; check that no target row matches two source rows
    // (SQL Server's error 8672); UPDATE the matched rows; INSERT the unmatched ones. The update
    // comes first so that a row just inserted is never updated, and it may not change the ON
    // columns, so the set of matched rows stays the one seen before the statement.

    static void collectTargetColumns(const Expr& e, const std::string& alias, std::vector<std::string>& out);

    // `action` is the SQL of $action's value.
    std::string outputList(const Statement& s, const std::string& action, const std::string& qualifier = "");
    void merge(const Statement& s);
    std::string wrapCondition(const Expr& e);

    // A MERGE that inserts the unmatched rows and updates the matched ones of a table whose
    // unique key its ON names, column by column, against plain source columns; the values it
    // inserts for the key are those columns and each value it updates is one it would insert.
    struct UpsertPlan {
        std::vector<std::string> keyColumns;   // target columns, in the ON's order
        std::vector<std::string> sourceKeys;   // the source column each one equals
        std::vector<std::string> updates;      // "column = excluded.column"
    };

    static const Expr& unwrapped(const Expr& e);
    static bool isColumnOf(const Expr& e, const std::string& alias);
    static void conjuncts(const Expr& e, std::vector<const Expr*>& out);
    std::optional<UpsertPlan> upsertPlan(const Statement& s, const std::string& targetAlias,
                                         const std::string& sourceAlias);

    // Steps after the source table: source rows sharing a key are refused as the two-step form
    // refuses them (a matched key: SQL Server's error 8672; an unmatched one: the key's
    // constraint, from inserting both rows); then one INSERT … ON CONFLICT DO UPDATE.
    void mergeAsUpsert(const Statement& s, const UpsertPlan& plan, const std::string& target,
                       const std::string& aliasSql, const std::string& sourceAlias, const std::string& captureInto);
};

// The batch as text of the target `Generator` writes (`target` names it in the refusal of a
// statement that would hold a comment or a ';' there).
template <class Generator>
Translation generateBatch(const std::vector<Statement>& batch, const TranslateOptions& options, const char* target) {
    Translation out;
    Generator g(options, out);
    for (const Statement& s : batch) {
        const std::size_t before = out.steps.size();
        g.statement(s);
        for (std::size_t i = before; i < out.steps.size(); ++i)
            if (unsafeMark(out.steps[i].sql) != std::string_view::npos)
                unsupported(std::string("istruzione che in ") + target + " conterrebbe un commento o un ';'", s.offset);
    }
    return out;
}

}  // namespace core
}  // namespace db::tsql
