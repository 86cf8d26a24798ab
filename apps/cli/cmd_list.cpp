// brevanto-cli list: the working rows of one correlation kind, as the correlation editor
// lists them after the reclassification chart is confirmed.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/WorkingRows.h"
#include "db/Connection.h"

namespace brevanto::cli {

namespace {

struct ListOptions : ChartOptions {
    std::string conn;
    std::string dir;
    long limit = 0;
    bool json = false;
};

const char* signText(int segno) { return segno == 1 ? "Dare" : segno == 2 ? "Avere" : "?"; }

int runList(const ListOptions& o) {
    auto kind = kindFromName(o.kind);
    if (!kind) {
        std::cerr << "Errore: tipo di correlazione sconosciuto '" << o.kind << "' (COGE, COIN, HYPE, CONS)\n";
        return 1;
    }
    std::string connectionString;
    try {
        connectionString = resolveConnectionString(o.conn, o.dir);
    } catch (const std::runtime_error& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    ListRequest request;
    request.kind = *kind;
    request.chart = o.pdc;
    request.reclChart = o.ricl;
    request.intercompany = o.intercompany;
    request.company = o.company;

    auto conn = db::Connection::create();
    WorkingSet set;
    try {
        conn->Open(connectionString);
        set = loadWorkingRows(*conn, request);
    } catch (const ListRefused& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn->Errors().Count() ? conn->Errors().items() : e.items());
        return 1;
    }
    conn->Close();

    std::size_t shown = set.rows.size();
    if (o.limit > 0 && static_cast<std::size_t>(o.limit) < shown) shown = static_cast<std::size_t>(o.limit);

    if (o.json) {
        auto rows = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < shown; ++i) {
            const auto& r = set.rows[i];
            nlohmann::ordered_json j;
            j["CONTOPDC"] = r.contoPdc;
            j["CONTOPDCGRID"] = r.contoPdcGrid ? nlohmann::ordered_json(r.displayCode) : nullptr;
            j["DESCRPDCGRID"] = r.descrPdcGrid ? nlohmann::ordered_json(*r.descrPdcGrid) : nullptr;
            j["SEGNO"] = r.segno;
            j["CONTORICL"] = r.contoRicl ? nlohmann::ordered_json(*r.contoRicl) : nullptr;
            j["DESCRRICL"] = r.descrRicl ? nlohmann::ordered_json(*r.descrRicl) : nullptr;
            j["TIPOCF"] = r.tipoCF ? nlohmann::ordered_json(*r.tipoCF) : nullptr;
            rows.push_back(std::move(j));
        }
        nlohmann::ordered_json out;
        out["kind"] = kindName(*kind);
        out["chart"] = set.chart;
        out["mask"] = set.mask;
        out["database"] = set.database;
        out["rowCount"] = set.rows.size();
        out["rows"] = std::move(rows);
        std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        return 0;
    }

    std::cout << "Correlazione " << kindName(*kind) << ": piano " << set.chart
              << (set.chartDescr.empty() ? "" : " \"" + set.chartDescr + "\"")
              << (set.database.empty() ? "" : " (database " + set.database + ")") << ", riclassificazione "
              << o.ricl << '\n';
    std::vector<std::vector<std::string>> rows;
    rows.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& r = set.rows[i];
        rows.push_back({r.contoPdcGrid ? r.displayCode : "", r.descrPdcGrid.value_or(""), signText(r.segno),
                        r.contoRicl.value_or(""), r.descrRicl.value_or("")});
    }
    printTable(std::cout, {"CONTOPDCGRID", "DESCRPDCGRID", "SEGNO", "CONTORICL", "DESCRRICL"}, rows);
    std::cout << "(" << set.rows.size() << " righe";
    if (shown < set.rows.size()) std::cout << ", mostrate " << shown;
    std::cout << ")\n";
    return 0;
}

}  // namespace

void setupListCommand(CLI::App& app) {
    auto options = std::make_shared<ListOptions>();
    auto* cmd = app.add_subcommand("list", "Elenca le righe di lavoro di una correlazione");
    addChartOptions(*cmd, *options, "COGE, COIN, HYPE o CONS");
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->add_option("--limit", options->limit, "Mostra al massimo N righe")->check(CLI::NonNegativeNumber);
    cmd->add_flag("--json", options->json, "Righe in formato JSON");
    setCommandBody(*cmd, [options] { return runList(*options); });
}

}  // namespace brevanto::cli
