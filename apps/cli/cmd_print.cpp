// brevanto-cli print: the printed list of correlations of one kind as a PDF file, made by the
// same report code as the desktop's "Stampa" (works without a display).

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <stdexcept>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "db/Connection.h"
#include "report/PdfFile.h"
#include "report/ReportContent.h"

namespace brevanto::cli {

namespace {

struct PrintOptions : ChartOptions {
    std::string out;
    std::string conn;
    std::string dir;
};

// Refusals and unwritable files are told on standard error (setCommandBody writes what is thrown).
int runPrint(const PrintOptions& o) {
    auto kind = kindFromName(o.kind);
    if (!kind) throw std::runtime_error("tipo di correlazione sconosciuto '" + o.kind + "' (COGE, HYPE, CONS)");
    const std::string connectionString = resolveConnectionString(o.conn, o.dir);
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
    } catch (const db::Error& e) {
        printErrors(std::cerr, conn->Errors().Count() ? conn->Errors().items() : e.items());
        return 1;
    }
    conn->Close();

    const int pages = report::writePdf(content, o.out);
    std::cout << "Stampa scritta in " << o.out << ": " << pages << (pages == 1 ? " pagina, " : " pagine, ")
              << content.totals.accounts << " conti, " << content.rows.size() << " righe\n";
    return 0;
}

}  // namespace

void setupPrintCommand(CLI::App& app) {
    auto options = std::make_shared<PrintOptions>();
    auto* cmd = app.add_subcommand("print", "Stampa le correlazioni di un tipo in un file PDF");
    addChartOptions(*cmd, *options, "COGE, HYPE o CONS");
    cmd->add_option("--out", options->out, "File PDF da scrivere")->required();
    addConnectionOptions(*cmd, options->conn, options->dir);
    setCommandBody(*cmd, [options] { return runPrint(*options); });
}

}  // namespace brevanto::cli
