#pragma once
// ADO-style connection strings: "key=value;key=value". Keys compare case-insensitively;
// the text itself is kept as written (some callers rewrite it textually). A value may be
// braced as ODBC defines, "PWD={a;b}}c}", and is then returned as written, braces included.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace db {

class ConnectionString {
public:
    ConnectionString() = default;
    explicit ConnectionString(std::string text);

    const std::string& text() const { return text_; }
    // Value of the first item with this key (case-insensitive), trimmed of blanks.
    std::optional<std::string> get(std::string_view key) const;
    std::string getOr(std::string_view key, std::string fallback) const;
    const std::vector<std::pair<std::string, std::string>>& items() const { return items_; }
    // The string without the items named (e.g. Provider before handing the rest to ODBC).
    std::string without(std::initializer_list<std::string_view> keys) const;

private:
    std::string text_;
    std::vector<std::pair<std::string, std::string>> items_;
};

}  // namespace db
