#include "db/tsql/Parser.h"

#include "db/tsql/Translator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace db::tsql {

namespace {

// Words that end an expression or a table reference: never taken as an implicit alias.
constexpr std::array kReserved = {
    "ALL",     "AND",      "ANY",       "APPLY",    "AS",       "ASC",      "BEGIN",   "BETWEEN",
    "BREAK",   "BY",       "CASE",      "CLOSE",    "COLLATE",  "COMMIT",   "COMPUTE", "CONTINUE",
    "CREATE",  "CROSS",    "DEALLOCATE","DECLARE",  "DELETE",   "DESC",     "DISTINCT","DROP",
    "ELSE",    "END",      "ESCAPE",    "EXCEPT",   "EXEC",     "EXECUTE",  "EXISTS",  "FETCH",
    "FOR",     "FROM",     "FULL",      "GO",       "GOTO",     "GROUP",    "HAVING",  "IF",
    "IN",      "INNER",    "INSERT",    "INTERSECT","INTO",     "IS",       "JOIN",    "LEFT",
    "LIKE",    "MERGE",    "NOT",       "NULL",     "ON",       "OPEN",     "OPTION",  "OR",
    "ORDER",   "OUTER",    "OUTPUT",    "OVER",     "PIVOT",    "PRINT",    "RAISERROR","RETURN",
    "RIGHT",   "ROLLBACK", "SELECT",    "SET",      "TABLESAMPLE","THEN",   "TOP",     "TRUNCATE",
    "UNION",   "UNPIVOT",  "UPDATE",    "USE",      "USING",    "VALUES",   "WAITFOR", "WHEN",
    "WHERE",   "WHILE",    "WITH",      "THROW",    "ALTER",    "GRANT",    "REVOKE",  "BULK",
};

constexpr auto kReservedSorted = [] {
    std::array<std::string_view, kReserved.size()> words{};
    std::copy(kReserved.begin(), kReserved.end(), words.begin());
    std::sort(words.begin(), words.end());
    return words;
}();

constexpr std::size_t kLongestReserved = [] {
    std::size_t n = 0;
    for (std::string_view w : kReservedSorted) n = std::max(n, w.size());
    return n;
}();

bool isReserved(const Token& t) {
    if (t.kind != TokenKind::Word || t.text.size() > kLongestReserved) return false;
    char buf[kLongestReserved];
    for (std::size_t i = 0; i < t.text.size(); ++i) {
        const char c = t.text[i];
        buf[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    return std::binary_search(kReservedSorted.begin(), kReservedSorted.end(), std::string_view(buf, t.text.size()));
}

// Table hints that only steer SQL Server's locking: meaningless on SQLite, dropped.
constexpr std::array kLockHints = {
    "NOLOCK", "READUNCOMMITTED", "ROWLOCK", "UPDLOCK", "HOLDLOCK", "READPAST", "NOWAIT",
    "TABLOCK", "TABLOCKX", "PAGLOCK", "XLOCK", "SERIALIZABLE", "READCOMMITTED", "REPEATABLEREAD",
};

// The generator walks the tree recursively: every construct that nests (parentheses, NOT, a
// sign, a subquery, CASE, CAST, a call, an IN list, IF) and every operator of a chain of
// binary operators adds a level, and a statement deeper than this is refused. The module's
// own statements stay below 20.
constexpr int kMaxNesting = 256;

class Parser {
public:
    explicit Parser(std::string_view sql) : toks_(tokenize(sql)) {}

    std::vector<Statement> batch() {
        std::vector<Statement> out;
        for (;;) {
            while (peek().isSymbol(";")) ++pos_;
            if (peek().kind == TokenKind::End) break;
            out.push_back(statement());
        }
        return out;
    }

private:
    std::vector<Token> toks_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    int parameters_ = 0;   // ? markers so far

    // Restores the nesting level on leaving a construct or a chain of operators.
    class Level {
    public:
        explicit Level(Parser& p) : p_(p), saved_(p.depth_) {}
        Level(Parser& p, const std::string& what, std::size_t offset) : Level(p) { p.deeper(what, offset); }
        ~Level() { p_.depth_ = saved_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

    private:
        Parser& p_;
        int saved_;
    };
    void deeper(const std::string& what, std::size_t offset) {
        if (++depth_ > kMaxNesting)
            unsupported("annidamento di " + what + " oltre " + std::to_string(kMaxNesting) + " livelli", offset);
    }

    const Token& peek(std::size_t ahead = 0) const {
        return toks_[std::min(pos_ + ahead, toks_.size() - 1)];
    }
    const Token& next() {
        const Token& t = toks_[pos_];
        if (pos_ + 1 < toks_.size()) ++pos_;
        return t;
    }
    bool acceptWord(std::string_view w) {
        if (peek().isWord(w)) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool acceptSymbol(std::string_view s) {
        if (peek().isSymbol(s)) {
            ++pos_;
            return true;
        }
        return false;
    }
    [[noreturn]] void syntaxError(const Token& t) const {
        if (t.kind == TokenKind::End)
            throw ParseError("Incorrect syntax near the end of the batch.", t.offset);
        std::string near = t.text;
        if (t.kind == TokenKind::String) near = "'" + near + "'";
        throw ParseError("Incorrect syntax near '" + near + "'.", t.offset);
    }
    [[noreturn]] static void unsupported(const std::string& what, std::size_t offset) {
        throw UnsupportedError(what, offset);
    }
    void expectWord(std::string_view w) {
        if (!acceptWord(w)) syntaxError(peek());
    }
    void expectSymbol(std::string_view s) {
        if (!acceptSymbol(s)) syntaxError(peek());
    }

    bool isName(const Token& t) const {
        return (t.kind == TokenKind::Word && !isReserved(t)) || t.kind == TokenKind::QuotedName;
    }
    Name name() {
        const Token& t = peek();
        if (!isName(t)) syntaxError(t);
        next();
        return Name{t.text, t.kind == TokenKind::QuotedName};
    }
    NameParts dottedName() {
        NameParts parts;
        parts.push_back(name());
        while (peek().isSymbol(".")) {
            next();
            if (peek().isSymbol(".")) {   // db..table: default schema
                parts.push_back(Name{"dbo", false});
                continue;
            }
            parts.push_back(name());
        }
        return parts;
    }

    // ---- statements ---------------------------------------------------------------------

    Statement statement() {
        const Token& t = peek();
        if (t.isWord("SELECT") || t.isSymbol("(")) {
            Statement s(Statement::Kind::Select, t.offset);
            s.query = query();
            return s;
        }
        if (t.isWord("WITH")) return withStatement();
        if (t.isWord("INSERT")) return insertStatement();
        if (t.isWord("UPDATE")) return updateStatement();
        if (t.isWord("DELETE")) return deleteStatement();
        if (t.isWord("DROP")) return dropStatement();
        if (t.isWord("CREATE")) return createStatement();
        if (t.isWord("DECLARE")) return declareStatement();
        if (t.isWord("SET")) return setStatement();
        if (t.isWord("IF")) return ifStatement();
        if (t.isWord("MERGE")) return mergeStatement({});
        if (t.isWord("BEGIN")) {
            if (peek(1).isWord("TRAN") || peek(1).isWord("TRANSACTION")) unsupported("BEGIN TRANSACTION", t.offset);
            unsupported("BEGIN ... END fuori da IF", t.offset);
        }
        if (t.kind == TokenKind::Word && isReserved(t)) unsupported(text::toUpperAscii(t.text), t.offset);
        syntaxError(t);
    }

    Statement withStatement() {
        const std::size_t off = peek().offset;
        expectWord("WITH");
        std::vector<Cte> ctes;
        do {
            Cte c;
            c.name = name();
            if (acceptSymbol("(")) {
                do c.columns.push_back(name());
                while (acceptSymbol(","));
                expectSymbol(")");
            }
            expectWord("AS");
            expectSymbol("(");
            c.query = query();
            expectSymbol(")");
            ctes.push_back(std::move(c));
        } while (acceptSymbol(","));
        if (peek().isWord("SELECT")) {
            Statement s(Statement::Kind::Select, off);
            s.query = query();
            s.query->ctes = std::move(ctes);
            return s;
        }
        if (peek().isWord("MERGE")) return mergeStatement(std::move(ctes));
        if (peek().kind == TokenKind::Word)
            unsupported("WITH ... " + text::toUpperAscii(peek().text), peek().offset);
        syntaxError(peek());
    }

    Statement insertStatement() {
        Statement s(Statement::Kind::Insert, peek().offset);
        expectWord("INSERT");
        acceptWord("INTO");
        targetName(s);
        if (peek().isSymbol("(") && !peek(1).isWord("SELECT")) {
            next();
            do s.columns.push_back(name());
            while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (peek().isWord("OUTPUT")) unsupported("INSERT ... OUTPUT", peek().offset);
        if (acceptWord("VALUES")) {
            do {
                expectSymbol("(");
                std::vector<ExprPtr> row;
                do row.push_back(expr());
                while (acceptSymbol(","));
                expectSymbol(")");
                s.values.push_back(std::move(row));
            } while (acceptSymbol(","));
        } else if (peek().isWord("SELECT") || peek().isSymbol("(")) {
            s.query = query();
        } else if (peek().isWord("DEFAULT")) {
            unsupported("INSERT ... DEFAULT VALUES", peek().offset);
        } else if (peek().isWord("EXEC") || peek().isWord("EXECUTE")) {
            unsupported("INSERT ... EXEC", peek().offset);
        } else {
            syntaxError(peek());
        }
        return s;
    }

    void targetName(Statement& s) {
        if (peek().kind == TokenKind::Variable) {
            s.table = {Name{next().text, false}};
            s.tableIsVariable = true;
        } else {
            s.table = dottedName();
        }
        tableHints();
    }

    Statement updateStatement() {
        Statement s(Statement::Kind::Update, peek().offset);
        expectWord("UPDATE");
        if (peek().isWord("TOP")) unsupported("UPDATE TOP", peek().offset);
        targetName(s);
        expectWord("SET");
        do {
            Assignment a;
            if (peek().kind == TokenKind::Variable) unsupported("SET @variabile in UPDATE", peek().offset);
            a.column = dottedName();
            expectSymbol("=");
            a.value = expr();
            s.sets.push_back(std::move(a));
        } while (acceptSymbol(","));
        if (peek().isWord("OUTPUT")) unsupported("UPDATE ... OUTPUT", peek().offset);
        if (peek().isWord("FROM")) unsupported("UPDATE ... FROM", peek().offset);
        if (acceptWord("WHERE")) {
            if (peek().isWord("CURRENT")) unsupported("WHERE CURRENT OF", peek().offset);
            s.where = expr();
        }
        return s;
    }

    Statement deleteStatement() {
        Statement s(Statement::Kind::Delete, peek().offset);
        expectWord("DELETE");
        if (peek().isWord("TOP")) unsupported("DELETE TOP", peek().offset);
        acceptWord("FROM");
        targetName(s);
        if (peek().isWord("OUTPUT")) unsupported("DELETE ... OUTPUT", peek().offset);
        if (peek().isWord("FROM")) unsupported("DELETE ... FROM", peek().offset);
        if (acceptWord("WHERE")) s.where = expr();
        return s;
    }

    Statement dropStatement() {
        Statement s(Statement::Kind::DropTable, peek().offset);
        expectWord("DROP");
        if (!peek().isWord("TABLE")) {
            if (peek().kind == TokenKind::Word) unsupported("DROP " + text::toUpperAscii(peek().text), peek().offset);
            syntaxError(peek());
        }
        next();
        if (peek().isWord("IF") && peek(1).isWord("EXISTS")) {
            pos_ += 2;
            s.ifExists = true;
        }
        do s.dropNames.push_back(dottedName());
        while (acceptSymbol(","));
        return s;
    }

    TypeSpec typeSpec() {
        TypeSpec t;
        const std::size_t start = peek().offset;
        Name n = name();
        t.name = text::toUpperAscii(n.text);
        t.written = n.text;
        if (t.name == "NATIONAL") unsupported("tipo NATIONAL", start);
        if (acceptSymbol("(")) {
            t.written += "(";
            if (acceptWord("MAX")) {
                t.max = true;
                t.written += "MAX";
            } else {
                t.length = typeSize(t);
                if (acceptSymbol(",")) {
                    t.written += ",";
                    t.scale = typeSize(t);
                }
            }
            expectSymbol(")");
            t.written += ")";
        }
        return t;
    }

    // A length, precision or scale: digits only and at most 8000, the longest any type takes.
    int typeSize(TypeSpec& t) {
        const Token& n = next();
        if (n.kind != TokenKind::Number) syntaxError(n);
        t.written += n.text;
        int value = 0;
        const char* end = n.text.data() + n.text.size();
        auto [p, ec] = std::from_chars(n.text.data(), end, value);
        if (ec != std::errc() || p != end || value > 8000) unsupported("dimensione " + t.written + ")", n.offset);
        return value;
    }

    // A column of DECLARE @T TABLE or CREATE TABLE: name, type, NULL / NOT NULL, PRIMARY KEY
    // and, in CREATE TABLE, DEFAULT with a constant.
    ColumnDef columnDef(bool createTable) {
        ColumnDef c;
        c.name = name();
        c.type = typeSpec();
        for (;;) {
            if (peek().isWord("NOT") && peek(1).isWord("NULL")) {
                pos_ += 2;
                c.notNull = true;
            } else if (acceptWord("NULL")) {
            } else if (peek().isWord("PRIMARY") && peek(1).isWord("KEY")) {
                pos_ += 2;
                c.primaryKey = true;
            } else if (createTable && peek().isWord("DEFAULT")) {
                next();
                defaultConstant(c);
            } else if (peek().kind == TokenKind::Word && !peek().isSymbol(",") &&
                       !peek().isSymbol(")") && peek().kind != TokenKind::Symbol) {
                unsupported("attributo di colonna " + text::toUpperAscii(peek().text), peek().offset);
            } else {
                break;
            }
        }
        return c;
    }

    // DEFAULT 0, DEFAULT -1.5, DEFAULT 'x', DEFAULT NULL, each possibly in parentheses
    // as SQL Server's scripts write them: DEFAULT ((0)).
    void defaultConstant(ColumnDef& c) {
        if (acceptSymbol("(")) {
            defaultConstant(c);
            expectSymbol(")");
            return;
        }
        const bool negative = acceptSymbol("-");
        const Token& t = peek();
        if (t.kind == TokenKind::Number) {
            c.defaultKind = ColumnDef::Default::Number;
            c.defaultValue = (negative ? "-" : "") + next().text;
        } else if (!negative && t.kind == TokenKind::String) {
            c.defaultKind = ColumnDef::Default::Text;
            c.defaultValue = next().text;
        } else if (!negative && t.isWord("NULL")) {
            next();
            c.defaultKind = ColumnDef::Default::Null;
        } else {
            unsupported("DEFAULT non costante", t.offset);
        }
    }

    // CREATE TABLE name (columns [, [CONSTRAINT name] PRIMARY KEY (columns)])
    Statement createStatement() {
        Statement s(Statement::Kind::CreateTable, peek().offset);
        expectWord("CREATE");
        if (!peek().isWord("TABLE")) {
            if (peek().kind == TokenKind::Word) unsupported("CREATE " + text::toUpperAscii(peek().text), peek().offset);
            syntaxError(peek());
        }
        next();
        s.table = dottedName();
        expectSymbol("(");
        do {
            if (peek().isWord("CONSTRAINT")) {
                next();
                name();
            }
            if (peek().isWord("PRIMARY") && peek(1).isWord("KEY")) {
                if (!s.primaryKey.empty()) unsupported("due PRIMARY KEY", peek().offset);
                pos_ += 2;
                if (peek().isWord("CLUSTERED") || peek().isWord("NONCLUSTERED")) next();
                expectSymbol("(");
                do s.primaryKey.push_back(name());
                while (acceptSymbol(","));
                expectSymbol(")");
            } else if (peek().isWord("UNIQUE") || peek().isWord("CHECK") || peek().isWord("FOREIGN") ||
                       peek().isWord("INDEX")) {
                unsupported("vincolo " + text::toUpperAscii(peek().text) + " in CREATE TABLE", peek().offset);
            } else {
                s.columnDefs.push_back(columnDef(true));
            }
        } while (acceptSymbol(","));
        expectSymbol(")");
        return s;
    }

    Statement declareStatement() {
        const std::size_t off = peek().offset;
        expectWord("DECLARE");
        if (peek().kind != TokenKind::Variable) syntaxError(peek());
        // DECLARE @T TABLE (...)
        if ((peek(1).isWord("TABLE")) || (peek(1).isWord("AS") && peek(2).isWord("TABLE"))) {
            Statement s(Statement::Kind::DeclareTable, off);
            s.table = {Name{next().text, false}};
            s.tableIsVariable = true;
            acceptWord("AS");
            expectWord("TABLE");
            expectSymbol("(");
            do {
                if (peek().isWord("PRIMARY") || peek().isWord("UNIQUE") || peek().isWord("INDEX") ||
                    peek().isWord("CHECK") || peek().isWord("CONSTRAINT"))
                    unsupported("vincoli di tabella in DECLARE TABLE", peek().offset);
                s.columnDefs.push_back(columnDef(false));
            } while (acceptSymbol(","));
            expectSymbol(")");
            return s;
        }
        Statement s(Statement::Kind::DeclareVars, off);
        do {
            VarDecl v;
            v.offset = peek().offset;
            if (peek().kind != TokenKind::Variable) syntaxError(peek());
            v.name = next().text;
            acceptWord("AS");
            if (peek().isWord("TABLE")) unsupported("DECLARE TABLE insieme ad altre variabili", peek().offset);
            if (peek().isWord("CURSOR")) unsupported("CURSOR", peek().offset);
            v.type = typeSpec();
            if (acceptSymbol("=")) {
                v.value = expr();
            }
            s.vars.push_back(std::move(v));
        } while (acceptSymbol(","));
        return s;
    }

    Statement setStatement() {
        Statement s(Statement::Kind::SetOption, peek().offset);
        expectWord("SET");
        const Token& opt = peek();
        if (opt.kind == TokenKind::Variable) unsupported("SET @variabile", opt.offset);
        if (!opt.isWord("NOCOUNT")) {
            if (opt.kind == TokenKind::Word) unsupported("SET " + text::toUpperAscii(opt.text), opt.offset);
            syntaxError(opt);
        }
        next();
        if (!acceptWord("ON") && !acceptWord("OFF")) syntaxError(peek());
        return s;
    }

    Statement ifStatement() {
        Statement s(Statement::Kind::IfExists, peek().offset);
        Level level(*this, "IF", s.offset);
        expectWord("IF");
        const std::size_t condOffset = peek().offset;
        ExprPtr cond = expr();
        bool negated = false;
        Expr* e = cond.get();
        while (e->kind == Expr::Kind::Paren) e = e->args[0].get();
        if (e->kind == Expr::Kind::Unary && e->text == "NOT") {
            negated = true;
            e = e->args[0].get();
            while (e->kind == Expr::Kind::Paren) e = e->args[0].get();
        }
        if (e->kind != Expr::Kind::Exists) unsupported("IF con una condizione diversa da [NOT] EXISTS", condOffset);
        s.negated = negated != e->negated;
        s.query = std::move(e->query);
        if (acceptWord("BEGIN")) {
            while (!peek().isWord("END")) {
                if (acceptSymbol(";")) continue;
                if (peek().kind == TokenKind::End) syntaxError(peek());
                s.body.push_back(statement());
            }
            expectWord("END");
        } else {
            s.body.push_back(statement());
        }
        while (peek().isSymbol(";")) ++pos_;
        if (peek().isWord("ELSE")) unsupported("IF ... ELSE", peek().offset);
        return s;
    }

    Statement mergeStatement(std::vector<Cte> ctes) {
        Statement s(Statement::Kind::Merge, peek().offset);
        s.ctes = std::move(ctes);
        expectWord("MERGE");
        if (peek().isWord("TOP")) unsupported("MERGE TOP", peek().offset);
        acceptWord("INTO");
        targetName(s);
        if (acceptWord("AS") || isName(peek())) s.alias = name();
        expectWord("USING");
        s.source = tableRef();
        expectWord("ON");
        s.on = expr();
        while (acceptWord("WHEN")) {
            const std::size_t whenOffset = peek().offset;
            if (acceptWord("MATCHED")) {
                if (s.hasMatched) unsupported("MERGE con più clausole WHEN MATCHED", whenOffset);
                s.hasMatched = true;
                if (acceptWord("AND")) s.matchedCondition = expr();
                expectWord("THEN");
                if (peek().isWord("DELETE")) unsupported("MERGE ... WHEN MATCHED THEN DELETE", peek().offset);
                expectWord("UPDATE");
                expectWord("SET");
                do {
                    Assignment a;
                    a.column = dottedName();
                    expectSymbol("=");
                    a.value = expr();
                    s.sets.push_back(std::move(a));
                } while (acceptSymbol(","));
            } else if (acceptWord("NOT")) {
                expectWord("MATCHED");
                if (acceptWord("BY")) {
                    if (peek().isWord("SOURCE")) unsupported("MERGE ... WHEN NOT MATCHED BY SOURCE", peek().offset);
                    expectWord("TARGET");
                }
                if (s.hasNotMatched) unsupported("MERGE con più clausole WHEN NOT MATCHED", whenOffset);
                s.hasNotMatched = true;
                if (acceptWord("AND")) s.notMatchedCondition = expr();
                expectWord("THEN");
                expectWord("INSERT");
                if (acceptSymbol("(")) {
                    do s.insertColumns.push_back(name());
                    while (acceptSymbol(","));
                    expectSymbol(")");
                }
                if (peek().isWord("DEFAULT")) unsupported("MERGE ... INSERT DEFAULT VALUES", peek().offset);
                expectWord("VALUES");
                expectSymbol("(");
                do s.insertValues.push_back(expr());
                while (acceptSymbol(","));
                expectSymbol(")");
            } else {
                syntaxError(peek());
            }
        }
        if (!s.hasMatched && !s.hasNotMatched) syntaxError(peek());
        if (acceptWord("OUTPUT")) {
            do s.output.push_back(expr());
            while (acceptSymbol(","));
            if (acceptWord("INTO")) {
                if (peek().kind == TokenKind::Variable) {
                    s.outputInto = {Name{next().text, false}};
                    s.outputIntoVariable = true;
                } else {
                    s.outputInto = dottedName();
                }
                if (peek().isSymbol("(")) unsupported("OUTPUT ... INTO con elenco di colonne", peek().offset);
            }
        }
        if (peek().isWord("OPTION")) unsupported("OPTION", peek().offset);
        return s;
    }

    void tableHints() {
        if (!(peek().isWord("WITH") && peek(1).isSymbol("("))) return;
        pos_ += 2;
        do {
            const Token& h = peek();
            bool known = false;
            for (const char* w : kLockHints)
                if (h.isWord(w)) known = true;
            if (!known) {
                if (h.kind == TokenKind::Word) unsupported("hint di tabella " + text::toUpperAscii(h.text), h.offset);
                syntaxError(h);
            }
            next();
        } while (acceptSymbol(","));
        expectSymbol(")");
    }

    // ---- queries ------------------------------------------------------------------------

    std::unique_ptr<Query> query() {
        Level level(*this, "SELECT", peek().offset);
        auto q = std::make_unique<Query>();
        q->cores.push_back(selectCore());
        for (;;) {
            if (acceptWord("UNION")) {
                q->setOps.push_back(acceptWord("ALL") ? "UNION ALL" : "UNION");
            } else if (acceptWord("EXCEPT")) {
                q->setOps.push_back("EXCEPT");
            } else if (acceptWord("INTERSECT")) {
                q->setOps.push_back("INTERSECT");
            } else {
                break;
            }
            q->cores.push_back(selectCore());
        }
        if (peek().isWord("ORDER") && peek(1).isWord("BY")) {
            pos_ += 2;
            q->orderBy = orderList();
        }
        if (peek().isWord("FOR")) unsupported("FOR " + text::toUpperAscii(peek(1).text), peek().offset);
        if (peek().isWord("OPTION")) unsupported("OPTION", peek().offset);
        if (peek().isWord("OFFSET")) unsupported("OFFSET ... FETCH", peek().offset);
        if (peek().isWord("COMPUTE")) unsupported("COMPUTE", peek().offset);
        return q;
    }

    std::vector<OrderItem> orderList() {
        std::vector<OrderItem> out;
        do {
            OrderItem o;
            o.expr = expr();
            if (acceptWord("DESC")) o.desc = true;
            else acceptWord("ASC");
            out.push_back(std::move(o));
        } while (acceptSymbol(","));
        return out;
    }

    SelectCore selectCore() {
        SelectCore c;
        c.offset = peek().offset;
        if (peek().isSymbol("(")) unsupported("SELECT tra parentesi in un'unione", peek().offset);
        expectWord("SELECT");
        if (acceptWord("DISTINCT")) c.distinct = true;
        else acceptWord("ALL");
        if (acceptWord("TOP")) {
            if (acceptSymbol("(")) {
                c.top = expr();
                expectSymbol(")");
            } else {
                const Token& t = peek();
                if (t.kind != TokenKind::Number && t.kind != TokenKind::Variable) syntaxError(t);
                c.top = primary();
            }
            if (peek().isWord("PERCENT")) unsupported("TOP ... PERCENT", peek().offset);
            if (peek().isWord("WITH") && peek(1).isWord("TIES")) unsupported("TOP ... WITH TIES", peek().offset);
        }
        do c.items.push_back(selectItem());
        while (acceptSymbol(","));
        if (acceptWord("INTO")) {
            if (peek().kind == TokenKind::Variable) unsupported("SELECT ... INTO @variabile", peek().offset);
            c.into = dottedName();
        }
        if (acceptWord("FROM")) {
            do c.from.push_back(fromItem());
            while (acceptSymbol(","));
        }
        if (acceptWord("WHERE")) c.where = expr();
        if (peek().isWord("GROUP") && peek(1).isWord("BY")) {
            pos_ += 2;
            if (peek().isWord("ALL")) unsupported("GROUP BY ALL", peek().offset);
            do c.groupBy.push_back(expr());
            while (acceptSymbol(","));
            if (peek().isWord("WITH")) unsupported("GROUP BY ... WITH " + text::toUpperAscii(peek(1).text), peek().offset);
        }
        if (acceptWord("HAVING")) c.having = expr();
        return c;
    }

    SelectItem selectItem() {
        SelectItem it;
        // alias = expression
        if (isName(peek()) && peek(1).isSymbol("=")) {
            it.alias = name();
            next();
            it.expr = expr();
            return it;
        }
        if (peek().kind == TokenKind::Variable && peek(1).isSymbol("="))
            unsupported("SELECT @variabile = ...", peek().offset);
        // * and T.* stand alone: no alias, never an operand.
        std::size_t star = 0;
        while (isName(peek(star)) && peek(star + 1).isSymbol(".")) star += 2;
        if (peek(star).isSymbol("*")) {
            it.expr = std::make_unique<Expr>(Expr::Kind::Star, peek().offset);
            for (std::size_t i = 0; i < star; i += 2) {
                it.expr->parts.push_back(name());
                next();   // the dot
            }
            next();       // the star
            if (peek().isWord("AS") || isName(peek()) || peek().kind == TokenKind::String) syntaxError(peek());
            return it;
        }
        it.expr = expr();
        if (acceptWord("AS")) {
            if (peek().kind == TokenKind::String) {
                const Token& t = next();
                it.alias = Name{t.text, true};
            } else {
                it.alias = name();
            }
        } else if (isName(peek())) {
            it.alias = name();
        } else if (peek().kind == TokenKind::String) {
            const Token& t = next();
            it.alias = Name{t.text, true};
        }
        return it;
    }

    FromItem fromItem() {
        FromItem f;
        f.first = tableRef();
        for (;;) {
            Join j;
            const Token& t = peek();
            if (t.isWord("JOIN")) {
                next();
                j.type = Join::Type::Inner;
            } else if (t.isWord("INNER")) {
                next();
                joinHint();
                expectWord("JOIN");
                j.type = Join::Type::Inner;
            } else if (t.isWord("LEFT") || t.isWord("RIGHT") || t.isWord("FULL")) {
                j.type = t.isWord("LEFT") ? Join::Type::Left : t.isWord("RIGHT") ? Join::Type::Right : Join::Type::Full;
                next();
                acceptWord("OUTER");
                joinHint();
                expectWord("JOIN");
            } else if (t.isWord("CROSS")) {
                next();
                if (acceptWord("APPLY")) j.type = Join::Type::CrossApply;
                else {
                    expectWord("JOIN");
                    j.type = Join::Type::Cross;
                }
            } else if (t.isWord("OUTER")) {
                next();
                expectWord("APPLY");
                j.type = Join::Type::OuterApply;
            } else {
                break;
            }
            j.table = tableRef();
            if (j.type == Join::Type::CrossApply || j.type == Join::Type::OuterApply) {
                if (j.table.kind != TableRef::Kind::Function)
                    unsupported(j.type == Join::Type::OuterApply ? "OUTER APPLY di una sottoquery o tabella"
                                                                 : "CROSS APPLY di una sottoquery o tabella",
                                j.table.offset);
            } else if (j.type != Join::Type::Cross) {
                expectWord("ON");
                j.on = expr();
            }
            f.joins.push_back(std::move(j));
        }
        if (peek().isWord("PIVOT") || peek().isWord("UNPIVOT")) unsupported(text::toUpperAscii(peek().text), peek().offset);
        return f;
    }

    void joinHint() {
        if (peek().isWord("LOOP") || peek().isWord("HASH") || peek().isWord("MERGE") || peek().isWord("REMOTE"))
            unsupported("hint di join " + text::toUpperAscii(peek().text), peek().offset);
    }

    TableRef tableRef() {
        TableRef r;
        r.offset = peek().offset;
        if (peek().isSymbol("(")) {
            next();
            if (!peek().isWord("SELECT") && !peek().isWord("WITH")) {
                if (peek().isWord("VALUES")) unsupported("tabella VALUES (...)", peek().offset);
                unsupported("join tra parentesi", peek().offset);
            }
            r.kind = TableRef::Kind::Derived;
            r.derived = query();
            expectSymbol(")");
        } else if (peek().kind == TokenKind::Variable) {
            r.kind = TableRef::Kind::Variable;
            r.parts = {Name{next().text, false}};
        } else {
            if (peek().isWord("OPENQUERY") || peek().isWord("OPENROWSET") || peek().isWord("OPENXML") ||
                peek().isWord("OPENDATASOURCE"))
                unsupported(text::toUpperAscii(peek().text), peek().offset);
            r.parts = dottedName();
            if (acceptSymbol("(")) {
                r.kind = TableRef::Kind::Function;
                if (!peek().isSymbol(")")) {
                    do r.args.push_back(expr());
                    while (acceptSymbol(","));
                }
                expectSymbol(")");
            }
        }
        if (acceptWord("AS")) r.alias = name();
        else if (isName(peek())) r.alias = name();
        if (r.kind == TableRef::Kind::Derived && r.alias.empty()) syntaxError(peek());
        if (peek().isSymbol("(") && r.kind != TableRef::Kind::Function)
            unsupported("alias con elenco di colonne", peek().offset);
        if (peek().isWord("TABLESAMPLE")) unsupported("TABLESAMPLE", peek().offset);
        tableHints();
        return r;
    }

    // ---- expressions --------------------------------------------------------------------

    ExprPtr makeBinary(const std::string& op, ExprPtr l, ExprPtr r, std::size_t off) {
        auto e = std::make_unique<Expr>(Expr::Kind::Binary, off);
        e->text = op;
        e->args.push_back(std::move(l));
        e->args.push_back(std::move(r));
        return e;
    }

    ExprPtr expr() { return orExpr(); }

    ExprPtr orExpr() {
        Level chain(*this);
        ExprPtr l = andExpr();
        while (peek().isWord("OR")) {
            const std::size_t off = next().offset;
            deeper("OR", off);
            l = makeBinary("OR", std::move(l), andExpr(), off);
        }
        return l;
    }
    ExprPtr andExpr() {
        Level chain(*this);
        ExprPtr l = notExpr();
        while (peek().isWord("AND")) {
            const std::size_t off = next().offset;
            deeper("AND", off);
            l = makeBinary("AND", std::move(l), notExpr(), off);
        }
        return l;
    }
    ExprPtr notExpr() {
        if (peek().isWord("NOT")) {
            Level level(*this, "NOT", peek().offset);
            auto e = std::make_unique<Expr>(Expr::Kind::Unary, next().offset);
            e->text = "NOT";
            e->args.push_back(notExpr());
            return e;
        }
        return predicate();
    }

    ExprPtr predicate() {
        if (peek().isWord("EXISTS")) {
            auto e = std::make_unique<Expr>(Expr::Kind::Exists, next().offset);
            expectSymbol("(");
            e->query = query();
            expectSymbol(")");
            return e;
        }
        Level chain(*this);
        ExprPtr l = additive();
        for (;;) {
            const Token& t = peek();
            const std::size_t off = t.offset;
            bool negated = false;
            if (t.isWord("NOT") && (peek(1).isWord("IN") || peek(1).isWord("BETWEEN") || peek(1).isWord("LIKE"))) {
                next();
                negated = true;
            }
            const Token& op = peek();
            const bool isComparison = op.kind == TokenKind::Symbol &&
                                      (op.text == "=" || op.text == "<>" || op.text == "!=" || op.text == "<" ||
                                       op.text == ">" || op.text == "<=" || op.text == ">=" || op.text == "!<" ||
                                       op.text == "!>");
            if (isComparison || op.isWord("IN") || op.isWord("BETWEEN") || op.isWord("LIKE") || op.isWord("IS"))
                deeper(text::toUpperAscii(op.text), op.offset);
            if (op.isWord("IN")) {
                next();
                expectSymbol("(");
                if (peek().isWord("SELECT") || peek().isWord("WITH")) {
                    auto e = std::make_unique<Expr>(Expr::Kind::InQuery, off);
                    e->negated = negated;
                    e->args.push_back(std::move(l));
                    e->query = query();
                    expectSymbol(")");
                    l = std::move(e);
                } else {
                    auto e = std::make_unique<Expr>(Expr::Kind::InList, off);
                    e->negated = negated;
                    e->args.push_back(std::move(l));
                    do e->args.push_back(expr());
                    while (acceptSymbol(","));
                    expectSymbol(")");
                    l = std::move(e);
                }
            } else if (op.isWord("BETWEEN")) {
                next();
                auto e = std::make_unique<Expr>(Expr::Kind::Between, off);
                e->negated = negated;
                e->args.push_back(std::move(l));
                e->args.push_back(additive());
                expectWord("AND");
                e->args.push_back(additive());
                l = std::move(e);
            } else if (op.isWord("LIKE")) {
                next();
                auto e = std::make_unique<Expr>(Expr::Kind::Like, off);
                e->negated = negated;
                e->args.push_back(std::move(l));
                e->args.push_back(additive());
                if (acceptWord("ESCAPE")) e->args.push_back(additive());
                l = std::move(e);
            } else if (op.isWord("IS")) {
                next();
                auto e = std::make_unique<Expr>(Expr::Kind::IsNull, off);
                e->negated = acceptWord("NOT");
                expectWord("NULL");
                e->args.push_back(std::move(l));
                l = std::move(e);
            } else if (isComparison) {
                std::string o = next().text;
                if (o == "!=") o = "<>";
                if (o == "!<") o = ">=";
                if (o == "!>") o = "<=";
                if (peek().isWord("ALL") || peek().isWord("ANY") || peek().isWord("SOME"))
                    unsupported("confronto con " + text::toUpperAscii(peek().text), peek().offset);
                l = makeBinary(o, std::move(l), additive(), off);
            } else {
                if (negated) syntaxError(op);
                break;
            }
        }
        return l;
    }

    ExprPtr additive() {
        Level chain(*this);
        ExprPtr l = multiplicative();
        for (;;) {
            const Token& t = peek();
            if (t.isSymbol("+") || t.isSymbol("-")) {
                const std::size_t off = t.offset;
                deeper("operatore " + t.text, off);
                std::string op = next().text;
                l = makeBinary(op, std::move(l), multiplicative(), off);
            } else if (t.isSymbol("&") || t.isSymbol("|") || t.isSymbol("^")) {
                unsupported("operatore " + t.text, t.offset);
            } else {
                return l;
            }
        }
    }
    ExprPtr multiplicative() {
        Level chain(*this);
        ExprPtr l = unary();
        while (peek().isSymbol("*") || peek().isSymbol("/") || peek().isSymbol("%")) {
            const std::size_t off = peek().offset;
            deeper("operatore " + peek().text, off);
            std::string op = next().text;
            l = makeBinary(op, std::move(l), unary(), off);
        }
        return l;
    }
    ExprPtr unary() {
        if (peek().isSymbol("-") || peek().isSymbol("+")) {
            Level level(*this, "segno " + peek().text, peek().offset);
            auto e = std::make_unique<Expr>(Expr::Kind::Unary, peek().offset);
            e->text = next().text;
            e->args.push_back(unary());
            return e;
        }
        if (peek().isSymbol("~")) unsupported("operatore ~", peek().offset);
        ExprPtr e = primary();
        if (peek().isWord("COLLATE")) unsupported("COLLATE", peek().offset);
        return e;
    }

    ExprPtr primary() {
        const Token& t = peek();
        const std::size_t off = t.offset;
        switch (t.kind) {
        case TokenKind::Number: {
            auto e = std::make_unique<Expr>(Expr::Kind::Number, off);
            e->text = next().text;
            return e;
        }
        case TokenKind::String: {
            auto e = std::make_unique<Expr>(Expr::Kind::String, off);
            e->text = next().text;
            return e;
        }
        case TokenKind::Variable: {
            auto e = std::make_unique<Expr>(Expr::Kind::Variable, off);
            e->text = next().text;
            return e;
        }
        case TokenKind::Symbol:
            if (t.isSymbol("?")) {
                auto e = std::make_unique<Expr>(Expr::Kind::Parameter, off);
                e->text = std::to_string(++parameters_);
                next();
                return e;
            }
            if (t.isSymbol("(")) {
                Level level(*this, "parentesi", off);
                next();
                if (peek().isWord("SELECT") || peek().isWord("WITH")) {
                    auto e = std::make_unique<Expr>(Expr::Kind::Subquery, off);
                    e->query = query();
                    expectSymbol(")");
                    return e;
                }
                auto e = std::make_unique<Expr>(Expr::Kind::Paren, off);
                e->args.push_back(expr());
                expectSymbol(")");
                return e;
            }
            syntaxError(t);
        case TokenKind::End:
            syntaxError(t);
        case TokenKind::Word:
        case TokenKind::QuotedName:
            break;
        }
        if (t.kind == TokenKind::Word) {
            if (t.isWord("NULL")) {
                next();
                return std::make_unique<Expr>(Expr::Kind::Null, off);
            }
            if (t.isWord("CASE")) return caseExpr();
            if (t.isWord("CAST") && peek(1).isSymbol("(")) {
                Level level(*this, "CAST", off);
                pos_ += 2;
                auto e = std::make_unique<Expr>(Expr::Kind::Cast, off);
                e->args.push_back(expr());
                expectWord("AS");
                e->type = typeSpec();
                expectSymbol(")");
                return e;
            }
            if ((t.isWord("CONVERT") || t.isWord("TRY_CONVERT")) && peek(1).isSymbol("(")) {
                if (t.isWord("TRY_CONVERT")) unsupported("TRY_CONVERT", off);
                Level level(*this, "CONVERT", off);
                pos_ += 2;
                auto e = std::make_unique<Expr>(Expr::Kind::Cast, off);
                e->type = typeSpec();
                expectSymbol(",");
                e->args.push_back(expr());
                if (peek().isSymbol(",")) unsupported("CONVERT con stile", peek().offset);
                expectSymbol(")");
                return e;
            }
            // LEFT( and RIGHT( are functions although the words are reserved for joins.
            if ((t.isWord("LEFT") || t.isWord("RIGHT")) && peek(1).isSymbol("(")) return functionCall({Name{next().text, false}}, off);
            if (isReserved(t)) {
                if (t.isWord("EXISTS")) return predicate();
                unsupported(text::toUpperAscii(t.text), off);
            }
        }
        NameParts parts;
        parts.push_back(name());
        while (acceptSymbol(".")) parts.push_back(name());
        if (peek().isSymbol("(")) return functionCall(std::move(parts), off);
        auto e = std::make_unique<Expr>(Expr::Kind::Column, off);
        e->parts = std::move(parts);
        return e;
    }

    ExprPtr functionCall(NameParts parts, std::size_t off) {
        if (parts.size() != 1) unsupported("funzione definita dall'utente " + parts.back().text, off);
        Level level(*this, "funzione " + text::toUpperAscii(parts[0].text), off);
        auto e = std::make_unique<Expr>(Expr::Kind::Function, off);
        e->text = parts[0].text;
        expectSymbol("(");
        if (acceptSymbol("*")) {
            e->starArg = true;
        } else if (!peek().isSymbol(")")) {
            if (acceptWord("DISTINCT")) e->distinct = true;
            else acceptWord("ALL");
            do e->args.push_back(expr());
            while (acceptSymbol(","));
        }
        expectSymbol(")");
        if (peek().isWord("WITHIN")) unsupported("WITHIN GROUP", peek().offset);
        if (acceptWord("OVER")) {
            e->hasOver = true;
            expectSymbol("(");
            if (acceptWord("PARTITION")) {
                expectWord("BY");
                do e->partitionBy.push_back(expr());
                while (acceptSymbol(","));
            }
            if (peek().isWord("ORDER")) {
                next();
                expectWord("BY");
                e->overOrder = orderList();
            }
            if (peek().isWord("ROWS") || peek().isWord("RANGE")) unsupported("OVER con ROWS/RANGE", peek().offset);
            expectSymbol(")");
        }
        return e;
    }

    ExprPtr caseExpr() {
        Level level(*this, "CASE", peek().offset);
        auto e = std::make_unique<Expr>(Expr::Kind::Case, next().offset);
        if (!peek().isWord("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(expr());
        }
        if (!peek().isWord("WHEN")) syntaxError(peek());
        while (acceptWord("WHEN")) {
            e->args.push_back(expr());
            expectWord("THEN");
            e->args.push_back(expr());
        }
        if (acceptWord("ELSE")) {
            e->hasElse = true;
            e->args.push_back(expr());
        }
        expectWord("END");
        return e;
    }
};

}  // namespace

std::vector<Statement> parseBatch(std::string_view sql) { return Parser(sql).batch(); }

}  // namespace db::tsql
