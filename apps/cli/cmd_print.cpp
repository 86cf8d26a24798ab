// brevanto-cli print: the printed list of correlations of one kind as a PDF file, made by the
// same report code as the desktop's "Stampa" (works without a display).

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "db/Connection.h"
#include "report/PdfFile.h"
#include "report/ReportContent.h"

namespace brevanto::cli {

namespace {

struct PrintOptions {
    std::string kind;
    std::string pdc;
    std::string ricl;
    std::string intercompany;
    std::string company = "1";
    std::string out;
    std::string conn;
    std::string dir;
};

int runPrint(const PrintOptions& o) {
    auto kind = kindFromName(o.kind);
    if (!kind) {
        std::cerr << "Errore: tipo di correlazione sconosciuto '" << o.kind << "' (COGE, HYPE, CONS)\n";
        return 1;
    }
    std::string connectionString;
    try {
        connectionString = resolveConnectionString(o.conn, o.dir);
    } catch (const std::runtime_error& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    report::ReportRequest request;
    request.kind = *kind;
    request.ledgerChart = o.pdc;
    request.reclChart = o.ricl;
    request.intercompany = o.intercompany;
    request.company = o.company;

    auto conn = db::Connection::create();
    report::ReportContent content;
    try {
        conn->Open(connectionString);
        content = report::buildReportContent(*conn, request);
    } catch (const report::ReportRefused& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn->Errors().Count() ? conn->Errors().items() : e.items());
        return 1;
    }
    conn->Close();

    try {
        const int pages = report::writePdf(content, o.out);
        std::cout << "Stampa scritta in " << o.out << ": " << pages << (pages == 1 ? " pagina, " : " pagine, ")
                  << content.totals.accounts << " conti, " << content.rows.size() << " righe\n";
    } catch (const report::ReportError& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

void setupPrintCommand(CLI::App& app) {
    auto options = std::make_shared<PrintOptions>();
    auto* cmd = app.add_subcommand("print", "Stampa le correlazioni di un tipo in un file PDF");
    cmd->add_option("--kind", options->kind, "COGE, HYPE o CONS")->required();
    cmd->add_option("--pdc", options->pdc, "Piano dei conti da riclassificare (COGE, HYPE)");
    cmd->add_option("--ricl", options->ricl, "Piano dei conti di riclassificazione")->required();
    cmd->add_option("--intercompany", options->intercompany, "Struttura intercompany (CONS)");
    cmd->add_option("--ditta", options->company, "Codice della ditta corrente (predefinito 1)");
    cmd->add_option("--out", options->out, "File PDF da scrivere")->required();
    addConnectionOptions(*cmd, options->conn, options->dir);
    cmd->callback([options] {
        int rc = 1;
        try {
            rc = runPrint(*options);
        } catch (const std::exception& e) {
            std::cerr << "Errore: " << e.what() << '\n';
        }
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace brevanto::cli
