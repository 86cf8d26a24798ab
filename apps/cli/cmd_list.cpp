// brevanto-cli list: the working rows of one correlation kind, as the correlation editor
// lists them after the reclassification chart is confirmed.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

using Json = nlohmann::ordered_json;

std::string dumped(const Json& j, int indent = -1) { return j.dump(indent, ' ', false, Json::error_handler_t::replace); }

// The document a single dump(2) would give, written row by row.
void printJson(std::ostream& out, const WorkingRowReader& reader, const char* kind, std::size_t shown) {
    const WorkingSet& set = reader.set();
    out << "{\n  \"kind\": " << dumped(kind) << ",\n  \"chart\": " << dumped(set.chart) << ",\n  \"mask\": "
        << dumped(set.mask) << ",\n  \"database\": " << dumped(set.database) << ",\n  \"rowCount\": " << reader.count()
        << ",\n  \"rows\": [";
    bool first = true;
    reader.forEach(
        [&](const WorkingRow& r) {
            Json j;
            j["CONTOPDC"] = r.contoPdc;
            j["CONTOPDCGRID"] = r.contoPdcGrid ? Json(r.displayCode) : nullptr;
            j["DESCRPDCGRID"] = r.descrPdcGrid ? Json(*r.descrPdcGrid) : nullptr;
            j["SEGNO"] = r.segno;
            j["CONTORICL"] = r.contoRicl ? Json(*r.contoRicl) : nullptr;
            j["DESCRRICL"] = r.descrRicl ? Json(*r.descrRicl) : nullptr;
            j["TIPOCF"] = r.tipoCF ? Json(*r.tipoCF) : nullptr;
            // The row object two levels in: every line of its own dump indented by four.
            const std::string text = dumped(j, 2);
            std::string indented = first ? "\n    " : ",\n    ";
            for (char c : text) {
                indented += c;
                if (c == '\n') indented += "    ";
            }
            out << indented;
            first = false;
        },
        shown);
    out << (first ? "]" : "\n  ]") << "\n}\n";
}

// The table's column widths are measured in a first pass over the rows, then the rows are
// printed in a second one.
void printText(std::ostream& out, const WorkingRowReader& reader, const char* kind, const std::string& ricl,
               std::size_t shown) {
    const WorkingSet& set = reader.set();
    out << "Correlazione " << kind << ": piano " << set.chart << (set.chartDescr.empty() ? "" : " \"" + set.chartDescr + "\"")
        << (set.database.empty() ? "" : " (database " + set.database + ")") << ", riclassificazione " << ricl << '\n';
    const std::vector<std::string> headers{"CONTOPDCGRID", "DESCRPDCGRID", "SEGNO", "CONTORICL", "DESCRRICL"};
    std::vector<std::string> cells(headers.size());
    auto fill = [&cells](const WorkingRow& r) {
        cells[0] = r.contoPdcGrid ? r.displayCode : "";
        cells[1] = r.descrPdcGrid.value_or("");
        cells[2] = signText(r.segno);
        cells[3] = r.contoRicl.value_or("");
        cells[4] = r.descrRicl.value_or("");
    };
    std::vector<std::size_t> widths;
    for (const auto& h : headers) widths.push_back(displayWidth(h));
    reader.forEach(
        [&](const WorkingRow& r) {
            fill(r);
            for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], displayWidth(cells[i]));
        },
        shown);
    printTableHead(out, widths, headers);
    reader.forEach(
        [&](const WorkingRow& r) {
            fill(r);
            printTableLine(out, widths, cells);
        },
        shown);
    out << "(" << reader.count() << " righe";
    if (shown < reader.count()) out << ", mostrate " << shown;
    out << ")\n";
}

int runList(const ListOptions& o) {
    auto kind = kindFromName(o.kind);
    if (!kind) {
        std::cerr << "Errore: tipo di correlazione sconosciuto '" << o.kind << "' (COGE, COIN, HYPE, CONS)\n";
        return 1;
    }
    const auto connectionString = connectionStringOrExplain(o.conn, o.dir);
    if (!connectionString) return 1;
    ListRequest request;
    request.kind = *kind;
    request.chart = o.pdc;
    request.reclChart = o.ricl;
    request.intercompany = o.intercompany;
    request.company = o.company;

    auto conn = db::Connection::create();
    std::optional<WorkingRowReader> reader;
    try {
        conn->Open(*connectionString);
        reader.emplace(*conn, request);
    } catch (const ListRefused& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn->Errors().Count() ? conn->Errors().items() : e.items());
        return 1;
    }

    const std::size_t total = reader->count();
    std::size_t shown = total;
    if (o.limit > 0 && static_cast<std::size_t>(o.limit) < shown) shown = static_cast<std::size_t>(o.limit);
    if (o.json)
        printJson(std::cout, *reader, kindName(*kind), shown);
    else
        printText(std::cout, *reader, kindName(*kind), o.ricl, shown);
    return 0;
}

}  // namespace

void setupListCommand(CLI::App& app) {
    auto options = std::make_shared<ListOptions>();
    auto* cmd = app.add_subcommand("list", "Elenca le righe di lavoro di una correlazione");
    addChartOptions(*cmd, *options, editor::kCorrelationKindChoices);
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->add_option("--limit", options->limit, "Mostra al massimo N righe")->check(CLI::NonNegativeNumber);
    cmd->add_flag("--json", options->json, "Righe in formato JSON");
    setCommandBody(*cmd, [options] { return runList(*options); });
}

}  // namespace brevanto::cli
