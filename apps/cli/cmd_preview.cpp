// brevanto-cli preview: "Anteprima bilancio riclassificato" of one correlation kind and its
// charts at a kept trial-balance date: the reclassified chart with its amounts and totals,
// the "Non correlato" line and the sign-coverage warnings, as text, JSON or an .xlsx workbook.

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/MappingScope.h"
#include "apps/cli/PreviewJson.h"
#include "db/Connection.h"
#include "standalone/OfficeExport.h"
#include "statement/PreviewExport.h"

namespace brevanto::cli {

namespace {

struct PreviewOptions : ChartOptions {
    std::string conn;
    std::string dir;
    std::string date;
    std::string xlsx;
    bool json = false;
};

void printText(const statement::LoadedPreview& loaded) {
    std::cout << statement::previewTitle(loaded) << '\n';
    if (!loaded.notice.empty()) {
        std::cout << loaded.notice << '\n';
        return;
    }
    std::cout << "Date disponibili:";
    for (const auto& d : loaded.preview.dates()) std::cout << ' ' << statement::italianDate(d);
    std::cout << "\n\n";
    std::vector<std::vector<std::string>> rows;
    for (const auto& l : loaded.preview.lines()) {
        const std::string code = l.inChart ? loaded.shownTarget(l.code) : l.code;
        rows.push_back({std::string(static_cast<std::size_t>(l.level - 1) * 2, ' ') + code, l.description,
                        statement::formatAmount(l.total)});
    }
    printTable(std::cout, {"Conto", "Descrizione", "Importo"}, rows);
    const auto warnings = loaded.preview.warnings();
    if (warnings.empty()) {
        std::cout << "\nNessun saldo con segno non correlato.\n";
        return;
    }
    std::cout << "\nSaldi con segno non correlato: " << warnings.size() << '\n';
    for (const auto& w : warnings) std::cout << "  " << statement::describeWarning(loaded, w) << '\n';
}

int runPreview(const PreviewOptions& o) {
    const mapping::Scope scope = scopeFromOptions(o);
    const std::optional<std::string> date = o.date.empty() ? std::nullopt : std::optional<std::string>(o.date);
    statement::checkPreviewRequest(scope, date);
    auto conn = openMappingConnection(o.conn, o.dir);
    return runMapping(*conn, [&] {
        try {
            const auto loaded = statement::loadPreview(*conn, mapping::ChartData::load(*conn, scope), date);
            if (o.json) {
                std::cout << previewJson(loaded).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                          << '\n';
            } else if (!o.xlsx.empty()) {
                if (!loaded.notice.empty()) std::cout << loaded.notice << '\n';
                statement::writePreviewXlsx(loaded, o.xlsx);
                std::cout << statement::previewTitle(loaded) << " scritta in " << o.xlsx << " ("
                          << loaded.preview.warningCount() << " saldi con segno non correlato)\n";
            } else {
                printText(loaded);
            }
            return 0;
        } catch (const statement::PreviewRefused& e) {
            std::cerr << "Errore: " << e.what() << '\n';
        } catch (const standalone::ExportError& e) {
            std::cerr << "Errore: " << e.what() << '\n';
        }
        return 1;
    });
}

}  // namespace

void setupPreviewCommand(CLI::App& app) {
    auto options = std::make_shared<PreviewOptions>();
    auto* cmd = app.add_subcommand(
        "preview", "Anteprima bilancio riclassificato: importi per conto riclassificato a una data del bilancio di verifica");
    addChartOptions(*cmd, *options, "COGE, HYPE o CONS");
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->add_option("--date", options->date, "Data del bilancio (AAAA-MM-GG; senza: l'ultima importata)");
    auto* json = cmd->add_flag("--json", options->json, "Risultato in formato JSON");
    auto* xlsx = cmd->add_option("--xlsx", options->xlsx, "Scrive l'anteprima in una cartella di lavoro Excel (.xlsx)");
    json->excludes(xlsx);
    setCommandBody(*cmd, [options] { return runPreview(*options); });
}

}  // namespace brevanto::cli
