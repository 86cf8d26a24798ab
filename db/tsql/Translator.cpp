#include "db/tsql/Translator.h"

#include "db/tsql/Parser.h"
#include "db/tsql/PostgresGenerator.h"
#include "db/tsql/SqliteGenerator.h"

namespace db::tsql {

Translation translate(std::string_view tsql, const TranslateOptions& options) {
    return generateSqlite(parseBatch(tsql), options);
}

Translation translateForPostgres(std::string_view tsql, const TranslateOptions& options) {
    return generatePostgres(parseBatch(tsql), options);
}

Translation translate(std::string_view tsql) { return translate(tsql, TranslateOptions{}); }

std::string translateToText(std::string_view tsql, const TranslateOptions& options) {
    const Translation t = translate(tsql, options);
    std::string out;
    for (std::size_t i = 0; i < t.steps.size(); ++i) {
        if (i) out += ";\n";
        out += t.steps[i].sql;
    }
    return out;
}

}  // namespace db::tsql
