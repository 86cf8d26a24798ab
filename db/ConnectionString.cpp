#include "db/ConnectionString.h"

#include <algorithm>
#include <cctype>

#include "text/Text.h"

namespace db {

ConnectionString::ConnectionString(std::string text) : text_(std::move(text)) {
    const std::size_t n = text_.size();
    std::size_t start = 0;
    while (start < n) {
        std::size_t eq = text_.find_first_of("=;", start);
        if (eq == std::string::npos) break;
        if (text_[eq] == ';') {   // an item without '=' is skipped
            start = eq + 1;
            continue;
        }
        // A value in braces runs to its closing brace, "}}" standing for "}", whatever ';' it
        // holds; it is kept as written, braces included, for the driver that reads it.
        std::size_t v = eq + 1;
        while (v < n && std::isspace(static_cast<unsigned char>(text_[v]))) ++v;
        std::size_t from = v;
        if (v < n && text_[v] == '{') {
            std::size_t i = v + 1;
            while (i < n && !(text_[i] == '}' && (i + 1 == n || text_[i + 1] != '}'))) i += text_[i] == '}' ? 2 : 1;
            if (i < n) from = i;   // an unclosed brace is plain text
        }
        std::size_t end = text_.find(';', from);
        if (end == std::string::npos) end = n;
        std::string key = text::trimWhitespace(std::string_view(text_).substr(start, eq - start));
        if (!key.empty()) items_.emplace_back(key, text::trimWhitespace(std::string_view(text_).substr(eq + 1, end - eq - 1)));
        start = end + 1;
    }
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
    for (const auto& [k, v] : items_)
        if (text::equalsIgnoreCaseAscii(k, key)) return v;
    return std::nullopt;
}

std::string ConnectionString::getOr(std::string_view key, std::string fallback) const {
    auto v = get(key);
    return v ? *v : fallback;
}

std::string ConnectionString::without(std::initializer_list<std::string_view> keys) const {
    std::string out;
    for (const auto& item : items_) {
        const std::string& key = item.first;
        bool skip = std::any_of(keys.begin(), keys.end(), [&](std::string_view x) { return text::equalsIgnoreCaseAscii(key, x); });
        if (skip) continue;
        out += key + "=" + item.second + ";";
    }
    return out;
}

}  // namespace db
