// brevanto-cli export: the correlation list of one kind written to an .xlsx workbook along
// the path the editor window's "Esporta in Excel…" takes: the module's entry class opens its
// editor (without a display), the header is typed in as a user types it, and the host raises
// the navigator's export event and writes what the module put into the export object.

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "apps/cli/ModuleOptions.h"
#include "apps/cli/WorkingRows.h"
#include "standalone/automation/HeadlessEditor.h"
#include "standalone/automation/ModuleClasses.h"

namespace brevanto::cli {

namespace {

struct ExportOptions : ModuleOptions {
    std::string kind;
    std::string pdc;
    std::string ricl;
    std::string intercompany;
    std::string out;
};

// Why the options cannot make a header, or "".
std::string headerProblem(Kind kind, const ExportOptions& o) {
    return headerOptionsProblem(kind == Kind::CONS, o.pdc, o.intercompany);
}

int runExport(const ExportOptions& o) {
    auto kind = kindFromName(o.kind);
    if (!kind) {
        std::cerr << "Errore: tipo di correlazione sconosciuto '" << o.kind << "' (COGE, COIN, HYPE, CONS)\n";
        return 1;
    }
    if (auto problem = headerProblem(*kind, o); !problem.empty()) {
        std::cerr << "Errore: " << problem << '\n';
        return 1;
    }
    try {
        standalone::Settings settings = resolveModuleSettings(o);
        standalone::ModuleClasses classes(moduleFile(o.module));
        standalone::HeadlessEditor editor(std::move(settings), classes);
        editor.open(std::string("Brevanto.CLSCG_CORRRICL") + kindName(*kind));
        editor.fillHeader({o.intercompany, o.pdc, o.ricl});
        auto exported = editor.exportToOffice();
        if (!exported) {
            std::cerr << "Errore: l'esportazione è stata annullata\n";
            return 1;
        }
        exported->writeXlsx(o.out);
        std::cout << "Esportate " << exported->detailRowCount() << " righe in " << o.out << '\n';
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace

void setupExportCommand(CLI::App& app) {
    auto opts = std::make_shared<ExportOptions>();
    auto* cmd = app.add_subcommand("export", "Esporta l'elenco di una correlazione in un file Excel (.xlsx)");
    cmd->add_option("--kind", opts->kind, editor::kCorrelationKindChoices)->required();
    cmd->add_option("--pdc", opts->pdc, "PdC da riclassificare (in COIN il PdC analitico; in CONS quello della struttura)");
    cmd->add_option("--ricl", opts->ricl, "PdC di riclassificazione")->required();
    cmd->add_option("--intercompany", opts->intercompany, "Struttura intercompany (solo CONS)");
    cmd->add_option("--out", opts->out, "File .xlsx da scrivere")->required();
    addModuleOptions(*cmd, *opts);
    cmd->callback([opts] {
        int rc = runExport(*opts);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace brevanto::cli
