#include "db/tsql/SchemaInfo.h"

#include "text/Text.h"

namespace db::tsql {

bool SchemaInfo::isTextColumn(std::string_view column) const {
    for (const auto& name : textColumnNames)
        if (text::equalsIgnoreCaseAscii(column, name)) return true;
    for (std::string_view suffix : textColumnSuffixes)
        if (column.size() > suffix.size() && text::equalsIgnoreCaseAscii(column.substr(column.size() - suffix.size()), suffix))
            return true;
    return false;
}

const UniqueKey* SchemaInfo::uniqueKeyOf(std::string_view table) const {
    const UniqueKey* found = nullptr;
    for (const UniqueKey& k : uniqueKeys)
        if (text::equalsIgnoreCaseAscii(table, k.table)) found = &k;
    return found;
}

}  // namespace db::tsql
