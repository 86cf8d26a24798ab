// brevanto-cli automate: drives the module's entry classes and windows with JSON requests on
// standard input, one a line, and answers each on standard output (docs/automation.md).

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

#include "apps/cli/Commands.h"
#include "apps/cli/ModuleOptions.h"
#include "apps/cli/automation/BalanceRequests.h"
#include "apps/cli/automation/HistoryRequests.h"
#include "apps/cli/automation/MappingRequests.h"
#include "report/HostCorrelationReport.h"
#include "standalone/automation/AutomationDriver.h"
#include "standalone/automation/ModuleClasses.h"

namespace brevanto::cli {

namespace {

int runAutomate(const ModuleOptions& o) {
    standalone::Settings settings;
    try {
        settings = resolveModuleSettings(o);
    } catch (const std::exception& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    standalone::ModuleClasses classes(moduleFile(o.module));
    int status = 0;
    {
        standalone::AutomationDriver driver(std::move(settings), classes, std::cin, std::cout, std::cerr);
        report::installCorrelationReports(driver.host());
        addMappingRequests(driver);
        addBalanceRequests(driver);
        addHistoryRequests(driver);
        status = driver.run();
    }
    return status;
}

}  // namespace

void setupAutomateCommand(CLI::App& app) {
    auto opts = std::make_shared<ModuleOptions>();
    auto* cmd = app.add_subcommand(
        "automate", "Pilota il modulo con richieste JSON, una per riga, su standard input (docs/automation.md)");
    addModuleOptions(*cmd, *opts);
    cmd->callback([opts] {
        int rc = runAutomate(*opts);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace brevanto::cli
