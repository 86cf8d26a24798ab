#include "FuzzOracles.h"

#include <vector>

#include "db/Ado.h"
#include "db/Criteria.h"
#include "db/Error.h"
#include "db/SqlText.h"

namespace fuzzoracle {

namespace {

const std::vector<db::FieldInfo> kFields = {
    {"CONTOPDC", db::ado::adVarWChar, 15},
    {"SEGNO", db::ado::adDecimal, 1},
    {"DATA", db::ado::adDate, 0},
    {"ANY", db::ado::adVariant, 0},
};

const std::vector<db::Row> kRows = {
    {db::Variant("4010  "), db::Variant::decimal(1), db::Variant("2024-01-31"), db::Variant(7)},
    {db::Variant::null(), db::Variant::decimal(2), db::Variant(), db::Variant("x'y")},
    {db::Variant(""), db::Variant(2.5), db::Variant("1"), db::Variant(-1.5)},
};

constexpr std::size_t kLongestMessage = 800;

// true when it parses; a refusal must be a short UsageError of the criteria grammar.
bool parses(std::string_view text, std::vector<bool>& matched) {
    try {
        const db::Criteria c = db::Criteria::parse(text, kFields);
        for (const auto& row : kRows) matched.push_back(c.matches(row));
        matched.push_back(c.isSingleClause());
        return true;
    } catch (const db::UsageError& e) {
        const std::string message = e.what();
        if (message.rfind("Criterio non valido: ", 0) != 0) throw OracleFailure("unexpected refusal: " + message);
        if (message.size() > kLongestMessage) throw OracleFailure("a refusal echoing the whole text");
        return false;
    }
}

void valueComesBackWhole(std::string_view value) {
    const db::Row holding = {db::Variant(std::string(value)), db::Variant::decimal(1), db::Variant(), db::Variant()};
    const db::Row longer = {db::Variant(std::string(value) + "x"), db::Variant::decimal(1), db::Variant(), db::Variant()};
    // The module quotes criteria values as SQL literals.
    for (const char* op : {" = ", " LIKE "}) {
        const std::string text = "CONTOPDC" + std::string(op) + db::sqlQuoted(value);
        try {
            const db::Criteria c = db::Criteria::parse(text, kFields);
            if (!c.isSingleClause()) throw OracleFailure("one quoted value read as several clauses: " + text);
            if (!c.matches(holding)) throw OracleFailure("the quoted value does not match itself: " + text);
            if (std::string(op) == " = " && c.matches(longer))
                throw OracleFailure("the quoted value ended early: " + text);
        } catch (const db::UsageError& e) {
            throw OracleFailure("a quoted value refused: " + text + ": " + e.what());
        }
    }
}

}  // namespace

void criteria(std::string_view input) {
    if (input.empty()) return;
    const unsigned char mode = static_cast<unsigned char>(input[0]) % 2;
    const std::string_view rest = input.substr(1);
    if (mode == 1) return valueComesBackWhole(rest);
    std::vector<bool> first, second;
    const bool ok = parses(rest, first);
    if (parses(rest, second) != ok || first != second) throw OracleFailure("two parses of the same criteria differ");
}

}  // namespace fuzzoracle
