#include "db/Criteria.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "db/Error.h"
#include "text/Text.h"

namespace db {

namespace {

inline unsigned char lower(char c) { return static_cast<unsigned char>(text::toLowerAscii(c)); }

// Case-insensitive (ASCII) comparison that ignores trailing blanks, as the database does.
int compareText(std::string_view a, std::string_view b) {
    a = text::trimTrailingBlanks(a);
    b = text::trimTrailingBlanks(b);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = lower(a[i]), y = lower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// '*' and '%' stand for any run of characters; everything else matches itself,
// case-insensitively.
bool likeMatch(std::string_view text, std::string_view pattern) {
    std::size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && lower(pattern[p]) == lower(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
    return p == pattern.size();
}

bool parseNumber(std::string_view s, double& out) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    s = text::trimTrailingBlanks(s);
    if (s.empty()) return false;
    if (s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-') return false;
    }
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

bool numberOf(const Variant& v, double& out) {
    if (v.isNumeric()) {
        out = v.toDouble();
        return true;
    }
    if (const std::string* s = v.textIf()) return parseNumber(*s, out);
    return false;
}

bool holds(Criteria::Op op, int cmp) {
    switch (op) {
        case Criteria::Op::Eq: return cmp == 0;
        case Criteria::Op::Ne: return cmp != 0;
        case Criteria::Op::Lt: return cmp < 0;
        case Criteria::Op::Gt: return cmp > 0;
        case Criteria::Op::Le: return cmp <= 0;
        case Criteria::Op::Ge: return cmp >= 0;
        case Criteria::Op::Like: break;
    }
    return false;
}

int compareNumbers(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

Criteria::Kind kindOf(int adoType) {
    switch (adoType) {
        case ado::adSmallInt:
        case ado::adInteger:
        case ado::adDouble:
        case ado::adCurrency:
        case ado::adBoolean:
        case ado::adDecimal:
        case ado::adTinyInt:
        case ado::adUnsignedTinyInt:
        case ado::adBigInt:
        case ado::adNumeric: return Criteria::Kind::Number;
        case ado::adVarChar:
        case ado::adLongVarChar:
        case ado::adVarWChar:
        case ado::adLongVarWChar:
        case ado::adWChar:
        case ado::adChar:
        case ado::adDate: return Criteria::Kind::Text;
        default: return Criteria::Kind::Any;
    }
}

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

// Recursive descent over the criteria text; OR of ANDs of clauses or parenthesised groups.
// Matching walks the tree recursively: each '(' and each AND / OR of a chain adds a level,
// and a criteria deeper than kMaxNesting is refused.
class CriteriaParser {
public:
    CriteriaParser(std::string_view text, const std::vector<FieldInfo>& fields, Criteria& out)
        : s_(text), fields_(fields), out_(out) {}

    void run() {
        skipBlanks();
        if (i_ == s_.size()) fail("il criterio è vuoto");
        out_.root_ = parseOr();
        skipBlanks();
        if (i_ != s_.size()) fail("testo inatteso");
    }

private:
    static constexpr int kMaxNesting = 256;
    static constexpr std::size_t kQuotedLength = 200;   // of the text in a message

    [[noreturn]] void fail(const std::string& what) const {
        auto shortened = [](std::string_view t) {
            return t.size() <= kQuotedLength ? std::string(t) : std::string(t.substr(0, kQuotedLength)) + "...";
        };
        // The reason may quote a value of the text: both stay short.
        const std::string text = shortened(s_);
        throw UsageError("Criterio non valido: " + shortened(what) + " (posizione " + std::to_string(i_ + 1) + " di \"" + text +
                         "\")");
    }

    // Restores the nesting level on leaving a group or a chain.
    struct Level {
        explicit Level(CriteriaParser& p) : p(p), saved(p.depth_) {}
        ~Level() { p.depth_ = saved; }
        CriteriaParser& p;
        int saved;
    };
    void deeper(std::string_view what) {
        if (++depth_ > kMaxNesting)
            fail(std::string(what) + " annidati oltre " + std::to_string(kMaxNesting) + " livelli");
    }

    void skipBlanks() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }

    // A keyword (AND, OR, LIKE, NULL) followed by something that cannot continue a name.
    bool keyword(std::string_view kw) {
        skipBlanks();
        if (s_.size() - i_ < kw.size() || !text::equalsIgnoreCaseAscii(s_.substr(i_, kw.size()), kw)) return false;
        if (i_ + kw.size() < s_.size() && isNameChar(s_[i_ + kw.size()])) return false;
        i_ += kw.size();
        return true;
    }

    int node(Criteria::Node n) {
        out_.nodes_.push_back(n);
        return static_cast<int>(out_.nodes_.size()) - 1;
    }

    int parseOr() {
        Level chain(*this);
        int left = parseAnd();
        while (keyword("OR")) {
            deeper("OR");
            int right = parseAnd();
            left = node({Criteria::Node::Or, -1, left, right});
        }
        return left;
    }

    int parseAnd() {
        Level chain(*this);
        int left = parseFactor();
        while (keyword("AND")) {
            deeper("AND");
            int right = parseFactor();
            left = node({Criteria::Node::And, -1, left, right});
        }
        return left;
    }

    int parseFactor() {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == '(') {
            Level group(*this);
            deeper("'('");
            ++i_;
            int inner = parseOr();
            skipBlanks();
            if (i_ >= s_.size() || s_[i_] != ')') fail("manca ')'");
            ++i_;
            return inner;
        }
        return parseClause();
    }

    std::string parseName() {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == '[') {
            std::size_t close = s_.find(']', i_ + 1);
            if (close == std::string_view::npos) fail("manca ']'");
            std::string name(s_.substr(i_ + 1, close - i_ - 1));
            i_ = close + 1;
            return name;
        }
        std::size_t start = i_;
        while (i_ < s_.size() && isNameChar(s_[i_])) ++i_;
        if (start == i_) fail("manca il nome del campo");
        return std::string(s_.substr(start, i_ - start));
    }

    Criteria::Op parseOp(std::string& spelled) {
        skipBlanks();
        auto two = s_.substr(i_, 2);
        if (two == "<>" || two == "<=" || two == ">=") {
            i_ += 2;
            spelled = std::string(two);
            return two == "<>" ? Criteria::Op::Ne : two == "<=" ? Criteria::Op::Le : Criteria::Op::Ge;
        }
        if (i_ < s_.size() && (s_[i_] == '=' || s_[i_] == '<' || s_[i_] == '>')) {
            char c = s_[i_++];
            spelled = std::string(1, c);
            return c == '=' ? Criteria::Op::Eq : c == '<' ? Criteria::Op::Lt : Criteria::Op::Gt;
        }
        if (keyword("LIKE")) {
            spelled = "LIKE";
            return Criteria::Op::Like;
        }
        fail("manca l'operatore");
    }

    int parseClause() {
        Criteria::Clause c;
        std::string name = parseName();
        bool found = false;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            if (text::equalsIgnoreCaseAscii(fields_[f].name, name)) {
                c.field = f;
                c.kind = kindOf(fields_[f].type);
                found = true;
                break;
            }
        }
        if (!found) fail("il campo '" + name + "' non esiste");
        std::string op;
        c.op = parseOp(op);
        parseValue(c, name, op);
        out_.clauses_.push_back(std::move(c));
        return node({Criteria::Node::Leaf, static_cast<int>(out_.clauses_.size()) - 1, -1, -1});
    }

