#include "db/ConnectionString.h"

#include <algorithm>
#include <cctype>

namespace db {

namespace {
std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}
bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

ConnectionString::ConnectionString(std::string text) : text_(std::move(text)) {
    std::size_t start = 0;
    while (start <= text_.size()) {
        std::size_t end = text_.find(';', start);
        if (end == std::string::npos) end = text_.size();
        std::string_view item(text_.data() + start, end - start);
        auto eq = item.find('=');
        if (eq != std::string_view::npos) {
            std::string key = trim(item.substr(0, eq));
            if (!key.empty()) items_.emplace_back(key, trim(item.substr(eq + 1)));
        }
        start = end + 1;
    }
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
    for (const auto& [k, v] : items_)
        if (iequals(k, key)) return v;
    return std::nullopt;
}

std::string ConnectionString::getOr(std::string_view key, std::string fallback) const {
    auto v = get(key);
    return v ? *v : fallback;
}

std::string ConnectionString::without(std::initializer_list<std::string_view> keys) const {
    std::string out;
    for (const auto& [k, v] : items_) {
        bool skip = std::any_of(keys.begin(), keys.end(), [&](std::string_view x) { return iequals(k, x); });
        if (skip) continue;
        out += k + "=" + v + ";";
    }
    return out;
}

}  // namespace db
