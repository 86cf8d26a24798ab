#pragma once
// What the desktop shell does before it shows anything: the correlation kinds it offers,
// the demo database made on first run and the settings file written by the settings dialog.

#include <array>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>

#include "standalone/Settings.h"

namespace gui {

struct CorrelationKindEntry {
    int kind;                 // 0 COGE, 1 COIN, 2 HYPE, 3 CONS
    const char* key;          // command-line name
    const char* progId;       // programmatic name of the entry class
    const char* caption;      // menu and window caption
};

const std::array<CorrelationKindEntry, 4>& correlationKinds();
// By command-line name ("coge", "coin", "hype", "cons", case-insensitive) or number 0-3.
std::optional<CorrelationKindEntry> findKind(const std::string& name);

// The database the settings open, as the main window names it: "database dimostrativo", the
// SQLite file, or the ODBC database and server (DSN, driver) without user or password.
std::string databaseLabel(const standalone::Settings& settings);

// The SQLite connection string of database `name` in `folder`.
std::string sqliteConnectionString(const std::filesystem::path& folder, const std::string& name = "BREVANTO");

struct DemoResult {
    bool created = false;
    std::filesystem::path folder;
    std::string message;   // what the shell tells the user
};

// When `settings` use the demo database and it does not exist yet, creates it (the host
// database BREVANTO and the intercompany database GRUPPO, filled with the demo data) in the
// demo folder. Throws std::runtime_error (or db::Error) when it cannot be created; a half
// made database is removed again so the next start tries afresh.
// `step` (may be empty) hears each of the three steps (0-2) as it starts.
using DemoStep = std::function<void(int step, const std::string& label)>;
DemoResult ensureDemoDatabase(const standalone::Settings& settings, const DemoStep& step = {});
// Creates the two demo databases in `folder` (which must not hold them yet).
void createDemoDatabase(const std::filesystem::path& folder, const DemoStep& step = {});

// Writes the settings file (connection, company, levels, modal). Throws
// standalone::SettingsError for a value the file could not hold (an empty connection string,
// a line break in it) or when the file cannot be written.
void saveSettingsFile(const standalone::Settings& settings, const std::filesystem::path& file);

}  // namespace gui
