#include "db/tsql/GeneratorCore.h"

#include <algorithm>
#include <cstdlib>

namespace db::tsql {

std::size_t unsafeMark(std::string_view sql) {
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = sql.find(c, i + 1);
            if (close == std::string_view::npos) return i;
            i = close;   // a doubled quote reads as two literals back to back: same scan
            continue;
        }
        const char d = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if ((c == '-' && d == '-') || (c == '/' && d == '*') || c == ';' || c == '\0') return i;
    }
    return std::string_view::npos;
}

}  // namespace db::tsql

namespace db::tsql::core {

void GeneratorCore::statement(const Statement& s) {
    switch (s.kind) {
    case Statement::Kind::Select: return selectStatement(s);
    case Statement::Kind::Insert: return addStep(insertSql(s));
    case Statement::Kind::Update: return addStep(updateSql(s));
    case Statement::Kind::Delete: return addStep(deleteSql(s));
    case Statement::Kind::DropTable: return dropStatement(s);
    case Statement::Kind::CreateTable: return createTable(s);
    case Statement::Kind::DeclareVars: return declareVars(s);
    case Statement::Kind::DeclareTable: return declareTable(s);
    case Statement::Kind::SetOption: return;
    case Statement::Kind::IfExists: return ifExists(s);
    case Statement::Kind::Merge: return merge(s);
    }
}

void GeneratorCore::addStep(std::string sql, bool returnsRows) {
    Step st;
    st.sql = std::move(sql);
    st.returnsRows = returnsRows;
    out_.steps.push_back(std::move(st));
}

std::string GeneratorCore::tableVariable(std::string_view name, std::size_t offset) {
    auto it = tableVars_.find(text::toUpperAscii(name));
    if (it == tableVars_.end())
        throw ParseError("Must declare the table variable \"" + std::string(name) + "\".", offset);
    return it->second;
}

void GeneratorCore::attach(const std::string& db) {
    for (const auto& d : out_.attachedDatabases)
        if (text::equalsIgnoreCaseAscii(d, db)) return;
    out_.attachedDatabases.push_back(db);
}

std::string GeneratorCore::objectName(const NameParts& parts, std::size_t offset) {
    if (parts.empty()) unsupported("nome vuoto", offset);
    if (parts.size() > 3) unsupported("nome a quattro parti (server collegato)", offset);
    const Name& obj = parts.back();
    std::string objSql = obj.text.size() > 1 && obj.text[0] == '#' ? quoteIdent(tempTableName(obj.text)) : ident(obj.text);
    if (parts.size() >= 2) {
        const Name& schema = parts[parts.size() - 2];
        if (!text::equalsIgnoreCaseAscii(schema.text, "dbo"))
            unsupported("schema " + schema.text, offset);
    }
    if (parts.size() == 3) {
        const std::string& db = parts[0].text;
        if (!options_.mainDatabase.empty() && text::equalsIgnoreCaseAscii(db, options_.mainDatabase))
            return mainQualified(objSql);
        if (!obj.text.empty() && obj.text[0] == '#') unsupported("tabella temporanea con nome di database", offset);
        attach(db);
        return databaseQualified(db, objSql);
    }
    return objSql;
}

std::string GeneratorCore::tableRefName(const NameParts& parts, bool isVariable, std::size_t offset) {
    if (isVariable) return quoteIdent(tableVariable(parts[0].text, offset));
    return objectName(parts, offset);
}

std::string GeneratorCore::columnRef(const Expr& e) {
    const NameParts& p = e.parts;
    const Name& col = p.back();
    if (!col.quoted && !col.text.empty() && col.text[0] == '$') {
        if (text::equalsIgnoreCaseAscii(col.text, "$action") && mergeAction_ && p.size() == 1)
            return quoteString(mergeAction_);
        unsupported(col.text + (mergeAction_ ? "" : " fuori da OUTPUT di MERGE"), e.offset);
    }
    if (p.size() == 1) return ident(col.text);
    return qualifier(p, p.size() - 1, e.offset) + "." + ident(col.text);
}

std::string GeneratorCore::qualifier(const NameParts& p, std::size_t count, std::size_t offset) {
    const Name& first = p[0];
    if (count == 1 && !first.quoted && !first.text.empty() && first.text[0] == '@')
        return quoteIdent(tableVariable(first.text, offset));
    if (count == 1 && !first.text.empty() && first.text[0] == '#') return quoteIdent(tempTableName(first.text));
    if (count == 1) return ident(first.text);
    return objectName(NameParts(p.begin(), p.begin() + static_cast<std::ptrdiff_t>(count)), offset);
}

bool GeneratorCore::isTextColumn(std::string_view column) const {
    return options_.schema && options_.schema->isTextColumn(column);
}

StaticType GeneratorCore::typeOf(const Expr& e) {
    switch (e.kind) {
    case Expr::Kind::String: return StaticType::Text;
    case Expr::Kind::Number: return StaticType::Number;
    case Expr::Kind::Column:
        if (e.parts.back().text.size() && e.parts.back().text[0] == '$') return StaticType::Text;
        return isTextColumn(e.parts.back().text) ? StaticType::Text : StaticType::Unknown;
    case Expr::Kind::Variable: {
        auto it = vars_.find(text::toUpperAscii(e.text));
        return it == vars_.end() ? StaticType::Unknown : it->second.type;
    }
    case Expr::Kind::Cast:
        if (isTextType(e.type)) return StaticType::Text;
        if (isNumericType(e.type)) return StaticType::Number;
        return StaticType::Unknown;
    case Expr::Kind::Paren: return typeOf(*e.args[0]);
    case Expr::Kind::Unary: return StaticType::Number;
    case Expr::Kind::Binary: {
        if (e.text == "+") {
            StaticType l = typeOf(*e.args[0]), r = typeOf(*e.args[1]);
            if (l == StaticType::Text && r == StaticType::Text) return StaticType::Text;
            if (l == StaticType::Number && r == StaticType::Number) return StaticType::Number;
            return StaticType::Unknown;
        }
        if (e.text == "-" || e.text == "*" || e.text == "/" || e.text == "%") return StaticType::Number;
        return StaticType::Number;   // comparisons and logic
    }
    case Expr::Kind::Function: {
        const FunctionInfo* f = findFunction(e.text);
        if (!f) return StaticType::Unknown;
        if (f->result != StaticType::Unknown) return f->result;
        if (e.args.empty()) return StaticType::Unknown;
        if (text::equalsIgnoreCaseAscii(e.text, "COALESCE")) return mergedType(e.args, 0, 1);
        StaticType t = typeOf(*e.args[0]);
        // Asked before the call's arguments are counted: ISNULL(x) must not read a second one.
        if (t == StaticType::Unknown && text::equalsIgnoreCaseAscii(e.text, "ISNULL") && e.args.size() > 1)
            t = typeOf(*e.args[1]);
        return t;
    }
    case Expr::Kind::Case: {
        // Result branches: THEN values and ELSE. A number among them wins (type precedence).
        std::vector<const Expr*> results;
        std::size_t i = e.hasOperand ? 1 : 0;
        std::size_t whenEnd = e.args.size() - (e.hasElse ? 1 : 0);
        for (; i + 1 < whenEnd + 1 && i < whenEnd; i += 2) results.push_back(e.args[i + 1].get());   // THEN values
        if (e.hasElse) results.push_back(e.args.back().get());
        bool anyText = false, anyUnknown = false;
        for (const Expr* r : results) {
            if (r->kind == Expr::Kind::Null) continue;
            StaticType t = typeOf(*r);
            if (t == StaticType::Number) return StaticType::Number;
            if (t == StaticType::Text) anyText = true;
            else anyUnknown = true;
        }
        return anyText && !anyUnknown ? StaticType::Text : StaticType::Unknown;
    }
    case Expr::Kind::Subquery: {
        const SelectCore& c = e.query->cores.front();
        if (c.items.size() == 1 && c.items[0].expr->kind != Expr::Kind::Star) return typeOf(*c.items[0].expr);
        return StaticType::Unknown;
    }
    default: return StaticType::Number;   // predicates
    }
}

StaticType GeneratorCore::mergedType(const std::vector<ExprPtr>& args, std::size_t from, std::size_t step) {
    bool anyText = false, anyUnknown = false;
    for (std::size_t i = from; i < args.size(); i += step) {
        if (args[i]->kind == Expr::Kind::Null) continue;
        StaticType t = typeOf(*args[i]);
        if (t == StaticType::Number) return StaticType::Number;
        if (t == StaticType::Text) anyText = true;
        else anyUnknown = true;
    }
    return anyText && !anyUnknown ? StaticType::Text : StaticType::Unknown;
}

std::string GeneratorCore::wrap(const Out& o, int minPrec) {
    return o.prec >= minPrec ? o.sql : "(" + o.sql + ")";
}

std::string GeneratorCore::sql(const Expr& e, int minPrec) { return wrap(expr(e), minPrec); }

std::string GeneratorCore::signOperand(const Expr& e) {
    std::string s = sql(e, kUnary);
    return s.front() == '-' ? "(" + s + ")" : s;
}

std::string GeneratorCore::exprList(const std::vector<ExprPtr>& list, std::size_t from) {
    std::string s;
    for (std::size_t i = from; i < list.size(); ++i) {
        if (i > from) s += ", ";
        s += expr(*list[i]).sql;
    }
    return s;
}

Out GeneratorCore::expr(const Expr& e) {
    switch (e.kind) {
    case Expr::Kind::Number: return {e.text, kPrimary};
    case Expr::Kind::String: return {quoteString(e.text), kPrimary};
    case Expr::Kind::Parameter:
        ++out_.parameters;
        return {parameter(e.text), kPrimary};
    case Expr::Kind::Null: return {"NULL", kPrimary};
    case Expr::Kind::Column: return {columnRef(e), kPrimary};
    case Expr::Kind::Star: {
        if (e.parts.empty()) return {"*", kPrimary};
        return {qualifier(e.parts, e.parts.size(), e.offset) + ".*", kPrimary};
    }
    case Expr::Kind::Variable: {
        auto it = vars_.find(text::toUpperAscii(e.text));
        if (it == vars_.end())
            throw ParseError("Must declare the scalar variable \"" + e.text + "\".", e.offset);
        return {it->second.sql, it->second.sql.size() && it->second.sql[0] == '-' ? kUnary : kPrimary};
    }
    case Expr::Kind::Paren: return {"(" + expr(*e.args[0]).sql + ")", kPrimary};
    case Expr::Kind::Unary:
        if (e.text == "NOT") return {"NOT " + sql(*e.args[0], kNot), kNot};
        return {e.text + signOperand(*e.args[0]), kUnary};
    case Expr::Kind::Binary: return binary(e);
    case Expr::Kind::Function: return function(e);
    case Expr::Kind::Cast: return cast(e);
    case Expr::Kind::Case: return caseExpr(e);
    case Expr::Kind::Subquery: return {"(" + query(*e.query) + ")", kPrimary};
    case Expr::Kind::Exists:
        return {std::string(e.negated ? "NOT " : "") + "EXISTS (" + query(*e.query) + ")",
                e.negated ? kNot : kPrimary};
    case Expr::Kind::InList: {
        bool text = typeOf(*e.args[0]) == StaticType::Text;
        for (std::size_t i = 1; i < e.args.size() && !text; ++i) text = typeOf(*e.args[i]) == StaticType::Text;
        std::string l = text ? collated(*e.args[0]) : sql(*e.args[0], kRelational);
        return {l + (e.negated ? " NOT IN (" : " IN (") + exprList(e.args, 1) + ")", kEquality};
    }
    case Expr::Kind::InQuery: {
        const SelectCore& c = e.query->cores.front();
        bool text = typeOf(*e.args[0]) == StaticType::Text ||
                    (c.items.size() == 1 && typeOf(*c.items[0].expr) == StaticType::Text);
        std::string l = text ? collated(*e.args[0]) : sql(*e.args[0], kRelational);
        return {l + (e.negated ? " NOT IN (" : " IN (") + query(*e.query) + ")", kEquality};
    }
    case Expr::Kind::Between: {
        bool text = typeOf(*e.args[0]) == StaticType::Text || typeOf(*e.args[1]) == StaticType::Text ||
                    typeOf(*e.args[2]) == StaticType::Text;
        std::string l = text ? collated(*e.args[0]) : sql(*e.args[0], kRelational);
        return {l + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + sql(*e.args[1], kRelational) + " AND " +
                    sql(*e.args[2], kRelational),
                kEquality};
    }
    case Expr::Kind::Like: {
        // SQL Server's [ ] character classes have no SQLite LIKE counterpart.
        if (e.args[1]->kind == Expr::Kind::String && e.args[1]->text.find('[') != std::string::npos)
            unsupported("LIKE con classi di caratteri [ ]", e.args[1]->offset);
        if (e.args[1]->kind != Expr::Kind::String && e.args.size() < 3)
            unsupported("LIKE con un modello non costante", e.args[1]->offset);
        const std::string escape = e.args.size() > 2 ? sql(*e.args[2], kRelational) : "";
        return likeOperation(sql(*e.args[0], kRelational), sql(*e.args[1], kRelational),
                             e.args.size() > 2 ? &escape : nullptr, e.negated);
    }
    case Expr::Kind::IsNull:
        return {sql(*e.args[0], kRelational) + (e.negated ? " IS NOT NULL" : " IS NULL"), kEquality};
    }
    return {"", kPrimary};
}

Out GeneratorCore::binary(const Expr& e) {
    const std::string& op = e.text;
    const Expr& l = *e.args[0];
    const Expr& r = *e.args[1];
    if (op == "OR") return {sql(l, kOr) + " OR " + sql(r, kOr + 1), kOr};
    if (op == "AND") return {sql(l, kAnd) + " AND " + sql(r, kAnd + 1), kAnd};
    if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
        const bool text = typeOf(l) == StaticType::Text || typeOf(r) == StaticType::Text;
        const int p = (op == "=" || op == "<>") ? kEquality : kRelational;
        std::string ls = text ? collated(l) : sql(l, p);
        return {ls + " " + op + " " + (text ? comparedRight(r, p + 1) : sql(r, p + 1)), p};
    }
    if (op == "+") {
        StaticType lt = typeOf(l), rt = typeOf(r);
        if (lt == StaticType::Text && rt == StaticType::Text)
            return {sql(l, kConcat) + "||" + sql(r, kConcat + 1), kConcat};
        if (lt == StaticType::Number && rt == StaticType::Number)
            return {sql(l, kAdditive) + " + " + sql(r, kAdditive + 1), kAdditive};
        return {"tsql_plus(" + expr(l).sql + ", " + expr(r).sql + ")", kPrimary};
    }
    if (op == "-") return {sql(l, kAdditive) + " - " + sql(r, kAdditive + 1), kAdditive};
    if (op == "*" || op == "/" || op == "%")
        return {sql(l, kMultiplicative) + " " + op + " " + sql(r, kMultiplicative + 1), kMultiplicative};
    unsupported("operatore " + op, e.offset);
}

