#include "gui/ShellSetup.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "hostdb/DemoData.h"
#include "hostdb/HostDatabase.h"
#include "hostdb/Schema.h"
#include "text/Text.h"

namespace gui {

namespace fs = std::filesystem;

const std::array<CorrelationKindEntry, 4>& correlationKinds() {
    static const std::array<CorrelationKindEntry, 4> kinds = {{
        {0, "coge", "Brevanto.CLSCG_CORRRICLCOGE", "Correlazione PdC contabile - riclassificazione"},
        {1, "coin", "Brevanto.CLSCG_CORRRICLCOIN", "Correlazione PdC contabile - riclassificazione analitica"},
        {2, "hype", "Brevanto.CLSCG_CORRRICLHYPE", "Correlazione PdC contabile - Hyperion"},
        {3, "cons", "Brevanto.CLSCG_CORRRICLCONS", "Correlazione PdC contabile - riclassificato intercompany"},
    }};
    return kinds;
}

std::optional<CorrelationKindEntry> findKind(const std::string& name) {
    const std::string n = text::toLowerAscii(name);
    for (const auto& k : correlationKinds())
        if (n == k.key || n == std::to_string(k.kind)) return k;
    return std::nullopt;
}

std::string databaseLabel(const standalone::Settings& settings) {
    if (settings.connectionString == standalone::demoConnectionString()) return "database dimostrativo";
    if (auto file = hostdb::sqliteFileOf(settings.connectionString); !file.empty()) return file;
    db::ConnectionString cs(settings.connectionString);
    std::string database = cs.getOr("database", "");
    std::string where = cs.getOr("Server", cs.getOr("Host", cs.getOr("DSN", cs.getOr("Driver", ""))));
    if (database.empty()) return where.empty() ? "database non indicato" : where;
    return where.empty() ? database : database + " su " + where;
}

std::string sqliteConnectionString(const fs::path& folder, const std::string& name) {
    return "Provider=SQLite;database=" + name + ";Data Source=" + folder.string();
}

void createDemoDatabase(const fs::path& folder, const DemoStep& step) {
    auto say = [&](int index, const std::string& label) {
        if (step) step(index, label);
    };
    const fs::path hostFile = hostdb::databaseFileIn(folder, "BREVANTO");
    const fs::path groupFile = hostdb::databaseFileIn(folder, hostdb::kDemoGroupDatabase);
    // Never over an existing database: a failure below removes what was made here.
    std::error_code ec;
    for (const auto& f : {hostFile, groupFile})
        if (fs::exists(f, ec)) throw std::runtime_error("il database " + f.string() + " esiste già");
    try {
        say(0, "Creazione del database BREVANTO");
        auto host = hostdb::createHostDatabase(folder, "BREVANTO");
        say(1, "Creazione del database intercompany GRUPPO");
        auto group = hostdb::createHostDatabase(folder, hostdb::kDemoGroupDatabase);
        say(2, "Dati dimostrativi");
        hostdb::fillDemo(*host, *group);
        group->Close();
        host->Close();
    } catch (...) {
        hostdb::removeDatabaseFiles(hostFile);
        hostdb::removeDatabaseFiles(groupFile);
        throw;
    }
}

DemoResult ensureDemoDatabase(const standalone::Settings& settings, const DemoStep& step) {
    DemoResult r;
    r.folder = standalone::demoDataFolder();
    if (settings.connectionString != standalone::demoConnectionString()) return r;
    std::error_code ec;
    if (fs::exists(r.folder / "BREVANTO.db", ec)) return r;
    createDemoDatabase(r.folder, step);
    r.created = true;
    r.message = "Creato il database dimostrativo in " + r.folder.string() +
                ": nessuna configurazione trovata, si lavora sui dati dimostrativi.";
    return r;
}

void saveSettingsFile(const standalone::Settings& s, const fs::path& file) {
    if (s.connectionString.empty()) throw standalone::SettingsError("la stringa di connessione è vuota");
    if (s.connectionString.find_first_of("\r\n") != std::string::npos)
        throw standalone::SettingsError("la stringa di connessione non può contenere un a capo");
    if (s.ledgerLevels < 1 || s.ledgerLevels > 9)
        throw standalone::SettingsError("il numero di livelli deve essere da 1 a 9");
    if (s.companyCode < 0) throw standalone::SettingsError("il codice ditta non può essere negativo");
    std::error_code ec;
    if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
    // Written beside the file and renamed over it, so a failed write never leaves half a file.
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw standalone::SettingsError(file.string() + ": impossibile scrivere il file");
        out << "# Impostazioni di Brevanto (scritte dalla finestra Impostazioni)\n"
            << "connection = " << s.connectionString << '\n'
            << "company = " << s.companyCode << '\n'
            << "levels = " << s.ledgerLevels << '\n'
            << "modal = " << (s.modal ? "true" : "false") << '\n';
        out.close();
        if (!out) throw standalone::SettingsError(file.string() + ": impossibile scrivere il file");
    }
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw standalone::SettingsError(file.string() + ": impossibile scrivere il file");
    }
}

}  // namespace gui
