#include "db/tsql/GeneratorCore.h"

namespace db::tsql {

bool isKnownTextColumn(std::string_view column) {
    for (const char* n : core::kTextColumnNames)
        if (equalsIgnoreCase(column, n)) return true;
    for (std::string_view suffix : core::kTextColumnSuffixes)
        if (column.size() > suffix.size() && equalsIgnoreCase(column.substr(column.size() - suffix.size()), suffix))
            return true;
    return false;
}

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
