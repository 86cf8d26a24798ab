#include "db/tsql/SqliteGenerator.h"

#include "db/tsql/GeneratorCore.h"

#include <sqlite3.h>

namespace db::tsql {

namespace {

using namespace core;

class SqliteGenerator final : public GeneratorCore {
public:
    using GeneratorCore::GeneratorCore;

private:
    std::string ident(std::string_view name) const override {
        // Any word SQLite knows as a keyword is quoted: some would fail to parse (CAST, ROWS),
        // others would quietly mean something else (CURRENT_DATE).
        const bool plain = hasIdentifierShape(name) && !sqlite3_keyword_check(name.data(), static_cast<int>(name.size()));
        return plain ? std::string(name) : quoteIdent(name);
    }
    std::string mainQualified(const std::string& object) const override { return "main." + object; }
    std::string databaseQualified(const std::string& db, const std::string& object) const override {
        return ident(db) + "." + object;
    }
    std::string tempSchema() const override { return "temp."; }
    std::string parameter(const std::string& number) const override { return "?" + number; }
    const char* functionName(const FunctionInfo& f) const override { return f.sqlite; }

    std::string collated(const Expr& e) override { return sql(e, kPrimary) + " COLLATE TSQL"; }
    std::string comparedRight(const Expr& e, int minPrec) override { return sql(e, minPrec); }
    std::string orderTerm(const Expr& e) override {
        return typeOf(e) == StaticType::Text ? collated(e) : expr(e).sql;
    }
    std::string groupTerm(const Expr& e) override { return orderTerm(e); }

    Out likeOperation(const std::string& value, const std::string& pattern, const std::string* escape,
                      bool negated) override {
        std::string s = value + (negated ? " NOT LIKE " : " LIKE ") + pattern;
        if (escape) s += " ESCAPE " + *escape;
        return {s, kEquality};
    }

    std::string applyJoin(bool outer, const std::string& table) const override {
        return (outer ? " LEFT JOIN " : " JOIN ") + table + " ON 1";
    }

    std::string columnType(const TypeSpec& t, const std::string&, std::size_t) const override {
        std::string s = t.name;
        // SQLite takes numbers only: (MAX) is left out.
        if (t.length >= 0) s += "(" + std::to_string(t.length) + (t.scale >= 0 ? "," + std::to_string(t.scale) : "") + ")";
        if (isTextType(t)) s += " COLLATE TSQL";
        return s;
    }

    std::string rowIdentity() const override { return "rowid"; }
    std::string returningQualifier(const std::string&) const override { return ""; }

    std::string upsertKeyCompared(const std::string& column, bool text) const override {
        return text ? column + " COLLATE TSQL" : column;
    }
    // Grouped on tsql_key rather than through the collation: the same groups, compared as bytes.
    std::string upsertKeyGrouped(const std::string& column, bool text) const override {
        return text ? "tsql_key(" + column + ")" : column;
    }

    // A row the upsert inserts gets a rowid above every rowid the table had before.
    std::string upsertAction(const std::string& target) override {
        const std::string mark = quoteIdent(kMergeMark);
        addStep("DROP TABLE IF EXISTS temp." + mark);
        addStep("CREATE TEMP TABLE " + mark + " AS SELECT MAX(rowid) AS m FROM " + target);
        const std::string before = "(SELECT m FROM " + mark + ")";
        return "CASE WHEN " + before + " IS NULL OR rowid > " + before + " THEN 'INSERT' ELSE 'UPDATE' END";
    }
    void upsertFinished() override { addStep("DROP TABLE " + quoteIdent(kMergeMark)); }
};

}  // namespace

Translation generateSqlite(const std::vector<Statement>& batch, const TranslateOptions& options) {
    Translation out;
    SqliteGenerator g(options, out);
    for (const Statement& s : batch) {
        const std::size_t before = out.steps.size();
        g.statement(s);
        for (std::size_t i = before; i < out.steps.size(); ++i)
            if (unsafeMark(out.steps[i].sql) != std::string_view::npos)
                core::unsupported("istruzione che in SQLite conterrebbe un commento o un ';'", s.offset);
    }
    return out;
}

}  // namespace db::tsql
