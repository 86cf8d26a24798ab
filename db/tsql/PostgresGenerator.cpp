#include "db/tsql/PostgresGenerator.h"

#include "db/tsql/GeneratorCore.h"

#include <set>

namespace db::tsql {

namespace {

using namespace core;

// Words PostgreSQL reserves (also as function or type names, and column-name keywords that
// cannot name a function or type): quoted wherever they name something.
const std::set<std::string>& postgresKeywords() {
    static const std::set<std::string> words = {
        "all", "analyse", "analyze", "and", "any", "array", "as", "asc", "asymmetric", "authorization", "between",
        "bigint", "binary", "bit", "boolean", "both", "case", "cast", "char", "character", "check", "coalesce",
        "collate", "collation", "column", "concurrently", "constraint", "create", "cross", "current_catalog",
        "current_date", "current_role", "current_schema", "current_time", "current_timestamp", "current_user", "dec",
        "decimal", "default", "deferrable", "desc", "distinct", "do", "else", "end", "except", "exists", "extract",
        "false", "fetch", "float", "for", "foreign", "freeze", "from", "full", "grant", "greatest", "group",
        "grouping", "having", "ilike", "in", "initially", "inner", "inout", "int", "integer", "intersect",
        "interval", "into", "is", "isnull", "join", "lateral", "leading", "least", "left", "like", "limit",
        "localtime", "localtimestamp", "national", "natural", "nchar", "none", "normalize", "not", "notnull", "null",
        "nullif", "numeric", "offset", "on", "only", "or", "order", "out", "outer", "overlaps", "overlay", "placing",
        "position", "precision", "primary", "real", "references", "returning", "right", "row", "select",
        "session_user", "setof", "similar", "smallint", "some", "substring", "symmetric", "table", "tablesample",
        "then", "time", "timestamp", "to", "trailing", "treat", "trim", "true", "union", "unique", "user", "using",
        "values", "varchar", "variadic", "verbose", "when", "where", "window", "with", "xmlattributes", "xmlconcat",
        "xmlelement", "xmlexists", "xmlforest", "xmlnamespaces", "xmlparse", "xmlpi", "xmlroot", "xmlserialize",
        "xmltable",
        // system columns: a user column of that name must be quoted to be told apart
        "ctid", "xmin", "xmax", "cmin", "cmax", "tableoid",
    };
    return words;
}

class PostgresGenerator final : public GeneratorCore {
public:
    using GeneratorCore::GeneratorCore;

private:
    // T-SQL names are case-insensitive: unquoted PostgreSQL names fold to lower case, and a name
    // that needs quotes is quoted in lower case, as the host tables' DDL writes them.
    std::string ident(std::string_view name) const override {
        const std::string lower = text::toLowerAscii(name);
        if (hasIdentifierShape(name) && !postgresKeywords().count(lower)) return std::string(name);
        return quoteIdent(lower);
    }
    std::string mainQualified(const std::string& object) const override { return object; }
    // Database names are case-insensitive: every spelling of one names the schema as it was
    // first written in the batch (the spelling listed in attachedDatabases).
    std::string databaseQualified(const std::string& db, const std::string& object) const override {
        for (const std::string& listed : out_.attachedDatabases)
            if (text::equalsIgnoreCaseAscii(listed, db)) return quoteIdent(listed) + "." + object;
        return quoteIdent(db) + "." + object;
    }
    // Quoted names are case-sensitive here: a #table is named in lower case however written.
    std::string tempTableName(const std::string& name) const override { return text::toLowerAscii(name); }
    std::string tempSchema() const override { return "pg_temp."; }
    std::string parameter(const std::string& number) const override { return "$" + number; }
    const char* functionName(const FunctionInfo& f) const override { return f.postgres; }
    // LEFT and RIGHT with a length written as a whole number: PostgreSQL's own left/right give
    // the same text (NULL stays NULL, 0 gives ''), and the planner inlines them where the
    // runtime's checked versions cost a function call per row.
    std::optional<Out> nativeCall(const FunctionInfo& f, const Expr& e) override {
        const bool left = std::string_view(f.tsql) == "LEFT";
        if ((!left && std::string_view(f.tsql) != "RIGHT") || e.args.size() != 2) return std::nullopt;
        const Expr& length = *e.args[1];
        if (length.kind != Expr::Kind::Number || length.text.empty() || length.text.size() > 9 ||
            length.text.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        return Out{std::string(left ? "left(" : "right(") + expr(*e.args[0]).sql + ", " + length.text + ")", kPrimary};
    }

    // Both sides as bpchar: blank-padded comparison ignores trailing blanks, also under the
    // nondeterministic collation; a text side would otherwise turn the comparison into text's.
    std::string collated(const Expr& e) override { return sql(e, kPrimary) + "::bpchar COLLATE tsql"; }
    std::string comparedRight(const Expr& e, int) override {
        if (e.kind == Expr::Kind::String || e.kind == Expr::Kind::Null) return expr(e).sql;
        return sql(e, kPrimary) + "::bpchar";
    }
    // Columns sort and group by their own collation (text columns are declared with tsql); an
    // explicit COLLATE on a column would no longer match the select list under DISTINCT or
    // GROUP BY. Other text expressions sort under tsql.
    std::string orderTerm(const Expr& e) override {
        if (e.kind == Expr::Kind::Column || typeOf(e) != StaticType::Text) return expr(e).sql;
        return sql(e, kPrimary) + " COLLATE tsql";
    }
    std::string groupTerm(const Expr& e) override { return expr(e).sql; }

    // LIKE is refused by PostgreSQL under a nondeterministic collation: tsql_like compares
    // case-insensitively, accents kept, as SQL Server's LIKE does under its default collation.
    Out likeOperation(const std::string& value, const std::string& pattern, const std::string* escape,
                      bool negated) override {
        std::string s = "tsql_like(" + value + ", " + pattern + (escape ? ", " + *escape : "") + ")";
        return negated ? Out{"NOT " + s, kNot} : Out{s, kPrimary};
    }

    std::string applyJoin(bool outer, const std::string& table) const override {
        return outer ? " LEFT JOIN LATERAL " + table + " ON true" : " CROSS JOIN LATERAL " + table;
    }

    // Text as bpchar (see collated); the declared length as a check, since bpchar(n) would pad.
    std::string columnType(const TypeSpec& t, const std::string& column, std::size_t offset) const override {
        if (isTextType(t)) {
            const int length = t.max || t.name == "NTEXT" || t.name == "TEXT" ? -1
                               : t.length >= 0                      ? t.length
                               : t.name == "SYSNAME"                ? 128
                                                                    : 1;
            return "bpchar COLLATE tsql" +
                   (length < 0 ? "" : " CHECK (char_length(" + column + ") <= " + std::to_string(length) + ")");
        }
        if (t.name == "TINYINT" || t.name == "SMALLINT") return "smallint";
        if (t.name == "INT" || t.name == "INTEGER") return "integer";
        if (t.name == "BIGINT") return "bigint";
        if (t.name == "BIT") return "smallint";
        if (t.name == "DECIMAL" || t.name == "NUMERIC") {
            const int p = t.length < 0 ? 18 : t.length;
            return "numeric(" + std::to_string(p) + "," + std::to_string(t.scale < 0 ? 0 : t.scale) + ")";
        }
        if (t.name == "FLOAT") return "double precision";
        if (t.name == "REAL") return "real";
        if (t.name == "MONEY" || t.name == "SMALLMONEY") return "numeric(19,4)";
        if (t.name == "DATE") return "date";
        if (t.name == "DATETIME" || t.name == "DATETIME2" || t.name == "SMALLDATETIME") return "timestamp";
        if (t.name == "TIME") return "time";
        unsupported("tipo di colonna " + t.written, offset);
    }

    std::string derivedSourceAlias() const override { return " AS \"~merge_derived\""; }
    std::string rowIdentity() const override { return "ctid"; }
    std::string returningQualifier(const std::string& targetAlias) const override { return ident(targetAlias) + "."; }

    std::string upsertKeyCompared(const std::string& column, bool text) const override {
        return text ? column + "::bpchar COLLATE tsql" : column;
    }
    std::string upsertKeyGrouped(const std::string& column, bool text) const override {
        return upsertKeyCompared(column, text);
    }
    // A row INSERT … ON CONFLICT inserted has no deleting transaction; one it updated has.
    std::string upsertAction(const std::string&) override {
        return "CASE WHEN xmax = 0 THEN 'INSERT' ELSE 'UPDATE' END";
    }
};

}  // namespace

Translation generatePostgres(const std::vector<Statement>& batch, const TranslateOptions& options) {
    return core::generateBatch<PostgresGenerator>(batch, options, "PostgreSQL");
}

}  // namespace db::tsql
