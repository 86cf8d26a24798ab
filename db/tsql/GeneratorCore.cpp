#include "db/tsql/GeneratorCore.h"

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
