#include "apps/cli/MappingSupport.h"

#include <iostream>

#include "db/Connection.h"
#include "mapping/ChartData.h"

namespace brevanto::cli {

std::optional<mapping::Scope> scopeOfOptions(const ChartOptions& o) {
    auto kind = mapping::kindFromName(o.kind);
    if (!kind) {
        std::cerr << "Errore: tipo di correlazione sconosciuto '" << o.kind << "' (COGE, COIN, HYPE, CONS)\n";
        return std::nullopt;
    }
    mapping::Scope scope;
    scope.kind = *kind;
    scope.chart = o.pdc;
    scope.reclChart = o.ricl;
    scope.intercompany = o.intercompany;
    scope.company = o.company;
    return scope;
}

int runOnConnection(const std::string& connOption, const std::string& dir,
                    const std::function<int(db::Connection&)>& body) {
    std::string connectionString;
    try {
        connectionString = resolveConnectionString(connOption, dir);
    } catch (const std::runtime_error& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    auto conn = db::Connection::create();
    try {
        conn->Open(connectionString);
        int rc = body(*conn);
        conn->Close();
        return rc;
    } catch (const mapping::ScopeRefused& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn->Errors().Count() ? conn->Errors().items() : e.items());
        return 1;
    }
}

}  // namespace brevanto::cli
