// brevanto-cli correlations export|import: a scope's correlations written to a file for a
// spreadsheet, and a file read back: the differences are shown first, and written only with
// --apply, in one transaction.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/Commands.h"
#include "apps/cli/MappingScope.h"
#include "db/Connection.h"
#include "mapping/Transfer.h"

namespace brevanto::cli {

namespace {

struct ExportOptions : ChartOptions {
    std::string conn, dir, out;
};

struct ImportOptions {
    std::string conn, dir, file, company = "1";
    bool apply = false, acceptOtherType = false, all = false, json = false;
};

// A database failure: the connection's items, else the exception's.
int databaseFailure(db::Connection& conn, const db::Error& e) {
    printErrors(std::cerr, conn.Errors().Count() ? conn.Errors().items() : e.items());
    return 1;
}

int runExport(const ExportOptions& o) {
    const mapping::Scope scope = scopeFromOptions(o);
    if (!mapping::formatOfPath(o.out)) {
        std::cerr << "Errore: il file deve avere estensione .xlsx o .csv: " << o.out << '\n';
        return 1;
    }
    auto conn = openMappingConnection(o.conn, o.dir);
    try {
        mapping::ChartData data = mapping::ChartData::load(*conn, scope);
        const long rows = mapping::exportCorrelations(data, o.out);
        std::cout << "Esportate " << rows << " righe (" << data.stored.size() << " correlazioni) di "
                  << mapping::describeScope(data.scope) << " in " << o.out << '\n';
        return 0;
    } catch (const mapping::ScopeRefused& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        return databaseFailure(*conn, e);
    }
}

nlohmann::ordered_json planJson(const mapping::ImportPreview& preview, bool all) {
    nlohmann::ordered_json j;
    j["file"] = preview.file.string();
    j["problemiFile"] = preview.fileProblems;
    if (preview.scope) {
        j["tipo"] = mapping::kindName(preview.scope->kind);
        j["pdc"] = preview.scope->chart;
        j["ricl"] = preview.scope->reclChart;
        j["intercompany"] = preview.scope->intercompany;
    }
    const auto& plan = preview.plan;
    nlohmann::ordered_json counts;
    for (int s = 0; s < mapping::kRowStatusCount; ++s)
        counts[mapping::statusName(static_cast<mapping::RowStatus>(s))] = plan.counts[s];
    j["conteggi"] = counts;
    auto& rows = j["righe"] = nlohmann::ordered_json::array();
    for (const auto& r : plan.rows) {
        if (!all && r.status == mapping::RowStatus::Unchanged) continue;
        rows.push_back({{"riga", r.line},
                        {"conto", r.key.account},
                        {"segno", mapping::signName(r.key.sign)},
                        {"prima", r.before},
                        {"richiesto", r.wanted},
                        {"dopo", r.after},
                        {"stato", mapping::statusName(r.status)},
                        {"motivo", r.reason}});
    }
    return j;
}

void printPlan(const mapping::ImportPreview& preview, bool all) {
    std::cout << "File: " << preview.file.string() << '\n';
    if (preview.scope) std::cout << "Correlazione: " << mapping::describeScope(*preview.scope) << '\n';
    std::cout << preview.plan.summary() << '\n';
    std::vector<std::vector<std::string>> rows;
    for (const auto& r : preview.plan.rows) {
        if (!all && r.status == mapping::RowStatus::Unchanged) continue;
        rows.push_back({r.line > 0 ? std::to_string(r.line) : "", r.shownAccount.empty() ? r.key.account : r.shownAccount,
                        mapping::signName(r.key.sign), r.before,
                        r.status == mapping::RowStatus::Refused ? r.wanted : r.after, mapping::statusName(r.status),
                        r.reason});
    }
    if (!rows.empty()) {
        std::cout << '\n';
        printTable(std::cout, {"Riga", "Conto", "Segno", "Prima", "Nuovo", "Stato", "Motivo"}, rows);
    }
}

int runImport(const ImportOptions& o) {
    auto conn = openMappingConnection(o.conn, o.dir);
    mapping::ImportPreview preview;
    try {
        mapping::RuleOptions rules;
        rules.acceptOtherTypeInAnalytic = o.acceptOtherType;
        preview = mapping::previewImport(*conn, o.file, std::nullopt, o.company, rules);
    } catch (const mapping::ScopeRefused& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        return databaseFailure(*conn, e);
    }
    if (!preview.fileProblems.empty()) {
        if (o.json) std::cout << planJson(preview, o.all).dump(2) << '\n';
        std::cerr << "Il file non può essere importato: nulla è stato scritto.\n";
        for (const auto& p : preview.fileProblems) std::cerr << "Errore: " << p << '\n';
        return 1;
    }

    long written = 0;
    if (o.apply && preview.plan.writes() > 0) {
        try {
            written = mapping::applyPlan(*conn, preview.plan);
        } catch (const mapping::PlanOutdated& e) {
            std::cerr << "Errore: " << e.what() << '\n';
            return 1;
        } catch (const db::Error& e) {
            std::cerr << "Le correlazioni non sono state scritte: il database le ha rifiutate e nulla è cambiato.\n";
            return databaseFailure(*conn, e);
        }
    }
    if (o.json) {
        auto j = planJson(preview, o.all);
        j["scritte"] = written;
        std::cout << j.dump(2) << '\n';
    } else {
        printPlan(preview, o.all);
        std::cout << '\n';
        if (!o.apply)
            std::cout << "Anteprima: nulla è stato scritto."
                      << (preview.plan.writes() > 0
                              ? " Aggiungere --apply per scrivere le " + std::to_string(preview.plan.writes()) +
                                    " correlazioni accettate."
                              : "")
                      << '\n';
        else
            std::cout << "Scritte " << written << " correlazioni.\n";
    }
    return 0;
}

}  // namespace

void setupCorrelationsCommand(CLI::App& app) {
    auto* cmd = app.add_subcommand("correlations", "Esporta o importa le correlazioni tramite un file Excel o CSV");
    cmd->require_subcommand(1);

    auto ex = std::make_shared<ExportOptions>();
    auto* exportCmd = cmd->add_subcommand("export", "Scrive le correlazioni di un tipo e dei suoi piani in un file .xlsx o .csv");
    addChartOptions(*exportCmd, *ex, editor::kCorrelationKindChoices);
    exportCmd->add_option("--out", ex->out, "File .xlsx o .csv da scrivere")->required();
    addConnectionOptions(*exportCmd, ex->conn, ex->dir);
    setCommandBody(*exportCmd, [ex] { return runExport(*ex); });

    auto im = std::make_shared<ImportOptions>();
    auto* importCmd = cmd->add_subcommand(
        "import", "Legge un file di correlazioni e mostra le differenze; con --apply le scrive");
    importCmd->add_option("file", im->file, "File .xlsx o .csv da leggere")->required();
    importCmd->add_flag("--apply", im->apply, "Scrive le righe accettate, tutte insieme o nessuna");
    importCmd->add_flag("--accetta-tipo-diverso", im->acceptOtherType,
                        "COIN: accetta conti riclassificati di tipo diverso dal conto analitico");
    importCmd->add_flag("--tutte", im->all, "Elenca anche le righe invariate");
    importCmd->add_flag("--json", im->json, "Risultato in JSON");
    importCmd->add_option("--ditta", im->company, "Codice della ditta corrente (predefinito 1)");
    addConnectionOptions(*importCmd, im->conn, im->dir);
    setCommandBody(*importCmd, [im] { return runImport(*im); });
}

}  // namespace brevanto::cli
