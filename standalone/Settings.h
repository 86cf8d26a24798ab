#pragma once
// Settings of the stand-alone host: where the host database is, which company, how many
// levels its ledger chart has and whether the editor opens modal. Read from
// $XDG_CONFIG_HOME/brevanto/brevanto.conf (lines "key = value", '#' or ';' comments), then
// overridden by command-line values the apps have already parsed. With nothing configured the
// host opens the demo database in $XDG_DATA_HOME/brevanto/demo.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace standalone {

struct Settings {
    std::string connectionString;
    std::int32_t companyCode = 1;
    std::int16_t ledgerLevels = 4;
    bool modal = true;
    std::filesystem::path configFile;   // the file read ("" when none existed)
};

// A configuration file or value that cannot be used; the message names file, line and key.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Values given on the command line; each replaces the file's value when set.
struct SettingsOverrides {
    std::optional<std::filesystem::path> configFile;
    std::optional<std::string> connectionString;
    std::optional<std::int32_t> companyCode;
    std::optional<std::int16_t> ledgerLevels;
    std::optional<bool> modal;
};

std::filesystem::path defaultConfigFile();   // $XDG_CONFIG_HOME/brevanto/brevanto.conf
std::filesystem::path demoDataFolder();      // $XDG_DATA_HOME/brevanto/demo
std::string demoConnectionString();          // Provider=SQLite;database=BREVANTO;Data Source=<demo>

// The built-in defaults (demo database, company 1, 4 levels, modal).
Settings defaultSettings();
// Reads `file` over `settings`. A missing file changes nothing; SettingsError on an unknown
// key, a line without '=' or a value out of range.
void applySettingsFile(Settings& settings, const std::filesystem::path& file);
// Defaults < configuration file (overrides.configFile or the default one) < overrides.
Settings loadSettings(const SettingsOverrides& overrides = {});

}  // namespace standalone
