#pragma once
// Script files under tests/tsql/scripts/, run by each target's runner (SQLite in ScriptTest.cpp,
// PostgreSQL in postgres/PostgresScriptTest.cpp) with the same expectations:
//
//   sqlite ok                 fixture schema and data, up to a blank line: SQLite text, which
//                             the PostgreSQL runner takes with the host DDL's type mapping
//   statement ok              T-SQL that must succeed
//   statement changes N       T-SQL that must succeed and change N rows in total
//   statement error <text>    T-SQL that must fail with a message containing <text>; where the
//                             targets word a failure of their own differently, the texts are
//                             listed as "<sqlite text> || <postgres text>"
//   query                     T-SQL whose result rows follow "----", one per line, columns
//                             joined with " | ", NULL as NULL, up to a blank line
//
// T-SQL text in a script: its lines are joined with "\n"; \r and \n escapes give exact line ends.

#include <filesystem>
#include <string>
#include <vector>

namespace tsqltest {

// One target's way of running a script's blocks. Failures are thrown as std::exception.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    virtual void fixture(const std::string& sqliteText) = 0;
    // Runs the translated steps; returns the rows of the result sets and sets the changes.
    virtual std::vector<std::string> run(const std::string& tsql, long long& changes) = 0;
};

// Runs every block of `file` on `runner`, reporting mismatches as test failures.
// `target` picks the wording of "statement error" alternatives: 0 SQLite, 1 PostgreSQL.
void runScript(const std::filesystem::path& file, ScriptRunner& runner, int target);

// The script files of tests/tsql/scripts/.
std::vector<std::filesystem::path> scriptFiles();

}  // namespace tsqltest
