#pragma once
// A name written into SQL text as a double-quoted identifier: every " inside it doubled, so a
// name can never end its quotes early.

#include <string>
#include <string_view>

namespace db {

inline std::string quoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace db
