#pragma once
// What the translation knows of the tables the text names, handed in by whoever translates
// (TranslateOptions::schema): the translator itself knows no table. It needs two things the
// text alone does not tell:
//   - which columns hold text, so that `a + b` of two text columns concatenates instead of
//     adding and a comparison of one follows SQL Server's collation;
//   - the unique keys of the tables a MERGE may write, so that a MERGE whose ON pairs exactly
//     such a key with source columns runs as one UPSERT.

#include <string>
#include <string_view>
#include <vector>

namespace db::tsql {

struct UniqueKey {
    std::string table;
    std::vector<std::string> columns;
};

struct SchemaInfo {
    // Columns declared as text wherever they appear, by exact name or by the end of their name
    // (a suffix names no column by itself). Compared case-insensitively.
    std::vector<std::string> textColumnNames;
    std::vector<std::string> textColumnSuffixes;
    std::vector<UniqueKey> uniqueKeys;

    bool isTextColumn(std::string_view column) const;
    // The unique key a MERGE into `table` may use, or nullptr.
    const UniqueKey* uniqueKeyOf(std::string_view table) const;
};

}  // namespace db::tsql