    void parseValue(Criteria::Clause& c, const std::string& name, const std::string& op) {
        skipBlanks();
        const std::string missing = "manca il valore dopo '" + name + " " + op + "'";
        if (i_ >= s_.size()) fail(missing);
        char ch = s_[i_];
        bool quotedText = false;
        if (ch == '\'') {
            std::string text;
            ++i_;
            for (;;) {
                if (i_ >= s_.size()) fail("testo tra apici non chiuso");
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        text += '\'';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                text += s_[i_++];
            }
            c.text = std::string(text::trimTrailingBlanks(text));
            c.literalIsNumber = parseNumber(text, c.number);
            quotedText = true;
        } else if (ch == '#') {
            std::size_t close = s_.find('#', i_ + 1);
            if (close == std::string_view::npos) fail("data tra '#' non chiusa");
            c.text = std::string(text::trimTrailingBlanks(s_.substr(i_ + 1, close - i_ - 1)));
            i_ = close + 1;
            if (c.kind == Criteria::Kind::Number) fail("una data non si confronta con il campo numerico '" + name + "'");
        } else if (std::isdigit(static_cast<unsigned char>(ch)) || ch == '-' || ch == '+' || ch == '.') {
            std::size_t start = i_;
            ++i_;
            while (i_ < s_.size() && (isNameChar(s_[i_]) || s_[i_] == '.' ||
                                      ((s_[i_] == '-' || s_[i_] == '+') && (s_[i_ - 1] == 'e' || s_[i_ - 1] == 'E'))))
                ++i_;
            c.text = std::string(s_.substr(start, i_ - start));
            if (!parseNumber(c.text, c.number)) fail("'" + c.text + "' non è un numero");
            c.literalIsNumber = true;
        } else if (keyword("NULL")) {
            if (c.op != Criteria::Op::Eq && c.op != Criteria::Op::Ne)
                fail("NULL si confronta solo con = o <>");
            c.literalNull = true;
            return;
        } else {
            fail(missing);
        }
        if (c.op == Criteria::Op::Like) {
            if (!quotedText) fail("LIKE vuole un testo tra apici");
            return;
        }
        if (c.kind == Criteria::Kind::Number && !c.literalIsNumber)
            fail("'" + c.text + "' non è un numero per il campo numerico '" + name + "'");
    }

