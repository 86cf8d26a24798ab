#include "db/sqlite/DatabaseFile.h"
#include "text/Text.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>


namespace db::sqlite {

namespace {

std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace

std::optional<std::string> whyNotADatabaseFile(const std::filesystem::path& file) {
    static constexpr char kHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    char head[sizeof kHeader] = {};
    in.read(head, sizeof head);
    if (in.gcount() == 0) return "il file è vuoto, non è un database Brevanto";
    if (in.gcount() != static_cast<std::streamsize>(sizeof head) || std::memcmp(head, kHeader, sizeof head) != 0)
        return "il file non è un database SQLite";
    return std::nullopt;
}

int readTableNames(sqlite3* db, const std::string& schema, std::vector<std::string>& names) {
    const std::string sql = "SELECT name FROM " + quoted(schema) + ".sqlite_master WHERE type = 'table'";
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW) break;
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        if (name) names.emplace_back(name);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool holdsAnyTable(const std::vector<std::string>& names, const std::vector<std::string>& tables) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return std::any_of(tables.begin(), tables.end(), [&](const std::string& t) { return text::equalsIgnoreCaseAscii(t, name); });
    });
}

bool fileHasMoved(sqlite3* db, const std::string& schema) {
    int moved = 0;
    return sqlite3_file_control(db, schema.c_str(), SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

}  // namespace db::sqlite
