#pragma once
// Until the T-SQL -> PostgreSQL generator is merged: the text passes unchanged, in one step.
// Removed with the merge.

#include "db/tsql/Translator.h"

#if !__has_include("db/tsql/PostgresRuntime.h")
#include <string>
#include <vector>

#include "db/SqlText.h"

namespace db::tsql {

inline Translation translateForPostgres(std::string_view tsql, const TranslateOptions&) {
    Translation t;
    t.steps.push_back(Step{std::string(tsql), {}, true, {}});
    return t;
}

inline const std::vector<std::string>& postgresRuntimeStatements() {
    static const std::vector<std::string> none;
    return none;
}

inline const std::vector<std::string>& postgresTableFunctionStatements(const std::string&) {
    static const std::vector<std::string> none;
    return none;
}

inline std::vector<std::string> postgresTableDdl(const std::vector<std::string>& sqliteDdl, const std::string& schema) {
    std::vector<std::string> out;
    for (auto ddl : sqliteDdl) {
        ddl = db::replaceAll(ddl, " COLLATE TSQL", "");
        ddl = db::replaceAll(ddl, "tinyint", "smallint");
        ddl = db::replaceAll(ddl, "CREATE TABLE ", "CREATE TABLE \"" + schema + "\".");
        ddl = db::replaceAll(ddl, " ON ", " ON \"" + schema + "\".");
        out.push_back(ddl);
    }
    return out;
}

}  // namespace db::tsql
#else
#include "db/tsql/PostgresRuntime.h"
#endif