Out GeneratorCore::function(const Expr& e) {
    const FunctionInfo* f = findFunction(e.text);
    if (!f) unsupported("funzione " + text::toUpperAscii(e.text), e.offset);
    const int n = e.starArg ? 1 : static_cast<int>(e.args.size());
    if (n < f->minArgs || n > f->maxArgs) {
        std::string count = f->minArgs == f->maxArgs
                                ? std::to_string(f->minArgs) + " argument(s)."
                                : std::to_string(f->minArgs) + " to " + std::to_string(f->maxArgs) + " arguments.";
        throw ParseError("The " + text::toLowerAscii(f->tsql) + " function requires " + count, e.offset);
    }
    if (e.starArg && !text::equalsIgnoreCaseAscii(e.text, "COUNT")) unsupported(text::toUpperAscii(e.text) + "(*)", e.offset);
    if (e.distinct && f->kind != FnKind::Aggregate) unsupported(text::toUpperAscii(e.text) + "(DISTINCT ...)", e.offset);
    if (f->kind == FnKind::Window && !e.hasOver) unsupported(std::string(f->tsql) + " senza OVER", e.offset);
    if (f->kind != FnKind::Window && e.hasOver) unsupported(std::string(f->tsql) + " OVER (...)", e.offset);
    if (auto native = nativeCall(*f, e)) return *native;
    std::string s = functionName(*f);
    s += "(";
    if (e.starArg) s += "*";
    else {
        if (e.distinct) s += "DISTINCT ";
        s += exprList(e.args);
    }
    s += ")";
    if (e.hasOver) {
        s += " OVER (";
        if (!e.partitionBy.empty()) {
            s += "PARTITION BY ";
            for (std::size_t i = 0; i < e.partitionBy.size(); ++i) {
                if (i) s += ", ";
                s += groupTerm(*e.partitionBy[i]);
            }
        }
        if (!e.overOrder.empty()) {
            if (!e.partitionBy.empty()) s += " ";
            s += "ORDER BY " + orderList(e.overOrder);
        }
        s += ")";
    }
    return {s, kPrimary};
}

