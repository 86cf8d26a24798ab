#include "standalone/automation/ProgramLookups.h"

#include "kit/ConnectionCache.h"

namespace standalone {

std::optional<std::string> ProgramLookups::run(const host::ProgramRequest& request) {
    if (!request.returnsChoice || request.sql.empty()) return std::nullopt;
    auto rows = kit::runBoxQuery(request.sql, request.connectionString, nullptr);
    if (!rows || rows->State() != db::ado::adStateOpen) return std::nullopt;
    auto choice = lookups_.pick(kit::LookupRequest{request.caption, request.fields, rows, request.position, ""});
    if (!choice || *choice < 0 || *choice >= rows->viewSize()) return std::nullopt;
    const db::RowRef row = rows->viewRow(*choice);
    if (row.empty()) return std::nullopt;
    return row.front().toText();
}

}  // namespace standalone
