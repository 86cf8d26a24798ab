#include "FuzzOracles.h"

#include <sqlite3.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "db/tsql/Lexer.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"

namespace fuzzoracle {

namespace {

struct Outcome {
    bool ok = false;
    db::tsql::Translation translation;
    std::string error;
    std::size_t offset = 0;
};

Outcome translateOnce(std::string_view input) {
    Outcome o;
    try {
        o.translation = db::tsql::translate(input, hostdb::translateOptions());
        o.ok = true;
    } catch (const db::tsql::TranslateError& e) {
        o.error = e.what();
        o.offset = e.offset();
    }
    return o;
}

bool sameSteps(const db::tsql::Translation& a, const db::tsql::Translation& b) {
    if (a.steps.size() != b.steps.size() || a.attachedDatabases != b.attachedDatabases || a.atomic != b.atomic)
        return false;
    for (std::size_t i = 0; i < a.steps.size(); ++i) {
        const auto &x = a.steps[i], &y = b.steps[i];
        if (x.sql != y.sql || x.captureInto != y.captureInto || x.returnsRows != y.returnsRows ||
            x.failWhenNonZero != y.failWhenNonZero)
            return false;
    }
    return true;
}

[[noreturn]] void fail(const std::string& what, const std::string& sql) {
    throw OracleFailure(what + "\n  in: " + sql);
}

// The literals and quoted names of one SQLite statement, read as SQLite reads them.
struct SqliteTokens {
    std::vector<std::string> literals;
    std::vector<std::string> quotedNames;
};

SqliteTokens scanSqlite(const std::string& sql) {
    SqliteTokens out;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            std::string value;
            std::size_t j = i + 1;
            for (;; ++j) {
                if (j >= sql.size()) fail("unclosed quote at " + std::to_string(i), sql);
                if (sql[j] == close) {
                    if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
                        value += close;
                        ++j;
                        continue;
                    }
                    break;
                }
                value += sql[j];
            }
            (c == '\'' ? out.literals : out.quotedNames).push_back(value);
            i = j;
            continue;
        }
        const char d = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (c == '-' && d == '-') fail("'--' outside a literal at " + std::to_string(i), sql);
        if (c == '/' && d == '*') fail("'/*' outside a literal at " + std::to_string(i), sql);
        if (c == ';') fail("';' outside a literal at " + std::to_string(i), sql);
        if (c == '\0') fail("NUL at " + std::to_string(i), sql);
    }
    return out;
}

// What a translation may write in quotes: the text's own literals (or a variable's value cut
// to its declared length), its names, and the few words the generator adds itself.
struct InputVocabulary {
    std::vector<std::string> literals;
    std::set<std::string> words{"INSERT", "UPDATE", "~merge_source"};
};

InputVocabulary vocabularyOf(std::string_view input) {
    InputVocabulary v;
    for (const auto& t : db::tsql::tokenize(input)) {
        if (t.kind == db::tsql::TokenKind::String) v.literals.push_back(t.text);
        if (t.kind == db::tsql::TokenKind::Number) {
            v.words.insert(t.text);
            v.words.insert("-" + t.text);
        }
        if (t.kind != db::tsql::TokenKind::Symbol && t.kind != db::tsql::TokenKind::End) v.words.insert(t.text);
    }
    return v;
}

bool fromInput(const std::string& literal, const InputVocabulary& v) {
    if (v.words.count(literal)) return true;
    for (const auto& l : v.literals)
        if (l.compare(0, literal.size(), literal) == 0) return true;   // equal, or cut to a length
    return false;
}

// SQLite must parse what the translator wrote; a missing table or function is not its concern.
void expectSqliteParses(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> guard(stmt, sqlite3_finalize);
    if (rc == SQLITE_OK) {
        if (tail != sql.c_str() + sql.size()) fail("more than one statement", sql);
        return;
    }
    // Read by their shape: a name in another message may hold any text.
    const std::string message = sqlite3_errmsg(db);
    const std::string_view syntax = "\": syntax error";
    if (message == "incomplete input" || message.rfind("unrecognized token:", 0) == 0 ||
        (message.rfind("near \"", 0) == 0 && message.size() >= syntax.size() &&
         message.compare(message.size() - syntax.size(), syntax.size(), syntax) == 0))
        fail("SQLite cannot parse the translation: " + message, sql);
}

sqlite3* scratchDatabase() {
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        db::sqlite::registerSqliteRuntime(d);
        return d;
    }();
    return db;
}

}  // namespace

void translator(std::string_view input) {
    const Outcome first = translateOnce(input);
    const Outcome second = translateOnce(input);
    if (first.ok != second.ok || first.error != second.error || first.offset != second.offset ||
        (first.ok && !sameSteps(first.translation, second.translation)))
        fail("two translations of the same text differ", std::string(input));
    if (!first.ok) {
        if (first.error.empty()) fail("an error without a message", std::string(input));
        if (first.offset > input.size()) fail("an error offset past the end: " + first.error, std::string(input));
        return;
    }
    const InputVocabulary vocabulary = vocabularyOf(input);
    for (const auto& step : first.translation.steps) {
        const SqliteTokens tokens = scanSqlite(step.sql);
        for (const auto& l : tokens.literals)
            if (!fromInput(l, vocabulary)) fail("literal '" + l + "' is no literal of the text", step.sql);
        for (const auto& n : tokens.quotedNames)
            if (!vocabulary.words.count(n)) fail("quoted name \"" + n + "\" is no name of the text", step.sql);
        expectSqliteParses(scratchDatabase(), step.sql);
    }
}

}  // namespace fuzzoracle