Out GeneratorCore::cast(const Expr& e) {
    const TypeSpec& t = e.type;
    const std::string arg = expr(*e.args[0]).sql;
    if (t.name == "NVARCHAR" || t.name == "VARCHAR") {
        // CAST and CONVERT give 30 characters when no length is written.
        int len = t.max ? -1 : (t.length < 0 ? 30 : t.length);
        return {std::string(t.name == "NVARCHAR" ? "tsql_nvarchar(" : "tsql_varchar(") + arg + ", " +
                    std::to_string(len) + ")",
                kPrimary};
    }
    if (t.name == "DECIMAL" || t.name == "NUMERIC") {
        int p = t.length < 0 ? 18 : t.length;
        int s = t.scale < 0 ? 0 : t.scale;
        if (p < 1 || p > 38 || s > p) unsupported("precisione " + t.written, e.offset);
        return {"tsql_decimal(" + arg + ", " + std::to_string(p) + ", " + std::to_string(s) + ")", kPrimary};
    }
    int bytes = t.name == "TINYINT" ? 1 : t.name == "SMALLINT" ? 2 : (t.name == "INT" || t.name == "INTEGER") ? 4
                : t.name == "BIGINT" ? 8 : 0;
    if (bytes) return {"tsql_int(" + arg + ", " + std::to_string(bytes) + ")", kPrimary};
    unsupported("CAST AS " + t.written, e.offset);
}

