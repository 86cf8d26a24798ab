#include "apps/cli/MappingScope.h"

#include <iostream>
#include <stdexcept>

#include "db/Connection.h"
#include "mapping/ChartData.h"

namespace brevanto::cli {

mapping::Scope scopeFromOptions(const ChartOptions& o) {
    auto kind = mapping::kindFromName(o.kind);
    if (!kind) throw std::runtime_error("tipo di correlazione sconosciuto '" + o.kind + "' (" + editor::kCorrelationKindChoices + ")");
    mapping::Scope scope;
    scope.kind = *kind;
    scope.chart = o.pdc;
    scope.reclChart = o.ricl;
    scope.intercompany = o.intercompany;
    scope.company = o.company;
    if (auto problem = headerOptionsProblem(*kind == mapping::CorrelationKind::CONS, o.pdc, o.intercompany);
        !problem.empty())
        throw std::runtime_error(problem);
    return scope;
}

std::shared_ptr<db::Connection> openMappingConnection(const std::string& conn, const std::string& dir) {
    auto connection = db::Connection::create();
    connection->Open(resolveConnectionString(conn, dir));
    return connection;
}

int runMapping(db::Connection& conn, const std::function<int()>& body) {
    try {
        return body();
    } catch (const mapping::ScopeRefused& e) {
        std::cerr << "Errore: " << e.what() << '\n';
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn.Errors().Count() ? conn.Errors().items() : e.items());
    }
    return 1;
}

}  // namespace brevanto::cli
