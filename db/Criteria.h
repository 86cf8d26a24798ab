#pragma once
// Criteria strings of recordset filters and searches, in the ADO grammar:
//   clause  := FIELD op value         op: = <> < > <= >= LIKE
//   value   := 'text' (a doubled '' inside) | number | #date# | NULL
//   criteria:= clause or parenthesised criteria, joined by AND / OR (AND binds tighter)
// A criteria string is parsed once against the recordset's fields; matching a row then
// costs no allocation for text and numeric fields.

#include <string>
#include <string_view>
#include <vector>

#include "db/ResultSet.h"

namespace db {

class Criteria {
public:
    // UsageError on a malformed text (e.g. "CODE =  AND SIGN = 1") or an unknown field.
    static Criteria parse(std::string_view text, const std::vector<FieldInfo>& fields);

    bool matches(const Row& row) const;
    bool matches(const RowRef& row) const;
    // True when the criteria is one clause (what Find accepts).
    bool isSingleClause() const { return clauses_.size() == 1; }

    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };
    // How a field's values are compared: text fields as text (case-insensitive, trailing
    // blanks ignored), numeric fields as numbers, untyped fields by each value's own kind.
    enum class Kind { Text, Number, Any };

private:
    struct Clause {
        std::size_t field = 0;
        Op op = Op::Eq;
        Kind kind = Kind::Any;
        bool literalNull = false;
        bool literalIsNumber = false;   // the literal reads as a number
        double number = 0;
        std::string text;               // the literal as text, trailing blanks removed
    };
    struct Node {
        enum Type { Leaf, And, Or } type = Leaf;
        int clause = -1;
        int left = -1, right = -1;
    };
    friend class CriteriaParser;

    template <class R> bool eval(int node, const R& row) const;
    bool matchText(const Clause& c, std::string_view text) const;
    bool matchValue(const Clause& c, const Variant& v) const;

    std::vector<Clause> clauses_;
    std::vector<Node> nodes_;
    int root_ = -1;
};

}  // namespace db
