#include "standalone/Settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>

#include "text/Text.h"

namespace standalone {

namespace {

// $VAR when set and absolute (as the XDG rules ask), else $HOME/fallback.
std::filesystem::path xdgFolder(const char* var, const char* fallback) {
    if (const char* v = std::getenv(var); v && *v && std::filesystem::path(v).is_absolute()) return v;
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home && *home) ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
    return base / fallback;
}

std::optional<long long> parseInteger(const std::string& text) {
    long long v = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [p, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || p != last || first == last) return std::nullopt;
    return v;
}

std::optional<bool> parseBool(const std::string& text) {
    std::string t = text::toLowerAscii(text);
    if (t == "1" || t == "true" || t == "yes" || t == "on" || t == "si" || t == "sì") return true;
    if (t == "0" || t == "false" || t == "no" || t == "off") return false;
    return std::nullopt;
}

[[noreturn]] void fail(const std::filesystem::path& file, int line, const std::string& what) {
    throw SettingsError(file.string() + ":" + std::to_string(line) + ": " + what);
}

}  // namespace

std::filesystem::path defaultConfigFile() { return xdgFolder("XDG_CONFIG_HOME", ".config") / "brevanto" / "brevanto.conf"; }

std::filesystem::path demoDataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share") / "brevanto" / "demo"; }

std::string demoConnectionString() {
    return "Provider=SQLite;database=BREVANTO;Data Source=" + demoDataFolder().string();
}

Settings defaultSettings() {
    Settings s;
    s.connectionString = demoConnectionString();
    return s;
}

void applySettingsFile(Settings& settings, const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (std::filesystem::exists(file, ec)) throw SettingsError(file.string() + ": impossibile leggere il file");
        return;
    }
    settings.configFile = file;
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (lineNo == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);   // UTF-8 byte order mark
        std::string line = text::trimWhitespace(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
        auto eq = line.find('=');
        if (eq == std::string::npos) fail(file, lineNo, "attesa una riga 'chiave = valore', trovato '" + line + "'");
        std::string key = text::toLowerAscii(text::trimWhitespace(std::string_view(line).substr(0, eq)));
        std::string value = text::trimWhitespace(std::string_view(line).substr(eq + 1));
        if (key == "connection" || key == "connectionstring") {
            if (value.empty()) fail(file, lineNo, "connection: stringa di connessione vuota");
            settings.connectionString = value;
        } else if (key == "company") {
            auto v = parseInteger(value);
            if (!v || *v < 0 || *v > 2147483647) fail(file, lineNo, "company: codice ditta non valido: '" + value + "'");
            settings.companyCode = static_cast<std::int32_t>(*v);
        } else if (key == "levels") {
            auto v = parseInteger(value);
            if (!v || *v < 1 || *v > 9) fail(file, lineNo, "levels: atteso un numero di livelli da 1 a 9, trovato '" + value + "'");
            settings.ledgerLevels = static_cast<std::int16_t>(*v);
        } else if (key == "modal") {
            auto v = parseBool(value);
            if (!v) fail(file, lineNo, "modal: atteso true o false, trovato '" + value + "'");
            settings.modal = *v;
        } else {
            fail(file, lineNo, "chiave sconosciuta '" + key + "' (quelle ammesse: connection, company, levels, modal)");
        }
    }
}

Settings loadSettings(const SettingsOverrides& overrides) {
    Settings s = defaultSettings();
    if (overrides.configFile) {
        std::error_code ec;
        if (!std::filesystem::exists(*overrides.configFile, ec))
            throw SettingsError(overrides.configFile->string() + ": file di configurazione non trovato");
        applySettingsFile(s, *overrides.configFile);
    } else {
        applySettingsFile(s, defaultConfigFile());
    }
    if (overrides.connectionString) {
        if (overrides.connectionString->empty()) throw SettingsError("stringa di connessione vuota");
        s.connectionString = *overrides.connectionString;
    }
    if (overrides.companyCode) {
        if (*overrides.companyCode < 0) throw SettingsError("il codice ditta non può essere negativo");
        s.companyCode = *overrides.companyCode;
    }
    if (overrides.ledgerLevels) {
        if (*overrides.ledgerLevels < 1 || *overrides.ledgerLevels > 9)
            throw SettingsError("il numero di livelli deve essere da 1 a 9");
        s.ledgerLevels = *overrides.ledgerLevels;
    }
    if (overrides.modal) s.modal = *overrides.modal;
    return s;
}

}  // namespace standalone