Out GeneratorCore::caseExpr(const Expr& e) {
    std::string s = "CASE";
    std::size_t i = 0;
    const std::size_t whenEnd = e.args.size() - (e.hasElse ? 1 : 0);
    if (e.hasOperand) {
        bool text = typeOf(*e.args[0]) == StaticType::Text;
        for (std::size_t k = 1; k < whenEnd && !text; k += 2) text = typeOf(*e.args[k]) == StaticType::Text;
        s += " " + (text ? collated(*e.args[0]) : expr(*e.args[0]).sql);
        i = 1;
    }
    for (; i + 1 < whenEnd + 1 && i < whenEnd; i += 2)
        s += " WHEN " + expr(*e.args[i]).sql + " THEN " + expr(*e.args[i + 1]).sql;
    if (e.hasElse) s += " ELSE " + expr(*e.args.back()).sql;
    s += " END";
    return {s, kPrimary};
}

std::string GeneratorCore::orderList(const std::vector<OrderItem>& items) {
    std::string s;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) s += ", ";
        s += orderTerm(*items[i].expr);
        if (items[i].desc) s += " DESC";
    }
    return s;
}

std::string GeneratorCore::tableRef(const TableRef& r) {
    std::string s;
    switch (r.kind) {
    case TableRef::Kind::Table: s = objectName(r.parts, r.offset); break;
    case TableRef::Kind::Variable: s = quoteIdent(tableVariable(r.parts[0].text, r.offset)); break;
    case TableRef::Kind::Function: s = objectName(r.parts, r.offset) + "(" + exprList(r.args) + ")"; break;
    case TableRef::Kind::Derived: s = "(" + query(*r.derived) + ")"; break;
    }
    if (!r.alias.empty()) s += " AS " + ident(r.alias.text);
    return s;
}

std::string GeneratorCore::fromItem(const FromItem& f) {
    std::string s = tableRef(f.first);
    for (const Join& j : f.joins) {
        switch (j.type) {
        case Join::Type::Inner: s += " JOIN "; break;
        case Join::Type::Left: s += " LEFT JOIN "; break;
        case Join::Type::Right: s += " RIGHT JOIN "; break;
        case Join::Type::Full: s += " FULL JOIN "; break;
        case Join::Type::Cross: s += " CROSS JOIN "; break;
        case Join::Type::CrossApply:
        case Join::Type::OuterApply:
            s += applyJoin(j.type == Join::Type::OuterApply, tableRef(j.table));
            continue;
        }
        s += tableRef(j.table);
        if (j.on) s += " ON " + expr(*j.on).sql;
    }
    return s;
}

std::string GeneratorCore::core(const SelectCore& c, bool& hasTop, std::string& limit) {
    std::string s = "SELECT ";
    if (c.distinct) s += "DISTINCT ";
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        if (i) s += ", ";
        s += expr(*c.items[i].expr).sql;
        if (!c.items[i].alias.empty()) s += " AS " + ident(c.items[i].alias.text);
    }
    if (!c.from.empty()) {
        s += " FROM ";
        for (std::size_t i = 0; i < c.from.size(); ++i) {
            if (i) s += ", ";
            s += fromItem(c.from[i]);
        }
    }
    if (c.where) s += " WHERE " + expr(*c.where).sql;
    if (!c.groupBy.empty()) {
        s += " GROUP BY ";
        for (std::size_t i = 0; i < c.groupBy.size(); ++i) {
            if (i) s += ", ";
            s += groupTerm(*c.groupBy[i]);
        }
    }
    if (c.having) s += " HAVING " + expr(*c.having).sql;
    if (c.top) {
        hasTop = true;
        limit = expr(*c.top).sql;
    }
    return s;
}

std::string GeneratorCore::ctes(const std::vector<Cte>& list) {
    if (list.empty()) return "";
    std::string s = "WITH ";
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) s += ", ";
        s += ident(list[i].name.text);
        if (!list[i].columns.empty()) {
            s += " (";
            for (std::size_t k = 0; k < list[i].columns.size(); ++k) {
                if (k) s += ", ";
                s += ident(list[i].columns[k].text);
            }
            s += ")";
        }
        s += " AS (" + query(*list[i].query) + ")";
    }
    return s + " ";
}

std::string GeneratorCore::query(const Query& q) {
    std::string s = ctes(q.ctes);
    std::string limit;
    for (std::size_t i = 0; i < q.cores.size(); ++i) {
        if (i) s += " " + q.setOps[i - 1] + " ";
        bool hasTop = false;
        std::string l;
        s += core(q.cores[i], hasTop, l);
        if (hasTop) {
            if (q.cores.size() > 1) unsupported("TOP in una UNION", q.cores[i].offset);
            limit = l;
        }
        if (i > 0 && !q.cores[i].into.empty()) syntaxErrorInto(q.cores[i].offset);
    }
    if (!q.orderBy.empty()) s += " ORDER BY " + orderList(q.orderBy);
    if (!limit.empty()) s += " LIMIT " + limit;
    return s;
}

