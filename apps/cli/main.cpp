// brevanto-cli: the Brevanto command-line tool. Each subcommand lives in its own cmd_*.cpp file
// and is registered here through the set-up functions of Commands.h.

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

#include "apps/cli/Commands.h"
#include "apps/common/ItalianCli.h"
#include "apps/common/PrintableOutput.h"
#include "db/DatabaseSchema.h"
#include "hostdb/BackendSchema.h"

int main(int argc, char** argv) {
    db::setDatabaseSchema(hostdb::backendSchema());
    // Arguments are echoed in messages: none may drive the terminal.
    brevanto::apps::PrintableOutput printableOutput;
    CLI::App app{"brevanto-cli: lo strumento a riga di comando di Brevanto"};
    app.require_subcommand(1);
    brevanto::cli::setupDbCommand(app);
    brevanto::cli::setupSqlCommand(app);
    brevanto::cli::setupListCommand(app);
    brevanto::cli::setupAutomateCommand(app);
    brevanto::cli::setupExportCommand(app);
    brevanto::cli::setupPrintCommand(app);
    brevanto::cli::setupCorrelationsCommand(app);
    brevanto::cli::setupCheckCommand(app);
    brevanto::cli::setupCrossCommand(app);
    brevanto::cli::setupBalancesCommand(app);
    brevanto::cli::setupHistoryCommand(app);
    brevanto::cli::setupPreviewCommand(app);
    brevanto::apps::italianise(app, "brevanto-cli");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        // Anything a subcommand did not turn into a message of its own.
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
