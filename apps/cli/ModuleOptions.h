#pragma once
// What the subcommands that load the module share (automate, export): the options that
// choose the database, the company and the module file, and the stand-alone settings made
// from them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "standalone/Settings.h"

namespace CLI {
class App;
}

namespace brevanto::cli {

struct ModuleOptions {
    std::string conn;
    std::string dir;
    std::optional<std::int32_t> company;
    std::optional<std::int16_t> levels;
    std::string module;
    std::string config;
};

// Adds --conn, --dir, --company, --levels, --module and --config.
void addModuleOptions(CLI::App& cmd, ModuleOptions& options);

// The settings: the configuration file, then the connection (--conn, --dir or
// BREVANTO_CONNECTION), company and levels given. Throws std::runtime_error with a message
// for the user.
standalone::Settings resolveModuleSettings(const ModuleOptions& options);

// --module, else what the loader finds itself ($BREVANTO_MODULE, the program's folder), else
// the module of this build tree; empty leaves the search to the loader.
std::filesystem::path moduleFile(const std::string& option);

}  // namespace brevanto::cli
