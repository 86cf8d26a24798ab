// brevanto-cli automate: drives the module's entry classes and windows with JSON requests on
// standard input, one a line, and answers each on standard output (docs/automation.md).

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "apps/cli/CliSupport.h"
#include "apps/cli/Commands.h"
#include "report/HostCorrelationReport.h"
#include "standalone/Settings.h"
#include "standalone/automation/AutomationDriver.h"
#include "standalone/automation/ModuleClasses.h"

namespace brevanto::cli {

namespace {

struct AutomateOptions {
    std::string conn;
    std::string dir;
    std::optional<std::int32_t> company;
    std::optional<std::int16_t> levels;
    std::string module;
    std::string config;
};

// --module, else what the loader finds itself ($BREVANTO_MODULE, the program's folder), else
// the module of this build tree.
std::filesystem::path moduleFile(const std::string& option) {
    if (!option.empty()) return option;
    std::error_code ec;
    for (const auto& p : standalone::ModuleLoader::candidates())
        if (std::filesystem::is_regular_file(p, ec)) return {};
#ifdef BREVANTO_MODULE_BUILD_FILE
    if (std::filesystem::is_regular_file(BREVANTO_MODULE_BUILD_FILE, ec)) return BREVANTO_MODULE_BUILD_FILE;
#endif
    return {};
}

int runAutomate(const AutomateOptions& o) {
    standalone::SettingsOverrides overrides;
    if (!o.config.empty()) overrides.configFile = o.config;
    overrides.companyCode = o.company;
    overrides.ledgerLevels = o.levels;
    const char* env = std::getenv("BREVANTO_CONNECTION");
    if (!o.conn.empty() || !o.dir.empty() || (env && *env)) {
        try {
            overrides.connectionString = resolveConnectionString(o.conn, o.dir);
        } catch (const std::runtime_error& e) {
            std::cerr << "Errore: " << e.what() << '\n';
            return 1;
        }
    }
    standalone::Settings settings;
    try {
        settings = standalone::loadSettings(overrides);
    } catch (const std::exception& e) {
        std::cerr << "Errore: " << e.what() << '\n';
        return 1;
    }
    standalone::ModuleClasses classes(moduleFile(o.module));
    int status = 0;
    {
        standalone::AutomationDriver driver(std::move(settings), classes, std::cin, std::cout, std::cerr);
        report::installCorrelationReports(driver.host());
        status = driver.run();
    }
    return status;
}

}  // namespace

void setupAutomateCommand(CLI::App& app) {
    auto opts = std::make_shared<AutomateOptions>();
    auto* cmd = app.add_subcommand(
        "automate", "Pilota il modulo con richieste JSON, una per riga, su standard input (docs/automation.md)");
    addConnectionOptions(*cmd, opts->conn, opts->dir);
    cmd->add_option("--company", opts->company, "Codice della ditta corrente")->check(CLI::Range(0, 999999999));
    cmd->add_option("--levels", opts->levels, "Numero di livelli del piano dei conti contabile")->check(CLI::Range(1, 9));
    cmd->add_option("--module", opts->module, "File del modulo libbrevanto.so (altrimenti BREVANTO_MODULE o la cartella del programma)");
    cmd->add_option("--config", opts->config, "File di configurazione al posto di quello predefinito");
    cmd->callback([opts] {
        int rc = runAutomate(*opts);
        if (rc != 0) throw CLI::RuntimeError(rc);
    });
}

}  // namespace brevanto::cli