void GeneratorCore::syntaxErrorInto(std::size_t offset) {
    throw ParseError("Incorrect syntax near the keyword 'INTO'.", offset);
}

void GeneratorCore::selectStatement(const Statement& s) {
    const SelectCore& first = s.query->cores.front();
    if (first.into.empty()) return addStep(query(*s.query), true);
    const Name& target = first.into.back();
    std::string body = query(*s.query);
    if (first.into.size() == 1 && !target.text.empty() && target.text[0] == '#')
        return addStep("CREATE TEMP TABLE " + quoteIdent(tempTableName(target.text)) + " AS " + body);
    addStep("CREATE TABLE " + objectName(first.into, first.offset) + " AS " + body);
}

std::string GeneratorCore::insertHead(const Statement& s) {
    std::string sql = "INSERT INTO " + tableRefName(s.table, s.tableIsVariable, s.offset);
    if (!s.columns.empty()) {
        sql += " (";
        for (std::size_t i = 0; i < s.columns.size(); ++i) {
            if (i) sql += ", ";
            sql += ident(s.columns[i].text);
        }
        sql += ")";
    }
    return sql;
}

std::string GeneratorCore::insertSql(const Statement& s) {
    std::string sql = insertHead(s);
    if (s.query) return sql + " " + query(*s.query);
    sql += " VALUES ";
    for (std::size_t r = 0; r < s.values.size(); ++r) {
        if (r) sql += ", ";
        sql += "(" + exprList(s.values[r]) + ")";
    }
    return sql;
}

std::string GeneratorCore::assignments(const std::vector<Assignment>& sets) {
    std::string sql;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (i) sql += ", ";
        sql += ident(sets[i].column.back().text) + " = " + expr(*sets[i].value).sql;
    }
    return sql;
}

std::string GeneratorCore::updateSql(const Statement& s) {
    std::string sql = "UPDATE " + tableRefName(s.table, s.tableIsVariable, s.offset) + " SET " + assignments(s.sets);
    if (s.where) sql += " WHERE " + expr(*s.where).sql;
    return sql;
}

std::string GeneratorCore::deleteSql(const Statement& s) {
    std::string sql = "DELETE FROM " + tableRefName(s.table, s.tableIsVariable, s.offset);
    if (s.where) sql += " WHERE " + expr(*s.where).sql;
    return sql;
}

void GeneratorCore::dropStatement(const Statement& s) {
    for (const NameParts& n : s.dropNames)
        addStep(std::string(s.ifExists ? "DROP TABLE IF EXISTS " : "DROP TABLE ") + objectName(n, s.offset));
}

void GeneratorCore::declareVars(const Statement& s) {
    for (const VarDecl& v : s.vars) {
        const std::string key = text::toUpperAscii(v.name);
        if (vars_.count(key) || tableVars_.count(key))
            throw ParseError("The variable name '" + v.name +
                                 "' has already been declared. Variable names must be unique "
                                 "within a query batch or stored procedure.",
                             v.offset);
        Variable var;
        var.type = isTextType(v.type) ? StaticType::Text
                   : isNumericType(v.type) ? StaticType::Number
                                           : StaticType::Unknown;
        if (var.type == StaticType::Unknown) unsupported("variabile di tipo " + v.type.written, v.offset);
        var.sql = v.value ? constantValue(v, *v.value) : "NULL";
        vars_[key] = std::move(var);
    }
}

std::string GeneratorCore::constantValue(const VarDecl& v, const Expr& value) {
    const Expr* e = &value;
    while (e->kind == Expr::Kind::Paren) e = e->args[0].get();
    bool negative = false;
    if (e->kind == Expr::Kind::Unary && (e->text == "-" || e->text == "+")) {
        negative = e->text == "-";
        e = e->args[0].get();
        if (e->kind != Expr::Kind::Number) unsupported("valore iniziale non costante di " + v.name, v.offset);
    }
    if (e->kind == Expr::Kind::Null) return "NULL";
    if (e->kind == Expr::Kind::Variable) {
        auto it = vars_.find(text::toUpperAscii(e->text));
        if (it == vars_.end())
            throw ParseError("Must declare the scalar variable \"" + e->text + "\".", e->offset);
        return it->second.sql;
    }
    if (e->kind == Expr::Kind::String) {
        if (!isTextType(v.type)) unsupported("valore di testo per la variabile numerica " + v.name, v.offset);
        std::string text = e->text;
        if (!v.type.max) {
            // A text longer than the variable is cut silently, counting characters.
            std::size_t limit = v.type.length < 0 ? 1 : static_cast<std::size_t>(v.type.length);
            std::size_t chars = 0, i = 0;
            while (i < text.size() && chars < limit) {
                unsigned char c = text[i];
                i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
                ++chars;
            }
            text = text.substr(0, std::min(i, text.size()));
        }
        return quoteString(text);
    }
    if (e->kind != Expr::Kind::Number) unsupported("valore iniziale non costante di " + v.name, v.offset);
    if (isTextType(v.type)) return quoteString((negative ? "-" : "") + e->text);
    if (isIntegerType(v.type)) {
        if (e->text.find_first_of(".eE") != std::string::npos)
            unsupported("valore decimale per la variabile intera " + v.name, v.offset);
        const std::string& t = v.type.name;
        long double lo = t == "TINYINT" ? 0 : t == "SMALLINT" ? -32768 : t == "BIT" ? 0 : t == "BIGINT" ? -9.223372036854775808e18L : -2147483648.0L;
        long double hi = t == "TINYINT" ? 255 : t == "SMALLINT" ? 32767 : t == "BIT" ? 1 : t == "BIGINT" ? 9.223372036854775807e18L : 2147483647.0L;
        long double value = std::strtold(e->text.c_str(), nullptr) * (negative ? -1 : 1);
        if (t == "BIT") return value != 0 ? "1" : "0";
        if (value < lo || value > hi)
            throw ParseError("Arithmetic overflow error for data type " + text::toLowerAscii(t) + ", value = " +
                                 (negative ? "-" : "") + e->text + ".",
                             v.offset);
    }
    return (negative ? "-" : "") + e->text;
}

