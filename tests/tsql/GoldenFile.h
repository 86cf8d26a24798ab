#pragma once
// Golden translation files: cases of T-SQL input and the expected translation.
//
//   ==== case name
//   @main MAINDB                  (optional: TranslateOptions::mainDatabase)
//   T-SQL text, escape notation: \r \n \t \\ \xNN; the file's own line breaks are not part of it
//   ----
//   expected rendering (see renderTranslation), or "error: <message>"
//
// Lines before the first "====" and lines starting with "#" outside the input are comments.

#include "db/tsql/Translator.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tsqltest {

struct GoldenCase {
    std::string name;
    int line = 0;
    std::string mainDatabase;
    std::string input;
    std::string expected;
};

std::vector<GoldenCase> readGoldenFile(const std::filesystem::path& file);

// Each step on its own line, followed by its markers:
//   "  -> rows" (returnsRows), "  -> capture NAME", "  -> fail when non-zero";
// then "attach: A, B" when databases must be attached and "atomic" when the steps form one.
std::string renderTranslation(const db::tsql::Translation& t);

std::string unescape(const std::string& s);

}  // namespace tsqltest