    std::string_view s_;
    const std::vector<FieldInfo>& fields_;
    Criteria& out_;
    std::size_t i_ = 0;
    int depth_ = 0;
};

Criteria Criteria::parse(std::string_view text, const std::vector<FieldInfo>& fields) {
    Criteria c;
    CriteriaParser(text, fields, c).run();
    return c;
}

namespace {
// The two kinds of row a criteria reads: a text cell without a copy, any other as a value.
std::optional<std::string_view> textCell(const Row& row, std::size_t i) {
    if (i < row.size())
        if (const std::string* s = row[i].textIf()) return std::string_view(*s);
    return std::nullopt;
}
std::optional<std::string_view> textCell(const RowRef& row, std::size_t i) { return row.textAt(i); }
Variant valueCell(const Row& row, std::size_t i) { return i < row.size() ? row[i] : Variant::null(); }
Variant valueCell(const RowRef& row, std::size_t i) { return row[i]; }
}  // namespace

bool Criteria::matches(const Row& row) const { return root_ >= 0 && eval(root_, row); }
bool Criteria::matches(const RowRef& row) const { return root_ >= 0 && eval(root_, row); }

template <class R>
bool Criteria::eval(int n, const R& row) const {
    const Node& node = nodes_[static_cast<std::size_t>(n)];
    switch (node.type) {
        case Node::And: return eval(node.left, row) && eval(node.right, row);
        case Node::Or: return eval(node.left, row) || eval(node.right, row);
        case Node::Leaf: break;
    }
    const Clause& c = clauses_[static_cast<std::size_t>(node.clause)];
    if (auto text = textCell(row, c.field)) return matchText(c, *text);
    return matchValue(c, valueCell(row, c.field));
}

// A text value (never Null): compared as text, or read as a number for a numeric field.
bool Criteria::matchText(const Clause& c, std::string_view text) const {
    if (c.literalNull) return c.op != Op::Eq;
    if (c.op == Op::Like) return likeMatch(text::trimTrailingBlanks(text), c.text);
    if (c.kind == Kind::Number) {
        double d;
        if (!parseNumber(text, d)) return false;
        return holds(c.op, compareNumbers(d, c.number));
    }
    return holds(c.op, compareText(text, c.text));
}

bool Criteria::matchValue(const Clause& c, const Variant& v) const {
    if (const std::string* s = v.textIf()) return matchText(c, *s);
    const bool isNull = v.isNull() || v.isEmpty();
    if (c.literalNull) return c.op == Op::Eq ? isNull : !isNull;
    if (isNull || v.isObject()) return false;

    if (c.op == Op::Like) return likeMatch(text::trimTrailingBlanks(v.toText()), c.text);
    bool numeric = c.kind == Kind::Number || (c.kind == Kind::Any && v.isNumeric() && c.literalIsNumber);
    if (numeric) {
        double d;
        if (!numberOf(v, d)) return false;
        return holds(c.op, compareNumbers(d, c.number));
    }
    return holds(c.op, compareText(v.toText(), c.text));
}

}  // namespace db