std::string GeneratorCore::columnDecl(const ColumnDef& c, std::size_t offset) {
    const TypeSpec& t = c.type;
    if (!isTextType(t) && !isNumericType(t) && !isDateType(t)) unsupported("tipo di colonna " + t.written, offset);
    const std::string name = ident(c.name.text);
    std::string s = name + " " + columnType(t, name, offset);
    if (c.notNull) s += " NOT NULL";
    if (c.primaryKey) s += " PRIMARY KEY";
    switch (c.defaultKind) {
    case ColumnDef::Default::None: break;
    case ColumnDef::Default::Number: s += " DEFAULT " + c.defaultValue; break;
    case ColumnDef::Default::Text: s += " DEFAULT " + quoteString(c.defaultValue); break;
    case ColumnDef::Default::Null: s += " DEFAULT NULL"; break;
    }
    return s;
}

void GeneratorCore::createTable(const Statement& s) {
    std::string cols;
    for (const ColumnDef& c : s.columnDefs) cols += (cols.empty() ? "" : ", ") + columnDecl(c, s.offset);
    if (!s.primaryKey.empty()) {
        std::string key;
        for (const Name& n : s.primaryKey) key += (key.empty() ? "" : ", ") + ident(n.text);
        cols += ", PRIMARY KEY (" + key + ")";
    }
    addStep("CREATE TABLE " + objectName(s.table, s.offset) + " (" + cols + ")");
}

void GeneratorCore::declareTable(const Statement& s) {
    const std::string& name = s.table[0].text;
    const std::string key = text::toUpperAscii(name);
    if (vars_.count(key) || tableVars_.count(key))
        throw ParseError("The variable name '" + name +
                             "' has already been declared. Variable names must be unique "
                             "within a query batch or stored procedure.",
                         s.offset);
    tableVars_[key] = name;
    std::string cols;
    for (std::size_t i = 0; i < s.columnDefs.size(); ++i) {
        if (i) cols += ", ";
        cols += columnDecl(s.columnDefs[i], s.offset);
    }
    // A table variable starts empty in every batch; the connection may still hold the
    // table of an earlier batch.
    addStep("DROP TABLE IF EXISTS " + tempSchema() + quoteIdent(name));
    addStep("CREATE TEMP TABLE " + quoteIdent(name) + " (" + cols + ")");
}

void GeneratorCore::ifExists(const Statement& s) {
    if (s.body.size() != 1 || s.body[0].kind != Statement::Kind::Insert || s.body[0].query ||
        s.body[0].values.size() != 1)
        unsupported("IF [NOT] EXISTS con un corpo diverso da un solo INSERT ... VALUES", s.offset);
    const Statement& ins = s.body[0];
    addStep(insertHead(ins) + " SELECT " + exprList(ins.values[0]) + " WHERE " + (s.negated ? "NOT " : "") +
            "EXISTS (" + query(*s.query) + ")");
}

void GeneratorCore::collectTargetColumns(const Expr& e, const std::string& alias, std::vector<std::string>& out) {
    if (e.kind == Expr::Kind::Column && e.parts.size() == 2 && text::equalsIgnoreCaseAscii(e.parts[0].text, alias)) {
        for (const auto& c : out)
            if (text::equalsIgnoreCaseAscii(c, e.parts[1].text)) return;
        out.push_back(e.parts[1].text);
    }
    for (const auto& a : e.args) collectTargetColumns(*a, alias, out);
}

std::string GeneratorCore::outputList(const Statement& s, const std::string& action, const std::string& qualifier) {
    std::string sql;
    for (std::size_t i = 0; i < s.output.size(); ++i) {
        const Expr& e = *s.output[i];
        if (i) sql += ", ";
        if (e.kind == Expr::Kind::Column && e.parts.size() == 1 && text::equalsIgnoreCaseAscii(e.parts[0].text, "$action")) {
            sql += action;
        } else if (e.kind == Expr::Kind::Column && e.parts.size() == 2 &&
                   text::equalsIgnoreCaseAscii(e.parts[0].text, "inserted")) {
            sql += qualifier + ident(e.parts[1].text);
        } else if (e.kind == Expr::Kind::Number || e.kind == Expr::Kind::String || e.kind == Expr::Kind::Null) {
            sql += expr(e).sql;
        } else {
            unsupported("OUTPUT di MERGE con valori diversi da $action e inserted.*", e.offset);
        }
    }
    return sql;
}

