#include "statements/SqlValues.h"

#include <cctype>

#include "db/SqlText.h"

namespace editor {

bool isPlainNumber(std::string_view v) {
    std::size_t i = 0;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) ++i, ++digits;
    if (i < v.size() && v[i] == '.') {
        ++i;
        while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) ++i, ++digits;
    }
    return digits > 0 && i == v.size();
}

std::string textValue(std::string_view value) { return db::sqlEscape(value); }

std::string bareValue(std::string_view value, std::string_view fallbackWhenEmpty) {
    if (value.empty()) return std::string(fallbackWhenEmpty);
    if (isPlainNumber(value)) return std::string(value);
    return db::sqlQuoted(value);
}

}  // namespace editor
