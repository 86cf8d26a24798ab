#include "mapping/Rows.h"

#include <cctype>

#include "text/Text.h"

namespace mapping::detail {

db::RowTable selectRows(db::Connection& conn, const std::string& sql) {
    db::ExecResult result = conn.ExecuteAll(sql);
    if (result.resultSets.empty()) return {};
    return std::move(result.resultSets.front().rows);
}

std::string folded(std::string_view text) {
    return text::toUpperAscii(text::trimWhitespace(text));
}

std::string textOf(const db::Variant& value) {
    if (value.isNull() || value.isEmpty()) return {};
    return text::trimWhitespace(value.toText());
}

int intOf(const db::Variant& value, int fallback) {
    if (value.isNull() || value.isEmpty()) return fallback;
    try {
        return value.toInt32();
    } catch (const std::exception&) {
        return fallback;
    }
}

bool isCode(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string tableIn(const std::string& database, const std::string& table) {
    if (database.empty()) return table;
    if (database.find_first_of("[]") != std::string::npos) return {};
    return "[" + database + "].dbo." + table;
}

}  // namespace mapping::detail