void GeneratorCore::merge(const Statement& s) {
    if (s.output.size() && s.outputInto.empty()) unsupported("OUTPUT di MERGE senza INTO", s.offset);
    const std::string target = tableRefName(s.table, s.tableIsVariable, s.offset);
    const std::string targetAlias = s.alias.empty() ? s.table.back().text : s.alias.text;
    const std::string aliasSql = s.alias.empty() ? "" : " AS " + ident(s.alias.text);
    std::string sourceAlias = s.source.alias.empty() ? (s.source.parts.empty() ? "" : s.source.parts.back().text)
                                                     : s.source.alias.text;
    std::string captureInto;
    if (!s.outputInto.empty()) {
        if (s.outputIntoVariable) captureInto = tableVariable(s.outputInto[0].text, s.offset);
        else if (s.outputInto.size() == 1) captureInto = tempTableName(s.outputInto[0].text);
        else unsupported("OUTPUT INTO una tabella con nome composto", s.offset);
    }

    std::vector<std::string> onColumns;
    collectTargetColumns(*s.on, targetAlias, onColumns);
    for (const Assignment& a : s.sets)
        for (const auto& c : onColumns)
            if (text::equalsIgnoreCaseAscii(c, a.column.back().text))
                unsupported("MERGE che aggiorna una colonna della condizione ON", s.offset);

    const std::string source = quoteIdent(kMergeSource);
    const std::string sourceAs = source + " AS " + ident(sourceAlias);
    const std::string on = expr(*s.on).sql;
    const auto upsert = upsertPlan(s, targetAlias, sourceAlias);

    out_.atomic = true;
    addStep("DROP TABLE IF EXISTS " + tempSchema() + source);
    std::string srcSql;
    {
        // The source without its alias: SELECT * FROM <source>.
        switch (s.source.kind) {
        case TableRef::Kind::Table: srcSql = objectName(s.source.parts, s.source.offset); break;
        case TableRef::Kind::Variable: srcSql = quoteIdent(tableVariable(s.source.parts[0].text, s.source.offset)); break;
        case TableRef::Kind::Function:
            srcSql = objectName(s.source.parts, s.source.offset) + "(" + exprList(s.source.args) + ")";
            break;
        case TableRef::Kind::Derived: srcSql = "(" + query(*s.source.derived) + ")" + derivedSourceAlias(); break;
        }
    }
    addStep("CREATE TEMP TABLE " + source + " AS " + ctes(s.ctes) + "SELECT * FROM " + srcSql);
    if (upsert) return mergeAsUpsert(s, *upsert, target, aliasSql, sourceAlias, captureInto);

    if (s.hasMatched) {
        std::string group;
        if (onColumns.empty()) group = ident(targetAlias) + "." + rowIdentity();
        for (std::size_t i = 0; i < onColumns.size(); ++i) {
            if (i) group += ", ";
            group += ident(targetAlias) + "." + ident(onColumns[i]);
        }
        Step check;
        check.sql = "SELECT COUNT(*) FROM (SELECT 1 FROM " + target + aliasSql + " JOIN " + sourceAs + " ON " + on +
                    (s.matchedCondition ? " AND " + sql(*s.matchedCondition, kAnd + 1) : "") + " GROUP BY " +
                    group + " HAVING COUNT(*) > 1)";
        check.failWhenNonZero = std::string(kMergeDuplicateMessage);
        out_.steps.push_back(std::move(check));

        Step upd;
        upd.sql = "UPDATE " + target + aliasSql + " SET " + assignments(s.sets) + " FROM " + sourceAs + " WHERE " +
                  wrapCondition(*s.on) + (s.matchedCondition ? " AND " + sql(*s.matchedCondition, kAnd + 1) : "");
        if (!s.output.empty()) {
            upd.sql += " RETURNING " + outputList(s, quoteString("UPDATE"), returningQualifier(targetAlias));
            upd.captureInto = captureInto;
        }
        out_.steps.push_back(std::move(upd));
    }
    if (s.hasNotMatched) {
        std::string sqlText = "INSERT INTO " + target;
        if (!s.insertColumns.empty()) {
            sqlText += " (";
            for (std::size_t i = 0; i < s.insertColumns.size(); ++i) {
                if (i) sqlText += ", ";
                sqlText += ident(s.insertColumns[i].text);
            }
            sqlText += ")";
        }
        sqlText += " SELECT " + exprList(s.insertValues) + " FROM " + sourceAs + " WHERE NOT EXISTS (SELECT 1 FROM " +
                   target + aliasSql + " WHERE " + on + ")" +
                   (s.notMatchedCondition ? " AND " + sql(*s.notMatchedCondition, kAnd + 1) : "");
        Step ins;
        ins.sql = std::move(sqlText);
        if (!s.output.empty()) {
            ins.sql += " RETURNING " + outputList(s, quoteString("INSERT"));
            ins.captureInto = captureInto;
        }
        out_.steps.push_back(std::move(ins));
    }
    addStep("DROP TABLE " + source);
}

std::string GeneratorCore::wrapCondition(const Expr& e) { return sql(e, kAnd + 1); }

const Expr& GeneratorCore::unwrapped(const Expr& e) {
    const Expr* p = &e;
    while (p->kind == Expr::Kind::Paren) p = p->args[0].get();
    return *p;
}

bool GeneratorCore::isColumnOf(const Expr& e, const std::string& alias) {
    return e.kind == Expr::Kind::Column && e.parts.size() == 2 && text::equalsIgnoreCaseAscii(e.parts[0].text, alias);
}

void GeneratorCore::conjuncts(const Expr& e, std::vector<const Expr*>& out) {
    const Expr& u = unwrapped(e);
    if (u.kind == Expr::Kind::Binary && text::equalsIgnoreCaseAscii(u.text, "AND")) {
        conjuncts(*u.args[0], out);
        conjuncts(*u.args[1], out);
    } else {
        out.push_back(&u);
    }
}

