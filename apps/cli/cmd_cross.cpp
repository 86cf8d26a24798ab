// brevanto-cli cross: the accounts of one ledger chart with their targets in COGE, HYPE and
// CONS side by side, both signs each.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/MappingScope.h"
#include "db/Connection.h"
#include "mapping/CrossKind.h"

namespace brevanto::cli {

namespace {

struct CrossOptions {
    mapping::CrossKindRequest request;
    std::string conn;
    std::string dir;
    long limit = 0;
    bool json = false;
};

// An account a kind does not list (another level of the chart) shows "-" where it has no
// correlation, telling it apart from a listed account still to be correlated.
std::string cell(const mapping::CrossTargets& t, const std::string& target) {
    return !target.empty() || t.listed ? target : "-";
}

void printText(const mapping::CrossKindView& view, long limit) {
    std::cout << "Correlazioni del PdC " << view.chart
              << (view.chartDescription.empty() ? "" : " \"" + view.chartDescription + "\"") << ":";
    for (const auto& s : view.scopes) std::cout << (&s == &view.scopes.front() ? " " : "; ") << mapping::describeScope(s);
    std::cout << '\n';
    std::vector<std::string> headers = {"Conto", "Descrizione"};
    for (const auto& s : view.scopes) {
        const std::string kind = mapping::kindName(s.kind);
        headers.push_back(kind + " Dare");
        headers.push_back(kind + " Avere");
    }
    std::size_t shown = view.rows.size();
    if (limit > 0 && static_cast<std::size_t>(limit) < shown) shown = static_cast<std::size_t>(limit);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& r = view.rows[i];
        std::vector<std::string> cells = {r.shownAccount, r.description};
        for (const auto& t : r.targets) {
            cells.push_back(cell(t, t.debit));
            cells.push_back(cell(t, t.credit));
        }
        rows.push_back(std::move(cells));
    }
    printTable(std::cout, headers, rows);
    std::cout << "(" << view.rows.size() << " conti";
    if (shown < view.rows.size()) std::cout << ", mostrati " << shown;
    std::cout << "; \"-\": conto non elencato per quel tipo)\n";
}

void printJson(const mapping::CrossKindView& view) {
    nlohmann::ordered_json out;
    out["chart"] = view.chart;
    out["chartDescription"] = view.chartDescription;
    auto scopes = nlohmann::ordered_json::array();
    for (const auto& s : view.scopes) {
        nlohmann::ordered_json j;
        j["kind"] = mapping::kindName(s.kind);
        j["reclChart"] = s.reclChart;
        if (s.kind == mapping::CorrelationKind::CONS) j["intercompany"] = s.intercompany;
        scopes.push_back(std::move(j));
    }
    out["scopes"] = std::move(scopes);
    auto rows = nlohmann::ordered_json::array();
    for (const auto& r : view.rows) {
        nlohmann::ordered_json j;
        j["account"] = r.account;
        j["shownAccount"] = r.shownAccount;
        j["description"] = r.description;
        for (std::size_t i = 0; i < r.targets.size(); ++i) {
            const auto& t = r.targets[i];
            nlohmann::ordered_json k;
            k["listed"] = t.listed;
            k["debit"] = t.debit.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(t.debit);
            k["credit"] = t.credit.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(t.credit);
            j[mapping::kindName(view.scopes[i].kind)] = std::move(k);
        }
        rows.push_back(std::move(j));
    }
    out["rowCount"] = view.rows.size();
    out["rows"] = std::move(rows);
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

int runCross(const CrossOptions& o) {
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        const auto view = mapping::crossKindView(*conn, o.request);
        if (o.json)
            printJson(view);
        else
            printText(view, o.limit);
        return 0;
    });
}

}  // namespace

void setupCrossCommand(CLI::App& app) {
    auto o = std::make_shared<CrossOptions>();
    auto* cmd = app.add_subcommand("cross", "Correlazioni COGE, HYPE e CONS di un piano dei conti a confronto");
    cmd->add_option("--pdc", o->request.chart, "PdC contabile")->required();
    cmd->add_option("--ricl", o->request.reclChart, "PdC di riclassificazione (colonne COGE)");
    cmd->add_option("--hyperion", o->request.hyperionChart, "PdC Hyperion (colonne HYPE)");
    auto* structure = cmd->add_option("--intercompany", o->request.intercompany, "Struttura intercompany (colonne CONS)");
    auto* consChart = cmd->add_option("--ricl-cons", o->request.consChart, "PdC riclassificato intercompany (colonne CONS)");
    consChart->needs(structure);
    cmd->add_option("--ditta", o->request.company, "Codice della ditta corrente (predefinito 1)");
    addConnectionOptions(*cmd, o->conn, o->dir);
    cmd->add_option("--limit", o->limit, "Mostra al massimo N conti")->check(CLI::NonNegativeNumber);
    cmd->add_flag("--json", o->json, "Risultato in formato JSON");
    setCommandBody(*cmd, [o] { return runCross(*o); });
}

}  // namespace brevanto::cli
