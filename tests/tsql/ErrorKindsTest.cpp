// The two kinds of refusal: text SQL Server itself would refuse is a ParseError (from the lexer,
// the parser, or the generator for what only the whole batch shows); valid T-SQL outside what
// the translation covers is an UnsupportedError, whichever stage finds it. Both are
// TranslateErrors, which is what the backends catch.

#include <gtest/gtest.h>

#include <string>

#include "db/tsql/Translator.h"

namespace {

enum class Kind { None, Parse, Unsupported, Other };

Kind kindOf(const std::string& sql) {
    try {
        db::tsql::translate(sql);
        db::tsql::translateForPostgres(sql, {});
        return Kind::None;
    } catch (const db::tsql::ParseError&) {
        return Kind::Parse;
    } catch (const db::tsql::UnsupportedError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("T-SQL non supportato: ", 0), 0u) << e.what();
        return Kind::Unsupported;
    } catch (const db::tsql::TranslateError&) {
        return Kind::Other;
    }
}

TEST(TsqlErrorKinds, MalformedTextIsAParseError) {
    for (const char* sql : {
             "SELECT 'abc",                                   // lexer: unclosed quotation mark
             "SELECT [abc",                                   // lexer: unclosed [name]
             "SELECT 1 /* open",                              // lexer: unclosed comment
             "SELECT (1 FROM T",                              // parser: incorrect syntax
             "SELECT 1 +",                                    // parser: end of the batch
             "SELECT @undeclared",                            // generator: undeclared variable
             "DECLARE @A INT = 1 DECLARE @A INT = 2",         // generator: declared twice
             "SELECT LEFT('a')",                              // generator: argument count
             "SELECT A FROM T UNION SELECT B INTO #X FROM U",  // generator: INTO after UNION
         })
        EXPECT_EQ(kindOf(sql), Kind::Parse) << sql;
}

TEST(TsqlErrorKinds, ValidButUncoveredTextIsAnUnsupportedError) {
    for (const char* sql : {
             "BEGIN TRANSACTION",                                  // parser
             "UPDATE T SET A = 1 FROM T JOIN U ON T.K = U.K",      // parser
             "SELECT A FROM T PIVOT (MAX(N) FOR K IN ([x])) AS P",  // parser
             "SELECT SOUNDEX(A) FROM T",                           // generator: unknown function
             "SELECT A FROM T WHERE A LIKE '[a-c]%'",              // generator: character class
             "SELECT * FROM S.x.y.T",                              // generator: four-part name
         })
        EXPECT_EQ(kindOf(sql), Kind::Unsupported) << sql;
}

TEST(TsqlErrorKinds, ValidCoveredTextTranslates) {
    EXPECT_EQ(kindOf("SELECT LEFT(A, 2) FROM T WHERE B LIKE 'x%'"), Kind::None);
}

}  // namespace