std::optional<GeneratorCore::UpsertPlan> GeneratorCore::upsertPlan(const Statement& s, const std::string& targetAlias,
                                                                   const std::string& sourceAlias) {
    if (!s.hasMatched || !s.hasNotMatched || s.matchedCondition || s.notMatchedCondition || s.tableIsVariable ||
        s.sets.empty() || s.insertColumns.size() != s.insertValues.size() || sourceAlias.empty())
        return std::nullopt;
    const UniqueKey* key = options_.schema ? options_.schema->uniqueKeyOf(s.table.back().text) : nullptr;
    if (!key) return std::nullopt;

    auto findName = [](const auto& names, std::string_view name) -> std::size_t {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (text::equalsIgnoreCaseAscii(names[i], name)) return i;
        return names.size();
    };
    UpsertPlan plan;
    std::vector<const Expr*> terms;
    conjuncts(*s.on, terms);
    for (const Expr* t : terms) {
        if (t->kind != Expr::Kind::Binary || t->text != "=") return std::nullopt;
        const Expr* l = &unwrapped(*t->args[0]);
        const Expr* r = &unwrapped(*t->args[1]);
        if (isColumnOf(*r, targetAlias)) std::swap(l, r);
        if (!isColumnOf(*l, targetAlias) || !isColumnOf(*r, sourceAlias)) return std::nullopt;
        const std::string& column = l->parts[1].text;
        const std::string& from = r->parts[1].text;
        if (findName(key->columns, column) == key->columns.size() ||
            findName(plan.keyColumns, column) != plan.keyColumns.size() ||
            findName(plan.sourceKeys, from) != plan.sourceKeys.size())
            return std::nullopt;
        plan.keyColumns.push_back(column);
        plan.sourceKeys.push_back(from);
    }
    if (plan.keyColumns.size() != key->columns.size()) return std::nullopt;

    std::vector<std::string> inserted;
    for (const Name& n : s.insertColumns) inserted.push_back(n.text);
    // The source value the MERGE inserts into `column`, when it is a plain source column.
    auto insertedFrom = [&](std::string_view column) -> const std::string* {
        const std::size_t i = findName(inserted, column);
        if (i == inserted.size()) return nullptr;
        const Expr& v = unwrapped(*s.insertValues[i]);
        return isColumnOf(v, sourceAlias) ? &v.parts[1].text : nullptr;
    };
    for (std::size_t i = 0; i < plan.keyColumns.size(); ++i) {
        const std::string* from = insertedFrom(plan.keyColumns[i]);
        if (!from || !text::equalsIgnoreCaseAscii(*from, plan.sourceKeys[i])) return std::nullopt;
    }
    for (const Assignment& a : s.sets) {
        const std::string& column = a.column.back().text;
        const Expr& v = unwrapped(*a.value);
        const std::string* from = insertedFrom(column);
        if (!from || !isColumnOf(v, sourceAlias) || !text::equalsIgnoreCaseAscii(*from, v.parts[1].text)) return std::nullopt;
        plan.updates.push_back(ident(column) + " = excluded." + ident(column));
    }
    return plan;
}

void GeneratorCore::mergeAsUpsert(const Statement& s, const UpsertPlan& plan, const std::string& target,
                                  const std::string& aliasSql, const std::string& sourceAlias,
                                  const std::string& captureInto) {
    const std::string source = quoteIdent(kMergeSource);
    const std::string sourceAs = source + " AS " + ident(sourceAlias);
    const std::string duplicates = quoteIdent(kMergeDuplicates);

    // Equal keys compare as the target's key does: text columns with the T-SQL collation.
    auto sourceKey = [&](std::size_t i, const std::string& alias) {
        return upsertKeyCompared(ident(alias) + "." + ident(plan.sourceKeys[i]),
                                 isTextColumn(plan.keyColumns[i]));
    };
    auto groupKey = [&](std::size_t i) {
        return upsertKeyGrouped(ident(sourceAlias) + "." + ident(plan.sourceKeys[i]),
                                isTextColumn(plan.keyColumns[i]));
    };
    std::string keys, groups, joined;
    for (std::size_t i = 0; i < plan.keyColumns.size(); ++i) {
        const std::string sep = i ? ", " : "";
        keys += sep + sourceKey(i, sourceAlias) + " AS " + ident(plan.sourceKeys[i]);
        groups += sep + groupKey(i);
        joined += std::string(i ? " AND " : "") + sourceKey(i, "~d") + " = " + ident(sourceAlias) + "." +
                  ident(plan.sourceKeys[i]);
    }
    addStep("DROP TABLE IF EXISTS " + tempSchema() + duplicates);
    addStep("CREATE TEMP TABLE " + duplicates + " AS SELECT " + keys + " FROM " + sourceAs + " GROUP BY " + groups +
            " HAVING COUNT(*) > 1");
    Step check;
    check.sql = "SELECT COUNT(*) FROM " + duplicates + " AS " + ident(sourceAlias) + " WHERE EXISTS (SELECT 1 FROM " +
                target + aliasSql + " WHERE " + expr(*s.on).sql + ")";
    check.failWhenNonZero = std::string(kMergeDuplicateMessage);
    out_.steps.push_back(std::move(check));

    std::string head = "INSERT INTO " + target + " (";
    for (std::size_t i = 0; i < s.insertColumns.size(); ++i) head += (i ? ", " : "") + ident(s.insertColumns[i].text);
    head += ") SELECT " + exprList(s.insertValues);
    addStep(head + " FROM " + duplicates + " AS \"~d\" CROSS JOIN " + sourceAs + " WHERE " + joined);

    const std::string action = s.output.empty() ? "" : upsertAction(target);
    std::string conflict;
    for (std::size_t i = 0; i < plan.keyColumns.size(); ++i) conflict += (i ? ", " : "") + ident(plan.keyColumns[i]);
    std::string updates;
    for (std::size_t i = 0; i < plan.updates.size(); ++i) updates += (i ? ", " : "") + plan.updates[i];
    Step upsert;
    upsert.sql = head + " FROM " + sourceAs + " WHERE true ON CONFLICT (" + conflict + ") DO UPDATE SET " + updates;
    if (!s.output.empty()) {
        upsert.sql += " RETURNING " + outputList(s, action);
        upsert.captureInto = captureInto;
    }
    out_.steps.push_back(std::move(upsert));
    addStep("DROP TABLE " + source);
    addStep("DROP TABLE " + duplicates);
    if (!s.output.empty()) upsertFinished();
}

}  // namespace db::tsql::core
