#include "apps/cli/ModuleOptions.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <stdexcept>

#include "apps/cli/CliSupport.h"
#include "standalone/ModuleLoader.h"

namespace brevanto::cli {

void addModuleOptions(CLI::App& cmd, ModuleOptions& o) {
    addConnectionOptions(cmd, o.conn, o.dir);
    cmd.add_option("--company", o.company, "Codice della ditta corrente")->check(CLI::Range(0, 999999999));
    cmd.add_option("--levels", o.levels, "Numero di livelli del PdC contabile")->check(CLI::Range(1, 9));
    cmd.add_option("--module", o.module, "File del modulo libbrevanto.so (altrimenti BREVANTO_MODULE o la cartella del programma)");
    cmd.add_option("--config", o.config, "File di configurazione al posto di quello predefinito");
}

standalone::Settings resolveModuleSettings(const ModuleOptions& o) {
    standalone::SettingsOverrides overrides;
    if (!o.config.empty()) overrides.configFile = o.config;
    overrides.companyCode = o.company;
    overrides.ledgerLevels = o.levels;
    const char* env = std::getenv("BREVANTO_CONNECTION");
    if (!o.conn.empty() || !o.dir.empty() || (env && *env)) overrides.connectionString = resolveConnectionString(o.conn, o.dir);
    return standalone::loadSettings(overrides);
}

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

}  // namespace brevanto::cli
