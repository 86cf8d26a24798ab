#include "mapping/BulkFill.h"

#include "mapping/Rows.h"
#include "text/Text.h"

namespace mapping {

std::vector<Desired> copyOtherSign(const ChartData& data, int fromSign) {
    const int toSign = fromSign == 1 ? 2 : 1;
    std::vector<Desired> out;
    for (const auto& a : data.accounts) {
        const std::string& source = data.storedTarget(Key{a.code, fromSign});
        if (source.empty() || !data.storedTarget(Key{a.code, toSign}).empty()) continue;
        Desired d;
        d.key = Key{a.code, toSign};
        d.target = source;
        out.push_back(std::move(d));
    }
    return out;
}

std::string describeSource(const CopySource& source) {
    switch (source.from) {
        case CopySource::From::LedgerChart: return "PdC " + source.code;
        case CopySource::From::ReclChart: return "PdC di riclassificazione " + source.code;
        case CopySource::From::Database: return "database " + source.code;
    }
    return source.code;
}

std::map<Key, std::string> readCopySource(db::Connection& conn, const Scope& scope, const CopySource& source) {
    Scope from = scope;
    std::string database;
    switch (source.from) {
        case CopySource::From::LedgerChart:
            if (!detail::isCode(source.code)) throw ScopeRefused("Codice di piano dei conti non valido: \"" + source.code + "\".");
            if (scope.kind == CorrelationKind::CONS)
                from.intercompany = source.code;
            else
                from.chart = source.code;
            break;
        case CopySource::From::ReclChart:
            if (!detail::isCode(source.code))
                throw ScopeRefused("Codice di piano dei conti di riclassificazione non valido: \"" + source.code + "\".");
            from.reclChart = source.code;
            break;
        case CopySource::From::Database:
            if (source.code.empty() || detail::tableIn(source.code, "T").empty())
                throw ScopeRefused("Nome di database non valido: \"" + source.code + "\".");
            database = source.code;
            break;
    }
    if (from.sameCorrelations(scope) && database.empty())
        throw ScopeRefused("La fonte indicata è la correlazione stessa: scegliere un altro piano o database.");
    return readStoredCorrelations(conn, from, database);
}

std::vector<Desired> copyFrom(const ChartData& data, const std::map<Key, std::string>& source, bool overwrite) {
    std::vector<Desired> out;
    for (const auto& a : data.accounts) {
        for (int sign : {1, 2}) {
            const Key key{a.code, sign};
            auto it = source.find(key);
            if (it == source.end() || it->second.empty()) continue;
            const std::string& current = data.storedTarget(key);
            if (!current.empty() && (!overwrite || current == it->second)) continue;
            out.push_back(Desired{0, key, it->second, false, {}});
        }
    }
    return out;
}

std::vector<Desired> assignTarget(const std::vector<Key>& rows, const std::string& target) {
    std::vector<Desired> out;
    out.reserve(rows.size());
    for (const auto& key : rows) out.push_back(Desired{0, key, text::trimWhitespace(target), false, {}});
    return out;
}

}  // namespace mapping
