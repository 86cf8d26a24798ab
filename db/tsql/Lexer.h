#pragma once
// Tokens of a T-SQL batch. Comments and white space (CR, LF, CRLF, tabs) are dropped here;
// the parser only sees words, names, literals and punctuation, each with its byte offset.

#include <string>
#include <string_view>
#include <vector>

#include "text/Text.h"

namespace db::tsql {

enum class TokenKind {
    Word,         // unquoted identifier or keyword: ITEM_CODE, SELECT, #WORKTABLE, $action
    QuotedName,   // [name] or "name", text without the delimiters
    Variable,     // @name, text with the @
    String,       // 'text' or N'text', text unescaped
    Number,       // 12, 1.5, .5, 1e3
    Symbol,       // ( ) , . ; + - * / % = <> != < > <= >= !< !>
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    std::size_t offset = 0;

    bool isWord(std::string_view upperKeyword) const;   // case-insensitive keyword test
    bool isSymbol(std::string_view s) const { return kind == TokenKind::Symbol && text == s; }
};

// Throws TranslateError on an unterminated literal, name or comment, or a stray character.
std::vector<Token> tokenize(std::string_view sql);


}  // namespace db::tsql
