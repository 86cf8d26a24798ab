#include "db/tsql/Lexer.h"

#include "db/tsql/Translator.h"

namespace db::tsql {

namespace {

bool isIdentStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c >= 0x80;
}
bool isIdentPart(unsigned char c) {
    return isIdentStart(c) || (c >= '0' && c <= '9') || c == '$' || c == '@';
}
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool Token::isWord(std::string_view upperKeyword) const {
    return kind == TokenKind::Word && ::text::equalsIgnoreCaseAscii(text, upperKeyword);
}

std::vector<Token> tokenize(std::string_view sql) {
    // A NUL would end the text early for every engine that reads it as a C string.
    if (const std::size_t nul = sql.find('\0'); nul != std::string_view::npos)
        throw ParseError("Carattere NUL nel testo T-SQL (posizione " + std::to_string(nul + 1) + ").", nul);
    std::vector<Token> out;
    out.reserve(sql.size() / 4 + 4);
    const std::size_t n = sql.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        // "--" runs to the end of the line; CR alone ends a line as well as LF.
        if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\r' && sql[i] != '\n') ++i;
            continue;
        }
        // Block comments nest in T-SQL.
        if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const std::size_t start = i;
            int depth = 0;
            while (i < n) {
                if (sql[i] == '/' && i + 1 < n && sql[i + 1] == '*') {
                    ++depth;
                    i += 2;
                } else if (sql[i] == '*' && i + 1 < n && sql[i + 1] == '/') {
                    i += 2;
                    if (--depth == 0) break;
                } else {
                    ++i;
                }
            }
            if (depth != 0) throw ParseError("Missing end comment mark '*/'.", start);
            continue;
        }
        Token t;
        t.offset = i;
        if (c == '\'' || ((c == 'N' || c == 'n') && i + 1 < n && sql[i + 1] == '\'')) {
            if (c != '\'') ++i;
            ++i;
            t.kind = TokenKind::String;
            for (;;) {
                if (i >= n)
                    throw ParseError("Unclosed quotation mark after the character string '" +
                                         t.text + "'.",
                                     t.offset);
                if (sql[i] == '\'') {
                    if (i + 1 < n && sql[i + 1] == '\'') {
                        t.text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += sql[i++];
            }
        } else if (c == '[') {
            ++i;
            t.kind = TokenKind::QuotedName;
            for (;;) {
                if (i >= n) throw ParseError("Unclosed quotation mark in a [name].", t.offset);
                if (sql[i] == ']') {
                    if (i + 1 < n && sql[i + 1] == ']') {
                        t.text += ']';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += sql[i++];
            }
        } else if (c == '"') {
            ++i;
            t.kind = TokenKind::QuotedName;
            for (;;) {
                if (i >= n) throw ParseError("Unclosed quotation mark in a \"name\".", t.offset);
                if (sql[i] == '"') {
                    if (i + 1 < n && sql[i + 1] == '"') {
                        t.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += sql[i++];
            }
        } else if (c == '@') {
            t.kind = TokenKind::Variable;
            std::size_t j = i + 1;
            while (j < n && isIdentPart(static_cast<unsigned char>(sql[j]))) ++j;
            if (j == i + 1) throw ParseError("Incorrect syntax near '@'.", i);
            t.text = std::string(sql.substr(i, j - i));
            i = j;
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(static_cast<unsigned char>(sql[i + 1])))) {
            t.kind = TokenKind::Number;
            std::size_t j = i;
            while (j < n && isDigit(static_cast<unsigned char>(sql[j]))) ++j;
            if (j < n && sql[j] == '.') {
                ++j;
                while (j < n && isDigit(static_cast<unsigned char>(sql[j]))) ++j;
            }
            if (j < n && (sql[j] == 'e' || sql[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
                if (k < n && isDigit(static_cast<unsigned char>(sql[k]))) {
                    while (k < n && isDigit(static_cast<unsigned char>(sql[k]))) ++k;
                    j = k;
                }
            }
            t.text = std::string(sql.substr(i, j - i));
            i = j;
        } else if (isIdentStart(c) || (c == '$' && i + 1 < n && isIdentStart(static_cast<unsigned char>(sql[i + 1])))) {
            t.kind = TokenKind::Word;
            std::size_t j = i + 1;
            while (j < n && isIdentPart(static_cast<unsigned char>(sql[j]))) ++j;
            t.text = std::string(sql.substr(i, j - i));
            i = j;
        } else {
            t.kind = TokenKind::Symbol;
            static constexpr std::string_view two[] = {"<>", "!=", "<=", ">=", "!<", "!>"};
            bool matched = false;
            if (i + 1 < n) {
                for (auto s : two) {
                    if (sql.substr(i, 2) == s) {
                        t.text = std::string(s);
                        i += 2;
                        matched = true;
                        break;
                    }
                }
            }
            if (!matched) {
                static constexpr std::string_view one = "(),.;+-*/%=<>&|^~?";
                if (one.find(static_cast<char>(c)) == std::string_view::npos) {
                    if (c < 0x20 || c == 0x7f) {   // a control character is named, not printed
                        static constexpr char hex[] = "0123456789ABCDEF";
                        throw ParseError(std::string("Incorrect syntax near the control character 0x") +
                                             hex[c >> 4] + hex[c & 15] + ".",
                                         i);
                    }
                    throw ParseError("Incorrect syntax near '" + std::string(1, static_cast<char>(c)) + "'.", i);
                }
                t.text = std::string(1, static_cast<char>(c));
                ++i;
            }
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.offset = n;
    out.push_back(end);
    return out;
}

}  // namespace db::tsql
