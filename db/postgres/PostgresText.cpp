#include "db/postgres/PostgresText.h"

#include <cctype>

namespace db::postgres {

namespace {

bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Past a comment starting at i ("--" or "/*", nested as PostgreSQL nests them); i itself
// when none starts there.
std::size_t skipComment(std::string_view s, std::size_t i) {
    if (s.compare(i, 2, "--") == 0) {
        std::size_t end = s.find('\n', i);
        return end == std::string_view::npos ? s.size() : end + 1;
    }
    if (s.compare(i, 2, "/*") == 0) {
        int depth = 0;
        while (i < s.size()) {
            if (s.compare(i, 2, "/*") == 0) {
                ++depth;
                i += 2;
            } else if (s.compare(i, 2, "*/") == 0) {
                i += 2;
                if (--depth == 0) return i;
            } else {
                ++i;
            }
        }
        return s.size();
    }
    return i;
}

// The tag of a dollar quote starting at i ("$$", "$body$"), or empty when '$' starts none
// (a parameter marker $1).
std::string_view dollarTag(std::string_view s, std::size_t i) {
    std::size_t j = i + 1;
    if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) return {};
    while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_' ||
                            static_cast<unsigned char>(s[j]) >= 0x80))
        ++j;
    if (j < s.size() && s[j] == '$') return s.substr(i, j - i + 1);
    return {};
}

bool onlyBlanksAndComments(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        if (blank(s[i])) {
            ++i;
            continue;
        }
        std::size_t next = skipComment(s, i);
        if (next == i) return false;
        i = next;
    }
    return true;
}

}  // namespace

std::vector<std::string> splitStatements(std::string_view sql) {
    std::vector<std::string> out;
    std::size_t start = 0, i = 0;
    auto cut = [&](std::size_t end) {
        std::string_view part = sql.substr(start, end - start);
        if (!onlyBlanksAndComments(part)) out.emplace_back(part);
    };
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // E'…' literals escape with a backslash as well as by doubling.
            const bool escapes = c == '\'' && i > 0 && (sql[i - 1] == 'E' || sql[i - 1] == 'e');
            ++i;
            while (i < sql.size()) {
                if (escapes && sql[i] == '\\') {
                    i += 2;
                } else if (sql[i] == c) {
                    if (i + 1 < sql.size() && sql[i + 1] == c) {
                        i += 2;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    ++i;
                }
            }
        } else if (c == '$') {
            std::string_view tag = dollarTag(sql, i);
            if (tag.empty()) {
                ++i;
                continue;
            }
            std::size_t end = sql.find(tag, i + tag.size());
            i = end == std::string_view::npos ? sql.size() : end + tag.size();
        } else if (std::size_t next = skipComment(sql, i); next != i) {
            i = next;
        } else if (c == ';') {
            cut(i);
            start = ++i;
        } else {
            ++i;
        }
    }
    cut(sql.size());
    return out;
}

std::string firstKeyword(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size()) {
        if (blank(sql[i])) {
            ++i;
            continue;
        }
        std::size_t next = skipComment(sql, i);
        if (next == i) break;
        i = next;
    }
    std::string word;
    while (i < sql.size() && (std::isalpha(static_cast<unsigned char>(sql[i])) || sql[i] == '_'))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
    return word;
}

std::string unbraced(std::string_view value) {
    if (value.size() < 2 || value.front() != '{' || value.back() != '}') return std::string(value);
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        out += value[i];
        if (value[i] == '}' && value[i + 1] == '}') ++i;
    }
    return out;
}

}  // namespace db::postgres
